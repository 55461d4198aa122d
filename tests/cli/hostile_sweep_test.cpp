// Every zrkctl procedure that talks to the unit, against one fault on one
// frame at a time: early (among the first replies), in the middle and near
// the end. Whatever the fault, a command that reports success gives what a
// healthy unit gives (the same output, file or unit contents), one that
// fails leaves every cell it was to change either as it was or as written,
// and every line the write record gets tells the truth about the cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <iostream>

#include "ctl_fixture.h"
#include "error_paths.h"
#include "files/write_record.h"
#include "sim/faults.h"

namespace zrk::test {
namespace {

struct Cli : Ctl {
    Cli() { started.program->LoadWithoutWindow(); }
    sim::SimulatedUnit& unit() { return started.port<sim::SimulatedPort>().unit(); }
    double now() { return started.machine.clock.now(); }
    std::vector<files::WriteRecord::Line> record() {
        return files::WriteRecord(started.machine.platform.info.dataFolder).read();
    }
};

// What the unit holds that a command may change.
struct UnitState {
    std::array<std::uint8_t, 256> memory{};
    std::array<std::array<std::uint8_t, 256>, 4> segments{};
    int mode = 0, motor = 0;
    bool operator==(const UnitState&) const = default;
};

UnitState stateOf(Cli& cli) {
    UnitState s;
    const sim::DeviceModel& d = cli.device();
    for (int a = 0; a < 256; ++a) s.memory[static_cast<std::size_t>(a)] = d.memory(a);
    for (int t = 1; t <= 4; ++t)
        for (int o = 0; o < 256; ++o)
            s.segments[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(o)] = d.segment(t, o);
    s.mode = static_cast<int>(d.mode());
    s.motor = d.activeMotor();
    return s;
}

// One run: the command's exit, output, saved file and the unit afterwards.
struct CommandRun {
    int code = 0;
    std::string out, err, saved;
    UnitState before, after;
    std::size_t frames = 0;
    double seconds = 0, end = 0;
    std::vector<files::WriteRecord::Line> lines;  // the record lines it added
};

CommandRun runOn(Cli& cli, const SweepOperation& op, const std::function<void(Cli&)>& beforeRun = {}) {
    writeSweepInputs(cli.started.machine.folder);
    const auto args = argsIn(op, cli.started.machine.folder.path().string());
    CommandRun r;
    r.before = stateOf(cli);
    const auto logged = cli.record().size();
    if (beforeRun) beforeRun(cli);
    const auto frames = cli.unit().framesReceived();
    const double start = cli.now();
    r.code = cli.run(args);
    r.end = cli.now();
    r.seconds = r.end - start;
    r.frames = cli.unit().framesReceived() - frames;
    r.out = cli.out.str();
    r.err = cli.err.str();
    if (op.savedFile && std::filesystem::exists(cli.path(op.savedFile))) r.saved = fileText(cli.path(op.savedFile));
    r.after = stateOf(cli);
    const auto lines = cli.record();
    r.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(logged), lines.end());
    return r;
}

struct Tally {
    int cases = 0, succeeded = 0, failed = 0, wrongData = 0, wrongRecord = 0;
    double longestDeadEnd = 0;  // seconds from the line's death to the command's end
};

TEST(HostileSweep, NoSuccessWithWrongDataAndNoRecordLineThatLies) {
    Tally tally;
    for (const SweepOperation& op : kSweepOperations) {
        Cli healthyCli;
        const CommandRun healthy = runOn(healthyCli, op);
        ASSERT_EQ(healthy.code, cli::kOk) << op.name << ": " << healthy.err;
        // Early, middle, late; a command of one frame has one position.
        std::vector<std::size_t> positions;
        for (std::size_t k : {std::size_t{2}, healthy.frames / 2, healthy.frames - 1}) {
            k = std::clamp<std::size_t>(k, 1, healthy.frames);
            if (std::find(positions.begin(), positions.end(), k) == positions.end()) positions.push_back(k);
        }
        for (const char* fault : kSweepFaults) {
            for (const std::size_t k : positions) {
                Cli cli;
                std::string faults;
                const CommandRun run = runOn(cli, op, [&](Cli& c) {
                    faults = faultAt(fault, k, c.unit().framesReceived());
                    c.unit().setFaults(sim::parseFaults({faults}));
                });
                const std::string where = std::string(op.name) + " with " + fault + ", K = " + std::to_string(k) +
                                          " (" + faults + "): exit " + std::to_string(run.code) + ", " + run.err;
                ++tally.cases;
                EXPECT_TRUE(run.code == cli::kOk || run.code == cli::kNoAnswer || run.code == cli::kPortError) << where;
                bool wrong = false;
                if (run.code == cli::kOk) {
                    ++tally.succeeded;
                    if (op.printsResult && run.out != healthy.out) wrong = true;
                    if (op.savedFile && run.saved != healthy.saved) wrong = true;
                    if (run.after != healthy.after) wrong = true;
                } else {
                    ++tally.failed;
                    if (op.savedFile && !run.saved.empty()) wrong = true;
                    // Each cell is as it was or as the command meant to leave it.
                    for (std::size_t a = 0; a < 256; ++a)
                        if (run.after.memory[a] != run.before.memory[a] &&
                            run.after.memory[a] != healthy.after.memory[a])
                            wrong = true;
                    for (std::size_t t = 0; t < 4; ++t)
                        for (std::size_t o = 0; o < 256; ++o)
                            if (run.after.segments[t][o] != run.before.segments[t][o] &&
                                run.after.segments[t][o] != healthy.after.segments[t][o])
                                wrong = true;
                }
                if (wrong) ++tally.wrongData;
                EXPECT_FALSE(wrong) << where << "\nout: " << run.out;

                // A line says "verified" only of cells the unit holds as
                // written, and "failed" only of a change the unit does not
                // hold in whole.
                for (const auto& line : run.lines) {
                    bool all = !line.cells.empty();
                    for (const auto& cell : line.cells) {
                        const auto a = static_cast<std::size_t>(cell.address);
                        const auto held = cell.table > 0
                                              ? run.after.segments[static_cast<std::size_t>(cell.table - 1)][a]
                                              : run.after.memory[a];
                        all = all && held == cell.after;
                    }
                    const bool lies = (line.outcome == files::kOutcomeVerified && !all) ||
                                      (line.outcome == files::kOutcomeFailed && all);
                    if (lies) ++tally.wrongRecord;
                    EXPECT_FALSE(lies) << where << ": " << line.field << " logged " << line.outcome << " "
                                       << files::cellsText(line.cells);
                }
                if (run.code == cli::kOk && op.writes) {
                    EXPECT_EQ(run.lines.size(), healthy.lines.size()) << where;
                }

                // A dead line ends the command within 15 s of its death.
                if (const auto died = cli.started.port<sim::SimulatedPort>().lineDiedAt()) {
                    const double deadFor = run.end - *died;
                    tally.longestDeadEnd = std::max(tally.longestDeadEnd, deadFor);
                    EXPECT_LE(deadFor, 15.0) << where;
                }
            }
        }
    }
    std::cout << "hostile sweep: " << tally.cases << " cases, " << tally.succeeded << " succeeded, " << tally.failed
              << " failed cleanly, " << tally.wrongData << " with wrong data, " << tally.wrongRecord
              << " wrong record lines; a dead line ended a command " << tally.longestDeadEnd
              << " s after it died, at the longest\n";
}

}  // namespace
}  // namespace zrk::test
