#pragma once

#include <ostream>

#include "platform/user_interface.h"

namespace zrk::cli {

// Without a window a message box is a line on the error stream.
class ConsoleUserInterface : public platform::UserInterface {
public:
    explicit ConsoleUserInterface(std::ostream& err) : err_(err) {}
    void messageBox(const std::string& text, const std::string& title, Icon icon) override;
    void beep() override {}
    // Without a window nobody chooses: the colour stays, no file is picked.
    std::int32_t chooseColor(std::int32_t initial) override { return initial; }
    std::optional<std::filesystem::path> chooseFile(bool, const std::string&, const std::string&,
                                                    const std::string&) override {
        return std::nullopt;
    }
    int screenWidthTwips() const override { return 19200; }
    int screenHeightTwips() const override { return 15360; }

private:
    std::ostream& err_;
};

}  // namespace zrk::cli
