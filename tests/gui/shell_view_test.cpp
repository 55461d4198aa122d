// The drawing window on screen, the help viewer's launcher and the user's
// language as the Qt layer reads them.
#include <QImage>
#include <QMainWindow>
#include <QtTest>
#include <memory>

#include "gui/view/drawing_window_view.h"
#include "gui/view/main_window_view.h"
#include "gui/view/twips.h"
#include "qt/qt_process_launcher.h"
#include "qt/user_language.h"
#include "test_program.h"
#include "texts/texts.h"

using namespace zrk;

class ShellViewTest : public QObject {
    Q_OBJECT

private slots:
    void circlesArePaintedInTheirColours_data();
    void circlesArePaintedInTheirColours();
    void resizedWindowCentresTheNextCircles();
    void closeBoxRemovesTheWindowUntilTheNextClick();
    void closingTheMainWindowClosesTheDrawingWindow();
    void launcherFindsProgramsOnThePath();
    void userLanguageKeepsTheModifier_data();
    void userLanguageKeepsTheModifier();
};

namespace {

struct Shell {
    test::WindowedProgram t;
    std::unique_ptr<gui::MainWindowView> main;
    std::unique_ptr<gui::DrawingWindowView> drawing;
    Shell() {
        main = std::make_unique<gui::MainWindowView>(t.program);
        drawing = std::make_unique<gui::DrawingWindowView>(t.program.state.dibujo);
        if (t.program.Main() != 0) qFatal("start-up failed");
    }
    // Whether a pixel within one of `at` has the colour.
    bool colourNear(const QImage& image, QPoint at, QColor colour) const {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixelColor(at + QPoint(dx, dy)) == colour) return true;
        return false;
    }
};

}  // namespace

void ShellViewTest::circlesArePaintedInTheirColours_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << "255" << QColor(255, 0, 0);
    QTest::newRow("blue, red in the low byte") << "16711680" << QColor(0, 0, 255);
    QTest::newRow("1, almost black") << "1" << QColor(1, 0, 0);
}

void ShellViewTest::circlesArePaintedInTheirColours() {
    QFETCH(QString, caption);
    QFETCH(QColor, colour);
    Shell s;
    s.t.program.state.frm.LColor(1).setCaption(caption.toStdString());
    QVERIFY(s.drawing->isHidden());
    s.t.program.state.frm.Command2.Click();
    QVERIFY(s.drawing->isVisible());
    QCOMPARE(s.drawing->windowTitle(), QString("Form1"));
    const int dpiX = s.drawing->logicalDpiX(), dpiY = s.drawing->logicalDpiY();
    QCOMPARE(s.drawing->size(), QSize(gui::twipsToPixels(5865, dpiX), gui::twipsToPixels(4650, dpiY)));

    const auto& circles = s.t.program.state.dibujo.circles();
    QCOMPARE(circles.size(), std::size_t{3});
    const QImage image = s.drawing->grab().toImage();
    const QPoint centre(gui::twipsToPixels(circles[0].cx, dpiX), gui::twipsToPixels(circles[0].cy, dpiY));
    const QColor background = image.pixelColor(centre);
    QVERIFY(background != colour && background != QColor(Qt::black));
    // Right of the centre: the small circle, the black one, the large one.
    for (const auto& [radius, expected] : {std::pair{100, colour}, {500, QColor(Qt::black)}, {1500, colour}}) {
        const QPoint onCircle = centre + QPoint(gui::twipsToPixels(radius, dpiX), 0);
        QVERIFY2(s.colourNear(image, onCircle, expected), qPrintable(QString("radius %1").arg(radius)));
    }
    // Between the circles, nothing is drawn.
    QCOMPARE(image.pixelColor(centre + QPoint(gui::twipsToPixels(1000, dpiX), 0)), background);
}

