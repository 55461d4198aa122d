// Every exit of zrkctl other than 0 says why on standard error: commands
// without an answer, and transfers that stopped at an address name it.
#include <gtest/gtest.h>

#include "ctl_fixture.h"
#include "error_paths.h"

namespace zrk::test {
namespace {

TEST(ExitReason, EveryFailureIsExplainedOnStandardError) {
    for (const auto& c : failingCommands()) {
        SCOPED_TRACE(c.name);
        Ctl ctl(c.unit);
        if (c.lose) ctl.started.port<FrameHookPort>().onFrame = c.lose;
        EXPECT_EQ(ctl.run(c.args), c.code);
        const std::string err = ctl.err.str();
        for (const auto& words : c.says) EXPECT_NE(err.find(words), std::string::npos) << "stderr: " << err;
    }
}

// The fallback adds nothing where the command already said why.
TEST(ExitReason, NothingIsRepeatedWhereTheCommandSaidWhy) {
    Ctl ctl(scriptedUnit());
    EXPECT_EQ(ctl.run({"status", "--lamps"}), cli::kNoAnswer);
    const std::string err = ctl.err.str();
    EXPECT_NE(err.find("changer type (address 27) could not be read"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace zrk::test
