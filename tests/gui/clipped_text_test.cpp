// No caption, button text or list item is cut off: in every set of texts,
// on every page, in the normal and the factory view, each text fits the
// widget that shows it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QtTest>
#include <set>

#include "gui/view/main_window_view.h"
#include "test_program.h"

using namespace zrk;

namespace {

// How far a text runs past its widget (0 when it fits), in pixels.
int overflow(const QWidget* widget, QString& text) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
        if (text.isEmpty() || !label->pixmap().isNull()) return 0;
        if (label->wordWrap()) return std::max(0, label->heightForWidth(label->width()) - label->height());
        const int room = label->contentsRect().width() - 2 * label->margin() - label->indent();
        return std::max(0, label->fontMetrics().horizontalAdvance(text) - room);
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
        text = check->text();
        if (text.isEmpty()) return 0;
        return std::max(0, check->sizeHint().width() - check->width());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        text = button->text();
        if (text.isEmpty()) return 0;
        QStyleOptionButton option;
        option.initFrom(button);
        const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        return std::max(0, button->fontMetrics().horizontalAdvance(text) + frame - button->width());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const int room = combo->isEditable() ? combo->lineEdit()->width() - 4
                                             : combo->style()
                                                       ->subControlRect(QStyle::CC_ComboBox, &option,
                                                                        QStyle::SC_ComboBoxEditField, combo)
                                                       .width() -
                                                   4;
        int worst = 0;
        for (int i = 0; i < combo->count(); ++i) {
            const int over = combo->fontMetrics().horizontalAdvance(combo->itemText(i)) - room;
            if (over > worst) {
                worst = over;
                text = combo->itemText(i);
            }
        }
        return worst;
    }
    return 0;
}

}  // namespace

class ClippedTextTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextFitsItsWidget_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("factory");
        for (const char* language : {"C", "en-US", "es-ES_tradnl", "es-ES", "fr-FR"}) {
            QTest::newRow(language) << QString(language) << false;
            QTest::newRow((std::string(language) + " factory").c_str()) << QString(language) << true;
        }
    }

    void everyTextFitsItsWidget() {
        QFETCH(QString, language);
        QFETCH(bool, factory);
        const std::string ini = factory ? "1\r\n0\r\n0\r\n\"1\"\r\n853\r\n" : "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n";
        test::WindowedProgram t(ini, language.toStdString());
        gui::MainWindowView view(t.program);
        QCOMPARE(t.program.Main(), 0);
        auto& frm = t.program.frm;
        // Everything a unit may show: every control of the form visible.
        // The pages themselves and the start picture follow the tabs.
        std::set<const app::Control*> followTabs{&frm.PictureInicio};
        for (int i : frm.FrameP.indices()) followTabs.insert(&frm.FrameP(i));
        for (const auto& control : frm.controls().all())
            if (control->kind() != app::Kind::Form && control->kind() != app::Kind::Timer &&
                !followTabs.count(control.get()))
                control->setVisible(true);
        QStringList clipped;
        // ZRK_SCREENSHOT_DIR=folder: a picture of every page as it was checked.
        const QString shots = qEnvironmentVariable("ZRK_SCREENSHOT_DIR");
        for (int page = 1; page <= frm.TabStrip1.count(); ++page) {
            frm.TabStrip1.select(page);
            QApplication::processEvents();
            std::vector<std::pair<QString, QRect>> places;
            if (!shots.isEmpty())
                view.grab().save(
                    QString("%1/%2%3-page%4.png").arg(shots, language, factory ? "-factory" : "").arg(page));
            for (const auto& control : frm.controls().all()) {
                const QWidget* widget = view.widgetFor(*control);
                if (widget == nullptr || widget == &view || !widget->isVisible()) continue;
                // Nothing pushed out of the fixed window to make room either.
                const QRect inWindow(widget->mapTo(&view, QPoint(0, 0)), widget->size());
                if (!view.rect().contains(inWindow))
                    clipped << QString("%1 lies outside the window").arg(QString::fromStdString(control->key()));
                // Nor laid over another text or field.
                if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
                    qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLineEdit*>(widget)) {
                    for (const auto& [key, place] : places)
                        if (place != inWindow && place.intersects(inWindow))  // one place, shown in turns
                            clipped << QString("%1 overlaps %2").arg(QString::fromStdString(control->key()), key);
                    places.emplace_back(QString::fromStdString(control->key()), inWindow);
                }
                QString text;
                if (const int over = overflow(widget, text); over > 0)
                    clipped
                        << QString("%1 \"%2\" by %3 px").arg(QString::fromStdString(control->key()), text).arg(over);
            }
        }
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("\n")));
    }
};

QTEST_MAIN(ClippedTextTest)
#include "clipped_text_test.moc"
