#include "gui/view/main_window_view.h"

#include <QLayout>
#include <QStyleOptionComboBox>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDate>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTime>
#include <QTimer>
#include <exception>
#include <set>

#include "gui/view/line_monitor_view.h"
#include "gui/view/operation_progress_view.h"
#include "gui/view/clickable_label.h"
#include "gui/view/flex_grid_widget.h"
#include "gui/view/lamp_widget.h"
#include "gui/view/logo_widget.h"
#include "gui/view/main_window_metrics.h"
#include "gui/view/model_combo_box.h"
#include "gui/view/model_text.h"
#include "gui/view/shape_widget.h"
#include "gui/view/twips.h"

namespace zrk::gui {
namespace {

using app::Kind;
using app::Prop;
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

QColor toColor(const app::Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The grid's colours: red in the low byte, as the model keeps them.
QColor fromModelRgb(std::int32_t rgb) { return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff); }

void setBackground(QTableWidgetItem* item, const app::GridColor& color, const QPalette& palette) {
    QVariant brush;
    switch (color.kind) {
        case app::GridColor::Kind::Default:
            break;
        case app::GridColor::Kind::Rgb:
            brush = QBrush(fromModelRgb(color.rgb));
            break;
        // The style's light bevel colour is white in some palettes; mix it
        // with the button face so the tinted columns stay visible.
        case app::GridColor::Kind::ThreeDLight: {
            const QColor light = palette.color(QPalette::Light);
            const QColor face = palette.color(QPalette::Button);
            brush = QBrush(QColor((light.red() + face.red() * 3) / 4, (light.green() + face.green() * 3) / 4,
                                  (light.blue() + face.blue() * 3) / 4));
            break;
        }
    }
    if (item->data(Qt::BackgroundRole) != brush) item->setData(Qt::BackgroundRole, brush);
}

void setItemText(QTableWidgetItem* item, const std::string& text) {
    const QString value = toQt(text);
    if (item->text() != value) item->setText(value);
}

}  // namespace

MainWindowView::MainWindowView(app::Program& program, QWidget* parent)
    : QMainWindow(parent), program_(program), frm_(program.frm) {
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

    new OperationProgressView(program_.progress, *this, program_.texts);
    new LineMonitorView(program_, *this);  // Ctrl+L

    fitTimer_ = new QTimer(this);
    fitTimer_->setSingleShot(true);
    fitTimer_->setInterval(0);
    connect(fitTimer_, &QTimer::timeout, this, [this] { fitTexts(); });

    syncAll();
    hubToken_ = frm_.controls().hub().subscribe([this](app::Control& control, Prop prop) {
        apply(control, prop);
        scheduleFit();
    });
}

void MainWindowView::scheduleFit() {
    if (fitTimer_ != nullptr && !fitTimer_->isActive()) fitTimer_->start();
}

namespace {

constexpr double kLeastPointSize = 6.0;

// Pixels by which a widget's text runs past the room it has (0: it fits).
int textOverflow(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) return 0;
        const int room = label->contentsRect().width() - 2 * label->margin() - label->indent();
        if (label->wordWrap()) return std::max(0, label->heightForWidth(label->width()) - label->height());
        return std::max(0, label->fontMetrics().horizontalAdvance(label->text()) - room);
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
        if (check->text().isEmpty()) return 0;
        return std::max(0, check->sizeHint().width() - check->width());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const int room =
            (combo->isEditable() ? combo->lineEdit()->width()
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

}  // namespace

void MainWindowView::fitTexts() {
    // Every layout down the tree at once, so that each widget's geometry is
    // the one it will show (a nested layout otherwise waits for an event).
    const auto settle = [this] {
        if (QLayout* layout = centralWidget()->layout()) layout->activate();
        for (QWidget* child : centralWidget()->findChildren<QWidget*>())
            if (QLayout* layout = child->layout(); layout != nullptr && child->isVisible()) layout->activate();
    };
    // Room taken from a neighbour must neither push it out of the window nor
    // lay one text or field over another.
    const auto allInside = [this] {
        std::vector<QRect> taken;
        for (const auto& [control, shown] : widgets_) {
            if (shown == this || !shown->isVisible()) continue;
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
    };
    // The layout first, so that every widget has the width it will keep.
    settle();
    // Widening one text may narrow its neighbours: a few passes.
    for (int pass = 0; pass < 3; ++pass) {
        bool changed = false;
        for (const auto& [control, widget] : widgets_) {
            if (widget == this || !widget->isVisible()) continue;
            const int over = textOverflow(widget);
            if (over == 0) continue;
            changed = true;
            auto* label = qobject_cast<QLabel*>(widget);
            if (label != nullptr && !label->wordWrap() && label->text().contains(QStringLiteral("   "))) {
                // Blanks laid out as a second line: show them as one if there is room.
                label->setWordWrap(true);
                label->setMinimumHeight(label->heightForWidth(label->width()));
                settle();
                if (textOverflow(label) == 0 && allInside()) continue;
                label->setMinimumHeight(0);
                label->setWordWrap(false);
                settle();
            }
            // Ask the layout for the room first: it gives what the fixed
            // window can spare.
            const int width = widget->width();
            const int minimum = widget->minimumWidth();
            widget->setMinimumWidth(width + textOverflow(widget));
            settle();
            if (textOverflow(widget) == 0 && allInside()) continue;
            widget->setMinimumWidth(minimum);
            settle();
        }
        if (!changed) break;
    }
    // What still does not fit: a smaller face for the whole group or page it
    // is on, so that its neighbours give up room too and the texts of one
    // page keep one size; down to a readable least.
    for (int step = 0; step < 12; ++step) {
        std::set<QWidget*> holders;
        for (const auto& [control, widget] : widgets_)
            if (widget != this && widget->isVisible() && textOverflow(widget) > 0 && widget->parentWidget() != nullptr)
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
        settle();
    }
}

MainWindowView::~MainWindowView() { frm_.controls().hub().unsubscribe(hubToken_); }

QWidget* MainWindowView::widgetFor(const app::Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

QTimer* MainWindowView::timerFor(const app::Control& control) const {
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
    // face, and step it down until a long field caption fits its column.
    QFont font = QApplication::font(this);
    font.setStretch(QFont::Condensed);
    const QString longCaption = QStringLiteral("Delay AC Mains restart");
    while (font.pointSizeF() > 7.0 && QFontMetrics(font).horizontalAdvance(longCaption) > px(kCaptionWidth))
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

template <typename Action>
void MainWindowView::operatorAction(Action&& action) {
    if (applying()) return;
    try {
        action();
    } catch (const std::exception& e) {
        program_.platform.ui.messageBox(e.what(), program_.platform.info.title, platform::UserInterface::Icon::Error);
    }
}

// ---------------------------------------------------------------- widgets

void MainWindowView::createWidgets(QWidget* owner) {
    for (const auto& control : frm_.controls().all()) {
        if (control->kind() == Kind::Timer) {
            auto* timer = new QTimer(this);
            timer->setObjectName(QString::fromStdString(control->key()));
            auto& model = static_cast<app::TimerControl&>(*control);
            connect(timer, &QTimer::timeout, this, [this, &model] { operatorAction([&] { model.Timer(); }); });
            timers_.emplace(control.get(), timer);
            continue;
        }
        QWidget* widget = createWidget(*control, owner);
        if (widget == nullptr) continue;
        if (widget != this) widget->setObjectName(QString::fromStdString(control->key()));
        widgets_.emplace(control.get(), widget);
        connectInput(*control, widget);
    }
}

QWidget* MainWindowView::createWidget(app::Control& control, QWidget* owner) {
    switch (control.kind()) {
        case Kind::Form:
            return this;
        case Kind::TextBox: {
            auto& model = static_cast<app::TextBox&>(control);
            if (model.multiLine) return new QPlainTextEdit(owner);
            auto* edit = new QLineEdit(owner);
            if (model.locked) {
                // Display only: readable and copyable, on the tooltip
                // background that marks a read-out.
                edit->setReadOnly(true);
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
                palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
                edit->setPalette(palette);
            }
            return edit;
        }
        case Kind::Label: {
            auto& model = static_cast<app::LabelControl&>(control);
            auto* label = new ClickableLabel(owner);
            label->setTextFormat(Qt::PlainText);
            if (model.bordered) {
                label->setFrameShape(QFrame::Box);
                label->setLineWidth(1);
                label->setAlignment(Qt::AlignCenter);
                label->setCursor(Qt::PointingHandCursor);
            }
            return label;
        }
        case Kind::Button: {
            auto* button = new QPushButton(owner);
            button->setAutoDefault(false);
            return button;
        }
        case Kind::CheckBox:
            return new QCheckBox(owner);
        case Kind::ComboBox: {
            auto& model = static_cast<app::ComboBox&>(control);
            auto* combo = new ModelComboBox(owner);
            combo->setEditable(model.editable);
            if (model.editable) {
                // The model owns the items: Enter must not add one, and no
                // completion may change the text behind the operator's back.
                combo->setInsertPolicy(QComboBox::NoInsert);
                combo->setCompleter(nullptr);
            }
            return combo;
        }
        case Kind::Frame:
            return new QGroupBox(owner);
        case Kind::Picture: {
            auto& model = static_cast<app::PictureBox&>(control);
            if (model.image == app::PictureBox::Image::Lamp)
                return new LampWidget(toColor(model.color), px(kLampSize), owner);
            return new LogoWidget(QSize(px(kLogoWidth), px(kLogoHeight)), owner);
        }
        case Kind::TabStrip: {
            auto* tabs = new QTabBar(owner);
            tabs->setDrawBase(false);
            tabs->setExpanding(false);
            return tabs;
        }
        case Kind::StatusBar:
            return statusBar();
        case Kind::Grid:
            return new FlexGridWidget(owner);
        case Kind::Shape:
            return new ShapeWidget(px(static_cast<app::ShapeControl&>(control).widthTwips), owner);
        case Kind::Timer:
            return nullptr;
    }
    return nullptr;
}

void MainWindowView::connectInput(app::Control& control, QWidget* widget) {
    switch (control.kind()) {
        case Kind::TextBox: {
            auto& model = static_cast<app::TextBox&>(control);
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                // textEdited: the operator's typing only, never our own setText.
                connect(edit, &QLineEdit::textEdited, this,
                        [this, &model](const QString& text) { operatorAction([&] { model.setText(fromQt(text)); }); });
            } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
                connect(edit, &QPlainTextEdit::textChanged, this,
                        [this, &model, edit] { operatorAction([&] { model.setText(fromQt(edit->toPlainText())); }); });
            }
            break;
        }
        case Kind::Label: {
            auto& model = static_cast<app::LabelControl&>(control);
            connect(static_cast<ClickableLabel*>(widget), &ClickableLabel::clicked, this,
                    [this, &model] { operatorAction([&] { model.Click(); }); });
            break;
        }
        case Kind::Button: {
            auto& model = static_cast<app::CommandButton&>(control);
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    [this, &model] { operatorAction([&] { model.Click(); }); });
            break;
        }
        case Kind::CheckBox: {
            auto& model = static_cast<app::CheckBox&>(control);
            connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                    [this, &model](bool checked) { operatorAction([&] { model.setValue(checked ? 1 : 0); }); });
            break;
        }
        case Kind::ComboBox: {
            auto& model = static_cast<app::ComboBox&>(control);
            auto* combo = static_cast<ModelComboBox*>(widget);
            // activated: the operator's pick (list, keys, wheel), not our own setCurrentIndex.
            connect(combo, &QComboBox::activated, this,
                    [this, &model](int index) { operatorAction([&] { model.setListIndex(index); }); });
            if (combo->isEditable()) {
                connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                        [this, &model](const QString& text) { operatorAction([&] { model.typeText(fromQt(text)); }); });
                connect(combo->lineEdit(), &QLineEdit::returnPressed, this,
                        [this, &model] { operatorAction([&] { model.KeyPress(13); }); });
            }
            connect(combo, &ModelComboBox::focusLost, this, [this, &model] {
                operatorAction([&] {
                    model.Validate();
                    model.LostFocus();
                });
            });
            connect(combo, &ModelComboBox::wheelScrolled, this,
                    [this, &model] { operatorAction([&] { model.Scroll(); }); });
            break;
        }
        case Kind::TabStrip: {
            auto& model = static_cast<app::TabStrip&>(control);
            connect(static_cast<QTabBar*>(widget), &QTabBar::currentChanged, this, [this, &model](int index) {
                if (index >= 0) operatorAction([&] { model.select(index + 1); });
            });
            break;
        }
        case Kind::Grid: {
            auto& model = static_cast<app::FlexGrid&>(control);
            auto* grid = static_cast<FlexGridWidget*>(widget);
            // The widget's cell rows and columns are the model's less the headers.
            connect(grid, &QTableWidget::currentCellChanged, this, [this, &model](int row, int col, int, int) {
                if (row < 0 || col < 0) return;
                operatorAction([&] {
                    model.LeaveCell();
                    model.setCurrent(row + 1, col + 1);
                });
            });
            connect(grid, &FlexGridWidget::keyTyped, this,
                    [this, &model](int code) { operatorAction([&] { model.KeyPress(code); }); });
            connect(grid, &FlexGridWidget::focusLost, this,
                    [this, &model] { operatorAction([&] { model.LeaveCell(); }); });
            break;
        }
        default:
            break;
    }
}

