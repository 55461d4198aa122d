#include "sim/faults.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sim/simulated_unit.h"

namespace zrk::sim {
namespace {

struct SpecCase {
    std::vector<std::string> faultTexts;
    std::string described;
};

class FaultSpecs : public testing::TestWithParam<SpecCase> {};

TEST_P(FaultSpecs, ParseAndDescribeAlike) {
    const Faults faults = parseFaults(GetParam().faultTexts);
    EXPECT_EQ(faults.describe(), GetParam().described);
    // What describe() prints reads back to the same faults.
    EXPECT_EQ(parseFaults({faults.describe()}).describe(), GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, FaultSpecs,
    testing::Values(SpecCase{{}, "none"}, SpecCase{{"none"}, "none"}, SpecCase{{"no-answer"}, "no-answer"},
                    SpecCase{{"answer-from=2"}, "answer-from=2"}, SpecCase{{"short"}, "short"},
                    SpecCase{{"garbage"}, "garbage"}, SpecCase{{"extra=4"}, "extra=4"},
                    SpecCase{{"delay=300"}, "delay=300"}, SpecCase{{"drop-every=5"}, "drop-every=5"},
                    SpecCase{{"disconnect-after=10"}, "disconnect-after=10"},
                    SpecCase{{"disconnect-after=0"}, "disconnect-after=0"},
                    SpecCase{{"short", "extra=4"}, "short,extra=4"}, SpecCase{{"short, extra=4"}, "short,extra=4"},
                    SpecCase{{"garbage", "none", "delay=5"}, "delay=5"}, SpecCase{{"stall=4:2200"}, "stall=4:2200"},
                    SpecCase{{"garbage-every=10"}, "garbage-every=10"}, SpecCase{{"free-form"}, "free-form"},
                    SpecCase{{"free-form,extra=20"}, "extra=20,free-form"},
                    SpecCase{{"silent=4,flip=5,duplicate=6,noise=7,previous=8,lose-byte=9,dead-from=10"},
                             "silent=4,flip=5:50,duplicate=6:40,noise=7:3,previous=8,lose-byte=9,dead-from=10"},
                    SpecCase{{"flip=2:63,duplicate=3:100,noise=4:1"}, "flip=2:63,duplicate=3:100,noise=4:1"},
                    SpecCase{{"segment-stuck=2:130", "segment-stuck=4:0"}, "segment-stuck=2:130,segment-stuck=4:0"}));

TEST(FaultSpecs, FillTheFields) {
    const Faults faults = parseFaults({"answer-from=3,delay=250,drop-every=7,disconnect-after=9,extra=12"});
    EXPECT_EQ(faults.answerFromAttempt, 3);
    EXPECT_DOUBLE_EQ(faults.extraDelaySeconds, 0.25);
    EXPECT_EQ(faults.dropEvery, 7);
    EXPECT_EQ(faults.disconnectAfter, 9);
    EXPECT_EQ(faults.extraBytes, 12);
}

TEST(FaultSpecs, RejectBadSpecsNamingThem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bogus", "bogus"},
        {"answer-from", "needs a value"},
        {"answer-from=0", "at least 1"},
        {"extra=-1", "-1"},
        {"delay=abc", "abc"},
        {"short=3", "takes no value"},
        {"", "empty"},
        {"short,,garbage", "empty"},
        {"drop-every=2x", "2x"},
        {"stall=3", "stall=N:MS"},
        {"stall=0:100", "at least 1"},
        {"stall=2:x", "'x'"},
        {"garbage-every=0", "at least 1"},
        {"free-form=1", "takes no value"},
        {"flip=3:64", "past the reply"},
        {"dead-from=0", "at least 1"},
        {"segment-stuck=5:0", "table 1 to 4"},
        {"segment-stuck=1", "segment-stuck=T:OFFSET"},
    };
    for (const auto& [faultText, fragment] : cases) {
        try {
            parseFaults({faultText});
            ADD_FAILURE() << "'" << faultText << "' was accepted";
        } catch (const FaultSpecError& error) {
            EXPECT_NE(std::string(error.what()).find(fragment), std::string::npos)
                << "'" << faultText << "' gave: " << error.what();
        }
    }
}

const Frame kRead = makeCommand(1, 7, 0);
const Frame kOther = makeCommand(1, 8, 0);

DeviceModel unitWithMemory() {
    DeviceModel device;
    device.setMemory(7, 0x77);
    device.setMemory(8, 0x88);
    return device;
}

std::vector<std::uint8_t> replyTo(const Frame& frame) {
    DeviceModel device = unitWithMemory();
    const auto reply = device.handleFrame(frame);
    return {reply->begin(), reply->end()};
}

SimulatedUnit unitWith(const std::string& faultText) {
    return SimulatedUnit(unitWithMemory(), parseFaults({faultText}));
}

TEST(SimulatedUnitFaults, HealthyUnitAnswersEveryFrame) {
    SimulatedUnit unit = unitWith("none");
    for (int i = 0; i < 3; ++i) {
        const UnitResponse response = unit.respond(kRead);
        EXPECT_EQ(response.bytes, replyTo(kRead));
        EXPECT_FALSE(response.lineLost);
    }
    EXPECT_EQ(unit.framesAnswered(), 3u);
}

TEST(SimulatedUnitFaults, NoAnswerStillReceivesAndActs) {
    SimulatedUnit unit = unitWith("no-answer");
    unit.device().setInUse(7, true);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(unit.respond(makeCommand(2, 7, 0x12)).bytes.empty());
    EXPECT_EQ(unit.device().frameLog().size(), 3u);
    EXPECT_EQ(unit.device().memory(7), 0x12);
    EXPECT_EQ(unit.framesAnswered(), 0u);
}

TEST(SimulatedUnitFaults, AnswerFromCountsRepeatsOfOneTransaction) {
    SimulatedUnit unit = unitWith("answer-from=3");
    // attempt: frame sent, answered?
    const std::vector<std::pair<Frame, bool>> sequence = {
        {kRead, false},  {kRead, false}, {kRead, true},   // first transaction
        {kRead, false},  {kRead, false}, {kRead, true},   // same frame again: a new transaction
        {kOther, false}, {kRead, false}, {kOther, false}  // a different frame restarts the count
    };
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const auto& [frame, answered] = sequence[i];
        EXPECT_EQ(!unit.respond(frame).bytes.empty(), answered) << "frame " << i;
    }
}

TEST(SimulatedUnitFaults, ShortGarbageAndExtraShapeTheReply) {
    const auto reply = replyTo(kRead);

    const auto shortReply = unitWith("short").respond(kRead).bytes;
    EXPECT_EQ(shortReply, std::vector<std::uint8_t>(reply.begin(), reply.begin() + 7));

    const auto garbage = unitWith("garbage").respond(kRead).bytes;
    EXPECT_EQ(garbage.size(), 8u);
    EXPECT_NE(garbage, reply);

    const auto extra = unitWith("extra=4").respond(kRead).bytes;
    ASSERT_EQ(extra.size(), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(extra.begin(), extra.begin() + 8), reply);

    const auto shortWithExtra = unitWith("short,extra=4").respond(kRead).bytes;
    ASSERT_EQ(shortWithExtra.size(), 11u);
    EXPECT_EQ(std::vector<std::uint8_t>(shortWithExtra.begin(), shortWithExtra.begin() + 7),
              std::vector<std::uint8_t>(reply.begin(), reply.begin() + 7));
}

TEST(SimulatedUnitFaults, DelayIsReportedWithTheReply) {
    const UnitResponse response = unitWith("delay=300").respond(kRead);
    EXPECT_EQ(response.bytes, replyTo(kRead));
    EXPECT_DOUBLE_EQ(response.extraDelaySeconds, 0.3);
}

TEST(SimulatedUnitFaults, StallDelaysOneAnswerOnly) {
    SimulatedUnit unit = unitWith("stall=2:2200");
    std::vector<double> delays;
    for (int i = 0; i < 4; ++i) delays.push_back(unit.respond(i % 2 ? kRead : kOther).extraDelaySeconds);
    EXPECT_EQ(delays, (std::vector<double>{0.0, 2.2, 0.0, 0.0}));
}

TEST(SimulatedUnitFaults, GarbageEveryKthAnswer) {
    SimulatedUnit unit = unitWith("garbage-every=3");
    for (int i = 1; i <= 7; ++i) {
        const auto bytes = unit.respond(kRead).bytes;
        ASSERT_EQ(bytes.size(), 8u);
        EXPECT_EQ(isValidFrame(Frame{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7]}),
                  i % 3 != 0)
            << "answer " << i;
    }
}

