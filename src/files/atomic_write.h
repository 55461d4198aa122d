#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "texts/phrase.h"
#include "texts/texts.h"

namespace zrk::files {

class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message) : std::runtime_error(message) {}
    // The text `textId` with the file and what went wrong; what() is its English.
    FileError(int textId, std::string path, texts::Phrase reason)
        : std::runtime_error(texts::Phrase(textId, {path, reason}).english()),
          path_(std::move(path)),
          reason_(std::move(reason)),
          textId_(textId) {}
    // The file as the caller named it, and what went wrong, for messages of
    // one's own (both empty when not known).
    const std::string& path() const { return path_; }
    std::string reason(const texts::TextTable& table) const { return reason_.in(table); }
    // The message in the operator's language; what() is the English one.
    std::string describe(const texts::TextTable& table) const {
        return textId_ == 0 ? std::string(what()) : texts::Phrase(textId_, {path_, reason_}).in(table);
    }

private:
    std::string path_;
    texts::Phrase reason_;
    int textId_ = 0;
};

// Writes `content` to `target` through a temporary file in the same folder
// that is renamed over the target only when every byte reached it. On any
// failure the target is left exactly as it was and FileError says what failed.
void writeFileAtomically(const std::filesystem::path& target, const std::string& content);

}  // namespace zrk::files
