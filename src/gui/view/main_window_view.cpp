#include "gui/view/main_window_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QShortcut>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <set>

#include "gui/view/clickable_label.h"
#include "gui/view/line_monitor_view.h"
#include "gui/view/main_window_metrics.h"
#include "gui/view/model_text.h"
#include "gui/view/operation_progress_view.h"
#include "gui/view/twips.h"
#include "ops/device_operation.h"

namespace zrk::gui {
namespace {

using form::Prop;
using namespace metrics;

// Counts the nesting of model-to-widget updates, so the signals they cause
// are not taken for operator input.
class Applying {
public:
    explicit Applying(int& depth) : depth_(depth) { ++depth_; }
    ~Applying() { --depth_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    int& depth_;
};

}  // namespace

MainWindowView::MainWindowView(app::Program& program, QWidget* parent)
    : QMainWindow(parent), program_(program), frm_(program.state.frm) {
    setObjectName(QString::fromStdString(frm_.frmMain.key()));
    // The window has one size; the operator moves it but cannot resize it.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setFont(fittedFont());

    auto* central = new QWidget(this);
    setCentralWidget(central);
    createWidgets(central);
    buildLayout(central);

    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, [this] { tickClock(); });
    clock_->start(1000);

    new OperationProgressView(program_.state.progress, *this, program_.state.texts);
    new LineMonitorView(program_, *this);  // Ctrl+L

    // F8 undoes the last write, as its button does (and not while the button
    // is off). Ctrl+Z stays the fields' own undo of typing.
    auto* undo = new QShortcut(QKeySequence(Qt::Key_F8), this);
    undo->setContext(Qt::WindowShortcut);
    connect(undo, &QShortcut::activated, this, [this] {
        auto* button = qobject_cast<QAbstractButton*>(widgetFor(frm_.CDeshacer));
        if (button != nullptr && button->isEnabled() && button->isVisible()) button->click();
    });

    fitTimer_ = new QTimer(this);
    fitTimer_->setSingleShot(true);
    fitTimer_->setInterval(0);
    connect(fitTimer_, &QTimer::timeout, this, [this] { fitTexts(); });

    syncAll();
    // After the model's marks, which own the fields' tooltips.
    widgetFor(frm_.CDeshacer)->setToolTip(toQt(program_.state.texts.CargarTexto(texts::id::kUndoTooltip)));
    hubToken_ = frm_.controls().hub().subscribe([this](form::Control& control, Prop prop) {
        apply(control, prop);
        scheduleFit();
    });
}

void MainWindowView::scheduleFit() {
    if (fitTimer_ != nullptr && !fitTimer_->isActive()) fitTimer_->start();
}

namespace {

// Pixels by which a widget's text runs past the room it has (0: it fits, or
// it is a label that shows it elided).
int textOverflow(const QWidget* widget) {
    if (const auto* label = qobject_cast<const ClickableLabel*>(widget))
        return label->elided() ? 0 : label->textOverflow();
    if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
        if (check->text().isEmpty()) return 0;
        return std::max(0, check->sizeHint().width() - check->width());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const int room = (combo->isEditable()
                              ? combo->lineEdit()->width()
                              : combo->style()
                                    ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                                    .width()) -
                         4;
        int worst = 0;
        for (int i = 0; i < combo->count(); ++i)
            worst = std::max(worst, combo->fontMetrics().horizontalAdvance(combo->itemText(i)) - room);
        return worst;
    }
    return 0;
}

// The text a widget shows, its list's items included.
QString shownText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        QString items;
        for (int i = 0; i < combo->count(); ++i) items += combo->itemText(i) + QChar(0x1f);
        return items;
    }
    return {};
}

}  // namespace

void MainWindowView::settleLayouts() {
    // Every layout down the tree at once, so that each widget's geometry is
    // the one it will show (a nested layout otherwise waits for an event).
    if (QLayout* layout = centralWidget()->layout()) layout->activate();
    for (QWidget* child : centralWidget()->findChildren<QWidget*>())
        if (QLayout* layout = child->layout(); layout != nullptr && child->isVisible()) layout->activate();
}

bool MainWindowView::allInside() const {
    // Room taken from a neighbour must neither push it out of the window nor
    // lay one text or field over another.
    std::vector<QRect> taken;
    for (QWidget* shown : ordered_) {
        if (!shown->isVisible()) continue;
        const QRect place(shown->mapTo(this, QPoint(0, 0)), shown->size());
        if (!rect().contains(place)) return false;
        if (qobject_cast<QLabel*>(shown) || qobject_cast<QCheckBox*>(shown) || qobject_cast<QComboBox*>(shown) ||
            qobject_cast<QLineEdit*>(shown)) {
            // Two controls in one place take turns (the status shows one of them).
            for (const QRect& other : taken)
                if (other != place && other.intersects(place)) return false;
            taken.push_back(place);
        }
    }
    return true;
}

