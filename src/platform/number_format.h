#pragma once

namespace zrk::platform {

// The user's regional number settings, read from the operating system.
struct NumberFormat {
    char decimal = '.';
    char grouping = ',';
};

}  // namespace zrk::platform
