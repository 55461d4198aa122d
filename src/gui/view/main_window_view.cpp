#include "gui/view/main_window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "gui/view/clickable_label.h"
#include "gui/view/flex_grid_widget.h"
#include "gui/view/lamp_widget.h"
#include "gui/view/logo_widget.h"
#include "gui/view/model_combo_box.h"
#include "gui/view/model_text.h"
#include "gui/view/shape_widget.h"
#include "gui/view/twips.h"

namespace zrk::gui {
namespace {

using app::Kind;
using app::Prop;

// Sizes in twips, so the window keeps its proportions at any resolution.
constexpr int kNumberFieldWidth = 720;
constexpr int kSensorFieldWidth = 600;
constexpr int kListWidth = 1500;
constexpr int kCaptionWidth = 1500;
constexpr int kLeftColumnWidth = 2640;
constexpr int kActionButtonWidth = 1215;
constexpr int kCommandButtonWidth = 930;
constexpr int kLampSize = 240;
constexpr int kLampRowHeight = 285;
constexpr int kLogoWidth = 2415;
constexpr int kLogoHeight = 1575;
constexpr int kColourLabelWidth = 1050;
constexpr int kStateLabelWidth = 690;

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

// The pane under the tab bar, framed the way the style frames a tab widget.
class TabPane : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
    }
};

QColor toColor(const app::Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The grid's colours: red in the low byte, as the model keeps them.
QColor fromModelRgb(std::int32_t rgb) { return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff); }

void setBackground(QTableWidgetItem* item, const app::GridColor& color, const QPalette& palette) {
    QVariant brush;
    switch (color.kind) {
        case app::GridColor::Kind::Default: break;
        case app::GridColor::Kind::Rgb: brush = QBrush(fromModelRgb(color.rgb)); break;
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

QGridLayout* formGrid() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(5);
    return grid;
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

    syncAll();
    hubToken_ = frm_.controls().hub().subscribe([this](app::Control& control, Prop prop) { apply(control, prop); });
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
        program_.platform.ui.messageBox(e.what(), program_.platform.info.title,
                                        platform::UserInterface::Icon::Error);
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
        case Kind::Form: return this;
        case Kind::TextBox: {
            auto& model = static_cast<app::TextBox&>(control);
            if (model.multiLine) return new QPlainTextEdit(owner);
            auto* edit = new QLineEdit(owner);
            if (model.locked) {
                // Display only: readable and copyable, in the tooltip colours
                // the operator knows from the original tool.
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
        case Kind::CheckBox: return new QCheckBox(owner);
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
        case Kind::Frame: return new QGroupBox(owner);
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
        case Kind::StatusBar: return statusBar();
        case Kind::Grid: return new FlexGridWidget(owner);
        case Kind::Shape: return new ShapeWidget(px(static_cast<app::ShapeControl&>(control).widthTwips), owner);
        case Kind::Timer: return nullptr;
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
                connect(edit, &QPlainTextEdit::textChanged, this, [this, &model, edit] {
                    operatorAction([&] { model.setText(fromQt(edit->toPlainText())); });
                });
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
            if (combo->isEditable())
                connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                        [this, &model](const QString& text) { operatorAction([&] { model.typeText(fromQt(text)); }); });
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
            connect(grid, &FlexGridWidget::focusLost, this, [this, &model] { operatorAction([&] { model.LeaveCell(); }); });
            break;
        }
        default: break;
    }
}

// ---------------------------------------------------------------- layout

QGroupBox* MainWindowView::box(const app::Control& frame) const { return static_cast<QGroupBox*>(widgetFor(frame)); }

