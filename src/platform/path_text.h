#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zrk::platform {

// Texts in the tool are UTF-8; a path is kept as the system spells it
// (UTF-16 on Windows). These convert between the two without passing through
// the system's 8-bit code page, which cannot spell every folder name
// ("C:\Señales\ZRK" on a machine set up for another language).
inline std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace zrk::platform
