// Undo of the last write: exactly the logged cells go back, only after the
// unit on the line and each cell have been checked, and the undo is logged
// as a write in turn.
#include "ops/undo_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "files/write_record.h"
#include "ops/change_plan.h"
#include "ops/parameter_memory.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

using Memory = std::array<std::uint8_t, 256>;

Memory memoryOf(const sim::DeviceModel& device) {
    Memory cells{};
    for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device.memory(a);
    return cells;
}

std::filesystem::path dataFolder(UnitRig& rig) { return rig.started.machine.platform.info.dataFolder; }

std::size_t writeFrames(UnitRig& rig) {
    std::size_t n = 0;
    for (const auto& f : rig.device().frameLog()) n += f[4] == sim::DeviceModel::kWriteMemory ? 1 : 0;
    return n;
}

// Reads the unit, makes the form's edits and writes them: the log gets a
// line per field with the cells it changed. With `unit`, the lines are then
// put down as another unit's.
void loggedWrite(UnitRig& rig, const std::function<void(form::FrmMain&)>& edit, const std::string& unit = "") {
    auto& p = rig.program();
    ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
    edit(rig.frm());
    ASSERT_EQ(ops::writeUnit(p.state, {true, std::nullopt}), ops::End::Done) << rig.frm().status();
    const files::WriteRecord record(dataFolder(rig));
    auto lines = record.read();
    ASSERT_GE(lines.size(), 3u);
    if (!unit.empty()) {
        for (auto& line : lines) line.unit = unit;
        std::filesystem::remove(dataFolder(rig) / "writes.log");
        record.append(lines);
    }
    rig.device().clearFrameLog();
}

// A list, a check box and a number.
void editSome(form::FrmMain& frm) {
    frm.ComboTipoMotor.setListIndex(0);
    frm.CheckBalizaEmergencia.setValue(frm.CheckBalizaEmergencia.Value() == 1 ? 0 : 1);
    frm.TPWMLed.setText("81");
}

TEST(UndoWrite, PutsBackEveryByteAndIsItselfUndone) {
    UnitRig rig;
    const Memory before = memoryOf(rig.device());
    loggedWrite(rig, editSome);
    const Memory written = memoryOf(rig.device());
    ASSERT_NE(before, written);

    const auto undone = ops::undoLastWrite(rig.program().state, {});
    ASSERT_EQ(undone, ops::End::Done) << undone;
    EXPECT_EQ(memoryOf(rig.device()), before) << "all 256 cells as before the write";
    EXPECT_EQ(rig.frm().status(), "Undone: the unit holds again what it held before that write");
    EXPECT_FALSE(rig.program().state.boundUnit)
        << "the form shows the undone values: a write from it needs a read first";

    const auto lines = files::WriteRecord(dataFolder(rig)).read();
    ASSERT_EQ(lines.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto &write = lines[i], &undo = lines[i + 3];
        EXPECT_EQ(undo.field, write.field);
        EXPECT_EQ(undo.unitValue, write.written) << "before the undo: what the write wrote";
        EXPECT_EQ(undo.written, write.unitValue);
        EXPECT_EQ(undo.outcome, "verified");
        EXPECT_EQ(undo.write, 2);
        EXPECT_EQ(undo.undoes, 1);
        ASSERT_EQ(undo.cells.size(), write.cells.size());
        for (std::size_t c = 0; c < undo.cells.size(); ++c)
            EXPECT_EQ(undo.cells[c],
                      (files::WriteRecord::Cell{write.cells[c].address, write.cells[c].after, write.cells[c].before}));
    }

    // The undo of an undo is the undo of the last write.
    ASSERT_EQ(ops::undoLastWrite(rig.program().state, {}), ops::End::Done);
    EXPECT_EQ(memoryOf(rig.device()), written);
    EXPECT_EQ(files::WriteRecord(dataFolder(rig)).read().back().undoes, 2);
}

