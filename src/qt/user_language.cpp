#include "qt/user_language.h"

#include <QByteArray>
#include <QLocale>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace zrk::qt {

std::string systemUserLanguage() {
#ifdef Q_OS_WIN
    constexpr LCID kSpanishTraditionalSort = 0x040A;
    if (GetUserDefaultLCID() == kSpanishTraditionalSort) return "es-ES_tradnl";
#else
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) return value.toStdString();
    }
#endif
    return QLocale::system().name().toStdString();
}

}  // namespace zrk::qt
