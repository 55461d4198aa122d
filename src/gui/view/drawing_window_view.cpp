#include "gui/view/drawing_window_view.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPen>

#include "gui/view/model_text.h"
#include "gui/view/twips.h"

namespace zrk::gui {
namespace {

// The model's colours are RGB with red in the low byte.
QColor toColor(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

}  // namespace

DrawingWindowView::DrawingWindowView(form::FrmDibujo& window, QWidget* parent)
    : QWidget(parent, Qt::Window), window_(window) {
    setObjectName(toQt(window.FormDibujo.key()));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(toQt(window.FormDibujo.Caption()));
    hubToken_ =
        window.controls().hub().subscribe([this](form::Control& control, form::Prop prop) { apply(control, prop); });
    drawingToken_ = window.subscribeDrawing([this] { update(); });
    applyVisible();
}

DrawingWindowView::~DrawingWindowView() {
    window_.controls().hub().unsubscribe(hubToken_);
    window_.unsubscribeDrawing(drawingToken_);
}

void DrawingWindowView::apply(form::Control& control, form::Prop prop) {
    if (&control != &window_.FormDibujo) return;
    if (prop == form::Prop::Caption) setWindowTitle(toQt(window_.FormDibujo.Caption()));
    if (prop == form::Prop::Visible) applyVisible();
}

void DrawingWindowView::applyVisible() {
    applying_ = true;
    if (!window_.FormDibujo.Visible()) {
        hide();
    } else if (isHidden()) {
        // A new window: its first client size, placed by the window system.
        resize(twipsToPixels(window_.ScaleWidth(), logicalDpiX()), twipsToPixels(window_.ScaleHeight(), logicalDpiY()));
        show();
    }
    applying_ = false;
    if (isVisible()) reportGeometry();
}

int DrawingWindowView::twipsX(int pixels) const { return pixelsToTwips(pixels, logicalDpiX()); }
int DrawingWindowView::twipsY(int pixels) const { return pixelsToTwips(pixels, logicalDpiY()); }

void DrawingWindowView::reportGeometry() {
    if (applying_ || !window_.FormDibujo.Visible()) return;
    const QRect outer = frameGeometry();
    window_.windowGeometry(twipsX(outer.x()), twipsY(outer.y()), twipsX(outer.width()), twipsY(outer.height()),
                           twipsX(width()), twipsY(height()));
}

void DrawingWindowView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    reportGeometry();
}

void DrawingWindowView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    reportGeometry();
}

void DrawingWindowView::closeEvent(QCloseEvent* event) {
    // The close box removes the window; the next drawing creates it anew.
    window_.Unload();
    event->accept();
}

void DrawingWindowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.scale(logicalDpiX() / 1440.0, logicalDpiY() / 1440.0);
    for (const form::DrawnCircle& circle : window_.circles()) {
        QPen pen(toColor(circle.color));
        pen.setCosmetic(true);  // one pixel wide at any scale
        pen.setWidth(1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(circle.cx, circle.cy), circle.radius, circle.radius);
    }
}

}  // namespace zrk::gui
