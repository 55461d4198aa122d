// The link's frame builders and the simulated unit's own decoder are written
// apart. Every frame the link builds must reach the unit as the command and
// arguments meant, and the unit's reply must read back through the link's
// decoders as the byte the unit holds.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "link/frame.h"
#include "link/line_events.h"
#include "link/protocol.h"
#include "sim/device_model.h"
#include "sim/frame_assembler.h"

namespace zrk::test {
namespace {

using sim::DeviceModel;

// A distinct byte behind every argument the cases use, so a frame that
// lands on the wrong cell, selector or table shows.
DeviceModel sampleUnit() {
    DeviceModel unit;
    unit.setInUse(28, true);
    unit.setInUse(41, true);   // map byte 5: 0x02
    unit.setInUse(255, true);  // map byte 31: 0x80
    unit.setMemory(49, 80);
    unit.setMemory(255, 0x7E);
    unit.setStatusA(0x05);
    unit.setStatusB(0x81);
    unit.setPresentCurrent(0x04D2);
    unit.setPresentSpeed(0x0102);
    unit.setLedCurrent(0x03FF);
    unit.setInputsByte(0xA5);
    unit.setOutputsWord(0x5A6);
    unit.setSegment(1, 0, 0x11);
    unit.setSegment(4, 194, 0x44);
    return unit;
}

// The frame as the unit's receiver assembles it from single bytes.
std::optional<sim::Frame> received(const link::TramaComando& trama) {
    sim::FrameAssembler assembler;
    std::optional<sim::Frame> frame;
    for (std::uint8_t byte : link::frameBytes(trama))
        if (auto whole = assembler.push(byte)) frame = whole;
    return frame;
}

struct Case {
    const char* what;
    link::TramaComando trama;
    // What the unit sees, in its own names.
    std::uint8_t command;
    std::uint8_t parameter1;
    std::uint8_t parameter2;
    // What the link reads from the reply.
    std::uint8_t replyByte;
    // What the unit did, for the commands that change something.
    std::function<bool(const DeviceModel&)> effect = nullptr;
};

std::vector<Case> cases() {
    using link::StatusSelector;
    auto status = [](StatusSelector selector) { return link::readStatusFrame(link::code(selector)); };
    constexpr auto kRead = DeviceModel::kReadMemory, kWrite = DeviceModel::kWriteMemory,
                   kStatus = DeviceModel::kReadStatus, kRemote = DeviceModel::kRemoteCommand,
                   kMap = DeviceModel::kReadMap, kReadSegment = DeviceModel::kReadSegmentFirst,
                   kWriteSegment = DeviceModel::kWriteSegmentFirst;
    return {
        {"read memory", link::readMemoryFrame(49), kRead, 49, 0, 80},
        {"read the last cell", link::readMemoryFrame(255), kRead, 255, 0, 0x7E},
        {"write memory", link::writeMemoryFrame(28, 0xC3), kWrite, 28, 0xC3, 0xC3,
         [](const DeviceModel& u) { return u.memory(28) == 0xC3; }},
        {"identification byte", link::identificationFrame(5), kMap, 5, 0, 0x02},
        {"last identification byte", link::identificationFrame(31), kMap, 31, 0, 0x80},
        {"status byte A", status(StatusSelector::ByteA), kStatus, 0, 0, 0x05},
        {"status byte B", status(StatusSelector::ByteB), kStatus, 1, 0, 0x81},
        {"current high", status(StatusSelector::CurrentHigh), kStatus, 2, 0, 0x04},
        {"current low", status(StatusSelector::CurrentLow), kStatus, 3, 0, 0xD2},
        {"speed high", status(StatusSelector::SpeedHigh), kStatus, 4, 0, 0x01},
        {"speed low", status(StatusSelector::SpeedLow), kStatus, 5, 0, 0x02},
        {"LED current high", status(StatusSelector::LedCurrentHigh), kStatus, 6, 0, 0x03},
        {"LED current low", status(StatusSelector::LedCurrentLow), kStatus, 7, 0, 0xFF},
        {"inputs", status(StatusSelector::Inputs), kStatus, 8, 0, 0xA5},
        {"outputs 1 to 8", status(StatusSelector::OutputsLow), kStatus, 9, 0, 0xA6},
        {"outputs 9 to 11", status(StatusSelector::OutputsHigh), kStatus, 10, 0, 0x05},
        {"changer on", link::remoteCommandFrame(link::remote::kChanger, 1), kRemote, 0, 1, 1,
         [](const DeviceModel& u) { return u.output(DeviceModel::kOutputChanger); }},
        {"day mode", link::remoteCommandFrame(link::remote::kMode, 1), kRemote, 1, 1, 1,
         [](const DeviceModel& u) { return u.mode() == sim::OperatingMode::Day; }},
        {"night mode", link::remoteCommandFrame(link::remote::kMode, 2), kRemote, 1, 2, 2,
         [](const DeviceModel& u) { return u.mode() == sim::OperatingMode::Night; }},
        {"mains failure on", link::remoteCommandFrame(link::remote::kMainsFailure, 1), kRemote, 2, 1, 1,
         [](const DeviceModel& u) { return u.output(DeviceModel::kOutputMainsFailure); }},
        {"motor 2", link::remoteCommandFrame(link::remote::kMotor, 1), kRemote, 3, 1, 1,
         [](const DeviceModel& u) { return u.activeMotor() == 2; }},
        {"read segment table 1", link::readSegmentFrame(1, 0), kReadSegment, 0, 0, 0x11},
        {"read segment table 4", link::readSegmentFrame(4, 194), kReadSegment + 3, 194, 0, 0x44},
        {"write segment table 1", link::writeSegmentFrame(1, 66, 0x22), kWriteSegment, 66, 0x22, 0x22,
         [](const DeviceModel& u) { return u.segment(1, 66) == 0x22; }},
        {"write segment table 4", link::writeSegmentFrame(4, 128, 0x33), kWriteSegment + 3, 128, 0x33, 0x33,
         [](const DeviceModel& u) { return u.segment(4, 128) == 0x33 && u.segment(1, 128) == 0; }},
    };
}

TEST(ProtocolAgreement, EveryBuiltFrameReachesTheUnitAsMeant) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const auto frame = received(c.trama);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(sim::frameValue(*frame), 0);
        EXPECT_EQ(sim::frameCommand(*frame), c.command);
        EXPECT_EQ(sim::frameParameter1(*frame), c.parameter1);
        EXPECT_EQ(sim::frameParameter2(*frame), c.parameter2);