void MainWindowView::askForRoom() {
    // Widening one text may narrow its neighbours: a few passes.
    for (int pass = 0; pass < 3; ++pass) {
        bool changed = false;
        for (QWidget* widget : ordered_) {
            if (!widget->isVisible()) continue;
            const int over = textOverflow(widget);
            if (over == 0) continue;
            changed = true;
            auto* label = qobject_cast<QLabel*>(widget);
            if (label != nullptr && !label->wordWrap() && label->text().contains(QStringLiteral("   "))) {
                // Blanks laid out as a second line: show them as one if there is room.
                label->setWordWrap(true);
                label->setMinimumHeight(label->heightForWidth(label->width()));
                settleLayouts();
                if (textOverflow(label) == 0 && allInside()) continue;
                label->setMinimumHeight(0);
                label->setWordWrap(false);
                settleLayouts();
            }
            // Ask the layout for the room first: it gives what the fixed
            // window can spare.
            const int width = widget->width();
            const int minimum = widget->minimumWidth();
            widget->setMinimumWidth(width + textOverflow(widget));
            settleLayouts();
            if (textOverflow(widget) == 0 && allInside()) {
                roomGiven_.emplace(widget, minimum);  // the first minimum is kept
                continue;
            }
            widget->setMinimumWidth(minimum);
            settleLayouts();
        }
        if (!changed) break;
    }
}

void MainWindowView::fitTexts() {
    // The layout first, so that every widget has the width it will keep.
    settleLayouts();
    askForRoom();
    // What still does not fit: a smaller face for the whole group or page it
    // is on, so that its neighbours give up room too and the texts of one
    // page keep one size; down to the least face.
    for (int step = 0; step < 12; ++step) {
        std::set<QWidget*> holders;
        for (QWidget* widget : ordered_)
            if (widget->isVisible() && textOverflow(widget) > 0 && widget->parentWidget() != nullptr)
                holders.insert(widget->parentWidget());
        bool smaller = false;
        for (QWidget* holder : holders) {
            QFont font = holder->font();
            if (font.pointSizeF() <= 0 || font.pointSizeF() - 0.5 < kLeastPointSize) continue;
            font.setPointSizeF(font.pointSizeF() - 0.5);
            holder->setFont(font);
            smaller = true;
        }
        if (!smaller) break;
        settleLayouts();
    }
    // What does not fit at the least face either: its page is laid out again.
    std::vector<QWidget*> crowded;
    for (QWidget* widget : ordered_)
        if (widget->isVisible() && textOverflow(widget) > 0 &&
            std::find(crowded.begin(), crowded.end(), pageOf(widget)) == crowded.end())
            crowded.push_back(pageOf(widget));
    for (QWidget* page : crowded) fitCrowdedPage(page);
    // A caption changed since: its tooltip says whether it is cut short now.
    for (QWidget* widget : ordered_)
        if (auto* label = qobject_cast<ClickableLabel*>(widget)) label->updateToolTip();
}

QWidget* MainWindowView::pageOf(QWidget* widget) const {
    // The outermost group it is in: a page, or the identification group.
    QWidget* page = widget;
    for (QWidget* up = widget->parentWidget(); up != nullptr && up != this; up = up->parentWidget())
        if (qobject_cast<QGroupBox*>(up)) page = up;
    return page;
}

std::vector<QRect> MainWindowView::placesOutside(const QWidget* page) const {
    std::vector<QRect> places;
    for (QWidget* shown : ordered_)
        if (shown->isVisible() && !page->isAncestorOf(shown))
            places.emplace_back(shown->mapTo(this, QPoint(0, 0)), shown->size());
    return places;
}

