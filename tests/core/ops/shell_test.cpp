// The help button and the drawing window.
#include "ops/shell.h"

#include <gtest/gtest.h>

#include <functional>

#include "ops/parameter_memory.h"
#include "started_program.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

using Outcome = platform::ProcessLauncher::Outcome;

TEST(Help, FirstViewerThatStartsGetsTheHelpFile) {
    struct Case {
        const char* name;
        std::map<std::string, Outcome> outcomes;
        std::vector<std::string> tried;
    };
    const Outcome started{Outcome::Kind::Started, ""};
    const Outcome refused{Outcome::Kind::Failed, "Permission denied"};
    const Case cases[] = {
        {"hh there", {{"hh", started}, {"xchm", started}}, {"hh"}},
        {"only xchm", {{"xchm", started}}, {"hh", "xchm"}},
        {"xchm refuses", {{"xchm", refused}, {"kchmviewer", started}}, {"hh", "xchm", "kchmviewer"}},
        {"desktop opener last", {{"xdg-open", started}}, {"hh", "xchm", "kchmviewer", "xdg-open"}},
    };
    for (const Case& c : cases) {
        StartedProgram started_;
        auto& launcher = started_.machine.launcher;
        launcher.outcomes = c.outcomes;
        const auto before = started_.machine.ui.messages.size();
        started_.frm().CAyuda.Click();
        std::vector<std::string> tried;
        for (const auto& call : launcher.calls) {
            tried.push_back(call.program);
            EXPECT_EQ(call.arguments, std::vector<std::string>{started_.program->state.helpFile}) << c.name;
        }
        EXPECT_EQ(tried, c.tried) << c.name;
        EXPECT_EQ(started_.machine.ui.messages.size(), before) << c.name << ": no message when a viewer started";
    }
}

TEST(Help, EnglishHelpFileBesideTheProgram) {
    StartedProgram started;
    started.machine.launcher.outcomes["hh"] = {Outcome::Kind::Started, ""};
    started.frm().CAyuda.Click();
    ASSERT_EQ(started.machine.launcher.calls.size(), 1u);
    EXPECT_EQ(started.machine.launcher.calls[0].arguments.at(0),
              (started.machine.folder.path() / "helpZRK.chm").string());
}

TEST(Help, NoViewerShowsTheReasonsAndChangesNothingElse) {
    StartedProgram started;
    started.machine.launcher.outcomes["xchm"] = {Outcome::Kind::Failed, "xchm: Permission denied"};
    const std::string status = started.frm().sbStatusBar.text(1);
    started.machine.ui.messages.clear();
    started.frm().CAyuda.Click();
    EXPECT_EQ(started.machine.launcher.calls.size(), 4u);
    ASSERT_EQ(started.machine.ui.messages.size(), 1u);
    const auto& message = started.machine.ui.messages[0];
    EXPECT_EQ(message.title, "ZRK");
    EXPECT_NE(message.text.find("xchm: Permission denied"), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("hh: not found"), std::string::npos) << message.text;
    EXPECT_EQ(started.frm().sbStatusBar.text(1), status);
    EXPECT_TRUE(started.frm().frmMain.Visible());
}

// What the drawing window shows: the circles of the last `n` drawings.
std::vector<form::DrawnCircle> lastCircles(const form::FrmDibujo& window, std::size_t n) {
    const auto& all = window.circles();
    return {all.end() - static_cast<std::ptrdiff_t>(n), all.end()};
}

TEST(DrawingWindow, NewWindowHasItsDesignSizeAndNoDrawing) {
    StartedProgram started;
    const auto& window = started.program->state.dibujo;
    EXPECT_FALSE(window.FormDibujo.Visible());
    EXPECT_EQ(window.FormDibujo.Caption(), "Form1");
    EXPECT_EQ(window.ScaleWidth(), 5865);
    EXPECT_EQ(window.ScaleHeight(), 4650);
    EXPECT_TRUE(window.circles().empty());
}

TEST(DrawingWindow, ThreeCirclesInTheFirstRowsColour) {
    struct Case {
        const char* caption;
        std::int32_t color;
    };
    const Case cases[] = {
        {"1", 1},      // the caption before any colour is chosen
        {"255", 255},  // red
        {"16711680", 16711680},
        {"254.5", 254},  // halves to even
        {"255.5", 256},
        {"abc", 0},          // no number: black
        {"99999999999", 0},  // beyond any colour
    };
    for (const Case& c : cases) {
        StartedProgram started;
        started.frm().LColor(1).setCaption(c.caption);
        auto& window = started.program->state.dibujo;
        window.windowGeometry(100, 200, 6000, 5000, 5880, 4490);
        started.frm().Command2.Click();
        const std::vector<form::DrawnCircle> expected = {
            {3000, 2500, 500, 0}, {3000, 2500, 100, c.color}, {3000, 2500, 1500, c.color}};
        EXPECT_EQ(window.circles(), expected) << c.caption;
        EXPECT_TRUE(window.FormDibujo.Visible()) << c.caption;
    }
}

