#pragma once

#include <cmath>

namespace zrk::gui {

// The model places and sizes windows in twips (1/1440 inch); the screen
// counts pixels at its logical resolution.
inline int twipsToPixels(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
inline int pixelsToTwips(int pixels, int dpi) { return static_cast<int>(std::lround(pixels * 1440.0 / dpi)); }

}  // namespace zrk::gui