TEST(SimulatedUnitFaults, FreeFormRepliesKeepTheDataButNotTheFraming) {
    const auto reply = replyTo(kRead);
    const auto bytes = unitWith("free-form").respond(kRead).bytes;
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 2, bytes.begin() + 7),
              std::vector<std::uint8_t>(reply.begin() + 2, reply.begin() + 7));
    EXPECT_NE(bytes[0], kHeaderFirst);
    EXPECT_NE(bytes[1], kHeaderSecond);
}

TEST(SimulatedUnitFaults, DropEveryKthFrame) {
    SimulatedUnit unit = unitWith("drop-every=3");
    std::vector<bool> answered;
    for (int i = 0; i < 7; ++i) answered.push_back(!unit.respond(i % 2 ? kRead : kOther).bytes.empty());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false, true}));
}

TEST(SimulatedUnitFaults, DisconnectAfterNFrames) {
    SimulatedUnit unit = unitWith("disconnect-after=2");
    EXPECT_FALSE(unit.respond(kRead).lineLost);
    const UnitResponse last = unit.respond(kOther);
    EXPECT_EQ(last.bytes, replyTo(kOther)) << "the last frame is still answered";
    EXPECT_TRUE(last.lineLost);
    EXPECT_TRUE(unit.lineLost());
    EXPECT_TRUE(unit.respond(kRead).bytes.empty());
    EXPECT_EQ(unit.framesReceived(), 2u) << "nothing reaches a unit whose line is gone";
}

