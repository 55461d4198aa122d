#include "sim/frame_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrk::sim {
namespace {

std::vector<std::uint8_t> bytesOf(const Frame& frame) { return {frame.begin(), frame.end()}; }

std::vector<std::uint8_t> join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Frame kRead = makeCommand(1, 16, 0);
const Frame kStatus = makeCommand(5, 0, 0);

Frame withBadCheck(Frame frame) {
    frame[7] ^= 0xFF;
    return frame;
}

struct AssemblyCase {
    const char* what;
    std::vector<std::uint8_t> input;
    std::vector<Frame> expected;
};

class FrameAssembly : public testing::TestWithParam<AssemblyCase> {};

TEST_P(FrameAssembly, FindsTheFrames) {
    FrameAssembler assembler;
    std::vector<Frame> frames;
    for (const auto byte : GetParam().input) {
        if (auto frame = assembler.push(byte)) frames.push_back(*frame);
    }
    EXPECT_EQ(frames, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, FrameAssembly,
    testing::Values(AssemblyCase{"one_frame", bytesOf(kRead), {kRead}},
                    AssemblyCase{"two_frames_back_to_back", join({bytesOf(kRead), bytesOf(kStatus)}), {kRead, kStatus}},
                    AssemblyCase{"stray_bytes_before", join({{0x00, 0xFF, 88}, bytesOf(kRead)}), {kRead}},
                    AssemblyCase{"stray_header_byte_before", join({{74}, bytesOf(kRead)}), {kRead}},
                    AssemblyCase{"broken_frame_then_good", join({{74, 88, 0, 0}, bytesOf(kStatus)}), {kStatus}},
                    AssemblyCase{
                        "bad_check_byte_dropped", join({bytesOf(withBadCheck(kRead)), bytesOf(kStatus)}), {kStatus}},
                    AssemblyCase{"incomplete_frame", {74, 88, 0, 0, 1, 16, 0}, {}}),
    [](const testing::TestParamInfo<AssemblyCase>& info) { return std::string(info.param.what); });

TEST(FrameAssembler, CountsWhatItThrowsAway) {
    FrameAssembler assembler;
    for (const auto byte : std::vector<std::uint8_t>{1, 2, 3}) assembler.push(byte);
    EXPECT_EQ(assembler.discardedBytes(), 3u);
    EXPECT_EQ(assembler.pendingBytes(), 0u);
}

}  // namespace
}  // namespace zrk::sim
