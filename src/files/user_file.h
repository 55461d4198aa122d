#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace zrk::files {

// No file the user hands the tool comes near this: a parameter file is under
// 3 KB, a table file or zrk.ini a few hundred bytes.
inline constexpr std::uintmax_t kMaxUserFileBytes = 1024 * 1024;

// Why a file could not be taken, and the words for it ("it does not exist").
class UserFileError : public std::runtime_error {
public:
    enum class Reason { Missing, Folder, NotRegular, TooLarge, Unreadable };
    UserFileError(Reason reason, const std::string& problem) : std::runtime_error(problem), reason_(reason) {}
    Reason reason() const { return reason_; }
    std::string problem() const { return what(); }

private:
    Reason reason_;
};

// The whole content of a file the user named. Refuses, without blocking and
// without reading it, what is not a regular file (a pipe with no writer, a
// device such as /dev/zero, a socket) and a file larger than `maxBytes`.
std::string readUserFile(const std::filesystem::path& path, std::uintmax_t maxBytes = kMaxUserFileBytes);

}  // namespace zrk::files
