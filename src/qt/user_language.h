#pragma once

#include <string>

namespace zrk::qt {

// The user's language setting as a locale name, for the choice of texts.
// Windows: "es-ES_tradnl" for the Spanish traditional sort (LCID 0x040A),
// which Qt names like the modern one; otherwise the system locale's name
// ("fr_FR"). Elsewhere: the first of LC_ALL, LC_MESSAGES and LANG that is set,
// as it stands, so that a modifier such as "es_ES.UTF-8@traditional" reaches
// the choice; the system locale's name when none is set.
std::string systemUserLanguage();

}  // namespace zrk::qt
