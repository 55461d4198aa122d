#include "gui/view/lamp_widget.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace zrk::gui {

LampWidget::LampWidget(QColor color, int diameter, QWidget* parent) : QWidget(parent), color_(color) {
    setFixedSize(diameter, diameter);
}

void LampWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal d = std::min(width(), height()) - 1.0;
    const QRectF disc((width() - d) / 2.0, (height() - d) / 2.0, d, d);

    QRadialGradient body(disc.center(), d / 2.0);
    body.setColorAt(0.0, color_);
    body.setColorAt(0.55, color_);
    body.setColorAt(1.0, color_.darker(175));
    painter.setPen(QPen(color_.darker(260), 1.0));
    painter.setBrush(body);
    painter.drawEllipse(disc);

    // A small glint up left, so the lamp reads as a lens and not a flat dot.
    const QRectF glint(disc.left() + d * 0.22, disc.top() + d * 0.16, d * 0.32, d * 0.22);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(glint);
}

}  // namespace zrk::gui
