// What the link tells its observers and counts, what each frame means, and
// the guards against wrong replies: waiting for a quiet line after a
// missed attempt or a long reply, and refusing replies that break what the
// unit has shown of itself (framing, repeating the question, eight bytes). All
// on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "fake_platform.h"
#include "link/device_link.h"
#include "link/line_trace.h"
#include "scripted_port.h"
#include "texts/texts.h"

namespace zrk::test {
namespace {

using link::LineEvent;
using link::LineEventKind;

struct Recorder : link::LineObserver {
    std::vector<LineEvent> events;
    std::vector<double> rests;  // the ends of the rests after replies
    void lineEvent(const LineEvent& event) override { events.push_back(event); }
    void lineIdle(double until) override { rests.push_back(until); }
    std::vector<LineEventKind> kinds() const {
        std::vector<LineEventKind> out;
        for (const auto& e : events) out.push_back(e.kind);
        return out;
    }
};

struct Rig {
    VirtualClock clock;
    ScriptedPort port{clock};
    FakeEventLoop events{clock};
    std::vector<std::string> statuses;
    link::DeviceLink link{port, events, clock, [this](const std::string& s) { statuses.push_back(s); }};
    Recorder recorder;
    Rig() {
        link.ContadorPausa = 1;
        link.AbrirCom();
        link.addObserver(&recorder);
    }
};

// A well-formed reply to a read: 'J', 'X', Valor, command, address, the byte, check.
std::vector<std::uint8_t> framed(std::uint8_t address, std::uint8_t value) {
    std::vector<std::uint8_t> r = {74, 88, 0, 0, 1, address, value, 0};
    r[7] = static_cast<std::uint8_t>(255 ^ r[2] ^ r[3] ^ r[4] ^ r[5] ^ r[6]);
    return r;
}
// The same data under a header of the unit's own.
std::vector<std::uint8_t> freeForm(std::uint8_t address, std::uint8_t value) {
    return {'Z', 'K', 0, 0, 1, address, value, 0x5A};
}

TEST(FrameMeaning, EveryCommandCodeOfTheTable) {
    const texts::TextTable english(texts::Language::English);
    struct Case {
        std::uint8_t command, p1, p2, data3;
        const char* sent;
        const char* answered;
    };
    const Case cases[] = {
        {1, 49, 0, 80, "read address 49", "read address 49 \u2192 80"},
        {2, 28, 0, 0, "write address 28 \u2190 0", "write address 28 \u2190 0 \u2192 OK"},
        {5, 0, 0, 3, "status byte A", "status byte A \u2192 3"},
        {5, 1, 0, 9, "status byte B", "status byte B \u2192 9"},
        {5, 2, 0, 1, "current, high byte", "current, high byte \u2192 1"},
        {5, 3, 0, 2, "current, low byte", "current, low byte \u2192 2"},
        {5, 4, 0, 0, "speed, high byte", "speed, high byte \u2192 0"},
        {5, 5, 0, 7, "speed, low byte", "speed, low byte \u2192 7"},
        {5, 6, 0, 0, "LED current, high byte", "LED current, high byte \u2192 0"},
        {5, 7, 0, 5, "LED current, low byte", "LED current, low byte \u2192 5"},
        {5, 8, 0, 255, "inputs 1 to 8", "inputs 1 to 8 \u2192 255"},
        {5, 9, 0, 1, "outputs 1 to 8", "outputs 1 to 8 \u2192 1"},
        {5, 10, 0, 4, "outputs 9 to 11", "outputs 9 to 11 \u2192 4"},
        {5, 11, 0, 0, "status selector 11", "status selector 11 \u2192 0"},
        {6, 0, 0, 0, "remote: lamp changer off", "remote: lamp changer off \u2192 OK"},
        {6, 0, 1, 1, "remote: lamp changer on", "remote: lamp changer on \u2192 OK"},
        {6, 1, 0, 0, "remote: normal mode", "remote: normal mode \u2192 OK"},
        {6, 1, 1, 1, "remote: day mode", "remote: day mode \u2192 OK"},
        {6, 1, 2, 2, "remote: night mode", "remote: night mode \u2192 OK"},
        {6, 2, 0, 0, "remote: mains failure off", "remote: mains failure off \u2192 OK"},
        {6, 2, 1, 1, "remote: mains failure on", "remote: mains failure on \u2192 OK"},
        {6, 3, 0, 0, "remote: motor 1", "remote: motor 1 \u2192 OK"},
        {6, 3, 1, 1, "remote: motor 2", "remote: motor 2 \u2192 OK"},
        {6, 1, 3, 0, "remote: function 1, state 3", "remote: function 1, state 3 \u2192 OK"},
        {6, 4, 0, 0, "remote: function 4, state 0", "remote: function 4, state 0 \u2192 OK"},
        {128, 5, 0, 255, "identification byte 5", "identification byte 5 \u2192 0xFF"},
        {128, 31, 0, 10, "identification byte 31", "identification byte 31 \u2192 0x0A"},
        {131, 0, 7, 7, "write segment table 1, offset 0 \u2190 7",
         "write segment table 1, offset 0 \u2190 7 \u2192 OK"},
        {132, 5, 120, 120, "write segment table 2, offset 5 \u2190 120",
         "write segment table 2, offset 5 \u2190 120 \u2192 OK"},
        {134, 194, 1, 1, "write segment table 4, offset 194 \u2190 1",
         "write segment table 4, offset 194 \u2190 1 \u2192 OK"},
        {135, 66, 0, 30, "read segment table 1, offset 66", "read segment table 1, offset 66 \u2192 30"},
        {138, 128, 0, 9, "read segment table 4, offset 128", "read segment table 4, offset 128 \u2192 9"},
        {0, 1, 2, 0, "command 0, parameters 1 and 2", "command 0, parameters 1 and 2 \u2192 OK"},
        {130, 0, 0, 0, "command 130, parameters 0 and 0", "command 130, parameters 0 and 0 \u2192 OK"},
        {139, 0, 0, 0, "command 139, parameters 0 and 0", "command 139, parameters 0 and 0 \u2192 OK"},
    };
    for (const auto& c : cases) {
        const auto frame = link::frameBytes({0, c.command, c.p1, c.p2});
        const std::vector<std::uint8_t> reply = {74, 88, 0, 0, c.command, c.p1, c.data3, 0};
        EXPECT_EQ(link::commandMeaning(english, frame), c.sent);
        EXPECT_EQ(link::replyMeaning(english, frame, reply), c.answered);
    }
    // The meanings follow the operator's language.
    const texts::TextTable spanish(texts::Language::SpanishModern);
    EXPECT_EQ(link::commandMeaning(spanish, link::frameBytes({0, 6, 1, 1})), "telemando: modo d\u00eda");
    const texts::TextTable french(texts::Language::French);
    EXPECT_EQ(link::replyMeaning(french, link::frameBytes({0, 1, 49, 0}), framed(49, 80)),
              "lecture adresse 49 \u2192 80");
}

TEST(FrameMeaning, WellFormedReplies) {
    EXPECT_TRUE(link::isWellFormedReply(framed(3, 4)));
    auto longer = framed(3, 4);
    longer.push_back(0xEE);
    EXPECT_TRUE(link::isWellFormedReply(longer)) << "only the first eight bytes count";
    auto badCheck = framed(3, 4);
    badCheck[7] ^= 1;
    EXPECT_FALSE(link::isWellFormedReply(badCheck));
    EXPECT_FALSE(link::isWellFormedReply(freeForm(3, 4)));
    EXPECT_FALSE(link::isWellFormedReply({74, 88, 0, 0, 1, 3, 4}));
}

TEST(LineEvents, OneTransactionOfEachKind) {
    Rig rig;
    rig.port.replies.push_back({{}});              // attempt 1: nothing
    rig.port.replies.push_back({framed(49, 80)});  // attempt 2: the reply
    const double t0 = rig.clock.now();
    EXPECT_EQ(rig.link.EnviarComando({0, 1, 49, 0}).Dato3, 80);
    ASSERT_EQ(rig.recorder.kinds(), (std::vector<LineEventKind>{LineEventKind::Sent, LineEventKind::NoReply,
                                                                LineEventKind::Sent, LineEventKind::Reply}));
    const auto& e = rig.recorder.events;
    EXPECT_EQ(e[0].meaning, "read address 49");
    EXPECT_EQ(e[0].bytes, (std::vector<std::uint8_t>{74, 88, 0, 0, 1, 49, 0, 255 ^ 1 ^ 49}));
    EXPECT_EQ(e[0].attempt, 1);
    EXPECT_EQ(e[1].attempt, 1);
    EXPECT_TRUE(e[1].failure());
    EXPECT_EQ(e[1].meaning, "no reply, attempt 1 of 3");
    EXPECT_NEAR(e[1].time - t0, 0.007 + 2.001, 1e-9);
    EXPECT_EQ(e[2].attempt, 2);
    EXPECT_EQ(e[3].meaning, "read address 49 \u2192 80");
    EXPECT_EQ(e[3].bytes, framed(49, 80));
    EXPECT_FALSE(e[3].failure());
    EXPECT_LT(e[2].time, e[3].time);
    // One rest, after the reply: the trailing pause, which the link keeps.
    ASSERT_EQ(rig.recorder.rests.size(), 1u);
    EXPECT_NEAR(rig.recorder.rests[0], e[3].time + 0.020, 1e-9);
    EXPECT_NEAR(rig.clock.now(), e[3].time + 0.020, 1e-9);
}

TEST(LineEvents, NothingIsBuiltForNobodyAndDetachingStopsThem) {
    Rig rig;
    rig.link.removeObserver(&rig.recorder);
    rig.port.replies.push_back({framed(1, 2)});
    rig.link.EnviarComando({0, 1, 1, 0});
    EXPECT_TRUE(rig.recorder.events.empty());
    EXPECT_EQ(rig.link.counters().transactions, 1u) << "the counters run all the same";
}

TEST(LateReplies, AReplyAfterTheTimeLimitIsNeverTakenForTheNextQuestion) {
    // The first question is answered 2.2 s late: after its own time limit,
    // and (without the quiet wait) inside the time of the next attempt.
    struct Case {
        double late;          // when the late reply arrives after the first frame
        std::size_t dropped;  // late bytes thrown away
    };
    for (const Case c : {Case{2.05, 8}, Case{2.09, 8}}) {
        Rig rig;
        rig.port.replies.push_back({framed(10, 0xAA), c.late});
        rig.port.replies.push_back({framed(10, 0xAA)});  // the retry's own reply
        rig.port.replies.push_back({framed(11, 0xBB)});
        const auto first = rig.link.EnviarComando({0, 1, 10, 0});
        const auto second = rig.link.EnviarComando({0, 1, 11, 0});
        EXPECT_EQ(first.Dato3, 0xAA) << c.late;
        EXPECT_EQ(second.Dato3, 0xBB) << c.late << ": the late reply went to the next question";
        EXPECT_EQ(rig.link.counters().lateBytesDropped, c.dropped) << c.late;
        EXPECT_EQ(rig.link.counters().retries, 1u);
        EXPECT_EQ(rig.link.counters().attemptsWithoutReply, 1u);
    }
}

TEST(LateReplies, TheQuietWaitHasALimit) {
    // Chatter every 50 ms for a second after the time limit holds the next
    // attempt back by half a second, not longer.
    Rig rig;
    ScriptedPort::Reply chatter;
    for (int i = 0; i < 20; ++i) chatter.later.push_back({2.05 + 0.05 * i, {0x55}});
    rig.port.replies.push_back(chatter);
    rig.link.EnviarComando({0, 1, 1, 0});
    const auto& e = rig.recorder.events;
    ASSERT_GE(e.size(), 4u);
    ASSERT_EQ(e[1].kind, LineEventKind::NoReply);
    ASSERT_EQ(e[2].kind, LineEventKind::Late);
    ASSERT_EQ(e[3].kind, LineEventKind::Sent);
    // The limit, the trailing pause of 20 ms and the pacing of the frame.
    EXPECT_NEAR(e[3].time - e[1].time, 0.500 + 0.020 + 0.007, 1e-9);
    EXPECT_EQ(e[2].bytes.size(), 10u) << "the bytes at 2.05 to 2.50 s";
}

TEST(TrailingBytes, AreDroppedAndWaitedOutBeforeTheNextFrame) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> tail;
        double tailAt;  // seconds after the frame; 0: in the reply's own burst
    };
    const Case cases[] = {
        {"tail in the same burst", {0xE1, 0xE2, 0xE3, 0xE4}, 0.0},
        {"tail just after the reply", std::vector<std::uint8_t>(20, 0x4A), 0.012},
        {"tail during the trailing pause", {74, 88, 0}, 0.025},
    };
    for (const auto& c : cases) {
        Rig rig;
        ScriptedPort::Reply first{framed(1, 0x11)};
        if (c.tailAt == 0.0) {
            first.bytes.insert(first.bytes.end(), c.tail.begin(), c.tail.end());
        } else {
            first.later.push_back({c.tailAt, c.tail});
        }
        rig.port.replies.push_back(first);
        rig.port.replies.push_back({framed(2, 0x22)});
        const auto r1 = rig.link.EnviarComando({0, 1, 1, 0});
        const auto r2 = rig.link.EnviarComando({0, 1, 2, 0});
        EXPECT_EQ(r1.Dato3, 0x11) << c.name;
        EXPECT_EQ(r2.Dato3, 0x22) << c.name;
        const auto& n = rig.link.counters();
        EXPECT_EQ(n.lateBytesDropped + n.staleBytesDiscarded, c.tail.size()) << c.name;
        EXPECT_EQ(n.retries, 0u) << c.name;
    }
}

