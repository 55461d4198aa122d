// Every text of the window reads: in every set of texts, in every view of
// the window and on every page, each text has a face of at least 8 points
// and shows whole in its widget (a caption on two lines at most), or cut
// short with the whole text as its tooltip; nothing leaves the window or
// lies over another text or field. With ZRK_SCREENSHOT_DIR set, a picture
// of every page checked is saved there.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <set>

#include "files/parameter_file.h"
#include "gui/view/drawing_window_view.h"
#include "gui/view/main_window_view.h"
#include "gui/widgets_ui.h"
#include "ops/segment_transfer.h"
#include "started_program.h"
#include "test_program.h"

using namespace zrk;

namespace {

constexpr double kLeastPoints = 8.0;

double pointsOf(const QWidget* widget) {
    const QFont& font = widget->font();
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

// The widget's text, and by how far it runs past the room it has, in
// pixels (0 when it shows whole).
int overflow(const QWidget* widget, QString& text) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
        if (text.isEmpty() || !label->pixmap().isNull()) return 0;
        const QRect room =
            label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        const QFontMetrics metrics = label->fontMetrics();
        if (!label->wordWrap()) return std::max(0, metrics.horizontalAdvance(text) - room.width());
        const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 1 << 16), Qt::TextWordWrap, text);
        if (needed.height() > 2 * metrics.lineSpacing()) return needed.height();  // a third line
        return std::max({0, needed.width() - room.width(), needed.height() - room.height()});
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
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        text = group->title();
        return std::max(0, group->fontMetrics().horizontalAdvance(text) - group->width());
    }
    if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
        int worst = 0;
        for (int i = 0; i < tabs->count(); ++i) {
            const int over = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) - tabs->tabRect(i).width();
            if (over > worst) {
                worst = over;
                text = tabs->tabText(i);
            }
        }
        return worst;
    }
    if (const auto* grid = qobject_cast<const QTableWidget*>(widget)) {
        // As the item views lay text out: a margin each side, and the grid line.
        const QStyle* style = grid->style();
        const int cellMargins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 1;
        const int titleMargins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid);
        int worst = 0;
        // The views measure text in fractions of a pixel: a fraction over is cut short.
        const auto measure = [&](const QTableWidgetItem* item, const QFont& font, int margins, int col) {
            if (item == nullptr) return;
            const int over =
                int(std::ceil(QFontMetricsF(font).horizontalAdvance(item->text()))) + margins - grid->columnWidth(col);
            if (over > worst) {
                worst = over;
                text = item->text();
            }
        };
        for (int col = 0; col < grid->columnCount(); ++col) {
            measure(grid->horizontalHeaderItem(col), grid->horizontalHeader()->font(), titleMargins, col);
            for (int row = 0; row < grid->rowCount(); ++row)
                measure(grid->item(row, col), grid->font(), cellMargins, col);
        }
        return worst;
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) text = edit->text();  // values scroll
    return 0;
}

// Whether a widget draws text, whatever it shows now.
bool showsText(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
           qobject_cast<const QTabBar*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget);  // the grid and its headers too
}

// What is wrong with the texts of a window: faces below the least, texts
// that neither show whole nor are cut short with the whole text as tooltip.
QStringList unreadable(const QWidget& window) {
    QStringList faults;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(const_cast<QWidget*>(&window));
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible() || !showsText(widget)) continue;
        const QString name = widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName();
        if (pointsOf(widget) < kLeastPoints) faults << QString("%1 drawn at %2 pt").arg(name).arg(pointsOf(widget));
        QString text;
        const int over = overflow(widget, text);
        // Only a caption on one line is cut short with an ellipsis.
        const auto* label = qobject_cast<const QLabel*>(widget);
        const bool cutShort = label != nullptr && !label->wordWrap() && widget->toolTip() == text;
        if (over > 0 && !cutShort) faults << QString("%1 \"%2\" runs %3 px past its place").arg(name, text).arg(over);
    }
    return faults;
}

