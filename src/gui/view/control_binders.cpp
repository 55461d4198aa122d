#include "gui/view/control_binders.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "gui/view/clickable_label.h"
#include "gui/view/flex_grid_widget.h"
#include "gui/view/lamp_widget.h"
#include "gui/view/logo_widget.h"
#include "gui/view/main_window_metrics.h"
#include "gui/view/model_combo_box.h"
#include "gui/view/model_text.h"
#include "gui/view/shape_widget.h"

namespace zrk::gui {
namespace {

using form::Prop;
using namespace metrics;

QColor toColor(const form::Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The grid's colours: red in the low byte, as the model keeps them.
QColor fromModelRgb(std::int32_t rgb) { return QColor(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff); }

void setBackground(QTableWidgetItem* item, const form::GridColor& color, const QPalette& palette) {
    QVariant brush;
    switch (color.kind) {
        case form::GridColor::Kind::Default:
            break;
        case form::GridColor::Kind::Rgb:
            brush = QBrush(fromModelRgb(color.rgb));
            break;
        // The style's light bevel colour is white in some palettes; mix it
        // with the button face so the tinted columns stay visible.
        case form::GridColor::Kind::ThreeDLight: {
            const QColor light = palette.color(QPalette::Light);
            const QColor face = palette.color(QPalette::Button);
            brush = QBrush(QColor((light.red() + face.red() * 3) / 4, (light.green() + face.green() * 3) / 4,
                                  (light.blue() + face.blue() * 3) / 4));
            break;
        }
    }
    if (item->data(Qt::BackgroundRole) != brush) item->setData(Qt::BackgroundRole, brush);
}

// A marked cell shows its tint over the background, a shade darker on the
// tinted "F" columns so that the pairs still read, with dark text in any
// palette; without a mark the background is back as it was.
void setCellMark(QTableWidgetItem* item, const form::CellMark& mark, const form::GridColor& back,
                 const QPalette& palette) {
    QVariant text;
    if (mark.tint) {
        QColor tint = fromModelRgb(*mark.tint);
        if (back.kind == form::GridColor::Kind::ThreeDLight) tint = tint.darker(112);
        const QVariant brush = QBrush(tint);
        if (item->data(Qt::BackgroundRole) != brush) item->setData(Qt::BackgroundRole, brush);
        text = QBrush(Qt::black);
    } else {
        setBackground(item, back, palette);
    }
    if (item->data(Qt::ForegroundRole) != text) item->setData(Qt::ForegroundRole, text);
    const QString toolTip = toQt(mark.toolTip);
    if (item->toolTip() != toolTip) item->setToolTip(toolTip);
}

void setItemText(QTableWidgetItem* item, const std::string& text) {
    const QString value = toQt(text);
    if (item->text() != value) item->setText(value);
}

// A control shown by one widget. Shown, enabled and the change mark are
// mirrored alike for every kind; the rest is the kind's own.
template <typename Model, typename Widget>
class WidgetBinder : public ControlBinder {
public:
    QObject* create(form::Control& control, QWidget* owner, BinderHost& host) const final {
        return make(static_cast<Model&>(control), owner, host);
    }
    void connect(form::Control& control, QObject* shown, BinderHost& host) const final {
        input(static_cast<Model&>(control), static_cast<Widget*>(shown), host);
    }
    void apply(form::Control& control, QObject* shown, Prop prop, BinderHost& host) const final {
        auto* widget = static_cast<Widget*>(shown);
        switch (prop) {
            case Prop::Visible:
                widget->setVisible(control.Visible());
                break;
            case Prop::Enabled:
                widget->setEnabled(control.Enabled());
                break;
            case Prop::Marked:
                // A field that shows another value than the unit's: tinted,
                // with the unit's value as its tooltip.
                {
                    const char* type = qobject_cast<QLineEdit*>(widget)   ? "QLineEdit"
                                       : qobject_cast<QComboBox*>(widget) ? "QComboBox"
                                       : qobject_cast<QCheckBox*>(widget) ? "QCheckBox"
                                                                          : "QWidget";
                    widget->setStyleSheet(
                        control.Marked() ? QStringLiteral("%1 { background-color: #ffc97a; }").arg(QLatin1String(type))
                                         : QString());
                }
                widget->setToolTip(toQt(control.markNote()));
                break;
            default:
                content(static_cast<Model&>(control), widget, prop, host);
                break;
        }
    }

protected:
    virtual Widget* make(Model& model, QWidget* owner, BinderHost& host) const = 0;
    virtual void input(Model& /*model*/, Widget* /*widget*/, BinderHost& /*host*/) const {}
    virtual void content(Model& /*model*/, Widget* /*widget*/, Prop /*prop*/, BinderHost& /*host*/) const {}
};

class TextBoxBinder final : public WidgetBinder<form::TextBox, QWidget> {
    QWidget* make(form::TextBox& model, QWidget* owner, BinderHost&) const override {
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
    void input(form::TextBox& model, QWidget* widget, BinderHost& host) const override {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // textEdited: the operator's typing only, never our own setText.
            QObject::connect(edit, &QLineEdit::textEdited, host.formWidget(), [&host, &model](const QString& text) {
                host.operatorInput([&] { model.setText(fromQt(text)); });
            });
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            QObject::connect(edit, &QPlainTextEdit::textChanged, host.formWidget(), [&host, &model, edit] {
                host.operatorInput([&] { model.setText(fromQt(edit->toPlainText())); });
            });
        }
    }
    void content(form::TextBox& model, QWidget* widget, Prop prop, BinderHost&) const override {
        if (prop != Prop::Text) return;
        const QString text = toQt(model.Text());
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != text) edit->setText(text);
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            if (edit->toPlainText() != text) edit->setPlainText(text);
        }
    }
};

class LabelBinder final : public WidgetBinder<form::LabelControl, ClickableLabel> {
    ClickableLabel* make(form::LabelControl& model, QWidget* owner, BinderHost&) const override {
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
    void input(form::LabelControl& model, ClickableLabel* label, BinderHost& host) const override {
        QObject::connect(label, &ClickableLabel::clicked, host.formWidget(),
                         [&host, &model] { host.operatorInput([&] { model.Click(); }); });
    }
    void content(form::LabelControl& model, ClickableLabel* label, Prop prop, BinderHost&) const override {
        if (prop == Prop::Caption) label->setText(toQt(model.Caption()));
        if (prop == Prop::ForeColor && model.ForeColor()) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, toColor(*model.ForeColor()));
            label->setPalette(palette);
        }
    }
};