// ---------------------------------------------------------------- model to widgets

void MainWindowView::syncAll() {
    const Applying guard(applying_);
    for (const auto& control : frm_.controls().all()) {
        if (control.get() == &frm_.frmMain) continue;
        for (Prop prop : {Prop::Visible, Prop::Enabled, Prop::Caption, Prop::ForeColor, Prop::Text, Prop::Items,
                          Prop::ListIndex, Prop::Value, Prop::Interval, Prop::Tabs, Prop::Panels, Prop::Cells,
                          Prop::CurrentCell, Prop::Marked})
            apply(*control, prop);
    }
    for (Prop prop : {Prop::Caption, Prop::Enabled, Prop::Geometry, Prop::Visible, Prop::WindowState}) applyForm(prop);
}

void MainWindowView::apply(app::Control& control, Prop prop) {
    const Applying guard(applying_);
    if (&control == &frm_.frmMain) {
        applyForm(prop);
        return;
    }
    if (control.kind() == Kind::Timer) {
        syncTimer(static_cast<app::TimerControl&>(control));
        return;
    }
    QWidget* widget = widgetFor(control);
    if (widget == nullptr) return;
    switch (prop) {
        case Prop::Visible:
            widget->setVisible(control.Visible());
            break;
        case Prop::Enabled:
            widget->setEnabled(control.Enabled());
            break;
        case Prop::Marked:
            // A field that shows another value than the unit's: tinted, with
            // the unit's value as its tooltip.
            {
                const char* type = qobject_cast<QLineEdit*>(widget)   ? "QLineEdit"
                                   : qobject_cast<QComboBox*>(widget) ? "QComboBox"
                                   : qobject_cast<QCheckBox*>(widget) ? "QCheckBox"
                                                                      : "QWidget";
                widget->setStyleSheet(control.Marked() ? QStringLiteral("%1 { background-color: #ffc97a; }").arg(QLatin1String(type))
                                                       : QString());
            }
            widget->setToolTip(toQt(control.markNote()));
            break;
        default:
            applyContent(control, widget, prop);
            break;
    }
}

