#pragma once

#include "platform/user_interface.h"

namespace zrk::gui {

// Raises the application's face to the least the tool draws, for a desktop
// set to a smaller one: the dialogs and the other windows take it as it is.
void useReadableFace();

// Message boxes, the beep and the screen size through Qt Widgets.
class WidgetsUserInterface : public platform::UserInterface {
public:
    void messageBox(const std::string& text, const std::string& title, Icon icon) override;
    void beep() override;
    bool confirm(const std::string& question, const std::string& details, const std::string& title) override;
    bool askDefaultNo(const std::string& question, const std::string& details, const std::string& title) override;
    std::int32_t chooseColor(std::int32_t initial) override;
    std::optional<std::filesystem::path> chooseFile(bool save, const std::string& filterName,
                                                    const std::string& pattern, const std::string& allFiles) override;
    int screenWidthTwips() const override;
    int screenHeightTwips() const override;
};

}  // namespace zrk::gui
