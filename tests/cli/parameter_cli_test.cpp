// zrkctl identify, read and set over the simulated unit.
#include <gtest/gtest.h>

#include <sstream>

#include "ctl_fixture.h"
#include "sim/faults.h"

namespace zrk::test {
namespace {

// zrkctl works on the form as the start-up leaves it without a window.
struct Cli : Ctl {
    explicit Cli(const std::string& scenario = "led-lantern") : Ctl(simulatedUnit(scenario)) {
        started.program->LoadWithoutWindow();
    }
    sim::SimulatedPort& unit() { return started.port<sim::SimulatedPort>(); }
};

TEST(ParameterCli, IdentifyPrintsTheMapByteZeroFirst) {
    Cli cli;
    EXPECT_EQ(cli.run({"identify"}), cli::kOk);
    std::string expected;
    for (int i = 0; i < 32; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", cli.unit().device().mapByte(i));
        expected += hex;
    }
    EXPECT_EQ(cli.out.str(), expected + "\n");
    EXPECT_EQ(cli.run({"identify"}, true), cli::kOk);
    EXPECT_NE(cli.out.str().find("\"visible\": [\"TVelocidadUsuario1\""), std::string::npos) << cli.out.str();
    EXPECT_EQ(cli.out.str().find("Label("), std::string::npos) << "fields only, no captions";
}

TEST(ParameterCli, ReadPrintsEveryFieldAndTheStatus) {
    Cli cli;
    EXPECT_EQ(cli.run({"read"}, true), cli::kOk);
    const std::string json = cli.out.str();
    for (const char* expected : {"\"TVelocidadUsuario1\": \"10.0000\"", "\"ComboTipoCambiador\": 3", "\"TLuxONAD\": ",
                                 "\"chkHibernacionMotor\": ", "\"TNumeroID\": ", "\"status\": \"Ended\""})
        EXPECT_NE(json.find(expected), std::string::npos) << expected << " in " << json;
}

TEST(ParameterCli, SetWritesTheFieldsAndRefusesBadOnes) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{"set", "TVelocidadUsuario1=15.5", "ComboTipoMotor=2"}, cli::kOk},
        {{"set", "ComboTipoMotor=9"}, cli::kPortError},
        {{"set", "TVelocidadUsuario1=abc"}, cli::kPortError},
        {{"set", "NoSuchField=1"}, cli::kUsage},
        {{"set", "ComboTipoMotor=two"}, cli::kPortError},
        {{"set"}, cli::kUsage},
        {{"set", "justtext"}, cli::kUsage},
    };
    for (const auto& c : cases) {
        Cli cli;
        const auto before = cli.unit().device().memory(50);
        EXPECT_EQ(cli.run(c.args), c.exitCode) << c.args.back();
        if (c.exitCode == cli::kOk) {
            EXPECT_EQ(cli.unit().device().memory(50), 2);
            EXPECT_EQ(cli.unit().device().memory(0) * 65536 + cli.unit().device().memory(1) * 256 +
                          cli.unit().device().memory(2),
                      155000);
        } else {
            EXPECT_EQ(cli.unit().device().memory(50), before) << c.args.back() << ": nothing written";
            EXPECT_TRUE(!cli.err.str().empty() || !cli.started.machine.ui.messages.empty()) << "says what is wrong";
        }
    }
}

TEST(ParameterCli, NoAnswerIsExitOne) {
    Cli cli;
    cli.unit().unit().setFaults(sim::parseFaults({"no-answer"}));
    for (const char* command : {"identify", "read"}) EXPECT_EQ(cli.run({command}), cli::kNoAnswer) << command;
    EXPECT_EQ(cli.run({"set", "TPWMLed=5"}), cli::kNoAnswer);
}

}  // namespace
}  // namespace zrk::test