void MainWindowView::fitCrowdedPage(QWidget* page) {
    std::vector<QWidget*> onPage;
    QString shown;  // what the page shows, to lay it out again only when that changed
    for (QWidget* widget : ordered_)
        if (widget->isVisible() && page->isAncestorOf(widget)) {
            onPage.push_back(widget);
            shown += widget->objectName() + QChar(0x1f) + shownText(widget) + QChar(0x1e);
        }
    if (QString& before = crowdedPages_[page]; before != shown)
        before = shown;
    else
        return;
    // The room given before, one text at a time, is given out again.
    for (QWidget* widget : onPage)
        if (auto given = roomGiven_.find(widget); given != roomGiven_.end()) {
            widget->setMinimumWidth(given->second);
            roomGiven_.erase(given);
        }
    settleLayouts();
    struct Kept {
        QWidget* widget;
        bool wrapped;
        QSize minimum;
    };
    std::vector<Kept> kept;
    for (QWidget* widget : onPage) {
        const auto* label = qobject_cast<QLabel*>(widget);
        kept.push_back({widget, label != nullptr && label->wordWrap(), widget->minimumSize()});
    }
    const std::vector<QRect> outside = placesOutside(page);
    // Fields and lists cannot wrap: they take the room they need first, and
    // the captions beside them go onto two lines where that leaves them too
    // little. Each settles the other: a few passes.
    for (int pass = 0; pass < 4; ++pass) {
        bool changed = false;
        for (QWidget* widget : onPage) {
            if (qobject_cast<QLabel*>(widget) != nullptr || textOverflow(widget) == 0) continue;
            roomGiven_.emplace(widget, widget->minimumWidth());
            widget->setMinimumWidth(widget->width() + textOverflow(widget));
            changed = true;
        }
        settleLayouts();
        for (QWidget* widget : onPage)
            if (auto* label = qobject_cast<ClickableLabel*>(widget); label != nullptr && textOverflow(label) > 0)
                changed = label->wrapOnTwoLines() || changed;
        settleLayouts();
        if (!changed) break;
    }
    // Rows of the page may move down into its free room; nothing else in the
    // window may move. Else the page is as it was, its long captions cut short.
    if (!allInside() || placesOutside(page) != outside) {
        for (const Kept& k : kept) {
            if (auto* label = qobject_cast<QLabel*>(k.widget)) label->setWordWrap(k.wrapped);
            k.widget->setMinimumSize(k.minimum);
            roomGiven_.erase(k.widget);
        }
        settleLayouts();
    }
    for (QWidget* widget : onPage)
        if (auto* label = qobject_cast<ClickableLabel*>(widget); label != nullptr && textOverflow(label) > 0)
            label->setElided(true);
}

MainWindowView::~MainWindowView() { frm_.controls().hub().unsubscribe(hubToken_); }

