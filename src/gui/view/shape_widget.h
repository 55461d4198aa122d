#pragma once

#include <QWidget>

namespace zrk::gui {

// A square outline drawn on a page.
class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    ShapeWidget(int side, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zrk::gui
