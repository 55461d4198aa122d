#pragma once

#include <filesystem>

namespace zrk::qt {

// The user's own data folder of the tool: $XDG_DATA_HOME/zrk, by default
// ~/.local/share/zrk (on Windows the user's application data folder).
std::filesystem::path userDataFolder();
// The user's configuration folder of the tool: ~/.config/ZRK.
std::filesystem::path userConfigFolder();
// <prefix>/share/zrk when the running program is installed as
// <prefix>/bin/PROGRAM; empty for a build tree or a portable copy.
std::filesystem::path installedShareFolder();
// The running program's folder, through UTF-16 so that a name that is not
// ASCII arrives intact.
std::filesystem::path programFolder();

}  // namespace zrk::qt
