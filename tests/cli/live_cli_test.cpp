// zrkctl status and io against the simulated unit, a silent unit and a
// missing port: output, options and exit codes.
#include <gtest/gtest.h>

#include <sstream>

#include "ctl_fixture.h"
#include "sim/scenario.h"

namespace zrk::test {
namespace {

// The live commands, run with --json unless a test says otherwise.
struct Cli : Ctl {
    using Ctl::Ctl;
    int run(const std::vector<std::string>& args, bool json = true) { return Ctl::run(args, json); }
    std::vector<int> selectors() {
        std::vector<int> out;
        for (const auto& frame : device().frameLog()) out.push_back(sim::frameParameter1(frame));
        return out;
    }
};

TEST(StatusCommand, ReportsEveryLampAndValueItRead) {
    Cli cli(simulatedUnit());
    cli.device().setMemory(27, 0);  // a TKR41 changer
    cli.device().setStatusA(0b011);
    cli.device().setStatusB(0b00100010);
    cli.device().setPresentCurrent(1234);
    cli.device().setPresentSpeed(5);
    cli.device().setLedCurrent(65535);
    EXPECT_EQ(cli.run({"status"}), cli::kOk);
    EXPECT_EQ(
        cli.out.str(),
        "{\"lamps\": {\"LedOn\": \"on\", \"LedMotorOn\": \"on\", \"LedRojoAlarmaMotor\": \"off\", "
        "\"LedRojoPrealarmaLampara\": \"on\", \"LedVerdeLampara1On\": \"on\", \"LedRojoAlarmaLampara1\": \"off\"}, "
        "\"values\": {\"TCorrienteActual\": \"12.34\", \"TVelocidadActual\": \"0.05\", "
        "\"txtCorrienteLeds\": \"655.35\"}}\n");
}

TEST(StatusCommand, ChangerEntryChoosesTheLampsOfByteB) {
    Cli cli(simulatedUnit());
    cli.device().setStatusA(0);
    cli.device().setStatusB(0x80);
    EXPECT_EQ(cli.run({"status", "--lamps", "--changer", "2"}), cli::kOk);
    EXPECT_EQ(cli.out.str(),
              "{\"lamps\": {\"LedOn\": \"off\", \"LedMotorOn\": \"off\", \"LedRojoAlarmaMotor\": \"off\", "
              "\"LedAzulLampara1\": \"off\", \"LedAzulCambiador\": \"off\", \"LedVerdeLampara1On\": \"off\", "
              "\"LedRojoFalloFoco\": \"on\"}, \"values\": {}}\n");
}

TEST(StatusCommand, OptionsChooseTheBytesRead) {
    const struct {
        std::vector<std::string> args;
        std::vector<int> selectors;
    } cases[] = {
        // The changer type (address 27) first, for the lamps of byte B.
        {{"status"}, {27, 0, 1, 2, 3, 4, 5, 6, 7}},
        {{"status", "--lamps"}, {27, 0, 1}},
        {{"status", "--lamps", "--changer", "1"}, {0, 1}},
        {{"status", "--speed", "--current"}, {2, 3, 4, 5}},
        {{"status", "--led-current"}, {6, 7}},
    };
    for (const auto& c : cases) {
        Cli cli(simulatedUnit());
        cli.device().clearFrameLog();
        EXPECT_EQ(cli.run(c.args), cli::kOk);
        EXPECT_EQ(cli.selectors(), c.selectors) << c.args.back();
    }
}

// Without --changer the lamps of byte B are those of the type the unit
// keeps: one parameter read of address 27 before the interrogation.
TEST(StatusCommand, WithoutChangerTheUnitsOwnTypeChoosesTheLampsOfByteB) {
    const struct {
        std::uint8_t changerType;
        std::string byteB;
    } cases[] = {
        {0, "\"LedRojoPrealarmaLampara\": \"on\", \"LedVerdeLampara1On\": \"on\", \"LedRojoAlarmaLampara1\": \"on\""},
        {2,
         "\"LedAzulLampara1\": \"on\", \"LedAzulCambiador\": \"on\", \"LedVerdeLampara1On\": \"on\", "
         "\"LedRojoFalloFoco\": \"on\""},
        {3, "\"LedRojoAlarmaLampara1\": \"on\""},  // the LED lantern: not read as a TKR41
        {5, ""},                                   // a type without lamps of byte B
        {200, ""},                                 // no type of the list
    };
    for (const auto& c : cases) {
        Cli cli(simulatedUnit());
        cli.device().setMemory(27, c.changerType);
        cli.device().setStatusA(0);
        cli.device().setStatusB(0xFF);
        cli.device().clearFrameLog();
        EXPECT_EQ(cli.run({"status", "--lamps"}), cli::kOk) << int{c.changerType} << ": " << cli.err.str();
        EXPECT_EQ(cli.out.str(),
                  "{\"lamps\": {\"LedOn\": \"off\", \"LedMotorOn\": \"off\", \"LedRojoAlarmaMotor\": \"off\"" +
                      (c.byteB.empty() ? "" : ", " + c.byteB) + "}, \"values\": {}}\n")
            << int{c.changerType};
        ASSERT_FALSE(cli.device().frameLog().empty());
        EXPECT_EQ(sim::frameCommand(cli.device().frameLog()[0]), 1) << "a parameter read";
        EXPECT_EQ(cli.device().memory(27), c.changerType) << "and nothing written";
    }
}

TEST(StatusCommand, SilentUnitGivesUnknownLampsNoValuesAndExitOne) {
    Cli cli(scriptedUnit());
    EXPECT_EQ(cli.run({"status", "--lamps", "--current", "--changer", "0"}), cli::kNoAnswer);
    EXPECT_EQ(cli.out.str(),
              "{\"lamps\": {\"LedOn\": \"unknown\", \"LedMotorOn\": \"unknown\", \"LedRojoAlarmaMotor\": \"unknown\", "
              "\"LedRojoPrealarmaLampara\": \"unknown\", \"LedVerdeLampara1On\": \"unknown\", "
              "\"LedRojoAlarmaLampara1\": \"unknown\"}, \"values\": {\"TCorrienteActual\": \"--\"}}\n");
}

TEST(StatusCommand, AChangerTypeThatCannotBeReadStopsBeforeTheLamps) {
    Cli cli(scriptedUnit());
    EXPECT_EQ(cli.run({"status", "--lamps"}), cli::kNoAnswer);
    EXPECT_EQ(cli.out.str(), "");
    EXPECT_NE(cli.err.str().find("changer type (address 27) could not be read"), std::string::npos) << cli.err.str();
    EXPECT_NE(cli.err.str().find("--changer"), std::string::npos) << cli.err.str();
}

TEST(StatusCommand, PlainTextWithoutJson) {
    Cli cli(simulatedUnit());
    cli.device().setStatusA(1);
    EXPECT_EQ(cli.run({"status", "--lamps", "--changer", "5"}, false), cli::kOk);
    EXPECT_EQ(cli.out.str(), "LedOn on\nLedMotorOn off\nLedRojoAlarmaMotor off\n");
}

TEST(LiveCommands, UsageErrors) {
    const std::vector<std::string> cases[] = {
        {"status", "--volts"},        {"status", "--changer"}, {"status", "--changer", "8"},
        {"status", "--changer", "x"}, {"io", "extra"},
    };
    for (const auto& args : cases) {
        Cli cli(simulatedUnit());
        cli.device().clearFrameLog();
        EXPECT_EQ(cli.run(args), cli::kUsage) << args.back();
        EXPECT_TRUE(cli.device().frameLog().empty()) << args.back();
        EXPECT_NE(cli.err.str().find("Usage:"), std::string::npos) << args.back();
    }
}

TEST(LiveCommands, MissingPortIsExitThreeWithItsMessage) {
    for (const std::string command : {"status", "io"}) {
        Cli cli(missingPort());
        cli.started.machine.ui.messages.clear();
        EXPECT_EQ(cli.run({command}), cli::kPortError) << command;
        EXPECT_EQ(cli.out.str(), "") << command;
        const bool inBox = !cli.started.machine.ui.messages.empty() &&
                           cli.started.machine.ui.messages[0].text.find("/dev/fake1") != std::string::npos;
        const bool onStderr = cli.err.str().find("/dev/fake1") != std::string::npos;
        EXPECT_TRUE(inBox || onStderr) << command << ": the operator learns which port failed";
    }
}

TEST(IoCommand, ReportsInputsAndOutputs) {
    Cli cli(simulatedUnit());
    cli.device().setInputsByte(0x05);
    cli.device().setOutputsWord(0x0401);
    EXPECT_EQ(cli.run({"io"}), cli::kOk);
    EXPECT_EQ(cli.out.str(),
              "{\"inputs\": [\"ON\", \"OFF\", \"ON\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\"], "
              "\"outputs\": [\"ON\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", \"OFF\", "
              "\"ON\"]}\n");
}

TEST(IoCommand, SilentUnitShowsNoStatesAndExitOne) {
    Cli cli(scriptedUnit());
    EXPECT_EQ(cli.run({"io"}, false), cli::kNoAnswer);
    EXPECT_EQ(cli.out.str(), "inputs -- -- -- -- -- -- -- --\noutputs -- -- -- -- -- -- -- -- -- -- --\n");
}

}  // namespace
}  // namespace zrk::test
