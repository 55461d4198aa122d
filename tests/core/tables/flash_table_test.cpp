// The flash-pattern grid: layout, editing keys, the cell-leave rule, clearing,
// redrawing and the row colours, driven through the grid's events.
#include "tables/flash_table.h"

#include <gtest/gtest.h>

#include "ops/segment_transfer.h"
#include "started_program.h"
#include "tables/sector_marks.h"

namespace zrk::test {
namespace {

using form::GridColor;

struct Grid {
    StartedProgram started;
    form::FrmMain& frm() { return started.frm(); }
    form::FlexGrid& grid() { return started.frm().MSFlexGridPautas; }
    tables::FlashTable& table() { return started.program->state.flash; }
    const texts::TextTable& texts() { return started.program->state.texts; }
    void type(const std::string& keys) {
        for (char key : keys) grid().KeyPress(static_cast<unsigned char>(key));
    }
    // What the operator does: click a cell (the view raises LeaveCell first).
    void click(int row, int col) {
        grid().LeaveCell();
        grid().setCurrent(row, col);
    }
};

TEST(FlashGrid, StartUpLayoutAndEmptyTable) {
    Grid g;
    auto& grid = g.grid();
    EXPECT_EQ(grid.ColWidth(), 350);
    EXPECT_EQ(grid.RowHeight(), 250);
    EXPECT_EQ(grid.TextMatrix(1, 0), " 1");
    EXPECT_EQ(grid.TextMatrix(8, 0), " 8");
    EXPECT_EQ(grid.TextMatrix(0, 1), " 1I");
    EXPECT_EQ(grid.TextMatrix(0, 2), " 1F");
    EXPECT_EQ(grid.TextMatrix(0, 31), " 16I");
    EXPECT_EQ(grid.TextMatrix(0, 32), " 16F");
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) {
            EXPECT_EQ(grid.TextMatrix(row, col), "");
            EXPECT_EQ(g.table().pauta(row, col), 511);
            const auto expected = col % 2 == 0 ? GridColor::Kind::ThreeDLight : GridColor::Kind::Default;
            EXPECT_EQ(grid.CellBackColor(row, col).kind, expected) << row << "," << col;
        }
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(g.frm().LColor(row).Caption(), std::to_string(row));
        EXPECT_EQ(g.table().color(row), 0);
    }
    EXPECT_EQ(grid.Row(), 8);
    EXPECT_EQ(grid.Col(), 32);
}

TEST(FlashGrid, EditingKeysChangeOnlyTheCellText) {
    struct Case {
        std::string before;
        int key;
        std::string after;
    };
    const Case cases[] = {
        {"", '7', "7"},    {"12", '3', "123"}, {"3590", '9', "35909"},  // no length limit
        {"12", 8, "1"},    {"1", 8, ""},       {"", 8, ""},
        {"12", 'a', "12"}, {"12", '-', "12"},  {"12", ' ', "12"},
        {"12", 13, "12"},  {"12", 27, "12"},   {"12", 127, "12"},
    };
    for (const Case& c : cases) {
        Grid g;
        g.grid().setCurrent(2, 5);
        g.grid().setText(c.before);
        g.grid().KeyPress(c.key);
        EXPECT_EQ(g.grid().TextMatrix(2, 5), c.after) << "'" << c.before << "' + key " << c.key;
        EXPECT_EQ(g.grid().Row(), 2);
        EXPECT_EQ(g.grid().Col(), 5);
        EXPECT_EQ(g.table().pauta(2, 5), 511) << "the table waits for the cell to be left";
    }
}

