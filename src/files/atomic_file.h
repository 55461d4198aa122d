#pragma once

#include <filesystem>
#include <string_view>

#include "files/atomic_write.h"
#include "texts/phrase.h"

namespace zrk::files {

// A file written piece by piece that replaces its target only when every
// piece reached the disk: the pieces go to a temporary file beside the real
// target, which commit() flushes, closes and renames over it. Any failure
// throws FileError and leaves the target exactly as it was; a file destroyed
// without commit() takes its temporary file with it.
//
// What the user set up survives: a symbolic link is written through to the
// file it points to (the link stays a link), and a file that exists keeps its
// permission bits and, where the system lets us, its owner and group. The
// temporary name is short, so a target name at the file system's length
// limit can still be saved.
class AtomicFile {
public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view text);
    void commit();

    // Where the pieces go until commit (empty once it is gone).
    const std::filesystem::path& temporaryPath() const { return temporary_; }

private:
    [[noreturn]] void fail(const texts::Phrase& what);
    void discard();
    std::filesystem::path target_;  // as the user named it, for messages
    std::filesystem::path real_;    // after following symbolic links
    std::filesystem::path temporary_;
    int fd_ = -1;
    int slot_ = -1;
    bool done_ = false;
};

// For programs that save files: a file-size limit makes a write fail with an
// error instead of killing the process (SIGXFSZ is ignored), and SIGINT,
// SIGTERM and SIGHUP remove the temporary files of saves under way before
// the process ends as the signal says. Call once, early in main.
void removeTemporaryFilesOnSignals();

}  // namespace zrk::files
