#pragma once

#include <optional>
#include <string>
#include <utility>

#include "form/controls/captioned_control.h"
#include "form/controls/rgb.h"

namespace zrk::form {

class LabelControl : public CaptionedControl {
public:
    LabelControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Label, std::move(name), index, parent, hub) {}
    bool bordered = false;
    // The text colour; none until set, which leaves the system's own.
    const std::optional<Rgb>& ForeColor() const { return foreColor_; }
    void setForeColor(Rgb color);
    Event<> Click;

private:
    std::optional<Rgb> foreColor_;
};

}  // namespace zrk::form
