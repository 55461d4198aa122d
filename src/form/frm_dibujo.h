#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "form/control_registry.h"

namespace zrk::form {

// One circle outline on the drawing window: centre and radius in twips from
// the top left corner of its client area, colour as RGB with red in the low
// byte.
struct DrawnCircle {
    int cx = 0, cy = 0, radius = 0;
    std::int32_t color = 0;
    bool operator==(const DrawnCircle&) const = default;
};

// The drawing window: no controls, only what has been drawn on it. It is
// "created" by being shown and "removed" by Unload, which hides it and gives
// it back its first size and an empty drawing.
class FrmDibujo {
    ControlRegistry reg_;

public:
    // The client area a new window gets.
    static constexpr int kClientWidth = 5865;
    static constexpr int kClientHeight = 4650;
    // What a sizable frame with a title bar adds to the client area, until the
    // window system reports the frame it really draws.
    static constexpr int kFrameWidth = 120;
    static constexpr int kFrameHeight = 510;

    ControlRegistry& controls() { return reg_; }
    // Geometry is the outer size, frame included, as the window system reports it.
    FormControl& FormDibujo = reg_.make<FormControl>("FormDibujo", -1, nullptr);

    FrmDibujo();

    int ScaleWidth() const { return clientWidth_; }
    int ScaleHeight() const { return clientHeight_; }
    // The window system reports the window's place, outer size and client size.
    void windowGeometry(int left, int top, int width, int height, int clientWidth, int clientHeight);

    // Draws a circle outline over what the window shows.
    void Circle(int cx, int cy, int radius, std::int32_t color);
    // Everything drawn since the window was created, in drawing order.
    const std::vector<DrawnCircle>& circles() const { return circles_; }

    // The window is closed by its own close box.
    void Unload();
    // Raised by Unload once the window is gone.
    Event<> Unloaded;

    // Called after every drawing (and when the drawing is dropped), for the
    // view to repaint. Returns a token for unsubscribeDrawing.
    int subscribeDrawing(std::function<void()> listener);
    void unsubscribeDrawing(int token);

private:
    void reset();
    void drawingChanged();
    int clientWidth_ = 0, clientHeight_ = 0;
    std::vector<DrawnCircle> circles_;
    std::map<int, std::function<void()>> drawingListeners_;
    int nextToken_ = 1;
};

}  // namespace zrk::form
