#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/frame.h"

namespace zrk::sim {

// Builds frames from single bytes as the unit's receiver does: it hunts for
// the 74, 88 header, and a window with a bad check byte gives up only its
// first byte, so a stray byte costs at most one frame and never wedges it.
class FrameAssembler {
public:
    // Returns a frame once eight bytes with a good header and check byte are in.
    std::optional<Frame> push(std::uint8_t byte);
    std::size_t pendingBytes() const { return buffer_.size(); }
    // Bytes thrown away while hunting for a frame.
    std::size_t discardedBytes() const { return discarded_; }

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t discarded_ = 0;
};

}  // namespace zrk::sim
