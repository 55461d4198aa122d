#include "test_program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/view/main_window_view.h"

namespace zrk::test {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void QtEventLoop::processEvents() {
    QCoreApplication::processEvents();
    if (onProcess) onProcess();
}

void QtEventLoop::waitUntil(double deadline) {
    // Nothing answers on the fake port: the wait ends at its deadline.
    clock_.pauseUntil(deadline);
    processEvents();
}

WindowedProgram::WindowedProgram(const std::string& ini, const PortFactory& makePort, const std::string& userLanguage)
    : machine(makePort, ini),
      platform{machine.platform.port, events, machine.clock, machine.ui,      machine.store,
               machine.platform.info, {},     userLanguage,  machine.launcher},
      program(platform) {
    program.state.emptyLoop = [this](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
}

QString firstMismatch(const gui::MainWindowView& view, const form::FrmMain& frm) {
    for (const auto& owned : frm.controls().all()) {
        const form::Control& control = *owned;
        const QString key = q(control.key());
        if (control.kind() == form::Kind::Timer || control.kind() == form::Kind::Form) continue;
        const QWidget* widget = view.widgetFor(control);
        if (widget == nullptr) return key + ": no widget";
        if (widget->isHidden() == control.Visible()) return key + ": shown differs";
        if (widget->isEnabledTo(widget->parentWidget()) != control.Enabled()) return key + ": enabled differs";
        QString shown, wanted;
        if (const auto* text = dynamic_cast<const form::TextBox*>(&control)) {
            wanted = q(text->Text());
            if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) shown = edit->text();
            if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) shown = edit->toPlainText();
        } else if (const auto* check = dynamic_cast<const form::CheckBox*>(&control)) {
            const auto* box = qobject_cast<const QCheckBox*>(widget);
            wanted = q(check->Caption()) + "|" + QString::number(check->Value());
            shown = box->text() + "|" + QString::number(box->isChecked() ? 1 : 0);
        } else if (const auto* list = dynamic_cast<const form::ComboBox*>(&control)) {
            const auto* combo = qobject_cast<const QComboBox*>(widget);
            for (const auto& item : list->items()) wanted += q(item) + ";";
            wanted += "|" + QString::number(list->ListIndex()) + "|" + q(list->Text());
            for (int i = 0; i < combo->count(); ++i) shown += combo->itemText(i) + ";";
            shown += "|" + QString::number(combo->currentIndex()) + "|" + combo->currentText();
        } else if (const auto* captioned = dynamic_cast<const form::CaptionedControl*>(&control)) {
            wanted = q(captioned->Caption());
            if (const auto* label = qobject_cast<const QLabel*>(widget)) shown = label->text();
            if (const auto* button = qobject_cast<const QPushButton*>(widget)) shown = button->text();
            if (const auto* group = qobject_cast<const QGroupBox*>(widget)) shown = group->title();
        }
        if (shown != wanted) return key + ": shows \"" + shown + "\", model has \"" + wanted + "\"";
    }
    return {};
}

}  // namespace zrk::test
