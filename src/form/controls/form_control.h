#pragma once

#include <string>
#include <utility>

#include "form/controls/captioned_control.h"

namespace zrk::form {

// A window: caption, place and size in twips, minimised or not.
class FormControl : public CaptionedControl {
public:
    FormControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Form, std::move(name), index, parent, hub) {}
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);
    bool minimised() const { return minimised_; }
    void setMinimised(bool minimised);

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool minimised_ = false;
};

}  // namespace zrk::form
