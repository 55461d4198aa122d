#pragma once

#include <filesystem>

namespace zrk::qt {

// The user's own data folder of the tool: $XDG_DATA_HOME/zrk, by default
// ~/.local/share/zrk (on Windows the user's application data folder).
std::filesystem::path userDataFolder();

}  // namespace zrk::qt
