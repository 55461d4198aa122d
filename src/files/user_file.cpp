#include "files/user_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <sstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "texts/text_ids.h"
#endif

namespace zrk::files {
namespace {

using Reason = UserFileError::Reason;

std::string sizeText(std::uintmax_t bytes) {
    if (bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MB";
    if (bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KB";
    return std::to_string(bytes) + " bytes";
}

[[noreturn]] void tooLarge(std::uintmax_t maxBytes) {
    throw UserFileError(Reason::TooLarge, texts::Phrase(texts::id::kFileTooLarge, {sizeText(maxBytes)}));
}

[[noreturn]] void notRegular() { throw UserFileError(Reason::NotRegular, texts::Phrase(texts::id::kNotRegularFile)); }

[[noreturn]] void systemRefused(int code) {
    const std::error_code error(code, std::generic_category());
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        throw UserFileError(Reason::Missing, texts::Phrase(texts::id::kDoesNotExist));
    if (error == std::errc::is_a_directory)
        throw UserFileError(Reason::Folder, texts::Phrase(texts::id::kFolderNotFile));
    if (error == std::errc::permission_denied)
        throw UserFileError(Reason::Unreadable, texts::Phrase(texts::id::kReadPermissionDenied));
    throw UserFileError(Reason::Unreadable, texts::Phrase(texts::id::kCannotBeRead, {error.message()}));
}

}  // namespace

#if defined(_WIN32)

std::string readUserFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) systemRefused(ENOENT);
    if (status.type() == std::filesystem::file_type::directory) systemRefused(EISDIR);
    if (!error && status.type() != std::filesystem::file_type::regular) notRegular();
    if (std::filesystem::file_size(path, error) > maxBytes && !error) tooLarge(maxBytes);
    std::ifstream in(path, std::ios::binary);
    if (!in) systemRefused(EACCES);
    std::string content(static_cast<std::size_t>(maxBytes) + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) systemRefused(EIO);
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > maxBytes) tooLarge(maxBytes);
    return content;
}

#else

std::string readUserFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    // Non-blocking, so that opening a pipe with no writer returns at once;
    // the type is then checked on what was opened, not on the name.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) systemRefused(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) systemRefused(errno);
    if (S_ISDIR(info.st_mode)) systemRefused(EISDIR);
    if (!S_ISREG(info.st_mode)) notRegular();
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) tooLarge(maxBytes);

    // The file may grow while it is read: never more than the limit and one byte.
    std::string content;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            systemRefused(errno);
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > maxBytes) tooLarge(maxBytes);
    }
    return content;
}

#endif

}  // namespace zrk::files
