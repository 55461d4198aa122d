#pragma once

#include <QWidget>

namespace zrk::gui {

// The tool's logo: a lantern on its tower sweeping two beams over the sea.
// Drawn, not loaded, so it scales cleanly to whatever size it is given.
class LogoWidget : public QWidget {
    Q_OBJECT
public:
    explicit LogoWidget(QSize size, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zrk::gui
