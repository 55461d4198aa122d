// zrkctl identify, read and set over the simulated unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "ctl_fixture.h"
#include "params/visibility.h"
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
        {{"set", "TPWMLed=300"}, cli::kPortError},
        {{"set", "TVelocidadUsuario1=2000"}, cli::kPortError},
        {{"set", "TTiempoLampara1=-1"}, cli::kPortError},
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
            std::string said = cli.err.str();
            for (const auto& m : cli.started.machine.ui.messages) said += m.text;
            EXPECT_FALSE(said.empty()) << "says what is wrong";
            const std::string& setting = c.args.back();
            if (setting.find('=') != std::string::npos && setting.rfind("No", 0) != 0) {
                // A value the field refuses is named by its caption, as in the
                // window; a NAME=VALUE zrkctl cannot apply, by the name given.
                const std::string name = setting.substr(0, setting.find('='));
                const auto row = cli::rowOfField(name);
                ASSERT_TRUE(row.has_value()) << setting;
                EXPECT_TRUE(said.find(params::fieldCaption(cli.started.frm(), *row) + ": ") != std::string::npos ||
                            said.find("zrkctl: set: " + name) != std::string::npos ||
                            said.find(" for " + name) != std::string::npos)
                    << said;
            }
        }
    }
}

TEST(ParameterCli, NoAnswerIsExitOne) {
    Cli cli;
    cli.unit().unit().setFaults(sim::parseFaults({"no-answer"}));
    for (const char* command : {"identify", "read"}) EXPECT_EQ(cli.run({command}), cli::kNoAnswer) << command;
    EXPECT_EQ(cli.run({"set", "TPWMLed=5"}), cli::kNoAnswer);
}

TEST(ParameterCli, SetReadsBackWhatItWroteUnlessToldNotTo) {
    for (bool verify : {true, false}) {
        Cli cli;
        cli.unit().unit().setFaults(sim::parseFaults({"stuck=49"}));
        std::vector<std::string> args{"set", "TPWMLed=33"};
        if (!verify) args.insert(args.begin() + 1, "--no-verify");
        const int code = cli.run(args);
        if (verify) {
            EXPECT_EQ(code, cli::kNoAnswer);
            EXPECT_NE(cli.err.str().find("Address 49: written 33, the unit holds 80"), std::string::npos)
                << cli.err.str();
        } else {
            EXPECT_EQ(code, cli::kOk) << cli.err.str();
            EXPECT_EQ(cli.out.str(), "Ended\n");
        }
        EXPECT_EQ(cli.unit().device().memory(49), 80) << "the stuck cell kept its byte";
    }
}

TEST(ParameterCli, SetSendsBackTheUnitsOwnBytesForEveryOtherField) {
    Cli cli("all-addresses");
    cli.started.machine.platform.numbers = {",", "\u202f"};  // French: grouping with a narrow blank
    std::array<std::uint8_t, 256> before{};
    for (int a = 0; a < 256; ++a) before[static_cast<std::size_t>(a)] = cli.unit().device().memory(a);
    EXPECT_EQ(cli.run({"set", "TPWMLed=80"}), cli::kOk) << cli.err.str();
    before[49] = 80;
    for (int a = 0; a < 256; ++a) EXPECT_EQ(cli.unit().device().memory(a), before[static_cast<std::size_t>(a)]) << a;
}

// `fields` gives every name get and set take with the caption and unit label
// the window shows, three tab-separated columns a script can cut.
TEST(ParameterCli, FieldsListsNameCaptionAndUnit) {
    Ctl ctl(missingPort());
    ASSERT_EQ(ctl.run({"fields"}), cli::kOk) << ctl.err.str();
    std::istringstream lines(ctl.out.str());
    std::vector<std::string> listed;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        listed.push_back(line);
    }
    EXPECT_EQ(listed.size(), params::rowAddresses().size());
    for (const char* expected :
         {"TPWMLed\tPWM Led\t%", "TTiempoLampara1\tDelay Lamp 1\tSeg.", "ComboTipoMotor\tMotor Type\t",
          "txtTiempoDe\tRecovery time after hibernation\tMin.", "TAlarmLampara2\tLamp 2 current alarm\tA",
          // What the window shows beside them: no unit for the failed turns, "%" for the LED brightness.
          "TVueltasError\tFailed turns\t", "TLuminosidadLeds\tLuminosidad Leds\t%"})
        EXPECT_NE(std::find(listed.begin(), listed.end(), expected), listed.end()) << expected;
}

}  // namespace
}  // namespace zrk::test
