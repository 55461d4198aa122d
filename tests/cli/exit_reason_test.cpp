// Every exit of zrkctl other than 0 says why on standard error: commands
// without an answer, and transfers that stopped at an address name it.
#include <gtest/gtest.h>

#include "ctl_fixture.h"
#include "frame_hook_port.h"

namespace zrk::test {
namespace {

constexpr std::uint8_t kRead = 1, kWrite = 2;

TEST(ExitReason, EveryFailureIsExplainedOnStandardError) {
    struct Case {
        const char* name;
        PortFactory unit;
        std::function<bool(const FrameHookPort::Frame&)> lose;  // with a hooked unit
        std::vector<std::string> args;
        int code;
        std::vector<std::string> says;
    };
    const auto silent = scriptedUnit();
    const auto hooked = hookedUnit("led-lantern");
    const Case cases[] = {
        {"command, silent unit",
         silent,
         {},
         {"command", "day"},
         cli::kNoAnswer,
         {"zrkctl: command day: no answer from the unit", "day mode failed"}},
        {"status, silent unit",
         silent,
         {},
         {"status", "--lamps", "--changer", "0"},
         cli::kNoAnswer,
         {"zrkctl: status: no answer from the unit"}},
        {"identify, silent unit",
         silent,
         {},
         {"identify"},
         cli::kNoAnswer,
         {"zrkctl: identify: No answer from the unit"}},
        {"read, lost at address 27",
         hooked,
         [](const auto& f) { return f.command == kRead && f.parameter1 == 27; },
         {"read"},
         cli::kNoAnswer,
         {"zrkctl: read: ", "27"}},
        // set reads and writes only the cells of its fields: TPWMLed is address 49.
        {"set, read lost at address 49",
         hooked,
         [](const auto& f) { return f.command == kRead && f.parameter1 == 49; },
         {"set", "TPWMLed=81"},
         cli::kNoAnswer,
         {"zrkctl: set: ", "49"}},
        {"set, write lost at address 49",
         hooked,
         [](const auto& f) { return f.command == kWrite && f.parameter1 == 49; },
         {"set", "TPWMLed=81"},
         cli::kNoAnswer,
         {"zrkctl: set: ", "address 49"}},
    };
    for (const auto& c : cases) {
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
