#pragma once

#include <string>

namespace zrk::platform {

// What the procedures ask of the window system besides the main window's
// controls: message boxes, the beep, the screen.
class UserInterface {
public:
    enum class Icon { None, Information, Warning, Error };
    virtual ~UserInterface() = default;

    // Modal; returns when the operator has closed it.
    virtual void messageBox(const std::string& text, const std::string& title, Icon icon) = 0;
    virtual void beep() = 0;
    // The screen's size in twips, for centring the window.
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
};

}  // namespace zrk::platform
