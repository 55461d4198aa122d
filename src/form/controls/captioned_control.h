#pragma once

#include <string>

#include "form/controls/control.h"

namespace zrk::form {

// Controls whose caption is a plain string.
class CaptionedControl : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

}  // namespace zrk::form
