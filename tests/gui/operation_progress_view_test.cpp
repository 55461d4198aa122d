// The progress bar and the Cancel button of long operations, and Esc.
#include "gui/view/operation_progress_view.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "gui/view/main_window_view.h"
#include "test_program.h"

using namespace zrk;

class OperationProgressViewTest : public QObject {
    Q_OBJECT

private slots:
    void showsProgressOnlyWhileAnOperationRuns() {
        test::WindowedProgram p;
        gui::MainWindowView view(p.program);
        view.show();
        auto* bar = view.findChild<QProgressBar*>("operationProgress");
        auto* cancel = view.findChild<QPushButton*>("cancelOperation");
        QVERIFY(bar && cancel);
        QVERIFY(!bar->isVisible());
        p.program.state.progress.begin(40);
        QVERIFY(bar->isVisible() && cancel->isVisible());
        p.program.state.progress.advance(3);
        QCOMPARE(bar->maximum(), 40);
        QCOMPARE(bar->value(), 3);
        p.program.state.progress.end();
        QVERIFY(!bar->isVisible() && !cancel->isVisible());
    }

    void cancelButtonAndEscapeRequestCancel() {
        test::WindowedProgram p;
        gui::MainWindowView view(p.program);
        view.show();
        QApplication::setActiveWindow(&view);
        QVERIFY(QTest::qWaitForWindowActive(&view));
        auto* cancel = view.findChild<QPushButton*>("cancelOperation");
        p.program.state.progress.begin(5);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(p.program.state.progress.cancelRequested());
        QVERIFY(!cancel->isEnabled());

        p.program.state.progress.begin(5);
        QVERIFY(!p.program.state.progress.cancelRequested());
        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(p.program.state.progress.cancelRequested());

        p.program.state.progress.end();
        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY2(!p.program.state.progress.cancelRequested(), "Esc outside an operation does nothing");
    }

    void cancelButtonSpeaksTheOperatorsLanguage() {
        const struct {
            texts::Language language;
            const char* caption;
        } cases[] = {{texts::Language::English, "Cancel"},
                     {texts::Language::SpanishModern, "Cancelar"},
                     {texts::Language::French, "Annuler"}};
        for (const auto& c : cases) {
            form::OperationProgress progress;
            QMainWindow window;
            const texts::TextTable table(c.language);
            new gui::OperationProgressView(progress, window, table);
            auto* cancel = window.findChild<QPushButton*>("cancelOperation");
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QString::fromUtf8(c.caption));
            QCOMPARE(cancel->toolTip(), QString::fromStdString(table.CargarTexto(texts::id::kCancelTooltip)));
        }
    }
};

QTEST_MAIN(OperationProgressViewTest)
#include "operation_progress_view_test.moc"
#include "texts/text_ids.h"
