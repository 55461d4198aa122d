// The whole start-up on fakes, with the splash and the main window on screen.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "gui/event_loop_run.h"
#include "gui/view/main_window_view.h"
#include "gui/view/splash_view.h"
#include "gui/view/twips.h"
#include "test_program.h"

using namespace zrk;

class StartupViewTest : public QObject {
    Q_OBJECT

private slots:
    void windowShowsTheStartedModel_data();
    void windowShowsTheStartedModel();
    void splashShowsNameAndVersionCentred();
    void closingDuringTheStartUpEndsTheProgram_data();
    void closingDuringTheStartUpEndsTheProgram();
};

void StartupViewTest::windowShowsTheStartedModel_data() {
    QTest::addColumn<bool>("viewsFirst");
    QTest::newRow("views built before the start-up") << true;
    QTest::newRow("views built after the start-up") << false;
}

void StartupViewTest::windowShowsTheStartedModel() {
    QFETCH(bool, viewsFirst);
    test::WindowedProgram t;
    auto& frm = t.program.state.frm;
    std::unique_ptr<gui::SplashView> splash;
    std::unique_ptr<gui::MainWindowView> view;
    bool splashSeen = false, windowDisagreed = false;
    if (viewsFirst) {
        splash = std::make_unique<gui::SplashView>(t.program.state.splash);
        view = std::make_unique<gui::MainWindowView>(t.program);
        t.events.onProcess = [&] {
            splashSeen = splashSeen || splash->isVisible();
            windowDisagreed = windowDisagreed || view->isVisible() != frm.frmMain.Visible();
        };
    }
    QCOMPARE(t.program.Main(), 0);
    if (!viewsFirst) {
        splash = std::make_unique<gui::SplashView>(t.program.state.splash);
        view = std::make_unique<gui::MainWindowView>(t.program);
    }
    QVERIFY(t.machine.ui.messages.empty());
    QVERIFY(!splash->isVisible());
    QCOMPARE(splashSeen, viewsFirst);
    QVERIFY(!windowDisagreed);  // hidden while the start-up runs, shown at its end

    const int dpi = view->logicalDpiY();
    QVERIFY(view->isVisible());
    QCOMPARE(view->size(), QSize(gui::twipsToPixels(10200, dpi), gui::twipsToPixels(7575, dpi)));
    QCOMPARE(view->pos(),
             QPoint(gui::twipsToPixels(frm.frmMain.Left(), dpi), gui::twipsToPixels(frm.frmMain.Top(), dpi)));
    QCOMPARE(view->windowTitle(), QString("ZRK 1.4.3  "));
    QCOMPARE(test::firstMismatch(*view, frm), QString());

    // Outside the factory view five tabs, the first page on show.
    auto* tabs = qobject_cast<QTabBar*>(view->widgetFor(frm.TabStrip1));
    QCOMPARE(tabs->count(), 5);
    for (int position = 1; position <= 5; ++position)
        QCOMPARE(tabs->tabText(position - 1), QString::fromStdString(frm.TabStrip1.caption(position)));
    QCOMPARE(tabs->currentIndex(), 0);
    for (int i : frm.FrameP.indices())
        QVERIFY2(view->widgetFor(frm.FrameP(i))->isVisible() == (i == 1), frm.FrameP(i).key().c_str());

    auto* grid = qobject_cast<QTableWidget*>(view->widgetFor(frm.MSFlexGridPautas));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString(" 1F"));
    QCOMPARE(view->statusPanel(1)->text(), QString::fromStdString(frm.status()));
}

void StartupViewTest::splashShowsNameAndVersionCentred() {
    test::WindowedProgram t;
    auto& model = t.program.state.splash;
    gui::SplashView splash(model);
    model.lblProductName.setCaption("ZRK");
    model.lblVersion.setCaption("Version 1.4.3");
    QCOMPARE(qobject_cast<QLabel*>(splash.widgetFor(model.lblProductName))->text(), QString("ZRK"));
    QCOMPARE(qobject_cast<QLabel*>(splash.widgetFor(model.lblVersion))->text(), QString("Version 1.4.3"));
    QVERIFY(splash.widgetFor(model.fraMainFrame)->isAncestorOf(splash.widgetFor(model.Image1)));

    QVERIFY(!splash.isVisible());  // hidden until the start-up shows it
    model.frmSplash.setVisible(true);
    QVERIFY(splash.isVisible());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QPoint offCentre =
        splash.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

    model.frmSplash.setVisible(false);
    QVERIFY(!splash.isVisible());
}

void StartupViewTest::closingDuringTheStartUpEndsTheProgram_data() {
    QTest::addColumn<bool>("exitButton");
    QTest::newRow("Exit button") << true;
    QTest::newRow("close box") << false;
}

// The operator closes the window while the speed test runs. Afterwards no
// event loop may start: a zero timer posted before it would run inside one
// and record that it did (and end it, so a fault fails instead of hanging).
void StartupViewTest::closingDuringTheStartUpEndsTheProgram() {
    QFETCH(bool, exitButton);
    test::WindowedProgram t;
    gui::MainWindowView view(t.program);
    bool closed = false;
    t.program.state.emptyLoop = [&](std::int64_t passes) {
        if (!closed) {
            closed = true;
            QVERIFY(view.isVisible());
            if (exitButton)
                QTest::mouseClick(view.widgetFor(t.program.state.frm.Csalir), Qt::LeftButton);
            else
                view.close();
        }
        test::virtualEmptyLoop(t.machine.clock, passes);
    };
    QCOMPARE(t.program.Main(), 0);
    QVERIFY(closed);
    QVERIFY(!view.isVisible());
    QVERIFY(t.program.unloaded());

    bool loopRan = false;
    QTimer::singleShot(0, [&] {
        loopRan = true;
        QCoreApplication::exit(7);
    });
    QCOMPARE(gui::runUntilClosed(t.program), 0);
    QVERIFY(!loopRan);
    QCoreApplication::processEvents();  // the timer, now harmless

    // Undisturbed, the window stays and the loop runs until it ends.
    test::WindowedProgram open;
    gui::MainWindowView shown(open.program);
    QCOMPARE(open.program.Main(), 0);
    QVERIFY(shown.isVisible());
    loopRan = false;
    QTimer::singleShot(0, [&] {
        loopRan = true;
        QCoreApplication::exit(7);
    });
    QCOMPARE(gui::runUntilClosed(open.program), 7);
    QVERIFY(loopRan);
}

QTEST_MAIN(StartupViewTest)
#include "startup_view_test.moc"
