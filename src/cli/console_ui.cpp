#include "cli/console_ui.h"

namespace zrk::cli {

void ConsoleUserInterface::messageBox(const std::string& text, const std::string&, Icon) {
    err_ << "zrkctl: " << text << '\n';
}

}  // namespace zrk::cli
