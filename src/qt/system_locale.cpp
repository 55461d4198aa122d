#include "qt/system_locale.h"

#include <QLocale>

namespace zrk::qt {

platform::NumberFormat systemNumberFormat() {
    const QLocale locale = QLocale::system();
    platform::NumberFormat format;
    const QString decimal = locale.decimalPoint();
    const QString grouping = locale.groupSeparator();
    // The separators are single ASCII characters in every locale we serve;
    // anything else falls back to the defaults.
    if (decimal.size() == 1 && decimal.at(0).unicode() < 128) format.decimal = decimal.at(0).toLatin1();
    if (grouping.size() == 1 && grouping.at(0).unicode() < 128) format.grouping = grouping.at(0).toLatin1();
    return format;
}

}  // namespace zrk::qt
