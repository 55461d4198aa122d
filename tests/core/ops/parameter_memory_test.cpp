// Identification, reading and writing against the simulated unit, with the
// ways they fail: nothing half-done is ever shown or sent.
#include "ops/parameter_memory.h"

#include <gtest/gtest.h>

#include "model_probe.h"
#include "scripted_port.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

TEST(ReadZrk, FillsTheFormFromTheUnit) {
    UnitRig rig;
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    auto& frm = rig.frm();
    EXPECT_EQ(frm.TVelocidadUsuario1.Text(), "10.0000");
    EXPECT_EQ(frm.TRelacionReductor.Text(), "50.00");
    EXPECT_EQ(frm.TTestFotocelula.Text(), "30.0");
    EXPECT_EQ(frm.ComboTipoCambiador.ListIndex(), 3);
    EXPECT_TRUE(frm.TVelocidadUsuario1.Visible());
    EXPECT_TRUE(frm.TNumeroID.Visible());
    EXPECT_FALSE(frm.TNumeroFabricacion.Visible()) << "factory fields stay hidden in the normal view";
    EXPECT_EQ(frm.TabStrip1.count(), 5) << "address 225 brings the fifth tab";
    EXPECT_EQ(frm.status(), "Ended");
    EXPECT_TRUE(frm.CLeer.Enabled());
    EXPECT_FALSE(rig.unit().isOpen());
    EXPECT_TRUE(rig.started.messages().empty()) << "a current firmware gets no warning";
    // One transaction per map byte and per in-use address.
    int inUse = 0;
    for (int a = 0; a < 256; ++a) inUse += rig.device().isInUse(a) ? 1 : 0;
    EXPECT_EQ(rig.frames(), 32u + static_cast<std::size_t>(inUse));
}

TEST(ReadZrk, OldFirmwareGetsTheWarningAndIdentifyingAgainGivesTheSameTabs) {
    UnitRig rig("old-unit");
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_EQ(rig.started.messages()[0], "This version of firmware is only ZRK software program v1.2.9");
    EXPECT_EQ(rig.frm().TabStrip1.count(), 4);
    ops::readUnit(rig.program().state);
    EXPECT_EQ(rig.frm().TabStrip1.count(), 4);
}

TEST(ReadZrk, FactoryViewShowsFactoryFieldsAndKeepsOneTabPerPage) {
    UnitRig rig("led-lantern", {}, "1\r\n0\r\n0\r\n\"1\"\r\n853\r\n");
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    EXPECT_TRUE(rig.frm().TNumeroFabricacion.Visible());
    EXPECT_TRUE(rig.frm().ComboTipoCambiador.Visible());
    EXPECT_FALSE(rig.frm().TLuxONAD.Visible());
    EXPECT_EQ(rig.frm().TabStrip1.count(), 6);
}

TEST(ReadZrk, NoAnswerToIdentificationLeavesEverythingAsItWas) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TVelocidadUsuario1.setText("12.5");  // an edit the operator made
    const auto before = snapshot(rig.program());
    const auto map = rig.program().state.MapaParametros;
    rig.device().clearFrameLog();
    rig.unit().unit().setFaults(sim::parseFaults({"no-answer"}));
    const double t0 = rig.started.machine.clock.now();
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::NoAnswer);
    EXPECT_EQ(snapshot(rig.program()), before);
    EXPECT_EQ(rig.program().state.MapaParametros, map);
    EXPECT_EQ(rig.frames(), 3u) << "one unanswered transaction, then stop";
    EXPECT_LT(rig.started.machine.clock.now() - t0, 7.0);
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("No unit answered"), std::string::npos);
    EXPECT_FALSE(rig.unit().isOpen());
    EXPECT_TRUE(rig.frm().CLeer.Enabled());
}

