#pragma once

namespace zrk::platform {

// Elapsed time on a steady clock, in seconds with fractions. Tests use a
// virtual clock, so a two-second time limit costs them no real time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    // Blocks (without processing events) until now() >= when: sleeps for most
    // of the interval and spins only the last fraction of a millisecond.
    virtual void pauseUntil(double when) = 0;
};

}  // namespace zrk::platform
