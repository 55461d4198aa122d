#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zrk::test {

// Things in place of a user's file that are no file to read: a pipe nobody
// writes to (an open for reading that waits would hang), endless devices and
// a huge sparse file (reading them whole would exhaust memory), and a file
// only just over the size limit.
struct SpecialFile {
    std::string name;
    std::filesystem::path path;
    std::string says;  // words the refusal uses
};

inline std::vector<SpecialFile> makeSpecialFiles(const std::filesystem::path& folder, const std::string& stem) {
    std::vector<SpecialFile> made;
    const auto fifo = folder / (stem + "-fifo");
    if (::mkfifo(fifo.c_str(), 0600) == 0) made.push_back({"pipe without a writer", fifo, "not a regular file"});
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        const auto link = folder / (stem + "-" + std::filesystem::path(device).filename().string());
        std::filesystem::create_symlink(device, link);
        made.push_back({std::string("link to ") + device, link, "not a regular file"});
    }
    const auto sparse = folder / (stem + "-sparse");
    const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0 && ::ftruncate(fd, 2LL * 1024 * 1024 * 1024) == 0)
        made.push_back({"2 GB sparse file", sparse, "larger than 1 MB"});
    if (fd >= 0) ::close(fd);
    const auto justOver = folder / (stem + "-over");
    const int over = ::open(justOver.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (over >= 0 && ::ftruncate(over, 1024 * 1024 + 1) == 0)
        made.push_back({"one byte over 1 MB", justOver, "larger than 1 MB"});
    if (over >= 0) ::close(over);
    return made;
}

}  // namespace zrk::test
