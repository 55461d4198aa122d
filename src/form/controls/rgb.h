#pragma once

namespace zrk::form {

// A colour, each part 0 to 255.
struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

}  // namespace zrk::form
