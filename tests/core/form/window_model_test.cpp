// The window model's own rules: tabs, action buttons, list selection,
// closing the window.
#include <gtest/gtest.h>

#include "form/frm_main.h"
#include "started_program.h"

namespace zrk::test {
namespace {

std::vector<int> visiblePages(const form::FrmMain& frm) {
    std::vector<int> out;
    for (int i : frm.FrameP.indices())
        if (frm.FrameP(i).Visible()) out.push_back(i);
    return out;
}

TEST(WindowModel, TabSwitchingShowsExactlyOnePage) {
    StartedProgram started;
    auto& frm = started.frm();
    struct Step {
        int tab;
        int page;
    };
    for (Step s : {Step{3, 3}, Step{3, 3}, Step{1, 1}, Step{5, 5}, Step{2, 2}}) {
        frm.TabStrip1.select(s.tab);
        EXPECT_EQ(visiblePages(frm), std::vector<int>{s.page}) << "tab " << s.tab;
        EXPECT_EQ(frm.PestanaActual, s.page);
    }
}

TEST(WindowModel, TabBeyondThePagesChangesNothing) {
    form::FrmMain frm;
    frm.TabStrip1.add(frm.TabStrip1.count() + 1, "extra");
    for (int i : frm.FrameP.indices()) frm.FrameP(i).setVisible(i == 1);
    frm.TabStrip1.select(7);
    EXPECT_EQ(visiblePages(frm), std::vector<int>{1});
    EXPECT_EQ(frm.PestanaActual, 1);
}

TEST(WindowModel, RemovingAndInsertingTabsKeepsPositions) {
    form::FrmMain frm;
    frm.TabStrip1.remove(5);
    EXPECT_EQ(frm.TabStrip1.count(), 5);
    EXPECT_EQ(frm.TabStrip1.caption(5), "V. Instantáneos");
    frm.TabStrip1.add(5, "Visualization");
    EXPECT_EQ(frm.TabStrip1.caption(5), "Visualization");
    EXPECT_EQ(frm.TabStrip1.caption(6), "V. Instantáneos");
    EXPECT_THROW(frm.TabStrip1.remove(7), form::ControlError);
}

TEST(WindowModel, ActionButtonsDisableAndEnableTogether) {
    form::FrmMain frm;
    frm.CLeer.setEnabled(false);
    frm.Csalir.setEnabled(true);
    std::vector<std::string> order;
    frm.controls().hub().subscribe([&](form::Control& c, form::Prop p) {
        if (p == form::Prop::Enabled) order.push_back(c.key());
    });
    frm.DeshabilitaBotones();
    EXPECT_EQ(order, (std::vector<std::string>{"CAbrir", "CGuardar", "CEscribir", "CDeshacer"}));
    frm.HabilitaBotones();
    for (auto* b : {&frm.CAbrir, &frm.CGuardar, &frm.CLeer, &frm.CEscribir, &frm.CDeshacer})
        EXPECT_TRUE(b->Enabled()) << b->key();
    EXPECT_TRUE(frm.Csalir.Enabled());
}

TEST(WindowModel, ListSelectionFromCodeRaisesClick) {
    form::FrmMain frm;
    int clicks = 0;
    frm.ComboTipoLampara1.AddItem("DC");
    frm.ComboTipoLampara1.AddItem("AC");
    frm.ComboTipoLampara1.Click = [&] { ++clicks; };
    frm.ComboTipoLampara1.setListIndex(1);
    frm.ComboTipoLampara1.setListIndex(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(frm.ComboTipoLampara1.Text(), "AC");
    EXPECT_THROW(frm.ComboTipoLampara1.setListIndex(2), form::ControlError);
    EXPECT_THROW(frm.ComboTipoLampara1.setListIndex(-2), form::ControlError);
    EXPECT_EQ(frm.ComboTipoLampara1.ListIndex(), 1) << "a refused index changes nothing";
}

TEST(WindowModel, TypingIntoAListSelectsTheMatchingItemOrNone) {
    form::FrmMain frm;
    frm.ComboTipoLampara1.AddItem("DC");
    frm.ComboTipoLampara1.AddItem("AC");
    int changes = 0, clicks = 0;
    frm.ComboTipoLampara1.Change = [&] { ++changes; };
    frm.ComboTipoLampara1.Click = [&] { ++clicks; };
    frm.ComboTipoLampara1.typeText("AC");
    EXPECT_EQ(frm.ComboTipoLampara1.ListIndex(), 1);
    frm.ComboTipoLampara1.typeText("A");
    EXPECT_EQ(frm.ComboTipoLampara1.ListIndex(), -1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 0);
}

TEST(WindowModel, CheckBoxRefusesOtherStates) {
    form::FrmMain frm;
    EXPECT_THROW(frm.chkEstado.setValue(3), form::ControlError);
    EXPECT_THROW(frm.chkEstado.setValue(-1), form::ControlError);
    frm.chkEstado.setValue(2);  // greyed
    EXPECT_EQ(frm.chkEstado.Value(), 2);
    frm.chkEstado.setValue(1);
    EXPECT_EQ(frm.chkEstado.Value(), 1);
}

TEST(WindowModel, HidingAFrameHidesWhatIsInIt) {
    form::FrmMain frm;
    frm.frmMain.setVisible(true);
    frm.groupDayNight.setVisible(false);
    EXPECT_FALSE(frm.CNormal.isShown());
    EXPECT_TRUE(frm.CDia.isShown()) << "CDia belongs to the page, not the group";
    frm.page3.setVisible(false);
    EXPECT_FALSE(frm.CDia.isShown());
}

TEST(WindowModel, ClosingWritesThePlacementUnlessMinimised) {
    StartedProgram started;
    auto& window = started.frm().frmMain;
    window.Move(100, 200, 10200, 7575);
    started.program->Csalir_Click();
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(started.machine.store.order,
              (std::vector<std::string>{"MainLeft", "MainTop", "MainWidth", "MainHeight"}));
    EXPECT_EQ(started.machine.store.values["ZRK/Settings/MainLeft"], "100");
    EXPECT_EQ(started.machine.store.values["ZRK/Settings/MainHeight"], "7575");

    StartedProgram minimised;
    minimised.frm().frmMain.setMinimised(true);
    minimised.program->Form_Unload();
    EXPECT_TRUE(minimised.machine.store.values.empty());
}

// Exit pressed while the speed test still runs: the start-up finishes without
// showing the window again, and the program says it is unloaded, which is
// what tells main not to wait for a window that is gone.
TEST(WindowModel, ExitDuringTheStartUpLeavesNothingToWaitFor) {
    FakeMachine machine;
    app::Program program(machine.platform);
    int loops = 0;
    program.state.emptyLoop = [&](std::int64_t passes) {
        if (loops++ == 0) {
            EXPECT_TRUE(program.state.frm.frmMain.Visible());
            program.state.frm.Csalir.Click();
        }
        virtualEmptyLoop(machine.clock, passes);
    };
    EXPECT_EQ(program.Main(), 0);
    EXPECT_EQ(loops, 2);
    EXPECT_TRUE(program.unloaded());
    EXPECT_FALSE(program.state.frm.frmMain.Visible());
    EXPECT_EQ(machine.store.values["ZRK/Settings/MainWidth"], "10200");

    StartedProgram undisturbed;
    EXPECT_FALSE(undisturbed.program->unloaded());
    EXPECT_TRUE(undisturbed.frm().frmMain.Visible());
}

TEST(WindowModel, ClosingClosesTheOtherWindowsMostRecentFirst) {
    StartedProgram started;
    form::FrmSplash first, second;
    first.frmSplash.setVisible(true);
    second.frmSplash.setVisible(true);
    std::vector<const form::Control*> closed;
    auto watch = [&](form::Control& c, form::Prop p) {
        if (p == form::Prop::Visible && !c.Visible()) closed.push_back(&c);
    };
    first.controls().hub().subscribe(watch);
    second.controls().hub().subscribe(watch);
    started.program->state.windowOpened(first.frmSplash);
    started.program->state.windowOpened(second.frmSplash);
    started.program->Form_Unload();
    EXPECT_EQ(closed, (std::vector<const form::Control*>{&second.frmSplash, &first.frmSplash}));
}

TEST(WindowModel, EveryControlIsFoundByItsKey) {
    form::FrmMain frm;
    for (const auto& control : frm.controls().all())
        EXPECT_EQ(&frm.controls().at(control->name(), control->index()), control.get()) << control->key();
    EXPECT_EQ(frm.Label.count(), 54);
    EXPECT_EQ(frm.LabelUnidades.count(), 26);
    EXPECT_EQ(frm.label1.indices(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 34}));
    EXPECT_EQ(frm.lblSalidalbl.count(), 11);
    EXPECT_EQ(frm.lblSalida.indices().front(), 1);
    EXPECT_EQ(frm.controls().find("Label", 54), nullptr);
}

}  // namespace
}  // namespace zrk::test
