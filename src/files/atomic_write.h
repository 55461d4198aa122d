#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "texts/texts.h"

namespace zrk::files {

class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message, std::string path = {}, std::string reason = {})
        : std::runtime_error(message), path_(std::move(path)), reason_(std::move(reason)) {}
    // The same, with the id of its text for the operator's language.
    FileError(int textId, const std::string& message, std::string path, std::string reason)
        : std::runtime_error(message), path_(std::move(path)), reason_(std::move(reason)), textId_(textId) {}
    // The file as the caller named it, and what went wrong, for messages of
    // one's own (both empty when not known).
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }
    // The message in the operator's language; what() is the English one.
    std::string describe(const texts::TextTable& table) const {
        return textId_ == 0 ? std::string(what()) : texts::fill(table.CargarTexto(textId_), {path_, reason_});
    }

private:
    std::string path_;
    std::string reason_;
    int textId_ = 0;
};

// Writes `content` to `target` through a temporary file in the same folder
// that is renamed over the target only when every byte reached it. On any
// failure the target is left exactly as it was and FileError says what failed.
void writeFileAtomically(const std::filesystem::path& target, const std::string& content);

}  // namespace zrk::files