TEST(DrawingWindow, CirclesFollowTheResizedWindowAndAddUp) {
    StartedProgram started;
    auto& window = started.program->state.dibujo;
    started.frm().Command2.Click();
    const int firstCx = window.circles()[0].cx;
    EXPECT_EQ(firstCx, (5865 + form::FrmDibujo::kFrameWidth) / 2);
    // Outer sizes, odd: half of 8001 is 4000.5, half of 6003 is 3001.5.
    window.windowGeometry(10, 20, 8001, 6003, 7881, 5493);
    started.frm().Command2.Click();
    ASSERT_EQ(window.circles().size(), 6u) << "drawn again over the first three";
    EXPECT_EQ(window.circles()[0].cx, firstCx);
    for (const auto& circle : lastCircles(window, 3)) {
        EXPECT_EQ(circle.cx, 4000);
        EXPECT_EQ(circle.cy, 3002);
    }
}

TEST(DrawingWindow, ClosedWindowComesBackNewAtTheNextClick) {
    StartedProgram started;
    auto& window = started.program->state.dibujo;
    started.frm().Command2.Click();
    window.windowGeometry(10, 20, 8000, 6000, 7880, 5490);
    window.Unload();
    EXPECT_FALSE(window.FormDibujo.Visible());
    EXPECT_TRUE(window.circles().empty());
    EXPECT_EQ(window.ScaleWidth(), 5865);
    started.frm().Command2.Click();
    EXPECT_EQ(window.circles().size(), 3u);
    EXPECT_EQ(window.circles()[0].cx, (5865 + form::FrmDibujo::kFrameWidth) / 2);
    EXPECT_TRUE(window.FormDibujo.Visible());
}

TEST(DrawingWindow, ClosingTheMainWindowClosesItFirst) {
    StartedProgram started;
    auto& window = started.program->state.dibujo;
    started.frm().Command2.Click();
    auto& store = started.machine.store;
    store.order.clear();
    std::vector<std::size_t> keysWrittenWhenClosed;
    window.controls().hub().subscribe([&](form::Control& c, form::Prop prop) {
        if (prop == form::Prop::Visible && !c.Visible()) keysWrittenWhenClosed.push_back(store.order.size());
    });
    started.frm().Csalir.Click();
    EXPECT_FALSE(window.FormDibujo.Visible());
    EXPECT_FALSE(started.frm().frmMain.Visible());
    EXPECT_EQ(keysWrittenWhenClosed, std::vector<std::size_t>{0}) << "closed once, before the placement is saved";
    EXPECT_EQ(store.order, (std::vector<std::string>{"MainLeft", "MainTop", "MainWidth", "MainHeight"}));
}

TEST(DrawingWindow, WindowClosedByItsOwnBoxIsLeftAloneAtExit) {
    StartedProgram started;
    auto& window = started.program->state.dibujo;
    started.frm().Command2.Click();
    window.Unload();
    int notifications = 0;
    window.controls().hub().subscribe([&](form::Control&, form::Prop) { ++notifications; });
    started.frm().Csalir.Click();
    EXPECT_EQ(notifications, 0) << "no longer among the open windows";
}

}  // namespace
}  // namespace zrk::test

namespace zrk::test {
namespace {

// Exit with work the unit (or a file) does not hold asks first, No by
// default; with none, or once a read or write has caught up, it just goes.
TEST(Exit, AsksBeforeUnwrittenChangesAreLost) {
    struct Case {
        const char* name;
        std::function<void(UnitRig&)> edit;
        const char* question;  // none: Exit closes without asking
    };
    const Case cases[] = {
        {"nothing changed", [](UnitRig&) {}, nullptr},
        {"a field edited", [](UnitRig& r) { r.frm().TVelocidadUsuario1.setText("12,5"); }, "Exit and lose 1 change?"},
        {"a field and a table row",
         [](UnitRig& r) {
             r.frm().TVelocidadUsuario1.setText("12,5");
             r.program().state.flash.pauta(3, 1) = 90;
         },
         "Exit and lose 2 changes?"},
        {"a row colour", [](UnitRig& r) { r.frm().LColor(2).setCaption("12345"); }, "Exit and lose 1 change?"},
        {"a table edit then written",
         [](UnitRig& r) {
             r.program().state.flash.pauta(3, 1) = 90;
             r.frm().CEscribirColores.Click();
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool letGo : {false, true}) {
            UnitRig rig;
            ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
            rig.frm().CLeerColores.Click();
            c.edit(rig);
            auto& ui = rig.started.machine.ui;
            ui.warningAnswers = {letGo};
            rig.frm().Csalir.Click();
            if (!c.question) {
                EXPECT_TRUE(ui.warnings.empty());
                EXPECT_TRUE(rig.program().unloaded());
                break;
            }
            ASSERT_EQ(ui.warnings.size(), 1u);
            EXPECT_EQ(ui.warnings[0].question, c.question);
            EXPECT_EQ(rig.program().unloaded(), letGo);
        }
    }
}

}  // namespace
}  // namespace zrk::test
