#pragma once

#include <string>
#include <utility>

#include "form/controls/captioned_control.h"

namespace zrk::form {

class CheckBox : public CaptionedControl {
public:
    CheckBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::CheckBox, std::move(name), index, parent, hub) {}
    int Value() const { return value_; }
    // 0 clear, 1 set, 2 greyed; other values are refused.
    void setValue(int value);

private:
    int value_ = 0;
};

}  // namespace zrk::form