TEST(UndoWrite, ACellChangedSinceIsNamedAndStopsItUnlessForced) {
    UnitRig rig;
    const Memory before = memoryOf(rig.device());
    loggedWrite(rig, editSome);
    rig.device().setMemory(49, 77);  // PWM Led, by someone else since

    ops::UndoOptions options;
    EXPECT_EQ(ops::undoLastWrite(rig.program().state, options), ops::End::NotVerified);
    EXPECT_EQ(writeFrames(rig), 0u) << "not even the cells that had not changed";
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("Address 49 (PWM Led) holds 77, not the 81 written"), std::string::npos)
        << rig.started.messages()[0];
    EXPECT_EQ(rig.device().memory(49), 77);

    options.force = true;
    EXPECT_EQ(ops::undoLastWrite(rig.program().state, options), ops::End::Done);
    EXPECT_EQ(memoryOf(rig.device()), before);
    const auto lines = files::WriteRecord(dataFolder(rig)).read();
    const auto pwm = std::find_if(lines.begin() + 3, lines.end(), [](const auto& l) { return l.field == "TPWMLed"; });
    ASSERT_NE(pwm, lines.end());
    EXPECT_EQ(pwm->cells, (std::vector<files::WriteRecord::Cell>{{49, 77, 80}})) << "what it really replaced";
}

TEST(UndoWrite, ACellAlreadyBackNeedsNothing) {
    UnitRig rig;
    const Memory before = memoryOf(rig.device());
    loggedWrite(rig, editSome);
    rig.device().setMemory(49, 80);
    ASSERT_EQ(ops::undoLastWrite(rig.program().state, {}), ops::End::Done);
    EXPECT_EQ(memoryOf(rig.device()), before);
    for (const auto& f : rig.device().frameLog())
        EXPECT_FALSE(f[4] == sim::DeviceModel::kWriteMemory && f[5] == 49) << "address 49 held its old byte already";
    EXPECT_EQ(files::WriteRecord(dataFolder(rig)).read().size(), 5u) << "no line for a field with nothing sent";
}

TEST(UndoWrite, SendsNothingWhenItCannotOrMustNot) {
    struct Case {
        const char* name;
        std::function<void(UnitRig&)> setUp;
        ops::UndoOptions options;
        ops::End end;
        const char* said;  // in the status line, or the outcome's message
    };
    const Case cases[] = {
        {"another unit on the line",
         [](UnitRig& rig) { loggedWrite(rig, editSome, "777"); },
         {},
         ops::End::WrongUnit,
         "Nothing put back: the unit on the line has identifier number 40101, not 777"},
        {"a dry run",
         [](UnitRig& rig) { loggedWrite(rig, editSome); },
         {std::nullopt, true, false, false},
         ops::End::Done,
         ""},
        {"an empty log", [](UnitRig&) {}, {}, ops::End::NothingToDo, "Nothing to undo: the write log holds no write"},
        {"nothing of that unit",
         [](UnitRig& rig) { loggedWrite(rig, editSome); },
         {std::string("777"), false, false, false},
         ops::End::NothingToDo,
         "Nothing to undo: the write log holds no write of unit 777"},
        {"a line without cells",
         [](UnitRig& rig) {
             loggedWrite(rig, editSome);
             files::WriteRecord(dataFolder(rig)).append({{"t", "40101", "TPWMLed", "80", "81", "verified"}});
         },
         {},
         ops::End::NothingToDo,
         "before-write"},
    };
    for (const Case& c : cases) {
        UnitRig rig;
        c.setUp(rig);
        const Memory held = memoryOf(rig.device());
        rig.device().clearFrameLog();
        const auto outcome = ops::undoLastWrite(rig.program().state, c.options);
        EXPECT_EQ(outcome, c.end) << c.name << ": " << outcome;
        EXPECT_EQ(writeFrames(rig), 0u) << c.name;
        EXPECT_EQ(memoryOf(rig.device()), held) << c.name;
        const std::string said = rig.frm().status() + "|" + outcome.message;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.name << ": " << said;
        for (const auto& message : rig.started.messages())
            EXPECT_EQ(message.find("Reintente"), std::string::npos) << c.name << ": a retry cannot help";
        if (c.end == ops::End::NothingToDo) {
            EXPECT_TRUE(rig.device().frameLog().empty()) << c.name << ": not opened";
        }
    }
}

