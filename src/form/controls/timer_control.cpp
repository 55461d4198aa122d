#include "form/controls/timer_control.h"

namespace zrk::form {

void TimerControl::setInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535)
        throw ControlError("Invalid interval " + std::to_string(milliseconds) + " ms for timer " + key() +
                           " (0 to 65535)");
    if (interval_ == milliseconds) return;
    interval_ = milliseconds;
    changed(Prop::Interval);
}

}  // namespace zrk::form
