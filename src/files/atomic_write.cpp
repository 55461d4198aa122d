#include "files/atomic_write.h"

#include "files/atomic_file.h"

namespace zrk::files {

void writeFileAtomically(const std::filesystem::path& target, const std::string& content) {
    AtomicFile file(target);
    file.write(content);
    file.commit();
}

}  // namespace zrk::files
