#pragma once

#include <string>
#include <utility>

#include "form/controls/captioned_control.h"

namespace zrk::form {

class CommandButton : public CaptionedControl {
public:
    CommandButton(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Button, std::move(name), index, parent, hub) {}
    Event<> Click;
};

}  // namespace zrk::form