class ButtonBinder final : public WidgetBinder<form::CommandButton, QPushButton> {
    QPushButton* make(form::CommandButton&, QWidget* owner, BinderHost&) const override {
        auto* button = new QPushButton(owner);
        button->setAutoDefault(false);
        return button;
    }
    void input(form::CommandButton& model, QPushButton* button, BinderHost& host) const override {
        QObject::connect(button, &QPushButton::clicked, host.formWidget(),
                         [&host, &model] { host.operatorInput([&] { model.Click(); }); });
    }
    void content(form::CommandButton& model, QPushButton* button, Prop prop, BinderHost&) const override {
        if (prop == Prop::Caption) button->setText(toQt(model.Caption()));
    }
};

class CheckBoxBinder final : public WidgetBinder<form::CheckBox, QCheckBox> {
    QCheckBox* make(form::CheckBox&, QWidget* owner, BinderHost&) const override { return new QCheckBox(owner); }
    void input(form::CheckBox& model, QCheckBox* check, BinderHost& host) const override {
        QObject::connect(check, &QCheckBox::clicked, host.formWidget(), [&host, &model](bool checked) {
            host.operatorInput([&] { model.setValue(checked ? 1 : 0); });
        });
    }
    void content(form::CheckBox& model, QCheckBox* check, Prop prop, BinderHost&) const override {
        if (prop == Prop::Caption) check->setText(toQt(model.Caption()));
        if (prop == Prop::Value) check->setChecked(model.Value() == 1);
    }
};

