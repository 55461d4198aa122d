#include "form/line_monitor.h"

#include <cstdio>
#include <sstream>

#include "link/line_trace.h"
#include "texts/text_ids.h"

namespace zrk::form {

LineMonitor::LineMonitor(link::DeviceLink& link, const texts::TextTable& texts, const platform::Clock& clock)
    : link_(link), texts_(texts), clock_(clock), origin_(clock.now()) {}

LineMonitor::~LineMonitor() { detach(); }

void LineMonitor::attach() {
    // Times count from the opening of an empty monitor.
    if (rows_.empty()) origin_ = clock_.now();
    link_.addObserver(this);
}

void LineMonitor::detach() { link_.removeObserver(this); }

void LineMonitor::lineEvent(const link::LineEvent& event) {
    if (paused_) return;
    if (rows_.size() >= kKeptRows) {
        rows_.pop_front();
        ++removed_;
    }
    rows_.push_back(event);
}

void LineMonitor::lineIdle(double until) {
    if (onIdle) onIdle(until);
}

void LineMonitor::clear() {
    removed_ += rows_.size();
    rows_.clear();
    link_.resetCounters();
    origin_ = clock_.now();
}

std::string LineMonitor::title() const { return texts_.CargarTexto(texts::id::kMonitorTitle); }

std::string LineMonitor::columnTitle(int column) const {
    return texts_.CargarTexto(texts::id::kMonitorFirstColumn + column);
}

std::string LineMonitor::text(std::size_t row, int column) const {
    const link::LineEvent& e = rows_[row];
    switch (column) {
        case ColumnTime: {
            char time[32];
            std::snprintf(time, sizeof time, "%.3f", e.time - origin_);
            return time;
        }
        case ColumnDirection:
            switch (e.kind) {
                case link::LineEventKind::Sent:
                    return "TX";
                case link::LineEventKind::Reply:
                    return "RX";
                default:
                    return "--";
            }
        case ColumnBytes:
            return link::hexBytes(e.bytes);
        case ColumnMeaning:
            return e.meaning;
        case ColumnAttempt:
            return std::to_string(e.attempt);
        default:
            return {};
    }
}

std::vector<std::pair<std::string, std::uint64_t>> LineMonitor::counters() const {
    const link::LineCounters& c = link_.counters();
    const std::uint64_t values[] = {c.transactions,        c.retries,          c.attemptsWithoutReply,
                                    c.staleBytesDiscarded, c.lateBytesDropped, c.malformedReplies};
    std::vector<std::pair<std::string, std::uint64_t>> out;
    for (int i = 0; i < 6; ++i) out.emplace_back(texts_.CargarTexto(texts::id::kMonitorFirstCounter + i), values[i]);
    return out;
}

std::string LineMonitor::traceText() const {
    std::ostringstream text;
    link::LineTrace trace(text, origin_);
    for (const auto& e : rows_) trace.lineEvent(e);
    return text.str();
}

}  // namespace zrk::form
