#pragma once

#include "platform/number_format.h"

class QLocale;

namespace zrk::qt {

// The decimal and grouping separators of a locale.
platform::NumberFormat numberFormatOf(const QLocale& locale);
// The user's decimal and grouping separators, from the operating system.
platform::NumberFormat systemNumberFormat();

}  // namespace zrk::qt
