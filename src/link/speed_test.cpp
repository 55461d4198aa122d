#include "link/speed_test.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace zrk::link {

void runEmptyLoop(std::int64_t passes) {
    // A volatile counter keeps every pass: the calibration times real work.
    volatile std::int64_t counter = 0;
    for (std::int64_t i = 0; i < passes; ++i) counter = i;
    (void)counter;
}

std::string generalNumber(double value, const std::string& decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text;
    for (const char* c = buffer; *c != '\0'; ++c) {
        if (*c == '.')
            text += decimalSeparator;
        else
            text += *c;
    }
    return text;
}

void MedirVelocidad(const SpeedTestParts& p) {
    constexpr std::int64_t kMeasurePasses = 100000000;
    constexpr double kPassesPerMillisecondFactor = 100000.0;  // kMeasurePasses / 1000

    p.status("Testing speed");
    p.events.processEvents();

    const double t0 = p.clock.now();
    p.emptyLoop(kMeasurePasses);
    const double t1 = p.clock.now();
    // A clock too coarse to see the loop would divide by zero: take the
    // smallest measurable time instead, which gives the largest count.
    const double elapsed = std::max(t1 - t0, 1e-9);
    const double count = std::nearbyint(kPassesPerMillisecondFactor / elapsed);  // halves to even
    p.link.ContadorPausa = count > std::numeric_limits<std::int32_t>::max()
                               ? std::numeric_limits<std::int32_t>::max()
                               : static_cast<std::int32_t>(std::max(count, 1.0));
    p.status("Index = " + signedNumber(p.link.ContadorPausa));

    const double t2 = p.clock.now();
    p.emptyLoop(1000LL * p.link.ContadorPausa);
    const double d = p.clock.now() - t2;
    if (std::fabs(d - 1.0) > 0.3)
        p.status("Out speed computer " + generalNumber(std::fabs(p.clock.now() - t2), p.decimalSeparator));
    p.events.processEvents();
}

}  // namespace zrk::link