TEST(FlashGrid, TabMovesRightWrapsAtTheRowEndAndStopsAtTheLastCell) {
    struct Case {
        int row, col, toRow, toCol;
    };
    const Case cases[] = {
        {1, 1, 1, 2}, {3, 31, 3, 32}, {3, 32, 4, 1}, {8, 32, 8, 32}, {5, 0, 5, 1},  // from a row header into the row
        {0, 4, 0, 4},                                                               // a column header goes nowhere
    };
    for (const Case& c : cases) {
        Grid g;
        g.grid().setCurrent(c.row, c.col);
        g.grid().KeyPress(tables::kKeyTab);
        EXPECT_EQ(g.grid().Row(), c.toRow) << c.row << "," << c.col;
        EXPECT_EQ(g.grid().Col(), c.toCol) << c.row << "," << c.col;
    }
}

TEST(FlashGrid, TabAppliesTheCellLeaveRuleToTheCellItLeaves) {
    Grid g;
    g.grid().setCurrent(1, 1);
    g.type("7\t400\t");
    EXPECT_EQ(g.grid().TextMatrix(1, 1), "007");
    EXPECT_EQ(g.table().pauta(1, 1), 7);
    EXPECT_EQ(g.grid().TextMatrix(1, 2), "");
    EXPECT_EQ(g.table().pauta(1, 2), 511);
    EXPECT_EQ(g.grid().Col(), 3);

    // On the very last cell tab still takes the value, and stays.
    g.grid().setTextMatrix(8, 31, "010");
    g.click(8, 32);
    g.type("20\t");
    EXPECT_EQ(g.table().pauta(8, 32), 20);
    EXPECT_EQ(g.grid().TextMatrix(8, 32), "020");
    EXPECT_EQ(g.grid().Row(), 8);
    EXPECT_EQ(g.grid().Col(), 32);
}

TEST(FlashGrid, KeysOnHeaderCellsLeaveTheHeadersAlone) {
    Grid g;
    for (auto [row, col] : {std::pair{3, 0}, std::pair{0, 3}}) {
        g.grid().setCurrent(row, col);
        const std::string header = g.grid().Text();
        g.type("5");
        g.grid().KeyPress(tables::kKeyBackspace);
        g.grid().KeyPress(tables::kKeyBackspace);
        EXPECT_EQ(g.grid().TextMatrix(row, col), header);
    }
}

// A refused entry empties the cell and its entry alike, so the unit and a
// saved file get what the grid shows; the status line says why.
TEST(FlashGrid, CellLeaveRule) {
    const std::string range = ": angles run from 0 to 359";
    const std::string gap = ": a row fills from the left, and the cell before it is empty";
    struct Case {
        int col;
        std::string left;  // text of the cell to the left (columns above 1)
        std::string text;
        std::int32_t entryBefore;
        std::string shown;
        std::int32_t entryAfter;
        std::string status;  // empty: the status line keeps what it said
    };
    const Case cases[] = {
        {1, "", "7", 511, "007", 7, ""},
        {1, "", "0", 511, "000", 0, ""},
        {1, "", "0007", 120, "007", 7, ""},
        {1, "", "359", 511, "359", 359, ""},
        {1, "", "360", 511, "", 511, "Angle 360 refused in row 4, column 1I" + range},
        {1, "", "400", 120, "", 511, "Angle 400 refused in row 4, column 1I" + range},  // the old angle goes too
        {1, "", "99999999999", 5, "", 511, "Angle 99999999999 refused in row 4, column 1I" + range},  // beyond 32 bits
        {1, "", "", 42, "", 511, ""},     // all digits removed: the entry is emptied
        {3, "005", "", 42, "", 511, ""},  // the same beside a filled cell
        {3, "", "", 42, "", 511, ""},     // and beside an empty one
        {3, "", "10", 42, "", 511, "Angle 10 refused in row 4, column 2I" + gap},
        {4, "", "400", 42, "", 511, "Angle 400 refused in row 4, column 2F" + range},  // the range is named first
        {3, "005", "10", 511, "010", 10, ""},
        {32, "350", "359", 511, "359", 359, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.col) + " text '" + c.text + "'");
        Grid g;
        g.frm().setStatus("Ended");
        if (c.col > 1) g.grid().setTextMatrix(4, c.col - 1, c.left);
        g.table().pauta(4, c.col) = c.entryBefore;
        g.grid().setTextMatrix(4, c.col, c.text);
        g.grid().setCurrent(4, c.col);
        g.grid().LeaveCell();
        EXPECT_EQ(g.grid().TextMatrix(4, c.col), c.shown);
        EXPECT_EQ(g.table().pauta(4, c.col), c.entryAfter);
        EXPECT_EQ(g.frm().status(), c.status.empty() ? "Ended" : c.status);
    }
}

