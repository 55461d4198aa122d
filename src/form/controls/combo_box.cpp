#include "form/controls/combo_box.h"

#include <cstddef>
#include <utility>

namespace zrk::form {

void ComboBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    changed(Prop::Items);
}

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
    changed(Prop::Items);
    changed(Prop::ListIndex);
    changed(Prop::Text);
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount())
        throw ControlError("Invalid list index " + std::to_string(index) + " for " + key() + " (it has " +
                           std::to_string(ListCount()) + " items)");
    listIndex_ = index;
    text_ = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
    changed(Prop::ListIndex);
    changed(Prop::Text);
    Click();
}

void ComboBox::typeText(std::string text) {
    text_ = std::move(text);
    listIndex_ = -1;
    for (int i = 0; i < ListCount(); ++i)
        if (items_[static_cast<std::size_t>(i)] == text_) listIndex_ = i;
    changed(Prop::ListIndex);
    changed(Prop::Text);
    Change();
}

}  // namespace zrk::form
