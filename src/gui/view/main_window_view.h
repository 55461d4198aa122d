#pragma once

#include <QMainWindow>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/program.h"
#include "gui/view/control_binders.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QTimer;

namespace zrk::gui {

// The main window on screen: one widget per control of the window model.
// Model changes are mirrored onto the widgets; operator input goes back
// through the model and its handlers, never straight into a widget's state.
// The program must outlive the view. What each kind of control shows and
// takes is its binder's (control_binders.h); the window lays them out.
class MainWindowView : public QMainWindow, private BinderHost {
    Q_OBJECT
public:
    explicit MainWindowView(app::Program& program, QWidget* parent = nullptr);
    ~MainWindowView() override;
    MainWindowView(const MainWindowView&) = delete;
    MainWindowView& operator=(const MainWindowView&) = delete;

    // The widget that shows a control: the window itself for frmMain, the
    // status bar for sbStatusBar; nullptr for a timer or a foreign control.
    QWidget* widgetFor(const form::Control& control) const;
    // The timer that drives a timer control; nullptr for any other control.
    QTimer* timerFor(const form::Control& control) const;
    // The status bar panel at a 1-based position, as the model counts them.
    QLabel* statusPanel(int panel) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    using FieldRow = form::FrmMain::FieldRow;

    // Widget building and placing.
    void createWidgets(QWidget* owner);
    void buildLayout(QWidget* central);
    QGroupBox* box(const form::Control& frame) const;
    QWidget* buildIdentGroup();
    QWidget* buildPageArea();
    void buildPage1();
    void buildPage2();
    void buildPage3();
    void buildPage4();
    void buildPage5();
    void buildPage6();
    QLayout* buildLampColumn();
    QLayout* buildCommandGroups();
    QLayout* buildBottomButtons();
    void buildStatusBar();
    // Caption | field | unit | extra, one parameter per grid row from `row` on.
    int addFieldRows(QGridLayout* grid, int row, const std::vector<FieldRow>& rows);
    void styleField(QWidget* field, int widthTwips) const;
    int px(int twips) const override;
    QFont fittedFont() const;
    // Texts that run past their widget (a long caption in some language, a
    // long list item) get room from the layout, else a smaller font down to
    // the least face; a caption that still does not fit wraps onto two lines
    // where there is room below it, else is cut short with the whole text as
    // its tooltip. Runs after the layout settles.
    void scheduleFit();
    void fitTexts();
    void settleLayouts();
    void askForRoom();
    bool allInside() const;
    QWidget* pageOf(QWidget* widget) const;
    std::vector<QRect> placesOutside(const QWidget* page) const;
    void fitCrowdedPage(QWidget* page);
    // Widgets given room, with the minimum width they had before.
    std::unordered_map<QWidget*, int> roomGiven_;
    // What each crowded page showed when it was last laid out again.
    std::unordered_map<QWidget*, QString> crowdedPages_;
    QTimer* fitTimer_ = nullptr;

    // Model to widgets.
    void apply(form::Control& control, form::Prop prop);
    void applyForm(form::Prop prop) override;
    void applyWindowVisible();
    void applyGeometry();
    void applyWindowState();
    void syncAll();
    void syncPanels() override;
    void tickClock();

    // What the binders take from the window.
    QWidget* formWidget() override { return this; }
    QWidget* statusBarWidget() override;
    void operatorInput(const std::function<void()>& action) override;
    std::optional<QString> itemToolTip(const form::ComboBox& list, int index) const override;

    // Operator input, run through the model; what a handler throws ends in a
    // message box instead of unwinding through Qt's event loop.
    template <typename Action>
    void operatorAction(Action&& action);
    bool applying() const { return applying_ > 0; }

    app::Program& program_;
    form::FrmMain& frm_;
    std::unordered_map<const form::Control*, QWidget*> widgets_;
    // The same widgets (the window aside) in the form's order, so that texts
    // are fitted alike in every run.
    std::vector<QWidget*> ordered_;
    std::unordered_map<const form::Control*, QTimer*> timers_;
    std::vector<QLabel*> panels_;
    QTimer* clock_ = nullptr;
    int hubToken_ = 0;
    int applying_ = 0;  // above 0 while the model is being mirrored onto widgets
    bool closing_ = false;
};

}  // namespace zrk::gui
