// Every view of a write says what the unit then holds. Over random units,
// random parameter files (raw list bytes out of range, check-box states,
// light levels between steps, 1000 in a field that shows 999) and random
// typed values, in every regional setting: the marks and their count, the
// confirmation, zrkctl's diff and dry run, the frames sent, the write record
// and undo all name the same fields, and a read after the write shows what
// they said. The expectations come from the unit's memory and from reads,
// never from the plan itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli/commands.h"
#include "files/parameter_file.h"
#include "files/write_record.h"
#include "ops/change_plan.h"
#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "ops/undo_write.h"
#include "params/image_table.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "regions.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

using Memory = std::array<std::uint8_t, 256>;

// Fewer cases under the sanitizers, which run the same code many times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 2000;
#else
constexpr int kCases = 10000;
#endif

Memory memoryOf(const sim::DeviceModel& device) {
    Memory cells{};
    for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device.memory(a);
    return cells;
}

bool written(int row) { return !params::isManufacturingData(row); }

// What a read shows for every writable row, as zrkctl prints values (or as
// people read them): a list cell the read cannot select leaves the list as
// it was, so its number stands for it.
std::map<int, std::string> shownValues(const app::Program& p, const sim::DeviceModel& unit,
                                       ops::ValueStyle style = ops::ValueStyle::Numbers) {
    std::map<int, std::string> out;
    for (int row : params::rowAddresses()) {
        if (!written(row)) continue;
        const auto& imageRow = params::imageRowAt(row);
        const auto position = imageRow.holdsList() ? imageRow.position(unit.memory(row)) : std::optional<int>(0);
        out[row] = position && *position >= 0
                       ? ops::shownValue(p.state, row, params::shownState(row, p.state.frm), style)
                       : std::to_string(unit.memory(row));
    }
    return out;
}

// A text a service engineer might type into a field, good or bad.
std::string typedText(std::mt19937& random, const platform::NumberFormat& numbers) {
    switch (random() % 8) {
        case 0:
            return "abc";
        case 1:
            return "";
        case 2:
            return std::to_string(static_cast<int>(random() % 100000));  // often beyond the cells
        case 3:
            return "-" + std::to_string(random() % 10);
        default: {
            // A number with up to three decimals in the region's own writing.
            const int decimals = static_cast<int>(random() % 4);
            std::string text = std::to_string(random() % 600);
            if (decimals > 0) {
                text += numbers.decimal;
                for (int i = 0; i < decimals; ++i) text += static_cast<char>('0' + random() % 10);
            }
            return text;
        }
    }
}

// The log keeps a value on one line of its own (the cells keep the bytes).
std::string inOneCell(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return value;
}

struct PlanRig : UnitRig {
    PlanRig() : UnitRig("all-addresses") {}
    std::ostringstream out, err;
    cli::CommandContext cli{program(), false, out, err};

    // What a read of the unit's memory does once the cells are in.
    void read() {
        auto& p = program();
        for (int k = 0; k < 32; ++k) p.state.MapaParametros.bytes[static_cast<std::size_t>(k)] = device().mapByte(k);
        params::ParameterImage cells{};
        for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device().memory(a);
        ASSERT_EQ(ops::takeRead(p.state, cells, params::rowAddresses(), true), ops::End::Done);
    }
    // zrkctl's diff and dry runs print this, after their read and open.
    std::pair<int, std::string> printed() {
        out.str({});
        err.str({});
        const int code = cli::printPlannedWrite(cli, "write", "file");
        return {code, code == cli::kOk ? out.str() : err.str()};
    }
    std::vector<std::string> marked() {
        std::vector<std::string> fields;
        for (int row : params::rowAddresses())
            if (frm().controls().at(params::fieldAt(row)).Marked()) fields.push_back(params::fieldAt(row));
        return fields;
    }
};

// A unit with any byte in every cell, but for the two cells a read refuses,
// and now and then 1000 where the form shows 999.
void randomUnit(std::mt19937& random, sim::DeviceModel& device) {
    for (int a = 0; a < 256; ++a) device.setMemory(a, static_cast<std::uint8_t>(random() % 256));
    device.setMemory(50, static_cast<std::uint8_t>(random() % 4));
    device.setMemory(61, static_cast<std::uint8_t>(random() % 3));
    if (random() % 4 == 0) device.setMemory(57, 3), device.setMemory(58, 232);
}

