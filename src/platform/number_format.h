#pragma once

#include <string>

namespace zrk::platform {

// The user's regional number settings, read from the operating system. The
// separators are UTF-8 strings: many regions group with a non-ASCII blank
// (U+00A0, U+202F) or an apostrophe.
struct NumberFormat {
    std::string decimal = ".";
    std::string grouping = ",";
};

}  // namespace zrk::platform
