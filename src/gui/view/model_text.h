#pragma once

#include <QString>
#include <string>

namespace zrk::gui {

// The model keeps its texts as UTF-8.
inline QString toQt(const std::string& text) { return QString::fromStdString(text); }
inline std::string fromQt(const QString& text) { return text.toStdString(); }

}  // namespace zrk::gui