void MainWindowView::applyContent(app::Control& control, QWidget* widget, Prop prop) {
    switch (control.kind()) {
        case Kind::TextBox: {
            if (prop != Prop::Text) break;
            const QString text = toQt(static_cast<app::TextBox&>(control).Text());
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                if (edit->text() != text) edit->setText(text);
            } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
                if (edit->toPlainText() != text) edit->setPlainText(text);
            }
            break;
        }
        case Kind::Label: {
            auto& model = static_cast<app::LabelControl&>(control);
            auto* label = static_cast<QLabel*>(widget);
            if (prop == Prop::Caption) label->setText(toQt(model.Caption()));
            if (prop == Prop::ForeColor && model.ForeColor()) {
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, toColor(*model.ForeColor()));
                label->setPalette(palette);
            }
            break;
        }
        case Kind::Button:
            if (prop == Prop::Caption)
                static_cast<QPushButton*>(widget)->setText(toQt(static_cast<app::CommandButton&>(control).Caption()));
            break;
        case Kind::CheckBox: {
            auto& model = static_cast<app::CheckBox&>(control);
            auto* check = static_cast<QCheckBox*>(widget);
            if (prop == Prop::Caption) check->setText(toQt(model.Caption()));
            if (prop == Prop::Value) check->setChecked(model.Value() == 1);
            break;
        }
        case Kind::ComboBox: {
            auto& model = static_cast<app::ComboBox&>(control);
            auto* combo = static_cast<ModelComboBox*>(widget);
            if (prop == Prop::Items) syncComboItems(model, combo);
            if (prop == Prop::Items || prop == Prop::ListIndex || prop == Prop::Text) syncComboSelection(model, combo);
            break;
        }
        case Kind::Frame:
            if (prop == Prop::Caption)
                static_cast<QGroupBox*>(widget)->setTitle(toQt(static_cast<app::FrameControl&>(control).Caption()));
            break;
        case Kind::TabStrip:
            if (prop == Prop::Tabs || prop == Prop::SelectedTab) syncTabs(static_cast<app::TabStrip&>(control));
            break;
        case Kind::StatusBar:
            if (prop == Prop::Panels) syncPanels();
            break;
        case Kind::Grid: {
            auto& model = static_cast<app::FlexGrid&>(control);
            if (prop == Prop::Cells) syncGridCells(model, static_cast<FlexGridWidget*>(widget));
            if (prop == Prop::CurrentCell) syncGridCurrent(model, static_cast<FlexGridWidget*>(widget));
            break;
        }
        default:
            break;
    }
}

