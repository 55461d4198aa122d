// The binding between the window model and its widgets: model changes show
// on the widgets, operator input reaches the model through its handlers.
#include "gui/view/main_window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "files/parameter_file.h"
#include "gui/view/twips.h"
#include "ops/device_operation.h"
#include "tables/flash_table.h"
#include "test_program.h"

using namespace zrk;

class MainWindowViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyControlHasItsOwnWidget();
    void widgetsNestAsTheModelsFrames();
    void hidingAGroupHidesOnlyWhatIsInside();
    void pagesAndLampPicturesShareTheirPlaces();
    void visibleAndEnabledFollowTheModel();
    void textsFollowTheModel();
    void listsFollowTheModel();
    void displayOnlyFieldsCannotBeEdited();
    void aFileShownWithoutAUnitCannotBeEdited();
    void portListNamesTheDevices();
    void otherListsHaveNoItemTooltips();

    void typingReachesTheModel();
    void aHandlerRewritingItsFieldIsShownAsTheModelKeepsIt();
    void buttonClicksRaiseClick();
    void f8UndoesTheLastWriteOnlyWhileItsButtonIsOn();
    void colourLabelClickRaisesClick();
    void checkBoxToggleSetsValue();
    void operatorPickInAListRaisesClickOnce();
    void typingIntoAListGoesToItsTextPart();
    void modeListReportsLosingFocusAndScrolling();
    void portListTriesTypedTextOnEnterOnly();
    void portListIsDisabledDuringADeviceOperation();

    void tabClickShowsThatPage();
    void tabsFollowTheModel();

    void gridFollowsTheModel();
    void gridKeysGoToTheModel_data();
    void gridKeysGoToTheModel();
    void movingToAnotherCellLeavesTheOldOneFirst();
    void aMarkedGridCellShowsItsTintAndTooltip();

    void runningTimerTicksAndFollowsItsSettings();
    void statusBarShowsStatusDateAndTime();
    void aChangedFieldIsTintedWithTheUnitsValueAsItsTooltip();
    void everyKindOfFieldShowsItsMark();

    void windowFollowsPlacementAndOperatorMoves();
    void windowVisibilityFollowsTheModel();
    void closeBoxUnloadsTheProgram();
    void exitButtonClosesTheWindow();
    void closeBoxAsksBeforeUnwrittenChangesAreLost();
    void anOperationGivesTheFocusBackToItsButton();

private:
    form::FrmMain& frm() { return t_->program.state.frm; }
    template <typename W>
    W* widget(const form::Control& control) {
        return qobject_cast<W*>(view_->widgetFor(control));
    }
    int px(int twips) const { return gui::twipsToPixels(twips, view_->logicalDpiY()); }

    std::unique_ptr<test::WindowedProgram> t_;
    std::unique_ptr<gui::MainWindowView> view_;
};

Q_DECLARE_METATYPE(Qt::Key)

void MainWindowViewTest::init() {
    view_.reset();
    t_ = std::make_unique<test::WindowedProgram>();
    view_ = std::make_unique<gui::MainWindowView>(t_->program);
    // Placed and shown as the start-up does it.
    frm().frmMain.Move(1500, 1200, 10200, 7575);
    frm().frmMain.setVisible(true);
    QVERIFY(view_->isVisible());
}

void MainWindowViewTest::cleanup() {
    view_.reset();
    t_.reset();
}

void MainWindowViewTest::everyControlHasItsOwnWidget() {
    std::set<const QObject*> seen;
    for (const auto& control : frm().controls().all()) {
        const QString key = QString::fromStdString(control->key());
        if (control->kind() == form::Kind::Timer) {
            QVERIFY2(view_->timerFor(*control) != nullptr, qPrintable(key));
            QVERIFY2(view_->widgetFor(*control) == nullptr, qPrintable(key));
            continue;
        }
        QWidget* widget = view_->widgetFor(*control);
        QVERIFY2(widget != nullptr, qPrintable(key));
        QCOMPARE(widget->objectName(), key);
        QVERIFY2(seen.insert(widget).second, qPrintable(key + " shares its widget"));
    }
    QCOMPARE(view_->widgetFor(frm().frmMain), view_.get());
}

void MainWindowViewTest::widgetsNestAsTheModelsFrames() {
    for (const auto& control : frm().controls().all()) {
        QWidget* widget = view_->widgetFor(*control);
        if (widget == nullptr || widget == view_.get()) continue;
        const QString key = QString::fromStdString(control->key());
        QVERIFY2(view_->isAncestorOf(widget), qPrintable(key + " is not in the window"));
        const form::Control* parent = control->parent();
        if (parent != nullptr && parent->kind() == form::Kind::Frame)
            QVERIFY2(view_->widgetFor(*parent)->isAncestorOf(widget), qPrintable(key + " is not inside its frame"));
    }
}

