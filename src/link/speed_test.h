#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/device_link.h"
#include "platform/clock.h"
#include "platform/event_loop.h"

namespace zrk::link {

// Runs `passes` empty loop passes that the compiler may not remove.
void runEmptyLoop(std::int64_t passes);

struct SpeedTestParts {
    DeviceLink& link;
    platform::EventLoop& events;
    platform::Clock& clock;
    DeviceLink::StatusLine status;
    std::string decimalSeparator = ".";
    // The loop that is timed; tests put in one that moves a virtual clock.
    std::function<void(std::int64_t)> emptyLoop = runEmptyLoop;
};

// Measures the empty loop passes per millisecond into ContadorPausa and
// checks that a pause of 1000 units lasts about a second.
void MedirVelocidad(const SpeedTestParts& parts);

// A number as the locale writes it in general form (up to 15 digits, no
// trailing zeros), e.g. "1,31" with a decimal comma.
std::string generalNumber(double value, const std::string& decimalSeparator);

}  // namespace zrk::link
