#include "form/controls/form_control.h"

namespace zrk::form {

void FormControl::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Prop::Geometry);
}

void FormControl::setMinimised(bool minimised) {
    if (minimised_ == minimised) return;
    minimised_ = minimised;
    changed(Prop::WindowState);
}

}  // namespace zrk::form
