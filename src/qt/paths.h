#pragma once

#include <QString>
#include <filesystem>

namespace zrk::qt {

// QString to and from std::filesystem::path through the system's own
// spelling of file names (UTF-16 on Windows, the local 8-bit encoding
// elsewhere), never through an 8-bit copy of the text.
std::filesystem::path toPath(const QString& text);
QString fromPath(const std::filesystem::path& path);

}  // namespace zrk::qt
