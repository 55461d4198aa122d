#pragma once

#include "platform/clock.h"

namespace zrk::qt {

// The machine's steady clock.
class SteadyClock : public platform::Clock {
public:
    double now() const override;
    void pauseUntil(double when) override;
};

}  // namespace zrk::qt