TEST(UndoWrite, ALogThatCannotTakeTheLinesStopsItUnlessAllowed) {
    UnitRig rig;
    const Memory before = memoryOf(rig.device());
    loggedWrite(rig, editSome);
    auto planned = ops::planUndo(rig.program().state, std::nullopt);
    ASSERT_EQ(planned, ops::End::Done);
    // A folder where the log should be: nobody, root included, appends to it.
    const auto log = dataFolder(rig) / "writes.log";
    std::filesystem::remove(log);
    std::filesystem::create_directories(log / "x");

    ops::UndoOptions options;
    EXPECT_EQ(ops::applyUndo(rig.program().state, planned.payload, options), ops::End::NotRecorded);
    EXPECT_TRUE(rig.device().frameLog().empty());
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find(log.string()), std::string::npos) << rig.started.messages()[0];
    EXPECT_EQ(rig.started.messages()[0].rfind("Nothing was sent to the unit\n", 0), 0u) << rig.started.messages()[0];

    options.withoutRecord = true;
    EXPECT_EQ(ops::applyUndo(rig.program().state, planned.payload, options), ops::End::Done);
    EXPECT_EQ(memoryOf(rig.device()), before);
}

TEST(UndoWrite, TheWindowListsTheFieldsCellsAndRecentWritesAndAsksFirst) {
    for (const bool answer : {false, true}) {
        UnitRig rig;
        const Memory before = memoryOf(rig.device());
        loggedWrite(rig, editSome);
        const std::string when = files::WriteRecord(dataFolder(rig)).read().back().time;
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);  // the window is bound to the unit
        rig.device().clearFrameLog();
        rig.started.machine.ui.answers = {answer};
        rig.frm().CDeshacer.Click();
        const auto& questions = rig.started.machine.ui.questions;
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0].question, "Put back what this write changed on unit 40101 (" + when + ")?");
        const std::string& details = questions[0].details;
        EXPECT_NE(details.find("PWM Led: 81 \u2192 80 (address 49: 81 \u2192 80)"), std::string::npos) << details;
        EXPECT_NE(details.find("Recent writes of unit 40101:\n" + when + "  "), std::string::npos) << details;
        EXPECT_NE(details.find("  PWM Led, Motor Type, "), std::string::npos) << details;
        EXPECT_NE(details.find("  (verified)"), std::string::npos) << details;
        EXPECT_EQ(details.find("CheckBalizaEmergencia"), std::string::npos) << "called by its caption: " << details;
        if (answer) {
            EXPECT_EQ(memoryOf(rig.device()), before);
        } else {
            EXPECT_EQ(writeFrames(rig), 0u);
            EXPECT_EQ(rig.frm().status(), "Nothing put back: cancelled");
        }
        EXPECT_TRUE(rig.frm().CDeshacer.Enabled() && rig.frm().CEscribir.Enabled());
    }
}

TEST(UndoWrite, TheWindowSaysWhyThereIsNothingToUndo) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    files::WriteRecord(dataFolder(rig)).append({{"t", "40101", "TPWMLed", "80", "81", "verified"}});
    rig.device().clearFrameLog();
    rig.frm().CDeshacer.Click();
    EXPECT_TRUE(rig.started.machine.ui.questions.empty());
    EXPECT_TRUE(rig.device().frameLog().empty());
    ASSERT_EQ(rig.started.messages().size(), 1u);
    const std::string said = rig.started.messages()[0];
    EXPECT_NE(said.find((dataFolder(rig) / "before-write").string()), std::string::npos) << said;
    EXPECT_NE(said.find("Recent writes of unit 40101:\nt  PWM Led  (verified)"), std::string::npos) << said;
}

}  // namespace
}  // namespace zrk::test
