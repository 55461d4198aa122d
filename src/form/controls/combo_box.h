#pragma once

#include <string>
#include <utility>
#include <vector>

#include "form/controls/control.h"

namespace zrk::form {

class ComboBox : public Control {
public:
    ComboBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::ComboBox, std::move(name), index, parent, hub) {}

    const std::vector<std::string>& items() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    void AddItem(std::string item);
    void Clear();

    int ListIndex() const { return listIndex_; }
    // Selects an item (-1 for none) and raises Click, whether the program or
    // the operator selects. An index outside the items is refused.
    void setListIndex(int index);
    // The text part: the selected item, or what the operator typed.
    const std::string& Text() const { return text_; }
    // The operator types into the text part: the selection follows the text
    // (an item with exactly that text, else none) and Change is raised.
    void typeText(std::string text);

    bool editable = true;  // the text part can be typed into
    Event<> Click;
    Event<> Change;
    Event<int> KeyPress;  // keys the text part does not take itself: 13 for Enter
    Event<> LostFocus;
    Event<> Scroll;
    Event<> Validate;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

}  // namespace zrk::form
