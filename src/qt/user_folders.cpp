#include "qt/user_folders.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace zrk::qt {
namespace {

std::filesystem::path pathOf(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

}  // namespace

std::filesystem::path userDataFolder() {
    return pathOf(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) / "zrk";
}

std::filesystem::path userConfigFolder() {
    return pathOf(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) / "ZRK";
}

std::filesystem::path programFolder() { return pathOf(QCoreApplication::applicationDirPath()); }

std::filesystem::path installedShareFolder() {
    const auto share = programFolder().parent_path() / "share" / "zrk";
    std::error_code ignored;
    return std::filesystem::is_directory(share, ignored) ? share : std::filesystem::path();
}

}  // namespace zrk::qt