TEST(ReadZrk, FailedReadDecodesNothing) {
    UnitRig rig("led-lantern", [](const FrameHookPort::Frame& f) { return f.command == 1 && f.parameter1 == 30; });
    rig.frm().TVelocidadUsuario1.setText("7.0000");
    rig.frm().TTiempoLampara2.setText("8.0");
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::NoAnswer);
    EXPECT_EQ(rig.frm().TVelocidadUsuario1.Text(), "7.0000") << "values read before the failure are not shown either";
    EXPECT_EQ(rig.frm().TTiempoLampara2.Text(), "8.0");
    EXPECT_EQ(rig.frm().status(), "Reading Error in data 30");
    EXPECT_EQ(rig.started.machine.ui.beeps, 1);
    EXPECT_TRUE(rig.started.messages().empty()) << "no firmware message after a failed read";
    EXPECT_FALSE(rig.unit().isOpen());
    EXPECT_TRUE(rig.frm().CEscribir.Enabled());
}

TEST(ReadZrk, CellTheFormCannotShowChangesNothing) {
    UnitRig rig;
    rig.device().setMemory(50, 4);  // a fifth motor type
    rig.frm().TVelocidadUsuario1.setText("7.0000");
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::BadData);
    EXPECT_EQ(rig.frm().TVelocidadUsuario1.Text(), "7.0000");
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("Error de lectura, posible desbordamiento. Reintente la operación"),
              std::string::npos);
    EXPECT_NE(rig.started.messages()[0].find("The unit reports 4 for Motor Type (address 50)"), std::string::npos)
        << rig.started.messages()[0];
    EXPECT_FALSE(rig.unit().isOpen());
}

TEST(ReadZrk, CancelStopsTheWaitingTransactionAndChangesNothing) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const auto before = snapshot(rig.program());
    rig.unit().unit().setFaults(sim::parseFaults({"delay=1500"}));
    int ticks = 0;
    rig.started.machine.events.onEvents = [&] {
        if (++ticks == 200) rig.program().state.progress.requestCancel();
    };
    EXPECT_EQ(ops::readUnit(rig.program().state), ops::End::Cancelled);
    rig.started.machine.events.onEvents = nullptr;
    auto after = snapshot(rig.program());
    EXPECT_NE(rig.frm().status().find("cancelled"), std::string::npos) << rig.frm().status();
    EXPECT_FALSE(rig.program().state.progress.active());
    EXPECT_FALSE(rig.unit().isOpen());
    after.erase("sbStatusBar.Text");
    EXPECT_EQ(after, before);
}

TEST(WriteZrk, WritesTheEditedFieldsAndOnlyTheFieldsTheUnitHas) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TVelocidadUsuario1.setText("12.5");
    rig.frm().TNumeroFabricacion.setText("999");
    rig.frm().TNumeroID.setText("4660");
    rig.device().setInUse(100, true);  // an address without a field
    rig.device().setMemory(100, 77);
    rig.program().state.boundUnit->map.bytes[100 / 8] |= 1 << (100 % 8);
    const auto factory = std::pair{rig.device().memory(249), rig.device().memory(250)};
    rig.device().clearFrameLog();
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::Done);
    EXPECT_EQ(rig.frm().status(), "Ended");
    EXPECT_EQ(rig.device().memory(1) * 256 + rig.device().memory(2) + rig.device().memory(0) * 65536, 125000);
    EXPECT_EQ(rig.device().memory(254), 0x12);
    EXPECT_EQ(rig.device().memory(255), 0x34);
    EXPECT_EQ((std::pair{rig.device().memory(249), rig.device().memory(250)}), factory)
        << "manufacturing data is never written";
    EXPECT_EQ(rig.device().memory(100), 77) << "no field, never written";
    std::vector<int> written, readBack;
    for (const auto& frame : rig.device().frameLog()) {
        ASSERT_TRUE(frame[4] == 2 || frame[4] == 1) << int(frame[4]);
        (frame[4] == 2 ? written : readBack).push_back(frame[5]);
        EXPECT_TRUE(frame[5] <= 67 || (frame[5] >= 221 && frame[5] <= 246) || frame[5] >= 254) << int(frame[5]);
    }
    // The identifier check first, then every written address read back.
    written.insert(written.begin(), {254, 255});
    EXPECT_EQ(readBack, written);
    EXPECT_EQ(rig.started.machine.ui.beeps, 1) << "the beep after address 223";
}

