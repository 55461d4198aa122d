#include "gui/view/model_combo_box.h"

#include <QFocusEvent>

namespace zrk::gui {

void ModelComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Opening the drop-down or switching to another program is no loss of
    // focus for the operator.
    const auto reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) emit focusLost();
}

void ModelComboBox::wheelEvent(QWheelEvent* event) {
    QComboBox::wheelEvent(event);
    emit wheelScrolled();
}

}  // namespace zrk::gui
