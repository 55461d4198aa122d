// The flash-pattern grid: layout, editing keys, the cell-leave rule, clearing,
// redrawing and the row colours, driven through the grid's events.
#include "tables/flash_table.h"

#include <gtest/gtest.h>

#include "ops/segment_transfer.h"
#include "started_program.h"

namespace zrk::test {
namespace {

using app::GridColor;

struct Grid {
    StartedProgram started;
    app::FrmMain& frm() { return started.frm(); }
    app::FlexGrid& grid() { return started.frm().MSFlexGridPautas; }
    tables::FlashTable& table() { return started.program->flash; }
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

TEST(FlashGrid, CellLeaveRule) {
    struct Case {
        int col;
        std::string left;  // text of the cell to the left (columns above 1)
        std::string text;
        std::int32_t entryBefore;
        std::string shown;
        std::int32_t entryAfter;
    };
    const Case cases[] = {
        {1, "", "7", 511, "007", 7},      {1, "", "0", 511, "000", 0},
        {1, "", "0007", 511, "007", 7},   {1, "", "359", 511, "359", 359},
        {1, "", "360", 511, "", 511},     {1, "", "400", 120, "", 120},  // rejected: the entry keeps its value
        {1, "", "", 42, "", 511},                                        // all digits removed: the entry is emptied
        {3, "005", "", 42, "", 511},                                     // the same beside a filled cell
        {3, "", "", 42, "", 511},                                        // and beside an empty one
        {1, "", "99999999999", 5, "", 5},                                // beyond 32 bits: out of range too
        {3, "", "10", 511, "", 511},                                     // nothing to its left
        {3, "005", "10", 511, "010", 10}, {32, "350", "359", 511, "359", 359},
    };
    for (const Case& c : cases) {
        Grid g;
        if (c.col > 1) g.grid().setTextMatrix(4, c.col - 1, c.left);
        g.table().pauta(4, c.col) = c.entryBefore;
        g.grid().setTextMatrix(4, c.col, c.text);
        g.grid().setCurrent(4, c.col);
        g.grid().LeaveCell();
        EXPECT_EQ(g.grid().TextMatrix(4, c.col), c.shown) << "column " << c.col << " text '" << c.text << "'";
        EXPECT_EQ(g.table().pauta(4, c.col), c.entryAfter) << "column " << c.col << " text '" << c.text << "'";
    }
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
    tables::SegmentBlock block{};
    tables::encodeSegmentTable(g.table(), 2, block);
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
    tables::RedibujaGrid(g.frm(), g.table());
    const std::vector<std::string> shown = {"359", "", "", "000", "", "", "007"};
    for (int col = 1; col <= 7; ++col) EXPECT_EQ(g.grid().TextMatrix(1, col), shown[col - 1]) << col;
    EXPECT_EQ(g.table(), before);
}

TEST(FlashGrid, ColourDisplayFillsLabelsAndRowHeaders) {
    Grid g;
    for (int row = 1; row <= 8; ++row) g.table().color(row) = row * 0x010203;
    tables::RellenarColores(g.frm(), g.table());
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

}  // namespace
}  // namespace zrk::test
