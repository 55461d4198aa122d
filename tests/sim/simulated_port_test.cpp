#include "sim/simulated_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "virtual_clock.h"

namespace zrk::sim {
namespace {

using platform::PortError;

constexpr double kByte = 10.0 / 9600.0;
constexpr double kLatency = 0.002;
// Instants are sums of byte times; this is far below any byte time.
constexpr double kSlack = 1e-9;

const Frame kReadFirmware = makeCommand(1, 252, 0);

DeviceModel unit() {
    DeviceModel device;
    device.setInUse(252, true);
    device.setMemory(252, 62);
    return device;
}

class SimulatedPortTest : public testing::Test {
protected:
    std::unique_ptr<SimulatedPort> makePort(const std::string& faults = "none", SimulatedPortOptions options = {}) {
        return std::make_unique<SimulatedPort>(clock, unit(), parseFaults({faults}), options);
    }

    static void send(SimulatedPort& port, const Frame& frame) {
        for (const auto byte : frame) port.writeByte(byte);
    }

    std::vector<std::uint8_t> expectedReply(const Frame& frame) {
        DeviceModel device = unit();
        const auto reply = device.handleFrame(frame);
        return {reply->begin(), reply->end()};
    }

    test::VirtualClock clock;
};

TEST_F(SimulatedPortTest, WritesTakeOneByteTimeEach) {
    auto port = makePort();
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    EXPECT_NEAR(clock.now(), start + 8 * kByte, kSlack);
    EXPECT_EQ(port->bytesWritten(), 8u);
}

// A frame sent back to back from t: the unit has it at t + 8 byte times,
// answers after its latency, and reply byte k is in at t + (8 + k) byte
// times + latency.
TEST_F(SimulatedPortTest, ReplyBytesArriveOneByteTimeApart) {
    for (const bool waits : {true, false}) {
        SCOPED_TRACE(waits ? "blocking writes" : "queued writes");
        clock.set(1000.0);
        auto port = makePort("none", {kLatency, waits});
        port->open();
        const double start = clock.now();
        send(*port, kReadFirmware);
        for (int k = 1; k <= 8; ++k) {
            const double arrival = start + (8 + k) * kByte + kLatency;
            clock.set(arrival - kSlack);
            EXPECT_EQ(port->bytesAvailable(), static_cast<std::size_t>(k - 1)) << "before byte " << k;
            ASSERT_TRUE(port->nextArrivalTime().has_value());
            EXPECT_NEAR(*port->nextArrivalTime(), arrival, kSlack);
            clock.set(arrival + kSlack);
            EXPECT_EQ(port->bytesAvailable(), static_cast<std::size_t>(k)) << "after byte " << k;
        }
        EXPECT_FALSE(port->nextArrivalTime().has_value());
        EXPECT_EQ(port->readAll(), expectedReply(kReadFirmware));
        EXPECT_EQ(port->bytesAvailable(), 0u);
    }
}

TEST_F(SimulatedPortTest, PausesBetweenBytesDelayTheFrame) {
    auto port = makePort();
    port->open();
    double lastByteStart = 0;
    for (const auto byte : kReadFirmware) {
        lastByteStart = clock.now();
        port->writeByte(byte);
        clock.advance(0.001);  // as the tool's pause between bytes
    }
    const double complete = lastByteStart + kByte + kLatency + 8 * kByte;
    clock.set(complete - kSlack);
    EXPECT_EQ(port->bytesAvailable(), 7u);
    clock.set(complete + kSlack);
    EXPECT_EQ(port->bytesAvailable(), 8u);
}

TEST_F(SimulatedPortTest, LatencyIsConfigurable) {
    auto port = makePort("none", {0.010, true});
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    clock.set(start + 16 * kByte + 0.010 - kSlack);
    EXPECT_EQ(port->bytesAvailable(), 7u);
    clock.set(start + 16 * kByte + 0.010 + kSlack);
    EXPECT_EQ(port->bytesAvailable(), 8u);
}

TEST_F(SimulatedPortTest, DelayFaultAddsToTheLatency) {
    auto port = makePort("delay=300");
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    clock.set(start + 9 * kByte + kLatency + 0.3 - kSlack);
    EXPECT_EQ(port->bytesAvailable(), 0u);
    clock.set(start + 16 * kByte + kLatency + 0.3 + kSlack);
    EXPECT_EQ(port->bytesAvailable(), 8u);
}

TEST_F(SimulatedPortTest, DiscardDropsOnlyWhatHasArrived) {
    auto port = makePort();
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    clock.set(start + 12 * kByte + kLatency + kSlack);
    EXPECT_EQ(port->bytesAvailable(), 4u);
    port->discardInput();
    EXPECT_EQ(port->bytesAvailable(), 0u);
    clock.advance(1.0);
    const auto rest = port->readAll();
    const auto reply = expectedReply(kReadFirmware);
    EXPECT_EQ(rest, std::vector<std::uint8_t>(reply.begin() + 4, reply.end()));
}

TEST_F(SimulatedPortTest, BytesArrivingWhileClosedAreLost) {
    auto port = makePort();
    port->open();
    send(*port, kReadFirmware);
    port->close();
    EXPECT_FALSE(port->nextArrivalTime().has_value());
    clock.advance(1.0);
    EXPECT_EQ(port->bytesAvailable(), 0u);
    EXPECT_TRUE(port->readAll().empty());
    port->open();
    EXPECT_EQ(port->bytesAvailable(), 0u);
    EXPECT_EQ(port->device().frameLog().size(), 1u) << "the unit got the frame all the same";
}

TEST_F(SimulatedPortTest, StaleBytesCountTowardTheNextReply) {
    // Short replies leave seven bytes; the next reply's first byte makes eight.
    auto port = makePort("short");
    port->open();
    send(*port, kReadFirmware);
    clock.advance(0.1);
    EXPECT_EQ(port->bytesAvailable(), 7u);
    send(*port, makeCommand(5, 0, 0));
    clock.advance(0.1);
    EXPECT_EQ(port->bytesAvailable(), 14u);
}

TEST_F(SimulatedPortTest, StrayByteDoesNotWedgeTheUnit) {
    auto port = makePort();
    port->open();
    port->writeByte(0x55);
    port->writeByte(74);
    send(*port, kReadFirmware);
    clock.advance(0.1);
    EXPECT_EQ(port->readAll(), expectedReply(kReadFirmware));
}

TEST_F(SimulatedPortTest, NoAnswerGivesNothingButCountsFrames) {
    auto port = makePort("no-answer");
    port->open();
    for (int attempt = 0; attempt < 3; ++attempt) {
        send(*port, kReadFirmware);
        EXPECT_FALSE(port->nextArrivalTime().has_value());
        clock.advance(2.0);
        EXPECT_EQ(port->bytesAvailable(), 0u);
    }
    EXPECT_EQ(port->device().frameLog().size(), 3u);
}

TEST_F(SimulatedPortTest, AnswerFromSecondAttempt) {
    auto port = makePort("answer-from=2");
    port->open();
    send(*port, kReadFirmware);
    clock.advance(2.0);
    EXPECT_EQ(port->bytesAvailable(), 0u);
    send(*port, kReadFirmware);
    clock.advance(0.1);
    EXPECT_EQ(port->readAll(), expectedReply(kReadFirmware));
}

TEST_F(SimulatedPortTest, ExtraBytesAfterTheReply) {
    auto port = makePort("extra=4");
    port->open();
    send(*port, kReadFirmware);
    clock.advance(0.1);
    const auto bytes = port->readAll();
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8), expectedReply(kReadFirmware));
}

