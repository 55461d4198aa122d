#pragma once

#include <string>
#include <utility>

#include "form/controls/captioned_control.h"

namespace zrk::form {

class FrameControl : public CaptionedControl {
public:
    FrameControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Frame, std::move(name), index, parent, hub) {}
};

}  // namespace zrk::form
