// Where every control of the main window sits: the pages, the groups of the
// remote-control page, the bottom buttons and the status bar.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QVBoxLayout>

#include "gui/view/clickable_label.h"
#include "gui/view/flex_grid_widget.h"
#include "gui/view/main_window_metrics.h"
#include "gui/view/main_window_view.h"
#include "gui/view/model_text.h"

namespace zrk::gui {
namespace {

using namespace metrics;

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

QGridLayout* formGrid() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(5);
    return grid;
}

}  // namespace

QGroupBox* MainWindowView::box(const form::Control& frame) const { return static_cast<QGroupBox*>(widgetFor(frame)); }

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
        if (QLayout* layout = box(frm_.FrameP(index))->layout())
            layout->setContentsMargins(px(90), px(60), px(90), px(60));
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
    // The longest captions (French) need every pixel of the fixed page.
    columns->setSpacing(px(90));
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
        for (form::PictureBox* picture : {lamp.lit, lamp.unlit, lamp.unknown}) {
            // Placed while hidden too, so a picture shown later appears at once in its place.
            QWidget* widget = widgetFor(*picture);
            QSizePolicy policy = widget->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            widget->setSizePolicy(policy);
            grid->addWidget(widget, row, 0, Qt::AlignCenter);
        }
        grid->addWidget(widgetFor(*lamp.caption), row, 1);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout* MainWindowView::buildCommandGroups() {
    auto* column = new QVBoxLayout;
    column->setSpacing(px(60));
    column->setContentsMargins(0, 0, 0, 0);
    const auto addGroup = [&](form::FrameControl& frame, std::vector<QWidget*> inside, form::Control* outside) {
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
    const auto w = [this](const form::Control& control) { return widgetFor(control); };
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
    const std::pair<form::CheckBox*, form::Control*> selected[] = {
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
    // Its numbers are a little smaller than the captions, but no smaller
    // than the least face.
    auto* grid = static_cast<FlexGridWidget*>(widgetFor(frm_.MSFlexGridPautas));
    QFont small = grid->font();
    if (small.pointSizeF() > 0) small.setPointSizeF(std::max(kLeastPointSize, small.pointSizeF() * 0.85));
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
    for (form::CommandButton* b : {&frm_.CBorrarTabla, &frm_.CEscribirColores, &frm_.CLeerColores, &frm_.Command2}) {
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
    const auto stateColumn = [this](form::ControlArray<form::LabelControl>& captions, int captionOffset,
                                    form::ControlArray<form::LabelControl>& states) {
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
    for (form::CommandButton* b : {&frm_.btnVerValoresInstantaneos, &frm_.btnSpoolValorInstantaneo}) {
        widgetFor(*b)->setMinimumWidth(px(kActionButtonWidth));
        buttons->addWidget(widgetFor(*b));
    }
    page->addLayout(buttons, 1, 0, 1, 3);
}

QLayout* MainWindowView::buildBottomButtons() {
    auto* row = new QHBoxLayout;
    row->setSpacing(px(90));
    const auto add = [&](form::CommandButton& button) {
        widgetFor(button)->setFixedWidth(px(kActionButtonWidth));
        row->addWidget(widgetFor(button));
    };
    for (form::CommandButton* b : {&frm_.CAbrir, &frm_.CGuardar, &frm_.CLeer, &frm_.CEscribir}) add(*b);
    // Beside Write, wider: its caption is longer in every language.
    add(frm_.CDeshacer);
    widgetFor(frm_.CDeshacer)->setFixedWidth(px(kActionButtonWidth * 3 / 2));
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
        auto* label = new ClickableLabel(bar);
        label->setObjectName(QStringLiteral("%1.Panel(%2)").arg(toQt(model.key())).arg(panel));
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(px(45), 0, px(45), 0);
        if (model.style(panel) == form::StatusBar::PanelStyle::Text) {
            // A long message is cut short rather than pushing the other
            // panels aside; its tooltip holds it whole.
            label->setElided(true);
            label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
            bar->addWidget(label, 1);
        } else if (model.style(panel) == form::StatusBar::PanelStyle::Changes) {
            // Right after the status line, before the date and time.
            bar->insertPermanentWidget(1, label);
        } else {
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
            bar->addPermanentWidget(label);
        }
        panels_.push_back(label);
    }
}

}  // namespace zrk::gui