// A parameter file of this unit with some rows changed as files carry them:
// raw list values beyond the list, check states, any cells for numbers.
files::ParameterFileContent randomFile(std::mt19937& random, const Memory& unit) {
    files::ParameterFileContent file;
    for (int a = 0; a < 256; ++a) file.image[static_cast<std::size_t>(a)] = unit[static_cast<std::size_t>(a)];
    for (const auto& row : params::imageTable()) {
        const auto a = static_cast<std::size_t>(row.first);
        if (row.holdsList()) file.image[a] = static_cast<std::int32_t>(random() % 10);
        if (row.holdsCheck()) file.image[a] = static_cast<std::int32_t>(random() % 3);
        if (random() % 3 != 0) continue;
        if (!row.holdsChoice())
            for (int i = 0; i < row.length; ++i) file.image[a + static_cast<std::size_t>(i)] = random() % 256;
        if (row.first == 57 && random() % 2 == 0) file.image[57] = 3, file.image[58] = 232;
    }
    file.image[50] = file.image[50] % 6;  // a file's motor type beyond 3 opens as 1
    for (auto& color : file.colors) color = static_cast<std::int32_t>(random() % 0x1000000);
    for (auto& row : file.angles) row.fill(511);
    return file;
}

void typeSomething(std::mt19937& random, form::FrmMain& frm, const platform::NumberFormat& numbers) {
    const auto& rows = params::imageTable();
    const auto& row = rows[random() % rows.size()];
    if (!written(row.first) || row.first == params::kIdentifierHigh) return;
    form::Control& control = frm.controls().at(row.field);
    if (auto* box = dynamic_cast<form::TextBox*>(&control)) box->setText(typedText(random, numbers));
    if (auto* list = dynamic_cast<form::ComboBox*>(&control)) list->setListIndex(static_cast<int>(random() % 2));
    if (auto* check = dynamic_cast<form::CheckBox*>(&control)) check->setValue(static_cast<int>(random() % 3));
}