void syncComboItems(const form::ComboBox& model, ModelComboBox* combo, const BinderHost& host) {
    QStringList items;
    for (const auto& item : model.items()) items << toQt(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (items != shown) {
        combo->clear();
        combo->addItems(items);
    }
    for (int i = 0; i < combo->count(); ++i)
        if (const std::optional<QString> tip = host.itemToolTip(model, i)) combo->setItemData(i, *tip, Qt::ToolTipRole);
}

void syncComboSelection(const form::ComboBox& model, ModelComboBox* combo) {
    if (combo->currentIndex() != model.ListIndex()) combo->setCurrentIndex(model.ListIndex());
    // With no item selected the text part keeps what the operator typed.
    if (combo->isEditable() && combo->currentText() != toQt(model.Text())) combo->setEditText(toQt(model.Text()));
}

class ComboBoxBinder final : public WidgetBinder<form::ComboBox, ModelComboBox> {
    ModelComboBox* make(form::ComboBox& model, QWidget* owner, BinderHost&) const override {
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
    void input(form::ComboBox& model, ModelComboBox* combo, BinderHost& host) const override {
        QObject* receiver = host.formWidget();
        // activated: the operator's pick (list, keys, wheel), not our own setCurrentIndex.
        QObject::connect(combo, &QComboBox::activated, receiver,
                         [&host, &model](int index) { host.operatorInput([&] { model.setListIndex(index); }); });
        if (combo->isEditable()) {
            QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, receiver, [&host, &model](const QString& text) {
                host.operatorInput([&] { model.typeText(fromQt(text)); });
            });
            QObject::connect(combo->lineEdit(), &QLineEdit::returnPressed, receiver,
                             [&host, &model] { host.operatorInput([&] { model.KeyPress(13); }); });
        }
        QObject::connect(combo, &ModelComboBox::focusLost, receiver, [&host, &model] {
            host.operatorInput([&] {
                model.Validate();
                model.LostFocus();
            });
        });
        QObject::connect(combo, &ModelComboBox::wheelScrolled, receiver,
                         [&host, &model] { host.operatorInput([&] { model.Scroll(); }); });
    }
    void content(form::ComboBox& model, ModelComboBox* combo, Prop prop, BinderHost& host) const override {
        if (prop == Prop::Items) syncComboItems(model, combo, host);
        if (prop == Prop::Items || prop == Prop::ListIndex || prop == Prop::Text) syncComboSelection(model, combo);
    }
};

class FrameBinder final : public WidgetBinder<form::FrameControl, QGroupBox> {
    QGroupBox* make(form::FrameControl&, QWidget* owner, BinderHost&) const override { return new QGroupBox(owner); }
    void content(form::FrameControl& model, QGroupBox* box, Prop prop, BinderHost&) const override {
        if (prop == Prop::Caption) box->setTitle(toQt(model.Caption()));
    }
};

class PictureBinder final : public WidgetBinder<form::PictureBox, QWidget> {
    QWidget* make(form::PictureBox& model, QWidget* owner, BinderHost& host) const override {
        if (model.image == form::PictureBox::Image::Lamp)
            return new LampWidget(toColor(model.color), host.px(kLampSize), owner);
        return new LogoWidget(QSize(host.px(kLogoWidth), host.px(kLogoHeight)), owner);
    }
};

class ShapeBinder final : public WidgetBinder<form::ShapeControl, QWidget> {
    QWidget* make(form::ShapeControl& model, QWidget* owner, BinderHost& host) const override {
        return new ShapeWidget(host.px(model.widthTwips), owner);
    }
};

void syncTabs(const form::TabStrip& model, QTabBar* tabs) {
    while (tabs->count() > model.count()) tabs->removeTab(tabs->count() - 1);
    while (tabs->count() < model.count()) tabs->addTab(QString());
    for (int position = 1; position <= model.count(); ++position) {
        const QString caption = toQt(model.caption(position));
        if (tabs->tabText(position - 1) != caption) tabs->setTabText(position - 1, caption);
    }
    if (tabs->currentIndex() != model.selected() - 1) tabs->setCurrentIndex(model.selected() - 1);
}

class TabStripBinder final : public WidgetBinder<form::TabStrip, QTabBar> {
    QTabBar* make(form::TabStrip&, QWidget* owner, BinderHost&) const override {
        auto* tabs = new QTabBar(owner);
        tabs->setDrawBase(false);
        tabs->setExpanding(false);
        return tabs;
    }
    void input(form::TabStrip& model, QTabBar* tabs, BinderHost& host) const override {
        QObject::connect(tabs, &QTabBar::currentChanged, host.formWidget(), [&host, &model](int index) {
            if (index >= 0) host.operatorInput([&] { model.select(index + 1); });
        });
    }
    void content(form::TabStrip& model, QTabBar* tabs, Prop prop, BinderHost&) const override {
        if (prop == Prop::Tabs || prop == Prop::SelectedTab) syncTabs(model, tabs);
    }
};

// The window's own status bar; its panels are laid out and kept by the window.
class StatusBarBinder final : public WidgetBinder<form::StatusBar, QWidget> {
    QWidget* make(form::StatusBar&, QWidget*, BinderHost& host) const override { return host.statusBarWidget(); }
    void content(form::StatusBar&, QWidget*, Prop prop, BinderHost& host) const override {
        if (prop == Prop::Panels) host.syncPanels();
    }
};

void syncGridCells(const form::FlexGrid& model, FlexGridWidget* grid, const BinderHost& host) {
    const int rows = model.Rows() - 1;
    const int cols = model.Cols() - 1;
    if (grid->rowCount() != rows) grid->setRowCount(rows);
    if (grid->columnCount() != cols) grid->setColumnCount(cols);
    if (model.ColWidth() > 0) {
        const int width = host.px(model.ColWidth());
        // A column is never too narrow for an angle (three digits) or its
        // title in the grid's face; the views cut a text short that runs a
        // fraction of a pixel over.
        const QStyle* style = grid->style();
        const auto advance = [](const QFont& font, const QString& text) {
            return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
        };
        const int cellMargins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 1;
        const int titleMargins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid);
        int widest = advance(grid->font(), QStringLiteral("000")) + cellMargins;
        for (int col = 1; col <= cols; ++col)
            widest = std::max(widest,
                              advance(grid->horizontalHeader()->font(), toQt(model.TextMatrix(0, col))) + titleMargins);
        grid->horizontalHeader()->setDefaultSectionSize(std::max(width, widest));
        grid->verticalHeader()->setFixedWidth(width);
    }
    if (model.RowHeight() > 0) {
        const int height = host.px(model.RowHeight());
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
            setCellMark(item, model.CellMarkOf(row, col), model.CellBackColor(row, col), palette);
        }
    }
}