void MainWindowView::styleField(QWidget* field, int widthTwips) const {
    if (qobject_cast<QLineEdit*>(field)) {
        field->setFixedWidth(px(widthTwips));
    } else if (qobject_cast<QComboBox*>(field)) {
        field->setMinimumWidth(px(kListWidth));
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

int MainWindowView::addFieldRows(QGridLayout* grid, int row, const std::vector<FieldRow>& rows) {
    for (const FieldRow& r : rows) {
        QWidget* field = widgetFor(*r.field);
        if (r.caption == nullptr && qobject_cast<QPlainTextEdit*>(field)) {
            // The free-text field takes the rest of the page.
            grid->addWidget(field, row, 0, 1, 4);
            grid->setRowStretch(row, 1);
            ++row;
            continue;
        }
        if (r.caption != nullptr) grid->addWidget(widgetFor(*r.caption), row, 0);
        styleField(field, kNumberFieldWidth);
        if (r.caption == nullptr && qobject_cast<QCheckBox*>(field))
            grid->addWidget(field, row, 0, 1, 2);  // a check box that carries its own caption
        else if (qobject_cast<QComboBox*>(field) && r.unit == nullptr && r.extra == nullptr)
            grid->addWidget(field, row, 1, 1, 3);  // lists have no unit: they take its room
        else
            grid->addWidget(field, row, 1);
        if (r.unit != nullptr) grid->addWidget(widgetFor(*r.unit), row, 2);
        if (r.extra != nullptr) {
            styleField(widgetFor(*r.extra), kSensorFieldWidth);
            grid->addWidget(widgetFor(*r.extra), row, 3);
        }
        ++row;
    }
    return row;
}

void MainWindowView::buildLayout(QWidget* central) {
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(px(120), px(90), px(120), px(45));
    grid->setHorizontalSpacing(px(120));
    grid->setVerticalSpacing(px(90));

    grid->addWidget(widgetFor(frm_.Image1), 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(buildIdentGroup(), 1, 0);

    auto* tabs = new QVBoxLayout;
    tabs->setSpacing(0);
    tabs->addWidget(widgetFor(frm_.TabStrip1));
    tabs->addWidget(buildPageArea(), 1);
    grid->addLayout(tabs, 0, 1, 2, 1);

    grid->addLayout(buildBottomButtons(), 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    buildStatusBar();
}

QWidget* MainWindowView::buildIdentGroup() {
    QGroupBox* group = box(frm_.identGroup);
    group->setFixedWidth(px(kLeftColumnWidth));
    auto* grid = formGrid();
    grid->setContentsMargins(px(90), px(45), px(90), px(90));
    group->setLayout(grid);
    int row = 0;
    for (const FieldRow& r : frm_.rows(frm_.identGroup)) {
        QWidget* field = widgetFor(*r.field);
        if (r.field == &frm_.TIdentificacion) {
            // Sixteen characters: the field runs under its caption, full width.
            grid->addWidget(widgetFor(*r.caption), row++, 0, 1, 2);
            grid->addWidget(field, row++, 0, 1, 2);
            continue;
        }
        grid->addWidget(widgetFor(*r.caption), row, 0);
        field->setMinimumWidth(px(600));
        grid->addWidget(field, row++, 1);
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* MainWindowView::buildPageArea() {
    auto* pane = new TabPane;
    auto* stack = new QGridLayout(pane);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pane);
    stack->setContentsMargins(frame + px(45), frame + px(30), frame + px(45), frame + px(45));
    // Every page sits in the same place; the model shows one at a time. The
    // pane is the frame already: a page shows its caption as a heading.
    for (int index : frm_.FrameP.indices()) {
        box(frm_.FrameP(index))->setFlat(true);
        stack->addWidget(widgetFor(frm_.FrameP(index)), 0, 0);
    }
    stack->addWidget(widgetFor(frm_.PictureInicio), 0, 0, Qt::AlignCenter);
    buildPage1();
    buildPage2();
    buildPage3();
    buildPage4();
    buildPage5();
    buildPage6();
    // Pages sit in a framed pane already: keep their own margins small.
    for (int index : frm_.FrameP.indices())
        if (QLayout* layout = box(frm_.FrameP(index))->layout()) layout->setContentsMargins(px(90), px(60), px(90), px(60));
    return pane;
}

void MainWindowView::buildPage1() {
    const auto& rows = frm_.rows(frm_.page1);
    std::vector<FieldRow> left, right;
    bool inLeft = true;
    for (const FieldRow& r : rows) {
        (inLeft ? left : right).push_back(r);
        if (r.field == &frm_.TTiempoRetornoRed) inLeft = false;
    }
    auto* columns = new QHBoxLayout(box(frm_.page1));
    columns->setSpacing(px(150));
    for (const auto* half : {&left, &right}) {
        auto* grid = formGrid();
        grid->setRowStretch(addFieldRows(grid, 0, *half), 1);
        grid->setColumnStretch(3, 1);
        columns->addLayout(grid, half == &right ? 1 : 0);
    }
}

void MainWindowView::buildPage2() {
    auto* grid = formGrid();
    grid->setRowStretch(addFieldRows(grid, 0, frm_.rows(frm_.page2)), 1);
    // A single column of parameters: keep it to the left at a readable width.
    grid->setColumnStretch(4, 1);
    for (const FieldRow& r : frm_.rows(frm_.page2))
        if (qobject_cast<QComboBox*>(widgetFor(*r.field))) widgetFor(*r.field)->setMaximumWidth(px(2700));
    box(frm_.page2)->setLayout(grid);
}

QLayout* MainWindowView::buildLampColumn() {
    auto* grid = formGrid();
    grid->setVerticalSpacing(0);
    grid->setColumnMinimumWidth(0, px(kLampSize + 60));
    int row = -1;
    for (const auto& lamp : frm_.lampRows()) {
        // "Last lamp Alarm" shares the place of "Lamp 2 ON": the status shows one of them.
        if (lamp.caption != &frm_.label1(1)) ++row;
        grid->setRowMinimumHeight(row, px(kLampRowHeight));
        grid->addWidget(widgetFor(*lamp.lit), row, 0, Qt::AlignCenter);
        grid->addWidget(widgetFor(*lamp.unlit), row, 0, Qt::AlignCenter);
        grid->addWidget(widgetFor(*lamp.caption), row, 1);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout* MainWindowView::buildCommandGroups() {
    auto* column = new QVBoxLayout;
    column->setSpacing(px(60));
    column->setContentsMargins(0, 0, 0, 0);
    const auto addGroup = [&](app::FrameControl& frame, std::vector<QWidget*> inside, app::Control* outside) {
        QGroupBox* group = box(frame);
        // A hidden group keeps its place, so the page's own button drawn at
        // its right end stays where the operator expects it.
        QSizePolicy policy = group->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        group->setSizePolicy(policy);
        auto* row = new QHBoxLayout(group);
        row->setContentsMargins(px(90), px(30), px(90), px(90));
        row->setSpacing(px(90));
        for (QWidget* widget : inside) {
            if (qobject_cast<QPushButton*>(widget)) widget->setFixedWidth(px(kCommandButtonWidth));
            row->addWidget(widget);
        }
        if (outside != nullptr) row->addSpacing(px(kCommandButtonWidth) + row->spacing());
        row->addStretch(1);

        auto* cell = new QGridLayout;
        cell->setContentsMargins(0, 0, 0, 0);
        cell->addWidget(group, 0, 0);
        if (outside != nullptr) {
            // Level with the group's own buttons, but a child of the page.
            auto* holder = new QWidget;
            auto* holderRow = new QHBoxLayout(holder);
            const QMargins margins = group->contentsMargins() + row->contentsMargins();
            holderRow->setContentsMargins(0, 0, margins.right(), margins.bottom());
            QWidget* button = widgetFor(*outside);
            button->setFixedWidth(px(kCommandButtonWidth));
            holderRow->addWidget(button);
            cell->addWidget(holder, 0, 0, Qt::AlignRight | Qt::AlignBottom);
        }
        column->addLayout(cell);
    };
    const auto w = [this](const app::Control& control) { return widgetFor(control); };
    addGroup(frm_.groupLampChange, {w(frm_.CCambioLamparaOn)}, &frm_.CCambioLamparaOff);
    addGroup(frm_.groupDayNight, {w(frm_.CNormal), w(frm_.CNoche)}, &frm_.CDia);
    addGroup(frm_.groupMainsFailure, {w(frm_.CFalloRedOn)}, &frm_.CFalloRedOff);

    // The automatic-interrogation lamp: its two pictures share one place.
    auto* lamp = new QWidget;
    lamp->setFixedSize(px(kLampSize), px(kLampSize));
    auto* lampStack = new QGridLayout(lamp);
    lampStack->setContentsMargins(0, 0, 0, 0);
    lampStack->addWidget(widgetFor(frm_.LedTimerON), 0, 0);
    lampStack->addWidget(widgetFor(frm_.LedTimerOff), 0, 0);
    styleField(w(frm_.TTiempoModoVerboso), 450);
    addGroup(frm_.groupAutomatic,
             {lamp, w(frm_.TTiempoModoVerboso), w(frm_.LabelUnidades(12)), w(frm_.CModoVerboso), w(frm_.Command1)},
             nullptr);
    addGroup(frm_.groupMotorChange, {w(frm_.btnTelemandoMotor1), w(frm_.btnTelamandoMotor2)}, nullptr);
    column->addStretch(1);
    return column;
}

void MainWindowView::buildPage3() {
    auto* page = new QGridLayout(box(frm_.page3));
    page->setHorizontalSpacing(px(180));
    page->setVerticalSpacing(px(90));

    auto* left = new QVBoxLayout;
    left->addLayout(buildLampColumn());
    left->addSpacing(px(120));

    // Live values: a small check box that selects the value, then the value's row.
    auto* live = formGrid();
    live->addWidget(widgetFor(frm_.chkEstado), 0, 0, 1, 3);
    const std::pair<app::CheckBox*, app::Control*> selected[] = {
        {&frm_.chkVelocidadActual, &frm_.TVelocidadActual},
        {&frm_.chkCorrienteActual, &frm_.TCorrienteActual},
        {&frm_.chkCorrienteLeds, &frm_.txtCorrienteLeds},
    };
    int row = 1;
    for (const auto& [check, field] : selected) {
        live->addWidget(widgetFor(*check), row, 0);
        for (const FieldRow& r : frm_.rows(frm_.page3)) {
            if (r.field != field) continue;
            live->addWidget(widgetFor(*r.caption), row, 1);
            styleField(widgetFor(*r.field), kNumberFieldWidth);
            live->addWidget(widgetFor(*r.field), row, 2);
            live->addWidget(widgetFor(*r.unit), row, 3);
        }
        ++row;
    }
    live->setColumnStretch(4, 1);
    left->addLayout(live);
    left->addStretch(1);
    page->addLayout(left, 0, 0);

    auto* right = new QVBoxLayout;
    right->addLayout(buildCommandGroups());
    auto* ident = new QHBoxLayout;
    ident->addWidget(widgetFor(frm_.label1(34)));
    ident->addWidget(widgetFor(frm_.TNumeroSerieTelemando), 1);
    right->addLayout(ident);
    right->addSpacing(px(60));
    auto* refresh = new QHBoxLayout;
    refresh->addStretch(1);
    widgetFor(frm_.CInterrogar)->setMinimumWidth(px(kActionButtonWidth));
    refresh->addWidget(widgetFor(frm_.CInterrogar));
    right->addLayout(refresh);
    page->addLayout(right, 0, 1);
    page->setColumnStretch(0, 1);
    page->setColumnStretch(1, 1);
}

void MainWindowView::buildPage4() {
    auto* grid = formGrid();
    addFieldRows(grid, 0, frm_.rows(frm_.page4));
    widgetFor(frm_.ComboCom)->setMaximumWidth(px(1800));
    widgetFor(frm_.ComboIdioma)->setMaximumWidth(px(1800));
    grid->setColumnStretch(3, 1);
    box(frm_.page4)->setLayout(grid);
}

void MainWindowView::buildPage5() {
    auto* page = new QGridLayout(box(frm_.page5));
    page->setHorizontalSpacing(px(120));
    page->setVerticalSpacing(px(120));

    // The grid shows all nine rows; the 32 angle columns scroll sideways.
    auto* grid = static_cast<FlexGridWidget*>(widgetFor(frm_.MSFlexGridPautas));
    QFont small = grid->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    grid->setFont(small);
    grid->horizontalHeader()->setFont(small);
    grid->verticalHeader()->setFont(small);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int cell = px(250);
    grid->setFixedHeight(2 * grid->frameWidth() + frm_.MSFlexGridPautas.Rows() * cell +
                         grid->horizontalScrollBar()->sizeHint().height());
    page->addWidget(grid, 0, 0, 1, 3);

    // One colour label per row, level with the grid's rows.
    auto* colours = new QVBoxLayout;
    colours->setSpacing(0);
    colours->setContentsMargins(0, grid->frameWidth() + cell, 0, 0);
    for (int index : frm_.LColor.indices()) {
        QWidget* label = widgetFor(frm_.LColor(index));
        label->setFixedSize(px(kColourLabelWidth), cell);
        colours->addWidget(label);
    }
    colours->addStretch(1);
    page->addLayout(colours, 0, 3);

    auto* fields = formGrid();
    int row = addFieldRows(fields, 0, frm_.rows(frm_.page5));
    fields->addWidget(widgetFor(frm_.CheckColores), row++, 0, 1, 3);
    fields->setRowStretch(row, 1);
    page->addLayout(fields, 1, 0);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(px(60));
    for (app::CommandButton* b : {&frm_.CBorrarTabla, &frm_.CEscribirColores, &frm_.CLeerColores, &frm_.Command2}) {
        widgetFor(*b)->setFixedWidth(px(1500));
        buttons->addWidget(widgetFor(*b));
    }
    buttons->addStretch(1);
    page->addLayout(buttons, 1, 1);
    page->addWidget(widgetFor(frm_.Shape1), 1, 2, 1, 2, Qt::AlignRight | Qt::AlignTop);
    page->setColumnStretch(0, 1);
    page->setRowStretch(1, 1);
}

void MainWindowView::buildPage6() {
    auto* page = new QGridLayout(box(frm_.page6));
    page->setHorizontalSpacing(px(360));
    const auto stateColumn = [this](app::ControlArray<app::LabelControl>& captions, int captionOffset,
                                    app::ControlArray<app::LabelControl>& states) {
        auto* grid = formGrid();
        int row = 0;
        for (int index : states.indices()) {
            grid->setRowMinimumHeight(row, px(kLampRowHeight));
            grid->addWidget(widgetFor(captions(index + captionOffset)), row, 0);
            auto* state = static_cast<QLabel*>(widgetFor(states(index)));
            state->setFrameShape(QFrame::StyledPanel);
            state->setFrameShadow(QFrame::Sunken);
            state->setAlignment(Qt::AlignCenter);
            state->setFixedWidth(px(kStateLabelWidth));
            grid->addWidget(state, row++, 1);
        }
        grid->setRowStretch(row, 1);
        return grid;
    };
    page->addLayout(stateColumn(frm_.lblExternalbl, 0, frm_.lblExterna), 0, 0);
    // Output i is captioned by member i - 1.
    page->addLayout(stateColumn(frm_.lblSalidalbl, -1, frm_.lblSalida), 0, 1);
    page->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (app::CommandButton* b : {&frm_.btnVerValoresInstantaneos, &frm_.btnSpoolValorInstantaneo}) {
        widgetFor(*b)->setMinimumWidth(px(kActionButtonWidth));
        buttons->addWidget(widgetFor(*b));
    }
    page->addLayout(buttons, 1, 0, 1, 3);
}

QLayout* MainWindowView::buildBottomButtons() {
    auto* row = new QHBoxLayout;
    row->setSpacing(px(90));
    const auto add = [&](app::CommandButton& button) {
        widgetFor(button)->setFixedWidth(px(kActionButtonWidth));
        row->addWidget(widgetFor(button));
    };
    for (app::CommandButton* b : {&frm_.CAbrir, &frm_.CGuardar, &frm_.CLeer, &frm_.CEscribir}) add(*b);
    row->addStretch(1);
    add(frm_.Csalir);
    add(frm_.CAyuda);
    return row;
}

void MainWindowView::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    const auto& model = frm_.sbStatusBar;
    for (int panel = 1; panel <= model.count(); ++panel) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("%1.Panel(%2)").arg(toQt(model.key())).arg(panel));
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(px(45), 0, px(45), 0);
        if (model.style(panel) == app::StatusBar::PanelStyle::Text) {
            bar->addWidget(label, 1);
        } else {
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
            bar->addPermanentWidget(label);
        }
        panels_.push_back(label);
    }
}

// ---------------------------------------------------------------- model to widgets

void MainWindowView::syncAll() {
    const Applying guard(applying_);
    for (const auto& control : frm_.controls().all()) {
        if (control.get() == &frm_.frmMain) continue;
        for (Prop prop : {Prop::Visible, Prop::Enabled, Prop::Caption, Prop::Text, Prop::Items, Prop::ListIndex,
                          Prop::Value, Prop::Interval, Prop::Tabs, Prop::Panels, Prop::Cells, Prop::CurrentCell})
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
        case Prop::Visible: widget->setVisible(control.Visible()); break;
        case Prop::Enabled: widget->setEnabled(control.Enabled()); break;
        default: applyContent(control, widget, prop); break;
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
        case Kind::Label:
            if (prop == Prop::Caption) static_cast<QLabel*>(widget)->setText(toQt(static_cast<app::LabelControl&>(control).Caption()));
            break;
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
            if (prop == Prop::Caption) static_cast<QGroupBox*>(widget)->setTitle(toQt(static_cast<app::FrameControl&>(control).Caption()));
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
        default: break;
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
        if (model.style(panel) == app::StatusBar::PanelStyle::Text)
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
        case Prop::Visible: applyWindowVisible(); break;
        case Prop::Enabled: centralWidget()->setEnabled(frm_.frmMain.Enabled()); break;
        case Prop::Caption: setWindowTitle(toQt(frm_.frmMain.Caption())); break;
        case Prop::Geometry: applyGeometry(); break;
        case Prop::WindowState: applyWindowState(); break;
        default: break;
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
    operatorAction([&] { form.Move(pixelsToTwips(pos().x(), dpiX), pixelsToTwips(pos().y(), dpiY), form.Width(), form.Height()); });
}

void MainWindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        operatorAction([&] { frm_.frmMain.setMinimised(isMinimized()); });
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    closing_ = true;
    if (!program_.unloaded()) operatorAction([&] { program_.Form_Unload(); });
    // The model follows the screen: a closed window is not visible.
    operatorAction([&] { frm_.frmMain.setVisible(false); });
    event->accept();
}

}  // namespace zrk::gui
