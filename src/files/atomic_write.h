#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace zrk::files {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes `content` to `target` through a temporary file in the same folder
// that is renamed over the target only when every byte reached it. On any
// failure the target is left exactly as it was and FileError says what failed.
void writeFileAtomically(const std::filesystem::path& target, const std::string& content);

}  // namespace zrk::files
