#include "form/frm_dibujo.h"

namespace zrk::form {

FrmDibujo::FrmDibujo() {
    FormDibujo.setCaption("Form1");
    FormDibujo.setVisible(false);
    reset();
}

void FrmDibujo::reset() {
    circles_.clear();
    clientWidth_ = kClientWidth;
    clientHeight_ = kClientHeight;
    // The window system chooses the place of a new window; 0, 0 until it says.
    FormDibujo.Move(0, 0, kClientWidth + kFrameWidth, kClientHeight + kFrameHeight);
}

void FrmDibujo::windowGeometry(int left, int top, int width, int height, int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    FormDibujo.Move(left, top, width, height);
}

void FrmDibujo::Circle(int cx, int cy, int radius, std::int32_t color) {
    circles_.push_back({cx, cy, radius, color});
    drawingChanged();
}

void FrmDibujo::Unload() {
    if (!FormDibujo.Visible()) return;
    FormDibujo.setVisible(false);
    reset();
    drawingChanged();
    Unloaded();
}

int FrmDibujo::subscribeDrawing(std::function<void()> listener) {
    drawingListeners_.emplace(nextToken_, std::move(listener));
    return nextToken_++;
}

void FrmDibujo::unsubscribeDrawing(int token) { drawingListeners_.erase(token); }

void FrmDibujo::drawingChanged() {
    // A copy: a listener may unsubscribe while it is told.
    const auto listeners = drawingListeners_;
    for (const auto& [token, listener] : listeners) listener();
}

}  // namespace zrk::form
