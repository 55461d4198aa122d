#include "gui/view/line_monitor_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/program.h"
#include "files/atomic_write.h"
#include "texts/text_ids.h"

namespace zrk::gui {

namespace {

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

LineMonitorModel::LineMonitorModel(form::LineMonitor& monitor, QObject* parent)
    : QAbstractTableModel(parent), monitor_(monitor), shownRemoved_(monitor.removed()) {}

int LineMonitorModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int LineMonitorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : form::LineMonitor::kColumnCount;
}

long long LineMonitorModel::monitorRow(int row) const {
    const std::uint64_t global = shownRemoved_ + static_cast<std::uint64_t>(row);
    if (global < monitor_.removed()) return -1;
    const std::uint64_t index = global - monitor_.removed();
    return index < monitor_.size() ? static_cast<long long>(index) : -1;
}

QColor LineMonitorModel::failureColor() { return QColor(255, 205, 205); }
QColor LineMonitorModel::discardColor() { return QColor(255, 236, 190); }

QVariant LineMonitorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const long long row = monitorRow(index.row());
    if (row < 0) return {};
    const auto& event = monitor_.event(static_cast<std::size_t>(row));
    switch (role) {
        case Qt::DisplayRole:
            return fromStd(monitor_.text(static_cast<std::size_t>(row), index.column()));
        case Qt::BackgroundRole:
            if (event.failure()) return failureColor();
            if (event.kind == link::LineEventKind::Stale || event.kind == link::LineEventKind::Late)
                return discardColor();
            return {};
        case Qt::ForegroundRole:
            if (event.failure()) return QColor(150, 0, 0);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == form::LineMonitor::ColumnTime || index.column() == form::LineMonitor::ColumnAttempt)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant LineMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return fromStd(monitor_.columnTitle(section));
}

int LineMonitorModel::sync() {
    const std::uint64_t gone = monitor_.removed() - shownRemoved_;
    if (gone > 0 && shownRows_ > 0) {
        const int drop = gone >= static_cast<std::uint64_t>(shownRows_) ? shownRows_ : static_cast<int>(gone);
        beginRemoveRows({}, 0, drop - 1);
        shownRows_ -= drop;
        shownRemoved_ = monitor_.removed();
        endRemoveRows();
    }
    // The table's rows are now the first of the monitor's.
    shownRemoved_ = monitor_.removed();
    const int fresh = static_cast<int>(monitor_.size()) - shownRows_;
    if (fresh <= 0) return 0;
    beginInsertRows({}, shownRows_, shownRows_ + fresh - 1);
    shownRows_ += fresh;
    endInsertRows();
    return fresh;
}

