#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

#include "files/atomic_write.h"

namespace zrk::files {

// A file written piece by piece that replaces its target only when every
// piece reached the disk: the pieces go to a temporary file in the target's
// folder, which commit() flushes, closes and renames over the target. Any
// failure throws FileError and leaves the target exactly as it was; a file
// destroyed without commit() takes its temporary file with it.
class AtomicFile {
public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view text);
    void commit();

private:
    [[noreturn]] void fail(const std::string& what);
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream out_;
    bool done_ = false;
};

}  // namespace zrk::files