void MainWindowView::syncComboItems(const app::ComboBox& model, ModelComboBox* combo) {
    QStringList items;
    for (const auto& item : model.items()) items << toQt(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (items != shown) {
        combo->clear();
        combo->addItems(items);
    }
    if (&model == &frm_.ComboCom) {
        // Which device each port number stands for on this machine.
        for (int i = 0; i < combo->count(); ++i) {
            QString device;
            try {
                device = toQt(program_.platform.port.deviceName(i + 1));
            } catch (const std::exception&) {
                // No device behind this number: no tooltip.
            }
            combo->setItemData(i, device, Qt::ToolTipRole);
        }
    }
}

void MainWindowView::syncComboSelection(const app::ComboBox& model, ModelComboBox* combo) {
    if (combo->currentIndex() != model.ListIndex()) combo->setCurrentIndex(model.ListIndex());
    // With no item selected the text part keeps what the operator typed.
    if (combo->isEditable() && combo->currentText() != toQt(model.Text())) combo->setEditText(toQt(model.Text()));
}

void MainWindowView::syncTabs(const app::TabStrip& model) {
    auto* tabs = static_cast<QTabBar*>(widgetFor(model));
    while (tabs->count() > model.count()) tabs->removeTab(tabs->count() - 1);
    while (tabs->count() < model.count()) tabs->addTab(QString());
    for (int position = 1; position <= model.count(); ++position) {
        const QString caption = toQt(model.caption(position));
        if (tabs->tabText(position - 1) != caption) tabs->setTabText(position - 1, caption);
    }
    if (tabs->currentIndex() != model.selected() - 1) tabs->setCurrentIndex(model.selected() - 1);
}

void MainWindowView::syncPanels() {
    const auto& model = frm_.sbStatusBar;
    for (int panel = 1; panel <= model.count() && panel <= static_cast<int>(panels_.size()); ++panel)
        if (model.style(panel) == app::StatusBar::PanelStyle::Text ||
            model.style(panel) == app::StatusBar::PanelStyle::Changes)
            statusPanel(panel)->setText(toQt(model.text(panel)));
    tickClock();
}

void MainWindowView::tickClock() {
    // The date and time panels are the view's own: the model only says
    // which panel shows which, so no notification fires every second.
    const auto& model = frm_.sbStatusBar;
    const QLocale locale;
    for (int panel = 1; panel <= model.count() && panel <= static_cast<int>(panels_.size()); ++panel) {
        if (model.style(panel) == app::StatusBar::PanelStyle::Date)
            statusPanel(panel)->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        else if (model.style(panel) == app::StatusBar::PanelStyle::Time)
            statusPanel(panel)->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    }
}

void MainWindowView::syncGridCells(const app::FlexGrid& model, FlexGridWidget* grid) {
    const int rows = model.Rows() - 1;
    const int cols = model.Cols() - 1;
    if (grid->rowCount() != rows) grid->setRowCount(rows);
    if (grid->columnCount() != cols) grid->setColumnCount(cols);
    if (model.ColWidth() > 0) {
        const int width = px(model.ColWidth());
        grid->horizontalHeader()->setDefaultSectionSize(width);
        grid->verticalHeader()->setFixedWidth(width);
    }
    if (model.RowHeight() > 0) {
        const int height = px(model.RowHeight());
        grid->verticalHeader()->setDefaultSectionSize(height);
        grid->horizontalHeader()->setFixedHeight(height);
    }
    const QPalette palette = grid->palette();
    for (int col = 1; col <= cols; ++col) {
        QTableWidgetItem* header = grid->horizontalHeaderItem(col - 1);
        if (header == nullptr) {
            header = new QTableWidgetItem;
            grid->setHorizontalHeaderItem(col - 1, header);
        }
        setItemText(header, model.TextMatrix(0, col));
    }
    for (int row = 1; row <= rows; ++row) {
        QTableWidgetItem* header = grid->verticalHeaderItem(row - 1);
        if (header == nullptr) {
            header = new QTableWidgetItem;
            grid->setVerticalHeaderItem(row - 1, header);
        }
        setItemText(header, model.TextMatrix(row, 0));
        setBackground(header, model.CellBackColor(row, 0), palette);
        for (int col = 1; col <= cols; ++col) {
            QTableWidgetItem* item = grid->item(row - 1, col - 1);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setTextAlignment(Qt::AlignCenter);
                grid->setItem(row - 1, col - 1, item);
            }
            setItemText(item, model.TextMatrix(row, col));
            setBackground(item, model.CellBackColor(row, col), palette);
        }
    }
}