QWidget* MainWindowView::widgetFor(const form::Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

QTimer* MainWindowView::timerFor(const form::Control& control) const {
    auto it = timers_.find(&control);
    return it == timers_.end() ? nullptr : it->second;
}

QLabel* MainWindowView::statusPanel(int panel) const {
    if (panel < 1 || panel > static_cast<int>(panels_.size())) return nullptr;
    return panels_[static_cast<std::size_t>(panel - 1)];
}

int MainWindowView::px(int twips) const { return twipsToPixels(twips, logicalDpiY()); }

QFont MainWindowView::fittedFont() const {
    // The window's size is fixed and its layout was drawn for a narrow 8 pt
    // face: take the system font, condensed where the family has a condensed
    // face, and step it down until a long field caption fits its column, but
    // never below the least face.
    QFont font = QApplication::font(this);
    font.setStretch(QFont::Condensed);
    if (font.pointSizeF() > 0 && font.pointSizeF() < kLeastPointSize) font.setPointSizeF(kLeastPointSize);
    const QString longCaption = QStringLiteral("Delay AC Mains restart");
    while (font.pointSizeF() - 0.5 >= kLeastPointSize &&
           QFontMetrics(font).horizontalAdvance(longCaption) > px(kCaptionWidth))
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

template <typename Action>
void MainWindowView::operatorAction(Action&& action) {
    if (applying()) return;
    // An operation turns its buttons off and Qt hands the focus on, often to
    // Exit, where a stray Space would quit: it goes back where it was, unless
    // the operator has since put it in a field.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    try {
        action();
    } catch (const std::exception& e) {
        program_.state.platform.ui.messageBox(e.what(), program_.state.platform.info.title,
                                              platform::UserInterface::Icon::Error);
    }
    QWidget* now = QApplication::focusWidget();
    const bool handedOn = now == nullptr || qobject_cast<QAbstractButton*>(now) != nullptr;
    if (focused && !closing_ && focused != now && handedOn && focused->isEnabled() && focused->isVisible())
        focused->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- widgets

void MainWindowView::createWidgets(QWidget* owner) {
    for (const auto& control : frm_.controls().all()) {
        const ControlBinder& binder = binderFor(control->kind());
        QObject* shown = binder.create(*control, owner, *this);
        if (shown == nullptr) continue;
        if (shown != this) shown->setObjectName(QString::fromStdString(control->key()));
        if (auto* timer = qobject_cast<QTimer*>(shown))
            timers_.emplace(control.get(), timer);
        else {
            widgets_.emplace(control.get(), static_cast<QWidget*>(shown));
            if (shown != this) ordered_.push_back(static_cast<QWidget*>(shown));
        }
        binder.connect(*control, shown, *this);
    }
}

QWidget* MainWindowView::statusBarWidget() { return statusBar(); }

void MainWindowView::operatorInput(const std::function<void()>& action) { operatorAction(action); }

std::optional<QString> MainWindowView::itemToolTip(const form::ComboBox& list, int index) const {
    if (&list != &frm_.ComboCom) return std::nullopt;
    // Which device each port number stands for on this machine.
    try {
        return toQt(ops::deviceText(program_.state, index + 1));
    } catch (const std::exception&) {
        // No device behind this number: no tooltip.
        return QString();
    }
}

// ---------------------------------------------------------------- model to widgets

void MainWindowView::syncAll() {
    const Applying guard(applying_);
    for (const auto& control : frm_.controls().all()) {
        if (control.get() == &frm_.frmMain) continue;
        for (Prop prop :
             {Prop::Visible, Prop::Enabled, Prop::Caption, Prop::ForeColor, Prop::Text, Prop::Items, Prop::ListIndex,
              Prop::Value, Prop::Interval, Prop::Tabs, Prop::Panels, Prop::Cells, Prop::CurrentCell, Prop::Marked})
            apply(*control, prop);
    }
    for (Prop prop : {Prop::Caption, Prop::Enabled, Prop::Geometry, Prop::Visible, Prop::WindowState}) applyForm(prop);
}

void MainWindowView::apply(form::Control& control, Prop prop) {
    const Applying guard(applying_);
    QObject* shown = widgetFor(control);
    if (shown == nullptr) shown = timerFor(control);
    if (shown == nullptr) return;
    binderFor(control.kind()).apply(control, shown, prop, *this);
}

void MainWindowView::syncPanels() {
    const auto& model = frm_.sbStatusBar;
    for (int panel = 1; panel <= model.count() && panel <= static_cast<int>(panels_.size()); ++panel)
        if (model.style(panel) == form::StatusBar::PanelStyle::Text ||
            model.style(panel) == form::StatusBar::PanelStyle::Changes) {
            statusPanel(panel)->setText(toQt(model.text(panel)));
            if (auto* label = qobject_cast<ClickableLabel*>(statusPanel(panel))) label->updateToolTip();
        }
    tickClock();
}

void MainWindowView::tickClock() {
    // The date and time panels are the view's own: the model only says
    // which panel shows which, so no notification fires every second.
    const auto& model = frm_.sbStatusBar;
    const QLocale locale;
    for (int panel = 1; panel <= model.count() && panel <= static_cast<int>(panels_.size()); ++panel) {
        if (model.style(panel) == form::StatusBar::PanelStyle::Date)
            statusPanel(panel)->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        else if (model.style(panel) == form::StatusBar::PanelStyle::Time)
            statusPanel(panel)->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    }
}

// ---------------------------------------------------------------- the window itself

void MainWindowView::applyForm(Prop prop) {
    switch (prop) {
        case Prop::Visible:
            applyWindowVisible();
            break;
        case Prop::Enabled:
            centralWidget()->setEnabled(frm_.frmMain.Enabled());
            break;
        case Prop::Caption:
            setWindowTitle(toQt(frm_.frmMain.Caption()));
            break;
        case Prop::Geometry:
            applyGeometry();
            break;
        case Prop::WindowState:
            applyWindowState();
            break;
        default:
            break;
    }
}

void MainWindowView::applyWindowVisible() {
    if (frm_.frmMain.Visible()) {
        if (!isVisible()) show();
        return;
    }
    // Hidden after the unload: the program is done with the window.
    if (program_.unloaded()) {
        if (!closing_) close();
        return;
    }
    hide();
}

void MainWindowView::applyGeometry() {
    const auto& form = frm_.frmMain;
    if (form.Width() <= 0 || form.Height() <= 0) return;
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    setFixedSize(twipsToPixels(form.Width(), dpiX), twipsToPixels(form.Height(), dpiY));
    move(twipsToPixels(form.Left(), dpiX), twipsToPixels(form.Top(), dpiY));
}

void MainWindowView::applyWindowState() {
    if (!isVisible() && !isMinimized()) return;
    if (frm_.frmMain.minimised() && !isMinimized()) showMinimized();
    if (!frm_.frmMain.minimised() && isMinimized()) showNormal();
}

void MainWindowView::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    auto& form = frm_.frmMain;
    if (applying() || form.Width() <= 0) return;
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    // Only a move the model does not know yet; our own moves come back equal.
    if (pos().x() == twipsToPixels(form.Left(), dpiX) && pos().y() == twipsToPixels(form.Top(), dpiY)) return;
    operatorAction([&] {
        form.Move(pixelsToTwips(pos().x(), dpiX), pixelsToTwips(pos().y(), dpiY), form.Width(), form.Height());
    });
}

void MainWindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) operatorAction([&] { frm_.frmMain.setMinimised(isMinimized()); });
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    bool stay = false;
    if (!program_.unloaded()) operatorAction([&] { stay = !program_.mayExit(); });
    if (stay) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (!program_.unloaded()) operatorAction([&] { program_.Form_Unload(); });
    // The model follows the screen: a closed window is not visible.
    operatorAction([&] { frm_.frmMain.setVisible(false); });
    event->accept();
}

}  // namespace zrk::gui