// Entries to the right of a refused one stay: they are what the operator
// typed, and the grid marks them rather than dropping them.
TEST(FlashGrid, ARefusedEntryLeavesTheRestOfItsRowMarked) {
    Grid g;
    g.click(5, 1);
    g.type("0\t90\t180\t270\t");
    g.click(5, 2);
    g.type("\b\b\b400");
    g.click(6, 1);
    EXPECT_EQ(g.grid().TextMatrix(5, 2), "");
    EXPECT_EQ(g.table().pauta(5, 2), 511);
    EXPECT_EQ(g.frm().status(), "Angle 400 refused in row 5, column 1F: angles run from 0 to 359");
    for (int col : {3, 4}) {
        EXPECT_EQ(g.grid().TextMatrix(5, col), tables::formatAngle(col == 3 ? 180 : 270));
        EXPECT_EQ(g.grid().CellMarkOf(5, col).tint, tables::kAfterGapTint) << col;
        EXPECT_EQ(g.grid().CellToolTip(5, col),
                  "A cell before this one in the row is empty; this angle is still sent and saved");
    }
    EXPECT_EQ(g.grid().CellMarkOf(5, 1), form::CellMark{});

    // Typed again, the row is whole and the marks go.
    g.click(5, 2);
    g.type("90");
    g.click(6, 1);
    EXPECT_EQ(g.table().pauta(5, 2), 90);
    for (int col = 1; col <= 32; ++col) EXPECT_EQ(g.grid().CellMarkOf(5, col), form::CellMark{}) << col;
}

// The operator deletes an angle with backspace: no hidden angle stays
// behind the empty cell to be sent to the unit.
TEST(FlashGrid, DeletingACellsDigitsEmptiesItsEntry) {
    Grid g;
    g.click(3, 1);
    g.type("0\t120\t240\t");
    ASSERT_EQ(g.table().pauta(3, 2), 120);
    g.click(3, 2);
    g.type("\b\b");
    g.click(3, 2);  // leaving with one digit still there keeps an angle
    EXPECT_EQ(g.table().pauta(3, 2), 1);
    EXPECT_EQ(g.grid().TextMatrix(3, 2), "001");
    g.type("\b\b\b");
    g.click(5, 5);
    EXPECT_EQ(g.grid().TextMatrix(3, 2), "");
    EXPECT_EQ(g.table().pauta(3, 2), 511);
    EXPECT_EQ(g.table().pauta(3, 1), 0) << "its neighbours keep theirs";
    EXPECT_EQ(g.table().pauta(3, 3), 240);
    ops::SegmentBlock block{};
    ops::encodeSegmentTable(g.table(), 2, block);
    EXPECT_EQ(block[2 * 2 + 1], 1);
    EXPECT_EQ(block[2 * 2 + 2], 255) << "an empty entry travels as 1, 255";
}

TEST(FlashGrid, LeavingAHeaderCellChangesNothing) {
    Grid g;
    const tables::FlashTable before = g.table();
    g.grid().setCurrent(2, 0);
    g.grid().LeaveCell();
    EXPECT_EQ(g.grid().TextMatrix(2, 0), " 2");
    EXPECT_EQ(g.table(), before);
}

