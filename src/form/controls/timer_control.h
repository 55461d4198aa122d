#pragma once

#include <string>
#include <utility>

#include "form/controls/control.h"

namespace zrk::form {

class TimerControl : public Control {
public:
    TimerControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::Timer, std::move(name), index, parent, hub) {}
    int Interval() const { return interval_; }
    void setInterval(int milliseconds);
    // A timer runs while Enabled and its interval is above 0.
    bool running() const { return Enabled() && interval_ > 0; }
    Event<> Timer;

private:
    int interval_ = 0;
};

}  // namespace zrk::form
