#include "gui/view/clickable_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace zrk::gui {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release on the label, like a button's.
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

void ClickableLabel::setElided(bool elided) {
    if (elided_ == elided) return;
    elided_ = elided;
    updateToolTip();
    update();
}

QRect ClickableLabel::textPlace() const {
    // As QLabel places it: inside the margin, indented on its aligned side.
    QRect place = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const int inset = indent() >= 0 ? indent() : (frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0);
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (align & Qt::AlignLeft) place.setLeft(place.left() + inset);
    if (align & Qt::AlignRight) place.setRight(place.right() - inset);
    return place;
}

int ClickableLabel::textOverflow() const {
    if (text().isEmpty() || !pixmap().isNull()) return 0;
    const QRect place = textPlace();
    const QFontMetrics metrics = fontMetrics();
    if (!wordWrap()) return std::max(0, metrics.horizontalAdvance(text()) - place.width());
    // A word wider than the label runs past it on its line.
    const QRect needed = metrics.boundingRect(QRect(0, 0, place.width(), 1 << 16), Qt::TextWordWrap, text());
    return std::max({0, needed.width() - place.width(), needed.height() - place.height()});
}

bool ClickableLabel::cutShort() const { return elided_ && !wordWrap() && textOverflow() > 0; }

void ClickableLabel::updateToolTip() {
    if (!elided_) return;
    const QString tip = cutShort() ? text() : QString();
    if (toolTip() != tip) setToolTip(tip);
}

bool ClickableLabel::wrapOnTwoLines() {
    if (wordWrap() || text().isEmpty()) return false;
    const QFontMetrics metrics = fontMetrics();
    const QRect place = textPlace();
    const int aroundX = width() - place.width();
    const int aroundY = height() - place.height();
    const auto fits = [&](int room) {
        const QRect needed = metrics.boundingRect(QRect(0, 0, room, 1 << 16), Qt::TextWordWrap, text());
        return needed.width() <= room && needed.height() <= 2 * metrics.lineSpacing();
    };
    // A word wider than the label, or a third line: no wrapping helps.
    int room = place.width();
    if (!fits(room)) return false;
    // The narrowest width that still takes two lines leaves the most room beside it.
    while (room > 1 && fits(room - 1)) --room;
    setWordWrap(true);
    const int height = metrics.boundingRect(QRect(0, 0, room, 1 << 16), Qt::TextWordWrap, text()).height();
    setMinimumSize(room + aroundX, std::max(minimumHeight(), height + aroundY));
    return true;
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    if (!cutShort()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect place = textPlace();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, place.width());
    style()->drawItemText(&painter, place, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
}

void ClickableLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateToolTip();
}

}  // namespace zrk::gui