TEST(Trace, FramesRepliesAndWhatWasThrownAway) {
    Rig rig;
    std::ostringstream text;
    link::LineTrace trace(text, rig.clock.now());
    rig.link.addObserver(&trace);
    ScriptedPort::Reply first{framed(1, 0x11)};
    first.bytes.push_back(0xEE);
    first.later.push_back({2.5, {74, 88, 0}});  // unasked, waiting when the next question starts
    first.later.push_back({4.0, {1, 2, 3}});    // unasked, coming in while it waits
    rig.port.replies.push_back(first);
    rig.port.replies.push_back({{}});
    rig.port.replies.push_back({framed(2, 0x22)});
    rig.link.EnviarComando({0, 1, 1, 0});
    rig.clock.advance(3.0);
    rig.link.EnviarComando({0, 1, 2, 0});
    EXPECT_EQ(text.str(),
              "   0.007 TX 4A 58 00 00 01 01 00 FF\n"
              "   0.017 RX 4A 58 00 00 01 01 11 EE\n"
              "   0.017 -- beyond the eighth byte: EE\n"
              "   3.137 -- discarded 3 stale bytes: 4A 58 00\n"
              "   3.244 TX 4A 58 00 00 01 02 00 FC\n"
              "   5.245 -- no reply, attempt 1 of 3\n"
              "   5.245 -- dropped 3 late bytes: 01 02 03\n"
              "   5.372 TX 4A 58 00 00 01 02 00 FC\n"
              "   5.382 RX 4A 58 00 00 01 02 22 DE\n");
}

