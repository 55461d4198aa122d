// zrkctl get, diff, the dry runs, the partial set and write, and the write
// log, against the simulated unit: what each prints and how many frames it
// costs the line.
#include <gtest/gtest.h>

#include <fstream>

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
    EXPECT_EQ(cli.out.str(), "TPWMLed: 80 -> 81\nComboTipoMotor: 3 -> 1\n");
    EXPECT_EQ(cli.frames(2), 0u);
    EXPECT_EQ(cli.device().memory(49), 80);
    EXPECT_EQ(cli.run({"set", "--dry-run", "TPWMLed=81"}, true), cli::kOk);
    EXPECT_EQ(cli.out.str(), "{\"changes\": [{\"field\": \"TPWMLed\", \"unit\": \"80\", \"new\": \"81\"}]}\n");
}

TEST(DiffCli, PrintsWhatTheFileShowsOtherwiseAndWritesNothing) {
    Cli cli;
    const std::string file = cli.fileWith("TPWMLed=55");
    EXPECT_EQ(cli.run({"diff", file}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "TPWMLed: 80 -> 55\n");
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
    EXPECT_EQ(cli.out.str(), "TPWMLed: 80 -> 55\n");
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

}  // namespace
}  // namespace zrk::test
