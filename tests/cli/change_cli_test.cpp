// zrkctl get, diff, the dry runs, the partial set and write, and the write
// log, against the simulated unit: what each prints and how many frames it
// costs the line.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <sstream>

#include "ctl_fixture.h"
#include "files/write_record.h"
#include "sim/faults.h"

namespace zrk::test {
namespace {

struct Cli : Ctl {
    explicit Cli(const std::string& scenario = "led-lantern") : Ctl(simulatedUnit(scenario)) {
        started.program->LoadWithoutWindow();
    }
    std::size_t frames(int command = -1) {
        std::size_t n = 0;
        for (const auto& f : device().frameLog()) n += command < 0 || f[4] == command ? 1 : 0;
        return n;
    }
    // A parameter file of this unit with one field changed.
    std::string fileWith(const std::string& setting) {
        EXPECT_EQ(run({"read", "-o", path("unit.zrk")}), cli::kOk) << err.str();
        Cli other;
        other.started.program->LoadWithoutWindow();
        EXPECT_EQ(other.run({"set", setting}), cli::kOk) << other.err.str();
        EXPECT_EQ(other.run({"read", "-o", path("changed.zrk")}), cli::kOk) << other.err.str();
        device().clearFrameLog();
        return path("changed.zrk");
    }
    // This unit's parameter file with some positions of run 1 set as given.
    std::string fileSetting(const std::map<int, std::string>& positions) {
        EXPECT_EQ(run({"read", "-o", path("unit.zrk")}), cli::kOk) << err.str();
        std::istringstream in(fileText(path("unit.zrk")));
        std::string text;
        int position = 0;
        for (std::string line; std::getline(in, line); ++position)
            text += (positions.count(position) != 0 ? positions.at(position) + "\r" : line) + "\n";
        std::ofstream(path("changed.zrk"), std::ios::binary) << text;
        device().clearFrameLog();
        return path("changed.zrk");
    }
    std::array<std::uint8_t, 256> memory() {
        std::array<std::uint8_t, 256> cells{};
        for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device().memory(a);
        return cells;
    }
};

TEST(GetCli, ReadsOnlyTheCellsOfTheFieldsAsked) {
    Cli cli;
    EXPECT_EQ(cli.run({"get", "TPWMLed", "TVelocidadUsuario1", "ComboTipoMotor"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "TPWMLed: 80\nTVelocidadUsuario1: 10.0000\nComboTipoMotor: 3\n");
    // 32 for the in-use map; 1 + 3 + 1 cells, the sensor type and the identifier number.
    EXPECT_EQ(cli.frames(), 32u + 5u + 1u + 2u);
    EXPECT_EQ(cli.frames(2), 0u);
    EXPECT_EQ(cli.run({"get", "TPWMLed", "TLuxON"}, true), cli::kOk);
    EXPECT_EQ(cli.out.str(), "{\"fields\": {\"TPWMLed\": \"80\", \"TLuxON\": \"30\"}}\n");
}

TEST(GetCli, NamesWhatItCannotGet) {
    Cli rotating("rotating-lantern");
    EXPECT_EQ(rotating.run({"get", "TPWMLed"}), cli::kPortError);
    EXPECT_NE(rotating.err.str().find("does not use TPWMLed"), std::string::npos) << rotating.err.str();
    Cli cli;
    EXPECT_EQ(cli.run({"get", "TNoSuchField"}), cli::kUsage);
    EXPECT_EQ(cli.run({"get"}), cli::kUsage);
    EXPECT_EQ(cli.frames(), 0u) << "a bad name is refused before the line is used";
}

TEST(SetCli, WritesOnlyItsOwnFieldsInAFewTransactions) {
    Cli cli;
    const auto before = cli.device().memory(53);
    EXPECT_EQ(cli.run({"set", "TPWMLed=81"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.device().memory(49), 81);
    EXPECT_EQ(cli.device().memory(53), before);
    // Map 32, cells 49, 41, 254, 255; the identifier check 2; one write; one read-back.
    EXPECT_EQ(cli.frames(), 32u + 4u + 2u + 1u + 1u);
    EXPECT_EQ(cli.frames(2), 1u);
    // The same value again changes nothing and writes nothing.
    cli.device().clearFrameLog();
    EXPECT_EQ(cli.run({"set", "TPWMLed=81"}), cli::kOk);
    EXPECT_EQ(cli.frames(2), 0u);
}

TEST(SetCli, DryRunPrintsTheChangesAndWritesNothing) {
    Cli cli;
    EXPECT_EQ(cli.run({"set", "--dry-run", "TPWMLed=81", "TVueltasError=3", "ComboTipoMotor=1"}), cli::kOk)
        << cli.err.str();
    EXPECT_EQ(cli.out.str(), "TPWMLed (PWM Led): 80 -> 81 %\nComboTipoMotor (Motor Type): 3 -> 1\n");
    EXPECT_EQ(cli.frames(2), 0u);
    EXPECT_EQ(cli.device().memory(49), 80);
    EXPECT_EQ(cli.run({"set", "--dry-run", "TPWMLed=81"}, true), cli::kOk);
    EXPECT_EQ(cli.out.str(), "{\"changes\": [{\"field\": \"TPWMLed\", \"unit\": \"80\", \"new\": \"81\"}]}\n");
}

TEST(DiffCli, PrintsWhatTheFileShowsOtherwiseAndWritesNothing) {
    Cli cli;
    const std::string file = cli.fileWith("TPWMLed=55");
    EXPECT_EQ(cli.run({"diff", file}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "TPWMLed (PWM Led): 80 -> 55 %\n");
    EXPECT_EQ(cli.frames(2), 0u);
    EXPECT_EQ(cli.run({"diff", file}, true), cli::kOk);
    EXPECT_EQ(cli.out.str(), "{\"changes\": [{\"field\": \"TPWMLed\", \"unit\": \"80\", \"file\": \"55\"}]}\n");
    EXPECT_EQ(cli.run({"diff", cli.path("unit.zrk")}), cli::kOk);
    EXPECT_EQ(cli.out.str(), "") << "the unit's own file differs in nothing";
    EXPECT_EQ(cli.run({"diff"}), cli::kUsage);
}

TEST(WriteCli, SendsOnlyWhatDiffersUnlessFull) {
    Cli cli;
    const std::string file = cli.fileWith("TPWMLed=55");
    EXPECT_EQ(cli.run({"write", "--dry-run", file}), cli::kOk);
    EXPECT_EQ(cli.out.str(), "TPWMLed (PWM Led): 80 -> 55 %\n");
    EXPECT_EQ(cli.frames(2), 0u);

    cli.device().clearFrameLog();
    EXPECT_EQ(cli.run({"write", file}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.frames(2), 1u);
    EXPECT_EQ(cli.device().memory(49), 55);
    EXPECT_NE(cli.out.str().find("Saved before writing: "), std::string::npos) << cli.out.str();

    cli.device().clearFrameLog();
    EXPECT_EQ(cli.run({"write", "--full", file}), cli::kOk) << cli.err.str();
    std::size_t inUse = 0;
    for (int a = 0; a < 256; ++a)
        inUse += cli.device().isInUse(a) && params::carriesField(a) && (a <= 246 || a >= 254) ? 1 : 0;
    EXPECT_EQ(cli.frames(2), inUse);
}

TEST(LogCli, PrintsTheWritesNewestLastAndFiltersByUnit) {
    Cli cli;
    ASSERT_EQ(cli.run({"set", "TPWMLed=81"}), cli::kOk);
    ASSERT_EQ(cli.run({"set", "TPWMLed=82", "TVueltasError=4"}), cli::kOk);
    EXPECT_FALSE(std::filesystem::exists(cli.started.machine.platform.info.dataFolder / "before-write"))
        << "a set reads a few fields, not the whole unit: there is no full copy to keep";
    files::WriteRecord(cli.started.machine.platform.info.dataFolder)
        .append({{"t", "777", "TPWMLed", "1", "2", "verified"}});
    EXPECT_EQ(cli.run({"log", "--unit", "40101"}), cli::kOk);
    std::vector<std::string> lines;
    std::istringstream text(cli.out.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(line.find('\t') + 1));
    EXPECT_EQ(lines, (std::vector<std::string>{"40101\tTPWMLed\t80\t81\tverified\t49:80>81",
                                               "40101\tTPWMLed\t81\t82\tverified\t49:81>82",
                                               "40101\tTVueltasError\t3\t4\tverified\t53:3>4"}));
    EXPECT_EQ(cli.run({"log"}, true), cli::kOk);
    EXPECT_NE(cli.out.str().find("{\"time\": \"t\", \"unit\": \"777\", \"field\": \"TPWMLed\", \"before\": \"1\", "
                                 "\"written\": \"2\", \"outcome\": \"verified\", \"cells\": \"\", \"write\": 0, "
                                 "\"undoes\": 0}]}"),
              std::string::npos)
        << cli.out.str();
    EXPECT_EQ(cli.run({"log", "--unit"}), cli::kUsage);
}

// A list value the file reader replaces (motor type 4 opens as 1, light
// sensor 3 as 2, lamp sensor 3 as 0, changer type 8 leaves the list) is
// confirmed, sent and logged as the choice shown, never as the file's byte:
// motor type 4 would leave a unit the tool cannot read.
TEST(ChangePlanCli, AListValueTheFileReaderReplacesIsSentAsTheChoiceShown) {
    Cli cli("all-addresses");
    for (auto [address, value] : {std::pair{50, 0}, std::pair{41, 0}, std::pair{63, 1}, std::pair{27, 3}})
        cli.device().setMemory(address, static_cast<std::uint8_t>(value));
    const std::string file = cli.fileSetting({{50, "4"}, {41, "3"}, {63, "3"}, {27, "8"}});
    ASSERT_EQ(cli.run({"write", "--dry-run", file}), cli::kOk) << cli.err.str();
    const std::string planned = cli.out.str();
    for (const char* line : {"ComboTipoMotor (Motor Type): 0 -> 1\n", "ComboSensorLuz (sensor type): 0 -> 2\n",
                             "cmbTipoSensorLampara (Type sensor lamp): 1 -> 0\n"})
        EXPECT_NE(planned.find(line), std::string::npos) << planned;
    EXPECT_EQ(planned.find("ComboTipoCambiador"), std::string::npos) << planned;
    ASSERT_EQ(cli.run({"diff", file}), cli::kOk);
    EXPECT_EQ(cli.out.str(), planned) << "diff and the dry run are the same plan";

    ASSERT_EQ(cli.run({"write", file}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.device().memory(50), 1);
    EXPECT_EQ(cli.device().memory(41), 2);
    EXPECT_EQ(cli.device().memory(63), 0);
    EXPECT_EQ(cli.device().memory(27), 3);
    ASSERT_EQ(cli.run({"log"}), cli::kOk);
    EXPECT_NE(cli.out.str().find("\tComboTipoMotor\t0\t1\tverified\t50:0>1\n"), std::string::npos) << cli.out.str();
    EXPECT_EQ(cli.run({"read"}), cli::kOk) << "the unit can still be read: " << cli.err.str();
}

// A field whose cells would not change is no change, whatever the file or
// the form shows: 1000 shown as 999 after a read and as 1000 from a file,
// and the raw bytes of lists and check boxes a read shows capped.
TEST(ChangePlanCli, AFieldWhoseCellsStayIsNoChange) {
    Cli cli("all-addresses");
    for (auto [address, value] :
         {std::pair{57, 3}, std::pair{58, 232}, std::pair{38, 5}, std::pair{40, 9}, std::pair{54, 3}, std::pair{62, 2}})
        cli.device().setMemory(address, static_cast<std::uint8_t>(value));
    const auto before = cli.memory();
    ASSERT_EQ(cli.run({"read", "-o", cli.path("unit.zrk")}), cli::kOk);
    for (const char* command : {"diff", "write --dry-run", "write"}) {
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) args.push_back(word);
        args.push_back(cli.path("unit.zrk"));
        cli.device().clearFrameLog();
        ASSERT_EQ(cli.run(args), cli::kOk) << command << ": " << cli.err.str();
        EXPECT_EQ(cli.out.str().find(" -> "), std::string::npos) << command << ": " << cli.out.str();
        EXPECT_EQ(cli.frames(2), 0u) << command;
    }
    EXPECT_EQ(cli.memory(), before);
}

// A value with more decimals than the field keeps is confirmed and logged as
// the unit will hold it; a light level that is no number or beyond the
// sensor's table is refused, naming the field by its caption.
TEST(ChangePlanCli, WhatIsConfirmedIsWhatTheUnitHolds) {
    Cli cli;
    cli.started.machine.platform.numbers = {",", "\u202f"};
    ASSERT_EQ(cli.run({"set", "--dry-run", "TTiempoLampara1=4,25"}), cli::kOk) << cli.err.str();
    const std::string planned = cli.out.str();
    EXPECT_NE(planned.find(" -> 4,2 Seg.\n"), std::string::npos) << planned;
    ASSERT_EQ(cli.run({"set", "TTiempoLampara1=4,25"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.device().memory(28) * 256 + cli.device().memory(29), 42) << "4,25 is kept as 4,2 (half to even)";
    ASSERT_EQ(cli.run({"log"}), cli::kOk);
    EXPECT_NE(cli.out.str().find("\tTTiempoLampara1\t" +
                                 planned.substr(planned.find(": ") + 2, planned.find(" -> ") - planned.find(": ") - 2) +
                                 "\t4,2\tverified\t"),
              std::string::npos)
        << cli.out.str();

    for (const char* lux : {"TLuxON=abc", "TLuxON=99999", "TLuxOFF=521"}) {
        cli.device().clearFrameLog();
        EXPECT_EQ(cli.run({"set", lux}), cli::kPortError) << lux;
        EXPECT_EQ(cli.frames(2), 0u) << lux;
        std::string said = cli.err.str();
        for (const auto& m : cli.started.machine.ui.messages) said += m.text;
        EXPECT_NE(said.find("Light level"), std::string::npos) << said;
    }
}

// Undo puts back every byte a write from a file changed, raw list bytes and
// the other bits of a check box's cell included, which no parameter file
// can carry.
TEST(ChangePlanCli, UndoPutsBackEveryByteAfterAFileChangedListsAndCheckBoxes) {
    Cli cli("all-addresses");
    for (auto [address, value] : {std::pair{38, 5}, std::pair{50, 3}, std::pair{54, 0xA5}, std::pair{61, 2},
                                  std::pair{62, 2}, std::pair{63, 1}})
        cli.device().setMemory(address, static_cast<std::uint8_t>(value));
    const auto original = cli.memory();
    const std::string file =
        cli.fileSetting({{38, "0"}, {39, "1"}, {50, "4"}, {54, "0"}, {55, "1"}, {61, "1"}, {62, "1"}, {63, "3"}});
    ASSERT_EQ(cli.run({"write", file}), cli::kOk) << cli.err.str();
    EXPECT_NE(cli.memory(), original);
    cli.device().clearFrameLog();
    ASSERT_EQ(cli.run({"undo", "--dry-run"}), cli::kOk) << cli.err.str();
    // The values as the write logged them, the cells as the unit held them.
    EXPECT_NE(cli.out.str().find("ComboTipoLampara1: 0 -> 1 (38: 0 -> 5)"), std::string::npos) << cli.out.str();
    EXPECT_NE(cli.out.str().find("CheckBalizaEmergencia: 0 -> 1 (54: 0 -> 165)"), std::string::npos) << cli.out.str();
    EXPECT_EQ(cli.frames(2), 0u);
    ASSERT_EQ(cli.run({"undo"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.memory(), original);
}

// Without a place for the write record zrkctl sends nothing, says where
// and why, and writes all the same when told --no-record.
TEST(ChangePlanCli, NoRecordIsTheEngineersChoice) {
    Cli cli;
    const auto data = cli.started.machine.platform.info.dataFolder;
    std::filesystem::create_directories(data / "writes.log" / "x");  // no file can be written there
    EXPECT_EQ(cli.run({"set", "TPWMLed=81"}), cli::kPortError);
    EXPECT_EQ(cli.device().memory(49), 80);
    std::string said = cli.err.str();
    for (const auto& m : cli.started.machine.ui.messages) said += m.text;
    EXPECT_NE(said.find((data / "writes.log").string()), std::string::npos) << said;
    EXPECT_NE(said.find("--no-record"), std::string::npos) << said;
    EXPECT_EQ(cli.run({"set", "--no-record", "TPWMLed=81"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.device().memory(49), 81);
}

}  // namespace
}  // namespace zrk::test
