#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "texts/phrase.h"

namespace zrk::files {

// No file the user hands the tool comes near this: a parameter file is under
// 3 KB, a table file or zrk.ini a few hundred bytes.
inline constexpr std::uintmax_t kMaxUserFileBytes = 1024 * 1024;

// Why a file could not be taken, and the words for it ("it does not exist");
// what() is their English.
class UserFileError : public std::runtime_error {
public:
    enum class Reason { Missing, Folder, NotRegular, TooLarge, Unreadable };
    UserFileError(Reason reason, texts::Phrase problem)
        : std::runtime_error(problem.english()), reason_(reason), problem_(std::move(problem)) {}
    Reason reason() const { return reason_; }
    std::string problem() const { return what(); }
    const texts::Phrase& phrase() const { return problem_; }

private:
    Reason reason_;
    texts::Phrase problem_;
};

// The whole content of a file the user named. Refuses, without blocking and
// without reading it, what is not a regular file (a pipe with no writer, a
// device such as /dev/zero, a socket) and a file larger than `maxBytes`.
std::string readUserFile(const std::filesystem::path& path, std::uintmax_t maxBytes = kMaxUserFileBytes);

}  // namespace zrk::files