void ShellViewTest::resizedWindowCentresTheNextCircles() {
    Shell s;
    s.t.program.state.frm.Command2.Click();
    const int dpiX = s.drawing->logicalDpiX();
    s.drawing->resize(600, 300);
    QCoreApplication::processEvents();
    auto& window = s.t.program.state.dibujo;
    QCOMPARE(window.ScaleWidth(), gui::pixelsToTwips(600, dpiX));
    QCOMPARE(window.FormDibujo.Width(), gui::pixelsToTwips(s.drawing->frameGeometry().width(), dpiX));
    s.t.program.state.frm.Command2.Click();
    const auto& last = window.circles().back();
    QCOMPARE(last.cx, static_cast<int>(std::nearbyint(window.FormDibujo.Width() / 2.0)));
    QCOMPARE(last.cy, static_cast<int>(std::nearbyint(window.FormDibujo.Height() / 2.0)));
    QCOMPARE(s.drawing->size(), QSize(600, 300));  // a further click keeps the operator's size
}

void ShellViewTest::closeBoxRemovesTheWindowUntilTheNextClick() {
    Shell s;
    s.t.program.state.frm.Command2.Click();
    s.drawing->resize(600, 300);
    QVERIFY(s.drawing->close());
    QVERIFY(s.drawing->isHidden());
    QVERIFY(!s.t.program.state.dibujo.FormDibujo.Visible());
    QVERIFY(s.t.program.state.dibujo.circles().empty());
    s.t.program.state.frm.Command2.Click();
    QVERIFY(s.drawing->isVisible());
    const int dpiX = s.drawing->logicalDpiX(), dpiY = s.drawing->logicalDpiY();
    QCOMPARE(s.drawing->size(), QSize(gui::twipsToPixels(5865, dpiX), gui::twipsToPixels(4650, dpiY)));
}

void ShellViewTest::closingTheMainWindowClosesTheDrawingWindow() {
    Shell s;
    s.t.program.state.frm.Command2.Click();
    QVERIFY(s.drawing->isVisible());
    QVERIFY(s.main->close());
    QVERIFY(!s.main->isVisible());
    QVERIFY(!s.drawing->isVisible());
}

void ShellViewTest::launcherFindsProgramsOnThePath() {
    qt::QtProcessLauncher launcher;
    const auto missing = launcher.startDetached("zrk-no-such-viewer", {"helpZRK.chm"});
    QVERIFY(missing.kind == platform::ProcessLauncher::Outcome::Kind::NotFound);
    QVERIFY(QString::fromStdString(missing.error).contains("zrk-no-such-viewer"));
    const auto started = launcher.startDetached("true", {"helpZRK.chm"});
    QVERIFY2(started.started(), started.error.c_str());
}

void ShellViewTest::userLanguageKeepsTheModifier_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<int>("language");
    QTest::newRow("traditional modifier") << QByteArray("es_ES.UTF-8@traditional") << QByteArray("en_US.UTF-8")
                                          << int(texts::Language::SpanishTraditional);
    QTest::newRow("LC_ALL before LANG") << QByteArray("fr_FR.UTF-8") << QByteArray("es_ES.UTF-8")
                                        << int(texts::Language::French);
    QTest::newRow("LANG alone") << QByteArray() << QByteArray("es_ES.UTF-8") << int(texts::Language::SpanishModern);
    QTest::newRow("German") << QByteArray() << QByteArray("de_DE.UTF-8") << int(texts::Language::Neutral);
}

void ShellViewTest::userLanguageKeepsTheModifier() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lang);
    QFETCH(int, language);
    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    qputenv("LC_ALL", lcAll);
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", lang);
    if (lcAll.isEmpty()) qunsetenv("LC_ALL");
    const std::string name = qt::systemUserLanguage();
    qputenv("LC_ALL", saved[0]);
    qputenv("LC_MESSAGES", saved[1]);
    qputenv("LANG", saved[2]);
    QCOMPARE(int(texts::languageFromLocaleName(name)), language);
}

QTEST_MAIN(ShellViewTest)
#include "shell_view_test.moc"
