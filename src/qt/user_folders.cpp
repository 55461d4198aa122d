#include "qt/user_folders.h"

#include <QStandardPaths>

namespace zrk::qt {

std::filesystem::path userDataFolder() {
    // Through UTF-16, so that a folder name that is not ASCII arrives intact.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return std::filesystem::path(base.toStdU16String()) / "zrk";
}

}  // namespace zrk::qt
