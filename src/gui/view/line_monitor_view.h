#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "form/line_monitor.h"

class QLabel;
class QMainWindow;
class QPushButton;
class QTableView;
class QTimer;

namespace zrk::app {
class Program;
}

namespace zrk::gui {

// The monitor's rows as a Qt table. It takes in new rows only when sync()
// is called, so the table changes in batches at the view's pace and never
// in the middle of a transaction.
class LineMonitorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LineMonitorModel(form::LineMonitor& monitor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Drops the rows the monitor dropped and appends the ones it added since
    // the last call; returns the number appended.
    int sync();

    static QColor failureColor();
    static QColor discardColor();

private:
    // The monitor's row behind a table row, or -1 when it is gone.
    long long monitorRow(int row) const;

    form::LineMonitor& monitor_;
    int shownRows_ = 0;
    std::uint64_t shownRemoved_ = 0;  // the monitor's removed() the first table row follows
};

// The "Line monitor" window: counters above a table of every frame, reply
// and thrown-away byte, with Pause, Clear and Save as…. Ctrl+L in the main
// window opens it. It listens to the link only while it is open.
class LineMonitorView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMilliseconds = 100;
    // While a transfer runs the table catches up in the link's rest after a
    // reply, at most this often; the timer only fills in when the line is
    // idle for longer than kTimerCatchUpSeconds.
    // A repaint of the table costs several milliseconds (more on a busy
    // machine), so it comes four times a second and only where most of the
    // 20 ms rest is still ahead.
    static constexpr double kRefreshSeconds = 0.25;
    static constexpr double kTimerCatchUpSeconds = 0.5;
    static constexpr double kRepaintSeconds = 0.015;

    LineMonitorView(app::Program& program, QMainWindow& mainWindow);
    ~LineMonitorView() override;
    LineMonitorView(const LineMonitorView&) = delete;
    LineMonitorView& operator=(const LineMonitorView&) = delete;

    form::LineMonitor& monitor() { return monitor_; }
    LineMonitorModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLabel* countersLabel() const { return counters_; }
    QPushButton* pauseButton() const { return pause_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* saveButton() const { return save_; }

    // Brings the table and the counters up to date (the timer does this
    // every kRefreshMilliseconds while the window is open).
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void saveAs();
    void catchUpDuringRest(double until);

    app::Program& program_;
    form::LineMonitor monitor_;
    LineMonitorModel* model_;
    QTableView* table_;
    QLabel* counters_;
    QPushButton* pause_;
    QPushButton* clear_;
    QPushButton* save_;
    QTimer* refreshTimer_;
    bool following_ = true;
    double lastRefresh_ = -1e9;
};

}  // namespace zrk::gui
