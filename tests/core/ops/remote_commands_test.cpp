// The remote command buttons: the frame each sends and what the status bar says.
#include "ops/remote_commands.h"

#include <gtest/gtest.h>

#include "scripted_port.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {
namespace {

TEST(RemoteCommands, EachButtonSendsItsFrameAndReports) {
    StartedProgram started(kDefaultIni, simulatedUnit());
    auto& port = started.port<sim::SimulatedPort>();
    for (const auto& command : ops::remoteCommands()) {
        port.device().clearFrameLog();
        started.frm().controls().at(command.button).setEnabled(true);
        static_cast<form::CommandButton&>(started.frm().controls().at(command.button)).Click();
        ASSERT_EQ(port.device().frameLog().size(), 1u) << command.button;
        EXPECT_EQ(port.device().frameLog().front(), sim::makeCommand(6, command.function, command.state));
        EXPECT_EQ(started.frm().status(), command.successText);
        EXPECT_FALSE(port.isOpen()) << command.button;
    }
}

TEST(RemoteCommands, UnansweredCommandEndsWithItsFailureText) {
    StartedProgram started(kDefaultIni, scriptedUnit());
    auto& port = started.port<ScriptedPort>();
    started.frm().CNoche.Click();
    EXPECT_EQ(port.frames.size(), 3u);
    EXPECT_EQ(started.frm().status(), " ZRK night mode failed");
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(started.frm().CNoche.Enabled());
}

}  // namespace
}  // namespace zrk::test
