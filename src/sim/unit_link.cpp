#include "sim/unit_link.h"

#include <algorithm>
#include <limits>

#include "sim/simulated_unit.h"

namespace zrk::sim {

UnitLink::UnitLink(SimulatedUnit& unit, double latencySeconds) : unit_(unit), latency_(latencySeconds) {
    if (unit_.lineLost()) lineLostAt_ = -std::numeric_limits<double>::infinity();
}

void UnitLink::receive(std::uint8_t byte, double arrival) {
    if (isLineLost(arrival)) return;
    const std::optional<Frame> frame = assembler_.push(byte);
    if (!frame) return;
    if (onFrame) onFrame(arrival, *frame);

    const UnitResponse response = unit_.respond(*frame);
    if (unit_.lineDead() && !lineDiedAt_) lineDiedAt_ = arrival;
    // The unit's transmitter sends one reply at a time.
    double start = arrival + latency_ + response.extraDelaySeconds;
    if (transmitterFreeAt_) start = std::max(start, *transmitterFreeAt_);
    if (onReply && !response.bytes.empty()) onReply(start, response.bytes);
    double time = start;
    for (const std::uint8_t replyByte : response.bytes) {
        time += kByteSeconds;
        pending_.push_back({time, replyByte});
    }
    if (response.repeatAfterSeconds && !response.bytes.empty()) {
        time += *response.repeatAfterSeconds;
        if (onReply) onReply(time, response.bytes);
        for (const std::uint8_t replyByte : response.bytes) {
            time += kByteSeconds;
            pending_.push_back({time, replyByte});
        }
    }
    if (!response.bytes.empty()) transmitterFreeAt_ = time;
    if (response.lineLost) lineLostAt_ = time;
}

std::optional<double> UnitLink::nextByteTime() const {
    if (pending_.empty()) return std::nullopt;
    return pending_.front().time;
}

std::vector<UnitLink::TimedByte> UnitLink::takeBytesUpTo(double time) {
    std::vector<TimedByte> taken;
    while (!pending_.empty() && pending_.front().time <= time) {
        taken.push_back(pending_.front());
        pending_.pop_front();
    }
    return taken;
}

}  // namespace zrk::sim