// Everything a unit may show: every control of the form visible. The pages
// themselves and the start picture follow the tabs.
void showEveryControl(form::FrmMain& frm) {
    std::set<const form::Control*> followTabs{&frm.PictureInicio};
    for (int i : frm.FrameP.indices()) followTabs.insert(&frm.FrameP(i));
    for (const auto& control : frm.controls().all())
        if (control->kind() != form::Kind::Form && control->kind() != form::Kind::Timer &&
            !followTabs.count(control.get()))
            control->setVisible(true);
}

// The views of the window a set of texts is checked in.
enum class View { EveryControl, EveryControlFactory, UnitRead, FileWithoutUnit };

}  // namespace

Q_DECLARE_METATYPE(View)

class ClippedTextTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextReads_data();
    void everyTextReads();
    void aCaptionWithoutRoomForItWrapsOrIsCutShort();
    void theOtherWindowsAndDialogsReadOnASmallDesktopFace();
};

void ClippedTextTest::everyTextReads_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<View>("view");
    for (const char* language : {"C", "en-US", "es-ES_tradnl", "es-ES", "fr-FR"}) {
        const QString set(language);
        QTest::newRow(qPrintable(set + " every control")) << set << View::EveryControl;
        QTest::newRow(qPrintable(set + " every control factory")) << set << View::EveryControlFactory;
        QTest::newRow(qPrintable(set + " unit")) << set << View::UnitRead;
        QTest::newRow(qPrintable(set + " file")) << set << View::FileWithoutUnit;
    }
}

void ClippedTextTest::everyTextReads() {
    QFETCH(QString, language);
    QFETCH(View, view);
    const std::string ini = view == View::EveryControlFactory ? "1\r\n0\r\n0\r\n\"1\"\r\n853\r\n" : test::kDefaultIni;
    test::WindowedProgram t(ini, view == View::UnitRead ? test::simulatedUnit("led-lantern") : test::PortFactory{},
                            language.toStdString());
    gui::MainWindowView window(t.program);
    QCOMPARE(t.program.Main(), 0);
    auto& frm = t.program.state.frm;
    QString shotName = language;
    switch (view) {
        case View::EveryControl:
        case View::EveryControlFactory:
            showEveryControl(frm);
            shotName += view == View::EveryControl ? "-every-control" : "-every-control-factory";
            break;
        case View::UnitRead:
            frm.CLeer.Click();
            QVERIFY(ops::CLeerColores_Click(t.program.state).done());  // the grid full of angles
            QVERIFY(t.machine.ui.messages.empty());
            shotName += "-unit";
            break;
        case View::FileWithoutUnit: {
            const auto file = t.machine.folder.path() / "site40101.zrk";
            std::ofstream(file, std::ios::binary)
                << files::formatParameterFile(params::ParameterImage{}, tables::FlashTable{});
            t.machine.ui.files.push_back(file);
            frm.CAbrir.Click();
            QVERIFY(t.machine.ui.messages.empty());
            shotName += "-file";
            break;
        }
    }
    QStringList faults;
    const QString shots = qEnvironmentVariable("ZRK_SCREENSHOT_DIR");
    for (int page = 1; page <= frm.TabStrip1.count(); ++page) {
        frm.TabStrip1.select(page);
        QApplication::processEvents();
        if (!shots.isEmpty()) window.grab().save(QString("%1/%2-page%3.png").arg(shots, shotName).arg(page));
        const QString where = QString("page %1: ").arg(page);
        for (const QString& fault : unreadable(window)) faults << where + fault;
        std::vector<std::pair<QString, QRect>> places;
        for (const auto& control : frm.controls().all()) {
            const QWidget* widget = window.widgetFor(*control);
            if (widget == nullptr || widget == &window || !widget->isVisible()) continue;
            const QString key = QString::fromStdString(control->key());
            // Nothing pushed out of the fixed window to make room.
            const QRect inWindow(widget->mapTo(&window, QPoint(0, 0)), widget->size());
            if (!window.rect().contains(inWindow)) faults << where + key + " lies outside the window";
            // Nor laid over another text or field.
            if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
                qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLineEdit*>(widget)) {
                for (const auto& [other, place] : places)
                    if (place != inWindow && place.intersects(inWindow))  // one place, shown in turns
                        faults << where + key + " overlaps " + other;
                places.emplace_back(key, inWindow);
            }
        }
    }
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
}

