#include "qt/paths.h"

#include <QFile>

namespace zrk::qt {

std::filesystem::path toPath(const QString& text) {
#if defined(_WIN32)
    return std::filesystem::path(text.toStdWString());
#else
    const QByteArray name = QFile::encodeName(text);
    return std::filesystem::path(std::string(name.constData(), static_cast<std::size_t>(name.size())));
#endif
}

QString fromPath(const std::filesystem::path& path) {
#if defined(_WIN32)
    return QString::fromStdWString(path.native());
#else
    const auto& name = path.native();
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
#endif
}

}  // namespace zrk::qt
