#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "link/line_events.h"

namespace zrk::link {

// One line of a trace: the seconds since the start with three decimals,
// right-aligned in eight characters, a blank, the tag ("TX", "RX" or "--")
// and the text.
std::string traceLine(double seconds, std::string_view tag, std::string_view text);

// A frame or reply as trace lines: the first eight bytes on the tag's line,
// any bytes past the eighth on a "--" line of their own.
std::string traceBytes(double seconds, std::string_view tag, const std::vector<std::uint8_t>& bytes);

// Writes every event of a link to a stream in the trace form, one line per
// event (plus a "--" line for what a reply had past its eighth byte or a
// malformed reply). Times count from `startTime` on the link's clock.
class LineTrace : public LineObserver {
public:
    LineTrace(std::ostream& out, double startTime) : out_(out), start_(startTime) {}
    void lineEvent(const LineEvent& event) override;

private:
    std::ostream& out_;
    double start_;
};

}  // namespace zrk::link
