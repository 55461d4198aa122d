#include "gui/view/shape_widget.h"

#include <QPainter>

namespace zrk::gui {

ShapeWidget::ShapeWidget(int side, QWidget* parent) : QWidget(parent) { setFixedSize(side, side); }

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zrk::gui