void MainWindowViewTest::hidingAGroupHidesOnlyWhatIsInside() {
    // The "off" buttons are drawn at their group's right end but belong to the page.
    const std::pair<form::FrameControl*, std::pair<form::Control*, form::Control*>> groups[] = {
        {&frm().groupLampChange, {&frm().CCambioLamparaOn, &frm().CCambioLamparaOff}},
        {&frm().groupDayNight, {&frm().CNormal, &frm().CDia}},
        {&frm().groupMainsFailure, {&frm().CFalloRedOn, &frm().CFalloRedOff}},
        {&frm().groupAutomatic, {&frm().LedTimerON, nullptr}},
    };
    for (const auto& [group, members] : groups) {
        const auto& [inside, outside] = members;
        group->setVisible(false);
        QVERIFY2(!view_->widgetFor(*inside)->isVisible(), inside->key().c_str());
        if (outside != nullptr) QVERIFY2(view_->widgetFor(*outside)->isVisible(), outside->key().c_str());
        group->setVisible(true);
        QVERIFY2(view_->widgetFor(*inside)->isVisible(), inside->key().c_str());
    }
}

void MainWindowViewTest::pagesAndLampPicturesShareTheirPlaces() {
    // Every page lies in the same place under the tab strip.
    QWidget* tabs = view_->widgetFor(frm().TabStrip1);
    const QRect first = view_->widgetFor(frm().FrameP(1))->geometry();
    for (int i : frm().FrameP.indices()) {
        QWidget* page = view_->widgetFor(frm().FrameP(i));
        QCOMPARE(page->geometry(), first);
        QVERIFY(page->mapTo(view_.get(), QPoint(0, 0)).y() >= tabs->mapTo(view_.get(), QPoint(0, tabs->height())).y());
    }
    // The pictures of one lamp are drawn at one place; so are the two lamps of the fifth row.
    const auto place = [&](const form::Control& control) {
        QWidget* widget = view_->widgetFor(control);
        return QRect(widget->mapTo(view_.get(), QPoint(0, 0)), widget->size());
    };
    for (const auto& lamp : frm().lampRows()) {
        QCOMPARE(place(*lamp.unlit), place(*lamp.lit));
        QCOMPARE(place(*lamp.unknown), place(*lamp.lit));
    }
    QCOMPARE(place(frm().LedRojoPrealarmaLampara), place(frm().LedazulLampara2));
    QCOMPARE(place(frm().label1(1)).topLeft(), place(frm().label1(10)).topLeft());
    QCOMPARE(place(frm().LedTimerOff), place(frm().LedTimerON));
    QCOMPARE(place(frm().LedOn).size(), QSize(px(240), px(240)));
    QVERIFY(place(frm().LedMotorOn).top() > place(frm().LedOn).top());
}

void MainWindowViewTest::visibleAndEnabledFollowTheModel() {
    form::Control* const controls[] = {
        &frm().TLuxON,    &frm().Label(18),      &frm().CLeer,     &frm().chkEstado,        &frm().ComboCom,
        &frm().FrameP(2), &frm().groupAutomatic, &frm().LedOn,     &frm().MSFlexGridPautas, &frm().Shape1,
        &frm().TDebug,    &frm().TabStrip1,      &frm().LColor(2), &frm().sbStatusBar,      &frm().Image1,
    };
    for (form::Control* control : controls) {
        QWidget* widget = view_->widgetFor(*control);
        const char* key = control->key().c_str();
        control->setVisible(false);
        QVERIFY2(widget->isHidden(), key);
        control->setVisible(true);
        QVERIFY2(!widget->isHidden(), key);
        control->setEnabled(false);
        QVERIFY2(!widget->isEnabled(), key);
        control->setEnabled(true);
        QVERIFY2(widget->isEnabled(), key);
    }
}