TEST(FlashGrid, ARowIsTypedFromTheLeft) {
    Grid g;
    g.click(6, 1);
    g.type("0\t90\t180\t270");
    g.click(6, 6);  // one cell past the end of what was typed
    g.type("300");
    g.click(6, 1);
    const std::vector<std::string> shown = {"000", "090", "180", "270", "", ""};
    for (int col = 1; col <= 6; ++col) EXPECT_EQ(g.grid().TextMatrix(6, col), shown[col - 1]) << col;
    EXPECT_EQ(g.table().pauta(6, 4), 270);
    EXPECT_EQ(g.table().pauta(6, 6), 511);
}

TEST(FlashGrid, ClearEmptiesCellsAndEntriesButKeepsColours) {
    Grid g;
    g.started.machine.ui.colors = {0x00FF00};
    g.frm().LColor(2).Click();
    g.click(2, 1);
    g.type("15\t");
    ASSERT_EQ(g.table().pauta(2, 1), 15);
    g.frm().CBorrarTabla.Click();
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) {
            EXPECT_EQ(g.grid().TextMatrix(row, col), "");
            EXPECT_EQ(g.table().pauta(row, col), 511);
        }
    EXPECT_EQ(g.table().color(2), 0x00FF00);
    EXPECT_EQ(g.frm().LColor(2).Caption(), "65280");
    EXPECT_EQ(g.grid().CellBackColor(2, 0), (GridColor{GridColor::Kind::Rgb, 0x00FF00}));
    EXPECT_EQ(g.grid().CellBackColor(2, 2).kind, GridColor::Kind::ThreeDLight);
}

TEST(FlashGrid, RedrawShowsOnlyAnglesAndKeepsTheTable) {
    Grid g;
    const std::int32_t entries[] = {359, 360, 511, 0, -1, 65535, 7};
    for (int col = 1; col <= 7; ++col) g.table().pauta(1, col) = entries[col - 1];
    const tables::FlashTable before = g.table();
    tables::RedibujaGrid(g.frm(), g.table(), g.texts());
    const std::vector<std::string> shown = {"359", "", "", "000", "", "", "007"};
    for (int col = 1; col <= 7; ++col) EXPECT_EQ(g.grid().TextMatrix(1, col), shown[col - 1]) << col;
    EXPECT_EQ(g.table(), before);
}

// After a read or an open the grid shows the table as the unit or file holds
// it: the cell-leave rule, for typing, neither empties the current cell nor
// puts a refusal on the status line.
TEST(FlashGrid, RedrawKeepsAnAngleAfterAGapAndSaysNothing) {
    Grid g;
    g.table().pauta(2, 1) = 511;
    g.table().pauta(2, 2) = 120;
    const tables::FlashTable before = g.table();
    g.grid().setCurrent(2, 2);
    g.frm().setStatus("Ended");
    tables::RedibujaGrid(g.frm(), g.table(), g.texts());
    EXPECT_EQ(g.table(), before);
    EXPECT_EQ(g.grid().TextMatrix(2, 2), "120");
    EXPECT_EQ(g.frm().status(), "Ended");
    EXPECT_EQ(g.grid().CellMarkOf(2, 2).tint, tables::kAfterGapTint);
}