void MainWindowView::syncGridCurrent(const app::FlexGrid& model, FlexGridWidget* grid) {
    // A header cell can be current in the model; the widget then has none.
    const bool inData = model.Row() >= 1 && model.Col() >= 1;
    const int row = inData ? model.Row() - 1 : -1;
    const int col = inData ? model.Col() - 1 : -1;
    if (grid->currentRow() != row || grid->currentColumn() != col) grid->setCurrentCell(row, col);
    // Follow the cell while the operator works in the grid (tab moves it);
    // a move by the program leaves the view where the operator left it.
    if (inData && grid->hasFocus())
        if (QTableWidgetItem* item = grid->item(row, col)) grid->scrollToItem(item);
}

void MainWindowView::syncTimer(const app::TimerControl& model) {
    QTimer* timer = timerFor(model);
    if (timer == nullptr) return;
    if (!model.running()) {
        timer->stop();
        return;
    }
    // A new interval starts the count again, as setting it does on the original.
    if (!timer->isActive() || timer->interval() != model.Interval()) timer->start(model.Interval());
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
    closing_ = true;
    if (!program_.unloaded()) operatorAction([&] { program_.Form_Unload(); });
    // The model follows the screen: a closed window is not visible.
    operatorAction([&] { frm_.frmMain.setVisible(false); });
    event->accept();
}

}  // namespace zrk::gui