void MainWindowViewTest::textsFollowTheModel() {
    struct Case {
        const char* name;
        std::function<void(form::FrmMain&)> change;
        std::function<QString()> shown;
        QString expected;
    };
    const Case cases[] = {
        {"label", [](form::FrmMain& f) { f.Label(18).setCaption("Light level Beacon ON"); },
         [&] { return widget<QLabel>(frm().Label(18))->text(); }, "Light level Beacon ON"},
        {"label, not ASCII", [](form::FrmMain& f) { f.Label(24).setCaption("Español"); },
         [&] { return widget<QLabel>(frm().Label(24))->text(); }, QStringLiteral("Español")},
        {"label colour",
         [](form::FrmMain& f) {
             f.lblSalida(3).setForeColor({255, 0, 0});
         },
         [&] { return widget<QLabel>(frm().lblSalida(3))->palette().color(QPalette::WindowText).name(); }, "#ff0000"},
        {"button", [](form::FrmMain& f) { f.CLeer.setCaption("Read ZRK"); },
         [&] { return widget<QPushButton>(frm().CLeer)->text(); }, "Read ZRK"},
        {"check box caption", [](form::FrmMain& f) { f.chkEstado.setCaption("Estado"); },
         [&] { return widget<QCheckBox>(frm().chkEstado)->text(); }, "Estado"},
        {"check box value", [](form::FrmMain& f) { f.chkHibernacionMotor.setValue(1); },
         [&] { return QString::number(widget<QCheckBox>(frm().chkHibernacionMotor)->isChecked()); }, "1"},
        {"frame", [](form::FrmMain& f) { f.FrameP(2).setCaption("Rotation"); },
         [&] { return widget<QGroupBox>(frm().FrameP(2))->title(); }, "Rotation"},
        {"text field", [](form::FrmMain& f) { f.TLuxON.setText("120"); },
         [&] { return widget<QLineEdit>(frm().TLuxON)->text(); }, "120"},
        {"free text", [](form::FrmMain& f) { f.TDebug.setText("one\ntwo"); },
         [&] { return widget<QPlainTextEdit>(frm().TDebug)->toPlainText(); }, "one\ntwo"},
        {"status line", [](form::FrmMain& f) { f.setStatus("Reading"); }, [&] { return view_->statusPanel(1)->text(); },
         "Reading"},
        {"tab", [](form::FrmMain& f) { f.TabStrip1.setCaption(2, "Rotation"); },
         [&] { return widget<QTabBar>(frm().TabStrip1)->tabText(1); }, "Rotation"},
        {"window", [](form::FrmMain& f) { f.frmMain.setCaption("ZRK 1.4.3  "); }, [&] { return view_->windowTitle(); },
         "ZRK 1.4.3  "},
    };
    for (const Case& c : cases) {
        c.change(frm());
        QVERIFY2(c.shown() == c.expected, c.name);
    }
}

void MainWindowViewTest::listsFollowTheModel() {
    auto& list = frm().ComboTipoLampara1;
    auto* combo = widget<QComboBox>(list);
    int clicks = 0;
    list.Click = [&] { ++clicks; };

    list.AddItem("DC");
    list.AddItem("AC");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(1), QString("AC"));
    QCOMPARE(combo->currentIndex(), -1);

    list.setListIndex(1);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(combo->currentText(), QString("AC"));
    QCOMPARE(clicks, 1);  // the model's own; showing it raises none

    list.typeText("A");
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QString("A"));

    list.Clear();
    QCOMPARE(combo->count(), 0);
    QCOMPARE(combo->currentText(), QString());
}

void MainWindowViewTest::displayOnlyFieldsCannotBeEdited() {
    for (form::TextBox* shown : {&frm().TModeloR, &frm().TVersionFirmwareR, &frm().THardwareR}) {
        auto* edit = widget<QLineEdit>(*shown);
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->palette().color(QPalette::Base), edit->palette().color(QPalette::ToolTipBase));
    }
    QVERIFY(!widget<QLineEdit>(frm().TNumeroID)->isReadOnly());
    QVERIFY(widget<QPlainTextEdit>(frm().TDebug) != nullptr);
    QVERIFY(!widget<QComboBox>(frm().cmbModofuncionamiento)->isEditable());
    QVERIFY(widget<QComboBox>(frm().ComboCom)->isEditable());
}

