#pragma once

#include "platform/number_format.h"

namespace zrk::qt {

// The user's decimal and grouping separators, from the operating system.
platform::NumberFormat systemNumberFormat();

}  // namespace zrk::qt