// The marks follow every edit of angles and colours; the "F" columns keep
// their own background under a mark and after it.
TEST(FlashGrid, OverlapMarksFollowAnglesAndColours) {
    Grid g;
    g.started.machine.ui.colors = {0xFFFFFF, 0x00FFFF};
    g.frm().LColor(1).Click();  // white
    g.frm().LColor(2).Click();  // yellow
    g.click(1, 1);
    g.type("240\t359\t");
    g.click(2, 1);
    g.type("300\t330\t");
    g.click(3, 1);
    for (auto [row, col] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}})
        EXPECT_EQ(g.grid().CellMarkOf(row, col).tint, tables::kOverlapTint) << row << "," << col;
    EXPECT_EQ(g.grid().CellToolTip(1, 2),
              "Overlaps row 2, sector 1 (300\u2013330), which has another colour, over "
              "300\u2013330");
    EXPECT_EQ(g.grid().CellToolTip(2, 1),
              "Overlaps row 1, sector 1 (240\u2013359), which has another colour, over "
              "300\u2013330");
    EXPECT_EQ(g.grid().CellBackColor(1, 2).kind, GridColor::Kind::ThreeDLight);

    // The same colour in both rows: no overlap to speak of.
    g.started.machine.ui.colors = {0xFFFFFF};
    g.frm().LColor(2).Click();
    for (int col : {1, 2}) {
        EXPECT_EQ(g.grid().CellMarkOf(1, col), form::CellMark{});
        EXPECT_EQ(g.grid().CellMarkOf(2, col), form::CellMark{});
    }
    EXPECT_EQ(g.grid().CellBackColor(2, 2).kind, GridColor::Kind::ThreeDLight);

    // A sector through 0 is marked whatever the colours.
    g.click(2, 1);
    g.type("\b\b\b350\t\b\b\b10\t");
    EXPECT_EQ(g.grid().CellMarkOf(2, 1).tint, tables::kThroughZeroTint);
    EXPECT_EQ(g.grid().CellToolTip(2, 2), "Start after end: the sector runs through 0");

    // A table read or a file shows its colours and angles with their marks.
    tables::FlashTable read = g.table();
    read.color(2) = 0x0000FF;
    tables::RellenarColores(g.frm(), read, g.texts());
    EXPECT_EQ(g.grid().CellToolTip(1, 1),
              "Overlaps row 2, sector 1 (350\u201310), which has another colour, over "
              "350\u2013359");
    EXPECT_EQ(g.grid().CellToolTip(2, 1),
              "Start after end: the sector runs through 0\nOverlaps row 1, sector 1 "
              "(240\u2013359), which has another colour, over 350\u2013359");
    EXPECT_EQ(g.grid().CellMarkOf(2, 1).tint, tables::kOverlapTint) << "an overlap outweighs the rest";

    g.frm().CBorrarTabla.Click();
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) EXPECT_EQ(g.grid().CellMarkOf(row, col), form::CellMark{});
}

TEST(FlashGrid, ColourDisplayFillsLabelsAndRowHeaders) {
    Grid g;
    for (int row = 1; row <= 8; ++row) g.table().color(row) = row * 0x010203;
    tables::RellenarColores(g.frm(), g.table(), g.texts());
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(g.frm().LColor(row).Caption(), std::to_string(row * 0x010203));
        EXPECT_EQ(g.grid().CellBackColor(row, 0), (GridColor{GridColor::Kind::Rgb, row * 0x010203}));
    }
    EXPECT_EQ(g.grid().Row(), 8);
    EXPECT_EQ(g.grid().Col(), 0);
}

TEST(FlashGrid, ColourChoiceSetsHeaderCaptionAndTable) {
    Grid g;
    g.started.machine.ui.colors = {255};
    g.frm().LColor(3).Click();
    EXPECT_EQ(g.grid().CellBackColor(3, 0), (GridColor{GridColor::Kind::Rgb, 255}));
    EXPECT_EQ(g.frm().LColor(3).Caption(), "255");
    EXPECT_EQ(g.table().color(3), 255);
    EXPECT_EQ(g.grid().Row(), 3);
    EXPECT_EQ(g.grid().Col(), 0);
    EXPECT_EQ(g.frm().LColor(4).Caption(), "4") << "other rows keep theirs";

    // A dialog closed without a choice still applies what it holds: the row's colour.
    g.frm().LColor(3).Click();
    EXPECT_EQ(g.table().color(3), 255);
    g.frm().LColor(5).Click();
    EXPECT_EQ(g.frm().LColor(5).Caption(), "0");
}

// Sectors as (row, pair, start, end), laid into an otherwise empty table.
tables::FlashTable tableOf(std::initializer_list<tables::Sector> sectors) {
    tables::FlashTable table;
    for (auto& row : table.TablaPautas) row.fill(tables::kEmptyAngle);
    for (const auto& s : sectors) {
        table.pauta(s.row, 2 * s.pair - 1) = s.start;
        table.pauta(s.row, 2 * s.pair) = s.end;
    }
    return table;
}