void syncGridCurrent(const form::FlexGrid& model, FlexGridWidget* grid) {
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

class GridBinder final : public WidgetBinder<form::FlexGrid, FlexGridWidget> {
    FlexGridWidget* make(form::FlexGrid&, QWidget* owner, BinderHost&) const override {
        return new FlexGridWidget(owner);
    }
    void input(form::FlexGrid& model, FlexGridWidget* grid, BinderHost& host) const override {
        QObject* receiver = host.formWidget();
        // The widget's cell rows and columns are the model's less the headers.
        QObject::connect(grid, &QTableWidget::currentCellChanged, receiver,
                         [&host, &model](int row, int col, int, int) {
                             if (row < 0 || col < 0) return;
                             host.operatorInput([&] {
                                 model.LeaveCell();
                                 model.setCurrent(row + 1, col + 1);
                             });
                         });
        QObject::connect(grid, &FlexGridWidget::keyTyped, receiver,
                         [&host, &model](int code) { host.operatorInput([&] { model.KeyPress(code); }); });
        QObject::connect(grid, &FlexGridWidget::focusLost, receiver,
                         [&host, &model] { host.operatorInput([&] { model.LeaveCell(); }); });
    }
    void content(form::FlexGrid& model, FlexGridWidget* grid, Prop prop, BinderHost& host) const override {
        if (prop == Prop::Cells) syncGridCells(model, grid, host);
        if (prop == Prop::CurrentCell) syncGridCurrent(model, grid);
    }
};

// The window itself: whatever changes on the form is the window's to show.
class FormBinder final : public ControlBinder {
public:
    QObject* create(form::Control&, QWidget*, BinderHost& host) const override { return host.formWidget(); }
    void connect(form::Control&, QObject*, BinderHost&) const override {}
    void apply(form::Control&, QObject*, Prop prop, BinderHost& host) const override { host.applyForm(prop); }
};

// A timer control runs a QTimer of the window's, shown nowhere.
class TimerBinder final : public ControlBinder {
public:
    QObject* create(form::Control&, QWidget*, BinderHost& host) const override { return new QTimer(host.formWidget()); }
    void connect(form::Control& control, QObject* shown, BinderHost& host) const override {
        auto& model = static_cast<form::TimerControl&>(control);
        QObject::connect(static_cast<QTimer*>(shown), &QTimer::timeout, host.formWidget(),
                         [&host, &model] { host.operatorInput([&] { model.Timer(); }); });
    }
    // Every change of a timer comes down to whether it runs and how often.
    void apply(form::Control& control, QObject* shown, Prop, BinderHost&) const override {
        const auto& model = static_cast<const form::TimerControl&>(control);
        auto* timer = static_cast<QTimer*>(shown);
        if (!model.running()) {
            timer->stop();
            return;
        }
        // A new interval starts the count again, as setting it does on the original.
        if (!timer->isActive() || timer->interval() != model.Interval()) timer->start(model.Interval());
    }
};

// Nothing shown for a kind no binder knows.
class NoBinder final : public ControlBinder {
public:
    QObject* create(form::Control&, QWidget*, BinderHost&) const override { return nullptr; }
    void connect(form::Control&, QObject*, BinderHost&) const override {}
    void apply(form::Control&, QObject*, Prop, BinderHost&) const override {}
};

}  // namespace

