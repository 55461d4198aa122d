#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ops/segment_transfer.h"
#include "tables/flash_table.h"
#include "texts/texts.h"

namespace zrk::ops {

// A write of the grid and the colour labels to one unit, worked out against
// that unit's table as read before anything is sent. The confirmation, the
// frames, the write record, the copy before and the undo all read it, so
// none of them can say one thing while the unit gets another.
struct RowChange {
    int row = 0;  // 1 to 8
    std::int32_t colourBefore = 0;
    std::int32_t colourAfter = 0;
    // The row's segment cells that change, in sending order.
    std::vector<CellWrite> cells;
    std::vector<std::uint8_t> before;  // what each of those cells held
};

struct TablePlan {
    tables::UnitTable unit;    // the unit's number and table as read
    tables::FlashTable after;  // what the grid and the labels show
    std::vector<RowChange> rows;
    // Why the table cannot be sent as it stands; empty when it can.
    std::string refusal;

    // The changed cells of every row, in the order a write sends them.
    std::vector<CellWrite> cells() const;
};

// Why `table` cannot be sent as it is (a colour beyond 24 bits or an entry
// beyond 16 bits would reach the unit cut short); empty when it can.
std::string tableRefusal(const texts::TextTable& texts, const tables::FlashTable& table);

// The plan for `after` against the unit's table. A colour beyond 24 bits or
// an entry beyond 16 bits would reach the unit cut short: refused.
TablePlan planTableWrite(const texts::TextTable& texts, const tables::UnitTable& unit, const tables::FlashTable& after);

// The table the grid and the colour labels (rows 1 to 8) show into `out`;
// the refusal when a label's number does not fit 32 bits, else nothing.
std::string shownTable(const texts::TextTable& texts, const tables::FlashTable& grid,
                       const std::vector<std::string>& labelCaptions, tables::FlashTable& out);

// "090 - 180", an empty entry as "---": how people read a pair of a row.
std::string pairText(const tables::FlashTable& table, int row, int pair);

// One line per change of a row for the confirmation: its colour, then each
// pair (start and end column) that changes, before -> after.
std::vector<std::string> rowChangeLines(const texts::TextTable& texts, const TablePlan& plan, const RowChange& row);

// A row as the write record keeps it: "16777215; 090 - 180, 200 - 250".
std::string rowRecordText(const tables::FlashTable& table, int row);

// The record's name of a row, and back; zero for a name that is no row.
std::string rowField(int row);
int rowOfField(const std::string& field);

}  // namespace zrk::ops
