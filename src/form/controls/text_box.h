#pragma once

#include <string>
#include <utility>

#include "form/controls/control.h"

namespace zrk::form {

class TextBox : public Control {
public:
    TextBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::TextBox, std::move(name), index, parent, hub) {}
    const std::string& Text() const { return text_; }
    // Raises Change when the text differs, as the operator's typing does.
    void setText(std::string text);

    bool locked = false;     // display only: shown, not editable
    bool multiLine = false;  // the large free-text field
    Event<> Change;

private:
    std::string text_;
};

}  // namespace zrk::form