// A caption that cannot have the room it needs: on two lines, the rows
// below it moving down into the page's free room; cut short and whole in
// its tooltip when two lines are not enough. Nothing off its page moves,
// and once short again it shows whole, without a tooltip.
void ClippedTextTest::aCaptionWithoutRoomForItWrapsOrIsCutShort() {
    test::WindowedProgram t(test::kDefaultIni, test::PortFactory{}, "en-US");
    gui::MainWindowView window(t.program);
    QCOMPARE(t.program.Main(), 0);
    auto& frm = t.program.state.frm;
    showEveryControl(frm);
    frm.TabStrip1.select(1);
    QApplication::processEvents();
    auto* tooLong = qobject_cast<QLabel*>(window.widgetFor(frm.Label(18)));
    auto* twoLines = qobject_cast<QLabel*>(window.widgetFor(frm.Label(35)));
    QVERIFY(tooLong != nullptr && twoLines != nullptr);
    const auto place = [&](const form::Control& control) {
        const QWidget* widget = window.widgetFor(control);
        return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    };
    const QRect ident = place(frm.identGroup), tabs = place(frm.TabStrip1), read = place(frm.CLeer);

    const std::string longer = "Light level at which the lantern switches on at dusk, as its sensor reads it";
    frm.Label(18).setCaption(longer);
    frm.Label(35).setCaption("Delay before the mains is taken as back");
    QApplication::processEvents();
    QVERIFY(!tooLong->wordWrap());
    QCOMPARE(tooLong->toolTip(), QString::fromStdString(longer));
    QVERIFY(twoLines->wordWrap());
    QCOMPARE(twoLines->toolTip(), QString());
    QCOMPARE(place(frm.identGroup), ident);
    QCOMPARE(place(frm.TabStrip1), tabs);
    QCOMPARE(place(frm.CLeer), read);
    const QStringList faults = unreadable(window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));

    frm.Label(18).setCaption("Lux ON");
    QApplication::processEvents();
    QCOMPARE(tooLong->toolTip(), QString());
}

// A desktop set to a face below the least: the main window, the line
// monitor, the drawing window and the message boxes still read at it.
void ClippedTextTest::theOtherWindowsAndDialogsReadOnASmallDesktopFace() {
    struct DesktopFace {
        QFont before = QApplication::font();
        ~DesktopFace() { QApplication::setFont(before); }
    } desktop;
    QFont small = desktop.before;
    small.setPointSizeF(6.5);
    QApplication::setFont(small);
    gui::useReadableFace();

    test::WindowedProgram t(test::kDefaultIni, test::PortFactory{}, "fr-FR");
    gui::MainWindowView window(t.program);
    gui::DrawingWindowView drawing(t.program.state.dibujo);
    QCOMPARE(t.program.Main(), 0);
    t.program.state.dibujo.FormDibujo.setVisible(true);
    auto* monitor = window.findChild<QWidget*>("LineMonitor");
    QVERIFY(monitor != nullptr);
    monitor->show();
    QApplication::processEvents();
    QStringList faults;
    for (const QWidget* shown : std::initializer_list<const QWidget*>{&window, &drawing, monitor})
        faults << unreadable(*shown);
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen = box->text();
        faults << unreadable(*box);
        box->accept();
    });
    gui::WidgetsUserInterface().messageBox("Nothing was sent to the unit", "ZRK",
                                           platform::UserInterface::Icon::Warning);
    QCOMPARE(seen, QString("Nothing was sent to the unit"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
}

QTEST_MAIN(ClippedTextTest)
#include "clipped_text_test.moc"