// A parameter file opened before any read: its fields take no typing,
// clicks or picks, and the caption names it.
void MainWindowViewTest::aFileShownWithoutAUnitCannotBeEdited() {
    QCOMPARE(t_->program.Main(), 0);
    tables::FlashTable flash;
    for (int row = 1; row <= tables::kPatternRows; ++row)
        for (int col = 1; col <= tables::kPatternColumns; ++col) flash.pauta(row, col) = tables::kEmptyAngle;
    const auto file = t_->machine.folder.path() / "site40101.zrk";
    std::ofstream(file, std::ios::binary) << files::formatParameterFile(params::ParameterImage{}, flash);
    t_->machine.ui.files.push_back(file);
    frm().CAbrir.Click();
    QVERIFY(t_->machine.ui.messages.empty());
    QVERIFY2(view_->windowTitle().endsWith(" - site40101.zrk (file, no unit)"), qPrintable(view_->windowTitle()));

    auto* edit = widget<QLineEdit>(frm().TPWMLed);
    QVERIFY(!edit->isEnabled());
    QTest::keyClicks(edit, "12");
    QCOMPARE(frm().TPWMLed.Text(), std::string("0"));
    auto* box = widget<QCheckBox>(frm().chkHibernacionMotor);
    QVERIFY(!box->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QCOMPARE(frm().chkHibernacionMotor.Value(), 0);
    auto* list = widget<QComboBox>(frm().ComboTipoMotor);
    QVERIFY(!list->isEnabled());
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(frm().ComboTipoMotor.ListIndex(), 0);
    QCOMPARE(test::firstMismatch(*view_, frm()), QString());
}

void MainWindowViewTest::portListNamesTheDevices() {
    for (int n = 1; n <= 3; ++n) frm().ComboCom.AddItem("Com" + std::to_string(n) + ":");
    auto* combo = widget<QComboBox>(frm().ComboCom);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(combo->itemData(i, Qt::ToolTipRole).toString(),
                 QString::fromStdString(t_->machine.fakePort.deviceName(i + 1)));
}

void MainWindowViewTest::otherListsHaveNoItemTooltips() {
    frm().ComboTipoLampara1.AddItem("DC");
    QVERIFY(!widget<QComboBox>(frm().ComboTipoLampara1)->itemData(0, Qt::ToolTipRole).isValid());
}

void MainWindowViewTest::typingReachesTheModel() {
    auto& field = frm().TLuxON;
    int changes = 0;
    field.Change = [&] { ++changes; };
    QTest::keyClicks(widget<QLineEdit>(field), "12");
    QCOMPARE(field.Text(), std::string("12"));
    QCOMPARE(changes, 2);

    QTest::keyClicks(widget<QPlainTextEdit>(frm().TDebug), "ok");
    QCOMPARE(frm().TDebug.Text(), std::string("ok"));
}

void MainWindowViewTest::aHandlerRewritingItsFieldIsShownAsTheModelKeepsIt() {
    auto& field = frm().TTestFotocelula;
    field.Change = [&] {
        std::string digits;
        for (char c : field.Text())
            if (c >= '0' && c <= '9') digits += c;
        field.setText(digits);
    };
    auto* edit = widget<QLineEdit>(field);
    QTest::keyClicks(edit, "1a2");
    QCOMPARE(field.Text(), std::string("12"));
    QCOMPARE(edit->text(), QString("12"));
}

void MainWindowViewTest::buttonClicksRaiseClick() {
    std::map<const form::Control*, int> clicks;
    std::vector<form::CommandButton*> buttons;
    for (const auto& control : frm().controls().all())
        if (auto* button = dynamic_cast<form::CommandButton*>(control.get())) {
            button->Click = [&clicks, button] { ++clicks[button]; };
            buttons.push_back(button);
        }
    QVERIFY(buttons.size() > 20);
    for (form::CommandButton* button : buttons) {
        QTest::mouseClick(view_->widgetFor(*button), Qt::LeftButton);
        QVERIFY2(clicks[button] == 1, button->key().c_str());
    }
    frm().DeshabilitaBotones();
    QTest::mouseClick(view_->widgetFor(frm().CLeer), Qt::LeftButton);
    QCOMPARE(clicks[&frm().CLeer], 1);
}

void MainWindowViewTest::f8UndoesTheLastWriteOnlyWhileItsButtonIsOn() {
    int clicks = 0;
    frm().CDeshacer.Click = [&clicks] { ++clicks; };
    view_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    // Ctrl+Z in a field is the field's own undo of typing, not the unit's.
    auto* field = widget<QLineEdit>(frm().TPWMLed);
    QVERIFY(field != nullptr);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(clicks, 0);
    QTest::keyClick(field, Qt::Key_F8);
    QCOMPARE(clicks, 1);
    QVERIFY(!view_->widgetFor(frm().CDeshacer)->toolTip().isEmpty());
    if (qEnvironmentVariableIsSet("ZRK_SCREENSHOT_DIR"))
        view_->grab().save(qEnvironmentVariable("ZRK_SCREENSHOT_DIR") + QStringLiteral("/main_window.png"));
    frm().DeshabilitaBotones();
    QTest::keyClick(field, Qt::Key_F8);
    QCOMPARE(clicks, 1);
}

void MainWindowViewTest::colourLabelClickRaisesClick() {
    int clicks = 0;
    frm().LColor(3).Click = [&] { ++clicks; };
    QTest::mouseClick(view_->widgetFor(frm().LColor(3)), Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void MainWindowViewTest::checkBoxToggleSetsValue() {
    auto* box = widget<QCheckBox>(frm().chkEstado);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QCOMPARE(frm().chkEstado.Value(), 1);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QCOMPARE(frm().chkEstado.Value(), 0);
}

void MainWindowViewTest::operatorPickInAListRaisesClickOnce() {
    auto& list = frm().ComboTipoLampara2;
    list.AddItem("DC");
    list.AddItem("AC");
    list.setListIndex(0);
    int clicks = 0;
    list.Click = [&] { ++clicks; };
    QTest::keyClick(widget<QComboBox>(list), Qt::Key_Down);
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(list.Text(), std::string("AC"));
    QCOMPARE(clicks, 1);
}

void MainWindowViewTest::typingIntoAListGoesToItsTextPart() {
    auto& list = frm().ComboTipoLampara2;
    list.AddItem("DC");
    list.AddItem("AC");
    int changes = 0, clicks = 0;
    list.Change = [&] { ++changes; };
    list.Click = [&] { ++clicks; };
    auto* combo = widget<QComboBox>(list);

    QTest::keyClicks(combo->lineEdit(), "AC");
    QCOMPARE(list.Text(), std::string("AC"));
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(changes, 2);
    QCOMPARE(clicks, 0);

    QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(list.Text(), std::string("A"));
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(combo->currentText(), QString("A"));
}

void MainWindowViewTest::portListTriesTypedTextOnEnterOnly() {
    for (int n = 1; n <= 3; ++n) frm().ComboCom.AddItem("Com" + std::to_string(n) + ":");
    frm().ComboCom.setListIndex(0);
    t_->program.state.link.ContadorPausa = 1;  // as after the start-up's speed test
    auto& port = t_->machine.fakePort;
    port.log.clear();
    const double t0 = t_->machine.clock.now();
    auto* combo = widget<QComboBox>(frm().ComboCom);
    QTest::keyClicks(combo->lineEdit(), "Cxm");
    QVERIFY(port.log.empty());
    QCOMPARE(t_->machine.clock.now(), t0);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    // No entry is named "Cxm": port 0 fails, port 1 is chosen after the pause.
    QCOMPARE(port.log, (std::vector<std::string>{"set 1", "open 1", "close 1", "open 1", "close 1"}));
    QVERIFY(std::abs(t_->machine.clock.now() - t0 - 2.0) < 1e-6);
    QCOMPARE(frm().ComboCom.ListIndex(), 0);  // the fallback to port 1
    QCOMPARE(combo->currentIndex(), 0);
}

void MainWindowViewTest::portListIsDisabledDuringADeviceOperation() {
    auto* combo = widget<QComboBox>(frm().ComboCom);
    QVERIFY(combo->isEnabled());
    bool ran = false;
    ops::deviceOperation(t_->program.state, [&] {
        ran = true;
        QVERIFY(!combo->isEnabled());
        QVERIFY(!widget<QPushButton>(frm().CLeer)->isEnabled());
    });
    QVERIFY(ran);
    QVERIFY(combo->isEnabled());
}

void MainWindowViewTest::modeListReportsLosingFocusAndScrolling() {
    auto& list = frm().cmbModofuncionamiento;
    list.AddItem("Night ON");
    list.AddItem("24 hours ON");
    list.setListIndex(0);
    int lost = 0, validated = 0, scrolled = 0, clicks = 0;
    list.LostFocus = [&] { ++lost; };
    list.Validate = [&] { ++validated; };
    list.Scroll = [&] { ++scrolled; };
    list.Click = [&] { ++clicks; };
    auto* combo = widget<QComboBox>(list);

    QFocusEvent tabbedAway(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(combo, &tabbedAway);
    QCOMPARE(lost, 1);
    QCOMPARE(validated, 1);
    // Opening its own drop-down is no loss of focus.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(combo, &popup);
    QCOMPARE(lost, 1);

    const QPointF centre = QRectF(combo->rect()).center();
    QWheelEvent wheel(centre, combo->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(clicks, 1);
    QCOMPARE(scrolled, 1);
}

void MainWindowViewTest::tabClickShowsThatPage() {
    // As the start-up leaves it: the first page shown, the others hidden.
    for (int i : frm().FrameP.indices()) frm().FrameP(i).setVisible(i == 1);
    auto* tabs = widget<QTabBar>(frm().TabStrip1);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(frm().TabStrip1.selected(), 3);
    QCOMPARE(frm().PestanaActual, 3);
    for (int i : frm().FrameP.indices())
        QVERIFY2(view_->widgetFor(frm().FrameP(i))->isVisible() == (i == 3), frm().FrameP(i).key().c_str());
}

void MainWindowViewTest::tabsFollowTheModel() {
    auto& strip = frm().TabStrip1;
    auto* tabs = widget<QTabBar>(strip);
    int clicks = 0;
    strip.Click = [&] { ++clicks; };
    QCOMPARE(tabs->count(), 6);
    strip.remove(5);
    QCOMPARE(tabs->count(), 5);
    QCOMPARE(tabs->tabText(4), QString::fromStdString(strip.caption(5)));
    strip.add(5, "Visualization");
    QCOMPARE(tabs->count(), 6);
    QCOMPARE(tabs->tabText(4), QString("Visualization"));
    QCOMPARE(tabs->currentIndex(), strip.selected() - 1);
    QCOMPARE(clicks, 0);  // changing the tabs is no operator pick
    strip.select(4);
    QCOMPARE(tabs->currentIndex(), 3);
    QCOMPARE(clicks, 1);  // the model's own, not echoed back by the tab bar
}

void MainWindowViewTest::gridFollowsTheModel() {
    auto& model = frm().MSFlexGridPautas;
    int leaves = 0;
    model.LeaveCell = [&] { ++leaves; };
    tables::FormatearGrid(frm());
    auto* grid = widget<QTableWidget>(model);
    QCOMPARE(grid->rowCount(), 8);
    QCOMPARE(grid->columnCount(), 32);
    // The model's width, or more where an angle needs it at the least face.
    QVERIFY(grid->columnWidth(5) >= px(350));
    QCOMPARE(grid->rowHeight(5), px(250));
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString(" 1I"));
    QCOMPARE(grid->horizontalHeaderItem(31)->text(), QString(" 16F"));
    QCOMPARE(grid->verticalHeaderItem(2)->text(), QString(" 3"));
    // "F" columns are tinted, "I" columns are not.
    QVERIFY(grid->item(4, 1)->background().style() != Qt::NoBrush);
    QCOMPARE(grid->item(4, 0)->background().style(), Qt::NoBrush);

    model.setTextMatrix(2, 3, "120");
    QCOMPARE(grid->item(1, 2)->text(), QString("120"));
    model.setCellBackColor(3, 0, {form::GridColor::Kind::Rgb, 0x0000ff});  // red in the low byte
    QCOMPARE(grid->verticalHeaderItem(2)->background().color(), QColor(255, 0, 0));

    QCOMPARE(grid->currentRow(), 7);  // the layout leaves row 8, column 32 current
    QCOMPARE(grid->currentColumn(), 31);
    model.setCurrent(8, 0);
    QCOMPARE(grid->currentRow(), -1);
    model.setCurrent(5, 6);
    QCOMPARE(grid->currentRow(), 4);
    QCOMPARE(grid->currentColumn(), 5);
    QCOMPARE(leaves, 0);  // the program moves the current cell without leaving one
}

void MainWindowViewTest::gridKeysGoToTheModel_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("digit") << Qt::Key_7 << int('7');
    QTest::newRow("backspace") << Qt::Key_Backspace << 8;
    QTest::newRow("tab") << Qt::Key_Tab << 9;
    QTest::newRow("letter") << Qt::Key_X << int('x');
}

void MainWindowViewTest::gridKeysGoToTheModel() {
    QFETCH(Qt::Key, key);
    QFETCH(int, code);
    auto& model = frm().MSFlexGridPautas;
    tables::FormatearGrid(frm());
    model.setCurrent(1, 1);
    std::vector<int> codes;
    model.KeyPress = [&](int c) { codes.push_back(c); };
    auto* grid = widget<QTableWidget>(model);

    QTest::keyClick(grid, key);
    QCOMPARE(codes, std::vector<int>{code});
    // The grid never edits by itself: the cell shows only what the model writes.
    QVERIFY(grid->findChild<QLineEdit*>() == nullptr);
    QCOMPARE(grid->item(0, 0)->text(), QString());
    QCOMPARE(grid->currentColumn(), 0);
}

void MainWindowViewTest::movingToAnotherCellLeavesTheOldOneFirst() {
    auto& model = frm().MSFlexGridPautas;
    tables::FormatearGrid(frm());
    model.setCurrent(2, 3);
    std::vector<std::pair<int, int>> left;  // the model's current cell each time one is left
    model.LeaveCell = [&] { left.emplace_back(model.Row(), model.Col()); };
    auto* grid = widget<QTableWidget>(model);
    using Cells = std::vector<std::pair<int, int>>;

    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(left, (Cells{{2, 3}}));
    QCOMPARE(std::pair(model.Row(), model.Col()), std::pair(2, 4));

    const QRect cell = grid->visualItemRect(grid->item(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(left, (Cells{{2, 3}, {2, 4}}));
    QCOMPARE(std::pair(model.Row(), model.Col()), std::pair(4, 2));

    QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(grid, &away);
    QCOMPARE(left, (Cells{{2, 3}, {2, 4}, {4, 2}}));
    QCOMPARE(std::pair(model.Row(), model.Col()), std::pair(4, 2));
}

void MainWindowViewTest::aMarkedGridCellShowsItsTintAndTooltip() {
    auto& model = frm().MSFlexGridPautas;
    tables::FormatearGrid(frm());
    tables::BorrarDatosGrid(frm(), t_->program.state.flash);
    auto* grid = widget<QTableWidget>(model);
    QTableWidgetItem* start = grid->item(0, 0);  // row 1, 1I
    QTableWidgetItem* end = grid->item(0, 1);    // row 1, 1F: a tinted column
    const QVariant endBackground = end->data(Qt::BackgroundRole);
    QVERIFY(endBackground.isValid());

    // White 240-359 against yellow 300-330, typed as the operator does.
    frm().LColor(1).setCaption(std::to_string(0xFFFFFF));
    frm().LColor(2).setCaption(std::to_string(0x00FFFF));
    const auto type = [&](int row, const std::string& keys) {
        model.setCurrent(row, 1);
        for (char key : keys) model.KeyPress(key);
    };
    type(1, "240\t359\t");
    type(2, "300\t330\t");
    const QString note = QString::fromUtf8(
        "Overlaps row 2, sector 1 (300\u2013330), which has another colour, over "
        "300\u2013330");
    QCOMPARE(start->toolTip(), note);
    QCOMPARE(end->toolTip(), note);
    QCOMPARE(start->background().color(), QColor(0xFF, 0xAA, 0xAA));
    QCOMPARE(start->foreground().color(), QColor(Qt::black));
    // Under the mark the "F" column still reads apart from its "I" column.
    QVERIFY(end->background().color() != start->background().color());

    // The mark goes; the "F" column's own background comes back.
    type(2, "\b\b\b\t\b\b\b\t");
    QCOMPARE(end->toolTip(), QString());
    QCOMPARE(end->data(Qt::BackgroundRole), endBackground);
    QCOMPARE(start->data(Qt::BackgroundRole), QVariant());
    QCOMPARE(start->data(Qt::ForegroundRole), QVariant());
}

void MainWindowViewTest::runningTimerTicksAndFollowsItsSettings() {
    auto& timer = frm().TimerEstado;
    QTimer* qtimer = view_->timerFor(timer);
    QVERIFY(!qtimer->isActive());  // disabled from design on

    QEventLoop tick;
    int ticks = 0;
    timer.Timer = [&] {
        ++ticks;
        tick.quit();
    };
    timer.setInterval(20);
    timer.setEnabled(true);
    QVERIFY(qtimer->isActive());
    QCOMPARE(qtimer->interval(), 20);
    tick.exec();  // returns at the first tick
    QCOMPARE(ticks, 1);

    timer.setInterval(70);
    QVERIFY(qtimer->isActive());
    QCOMPARE(qtimer->interval(), 70);
    timer.setEnabled(false);
    QVERIFY(!qtimer->isActive());
    timer.setEnabled(true);
    timer.setInterval(0);  // no interval: the timer does not run
    QVERIFY(!qtimer->isActive());
}

void MainWindowViewTest::statusBarShowsStatusDateAndTime() {
    const QLocale locale;
    const QString before = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    frm().setStatus("Serial Port  1");
    const QString after = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    QCOMPARE(view_->statusPanel(1)->text(), QString("Serial Port  1"));
    const QString date = view_->statusPanel(2)->text();
    QVERIFY2(date == before || date == after, qPrintable(date));
    QVERIFY2(locale.toTime(view_->statusPanel(3)->text(), QLocale::ShortFormat).isValid(),
             qPrintable(view_->statusPanel(3)->text()));
    QVERIFY(view_->statusPanel(5) == nullptr);
}

void MainWindowViewTest::aChangedFieldIsTintedWithTheUnitsValueAsItsTooltip() {
    auto* edit = widget<QLineEdit>(frm().TPWMLed);
    auto* list = widget<QComboBox>(frm().ComboTipoMotor);
    const QColor plain = edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() - 3);
    frm().TPWMLed.setMarked(true, "Unit: 80");
    frm().ComboTipoMotor.setMarked(true, "Unit: Flashing");
    frm().sbStatusBar.setText(4, "2 changes");
    QCOMPARE(edit->toolTip(), QString("Unit: 80"));
    QCOMPARE(list->toolTip(), QString("Unit: Flashing"));
    const QColor tinted = edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() - 3);
    QVERIFY2(tinted != plain, qPrintable(tinted.name()));
    QCOMPARE(view_->statusPanel(4)->text(), QString("2 changes"));
    QCOMPARE(view_->statusPanel(1)->text(), QString::fromStdString(frm().status()));
    frm().TPWMLed.setMarked(false);
    QCOMPARE(edit->toolTip(), QString());
    QCOMPARE(edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() - 3), plain);
}

void MainWindowViewTest::everyKindOfFieldShowsItsMark() {
    form::Control* const fields[] = {&frm().TPWMLed, &frm().ComboTipoMotor, &frm().chkHibernacionMotor};
    for (form::Control* field : fields) {
        QWidget* shown = view_->widgetFor(*field);
        const std::string key = field->key();
        field->setMarked(true, "Unit: 1");
        QVERIFY2(shown->toolTip() == "Unit: 1", key.c_str());
        QVERIFY2(!shown->styleSheet().isEmpty(), key.c_str());
        field->setMarked(false);
        QVERIFY2(shown->toolTip().isEmpty(), key.c_str());
        QVERIFY2(shown->styleSheet().isEmpty(), key.c_str());
    }
}

void MainWindowViewTest::windowFollowsPlacementAndOperatorMoves() {
    auto& form = frm().frmMain;
    QCOMPARE(view_->pos(), QPoint(px(1500), px(1200)));
    QCOMPARE(view_->size(), QSize(px(10200), px(7575)));
    QCOMPARE(view_->minimumSize(), view_->maximumSize());

    view_->move(px(3000), px(450));  // as the operator drags it
    const int dpi = view_->logicalDpiY();
    QCOMPARE(form.Left(), gui::pixelsToTwips(px(3000), dpi));
    QCOMPARE(form.Top(), gui::pixelsToTwips(px(450), dpi));
    QCOMPARE(form.Width(), 10200);
    QCOMPARE(form.Height(), 7575);

    view_->showMinimized();
    QVERIFY(form.minimised());
    form.setMinimised(false);
    QVERIFY(!view_->isMinimized());
    QVERIFY(!form.minimised());
}

void MainWindowViewTest::windowVisibilityFollowsTheModel() {
    frm().frmMain.setVisible(false);
    QVERIFY(!view_->isVisible());
    frm().frmMain.setVisible(true);
    QVERIFY(view_->isVisible());
    QVERIFY(!t_->program.unloaded());
}

void MainWindowViewTest::closeBoxUnloadsTheProgram() {
    view_->close();
    QVERIFY(t_->program.unloaded());
    QVERIFY(!view_->isVisible());
    QVERIFY(!frm().frmMain.Visible());
    // The unload wrote where the window was.
    QCOMPARE(t_->machine.store.value("ZRK", "Settings", "MainLeft"), std::optional<std::string>("1500"));
    QCOMPARE(t_->machine.store.value("ZRK", "Settings", "MainHeight"), std::optional<std::string>("7575"));
}

void MainWindowViewTest::exitButtonClosesTheWindow() {
    QTest::mouseClick(view_->widgetFor(frm().Csalir), Qt::LeftButton);
    QVERIFY(t_->program.unloaded());
    QVERIFY(!view_->isVisible());
    QCOMPARE(t_->machine.store.value("ZRK", "Settings", "MainTop"), std::optional<std::string>("1200"));
}

void MainWindowViewTest::closeBoxAsksBeforeUnwrittenChangesAreLost() {
    t_->program.state.flash.pauta(1, 1) = 90;  // a table edit no write has sent
    auto& ui = t_->machine.ui;
    ui.warningAnswers = {false};
    view_->close();
    QCOMPARE(ui.warnings.size(), std::size_t{1});
    QCOMPARE(ui.warnings[0].question, std::string("Exit and lose 1 change?"));
    QVERIFY(!t_->program.unloaded());
    QVERIFY(view_->isVisible());
    ui.warningAnswers = {true};
    view_->close();
    QVERIFY(t_->program.unloaded());
    QVERIFY(!view_->isVisible());
}

// Reading turns the buttons off, and Qt moves the focus on (to Exit, where
// a stray Space quits); afterwards it is back on Read.
void MainWindowViewTest::anOperationGivesTheFocusBackToItsButton() {
    view_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    auto* read = widget<QPushButton>(frm().CLeer);
    read->setFocus();
    QCOMPARE(QApplication::focusWidget(), read);
    QWidget* focusedDuring = nullptr;
    t_->events.onProcess = [&] {
        if (!read->isEnabled() && focusedDuring == nullptr) focusedDuring = QApplication::focusWidget();
    };
    QTest::keyClick(read, Qt::Key_Space);  // no unit answers: the read fails after its attempts
    t_->events.onProcess = {};
    QVERIFY(focusedDuring != read);
    QCOMPARE(QApplication::focusWidget(), read);
}

QTEST_MAIN(MainWindowViewTest)
#include "main_window_view_test.moc"
