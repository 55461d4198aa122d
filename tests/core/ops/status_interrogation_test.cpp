// Status interrogation: lamps by changer type, measured values, failures,
// port errors and the automatic mode on virtual timers.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "live_program.h"
#include "ops/device_operation.h"
#include "ops/parameter_memory.h"
#include "sim/scenario.h"
#include "virtual_timers.h"

namespace zrk::test {
namespace {

using ops::LampLook;

PortFactory interrupted() {
    return [](VirtualClock& clock) { return std::make_unique<InterruptedPort>(clock); };
}
PortFactory simulatedWith(sim::Faults faults) {
    return [faults](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
        return std::make_unique<sim::SimulatedPort>(clock, sim::loadScenarioByName("led-lantern").device, faults);
    };
}

std::vector<int> selectors(const ScriptedPort& port) {
    std::vector<int> out;
    for (const auto& frame : port.frames) out.push_back(frame[5]);
    return out;
}

// What a row shows; "all" is the impossible state the tests start rows in,
// so an untouched row stays recognisable.
std::string shown(const form::FrmMain::LampRow& row) {
    const bool lit = row.lit->Visible(), unlit = row.unlit->Visible(), unknown = row.unknown->Visible();
    if (lit && unlit && unknown) return "all";
    if (lit + unlit + unknown != 1) return "mixed";
    return lit ? "lit" : unlit ? "unlit" : "unknown";
}

void markAllRows(form::FrmMain& frm) {
    for (const auto& row : frm.lampRows()) {
        row.lit->setVisible(true);
        row.unlit->setVisible(true);
        row.unknown->setVisible(true);
    }
}

std::map<std::string, std::string> rowStates(const form::FrmMain& frm) {
    std::map<std::string, std::string> out;
    for (const auto& row : frm.lampRows()) out[row.lit->name()] = shown(row);
    return out;
}

bool actionButtonsEnabled(const form::FrmMain& frm) {
    return frm.CAbrir.Enabled() && frm.CGuardar.Enabled() && frm.CLeer.Enabled() && frm.CEscribir.Enabled();
}

struct LampCase {
    int changerEntry;
    std::uint8_t byteA, byteB;
    std::map<std::string, std::string> changed;  // rows the interrogation sets; the rest stay "all"
    bool pwmShown;
};

void PrintTo(const LampCase& c, std::ostream* os) {
    *os << "entry " << c.changerEntry << ", A " << int(c.byteA) << ", B " << int(c.byteB);
}

// Caption index of each lamp row whose lamp is visible, "-" for a hidden
// row; and each caption must be visible exactly when its lamp is.
std::string visibleCaptions(const form::FrmMain& frm) {
    std::string out;
    for (const auto& row : frm.lampRows()) {
        const bool lamp = row.lit->Visible() || row.unlit->Visible() || row.unknown->Visible();
        EXPECT_EQ(row.caption->Visible(), lamp) << row.caption->key();
        out += (out.empty() ? "" : " ") + (lamp ? std::to_string(row.caption->index()) : std::string("-"));
    }
    return out;
}

// The captions are hidden together with their lamps at start-up and by
// identification, and shown together by the interrogation that updates them.
TEST(LampCaptions, ShownAndHiddenWithTheirLamps) {
    LiveProgram started(simulatedUnit());
    auto& frm = started.frm();
    frm.chkEstado.setValue(1);
    auto identify = [&] { EXPECT_EQ(ops::IdentificarZRK(started.program->state), ops::End::Done); };
    auto interrogate = [&](int changerEntry) {
        return [&frm, changerEntry] {
            frm.ComboTipoCambiador.setListIndex(changerEntry);
            frm.CInterrogar.Click();
        };
    };
    const struct {
        const char* step;
        std::function<void()> act;
        std::string captions;  // rows in order: items 0 8 3 9 10 1 2 4 5 6 7
    } steps[] = {
        {"start-up", [] {}, "0 8 3 - - - - - - - -"},
        {"identification", identify, "0 8 3 - - - - - - - -"},
        {"TKR42", interrogate(1), "0 8 3 9 10 - 2 4 5 6 7"},
        {"TKR41", interrogate(0), "0 8 3 9 10 1 2 4 5 6 7"},
        {"identification again", identify, "0 8 3 - - - - - - - -"},
        {"LED", interrogate(3), "0 8 3 - - - - - - 6 -"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(visibleCaptions(frm), step.captions) << step.step;
    }

    // The grey look of a byte that was not read shows the caption too.
    LiveProgram silent;  // the fake port: it opens, nothing answers
    silent.frm().chkEstado.setValue(1);
    silent.frm().ComboTipoCambiador.setListIndex(2);
    silent.frm().CInterrogar.Click();
    EXPECT_EQ(visibleCaptions(silent.frm()), "0 8 3 9 - - 2 - 5 - 7");
    EXPECT_TRUE(ops::lampRow(silent.frm(), "LedRojoFalloFoco").unknown->Visible());
}

class LampTable : public ::testing::TestWithParam<LampCase> {};

TEST_P(LampTable, ByteBIsReadAsTheChangerTypeSays) {
    const LampCase& c = GetParam();
    LiveProgram started(simulatedUnit());
    auto& frm = started.frm();
    frm.ComboTipoCambiador.setListIndex(c.changerEntry);
    started.sim().device().setStatusA(c.byteA);
    started.sim().device().setStatusB(c.byteB);
    frm.chkEstado.setValue(1);
    markAllRows(frm);
    frm.Label(39).setVisible(false);
    frm.TPWMLed.setVisible(false);
    frm.LabelUnidades(20).setVisible(false);

    frm.CInterrogar.Click();

    auto expected = rowStates(frm);
    for (auto& [lit, state] : expected) state = "all";
    for (const auto& [lit, state] : c.changed) expected[lit] = state;
    EXPECT_EQ(rowStates(frm), expected);
    EXPECT_EQ(frm.TPWMLed.Visible(), c.pwmShown);
    EXPECT_EQ(frm.Label(39).Visible(), c.pwmShown);
    EXPECT_EQ(frm.LabelUnidades(20).Visible(), c.pwmShown);
    EXPECT_EQ(frm.status(), "End check");
}

const std::map<std::string, std::string> kByteA101 = {
    {"LedOn", "lit"}, {"LedMotorOn", "unlit"}, {"LedRojoAlarmaMotor", "lit"}};
std::map<std::string, std::string> withByteA101(std::map<std::string, std::string> rows) {
    rows.insert(kByteA101.begin(), kByteA101.end());
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    ChangerEntries, LampTable,
    ::testing::Values(LampCase{0, 0b101, 32,
                               withByteA101({{"LedRojoPrealarmaLampara", "unlit"},
                                             {"LedVerdeLampara1On", "lit"},
                                             {"LedRojoAlarmaLampara1", "unlit"}}),
                               false},
                      LampCase{0, 0b101, 0b01000010,
                               withByteA101({{"LedRojoPrealarmaLampara", "lit"},
                                             {"LedVerdeLampara1On", "unlit"},
                                             {"LedRojoAlarmaLampara1", "lit"}}),
                               false},
                      LampCase{1, 0b101, 128,
                               withByteA101({{"LedAzulLampara1", "unlit"},
                                             {"LedazulLampara2", "unlit"},
                                             {"LedAzulCambiador", "unlit"},
                                             {"LedRojoFalloRed", "unlit"},
                                             {"LedVerdeLampara1On", "unlit"},
                                             {"LedRojoAlarmaLampara1", "unlit"},
                                             {"LedRojoFalloFoco", "lit"}}),
                               false},
                      LampCase{1, 0b101, 0b01110111,
                               withByteA101({{"LedAzulLampara1", "lit"},
                                             {"LedazulLampara2", "lit"},
                                             {"LedAzulCambiador", "lit"},
                                             {"LedRojoFalloRed", "lit"},
                                             {"LedVerdeLampara1On", "lit"},
                                             {"LedRojoAlarmaLampara1", "lit"},
                                             {"LedRojoFalloFoco", "unlit"}}),
                               false},
                      LampCase{2, 0b101, 0b10100101,
                               withByteA101({{"LedAzulLampara1", "lit"},
                                             {"LedAzulCambiador", "lit"},
                                             {"LedVerdeLampara1On", "lit"},
                                             {"LedRojoFalloFoco", "lit"}}),
                               false},
                      LampCase{2, 0b101, 0b01011010,
                               withByteA101({{"LedAzulLampara1", "unlit"},
                                             {"LedAzulCambiador", "unlit"},
                                             {"LedVerdeLampara1On", "unlit"},
                                             {"LedRojoFalloFoco", "unlit"}}),
                               false},
                      LampCase{3, 0b101, 0b10111111, withByteA101({{"LedRojoAlarmaLampara1", "unlit"}}), true},
                      LampCase{3,
                               0b010,
                               0b01000000,
                               {{"LedOn", "unlit"},
                                {"LedMotorOn", "lit"},
                                {"LedRojoAlarmaMotor", "unlit"},
                                {"LedRojoAlarmaLampara1", "lit"}},
                               true},
                      LampCase{4, 0b101, 0xFF, kByteA101, false}, LampCase{5, 0b101, 0xFF, kByteA101, false},
                      LampCase{7, 0b101, 0xFF, kByteA101, false}, LampCase{-1, 0b101, 0xFF, kByteA101, false}));

// Every byte-B lamp belongs to a row of the window, and every lamp row can be
// reached by byte A or by some changer type.
TEST(StatusLamps, TablesNameExistingRowsAndCoverThemAll) {
    StartedProgram started;
    std::set<std::string> reached;
    for (int entry = -1; entry < 9; ++entry)
        for (const auto& lamp : ops::byteBLamps(entry))
            reached.insert(ops::lampRow(started.frm(), lamp.lit).lit->name());
    for (const auto& lamp : ops::byteALamps()) reached.insert(ops::lampRow(started.frm(), lamp.lit).lit->name());
    EXPECT_EQ(reached.size(), started.frm().lampRows().size());
}

struct FramesCase {
    ops::StatusChoice boxes;
    std::vector<int> selectors;
};

class FramesPerBoxes : public ::testing::TestWithParam<FramesCase> {};

TEST_P(FramesPerBoxes, OneFramePerByteInOrder) {
    LiveProgram started(simulatedUnit());
    ops::setTickBoxes(started.frm(), GetParam().boxes);
    started.sim().device().clearFrameLog();
    started.frm().CInterrogar.Click();
    EXPECT_EQ(started.simSelectors(), GetParam().selectors);
    for (const auto& frame : started.sim().device().frameLog()) EXPECT_EQ(sim::frameCommand(frame), 5);
    EXPECT_FALSE(started.sim().isOpen());
    EXPECT_EQ(started.frm().status(), "End check");
    EXPECT_TRUE(actionButtonsEnabled(started.frm()));
}

INSTANTIATE_TEST_SUITE_P(TickBoxes, FramesPerBoxes,
                         ::testing::Values(FramesCase{{true, false, false, false}, {0, 1}},
                                           FramesCase{{false, true, false, false}, {2, 3}},
                                           FramesCase{{false, false, true, false}, {4, 5}},
                                           FramesCase{{false, false, false, true}, {6, 7}},
                                           FramesCase{{false, true, false, true}, {2, 3, 6, 7}},
                                           FramesCase{{true, true, true, true}, {0, 1, 2, 3, 4, 5, 6, 7}}));

TEST(StatusInterrogation, NoBoxTickedOpensAndClosesThePortOnly) {
    LiveProgram started;
    auto& port = started.machine.fakePort;
    port.log.clear();
    started.frm().CInterrogar.Click();
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(port.log, (std::vector<std::string>{"open 1", "close 1"}));
    EXPECT_EQ(started.frm().status(), "End check");
}

struct ValueCase {
    std::uint8_t high, low;
    std::string decimal;
    std::string text;
};

class ValueFormat : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueFormat, HundredthsUnsignedWithTwoDecimals) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(ops::measuredValueText(c.high, c.low, c.decimal), c.text);
}

INSTANTIATE_TEST_SUITE_P(Values, ValueFormat,
                         ::testing::Values(ValueCase{4, 210, ".", "12.34"}, ValueCase{0, 5, ".", "0.05"},
                                           ValueCase{0, 0, ".", "0.00"}, ValueCase{4, 210, ",", "12,34"},
                                           ValueCase{39, 16, ".", "100.00"}, ValueCase{127, 255, ".", "327.67"},
                                           ValueCase{128, 0, ".", "327.68"}, ValueCase{255, 255, ",", "655,35"}));

TEST(StatusInterrogation, ValuesReachTheirFieldsInTheRegionalFormat) {
    LiveProgram started(simulatedUnit());
    started.machine.platform.numbers.decimal = ",";
    auto& device = started.sim().device();
    device.setPresentCurrent(1234);
    device.setPresentSpeed(65535);
    device.setLedCurrent(32768);
    ops::setTickBoxes(started.frm(), {false, true, true, true});
    started.frm().CInterrogar.Click();
    EXPECT_EQ(started.frm().TCorrienteActual.Text(), "12,34");
    EXPECT_EQ(started.frm().TVelocidadActual.Text(), "655,35");
    EXPECT_EQ(started.frm().txtCorrienteLeds.Text(), "327,68");
}

// A failed transaction must not pass for a healthy unit's zeros.
TEST(StatusInterrogation, FailedBytesShowUnknownLampsAndNoValue) {
    LiveProgram started(scriptedUnit());
    auto& port = started.port<ScriptedPort>();
    auto& frm = started.frm();
    frm.ComboTipoCambiador.setListIndex(1);
    port.replies.push_back(statusReply(0, 0b001));  // byte A
    addUnanswered(port);                            // byte B
    port.replies.push_back(statusReply(2, 4));      // current high
    addUnanswered(port);                            // current low
    port.replies.push_back(statusReply(4, 0));      // speed
    port.replies.push_back(statusReply(5, 7));
    addUnanswered(port);  // LED current high
    port.replies.push_back(statusReply(7, 9));
    ops::setTickBoxes(frm, {true, true, true, true});
    markAllRows(frm);

    const auto reading = ops::CInterrogar_Click(started.program->state);

    EXPECT_EQ(selectors(port), (std::vector<int>{0, 1, 1, 1, 2, 3, 3, 3, 4, 5, 6, 6, 6, 7}));
    const auto rows = rowStates(frm);
    EXPECT_EQ(rows.at("LedOn"), "lit");
    EXPECT_EQ(rows.at("LedMotorOn"), "unlit");
    for (const auto& lamp : ops::byteBLamps(1)) EXPECT_EQ(rows.at(lamp.lit), "unknown") << lamp.lit;
    EXPECT_EQ(rows.at("LedRojoPrealarmaLampara"), "all") << "not a lamp of this changer";
    for (const auto& lamp : reading.payload.lamps) {
        const bool byteB = lamp.lit != "LedOn" && lamp.lit != "LedMotorOn" && lamp.lit != "LedRojoAlarmaMotor";
        EXPECT_EQ(lamp.look == LampLook::Unknown, byteB) << lamp.lit;
    }
    EXPECT_EQ(frm.TCorrienteActual.Text(), "--");
    EXPECT_EQ(frm.TVelocidadActual.Text(), "0.07");
    EXPECT_EQ(frm.txtCorrienteLeds.Text(), "--");
    EXPECT_EQ(reading, ops::End::NoAnswer);
    EXPECT_FALSE(reading.payload.complete());
    EXPECT_EQ(frm.status(), "End check");
    EXPECT_FALSE(port.isOpen());
}

TEST(StatusInterrogation, ReadingOfAHealthyUnitIsComplete) {
    LiveProgram started(simulatedUnit());
    ops::setTickBoxes(started.frm(), {true, true, true, true});
    const auto reading = ops::CInterrogar_Click(started.program->state);
    EXPECT_TRUE(reading.payload.complete());
    EXPECT_EQ(reading.payload.lamps.size(), 3u + ops::byteBLamps(0).size());
    ASSERT_EQ(reading.payload.values.size(), 3u);
    EXPECT_EQ(reading.payload.values[0].field, "TCorrienteActual");
    EXPECT_EQ(reading.payload.values[0].text, started.frm().TCorrienteActual.Text());
}

// Port errors while the automatic mode runs: the port opens on no device, or
// the cable is pulled half-way through.
struct PortErrorCase {
    const char* name;
    std::function<PortFactory()> port;
    std::string messagePart;
};

void PrintTo(const PortErrorCase& c, std::ostream* os) { *os << c.name; }

class PortErrorInAutomaticMode : public ::testing::TestWithParam<PortErrorCase> {};

TEST_P(PortErrorInAutomaticMode, OneMessageThePortClosedAndTheModeStopped) {
    LiveProgram started(GetParam().port());
    auto& frm = started.frm();
    auto& ui = started.machine.ui;
    ops::setTickBoxes(frm, {true, true, true, true});
    frm.TTiempoModoVerboso.setText("1");
    VirtualTimers timers(frm, started.machine.clock, {&frm.TimerEstado});
    std::optional<std::size_t> messagesWhenStopped;
    frm.controls().hub().subscribe([&](form::Control& control, form::Prop prop) {
        if (&control == &frm.TimerEstado && prop == form::Prop::Enabled && !frm.TimerEstado.Enabled())
            messagesWhenStopped = ui.messages.size();
    });
    ui.messages.clear();

    frm.CModoVerboso.Click();
    ASSERT_TRUE(frm.TimerEstado.running());
    timers.runUntil(started.machine.clock.now() + 30.0);

    EXPECT_EQ(timers.ticks.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(GetParam().messagePart), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].icon, platform::UserInterface::Icon::Error);
    EXPECT_EQ(messagesWhenStopped, 0u) << "the timer stops before the message box shows";
    EXPECT_FALSE(frm.TimerEstado.running());
    EXPECT_TRUE(frm.CModoVerboso.Enabled());
    EXPECT_FALSE(started.machine.platform.port.isOpen());
    EXPECT_TRUE(actionButtonsEnabled(frm));
    EXPECT_TRUE(frm.CInterrogar.Enabled());
    EXPECT_FALSE(started.program->state.guard.busy());
    EXPECT_TRUE(frm.LedTimerOff.Visible());
    EXPECT_FALSE(frm.LedTimerON.Visible());
}

