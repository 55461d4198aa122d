#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "sim/frame_assembler.h"

namespace zrk::sim {

class SimulatedUnit;

// The unit's end of a 9600 baud 8N1 line: bytes from the tool come in with
// the instant their stop bit ended; once a frame is complete the unit answers
// after its latency, and each reply byte takes one byte time on the wire.
// Times are seconds on whatever clock the caller uses.
class UnitLink {
public:
    // Start bit, eight data bits, stop bit.
    static constexpr double kByteSeconds = 10.0 / 9600.0;
    static constexpr double kDefaultLatencySeconds = 0.002;

    struct TimedByte {
        double time;  // when the byte's stop bit has been sent
        std::uint8_t byte;
    };

    explicit UnitLink(SimulatedUnit& unit, double latencySeconds = kDefaultLatencySeconds);

    // One byte from the tool, fully received by the unit at `arrival`.
    void receive(std::uint8_t byte, double arrival);

    // Reply bytes not yet taken, in time order.
    std::optional<double> nextByteTime() const;
    std::vector<TimedByte> takeBytesUpTo(double time);

    // When the line went or goes away (the disconnect fault), if it does.
    std::optional<double> lineLostAt() const { return lineLostAt_; }
    bool isLineLost(double now) const { return lineLostAt_ && now >= *lineLostAt_; }
    // When the first frame reached a dead line (the dead-from fault).
    std::optional<double> lineDiedAt() const { return lineDiedAt_; }

    // Told of every frame the unit took in (at the instant its last byte
    // arrived) and every reply it sends (at the instant it starts), for a
    // trace from the unit's side.
    std::function<void(double time, const Frame& frame)> onFrame;
    std::function<void(double time, const std::vector<std::uint8_t>& reply)> onReply;

private:
    SimulatedUnit& unit_;
    double latency_;
    FrameAssembler assembler_;
    std::deque<TimedByte> pending_;
    std::optional<double> transmitterFreeAt_;
    std::optional<double> lineLostAt_;
    std::optional<double> lineDiedAt_;
};

}  // namespace zrk::sim