const ControlBinder& binderFor(form::Kind kind) {
    static const FormBinder form;
    static const TextBoxBinder textBox;
    static const LabelBinder label;
    static const ButtonBinder button;
    static const CheckBoxBinder checkBox;
    static const ComboBoxBinder comboBox;
    static const FrameBinder frame;
    static const PictureBinder picture;
    static const TimerBinder timer;
    static const TabStripBinder tabStrip;
    static const StatusBarBinder statusBar;
    static const GridBinder grid;
    static const ShapeBinder shape;
    static const NoBinder none;
    // No default: a kind without a binder does not compile.
    switch (kind) {
        case form::Kind::Form:
            return form;
        case form::Kind::TextBox:
            return textBox;
        case form::Kind::Label:
            return label;
        case form::Kind::Button:
            return button;
        case form::Kind::CheckBox:
            return checkBox;
        case form::Kind::ComboBox:
            return comboBox;
        case form::Kind::Frame:
            return frame;
        case form::Kind::Picture:
            return picture;
        case form::Kind::Timer:
            return timer;
        case form::Kind::TabStrip:
            return tabStrip;
        case form::Kind::StatusBar:
            return statusBar;
        case form::Kind::Grid:
            return grid;
        case form::Kind::Shape:
            return shape;
    }
    return none;
}

}  // namespace zrk::gui
