#pragma once

#include "platform/clock.h"

namespace zrk::test {

// A clock that only moves when told to: pauses and waits advance it at once.
class VirtualClock : public platform::Clock {
public:
    double now() const override { return now_; }
    void pauseUntil(double when) override {
        if (when > now_) now_ = when;
    }
    void advance(double seconds) { now_ += seconds; }
    void set(double when) { now_ = when; }

private:
    double now_ = 1000.0;  // away from zero, so a "time 0" bug shows
};

}  // namespace zrk::test
