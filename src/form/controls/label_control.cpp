#include "form/controls/label_control.h"

namespace zrk::form {

void LabelControl::setForeColor(Rgb color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    changed(Prop::ForeColor);
}

}  // namespace zrk::form
