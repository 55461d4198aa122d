#include "form/controls/check_box.h"

namespace zrk::form {

void CheckBox::setValue(int value) {
    if (value < 0 || value > 2)
        throw ControlError("Invalid value " + std::to_string(value) + " for check box " + key() +
                           " (0 clear, 1 set, 2 greyed)");
    if (value_ == value) return;
    value_ = value;
    changed(Prop::Value);
}

}  // namespace zrk::form