TEST(ChangePlanProperty, EveryViewOfAWriteSaysWhatTheUnitThenHolds) {
    PlanRig rig;
    auto& p = rig.program();
    auto& ui = rig.started.machine.ui;
    // The record of ten thousand writes is kept in memory where the machine
    // allows: every write syncs its copy and log to disk.
    const std::filesystem::path shm = "/dev/shm";
    std::error_code error;
    if (std::filesystem::is_directory(shm, error)) {
        p.state.platform.info.dataFolder = shm / ("zrk-plan-property-" + std::to_string(::getpid()));
        std::filesystem::remove_all(p.state.platform.info.dataFolder, error);
    }
    // Identified once over the line: which fields the window shows.
    ASSERT_EQ(ops::IdentificarZRK(p.state), ops::End::Done);
    int refusedCases = 0, changedCases = 0, undone = 0;
    for (int n = 0; n < kCases; ++n) {
        std::mt19937 random(static_cast<unsigned>(n));
        const Region& region = kRegions[random() % std::size(kRegions)];
        rig.started.machine.platform.numbers = region.numbers;
        const bool verify = random() % 4 != 0;
        p.state.verifyOverride = verify;
        const std::string where = "case " + std::to_string(n) + " in " + region.name;

        randomUnit(random, rig.device());
        rig.read();
        ASSERT_TRUE(rig.marked().empty()) << where;
        const Memory unit = memoryOf(rig.device());
        const auto before = shownValues(p, rig.device());
        const auto beforeForPeople = shownValues(p, rig.device(), ops::ValueStyle::People);

        if (random() % 4 != 0) ops::applyParameterFile(p.state, randomFile(random, unit));
        for (int k = static_cast<int>(random() % 3); k > 0; --k) typeSomething(random, rig.frm(), region.numbers);

        // The views, before anything is sent.
        const auto [code, dryRun] = rig.printed();
        const auto marked = rig.marked();
        const std::string count = rig.frm().sbStatusBar.text(4);
        ui.questions.clear();
        ui.answers = {false};
        rig.device().clearFrameLog();
        ops::confirmedWrite(p.state);
        ASSERT_EQ(rig.frames(), 0u) << where << ": a cancelled confirmation sends nothing";
        const bool full = random() % 10 == 0;  // the window's write, every in-use address

        if (code != cli::kOk) {
            // A refused field: named alike everywhere, and nothing is sent.
            ++refusedCases;
            EXPECT_TRUE(ui.questions.empty()) << where << ": nothing to confirm";
            const auto plan = ops::planWrite(p.state);
            ASSERT_NE(plan.refused(), nullptr) << where;
            EXPECT_EQ(dryRun, "zrkctl: write: " + plan.refused()->refusal + "\n") << where;
            EXPECT_NE(std::find(marked.begin(), marked.end(), plan.refused()->field), marked.end()) << where;
            ui.messages.clear();
            EXPECT_EQ(ops::writeUnit(p.state, {!full, std::nullopt}), ops::End::BadData) << where;
            EXPECT_EQ(rig.frames(), 0u) << where;
            ASSERT_FALSE(ui.messages.empty());
            EXPECT_NE(ui.messages[0].text.find(plan.refused()->refusal), std::string::npos) << where;
            continue;
        }

        const std::size_t logLines = files::WriteRecord(p.state.platform.info.dataFolder).read().size();
        ASSERT_EQ(ops::writeUnit(p.state, {!full, std::nullopt}), ops::End::Done)
            << where << ": " << p.state.frm.status();
        const Memory after = memoryOf(rig.device());
        EXPECT_TRUE(rig.marked().empty() && ops::planWrite(p.state).changes().empty())
            << where << ": the unit holds what the form shows, verified or not";

        // The truth: which fields' cells changed, and what reads show.
        std::vector<int> changed;
        std::vector<files::WriteRecord::Cell> cells;
        for (int row : params::rowAddresses()) {
            bool differs = false;
            for (int a = row; a < row + params::rowLength(row); ++a)
                if (unit[static_cast<std::size_t>(a)] != after[static_cast<std::size_t>(a)]) {
                    differs = true;
                    cells.push_back({a, unit[static_cast<std::size_t>(a)], after[static_cast<std::size_t>(a)]});
                }
            if (differs) changed.push_back(row);
        }
        for (int a = 0; a < 256; ++a) {
            if (!params::carriesField(a) || params::isManufacturingData(a)) {
                EXPECT_EQ(after[static_cast<std::size_t>(a)], unit[static_cast<std::size_t>(a)]) << where << " @" << a;
            }
        }
        rig.read();
        const auto now = shownValues(p, rig.device());
        const auto nowForPeople = shownValues(p, rig.device(), ops::ValueStyle::People);
        changedCases += changed.empty() ? 0 : 1;

        // diff and the dry runs: exactly the changed fields, unit -> what a read now shows.
        std::string expected, confirmation;
        std::vector<std::string> fields;
        for (int row : changed) {
            const std::string unit = params::fieldUnit(p.state.frm, row);
            expected += params::fieldAt(row) + " (" + params::fieldCaption(p.state.frm, row) + "): " + before.at(row) +
                        " -> " + now.at(row) + (unit.empty() ? "" : " " + unit) + "\n";
            confirmation += params::fieldCaption(p.state.frm, row) + ": " + beforeForPeople.at(row) + " \u2192 " +
                            nowForPeople.at(row) + (unit.empty() ? "" : " " + unit) + "\n";
            fields.push_back(params::fieldAt(row));
        }
        EXPECT_EQ(dryRun, expected) << where;
        // The marks and their count, and the confirmation's list.
        EXPECT_EQ(marked, fields) << where;
        const auto shown = std::count_if(fields.begin(), fields.end(),
                                         [&](const std::string& f) { return p.state.frm.controls().at(f).Visible(); });
        EXPECT_EQ(count, shown == 0 ? "" : shown == 1 ? "1 change" : std::to_string(shown) + " changes") << where;
        ASSERT_EQ(ui.questions.size(), 1u) << where;
        EXPECT_EQ(ui.questions[0].details.substr(0, confirmation.size()), confirmation) << where;
        // The frames: a changes-only write sends exactly the changed cells.
        if (!full) {
            std::vector<files::WriteRecord::Cell> sent;
            for (const auto& frame : rig.device().frameLog())
                if (frame[4] == sim::DeviceModel::kWriteMemory) sent.push_back({frame[5], unit[frame[5]], frame[6]});
            EXPECT_EQ(sent, cells) << where;
        }
        // The record: a line per changed field with its values and cells.
        const auto lines = files::WriteRecord(p.state.platform.info.dataFolder).read();
        ASSERT_EQ(lines.size(), logLines + changed.size()) << where;
        std::vector<files::WriteRecord::Cell> logged;
        for (std::size_t i = 0; i < changed.size(); ++i) {
            const auto& line = lines[logLines + i];
            EXPECT_EQ(line.field, params::fieldAt(changed[i])) << where;
            EXPECT_EQ(line.unitValue, inOneCell(before.at(changed[i]))) << where;
            EXPECT_EQ(line.written, inOneCell(now.at(changed[i]))) << where;
            EXPECT_EQ(line.outcome, verify ? files::kOutcomeVerified : files::kOutcomeNotVerified) << where;
            logged.insert(logged.end(), line.cells.begin(), line.cells.end());
        }
        EXPECT_EQ(logged, cells) << where;

        // Undo, now and then: every byte of the unit as it was.
        if (!changed.empty() && n % 25 == 0) {
            ++undone;
            ops::UndoOptions options;
            EXPECT_EQ(ops::undoLastWrite(p.state, options), ops::End::Done) << where << ": " << p.state.frm.status();
            EXPECT_EQ(memoryOf(rig.device()), unit) << where;
        }
        // The log stays small: it is read for every write.
        if (n % 20 == 19) std::filesystem::remove(p.state.platform.info.dataFolder / "writes.log");
        if (HasFailure()) break;
    }
    if (p.state.platform.info.dataFolder.parent_path() == shm)
        std::filesystem::remove_all(p.state.platform.info.dataFolder, error);
    // The cases covered what they are meant to.
    EXPECT_GT(refusedCases, kCases / 20);
    EXPECT_GT(changedCases, kCases / 2);
    EXPECT_GT(undone, 0);
}

