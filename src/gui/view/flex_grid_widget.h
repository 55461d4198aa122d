#pragma once

#include <QTableWidget>

namespace zrk::gui {

// The flash-pattern grid. The first model row and column are the headers, so
// they stay in place while the 32 angle columns scroll. The widget never edits
// a cell itself: typed characters go out as keyTyped and the model decides
// what the cell shows.
class FlexGridWidget : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGridWidget(QWidget* parent = nullptr);

signals:
    void keyTyped(int code);
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace zrk::gui