TEST(WriteZrk, BadFieldOrCellSendsNothing) {
    struct Case {
        const char* field;
        const char* text;
        const char* named;     // by its caption, as the operator reads it
        const char* headline;  // a text that is no number: the write error it always gave
    };
    const char* const kNothingSent = "Nothing was sent to the unit\n";
    const char* const kWriteError = "Error de escritura. Reintente la operación\n";
    for (const Case& c :
         {Case{"TVelocidadUsuario1", "", "User Speed 1: \"\" is not a number", kWriteError},
          Case{"txtAtenuacionNocturna", "300", "Night attenuation: \"300\" is out of range", kNothingSent},
          Case{"TAlarmLampara1", "-1", "Lamp 1 current alarm: \"-1\" is out of range", kNothingSent},
          Case{"TLuxON", "abc", "\"abc\" is not a number", kWriteError},
          Case{"TLuxON", "99999", "\"99999\" is out of range: it takes 0 to 520", kNothingSent}}) {
        UnitRig rig;
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        dynamic_cast<form::TextBox&>(rig.frm().controls().at(c.field)).setText(c.text);
        rig.device().clearFrameLog();
        EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::BadData) << c.field;
        EXPECT_EQ(rig.frames(), 0u) << c.field;
        ASSERT_EQ(rig.started.messages().size(), 1u);
        // A range the tool added is no fault to retry; a text the strict
        // reading refuses keeps its write error.
        EXPECT_EQ(rig.started.messages()[0].rfind(c.headline, 0), 0u) << rig.started.messages()[0];
        EXPECT_NE(rig.started.messages()[0].find(c.named), std::string::npos) << rig.started.messages()[0];
        EXPECT_FALSE(rig.unit().isOpen());
        EXPECT_TRUE(rig.frm().CEscribir.Enabled());
    }
}

TEST(WriteZrk, OutOfRangeCellAtAnAddressNotInUseIsHarmless) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.program().state.boundUnit->map.bytes[56 / 8] &= static_cast<std::uint8_t>(~(1 << (56 % 8)));
    rig.frm().txtAtenuacionNocturna.setText("300");
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::Done);
}

TEST(WriteZrk, BeforeAnyIdentificationNothingIsSent) {
    UnitRig rig;
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NothingToDo);
    EXPECT_EQ(rig.frames(), 0u);
    EXPECT_NE(rig.frm().status().find("read the unit first"), std::string::npos);
    EXPECT_NE(rig.frm().status(), "Ended");
}

TEST(WriteZrk, FailedAddressSkipsTheRestOfThePassButNotTheIdentifier) {
    UnitRig rig("led-lantern", [](const FrameHookPort::Frame& f) { return f.command == 2 && f.parameter1 == 30; });
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.device().clearFrameLog();
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NoAnswer);
    std::vector<int> written;
    for (const auto& frame : rig.device().frameLog()) written.push_back(frame[5]);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), 255);
    EXPECT_EQ(written[written.size() - 2], 254);
    // The unanswered cell is read back too: the line still answers, so the
    // unit may have taken it.
    EXPECT_EQ(written[written.size() - 3], 30);
    EXPECT_EQ(written[written.size() - 4], 29);
    EXPECT_EQ(rig.frm().status(), "Ended with errors: no answer when writing address 30");
    EXPECT_EQ(rig.started.machine.ui.beeps, 1) << "the failure's beep; no beep for 223, never reached";
}

TEST(WriteZrk, PortErrorEndsWithTheMessageAndThePortClosed) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const auto soon = rig.unit().unit().framesReceived() + 5;
    rig.unit().unit().setFaults(sim::parseFaults({"disconnect-after=" + std::to_string(soon)}));
    const auto written = ops::writeUnit(rig.program().state);
    EXPECT_EQ(written, ops::End::PortError);
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("Error de escritura"), std::string::npos);
    EXPECT_NE(rig.started.messages()[0].find(written.message), std::string::npos);
    EXPECT_FALSE(written.message.empty());
    EXPECT_FALSE(rig.program().state.progress.active());
    EXPECT_TRUE(rig.frm().CLeer.Enabled());
}

TEST(ReadZrk, ButtonRunsUnderTheGuard) {
    UnitRig rig;
    rig.frm().CLeer.Click();
    EXPECT_EQ(rig.frm().status(), "Ended");
    EXPECT_FALSE(rig.program().state.guard.busy());
    EXPECT_TRUE(rig.frm().CDia.Enabled());
}

}  // namespace
}  // namespace zrk::test
