// The command transaction: frame, check byte, reply, time limit, attempts,
// and the pause that paces it. All on the virtual clock.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "link/device_link.h"
#include "link/speed_test.h"
#include "scripted_port.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"

namespace zrk::test {
namespace {

using link::RespuestaComando;
using link::TramaComando;

TEST(Frame, BytesAndCheckByte) {
    struct Case {
        TramaComando trama;
        std::array<std::uint8_t, 8> frame;
    };
    const Case cases[] = {
        {{0, 6, 0, 1}, {74, 88, 0, 0, 6, 0, 1, 248}},  // lamp changer on
        {{0, 6, 0, 0}, {74, 88, 0, 0, 6, 0, 0, 249}},  // changer off
        {{0, 6, 1, 0}, {74, 88, 0, 0, 6, 1, 0, 248}},  // normal
        {{0, 6, 1, 1}, {74, 88, 0, 0, 6, 1, 1, 249}},  // day
        {{0, 6, 1, 2}, {74, 88, 0, 0, 6, 1, 2, 250}},  // night
        {{0, 6, 2, 1}, {74, 88, 0, 0, 6, 2, 1, 250}},  // mains failure on
        {{0, 6, 2, 0}, {74, 88, 0, 0, 6, 2, 0, 251}},  // mains failure off
        {{0, 6, 3, 0}, {74, 88, 0, 0, 6, 3, 0, 250}},  // motor 1
        {{0, 6, 3, 1}, {74, 88, 0, 0, 6, 3, 1, 251}},  // motor 2
        {{0, 5, 0, 0}, {74, 88, 0, 0, 5, 0, 0, 250}},
        {{0, 1, 16, 0}, {74, 88, 0, 0, 1, 16, 0, 238}},
        {{4660, 1, 0, 0}, {74, 88, 18, 52, 1, 0, 0, 255 ^ 18 ^ 52 ^ 1}},
        {{0x12345, 0, 0, 0}, {74, 88, 0x23, 0x45, 0, 0, 0, 255 ^ 0x23 ^ 0x45}},  // only 16 bits travel
    };
    for (const auto& c : cases) {
        EXPECT_EQ(link::frameBytes(c.trama), c.frame) << int(c.trama.Comando) << "/" << int(c.trama.Parametro1);
        EXPECT_EQ(link::checkByte(c.trama), c.frame[7]);
    }
}

TEST(Frame, SignedNumberLeavesABlankForTheSign) {
    EXPECT_EQ(link::signedNumber(7), " 7");
    EXPECT_EQ(link::signedNumber(0), " 0");
    EXPECT_EQ(link::signedNumber(-7), "-7");
}

struct ScriptedRig {
    VirtualClock clock;
    ScriptedPort port{clock};
    FakeEventLoop events{clock};
    std::vector<std::string> statuses;
    link::DeviceLink link{port, events, clock, [this](const std::string& s) { statuses.push_back(s); }};
    ScriptedRig() {
        link.ContadorPausa = 1;
        port.open();
    }
};

// A reply framed as the unit frames it, its check byte over bytes 3 to 7.
// (A unit that never frames its replies is the line watch's to test.)
const std::vector<std::uint8_t> kReply = {74, 88, 0x12, 0x34, 0xA1, 0xB2, 0xC3, 0x09};

TEST(Transaction, EightOrTwelveBytesGiveTheSameFields) {
    for (std::size_t extra : {0u, 4u}) {
        ScriptedRig rig;
        auto bytes = kReply;
        bytes.insert(bytes.end(), extra, 0xEE);
        rig.port.replies.push_back({bytes});
        const RespuestaComando r = rig.link.EnviarComando({0, 1, 5, 0});
        EXPECT_EQ(r.Resultado, 6);
        EXPECT_EQ(r.Valor, 0x1234);
        EXPECT_EQ(r.Dato1, 0xA1);
        EXPECT_EQ(r.Dato2, 0xB2);
        EXPECT_EQ(r.Dato3, 0xC3);
        EXPECT_EQ(rig.port.frames.size(), 1u);
        EXPECT_TRUE(rig.statuses.empty()) << "success leaves the status line alone";
        EXPECT_EQ(rig.port.bytesAvailable(), 0u) << "bytes past the eighth are read and dropped";
    }
}

TEST(Transaction, NoAnswerMakesThreeAttemptsAndFails) {
    ScriptedRig rig;
    const double start = rig.clock.now();
    const RespuestaComando r = rig.link.EnviarComando({0, 6, 1, 2});
    EXPECT_EQ(r.Resultado, 21);
    EXPECT_EQ(r.Valor, 0);
    EXPECT_EQ(r.Dato3, 0);
    ASSERT_EQ(rig.port.frames.size(), 3u);
    for (const auto& frame : rig.port.frames) EXPECT_EQ(frame, (std::vector<std::uint8_t>{74, 88, 0, 0, 6, 1, 2, 250}));
    EXPECT_EQ(rig.statuses, (std::vector<std::string>{"Time Out Transmision", "Error R  1", "Time Out Transmision",
                                                      "Error R  2", "Time Out Transmision", "Error R  3"}));
    // Three times: 7 pacing pauses, a little over 2 s of waiting, 100 ms of
    // quiet line before anything else goes out, 20 ms trailing pause.
    EXPECT_NEAR(rig.clock.now() - start, 3 * (0.007 + 2.001 + 0.100 + 0.020), 1e-6);
}

TEST(Transaction, AnswerOnTheSecondAttempt) {
    ScriptedRig rig;
    rig.port.replies.push_back({{}});
    rig.port.replies.push_back({kReply});
    const RespuestaComando r = rig.link.EnviarComando({0, 1, 0, 0});
    EXPECT_EQ(r.Resultado, 6);
    EXPECT_EQ(r.Dato3, 0xC3);
    EXPECT_EQ(rig.port.frames.size(), 2u);
    EXPECT_EQ(rig.statuses, (std::vector<std::string>{"Time Out Transmision", "Error R  1"}));
}

TEST(Transaction, StaleBytesOfAnEarlierAttemptAreNotGluedToTheReply) {
    ScriptedRig rig;
    rig.port.replies.push_back({{1, 2, 3, 4, 5, 6, 7}});  // seven bytes, then nothing
    rig.port.replies.push_back({kReply});
    const RespuestaComando r = rig.link.EnviarComando({0, 1, 0, 0});
    EXPECT_EQ(r.Resultado, 6);
    EXPECT_EQ(r.Valor, 0x1234) << "the unit's own reply, not the stale bytes";
    EXPECT_EQ(r.Dato3, 0xC3);
}

TEST(Transaction, TimeLimitIsStrictlyMoreThanTwoSeconds) {
    ScriptedRig rig;
    rig.port.replies.push_back({kReply, 2.0});  // arrives exactly at the limit: still in time
    EXPECT_EQ(rig.link.EnviarComando({0, 1, 0, 0}).Resultado, 6);
    EXPECT_EQ(rig.port.frames.size(), 1u);
}

TEST(Transaction, AgainstTheSimulatedUnit) {
    VirtualClock clock;
    FakeEventLoop events(clock);
    sim::SimulatedPort port(clock, sim::loadScenarioByName("led-lantern").device);
    link::DeviceLink link(port, events, clock, [](const std::string&) {});
    link.ContadorPausa = 1;
    link.AbrirCom();
    const auto expected = sim::replyData3(*port.device().handleFrame(sim::makeCommand(1, 17, 0)));
    port.device().clearFrameLog();
    const RespuestaComando r = link.EnviarComando({0, 1, 17, 0});
    EXPECT_EQ(r.Resultado, 6);
    EXPECT_EQ(r.Dato3, expected);
    EXPECT_EQ(port.device().frameLog().size(), 1u);
}

TEST(Pause, LastsItsUnitsOnlyOnceCalibrated) {
    VirtualClock clock;
    FakeSerialPort port;
    FakeEventLoop events(clock);
    link::DeviceLink link(port, events, clock, [](const std::string&) {});
    const double t0 = clock.now();
    link.Pausa(2000);
    EXPECT_EQ(clock.now(), t0) << "before calibration a pause returns at once";
    link.ContadorPausa = 123;
    link.Pausa(20);
    EXPECT_NEAR(clock.now() - t0, 0.020, 1e-12);
    link.Pausa(0);
    link.Pausa(-5);
    EXPECT_NEAR(clock.now() - t0, 0.020, 1e-12);
}

TEST(SpeedTest, CountAndMessages) {
    struct Case {
        double measure, check;
        const char* decimal;
        std::int32_t count;
        const char* finalStatus;
    };
    const Case cases[] = {
        {0.5, 1.2, ".", 200000, "Index =  200000"},          {0.5, 1.31, ".", 200000, "Out speed computer 1.31"},
        {0.5, 0.69, ",", 200000, "Out speed computer 0,69"}, {0.4, 1.0, ".", 250000, "Index =  250000"},
        {0.0, 1.0, ".", 2147483647, "Index =  2147483647"},  // a clock too coarse to see the loop
    };
    for (const auto& c : cases) {
        VirtualClock clock;
        clock.set(0.0);
        FakeSerialPort port;
        FakeEventLoop events(clock);
        std::vector<std::string> statuses;
        link::DeviceLink link(port, events, clock, [](const std::string&) {});
        int calls = 0;
        link::MedirVelocidad({link, events, clock, [&](const std::string& s) { statuses.push_back(s); }, c.decimal,
                              [&](std::int64_t) { clock.advance(calls++ == 0 ? c.measure : c.check); }});
        EXPECT_EQ(link.ContadorPausa, c.count) << c.measure;
        ASSERT_GE(statuses.size(), 2u);
        EXPECT_EQ(statuses.front(), "Testing speed");
        EXPECT_EQ(statuses.back(), c.finalStatus) << c.measure << " " << c.check;
    }
}

TEST(SpeedTest, EmptyLoopReallyRuns) {
    using namespace std::chrono;
    const auto t0 = steady_clock::now();
    link::runEmptyLoop(20'000'000);
    EXPECT_GT(steady_clock::now() - t0, microseconds(100)) << "the compiler removed the loop";
}

}  // namespace
}  // namespace zrk::test
