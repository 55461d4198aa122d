#include "sim/frame_assembler.h"

#include <algorithm>

namespace zrk::sim {

std::optional<Frame> FrameAssembler::push(std::uint8_t byte) {
    buffer_.push_back(byte);
    while (!buffer_.empty()) {
        const bool badStart = buffer_[0] != kHeaderFirst || (buffer_.size() >= 2 && buffer_[1] != kHeaderSecond);
        if (!badStart && buffer_.size() < kFrameSize) return std::nullopt;
        if (!badStart) {
            Frame frame{};
            std::copy_n(buffer_.begin(), kFrameSize, frame.begin());
            if (isValidFrame(frame)) {
                buffer_.clear();
                return frame;
            }
        }
        buffer_.erase(buffer_.begin());
        ++discarded_;
    }
    return std::nullopt;
}

}  // namespace zrk::sim
