// The table write in the window, with the real message boxes: the
// confirmation lists the rows and pairs that change, the progress shows
// while the cells go out. With ZRK_SCREENSHOT_DIR set, both are saved as
// pictures to look at.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "frame_hook_port.h"
#include "gui/view/main_window_view.h"
#include "gui/widgets_ui.h"
#include "ops/segment_transfer.h"
#include "test_program.h"

using namespace zrk;

namespace {

// The program on the fake machine with a simulated LED lantern on the line,
// asking through real message boxes.
struct LanternInTheWindow {
    test::FakeMachine machine{test::hookedUnit("led-lantern")};
    test::QtEventLoop events{machine.clock};
    gui::WidgetsUserInterface ui;
    platform::Platform platform{
        machine.platform.port, events, machine.clock, ui, machine.store, machine.platform.info, {}, "en-US",
        machine.launcher};
    app::Program program{platform};
    gui::MainWindowView view{program};
};

void save(QWidget& widget, const QString& name) {
    if (qEnvironmentVariableIsSet("ZRK_SCREENSHOT_DIR"))
        widget.grab().save(qEnvironmentVariable("ZRK_SCREENSHOT_DIR") + "/" + name);
}

}  // namespace

class TableWriteViewTest : public QObject {
    Q_OBJECT
private slots:
    void theConfirmationListsTheChangesAndTheProgressShows();
};

void TableWriteViewTest::theConfirmationListsTheChangesAndTheProgressShows() {
    LanternInTheWindow t;
    form::FrmMain& frm = t.program.state.frm;
    t.program.state.emptyLoop = [&](std::int64_t passes) { test::virtualEmptyLoop(t.machine.clock, passes); };
    QCOMPARE(t.program.Main(), 0);
    frm.CLeer.Click();  // identified: the LED page shows
    frm.TabStrip1.select(5);
    QVERIFY(ops::CLeerColores_Click(t.program.state).done());

    // Row 2 gets another colour and its first pair another start.
    t.program.state.flash.pauta(2, 1) = 100;
    frm.LColor(2).setCaption("65535");
    tables::RedibujaGrid(frm, t.program.state.flash, t.program.state.texts);

    QString question, details;
    bool progressSeen = false;
    t.events.onProcess = [&] {
        if (t.program.state.progress.active() && t.program.state.progress.done() > 3 && !progressSeen) {
            progressSeen = true;
            save(t.view, "table_write_progress.png");
        }
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        question = box->text();
        details = box->informativeText();
        save(*box, "table_write_confirmation.png");
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(20);
    auto* write = qobject_cast<QPushButton*>(t.view.widgetFor(frm.CEscribirColores));
    QVERIFY(write != nullptr);
    write->click();
    poll.stop();
    t.events.onProcess = {};

    QCOMPARE(question, QString("Write these changes to the flash-pattern table of unit 40101?"));
    QVERIFY2(details.startsWith(QString::fromUtf8("Row 2, colour: 255 \u2192 65535\n"
                                                  "Row 2, pair 1: 120 - 180 \u2192 100 - 180\n")),
             qPrintable(details));
    QVERIFY(progressSeen);
    QCOMPARE(QString::fromStdString(frm.status()), QString("Ended"));
    auto& unit = t.machine.port<test::FrameHookPort>().device();
    QCOMPARE(int(unit.segment(1, 128 + 4)), 100);  // row 2, first entry, low byte
}

QTEST_MAIN(TableWriteViewTest)
#include "table_write_view_test.moc"
