#include "files/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "platform/path_text.h"
#include "texts/text_ids.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zrk::files {
namespace {

#if defined(_WIN32)
int openExclusive(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int writeSome(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size > 1u << 30 ? 1u << 30 : size));
}
int closeFile(int fd) { return ::_close(fd); }
int syncFile(int fd) { return ::_commit(fd); }
#else
int openExclusive(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
ssize_t writeSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int closeFile(int fd) { return ::close(fd); }
int syncFile(int fd) { return ::fsync(fd); }
#endif

// ---- temporary files a signal must take away -------------------------------
// Fixed slots, so that the signal handler reads nothing that is being
// allocated or freed: a slot is claimed, filled, then marked ready.
constexpr int kSlots = 16;
constexpr std::size_t kPathBytes = 4096;
struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being filled or emptied, 2 ready
    char path[kPathBytes];
};
Slot slots[kSlots];

int registerTemporary(const std::filesystem::path& path) {
    const auto& native = path.native();
    if (native.size() * sizeof(native[0]) >= kPathBytes) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (!slots[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(slots[i].path, native.c_str(), (native.size() + 1) * sizeof(native[0]));
        slots[i].state.store(2);
        return i;
    }
    return -1;  // more saves at once than slots: this one is not covered
}

void unregisterTemporary(int slot) {
    if (slot >= 0) slots[slot].state.store(0);
}

#if !defined(_WIN32)
extern "C" void removeTemporariesAndEnd(int signal) {
    for (auto& slot : slots)
        if (slot.state.load() == 2) ::unlink(slot.path);
    // The handler was installed to run once: the signal raised again ends the
    // process as it would have without us (exit status included).
    ::raise(signal);
}
#endif

// ---- names ----------------------------------------------------------------

// A name of ten bytes in the real target's folder: ".zrk" and six letters
// or digits. The target's own name may use the whole length limit.
std::filesystem::path temporaryName(const std::filesystem::path& folder) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    std::minstd_rand random(seed ^ static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                            (counter++ * 2654435761u));
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".zrk";
    for (int i = 0; i < 6; ++i) name += kLetters[random() % 36];
    return folder / name;
}

std::filesystem::path followLinks(const std::filesystem::path& target) {
    std::filesystem::path path = target;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(path, error);
        if (error || status.type() != std::filesystem::file_type::symlink) return path;
        const auto next = std::filesystem::read_symlink(path, error);
        if (error) return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    throw FileError(texts::id::kCouldNotSave, platform::utf8(target), texts::Phrase(texts::id::kTooManyLinks));
}

std::string folderOf(const std::filesystem::path& target) {
    return target.parent_path().empty() ? std::string(".") : platform::utf8(target.parent_path());
}

texts::Phrase writeProblem(int code) {
    if (code == ENOSPC || code == EDQUOT) return texts::Phrase(texts::id::kDiskRefused);
    if (code == EFBIG) return texts::Phrase(texts::id::kDiskRefusedOrLimit);
    // The system's own words for the rest.
    return texts::Phrase(texts::id::kDiskRefusedWhy, {std::error_code(code, std::generic_category()).message()});
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)), real_(followLinks(target_)) {
    std::error_code error;
    if (std::filesystem::is_directory(real_, error)) fail(texts::Phrase(texts::id::kFolderNotFile));
    const auto folder = real_.parent_path();
    for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
        temporary_ = temporaryName(folder);
        slot_ = registerTemporary(temporary_);
        fd_ = openExclusive(temporary_);
        if (fd_ < 0) {
            unregisterTemporary(slot_);
            slot_ = -1;
            if (errno != EEXIST) break;
        }
    }
    if (fd_ < 0) {
        temporary_.clear();
        fail(texts::Phrase(texts::id::kCannotCreateFileIn, {folderOf(real_)}));
    }
#if !defined(_WIN32)
    // The replacement takes over what the user gave the file it replaces.
    struct stat existing {};
    if (::stat(real_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Not the owner's to give away: keep at least the group if we may.
            [[maybe_unused]] const int ignored = ::fchown(fd_, static_cast<uid_t>(-1), existing.st_gid);
        }
        // After the owner: a change of owner may clear the set-id bits.
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) fail(texts::Phrase(texts::id::kCannotKeepPermissions));
    }
#endif
}

AtomicFile::~AtomicFile() {
    if (!done_) discard();
}

void AtomicFile::discard() {
    if (fd_ >= 0) closeFile(fd_);
    fd_ = -1;
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
    unregisterTemporary(slot_);
    slot_ = -1;
    done_ = true;
}

void AtomicFile::fail(const texts::Phrase& what) {
    discard();
    throw FileError(texts::id::kCouldNotSave, platform::utf8(target_), what);
}

void AtomicFile::write(std::string_view text) {
    if (done_) throw FileError("Could not save " + platform::utf8(target_) + ": the file was already closed.");
    // A short write is caught here, not at commit, so that nothing after a
    // lost piece is written either.
    while (!text.empty()) {
        const auto n = writeSome(fd_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(writeProblem(errno));
        }
        if (n == 0) fail(writeProblem(ENOSPC));
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicFile::commit() {
    if (done_) throw FileError("Could not save " + platform::utf8(target_) + ": the file was already closed.");
    // The data must be on the disk before the rename makes it the file.
    if (syncFile(fd_) != 0 && errno != EINVAL) fail(writeProblem(errno));
    const int fd = fd_;
    fd_ = -1;
    if (closeFile(fd) != 0) fail(writeProblem(errno));
    std::error_code error;
    std::filesystem::rename(temporary_, real_, error);
    if (error) fail(texts::Phrase(texts::id::kCannotReplace, {error.message()}));
    unregisterTemporary(slot_);
    slot_ = -1;
    done_ = true;
}

void removeTemporaryFilesOnSignals() {
#if !defined(_WIN32)
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);

    struct sigaction clean {};
    clean.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&clean.sa_mask);
    clean.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        // A signal the caller's shell made us ignore (nohup, background jobs) stays ignored.
        if (previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &clean, nullptr);
    }
#endif
}

}  // namespace zrk::files
