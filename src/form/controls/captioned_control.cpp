#include "form/controls/captioned_control.h"

#include <utility>

namespace zrk::form {

void CaptionedControl::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed(Prop::Caption);
}

}  // namespace zrk::form