TEST_F(SimulatedPortTest, ReceiveBufferHoldsAtMost1024Bytes) {
    auto port = makePort("extra=2000");
    port->open();
    send(*port, kReadFirmware);
    clock.advance(10.0);
    EXPECT_EQ(port->bytesAvailable(), SimulatedPort::kReceiveBufferSize);
    EXPECT_EQ(port->overrunBytes(), 2008u - SimulatedPort::kReceiveBufferSize);
}

TEST_F(SimulatedPortTest, LineLostAfterTheLastReply) {
    auto port = makePort("disconnect-after=1");
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    const double lost = start + 16 * kByte + kLatency;
    ASSERT_TRUE(port->nextArrivalTime().has_value());

    clock.set(lost - kSlack);
    EXPECT_EQ(port->bytesAvailable(), 7u);
    clock.set(lost + kSlack);
    try {
        port->bytesAvailable();
        FAIL() << "bytesAvailable after the loss";
    } catch (const PortError& error) {
        EXPECT_NE(std::string(error.what()).find("lost"), std::string::npos) << error.what();
    }
    EXPECT_THROW(port->writeByte(74), PortError);
    port->close();
    EXPECT_THROW(port->open(), PortError);
}

TEST_F(SimulatedPortTest, EventLoopWakesForTheLossOfASilentLine) {
    auto port = makePort("no-answer,disconnect-after=1");
    port->open();
    const double start = clock.now();
    send(*port, kReadFirmware);
    ASSERT_TRUE(port->nextArrivalTime().has_value());
    EXPECT_NEAR(*port->nextArrivalTime(), start + 8 * kByte + kLatency, kSlack);
    clock.set(*port->nextArrivalTime());
    EXPECT_THROW(port->bytesAvailable(), PortError);
}

TEST_F(SimulatedPortTest, DisconnectedFromTheStart) {
    auto port = makePort("disconnect-after=0");
    EXPECT_THROW(port->open(), PortError);
}

TEST_F(SimulatedPortTest, PortNumbersOneToNine) {
    auto port = makePort();
    for (const int number : {1, 5, 9}) {
        port->setPortNumber(number);
        EXPECT_EQ(port->portNumber(), number);
        EXPECT_NE(port->deviceName(number).find(std::to_string(number)), std::string::npos);
    }
    for (const int number : {0, 10, -1}) {
        EXPECT_THROW(port->setPortNumber(number), PortError) << number;
        EXPECT_EQ(port->portNumber(), 9);
    }
}

TEST_F(SimulatedPortTest, MisuseOfTheOpenStateThrows) {
    auto port = makePort();
    EXPECT_FALSE(port->isOpen());
    EXPECT_THROW(port->writeByte(74), PortError);
    port->open();
    EXPECT_TRUE(port->isOpen());
    EXPECT_THROW(port->open(), PortError);
    port->close();
    EXPECT_FALSE(port->isOpen());
    port->close();  // closing twice is harmless
}

TEST_F(SimulatedPortTest, WritesReachTheModel) {
    auto port = makePort();
    port->device().setInUse(30, true);
    port->open();
    send(*port, makeCommand(2, 30, 99));
    send(*port, makeCommand(6, 1, 1));
    EXPECT_EQ(port->device().memory(30), 99);
    EXPECT_EQ(port->device().mode(), OperatingMode::Day);
    EXPECT_EQ(port->unit().framesReceived(), 2u);
}

}  // namespace
}  // namespace zrk::sim
