#include "form/controls/text_box.h"

#include <utility>

namespace zrk::form {

void TextBox::setText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed(Prop::Text);
    Change();
}

}  // namespace zrk::form
