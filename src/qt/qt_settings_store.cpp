#include "qt/qt_settings_store.h"

#include <QSettings>

namespace zrk::qt {
namespace {
QString path(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + '/' + QString::fromStdString(key);
}
}  // namespace

void QtSettingsStore::setValue(const std::string& app, const std::string& section, const std::string& key,
                               const std::string& value) {
    QSettings settings(QSettings::UserScope, QString::fromStdString(app), QString::fromStdString(app));
    settings.setValue(path(section, key), QString::fromStdString(value));
}

std::optional<std::string> QtSettingsStore::value(const std::string& app, const std::string& section,
                                                  const std::string& key) const {
    QSettings settings(QSettings::UserScope, QString::fromStdString(app), QString::fromStdString(app));
    const QVariant v = settings.value(path(section, key));
    if (!v.isValid()) return std::nullopt;
    return v.toString().toStdString();
}

}  // namespace zrk::qt
