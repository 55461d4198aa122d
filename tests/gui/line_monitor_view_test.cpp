// The line monitor window on the offscreen platform: Ctrl+L, the table of
// frames with their meanings, colours, counters, Pause, Clear, Save as…,
// following the end and the limit of kept rows.
#include "gui/view/line_monitor_view.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/view/main_window_view.h"
#include "sim/faults.h"
#include "sim/simulated_port.h"
#include "started_program.h"
#include "test_program.h"

using namespace zrk;

namespace {

QString cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.data(model.index(row, column), role).toString();
}

link::LineEvent lineEventAt(double time, link::LineEventKind kind = link::LineEventKind::Sent) {
    link::LineEvent e;
    e.time = time;
    e.kind = kind;
    e.bytes = {0x4A, 0x58};
    e.meaning = "m";
    return e;
}

// A program with its window and the monitor, on the simulated unit.
struct Monitored {
    test::WindowedProgram p{"1\r\n0\r\n0\r\n\"1\"\r\n0\r\n", test::simulatedUnit()};
    gui::MainWindowView view{p.program};
    gui::LineMonitorView* monitor = view.findChild<gui::LineMonitorView*>();
    Monitored() {
        p.program.Main();
        view.show();
    }
    sim::SimulatedPort& unit() { return p.machine.port<sim::SimulatedPort>(); }
    QAbstractItemModel& model() { return *monitor->model(); }
};

}  // namespace

