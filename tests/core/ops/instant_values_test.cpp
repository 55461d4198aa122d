// Instantaneous input and output states: looks, bits to labels, failed
// groups, the error trap and the automatic refresh on a virtual timer.
#include <gtest/gtest.h>

#include "live_program.h"
#include "ops/device_operation.h"
#include "sim/scenario.h"
#include "virtual_timers.h"

namespace zrk::test {
namespace {

using ops::StateLook;

// The captions of a label array, blank-separated.
std::string captions(const form::ControlArray<form::LabelControl>& labels) {
    std::string out;
    for (int i : labels.indices()) out += (out.empty() ? "" : " ") + labels(i).Caption();
    return out;
}

const std::string kAllUnknownInputs = "-- -- -- -- -- -- -- --";
const std::string kAllUnknownOutputs = "-- -- -- -- -- -- -- -- -- -- --";

TEST(StateLooks, CaptionAndColourOfEachLook) {
    const struct {
        StateLook look;
        std::string caption;
        form::Rgb colour;
    } cases[] = {
        {StateLook::On, "ON", {0, 0, 255}},
        {StateLook::Off, "OFF", {255, 0, 0}},
        {StateLook::Unknown, "--", {0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ops::stateCaption(c.look), c.caption);
        EXPECT_EQ(ops::stateColour(c.look), c.colour) << c.caption;
        EXPECT_EQ(ops::stateLookOf(c.caption), c.look);
    }
}

struct BitsCase {
    std::uint8_t inputs;
    std::uint16_t outputs;
    std::string inputCaptions, outputCaptions;
};

class BitsToLabels : public ::testing::TestWithParam<BitsCase> {};

TEST_P(BitsToLabels, ThreeFramesAndOneLabelPerBit) {
    const BitsCase& c = GetParam();
    LiveProgram started(simulatedUnit());
    auto& port = started.port<sim::SimulatedPort>();
    port.device().setInputsByte(c.inputs);
    port.device().setOutputsWord(c.outputs);
    port.device().clearFrameLog();
    started.frm().btnVerValoresInstantaneos.Click();

    std::vector<sim::Frame> expectedFrames;
    for (std::uint8_t selector : {8, 9, 10}) expectedFrames.push_back(sim::makeCommand(5, selector, 0));
    EXPECT_EQ(port.device().frameLog(), expectedFrames);
    EXPECT_EQ(captions(started.frm().lblExterna), c.inputCaptions);
    EXPECT_EQ(captions(started.frm().lblSalida), c.outputCaptions);
    EXPECT_EQ(started.frm().status(), "End check");
    EXPECT_FALSE(port.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    States, BitsToLabels,
    ::testing::Values(BitsCase{5, 0, "ON OFF ON OFF OFF OFF OFF OFF", "OFF OFF OFF OFF OFF OFF OFF OFF OFF OFF OFF"},
                      BitsCase{0x80, 0x0101, "OFF OFF OFF OFF OFF OFF OFF ON",
                               "ON OFF OFF OFF OFF OFF OFF OFF ON OFF OFF"},
                      BitsCase{0xFF, 0x0480, "ON ON ON ON ON ON ON ON", "OFF OFF OFF OFF OFF OFF OFF ON OFF OFF ON"}));

TEST(InstantValues, HighBitsOfTheLastOutputByteAreIgnored) {
    LiveProgram started(scriptedUnit());
    auto& port = started.port<ScriptedPort>();
    port.replies = {statusReply(8, 0), statusReply(9, 0), statusReply(10, 255)};
    started.frm().btnVerValoresInstantaneos.Click();
    EXPECT_EQ(captions(started.frm().lblSalida), "OFF OFF OFF OFF OFF OFF OFF OFF ON ON ON");
}

TEST(InstantValues, OnlyTheGroupOfAFailedTransactionShowsNoState) {
    LiveProgram started(scriptedUnit());
    auto& port = started.port<ScriptedPort>();
    port.replies.push_back(statusReply(8, 0x03));
    addUnanswered(port);
    port.replies.push_back(statusReply(10, 0x04));
    started.frm().btnVerValoresInstantaneos.Click();
    EXPECT_EQ(captions(started.frm().lblExterna), "ON ON OFF OFF OFF OFF OFF OFF");
    EXPECT_EQ(captions(started.frm().lblSalida), "-- -- -- -- -- -- -- -- OFF OFF ON");
    EXPECT_EQ(started.frm().status(), "End check");
    EXPECT_EQ(port.frames.size(), 5u);
    // Each label takes the colour of its look: blue ON, red OFF, black "--".
    const form::Rgb blue{0, 0, 255}, red{255, 0, 0}, black{0, 0, 0};
    EXPECT_EQ(started.frm().lblExterna(1).ForeColor(), blue);
    EXPECT_EQ(started.frm().lblExterna(3).ForeColor(), red);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(started.frm().lblSalida(i).ForeColor(), black) << i;
    EXPECT_EQ(started.frm().lblSalida(10).ForeColor(), red);
    EXPECT_EQ(started.frm().lblSalida(11).ForeColor(), blue);
}

TEST(InstantValues, PortErrorIsTrappedWithTheLabelsLeftAsTheyWere) {
    LiveProgram started;
    started.machine.fakePort.missing = {1};
    auto& frm = started.frm();
    started.machine.ui.messages.clear();
    const auto outcome = ops::btnVerValoresInstantaneos_Click(started.program->state);
    ASSERT_EQ(started.machine.ui.messages.size(), 1u);
    EXPECT_EQ(started.machine.ui.messages[0].text, "Error");
    EXPECT_EQ(started.machine.ui.messages[0].icon, platform::UserInterface::Icon::Error);
    EXPECT_EQ(frm.status(), "Error");
    EXPECT_FALSE(started.machine.fakePort.isOpen());
    EXPECT_TRUE(frm.CAbrir.Enabled() && frm.CGuardar.Enabled() && frm.CLeer.Enabled() && frm.CEscribir.Enabled());
    EXPECT_TRUE(frm.btnVerValoresInstantaneos.Enabled());
    EXPECT_EQ(outcome, ops::End::PortError);
    EXPECT_NE(outcome.message.find("/dev/fake1"), std::string::npos);
    EXPECT_EQ(captions(frm.lblExterna), kAllUnknownInputs);
}

TEST(InstantValues, LineLostMidRefreshKeepsWhatWasAlreadyShown) {
    sim::Faults faults;
    faults.disconnectAfter = 2;  // the second reply never arrives
    LiveProgram started([faults](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
        auto device = sim::loadScenarioByName("led-lantern").device;
        device.setInputsByte(0x01);
        return std::make_unique<sim::SimulatedPort>(clock, device, faults);
    });
    auto& frm = started.frm();
    frm.btnVerValoresInstantaneos.Click();
    EXPECT_EQ(captions(frm.lblExterna), "ON OFF OFF OFF OFF OFF OFF OFF");
    EXPECT_EQ(captions(frm.lblSalida), kAllUnknownOutputs);
    EXPECT_EQ(frm.status(), "Error");
    EXPECT_FALSE(started.machine.platform.port.isOpen());
}

TEST(AutomaticRefresh, TicksAPeriodAfterEachRefreshEndsUntilSwitchedOff) {
    LiveProgram started(simulatedUnit());
    auto& frm = started.frm();
    auto& clock = started.machine.clock;
    auto& device = started.port<sim::SimulatedPort>().device();
    VirtualTimers timers(frm, clock, {&frm.tmrSpoolValoresInstantaneos});
    std::vector<double> refreshEnds;
    frm.controls().hub().subscribe([&](form::Control& control, form::Prop prop) {
        if (&control == &frm.sbStatusBar && prop == form::Prop::Panels && frm.status() == "End check")
            refreshEnds.push_back(clock.now());
    });
    device.clearFrameLog();
    const double t0 = clock.now();

    frm.btnSpoolValorInstantaneo.Click();
    EXPECT_EQ(frm.btnSpoolValorInstantaneo.Caption(), "Desactivar auto");
    timers.runUntil(t0 + 3.5);
    frm.btnSpoolValorInstantaneo.Click();
    timers.runUntil(t0 + 10.0);

    EXPECT_EQ(frm.btnSpoolValorInstantaneo.Caption(), "Activar auto");
    EXPECT_FALSE(frm.tmrSpoolValoresInstantaneos.running());
    const auto ticks = timers.tickTimes("tmrSpoolValoresInstantaneos");
    ASSERT_EQ(ticks.size(), 3u);
    ASSERT_EQ(refreshEnds.size(), 3u);
    EXPECT_NEAR(ticks[0] - t0, 1.0, 1e-9);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GT(refreshEnds[i - 1], ticks[i - 1]) << "a refresh takes time on the line";
        EXPECT_NEAR(ticks[i] - refreshEnds[i - 1], 1.0, 1e-9);
    }
    EXPECT_EQ(device.frameLog().size(), 9u);
}

TEST(AutomaticRefresh, SwitchedOffDuringARefreshStaysOff) {
    LiveProgram started([](VirtualClock& clock) { return std::make_unique<InterruptedPort>(clock); });
    auto& port = started.port<InterruptedPort>();
    auto& frm = started.frm();
    port.replies = {statusReply(8, 0), statusReply(9, 0), statusReply(10, 0)};
    frm.btnSpoolValorInstantaneo.Click();
    port.duringFirstWait = [&] { frm.btnSpoolValorInstantaneo.Click(); };
    frm.tmrSpoolValoresInstantaneos.Timer();
    EXPECT_EQ(port.frames.size(), 3u);
    EXPECT_FALSE(frm.tmrSpoolValoresInstantaneos.running());
    EXPECT_EQ(frm.btnSpoolValorInstantaneo.Caption(), "Activar auto");
}

TEST(AutomaticRefresh, FailingPortGivesOneMessagePerTickAndStaysOn) {
    LiveProgram started;
    auto& frm = started.frm();
    started.machine.fakePort.missing = {1};
    started.machine.ui.messages.clear();
    VirtualTimers timers(frm, started.machine.clock, {&frm.tmrSpoolValoresInstantaneos});
    // (timer on, messages so far) at each switch of the timer.
    std::vector<std::pair<bool, std::size_t>> switches;
    frm.controls().hub().subscribe([&](form::Control& control, form::Prop prop) {
        if (&control == &frm.tmrSpoolValoresInstantaneos && prop == form::Prop::Enabled)
            switches.emplace_back(frm.tmrSpoolValoresInstantaneos.Enabled(), started.machine.ui.messages.size());
    });
    frm.btnSpoolValorInstantaneo.Click();
    timers.runUntil(started.machine.clock.now() + 3.5);
    EXPECT_EQ(timers.ticks.size(), 3u);
    EXPECT_EQ(started.machine.ui.messages.size(), 3u);
    EXPECT_TRUE(frm.tmrSpoolValoresInstantaneos.running());
    EXPECT_EQ(frm.status(), "Error");
    const std::vector<std::pair<bool, std::size_t>> boxesWhileOff = {{true, 0}, {false, 0}, {true, 1}, {false, 1},
                                                                     {true, 2}, {false, 2}, {true, 3}};
    EXPECT_EQ(switches, boxesWhileOff) << "each message box shows while the timer is off";
}

}  // namespace
}  // namespace zrk::test
