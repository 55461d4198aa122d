#include "sim/device_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zrk::sim {
namespace {

// A unit with distinct values everywhere, so a reply taken from the wrong
// place shows.
DeviceModel sampleUnit() {
    DeviceModel device;
    device.setInUse(16, true);
    device.setInUse(255, true);
    device.setMemory(16, 0xA5);
    device.setMemory(100, 0x33);  // not in use
    device.setMemory(255, 0x7E);
    device.setStatusA(0x05);
    device.setStatusB(0x81);
    device.setPresentCurrent(0x04D2);
    device.setPresentSpeed(0x0102);
    device.setLedCurrent(0x00FF);
    device.setInputsByte(0x05);
    device.setOutputsWord(0x5A6);  // outputs 2, 3, 6, 8, 9 and 11
    device.setSegment(1, 0, 0x11);
    device.setSegment(2, 66, 0x22);
    device.setSegment(3, 128, 0x33);
    device.setSegment(4, 194, 0x44);
    return device;
}

struct ReadCase {
    const char* what;
    std::uint8_t command;
    std::uint8_t parameter1;
    std::uint8_t expected;
};

class DeviceModelReads : public testing::TestWithParam<ReadCase> {};

TEST_P(DeviceModelReads, ReplyCarriesTheByteInDato3) {
    const ReadCase& c = GetParam();
    DeviceModel device = sampleUnit();
    const auto reply = device.handleFrame(makeCommand(c.command, c.parameter1, 0));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(replyData3(*reply), c.expected);
    // Echoes the command and its parameter; the check byte is the frame rule.
    EXPECT_EQ(*reply, makeFrame(0, c.command, c.parameter1, c.expected));
    EXPECT_TRUE(isValidFrame(*reply));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DeviceModelReads,
    testing::Values(ReadCase{"memory_in_use", 1, 16, 0xA5}, ReadCase{"memory_last_address", 1, 255, 0x7E},
                    ReadCase{"memory_not_in_use_still_reads", 1, 100, 0x33},
                    ReadCase{"map_byte_of_address_16", 128, 2, 0x01},
                    ReadCase{"map_byte_of_address_255", 128, 31, 0x80}, ReadCase{"map_byte_without_bits", 128, 5, 0x00},
                    ReadCase{"map_index_past_the_map", 128, 32, 0x00}, ReadCase{"status_a", 5, 0, 0x05},
                    ReadCase{"status_b", 5, 1, 0x81}, ReadCase{"current_high", 5, 2, 0x04},
                    ReadCase{"current_low", 5, 3, 0xD2}, ReadCase{"speed_high", 5, 4, 0x01},
                    ReadCase{"speed_low", 5, 5, 0x02}, ReadCase{"led_current_high", 5, 6, 0x00},
                    ReadCase{"led_current_low", 5, 7, 0xFF}, ReadCase{"inputs", 5, 8, 0x05},
                    ReadCase{"outputs_1_to_8", 5, 9, 0xA6}, ReadCase{"outputs_9_to_11", 5, 10, 0x05},
                    ReadCase{"unknown_selector", 5, 11, 0x00}, ReadCase{"segment_table_1", 135, 0, 0x11},
                    ReadCase{"segment_table_2", 136, 66, 0x22}, ReadCase{"segment_table_3", 137, 128, 0x33},
                    ReadCase{"segment_table_4", 138, 194, 0x44}, ReadCase{"segment_table_4_unset", 138, 0, 0x00}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.what); });

TEST(DeviceModel, ReplyEchoesValor) {
    DeviceModel device = sampleUnit();
    const auto reply = device.handleFrame(makeCommand(1, 16, 0, 0x1234));
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ((*reply)[2], 0x12);
    EXPECT_EQ((*reply)[3], 0x34);
    EXPECT_EQ((*reply)[7], checkByte(*reply));
}

