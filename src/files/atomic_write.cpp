#include "files/atomic_write.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

namespace zrk::files {
namespace {

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    auto name = target.filename().string() + ".tmp-" + std::to_string(stamp) + "-" + std::to_string(counter++);
    return target.parent_path() / name;
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& target, const std::string& content) {
    const auto temporary = temporaryBeside(target);
    auto fail = [&](const std::string& what) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw FileError("Could not write " + target.string() + ": " + what + ". The file was left as it was.");
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) fail("cannot create a file in " + target.parent_path().string() + " (check permissions)");
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) fail("the disk refused the data (is it full?)");
        out.close();
        if (out.fail()) fail("the disk refused the data (is it full?)");
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) fail("cannot replace it (" + error.message() + ")");
}

}  // namespace zrk::files
