#pragma once

// Sizes of the main window's parts in twips, so the window keeps its
// proportions at any screen resolution.
namespace zrk::gui::metrics {

inline constexpr int kNumberFieldWidth = 720;
inline constexpr int kSensorFieldWidth = 600;
inline constexpr int kListWidth = 1500;
inline constexpr int kCaptionWidth = 1500;
inline constexpr int kLeftColumnWidth = 2640;
inline constexpr int kActionButtonWidth = 1215;
inline constexpr int kCommandButtonWidth = 930;
inline constexpr int kLampSize = 240;
inline constexpr int kLampRowHeight = 285;
inline constexpr int kLogoWidth = 2415;
inline constexpr int kLogoHeight = 1575;
inline constexpr int kColourLabelWidth = 1050;
inline constexpr int kStateLabelWidth = 690;

// No text of the window is drawn smaller: what does not fit at this face
// wraps or is elided instead.
inline constexpr double kLeastPointSize = 8.0;

}  // namespace zrk::gui::metrics
