// Over random units and random edits of the grid, every view of a table
// write says the same as the unit: the dry run, the confirmation, the frames
// sent, the write record and the undo all agree with the bytes the unit
// held before and holds after.
#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include "files/write_record.h"
#include "ops/segment_transfer.h"
#include "ops/table_plan.h"
#include "ops/table_write.h"
#include "ops/undo_write.h"
#include "unit_rig.h"
#include "unit_segments.h"

namespace zrk::test {
namespace {

// What the confirmation must list, from the unit's tables before and after.
std::vector<std::string> expectedLines(const tables::FlashTable& before, const tables::FlashTable& after) {
    std::vector<std::string> lines;
    for (int row = 1; row <= 8; ++row) {
        const std::string r = std::to_string(row);
        if (before.color(row) != after.color(row))
            lines.push_back("Row " + r + ", colour: " + std::to_string(before.color(row)) + " \u2192 " +
                            std::to_string(after.color(row)));
        for (int pair = 1; pair <= 16; ++pair)
            if (before.pauta(row, 2 * pair - 1) != after.pauta(row, 2 * pair - 1) ||
                before.pauta(row, 2 * pair) != after.pauta(row, 2 * pair))
                lines.push_back("Row " + r + ", pair " + std::to_string(pair) + ": " +
                                ops::pairText(before, row, pair) + " \u2192 " + ops::pairText(after, row, pair));
    }
    return lines;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (end == start) break;  // the blank line before the copy's path
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::int32_t randomEntry(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0:
            return tables::kEmptyAngle;
        case 1:
            return static_cast<std::int32_t>(rng() % 65536);
        default:
            return static_cast<std::int32_t>(rng() % 360);
    }
}

TEST(TableWriteProperty, EveryViewAgreesWithTheUnit) {
    constexpr int kCases = 200;
    int refused = 0, changed = 0, undone = 0;
    for (int k = 0; k < kCases; ++k) {
        std::mt19937 rng(static_cast<std::uint32_t>(k) * 7919u + 1u);
        UnitRig rig;
        auto& p = rig.program();
        for (int n = 1; n <= 4; ++n)
            for (int o = 0; o < 256; ++o) rig.device().setSegment(n, o, static_cast<std::uint8_t>(rng() % 256));
        const bool readFirst = rng() % 4 != 0;
        if (readFirst) {
            ASSERT_EQ(ops::CLeerColores_Click(p.state), ops::End::Done);
        }
        // Edits of a few rows on what the grid shows; some refused.
        tables::FlashTable grid = tableOf(segmentsOf(rig.device()));
        if (!readFirst) grid = p.state.flash;
        for (int edits = static_cast<int>(rng() % 4); edits > 0; --edits) {
            const int row = 1 + static_cast<int>(rng() % 8);
            if (rng() % 2) grid.color(row) = static_cast<std::int32_t>(rng() % 0x1000000);
            for (int e = static_cast<int>(rng() % 5); e > 0; --e)
                grid.pauta(row, 1 + static_cast<int>(rng() % 32)) = randomEntry(rng);
        }
        const int refusal = static_cast<int>(rng() % 12);
        if (refusal == 0)
            grid.color(1 + static_cast<int>(rng() % 8)) = 0x1000000 + static_cast<std::int32_t>(rng() % 100);
        if (refusal == 1) grid.pauta(1 + static_cast<int>(rng() % 8), 1 + static_cast<int>(rng() % 32)) = 65536;
        p.state.flash = grid;
        for (int row = 1; row <= 8; ++row) rig.frm().LColor(row).setCaption(std::to_string(grid.color(row)));
        p.state.verifyOverride = rng() % 3 != 0;
        const std::string where = "case " + std::to_string(k);

        const auto dry = ops::plannedTableWrite(p.state, {.dryRun = true});
        const Segments before = segmentsOf(rig.device());
        rig.device().clearFrameLog();
        rig.started.machine.ui.questions.clear();
        const auto logged = files::WriteRecord(rig.started.machine.platform.info.dataFolder).read().size();
        const auto outcome = ops::CEscribirColores_Click(p.state);
        const Segments after = segmentsOf(rig.device());

        if (refusal <= 1) {
            ++refused;
            EXPECT_EQ(dry, ops::End::BadData) << where;
            EXPECT_EQ(outcome, ops::End::BadData) << where;
            EXPECT_EQ(outcome.message, dry.message) << where;
            EXPECT_TRUE(rig.device().frameLog().empty()) << where;
            EXPECT_EQ(after, before) << where;
            continue;
        }
        ASSERT_EQ(outcome, ops::End::Done) << where << ": " << outcome.message;
        EXPECT_EQ(tableOf(after), grid) << where << ": the unit holds what the grid shows";
        const auto cells = changedCells(before, after);
        EXPECT_EQ(segmentWrites(rig), cells) << where << ": exactly the changed cells, once each";
        const auto lines = expectedLines(tableOf(before), tableOf(after));
        EXPECT_EQ(dry.payload.lines, lines) << where;
        EXPECT_EQ(outcome.payload.lines, lines) << where;
        const auto& questions = rig.started.machine.ui.questions;
        if (cells.empty()) {
            EXPECT_TRUE(questions.empty() || questions.back().details.empty()) << where;
            continue;
        }
        ++changed;
        ASSERT_FALSE(questions.empty()) << where;
        EXPECT_EQ(split(questions.back().details), lines) << where;

        // One record line per row with a changed cell, its cells exactly those.
        const auto record = files::WriteRecord(rig.started.machine.platform.info.dataFolder).read();
        std::vector<SegmentByte> recorded;
        std::vector<int> rows;
        for (auto line = record.begin() + static_cast<std::ptrdiff_t>(logged); line != record.end(); ++line) {
            EXPECT_EQ(line->outcome, *p.state.verifyOverride ? files::kOutcomeVerified : files::kOutcomeNotVerified)
                << where;
            rows.push_back(ops::rowOfField(line->field));
            for (const auto& c : line->cells) {
                EXPECT_EQ(c.before, at(before, c.table, c.address)) << where;
                EXPECT_EQ(2 * c.table - (c.address < 128 ? 1 : 0), rows.back()) << where << ": the row's own cells";
                recorded.push_back({c.table, c.address, c.after});
            }
        }
        EXPECT_EQ(recorded, cells) << where;
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end())) << where;

        if (changed % 10 == 0) {
            ++undone;
            const auto back = ops::undoLastWrite(p.state, {});
            ASSERT_EQ(back, ops::End::Done) << where << ": " << back.message;
            EXPECT_EQ(segmentsOf(rig.device()), before) << where << ": every byte back";
        }
    }
    std::cout << "table write property: " << kCases << " cases, " << refused << " refused, " << changed
              << " changed the unit, " << undone << " undone\n";
    EXPECT_GT(refused, kCases / 20);
    EXPECT_GT(changed, kCases / 2);
}

}  // namespace
}  // namespace zrk::test