TEST(SimulatedUnitFaults, CombineNoAnswerWithDisconnect) {
    SimulatedUnit unit = unitWith("no-answer,disconnect-after=1");
    const UnitResponse response = unit.respond(kRead);
    EXPECT_TRUE(response.bytes.empty());
    EXPECT_TRUE(response.lineLost);
}

}  // namespace
}  // namespace zrk::sim

namespace zrk::sim {
namespace {

// The faults on one frame spoil that frame's answer only; the same frame
// sent again is answered as a healthy unit would.
TEST(SimulatedUnitFaults, OneFrameFaultsSpoilOnlyThatFrame) {
    const auto reply = replyTo(kRead);
    const auto other = replyTo(kOther);
    struct Case {
        const char* fault;
        std::function<void(const UnitResponse&)> second;  // the answer to frame 2
    };
    const std::vector<Case> cases = {
        {"silent=2", [](const UnitResponse& r) { EXPECT_TRUE(r.bytes.empty()); }},
        {"flip=2:50",
         [&](const UnitResponse& r) {
             auto flipped = other;
             flipped[6] ^= 4;
             EXPECT_EQ(r.bytes, flipped);
         }},
        {"duplicate=2:25",
         [&](const UnitResponse& r) {
             EXPECT_EQ(r.bytes, other);
             EXPECT_DOUBLE_EQ(r.repeatAfterSeconds.value_or(0), 0.025);
         }},
        {"noise=2:5",
         [&](const UnitResponse& r) {
             ASSERT_EQ(r.bytes.size(), 13u);
             EXPECT_EQ(std::vector<std::uint8_t>(r.bytes.begin() + 5, r.bytes.end()), other);
         }},
        {"previous=2", [&](const UnitResponse& r) { EXPECT_EQ(r.bytes, reply); }},
        {"lose-byte=2", [&](const UnitResponse& r) { EXPECT_EQ(r.bytes.size(), 7u); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SimulatedUnit unit = unitWith(c.fault);
        EXPECT_EQ(unit.respond(kRead).bytes, reply);
        c.second(unit.respond(kOther));
        const auto retry = unit.respond(kOther);
        EXPECT_EQ(retry.bytes, other);
        EXPECT_FALSE(retry.repeatAfterSeconds);
    }
}

TEST(SimulatedUnitFaults, DeadLineTakesNothingInAndSendsNothingBack) {
    SimulatedUnit unit = unitWith("dead-from=2");
    unit.device().setInUse(7, true);
    EXPECT_FALSE(unit.respond(kRead).bytes.empty());
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(unit.respond(makeCommand(2, 7, 0x12)).bytes.empty());
    EXPECT_TRUE(unit.lineDead());
    EXPECT_EQ(unit.device().memory(7), 0x77) << "a write on a dead line never reaches the unit";
    EXPECT_EQ(unit.device().frameLog().size(), 1u);
}

TEST(SimulatedUnitFaults, StuckSegmentCellAnswersAndKeepsItsByte) {
    SimulatedUnit unit = unitWith("segment-stuck=2:130");
    unit.device().setSegment(2, 130, 9);
    EXPECT_FALSE(unit.respond(makeCommand(DeviceModel::kWriteSegmentFirst + 1, 130, 44)).bytes.empty());
    EXPECT_FALSE(unit.respond(makeCommand(DeviceModel::kWriteSegmentFirst + 1, 131, 45)).bytes.empty());
    EXPECT_EQ(unit.device().segment(2, 130), 9);
    EXPECT_EQ(unit.device().segment(2, 131), 45);
}

}  // namespace
}  // namespace zrk::sim
