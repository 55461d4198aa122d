// The planned table write: the unit's table read first, only the cells that
// change sent and read back, a copy of the table and one record line per
// changed row, and the undo that puts back every byte.
#include "ops/table_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "files/table_file.h"
#include "files/write_record.h"
#include "ops/segment_transfer.h"
#include "ops/undo_write.h"
#include "unit_rig.h"
#include "unit_segments.h"

namespace zrk::test {
namespace {

std::filesystem::path dataFolder(UnitRig& rig) { return rig.started.machine.platform.info.dataFolder; }

// The grid and the labels show `table`, as an opened file leaves them.
void show(UnitRig& rig, const tables::FlashTable& table) {
    auto& p = rig.program();
    p.state.flash = table;
    for (int row = 1; row <= 8; ++row) rig.frm().LColor(row).setCaption(std::to_string(table.color(row)));
}

void readTable(UnitRig& rig) {
    ASSERT_EQ(ops::CLeerColores_Click(rig.program().state), ops::End::Done) << rig.frm().status();
    rig.device().clearFrameLog();
}

TEST(TableWrite, SendsOnlyTheChangedRowConfirmsRecordsAndKeepsACopy) {
    UnitRig rig;
    readTable(rig);
    const Segments before = segmentsOf(rig.device());
    tables::FlashTable edited = rig.program().state.flash;
    edited.pauta(2, 1) = 100;
    edited.pauta(2, 3) = 200;
    edited.pauta(2, 4) = 210;
    edited.color(2) = 0x00FFFF;
    show(rig, edited);

    const auto outcome = ops::CEscribirColores_Click(rig.program().state);
    ASSERT_EQ(outcome, ops::End::Done) << outcome.message;
    const Segments after = segmentsOf(rig.device());
    EXPECT_EQ(tableOf(after), edited);
    EXPECT_EQ(segmentWrites(rig), changedCells(before, after)) << "exactly the changed cells go out, once";
    // Identification, the check before the first cell, the cells, their read-back.
    EXPECT_EQ(rig.device().frameLog().size(), 2 + 2 + 2 * changedCells(before, after).size());

    auto& ui = rig.started.machine.ui;
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].question, "Write these changes to the flash-pattern table of unit 40101?");
    const std::string& details = ui.questions[0].details;
    EXPECT_EQ(details.rfind("Row 2, colour: 255 \u2192 65535\n"
                            "Row 2, pair 1: 120 - 180 \u2192 100 - 180\n"
                            "Row 2, pair 2: --- - --- \u2192 200 - 210\n",
                            0),
              0u)
        << details;

    const auto lines = files::WriteRecord(dataFolder(rig)).read();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].field, "TablaPautas(2)");
    EXPECT_EQ(lines[0].unitValue, "255; 120 - 180");
    EXPECT_EQ(lines[0].written, "65535; 100 - 180, 200 - 210");
    EXPECT_EQ(lines[0].outcome, files::kOutcomeVerified);
    std::vector<SegmentByte> logged;
    for (const auto& cell : lines[0].cells) {
        EXPECT_EQ(cell.before, at(before, cell.table, cell.address));
        logged.push_back({cell.table, cell.address, cell.after});
    }
    EXPECT_EQ(logged, changedCells(before, after));

    ASSERT_TRUE(rig.program().state.lastCopyBeforeWrite);
    EXPECT_NE(details.find(rig.program().state.lastCopyBeforeWrite->string()), std::string::npos);
    const auto copy = files::readTableFile(*rig.program().state.lastCopyBeforeWrite);
    EXPECT_EQ(copy.colors, files::tableFileOf(tableOf(before)).colors);
    EXPECT_EQ(copy.pattern, files::tableFileOf(tableOf(before)).pattern);
    EXPECT_EQ(rig.program().state.flashOfUnit->table, edited) << "the next write starts from what was written";
    EXPECT_EQ(ops::unwrittenRows(rig.program().state), 0);
}