INSTANTIATE_TEST_SUITE_P(Faults, PortErrorInAutomaticMode,
                         ::testing::Values(PortErrorCase{"missing",
                                                         [] {
                                                             return PortFactory([](VirtualClock&) {
                                                                 auto port = std::make_unique<FakeSerialPort>();
                                                                 port->missing = {1};
                                                                 return port;
                                                             });
                                                         },
                                                         "/dev/fake1"},
                                           PortErrorCase{"pulled", [] { return simulatedWith({.disconnectAfter = 3}); },
                                                         "lost"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PeriodCase {
    std::string text;
    std::optional<int> milliseconds;
};

class PeriodText : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodText, ReadWithAPointAndRefusedOutsideTheTimerRange) {
    EXPECT_EQ(ops::periodMilliseconds(GetParam().text), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(Texts, PeriodText,
                         ::testing::Values(PeriodCase{"3", 3000}, PeriodCase{"2.5", 2500}, PeriodCase{"2,5", 2000},
                                           PeriodCase{" 1 . 25 s", 1250}, PeriodCase{"0", 0}, PeriodCase{"abc", 0},
                                           PeriodCase{"0.0015", 2}, PeriodCase{"0.0025", 2},
                                           PeriodCase{"65.535", 65535}, PeriodCase{"65.5355", std::nullopt},
                                           PeriodCase{"66", std::nullopt}, PeriodCase{"-1", std::nullopt},
                                           PeriodCase{"1e300", std::nullopt}, PeriodCase{"1e999", std::nullopt}));

TEST(AutomaticMode, PeriodOutsideTheTimerRangeIsRefusedWithAMessage) {
    LiveProgram started;
    auto& frm = started.frm();
    started.machine.ui.messages.clear();
    frm.TTiempoModoVerboso.setText("70");
    frm.CModoVerboso.Click();
    ASSERT_EQ(started.machine.ui.messages.size(), 1u);
    EXPECT_NE(started.machine.ui.messages[0].text.find("65.535"), std::string::npos);
    EXPECT_FALSE(frm.TimerEstado.Enabled());
    EXPECT_EQ(frm.TimerEstado.Interval(), 500);
    EXPECT_TRUE(frm.CModoVerboso.Enabled());
}

TEST(AutomaticMode, TicksEveryPeriodUntilStopped) {
    LiveProgram started(simulatedUnit());
    auto& frm = started.frm();
    auto& clock = started.machine.clock;
    frm.chkEstado.setValue(1);
    frm.TTiempoModoVerboso.setText("2.5");
    VirtualTimers timers(frm, clock, {&frm.TimerEstado});
    started.sim().device().clearFrameLog();
    const double t0 = clock.now();

    frm.CModoVerboso.Click();
    EXPECT_FALSE(frm.CModoVerboso.Enabled());
    EXPECT_EQ(frm.TimerEstado.Interval(), 2500);
    timers.runUntil(t0 + 10.0);
    frm.Command1.Click();
    timers.runUntil(t0 + 30.0);

    const auto times = timers.tickTimes("TimerEstado");
    ASSERT_EQ(times.size(), 4u);
    for (std::size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i] - t0, 2.5 * static_cast<double>(i + 1), 1e-9);
    EXPECT_EQ(started.sim().device().frameLog().size(), 8u);
    EXPECT_FALSE(frm.TimerEstado.running());
    EXPECT_TRUE(frm.CModoVerboso.Enabled());
    EXPECT_TRUE(frm.LedTimerOff.Visible());
    EXPECT_FALSE(frm.LedTimerON.Visible());
}

TEST(AutomaticMode, TimerLampIsLitWhileTheTickInterrogates) {
    LiveProgram started(interrupted());
    auto& port = started.port<InterruptedPort>();
    auto& frm = started.frm();
    frm.chkEstado.setValue(1);
    port.replies = {statusReply(0, 0), statusReply(1, 0)};
    bool litDuring = false, offHiddenDuring = false;
    port.duringFirstWait = [&] {
        litDuring = frm.LedTimerON.Visible();
        offHiddenDuring = !frm.LedTimerOff.Visible();
    };
    frm.TimerEstado.Timer();
    EXPECT_TRUE(litDuring);
    EXPECT_TRUE(offHiddenDuring);
    EXPECT_FALSE(frm.LedTimerON.Visible());
    EXPECT_TRUE(frm.LedTimerOff.Visible());
}

// Ticks and presses that come while a device operation waits for a reply
// start nothing; the operation's own frames are all that go out.
struct OverlapCase {
    const char* name;
    std::function<void(form::FrmMain&)> start;
    std::vector<int> ownSelectors;
    std::function<void(form::FrmMain&)> meanwhile;
};

void PrintTo(const OverlapCase& c, std::ostream* os) { *os << c.name; }

class NoOverlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(NoOverlap, ArrivalDuringAnOperationIsSkipped) {
    LiveProgram started(interrupted());
    auto& port = started.port<InterruptedPort>();
    auto& frm = started.frm();
    frm.chkEstado.setValue(1);
    // Each reply repeats its question, as the unit's do.
    for (int n = 0; n < 20; ++n)
        for (int selector : GetParam().ownSelectors)
            port.replies.push_back(statusReply(static_cast<std::uint8_t>(selector), 1));
    frm.btnSpoolValorInstantaneo.Click();  // the refresh timer is on
    bool ran = false, timerLampBefore = false, timerLampAfter = false;
    port.duringFirstWait = [&] {
        timerLampBefore = frm.LedTimerON.Visible();
        GetParam().meanwhile(frm);
        timerLampAfter = frm.LedTimerON.Visible();
        ran = true;
    };
    GetParam().start(frm);
    EXPECT_TRUE(ran);
    EXPECT_EQ(timerLampAfter, timerLampBefore) << "a skipped tick leaves the timer lamp alone";
    EXPECT_EQ(selectors(port), GetParam().ownSelectors);
    EXPECT_FALSE(started.program->state.guard.busy());
    EXPECT_TRUE(frm.tmrSpoolValoresInstantaneos.running()) << "a skipped tick leaves the refresh on";
}

const auto kInterrogate = [](form::FrmMain& frm) { frm.CInterrogar.Click(); };
const auto kStatusTick = [](form::FrmMain& frm) { frm.TimerEstado.Timer(); };
const auto kRefresh = [](form::FrmMain& frm) { frm.btnVerValoresInstantaneos.Click(); };
const auto kRefreshTick = [](form::FrmMain& frm) { frm.tmrSpoolValoresInstantaneos.Timer(); };

INSTANTIATE_TEST_SUITE_P(
    Operations, NoOverlap,
    ::testing::Values(OverlapCase{"StatusTickDuringStatusTick", kStatusTick, {0, 1}, kStatusTick},
                      OverlapCase{"StatusTickDuringInterrogation", kInterrogate, {0, 1}, kStatusTick},
                      OverlapCase{"RefreshTickDuringInterrogation", kInterrogate, {0, 1}, kRefreshTick},
                      OverlapCase{"StatusTickDuringRefresh", kRefresh, {8, 9, 10}, kStatusTick},
                      OverlapCase{"InterrogateDuringRefreshTick", kRefreshTick, {8, 9, 10}, kInterrogate}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zrk::test
