#pragma once

#include <QComboBox>

namespace zrk::gui {

// A combo box that also reports losing focus and wheel scrolling, which the
// operating-mode list reacts to.
class ModelComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

signals:
    void focusLost();
    void wheelScrolled();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace zrk::gui