        DeviceModel unit = sampleUnit();
        const auto reply = unit.handleFrame(*frame);
        ASSERT_TRUE(reply.has_value());
        EXPECT_TRUE(link::isWellFormedReply({reply->begin(), reply->end()}));
        const link::RespuestaComando answer = link::decodeReply(*reply);
        EXPECT_EQ(answer.Resultado, link::kAck);
        EXPECT_EQ(answer.Dato1, c.trama.Comando);
        EXPECT_EQ(answer.Dato2, c.trama.Parametro1);
        EXPECT_EQ(link::replyByte(answer), c.replyByte);
        if (c.effect) {
            EXPECT_TRUE(c.effect(unit));
        }
    }
}

// Inputs 1 to 8 and outputs 1 to 11 are on the bits the window reads them
// from, bit 0 first.
TEST(ProtocolAgreement, InputAndOutputBits) {
    struct Group {
        link::StatusSelector selector;
        int first;
        int count;
        bool inputs;
    };
    const Group groups[] = {{link::StatusSelector::Inputs, 1, 8, true},
                            {link::StatusSelector::OutputsLow, 1, 8, false},
                            {link::StatusSelector::OutputsHigh, 9, 3, false}};
    for (const Group& g : groups)
        for (int bit = 0; bit < g.count; ++bit) {
            DeviceModel unit;
            if (g.inputs)
                unit.setInput(g.first + bit, true);
            else
                unit.setOutput(g.first + bit, true);
            const auto frame = received(link::readStatusFrame(link::code(g.selector)));
            ASSERT_TRUE(frame.has_value());
            const auto reply = unit.handleFrame(*frame);
            ASSERT_TRUE(reply.has_value());
            const link::RespuestaComando answer = link::decodeReply(*reply);
            for (int b = 0; b < 8; ++b) {
                EXPECT_EQ(link::replyBit(answer, b), b == bit)
                    << (g.inputs ? "input " : "output ") << g.first + bit << ", bit " << b;
            }
        }
}

}  // namespace
}  // namespace zrk::test