// What the unit has shown decides which replies are taken: a malformed
// reply fails its attempt unless the unit has never framed one and all
// three attempts brought malformed replies.
TEST(ReplyHabits, FramingDecidesWhichMalformedRepliesAreTaken) {
    struct Case {
        const char* name;
        bool framedBefore;   // one well-formed reply first
        bool silentBetween;  // then a transaction that hears nothing
        int reopenOn;        // the port closed and opened again on this number (0: not reopened)
        std::vector<std::vector<std::uint8_t>> replies;  // to the transaction under test
        std::uint8_t resultado, dato3;
        bool neverFrames;  // what the link knows afterwards
    };
    const auto garbage = std::vector<std::uint8_t>{0x13, 0x37, 0, 0, 1, 9, 0x66, 0};
    const Case cases[] = {
        {"fresh: refused, the retry answers", false, false, 0, {garbage, framed(9, 0x99)}, 6, 0x99, false},
        {"fresh: three malformed, the last is taken", false, false, 0, {garbage, garbage, garbage}, 6, 0x66, true},
        {"a unit with its own header", false, false, 0, {freeForm(9, 1), freeForm(9, 2), freeForm(9, 3)}, 6, 3, true},
        {"after one framed reply: three malformed fail", true, false, 0, {garbage, garbage, garbage}, 21, 0, false},
        {"carried over a reopening", true, false, 1, {garbage, garbage, garbage}, 21, 0, false},
        {"another port: learnt afresh", true, false, 2, {garbage, garbage, garbage}, 6, 0x66, true},
        {"a silent transaction forgets", true, true, 0, {garbage, garbage, garbage}, 6, 0x66, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        if (c.framedBefore) {
            rig.port.replies.push_back({framed(1, 0)});
            rig.link.EnviarComando({0, 1, 1, 0});
            EXPECT_TRUE(rig.link.unitFramesReplies());
        }
        if (c.silentBetween) rig.link.EnviarComando({0, 1, 1, 0});
        if (c.reopenOn) {
            rig.link.CerrarCom();
            rig.port.setPortNumber(c.reopenOn);
            rig.link.AbrirCom();
        }
        const auto framesBefore = rig.port.frames.size();
        for (const auto& r : c.replies) rig.port.replies.push_back({r});
        const auto result = rig.link.EnviarComando({0, 1, 9, 0});
        EXPECT_EQ(result.Resultado, c.resultado);
        EXPECT_EQ(result.Dato3, c.dato3);
        EXPECT_EQ(rig.port.frames.size() - framesBefore, c.replies.size());
        EXPECT_EQ(rig.link.unitNeverFrames(), c.neverFrames);
        if (c.neverFrames) {
            // From then on its replies are taken as they come.
            rig.port.replies.push_back({c.replies.back()});
            EXPECT_EQ(rig.link.EnviarComando({0, 1, 9, 0}).Resultado, 6);
            EXPECT_EQ(rig.port.frames.size() - framesBefore, c.replies.size() + 1);
        }
    }
}

// Replies that repeat the question (command and address in bytes 5 and 6)
// make one for another question fail its attempt: a reply that came twice
// cannot then land on the next question. Before eight in a row the last
// attempt still takes what comes.
TEST(ReplyHabits, AReplyToAnotherQuestionFailsItsAttempt) {
    struct Case {
        const char* name;
        int echoedBefore;
        std::vector<std::vector<std::uint8_t>> replies;
        std::uint8_t resultado, dato3;
        bool toldCannotTell;
    };
    const auto other = framed(8, 0x88);  // the reply to "read address 8"
    const Case cases[] = {
        {"after eight: refused, the retry answers", 8, {other, framed(9, 0x99)}, 6, 0x99, false},
        {"after eight: three others fail", 8, {other, other, other}, 21, 0, false},
        {"after one: refused, the retry answers", 1, {other, framed(9, 0x99)}, 6, 0x99, false},
        {"after one: the last attempt takes it", 1, {other, other, other}, 6, 0x88, true},
        {"a unit that never repeats: taken, said once", 0, {other}, 6, 0x88, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        for (int i = 0; i < c.echoedBefore; ++i) {
            rig.port.replies.push_back({framed(static_cast<std::uint8_t>(i), 0)});
            rig.link.EnviarComando({0, 1, static_cast<std::uint8_t>(i), 0});
        }
        const auto framesBefore = rig.port.frames.size();
        for (const auto& r : c.replies) rig.port.replies.push_back({r});
        const auto result = rig.link.EnviarComando({0, 1, 9, 0});
        EXPECT_EQ(result.Resultado, c.resultado);
        EXPECT_EQ(result.Dato3, c.dato3);
        EXPECT_EQ(rig.port.frames.size() - framesBefore, c.replies.size());
        const auto told = [&rig] {
            return std::count_if(rig.recorder.events.begin(), rig.recorder.events.end(),
                                 [](const LineEvent& e) { return e.note == link::ReplyNote::CannotTellRepeats; });
        };
        EXPECT_EQ(told(), c.toldCannotTell ? 1 : 0);
        // Said once: another reply that does not repeat the question is taken quietly.
        rig.port.replies.push_back({framed(7, 1)});
        rig.link.EnviarComando({0, 1, 9, 0});
        if (c.toldCannotTell) {
            EXPECT_EQ(told(), 1);
        }
    }
}

// A unit that answers with exactly eight bytes and then sends a second
// reply: the attempt fails and is repeated once the line is quiet.
TEST(ReplyHabits, ASecondReplyFromAUnitThatSendsEightFailsTheAttempt) {
    struct Case {
        const char* name;
        int exactBefore;
        bool inOnePiece;  // the second reply arrives with the first
        std::uint8_t dato3;
        std::size_t frames;
    };
    const Case cases[] = {
        {"after eight exact replies, during the rest", 8, false, 0x99, 2},
        {"after eight exact replies, in one piece", 8, true, 0x99, 2},
        {"after one, not at the last attempt", 1, false, 0x99, 2},
        {"a unit not yet seen: the tail is dropped", 0, false, 0x11, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        for (int i = 0; i < c.exactBefore; ++i) {
            rig.port.replies.push_back({framed(9, 0)});
            rig.link.EnviarComando({0, 1, 9, 0});
        }
        const auto framesBefore = rig.port.frames.size();
        ScriptedPort::Reply twice{framed(9, 0x11)};
        if (c.inOnePiece) {
            const auto again = framed(9, 0x11);
            twice.bytes.insert(twice.bytes.end(), again.begin(), again.end());
        } else {
            twice.later.push_back({0.02, framed(9, 0x11)});
        }
        rig.port.replies.push_back(twice);
        rig.port.replies.push_back({framed(9, 0x99)});
        const auto result = rig.link.EnviarComando({0, 1, 9, 0});
        EXPECT_EQ(result.Resultado, 6);
        EXPECT_EQ(result.Dato3, c.dato3);
        EXPECT_EQ(rig.port.frames.size() - framesBefore, c.frames);
    }
}

TEST(ReplyHabits, TransactionsThatHearNothingAreCountedInARow) {
    Rig rig;
    EXPECT_EQ(rig.link.silentInRow(), 0);
    rig.link.EnviarComando({0, 1, 1, 0});
    EXPECT_EQ(rig.link.silentInRow(), 1);
    EXPECT_FALSE(rig.link.lineSeemsDead());
    rig.link.EnviarComando({0, 1, 1, 0});
    EXPECT_TRUE(rig.link.lineSeemsDead());
    // Bytes that make no reply still show the line is alive.
    rig.port.replies.push_back({{1, 2, 3}});
    EXPECT_EQ(rig.link.EnviarComando({0, 1, 1, 0}).Resultado, 21);
    EXPECT_EQ(rig.link.silentInRow(), 0);
    rig.link.EnviarComando({0, 1, 1, 0});
    rig.port.replies.push_back({framed(1, 5)});
    EXPECT_EQ(rig.link.EnviarComando({0, 1, 1, 0}).Dato3, 5);
    EXPECT_EQ(rig.link.silentInRow(), 0);
}

TEST(Counters, CountWhatHappened) {
    Rig rig;
    ScriptedPort::Reply noisy{{}};
    noisy.later.push_back({2.05, {1, 2, 3}});  // late: after the time limit
    rig.port.replies.push_back(noisy);
    rig.port.replies.push_back({framed(1, 1), 0.01, {{0.012, {9, 9}}}});  // two trailing bytes
    rig.port.replies.push_back({{1, 2, 3, 4, 5, 6, 7, 8}});               // malformed
    rig.link.EnviarComando({0, 1, 1, 0});
    rig.link.EnviarComando({0, 1, 2, 0});
    link::LineCounters expected;
    // The malformed reply, from a unit that has framed one, fails its
    // attempt; the two after it hear nothing.
    expected.transactions = 2;
    expected.retries = 3;
    expected.attemptsWithoutReply = 3;
    expected.lateBytesDropped = 3 + 2;
    expected.malformedReplies = 1;
    EXPECT_EQ(rig.link.counters(), expected);
    rig.link.resetCounters();
    EXPECT_EQ(rig.link.counters(), link::LineCounters{});
}

}  // namespace
}  // namespace zrk::test
