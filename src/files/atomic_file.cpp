#include "files/atomic_file.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace zrk::files {
namespace {

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return target.parent_path() /
           (target.filename().string() + ".tmp-" + std::to_string(stamp) + "-" + std::to_string(counter++));
}

std::string folderOf(const std::filesystem::path& target) {
    return target.parent_path().empty() ? std::string(".") : target.parent_path().string();
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)), temporary_(temporaryBeside(target_)) {
    std::error_code error;
    if (std::filesystem::is_directory(target_, error)) fail("it is a folder");
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_) fail("cannot create a file in " + folderOf(target_) + " (does the folder exist, may you write there?)");
}

AtomicFile::~AtomicFile() {
    if (done_) return;
    out_.close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

void AtomicFile::fail(const std::string& what) {
    out_.close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    done_ = true;
    throw FileError("Could not save " + target_.string() + ": " + what + ". The file was left as it was.");
}

void AtomicFile::write(std::string_view text) {
    if (done_) throw FileError("Could not save " + target_.string() + ": the file was already closed.");
    // A short write sets badbit; it is caught here, not at commit, so that
    // nothing after a lost piece is written either.
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out_) fail("the disk refused the data (is it full?)");
}

void AtomicFile::commit() {
    if (done_) throw FileError("Could not save " + target_.string() + ": the file was already closed.");
    // The buffer and the close can fail on a full disk just like a write.
    out_.flush();
    if (!out_) fail("the disk refused the data (is it full?)");
    out_.close();
    if (out_.fail()) fail("the disk refused the data (is it full?)");
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) fail("cannot replace it (" + error.message() + ")");
    done_ = true;
}

}  // namespace zrk::files
