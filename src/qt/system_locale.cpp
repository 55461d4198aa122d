#include "qt/system_locale.h"

#include <QLocale>

namespace zrk::qt {

platform::NumberFormat numberFormatOf(const QLocale& locale) {
    platform::NumberFormat format;
    // Taken as they are, in UTF-8: French groups with U+202F, Russian and
    // the Nordic languages with U+00A0, Swiss German with an apostrophe.
    const QString decimal = locale.decimalPoint();
    if (!decimal.isEmpty()) format.decimal = decimal.toStdString();
    format.grouping = locale.groupSeparator().toStdString();
    return format;
}

platform::NumberFormat systemNumberFormat() { return numberFormatOf(QLocale::system()); }

}  // namespace zrk::qt
