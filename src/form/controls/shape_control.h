#pragma once

#include <string>
#include <utility>

#include "form/controls/control.h"

namespace zrk::form {

class ShapeControl : public Control {
public:
    ShapeControl(std::string name, int index, Control* parent, ChangeHub& hub, int widthTwips)
        : Control(Kind::Shape, std::move(name), index, parent, hub), widthTwips(widthTwips) {}
    const int widthTwips;
};

}  // namespace zrk::form