TEST(TableWrite, WithoutATableReadOfThisUnitItAsksToReadItFirst) {
    for (const bool yes : {false, true}) {
        UnitRig rig;
        tables::FlashTable edited = rig.program().state.flash;  // as at start-up: no table read
        edited.pauta(1, 1) = 10;
        edited.pauta(1, 2) = 20;
        show(rig, edited);
        const Segments before = segmentsOf(rig.device());
        rig.started.machine.ui.answers = {yes};

        const auto outcome = ops::CEscribirColores_Click(rig.program().state);
        auto& ui = rig.started.machine.ui;
        ASSERT_GE(ui.questions.size(), 1u);
        EXPECT_NE(ui.questions[0].question.find("no table read of unit 40101"), std::string::npos)
            << ui.questions[0].question;
        EXPECT_EQ(rig.program().state.flash.pauta(1, 1), 10) << "the grid keeps the edits";
        if (!yes) {
            EXPECT_EQ(outcome, ops::End::Cancelled);
            EXPECT_EQ(rig.device().frameLog().size(), 2u) << "only the identification";
            EXPECT_EQ(segmentsOf(rig.device()), before);
            continue;
        }
        ASSERT_EQ(outcome, ops::End::Done) << outcome.message;
        ASSERT_EQ(ui.questions.size(), 2u) << "then the changes are confirmed";
        EXPECT_EQ(tableOf(segmentsOf(rig.device())), edited);
        EXPECT_EQ(segmentWrites(rig), changedCells(before, segmentsOf(rig.device())));
    }
}

TEST(TableWrite, RefusalsSendNothing) {
    struct Case {
        const char* name;
        std::function<void(UnitRig&)> arrange;
        const char* said;
    };
    const Case cases[] = {
        {"a colour beyond 24 bits", [](UnitRig& r) { r.frm().LColor(3).setCaption("16777216"); },
         "Row 3: colour 16777216 cannot be sent, a colour runs from 0 to 16777215"},
        {"an entry beyond 16 bits", [](UnitRig& r) { r.program().state.flash.pauta(4, 7) = 70000; },
         "Row 4, column 7: entry 70000 cannot be sent, an entry runs from 0 to 65535"},
    };
    for (const Case& c : cases) {
        UnitRig rig;
        readTable(rig);
        c.arrange(rig);
        const auto outcome = ops::CEscribirColores_Click(rig.program().state);
        EXPECT_EQ(outcome, ops::End::BadData) << c.name;
        EXPECT_EQ(rig.device().frameLog().size(), 0u) << c.name;
        ASSERT_FALSE(rig.started.machine.ui.messages.empty()) << c.name;
        EXPECT_EQ(rig.started.machine.ui.messages.back().text, c.said) << c.name;
        EXPECT_EQ(rig.frm().status(), "Nothing written") << c.name;
    }
}

// The cable goes to another unit while the engineer reads the confirmation:
// the check before the first cell finds it, and no cell is sent.
TEST(TableWrite, AnotherUnitOnTheLineByTheTimeTheCellsGoGetsNothing) {
    UnitRig rig;
    readTable(rig);
    rig.program().state.flash.pauta(1, 1) = 5;
    int reads254 = 0;
    rig.started.port<FrameHookPort>().onFrame = [&](const FrameHookPort::Frame& f) {
        if (f.command == sim::DeviceModel::kReadMemory && f.parameter1 == 254 && ++reads254 == 2)
            rig.device().setMemory(254, 0x11);
        return false;
    };
    const auto outcome = ops::CEscribirColores_Click(rig.program().state);
    EXPECT_EQ(outcome, ops::End::WrongUnit);
    EXPECT_TRUE(segmentWrites(rig).empty());
    EXPECT_EQ(rig.frm().status(), "Nothing written: the unit on the line has identifier number 4517, not 40101");
    EXPECT_TRUE(files::WriteRecord(dataFolder(rig)).read().empty());
}

TEST(TableWrite, UndoPutsBackTheFourSegmentTablesByteForByte) {
    UnitRig rig;
    readTable(rig);
    const Segments before = segmentsOf(rig.device());
    tables::FlashTable edited = rig.program().state.flash;
    for (int row = 1; row <= 8; ++row) {
        edited.color(row) = 0x123456 * row % 0x1000000;
        for (int col = 1; col <= 6; ++col) edited.pauta(row, col) = (row * 41 + col * 13) % 360;
    }
    show(rig, edited);
    ASSERT_EQ(ops::CEscribirColores_Click(rig.program().state), ops::End::Done);
    ASSERT_NE(segmentsOf(rig.device()), before);
    ASSERT_EQ(files::WriteRecord(dataFolder(rig)).read().size(), 8u) << "one line per changed row";

    const auto undone = ops::undoLastWrite(rig.program().state, {});
    ASSERT_EQ(undone, ops::End::Done) << undone.message;
    EXPECT_EQ(segmentsOf(rig.device()), before) << "every byte of the four segment tables";
    EXPECT_FALSE(rig.program().state.flashOfUnit) << "the table written is no longer the unit's";
    EXPECT_EQ(undone.payload.fields.front().caption, "Flash-pattern table, row 1");
}

}  // namespace
}  // namespace zrk::test
