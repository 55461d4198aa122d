#pragma once

#include <QLabel>

namespace zrk::gui {

// A label that reports a click, as the row-colour labels need. Told that it
// may be cut short, a one-line text too long for it ends in an ellipsis and
// the whole text is its tooltip.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setElided(bool elided);
    bool elided() const { return elided_; }
    // Pixels by which the text runs past its place, wider or (wrapped)
    // taller; 0 when it fits.
    int textOverflow() const;
    // Whether the text shows cut short now; the tooltip follows it.
    bool cutShort() const;
    void updateToolTip();
    // Wraps a one-line text onto two lines of even length, and keeps the
    // label from being made narrower or lower than they need; false when two
    // lines at its present width cannot hold the text.
    bool wrapOnTwoLines();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textPlace() const;

    bool pressed_ = false;
    bool elided_ = false;
};

}  // namespace zrk::gui