class LineMonitorViewTest : public QObject {
    Q_OBJECT

private slots:
    void ctrlLOpensItAndAReadShowsEveryFrameWithItsMeaning() {
        Monitored m;
        QVERIFY(m.monitor);
        QVERIFY(!m.monitor->isVisible());
        QApplication::setActiveWindow(&m.view);
        QVERIFY(QTest::qWaitForWindowActive(&m.view));
        QTest::keyClick(&m.view, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(m.monitor->isVisible());
        QCOMPARE(m.monitor->windowTitle(), QString("Line monitor"));

        m.unit().device().clearFrameLog();
        m.p.frm().CLeer.Click();
        m.monitor->refresh();
        const auto& frames = m.unit().device().frameLog();
        QVERIFY(frames.size() > 100);
        QCOMPARE(m.model().rowCount(), static_cast<int>(2 * frames.size()));
        const QStringList headers = {"Time", "Direction", "Bytes", "Meaning", "Attempt"};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(m.model().headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(cell(m.model(), 0, 1), QString("TX"));
        QCOMPARE(cell(m.model(), 0, 2), QString("4A 58 00 00 80 00 00 7F"));
        QCOMPARE(cell(m.model(), 0, 3), QString("identification byte 0"));
        QCOMPARE(cell(m.model(), 0, 4), QString("1"));
        QCOMPARE(cell(m.model(), 1, 1), QString("RX"));
        QVERIFY2(cell(m.model(), 1, 3).startsWith(QString::fromUtf8("identification byte 0 \u2192 0x")),
                 qPrintable(cell(m.model(), 1, 3)));
        // The first read of the parameters, with its value.
        int firstRead = -1;
        for (int r = 0; r < m.model().rowCount() && firstRead < 0; ++r)
            if (cell(m.model(), r, 3).startsWith("read address ")) firstRead = r;
        QVERIFY(firstRead > 0);
        const int address = cell(m.model(), firstRead, 3).mid(13).toInt();
        QCOMPARE(cell(m.model(), firstRead + 1, 3),
                 QString::fromUtf8("read address %1 \u2192 %2").arg(address).arg(m.unit().device().memory(address)));
        QVERIFY(m.monitor->countersLabel()->text().contains(QString("Transactions: %1").arg(frames.size())));
        QVERIFY(m.monitor->countersLabel()->text().contains("Attempts without a reply: 0"));
        QVERIFY(!m.model().data(m.model().index(0, 0), Qt::BackgroundRole).isValid());
    }

    void failuresAndThrownAwayBytesAreInColour() {
        Monitored m;
        m.monitor->show();
        m.unit().unit().setFaults(sim::parseFaults({"no-answer"}));
        m.p.frm().CDia.Click();
        m.monitor->refresh();
        QCOMPARE(m.model().rowCount(), 6);  // three frames, three attempts without a reply
        QCOMPARE(cell(m.model(), 1, 1), QString("--"));
        QCOMPARE(cell(m.model(), 1, 3), QString("no reply, attempt 1 of 3"));
        QCOMPARE(m.model().data(m.model().index(1, 3), Qt::BackgroundRole).value<QColor>(),
                 gui::LineMonitorModel::failureColor());
        QVERIFY(!m.model().data(m.model().index(0, 3), Qt::BackgroundRole).isValid());
        QVERIFY(m.monitor->countersLabel()->text().contains("Retries: 2"));
        QVERIFY(m.monitor->countersLabel()->text().contains("Attempts without a reply: 3"));

        m.unit().unit().setFaults(sim::parseFaults({"extra=5"}));
        m.p.frm().CNormal.Click();
        m.monitor->refresh();
        const int last = m.model().rowCount() - 1;
        QCOMPARE(cell(m.model(), last, 3), QString("dropped 5 late bytes"));
        QCOMPARE(m.model().data(m.model().index(last, 2), Qt::BackgroundRole).value<QColor>(),
                 gui::LineMonitorModel::discardColor());
    }

    void pauseClearAndSaveAs() {
        Monitored m;
        m.monitor->show();
        m.p.frm().CDia.Click();
        m.monitor->refresh();
        QCOMPARE(m.model().rowCount(), 2);

        QTest::mouseClick(m.monitor->pauseButton(), Qt::LeftButton);
        QCOMPARE(m.monitor->pauseButton()->text(), QString("Resume"));
        m.p.frm().CNoche.Click();
        m.monitor->refresh();
        QCOMPARE(m.model().rowCount(), 2);
        QVERIFY2(m.monitor->countersLabel()->text().contains("Transactions: 2"), "the counters go on");
        QTest::mouseClick(m.monitor->pauseButton(), Qt::LeftButton);
        QCOMPARE(m.monitor->pauseButton()->text(), QString("Pause"));
        m.p.frm().CNormal.Click();
        m.monitor->refresh();
        QCOMPARE(m.model().rowCount(), 4);

        const auto path = (m.p.machine.folder.path() / "trace.txt").string();
        m.p.machine.ui.files = {path};
        QTest::mouseClick(m.monitor->saveButton(), Qt::LeftButton);
        QCOMPARE(m.p.machine.ui.lastFilter, std::string("Line trace|*.txt"));
        std::ifstream in(path);
        std::stringstream saved;
        saved << in.rdbuf();
        QCOMPARE(QString::fromStdString(saved.str()), QString::fromStdString(m.monitor->monitor().traceText()));
        const QStringList lines = QString::fromStdString(saved.str()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].mid(8), QString(" TX 4A 58 00 00 06 01 01 F9"));
        QCOMPARE(lines[3].mid(8), QString(" RX 4A 58 00 00 06 01 00 F8"));

        // A folder where the file should go: said in a message box.
        m.p.machine.ui.files = {m.p.machine.folder.path().string()};
        QTest::mouseClick(m.monitor->saveButton(), Qt::LeftButton);
        QCOMPARE(m.p.machine.ui.messages.size(), std::size_t{1});
        QVERIFY(m.p.machine.ui.messages[0].text.rfind("The trace could not be saved:", 0) == 0);

        QTest::mouseClick(m.monitor->clearButton(), Qt::LeftButton);
        QCOMPARE(m.model().rowCount(), 0);
        QVERIFY(m.monitor->countersLabel()->text().contains("Transactions: 0"));
        QVERIFY(m.monitor->monitor().traceText().empty());
    }

    void listensOnlyWhileOpen() {
        Monitored m;
        m.p.frm().CDia.Click();
        m.monitor->show();
        m.p.frm().CNoche.Click();
        m.monitor->close();
        m.p.frm().CNormal.Click();
        m.monitor->show();
        m.monitor->refresh();
        QCOMPARE(m.model().rowCount(), 2);
        QCOMPARE(cell(m.model(), 0, 2), QString("4A 58 00 00 06 01 02 FA"));
    }

    void keepsTheLastRowsAndFollowsTheEnd() {
        test::StartedProgram started;
        form::LineMonitor monitor(started.program->state.link, started.program->state.texts, started.machine.clock);
        gui::LineMonitorModel model(monitor);
        const std::size_t limit = form::LineMonitor::kKeptRows;
        for (std::size_t i = 0; i < limit - 10; ++i) monitor.lineEvent(lineEventAt(1000.0 + static_cast<double>(i)));
        QCOMPARE(model.sync(), static_cast<int>(limit - 10));
        for (std::size_t i = limit - 10; i < limit + 25; ++i)
            monitor.lineEvent(lineEventAt(1000.0 + static_cast<double>(i)));
        QCOMPARE(monitor.size(), limit);
        QCOMPARE(monitor.removed(), std::uint64_t{25});
        // Before the table catches up its rows still show what they showed.
        const QString firstShown = cell(model, 25, 0);
        QCOMPARE(model.sync(), 35);
        QCOMPARE(model.rowCount(), static_cast<int>(limit));
        QCOMPARE(cell(model, 0, 0), firstShown);
        QCOMPARE(cell(model, static_cast<int>(limit) - 1, 0),
                 QString::fromStdString(monitor.text(limit - 1, form::LineMonitor::ColumnTime)));

        // Cleared, then new rows: the table holds exactly those.
        monitor.clear();
        monitor.lineEvent(lineEventAt(2000.0, link::LineEventKind::NoReply));
        QCOMPARE(model.sync(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(cell(model, 0, 1), QString("--"));
    }

    void followsTheEndUnlessScrolledUp() {
        Monitored m;
        m.monitor->show();
        auto& monitor = m.monitor->monitor();
        auto* bar = m.monitor->table()->verticalScrollBar();
        const auto add = [&](int n) {
            for (int i = 0; i < n; ++i) monitor.lineEvent(lineEventAt(1000.0 + i));
            m.monitor->refresh();
            QCoreApplication::processEvents();
        };
        add(500);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(10);
        add(50);
        QCOMPARE(bar->value(), 10);
        bar->setValue(bar->maximum());
        add(50);
        QCOMPARE(bar->value(), bar->maximum());
    }
};

QTEST_MAIN(LineMonitorViewTest)
#include "line_monitor_view_test.moc"