LineMonitorView::LineMonitorView(app::Program& program, QMainWindow& mainWindow)
    : QWidget(&mainWindow, Qt::Window),
      program_(program),
      monitor_(program.state.link, program.state.texts, program.state.platform.clock) {
    setObjectName("LineMonitor");
    setWindowTitle(fromStd(monitor_.title()));

    counters_ = new QLabel(this);
    counters_->setObjectName("counters");
    counters_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    model_ = new LineMonitorModel(monitor_, this);
    table_ = new QTableView(this);
    table_->setObjectName("frames");
    table_->setModel(model_);
    // The window's own font: it has the arrows of the meanings, where the
    // fixed fonts send every row through a costly font fallback.
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Fixed row heights keep a table of a hundred thousand rows cheap.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(false);
    const QFontMetrics metrics(table_->font());
    const QFontMetrics headerMetrics(table_->horizontalHeader()->font());
    // Wide enough for the widest content and for the column's title.
    const auto widthFor = [&](int column, const QString& widest) {
        const int title = headerMetrics.horizontalAdvance(fromStd(monitor_.columnTitle(column)));
        table_->setColumnWidth(column, std::max(metrics.horizontalAdvance(widest), title) + 20);
    };
    widthFor(form::LineMonitor::ColumnTime, "00000.000");
    widthFor(form::LineMonitor::ColumnDirection, "TX");
    widthFor(form::LineMonitor::ColumnBytes, "4A 58 00 00 80 00 00 7F");
    widthFor(form::LineMonitor::ColumnMeaning, QString(52, 'x'));
    table_->horizontalHeader()->setSectionResizeMode(form::LineMonitor::ColumnAttempt, QHeaderView::Stretch);
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        // Scrolling up stops following the end; back at the end follows again.
        following_ = value >= table_->verticalScrollBar()->maximum();
    });

    pause_ = new QPushButton(fromStd(monitor_.buttonText(texts::id::kMonitorPause)), this);
    pause_->setObjectName("pause");
    clear_ = new QPushButton(fromStd(monitor_.buttonText(texts::id::kMonitorClear)), this);
    clear_->setObjectName("clear");
    save_ = new QPushButton(fromStd(monitor_.buttonText(texts::id::kMonitorSaveAs)), this);
    save_->setObjectName("saveAs");
    connect(pause_, &QPushButton::clicked, this, [this] {
        monitor_.setPaused(!monitor_.paused());
        pause_->setText(
            fromStd(monitor_.buttonText(monitor_.paused() ? texts::id::kMonitorResume : texts::id::kMonitorPause)));
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        monitor_.clear();
        following_ = true;
        refresh();
    });
    connect(save_, &QPushButton::clicked, this, [this] { saveAs(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pause_);
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counters_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(980, 520);

    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        if (program_.state.platform.clock.now() - lastRefresh_ >= kTimerCatchUpSeconds) refresh();
    });
    monitor_.onIdle = [this](double until) { catchUpDuringRest(until); };

    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), &mainWindow);
    open->setContext(Qt::WindowShortcut);
    connect(open, &QShortcut::activated, this, [this] {
        show();
        raise();
        activateWindow();
    });
    refresh();
}

LineMonitorView::~LineMonitorView() { monitor_.detach(); }

void LineMonitorView::catchUpDuringRest(double until) {
    const double now = program_.state.platform.clock.now();
    if (now - lastRefresh_ < kRefreshSeconds || until - now < kRepaintSeconds || !isVisible()) return;
    refresh();
    // Laid out and painted now, inside the rest, not later while a reply is
    // awaited.
    layout()->activate();  // the counters' new width
    table_->doItemsLayout();
    if (following_) table_->scrollToBottom();
    counters_->repaint();
    table_->viewport()->repaint();
    table_->verticalScrollBar()->repaint();
}

void LineMonitorView::refresh() {
    lastRefresh_ = program_.state.platform.clock.now();
    const bool follow = following_;
    const int added = model_->sync();
    QString counters;
    for (const auto& [label, value] : monitor_.counters()) {
        if (!counters.isEmpty()) counters += QStringLiteral("    ");
        counters += fromStd(label) + QStringLiteral(": ") + QString::number(value);
    }
    counters_->setText(counters);
    if (added > 0 && follow) table_->scrollToBottom();
}

void LineMonitorView::showEvent(QShowEvent* event) {
    monitor_.attach();
    refreshTimer_->start(kRefreshMilliseconds);
    refresh();
    QWidget::showEvent(event);
}

void LineMonitorView::hideEvent(QHideEvent* event) {
    refreshTimer_->stop();
    monitor_.detach();
    QWidget::hideEvent(event);
}

void LineMonitorView::saveAs() {
    auto& ui = program_.state.platform.ui;
    const auto path = ui.chooseFile(true, monitor_.buttonText(texts::id::kMonitorFileType), "*.txt", {});
    if (!path) return;
    try {
        files::writeFileAtomically(*path, monitor_.traceText());
    } catch (const files::FileError& error) {
        ui.messageBox(monitor_.buttonText(texts::id::kMonitorSaveFailed) + "\n" + error.what(), monitor_.title(),
                      platform::UserInterface::Icon::Error);
    }
}

}  // namespace zrk::gui
