// The guard that keeps device operations from overlapping, and what it puts
// back when one ends by an error.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "ops/device_operation.h"
#include "ops/remote_commands.h"
#include "started_program.h"

namespace zrk::test {
namespace {

TEST(DeviceGuard, SecondOperationIsSkippedAndEverythingIsRestored) {
    StartedProgram started;
    auto& frm = started.frm();
    frm.CEscribir.setEnabled(false);  // disabled before: stays so
    bool innerRan = false;
    EXPECT_THROW(started.program->state.guard.run([&] {
        EXPECT_TRUE(started.program->state.guard.busy());
        EXPECT_FALSE(frm.CDia.Enabled());
        EXPECT_FALSE(frm.CInterrogar.Enabled());
        EXPECT_EQ(ops::deviceOperation(started.program->state, [&] { innerRan = true; }), ops::End::NotStarted);
        throw std::runtime_error("boom");
    }),
                 std::runtime_error);
    EXPECT_FALSE(innerRan);
    EXPECT_FALSE(started.program->state.guard.busy());
    EXPECT_TRUE(frm.CDia.Enabled());
    EXPECT_FALSE(frm.CEscribir.Enabled());
}

TEST(DeviceGuard, PortErrorEndsTheOperationWithAMessageAndThePortClosed) {
    StartedProgram started;
    started.machine.fakePort.missing = {1};
    const auto& commands = ops::remoteCommands();
    const auto& day = *std::find_if(commands.begin(), commands.end(),
                                    [](const ops::RemoteCommand& c) { return std::string(c.button) == "CDia"; });
    const auto outcome =
        ops::guarded(started.program->state, [&] { return ops::sendRemoteCommand(started.program->state, day); });
    ASSERT_EQ(started.machine.ui.messages.size(), 1u);
    EXPECT_NE(started.machine.ui.messages.front().text.find("/dev/fake1"), std::string::npos);
    EXPECT_EQ(outcome, ops::End::PortError);
    EXPECT_EQ(outcome.message, started.machine.ui.messages.front().text);
    EXPECT_FALSE(started.machine.fakePort.isOpen());
    EXPECT_TRUE(started.frm().CDia.Enabled());
    EXPECT_FALSE(started.program->state.guard.busy());
}

}  // namespace
}  // namespace zrk::test
