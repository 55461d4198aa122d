#pragma once

#include <QColor>
#include <QWidget>

namespace zrk::gui {

// A round indicator lamp: the given colour at its centre, shading to the rim.
class LampWidget : public QWidget {
    Q_OBJECT
public:
    LampWidget(QColor color, int diameter, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

}  // namespace zrk::gui