// zrkctl set reads only the fields it changes: its dry run too says what
// the unit then holds, field for field, and what it refuses sends nothing.
TEST(ChangePlanProperty, SetsDryRunSaysWhatTheUnitThenHolds) {
    PlanRig rig;
    auto& p = rig.program();
    p.state.platform.info.dataFolder.clear();  // no record: this is about the values
    for (int n = 0; n < kCases / 20; ++n) {
        std::mt19937 random(static_cast<unsigned>(n) + 1000003u);
        const Region& region = kRegions[random() % std::size(kRegions)];
        rig.started.machine.platform.numbers = region.numbers;
        const std::string where = "case " + std::to_string(n) + " in " + region.name;
        randomUnit(random, rig.device());
        const Memory unit = memoryOf(rig.device());
        rig.read();
        const auto before = shownValues(p, rig.device());

        std::vector<std::string> args{"set", "--dry-run"};
        std::vector<int> rows;
        for (int k = 1 + static_cast<int>(random() % 3); k > 0; --k) {
            const auto& row = params::imageTable()[random() % params::imageTable().size()];
            if (!written(row.first) || row.first == params::kIdentifierHigh ||
                std::find(rows.begin(), rows.end(), row.first) != rows.end())
                continue;
            rows.push_back(row.first);
            const std::string value =
                row.holdsChoice() ? std::to_string(random() % 2) : typedText(random, region.numbers);
            args.push_back(row.field + "=" + value);
        }
        if (rows.empty()) continue;
        // Each zrkctl command is a process of its own: a read that cannot
        // select the changer type leaves the list as the start-up chose it.
        const int startUp = p.state.frm.ComboTipoCambiador.ListIndex();
        rig.out.str({});
        rig.err.str({});
        const int planned = cli::runCommand(rig.cli, args);
        const std::string dryRun = rig.out.str();
        args.erase(args.begin() + 1);
        rig.device().clearFrameLog();
        rig.out.str({});
        p.state.frm.ComboTipoCambiador.setListIndex(startUp);
        const int done = cli::runCommand(rig.cli, args);
        if (planned != cli::kOk) {
            EXPECT_EQ(done, planned) << where;
            EXPECT_EQ(memoryOf(rig.device()), unit) << where << ": a refused set sends nothing";
            continue;
        }
        ASSERT_EQ(done, cli::kOk) << where << ": " << rig.err.str();
        const Memory after = memoryOf(rig.device());
        rig.read();
        const auto now = shownValues(p, rig.device());
        std::string expected;
        for (int row : params::rowAddresses()) {
            bool differs = false;
            for (int a = row; a < row + params::rowLength(row); ++a)
                differs = differs || unit[static_cast<std::size_t>(a)] != after[static_cast<std::size_t>(a)];
            if (differs) {
                EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << where << ": only its own fields";
                const std::string unit = params::fieldUnit(p.state.frm, row);
                expected += params::fieldAt(row) + " (" + params::fieldCaption(p.state.frm, row) +
                            "): " + before.at(row) + " -> " + now.at(row) + (unit.empty() ? "" : " " + unit) + "\n";
            }
        }
        EXPECT_EQ(dryRun, expected) << where;
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace zrk::test