TEST(SectorMarks, OverlapsOfOtherColoursAndSectorsThroughZero) {
    using tables::Arc;
    using tables::Sector;
    using tables::SectorMark;
    using tables::SectorOverlap;
    const tables::RowColours distinct{1, 2, 3, 4, 5, 6, 7, 8};
    const Sector white{1, 1, 240, 359}, yellow{2, 1, 300, 330};
    const Sector wrap{1, 1, 350, 10}, early{3, 1, 340, 355}, late{3, 2, 5, 20}, wrapToo{4, 3, 355, 5};
    struct Case {
        const char* name;
        tables::FlashTable table;
        tables::RowColours colours;
        std::vector<SectorMark> marks;
    };
    const Case cases[] = {
        {"sectors that only meet at a boundary",
         tableOf({{1, 1, 0, 120}, {2, 1, 120, 240}, {3, 2, 240, 0}}),
         distinct,
         {{{3, 2, 240, 0}, true, {}}}},
        {"white against yellow",
         tableOf({white, yellow}),
         distinct,
         {{white, false, {{yellow, {{300, 330}}}}}, {yellow, false, {{white, {{300, 330}}}}}}},
        {"the same colour in both rows", tableOf({white, yellow}), {9, 9, 3, 4, 5, 6, 7, 8}, {}},
        {"two sectors of one row", tableOf({{1, 1, 0, 100}, {1, 2, 50, 150}}), distinct, {}},
        {"one sector across 0 against two",
         tableOf({wrap, early, late}),
         distinct,
         {{wrap, true, {{early, {{350, 355}}}, {late, {{5, 10}}}}},
          {early, false, {{wrap, {{350, 355}}}}},
          {late, false, {{wrap, {{5, 10}}}}}}},
        {"two sectors across 0",
         tableOf({wrap, wrapToo}),
         distinct,
         {{wrap, true, {{wrapToo, {{355, 5}}}}}, {wrapToo, true, {{wrap, {{355, 5}}}}}}},
        {"overlapping in two places",
         tableOf({{1, 1, 300, 100}, {2, 1, 50, 320}}),
         distinct,
         {{{1, 1, 300, 100}, true, {{{2, 1, 50, 320}, {{50, 100}, {300, 320}}}}},
          {{2, 1, 50, 320}, false, {{{1, 1, 300, 100}, {{50, 100}, {300, 320}}}}}}},
        {"start after end alone", tableOf({{5, 16, 200, 100}}), distinct, {{{5, 16, 200, 100}, true, {}}}},
        {"no sector without both angles, none from an angle to itself",
         tableOf({{1, 1, 0, 359}, {2, 1, 100, 511}, {3, 1, 400, 200}, {4, 1, 50, 50}}),
         distinct,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto marks = tables::sectorMarks(c.table, c.colours);
        ASSERT_EQ(marks.size(), c.marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const auto& got = marks[i];
            EXPECT_EQ(got.sector, c.marks[i].sector) << "mark " << i << ": row " << got.sector.row;
            EXPECT_EQ(got.throughZero, c.marks[i].throughZero) << "mark " << i;
            EXPECT_EQ(got.overlaps, c.marks[i].overlaps) << "mark " << i;
        }
    }
}

TEST(SectorMarks, AnglesAfterAnEmptyCellOfTheirRow) {
    tables::FlashTable table = tableOf({{1, 1, 10, 511}, {1, 2, 30, 40}, {2, 1, 0, 90}, {2, 2, 180, 270}});
    table.pauta(3, 1) = 400;  // no angle: as good as empty
    table.pauta(3, 2) = 20;
    table.pauta(2, 32) = 300;
    EXPECT_EQ(tables::anglesAfterAGap(table), (std::vector<std::pair<int, int>>{{1, 3}, {1, 4}, {2, 32}, {3, 2}}));
}

}  // namespace
}  // namespace zrk::test
