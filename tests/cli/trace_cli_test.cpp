// zrkctl --trace: the trace form of a full read, of a command the unit does
// not answer and of stale bytes, on the virtual clock.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/options.h"
#include "ctl_fixture.h"
#include "link/line_trace.h"
#include "sim/faults.h"
#include "sim/scenario.h"

namespace zrk::test {
namespace {

// Runs a zrkctl command with a trace attached, as main does for --trace.
std::string traced(Ctl& ctl, const std::vector<std::string>& args, int expectedCode = cli::kOk) {
    std::ostringstream text;
    link::LineTrace trace(text, ctl.started.machine.clock.now());
    ctl.started.program->state.link.addObserver(&trace);
    EXPECT_EQ(ctl.run(args), expectedCode) << ctl.err.str();
    ctl.started.program->state.link.removeObserver(&trace);
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string hex(const sim::Frame& frame) { return link::hexBytes(frame.data(), frame.size()); }

TEST(TraceCli, GlobalOption) {
    EXPECT_EQ(cli::parseOptions({"--trace", "t.txt", "read"}).trace, "t.txt");
    EXPECT_EQ(cli::parseOptions({"--simulate", "--trace", "-", "identify"}).trace, "-");
    EXPECT_EQ(cli::parseOptions({"read"}).trace, "");
    EXPECT_THROW(cli::parseOptions({"--trace"}), std::invalid_argument);
    EXPECT_THROW(cli::parseOptions({"--trace", "", "read"}), std::invalid_argument);
}

TEST(TraceCli, FullReadListsEveryFrameAndTheReplyToIt) {
    Ctl ctl;
    ctl.started.program->LoadWithoutWindow();
    ctl.device().clearFrameLog();
    const auto trace = lines(traced(ctl, {"read"}));

    // The unit's own record, and the replies a unit in the same state gives.
    const auto& received = ctl.device().frameLog();
    sim::DeviceModel twin = sim::loadScenarioByName("led-lantern").device;
    ASSERT_GT(received.size(), 100u);
    ASSERT_EQ(trace.size(), 2 * received.size()) << "one TX and one RX line per transaction, nothing else";
    const std::regex form(R"([ 0-9]{3}[0-9]\.[0-9]{3} (TX|RX)( [0-9A-F]{2}){8})");
    double previous = 0.0;
    for (std::size_t i = 0; i < received.size(); ++i) {
        const std::string& tx = trace[2 * i];
        const std::string& rx = trace[2 * i + 1];
        ASSERT_TRUE(std::regex_match(tx, form)) << tx;
        ASSERT_TRUE(std::regex_match(rx, form)) << rx;
        EXPECT_EQ(tx.substr(9), "TX " + hex(received[i])) << i;
        EXPECT_EQ(rx.substr(9), "RX " + hex(*twin.handleFrame(received[i]))) << i;
        const double time = std::stod(tx.substr(0, 8));
        EXPECT_GE(time, previous);
        previous = std::stod(rx.substr(0, 8));
    }
    // Eight bytes on the wire and seven pacing pauses of a millisecond.
    EXPECT_EQ(trace.front().substr(0, 8), "   0.015");
}

TEST(TraceCli, CommandWithoutAnAnswer) {
    Ctl ctl;
    ctl.started.port<sim::SimulatedPort>().unit().setFaults(sim::parseFaults({"no-answer"}));
    EXPECT_EQ(traced(ctl, {"command", "day"}, cli::kNoAnswer),
              "   0.015 TX 4A 58 00 00 06 01 01 F9\n"
              "   2.016 -- no reply, attempt 1 of 3\n"
              "   2.152 TX 4A 58 00 00 06 01 01 F9\n"
              "   4.153 -- no reply, attempt 2 of 3\n"
              "   4.288 TX 4A 58 00 00 06 01 01 F9\n"
              "   6.289 -- no reply, attempt 3 of 3\n");
}

TEST(TraceCli, StaleBytesBeforeAFrame) {
    // Two bytes the unit sends a second after its reply to the first
    // command wait in the port until the second command goes out.
    Ctl ctl(scriptedUnit());
    auto& port = ctl.started.port<ScriptedPort>();
    port.replies.push_back({{74, 88, 0, 0, 6, 1, 1, 0xF9}, 0.01, {{1.0, {0x4A, 0x58}}}});
    port.replies.push_back({{74, 88, 0, 0, 6, 1, 2, 0xFA}});
    ASSERT_EQ(ctl.run({"command", "day"}), cli::kOk) << ctl.err.str();
    ctl.started.machine.clock.advance(5.0);
    EXPECT_EQ(traced(ctl, {"command", "night"}),
              "   0.000 -- discarded 2 stale bytes: 4A 58\n"
              "   0.107 TX 4A 58 00 00 06 01 02 FA\n"
              "   0.117 RX 4A 58 00 00 06 01 02 FA\n");
}

}  // namespace
}  // namespace zrk::test
