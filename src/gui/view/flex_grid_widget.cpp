#include "gui/view/flex_grid_widget.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace zrk::gui {
namespace {

// The row headers take the row's colour; most styles draw header sections
// with their own gradient and ignore the item's background, so paint it here.
class RowHeaderView : public QHeaderView {
public:
    explicit RowHeaderView(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override {
        const QVariant background = model()->headerData(section, orientation(), Qt::BackgroundRole);
        const QBrush brush = background.value<QBrush>();
        if (!background.isValid() || brush.style() == Qt::NoBrush) {
            QHeaderView::paintSection(painter, rect, section);
            return;
        }
        painter->save();
        painter->fillRect(rect, brush);
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        // Dark text on light colours, light text on dark ones.
        painter->setPen(brush.color().lightness() > 128 ? Qt::black : Qt::white);
        const QString text = model()->headerData(section, orientation(), Qt::DisplayRole).toString();
        painter->drawText(rect, Qt::AlignCenter, text.trimmed());
        painter->restore();
    }
};

}  // namespace

FlexGridWidget::FlexGridWidget(QWidget* parent) : QTableWidget(parent) {
    setVerticalHeader(new RowHeaderView(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    // The view scrolls to the current cell only when the operator moves it
    // (see the main window); the program's moves leave it where it is.
    setAutoScroll(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setMinimumSectionSize(1);
        header->setDefaultAlignment(Qt::AlignCenter);
    }
}

bool FlexGridWidget::event(QEvent* event) {
    // Tab is an editing key of the grid (one column to the right), not a
    // move to the next control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            emit keyTyped(9);
            return true;
        }
    }
    return QTableWidget::event(event);
}

void FlexGridWidget::keyPressEvent(QKeyEvent* event) {
    // Every character goes to the model (digits, backspace and the rest: the
    // model ignores what it does not use); only the movement keys stay here.
    if (event->key() == Qt::Key_Backspace) {
        emit keyTyped(8);
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 256 && !(event->modifiers() & Qt::ControlModifier)) {
        emit keyTyped(text.at(0).unicode());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void FlexGridWidget::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    const auto reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) emit focusLost();
}

}  // namespace zrk::gui
