#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "tables/flash_table.h"

namespace zrk::tables {

// An arc of the circle in whole degrees, clockwise from `from` to `to`; an
// arc with `to` below `from` runs through 0.
struct Arc {
    int from = 0;
    int to = 0;
    bool operator==(const Arc&) const = default;
};

// A sector: pair `pair` of a row (columns 2 * pair - 1 and 2 * pair, "kI" and
// "kF" in the grid) with both entries holding angles.
struct Sector {
    int row = 0;
    int pair = 0;
    std::int32_t start = 0;
    std::int32_t end = 0;
    bool operator==(const Sector&) const = default;
};

struct SectorOverlap {
    Sector other;
    std::vector<Arc> arcs;  // where the two share the circle, clockwise from 0
    bool operator==(const SectorOverlap&) const = default;
};

// What the grid points out about one sector; none of it is refused.
struct SectorMark {
    Sector sector;
    bool throughZero = false;             // the start lies after the end
    std::vector<SectorOverlap> overlaps;  // with sectors of rows of another colour
    bool operator==(const SectorMark&) const = default;
};

// The colour of rows 1 to 8, in that order.
using RowColours = std::array<std::int32_t, kPatternRows>;

// The sectors that run through 0 or overlap a sector of a row of another
// colour, in row and pair order; the others are left out. A sector covers the
// arc from its start to its end, so two that only meet at a boundary angle
// (0-120 and 120-240) do not overlap, and one from an angle to the same angle
// covers nothing.
std::vector<SectorMark> sectorMarks(const FlashTable& table, const RowColours& colours);

// The entries holding an angle with an empty cell before them in their row
// (row, column): the unit still gets them.
std::vector<std::pair<int, int>> anglesAfterAGap(const FlashTable& table);

}  // namespace zrk::tables