TEST(DeviceModel, MemoryWriteChangesOnlyAddressesInUse) {
    DeviceModel device = sampleUnit();

    const auto inUse = device.handleFrame(makeCommand(2, 16, 0x42));
    ASSERT_TRUE(inUse.has_value());
    EXPECT_EQ(device.memory(16), 0x42);
    EXPECT_EQ(replyData3(*inUse), 0x42);

    const auto notInUse = device.handleFrame(makeCommand(2, 100, 0x99));
    ASSERT_TRUE(notInUse.has_value()) << "a write to an unused cell is still acknowledged";
    EXPECT_EQ(device.memory(100), 0x33);
    EXPECT_EQ(replyData3(*notInUse), 0x33);

    EXPECT_EQ(replyData3(*device.handleFrame(makeCommand(1, 16, 0))), 0x42);
}

TEST(DeviceModel, SegmentWritesLandInTheirTable) {
    DeviceModel device;
    for (std::uint8_t table = 1; table <= 4; ++table) {
        const auto reply = device.handleFrame(makeCommand(static_cast<std::uint8_t>(130 + table), 130, table * 10));
        ASSERT_TRUE(reply.has_value());
    }
    for (int table = 1; table <= 4; ++table) {
        EXPECT_EQ(device.segment(table, 130), table * 10) << "table " << table;
        const auto reply = device.handleFrame(makeCommand(static_cast<std::uint8_t>(134 + table), 130, 0));
        EXPECT_EQ(replyData3(*reply), table * 10) << "table " << table;
    }
    EXPECT_EQ(device.segment(1, 129), 0);
}

TEST(DeviceModel, IgnoresBadFramesAndUnknownCommands) {
    DeviceModel device = sampleUnit();
    Frame badCheck = makeCommand(1, 16, 0);
    badCheck[7] ^= 0x01;
    Frame badHeader = makeCommand(1, 16, 0);
    badHeader[1] = 89;

    EXPECT_FALSE(device.handleFrame(badCheck).has_value());
    EXPECT_FALSE(device.handleFrame(badHeader).has_value());
    EXPECT_EQ(device.rejectedFrameCount(), 2u);
    EXPECT_TRUE(device.frameLog().empty());

    const Frame unknown = makeCommand(99, 0, 0);
    EXPECT_FALSE(device.handleFrame(unknown).has_value());
    ASSERT_EQ(device.frameLog().size(), 1u);
    EXPECT_EQ(device.frameLog()[0], unknown);
}

TEST(DeviceModel, FrameLogKeepsEveryGoodFrameInOrder) {
    DeviceModel device;
    const std::vector<Frame> frames = {makeCommand(128, 0, 0), makeCommand(1, 3, 0), makeCommand(128, 0, 0)};
    for (const auto& frame : frames) device.handleFrame(frame);
    EXPECT_EQ(device.frameLog(), frames);
    device.clearFrameLog();
    EXPECT_TRUE(device.frameLog().empty());
}

TEST(DeviceModel, InUseMapFollowsTheBitRule) {
    DeviceModel device;
    device.setInUse(0, true);
    device.setInUse(9, true);
    device.setInUse(225, true);
    EXPECT_EQ(device.mapByte(0), 0x01);
    EXPECT_EQ(device.mapByte(1), 0x02);
    EXPECT_EQ(device.mapByte(28), 0x02);
    device.setInUse(9, false);
    EXPECT_EQ(device.mapByte(1), 0x00);
    EXPECT_TRUE(device.isInUse(225));
    EXPECT_FALSE(device.isInUse(224));
}

TEST(DeviceModel, DirectAccessRejectsOutOfRangeIndexes) {
    DeviceModel device;
    EXPECT_THROW(device.memory(256), std::out_of_range);
    EXPECT_THROW(device.setInUse(-1, true), std::out_of_range);
    EXPECT_THROW(device.segment(0, 0), std::out_of_range);
    EXPECT_THROW(device.segment(5, 0), std::out_of_range);
    EXPECT_THROW(device.setOutput(12, true), std::out_of_range);
    EXPECT_THROW(device.input(0), std::out_of_range);
}

// Remote commands, each case starting from a lit lantern with a motor:
// status A on + motor, lamp 1 lit, outputs lamp 1 and motor 1.
struct RemoteCase {
    const char* what;
    bool daylight;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> commands;  // function, state
    std::uint8_t statusA;
    std::uint8_t statusB;
    std::uint16_t outputs;
    std::uint16_t current;
    std::uint16_t speed;
};

