#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/device_link.h"
#include "link/line_events.h"
#include "platform/clock.h"
#include "texts/texts.h"

namespace zrk::form {

// The line monitor's content, toolkit-free: the link's events while it is
// attached, the last kKeptRows of them, and the link's counters. Adding an
// event is a copy into a queue, so an attached monitor does not slow a
// transfer down; a view shows the rows at its own pace.
class LineMonitor : public link::LineObserver {
public:
    static constexpr std::size_t kKeptRows = 100000;
    enum Column { ColumnTime, ColumnDirection, ColumnBytes, ColumnMeaning, ColumnAttempt, kColumnCount };

    LineMonitor(link::DeviceLink& link, const texts::TextTable& texts, const platform::Clock& clock);
    ~LineMonitor() override;
    LineMonitor(const LineMonitor&) = delete;
    LineMonitor& operator=(const LineMonitor&) = delete;

    // Listening costs the link nothing while detached (a closed window).
    void attach();
    void detach();

    void lineEvent(const link::LineEvent& event) override;
    void lineIdle(double until) override;
    // Called in the link's rest after a reply, for a view to catch up
    // without holding up the next frame.
    std::function<void(double until)> onIdle;

    // While paused, events are not kept; the counters go on.
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }
    // Drops every row and zeroes the counters; times count from now on.
    void clear();

    std::size_t size() const { return rows_.size(); }
    const link::LineEvent& event(std::size_t row) const { return rows_[row]; }
    // Rows dropped from the front (by the limit or clear()), so a view can
    // tell what changed since it last looked.
    std::uint64_t removed() const { return removed_; }

    std::string title() const;
    std::string columnTitle(int column) const;
    std::string text(std::size_t row, int column) const;
    // The labels and values of the counters, in display order.
    std::vector<std::pair<std::string, std::uint64_t>> counters() const;
    std::string buttonText(int textId) const { return texts_.CargarTexto(textId); }

    // Every kept row in the trace form zrkctl --trace writes.
    std::string traceText() const;

private:
    link::DeviceLink& link_;
    const texts::TextTable& texts_;
    const platform::Clock& clock_;
    std::deque<link::LineEvent> rows_;
    double origin_;
    std::uint64_t removed_ = 0;
    bool paused_ = false;
};

}  // namespace zrk::form
