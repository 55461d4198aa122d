#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace zrk::files {

class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message, std::string path = {}, std::string reason = {})
        : std::runtime_error(message), path_(std::move(path)), reason_(std::move(reason)) {}
    // The file as the caller named it, and what went wrong, for messages of
    // one's own (both empty when not known).
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

// Writes `content` to `target` through a temporary file in the same folder
// that is renamed over the target only when every byte reached it. On any
// failure the target is left exactly as it was and FileError says what failed.
void writeFileAtomically(const std::filesystem::path& target, const std::string& content);

}  // namespace zrk::files