constexpr std::uint16_t out(int number) { return static_cast<std::uint16_t>(1u << (number - 1)); }

class RemoteCommands : public testing::TestWithParam<RemoteCase> {};

TEST_P(RemoteCommands, ChangeStatusOutputsAndValues) {
    const RemoteCase& c = GetParam();
    DeviceModel device;
    device.setPresentCurrent(420);
    device.setPresentSpeed(300);
    device.handleFrame(makeCommand(6, 1, 0));  // normal mode, night outside
    device.setDaylight(c.daylight);

    for (const auto& [function, state] : c.commands) {
        const auto reply = device.handleFrame(makeCommand(6, function, state));
        ASSERT_TRUE(reply.has_value()) << "remote commands are always acknowledged";
    }
    EXPECT_EQ(device.statusA(), c.statusA);
    EXPECT_EQ(device.statusB(), c.statusB);
    EXPECT_EQ(device.outputsWord(), c.outputs);
    EXPECT_EQ(device.presentCurrent(), c.current);
    EXPECT_EQ(device.presentSpeed(), c.speed);
}

constexpr std::uint8_t kLitA = DeviceModel::kStatusOn | DeviceModel::kStatusMotor;
constexpr std::uint8_t kLamp1LitB = DeviceModel::kStatusLamp1 | DeviceModel::kStatusLamp1On;
const std::uint16_t kLitOutputs = out(1) | out(3);

INSTANTIATE_TEST_SUITE_P(
    Command6, RemoteCommands,
    testing::Values(
        RemoteCase{"unchanged_start", false, {}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"day_switches_everything_off", false, {{1, 1}}, 0, DeviceModel::kStatusLamp1, 0, 0, 0},
        RemoteCase{"night_after_day_restores", false, {{1, 1}, {1, 2}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"night_in_daylight", true, {{1, 2}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"normal_follows_daylight", true, {{1, 0}}, 0, DeviceModel::kStatusLamp1, 0, 0, 0},
        RemoteCase{"changer_on_moves_to_lamp_2",
                   false,
                   {{0, 1}},
                   kLitA,
                   DeviceModel::kStatusLamp2 | DeviceModel::kStatusChanger,
                   out(2) | out(3) | out(5),
                   420,
                   300},
        RemoteCase{"changer_off_returns_to_lamp_1", false, {{0, 1}, {0, 0}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"mains_failure_on",
                   false,
                   {{2, 1}},
                   kLitA,
                   kLamp1LitB | DeviceModel::kStatusMainsFailure,
                   kLitOutputs | out(7),
                   420,
                   300},
        RemoteCase{"mains_failure_off", false, {{2, 1}, {2, 0}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"motor_2", false, {{3, 1}}, kLitA, kLamp1LitB, out(1) | out(4), 420, 300},
        RemoteCase{"motor_2_then_1", false, {{3, 1}, {3, 0}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"motor_2_by_day_stays_still", false, {{3, 1}, {1, 1}}, 0, DeviceModel::kStatusLamp1, 0, 0, 0},
        RemoteCase{"unknown_function_changes_nothing", false, {{4, 1}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300},
        RemoteCase{"unknown_mode_changes_nothing", false, {{1, 3}}, kLitA, kLamp1LitB, kLitOutputs, 420, 300}),
    [](const testing::TestParamInfo<RemoteCase>& info) { return std::string(info.param.what); });

TEST(DeviceModel, LanternWithoutMotorNeverReportsOne) {
    DeviceModel device;
    device.setLedCurrent(85);
    device.handleFrame(makeCommand(6, 1, 2));
    EXPECT_EQ(device.statusA(), DeviceModel::kStatusOn);
    EXPECT_EQ(device.ledCurrent(), 85);
    EXPECT_FALSE(device.output(DeviceModel::kOutputMotor1));
    device.handleFrame(makeCommand(6, 1, 1));
    EXPECT_EQ(device.ledCurrent(), 0);
}

}  // namespace
}  // namespace zrk::sim
