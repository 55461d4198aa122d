// zrkctl undo against the simulated unit: what it prints, its exit codes,
// and that a dry run or a refusal sends no write.
#include <gtest/gtest.h>

#include "ctl_fixture.h"
#include "error_paths.h"
#include "files/write_record.h"

namespace zrk::test {
namespace {

struct UndoCli : Ctl {
    UndoCli() { started.program->LoadWithoutWindow(); }
    std::size_t writes() {
        std::size_t n = 0;
        for (const auto& f : device().frameLog()) n += f[4] == sim::DeviceModel::kWriteMemory ? 1 : 0;
        return n;
    }
    void loggedWrite() { logWriteOnLantern(*this); }
};

TEST(UndoCli, DryRunPrintsThePlanAndSendsNothing) {
    UndoCli cli;
    cli.loggedWrite();
    EXPECT_EQ(cli.run({"undo", "--dry-run"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "TPWMLed: 81 -> 80 (49: 81 -> 80)\nComboTipoMotor: 0 -> 3 (50: 0 -> 3)\n");
    EXPECT_EQ(cli.writes(), 0u);
    EXPECT_EQ(cli.device().frameLog().size(), 4u) << "the identifier number and the two cells, nothing else";

    EXPECT_EQ(cli.run({"undo", "--unit", "40101"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "Undone: the unit holds again what it held before that write\n");
    EXPECT_EQ(cli.device().memory(49), 80);
    EXPECT_EQ(cli.device().memory(50), 3);
    EXPECT_EQ(cli.writes(), 2u);
}

TEST(UndoCli, ACellChangedSinceIsExitOneUnlessForced) {
    UndoCli cli;
    cli.loggedWrite();
    cli.device().setMemory(50, 1);
    EXPECT_EQ(cli.run({"undo"}), cli::kNoAnswer);
    // zrkctl's message boxes are lines on standard error.
    ASSERT_EQ(cli.started.messages().size(), 1u);
    EXPECT_NE(cli.started.messages()[0].find("Address 50 (Motor Type) holds 1, not the 0 written"), std::string::npos)
        << cli.started.messages()[0];
    EXPECT_EQ(cli.writes(), 0u);
    EXPECT_EQ(cli.device().memory(49), 81);

    cli.device().clearFrameLog();
    EXPECT_EQ(cli.run({"undo", "--force", "--no-verify"}), cli::kOk) << cli.err.str();
    EXPECT_EQ(cli.device().memory(49), 80);
    EXPECT_EQ(cli.device().memory(50), 3);
    // The unit is checked again before the writes: the port was closed after the reads.
    EXPECT_EQ(cli.device().frameLog().size(), 4u + 4u) << "check, two reads; check, two writes";
    EXPECT_EQ(files::WriteRecord(cli.started.machine.platform.info.dataFolder).read().back().outcome,
              files::kOutcomeNotVerified);
}

TEST(UndoCli, ExitCodesOfWhatCannotBeUndone) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool logged;
        int code;
        const char* said;
    };
    const Case cases[] = {
        {"empty log", {"undo"}, false, cli::kPortError, "Nothing to undo: the write log holds no write"},
        {"another unit's", {"undo", "--unit", "777"}, true, cli::kPortError, "no write of unit 777"},
        {"--unit without a number", {"undo", "--unit"}, true, cli::kUsage, "--unit needs an identifier number"},
        {"unknown option", {"undo", "--all"}, true, cli::kUsage, "unexpected argument '--all'"},
    };
    for (const Case& c : cases) {
        UndoCli cli;
        if (c.logged) cli.loggedWrite();
        EXPECT_EQ(cli.run(c.args), c.code) << c.name;
        EXPECT_NE(cli.err.str().find(c.said), std::string::npos) << c.name << ": " << cli.err.str();
        EXPECT_EQ(cli.writes(), 0u) << c.name;
    }
}

}  // namespace
}  // namespace zrk::test
