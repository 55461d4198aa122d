#include "tables/sector_marks.h"

#include <bitset>

namespace zrk::tables {
namespace {

constexpr int kDegrees = kLastAngle + 1;

// Degree d stands for the arc from d to d + 1.
using Degrees = std::bitset<kDegrees>;

bool isAngle(std::int32_t entry) { return entry >= 0 && entry <= kLastAngle; }

Degrees covered(const Sector& s) {
    Degrees degrees;
    for (int d = s.start; d != s.end; d = (d + 1) % kDegrees) degrees.set(static_cast<std::size_t>(d));
    return degrees;
}

bool has(const Degrees& degrees, int d) { return degrees.test(static_cast<std::size_t>((d + kDegrees) % kDegrees)); }

// The runs of set degrees as arcs, in the order they start; a run across 0
// is one arc, found where it starts.
std::vector<Arc> arcsOf(const Degrees& degrees) {
    std::vector<Arc> arcs;
    if (degrees.all()) return {{0, 0}};
    for (int d = 0; d < kDegrees; ++d) {
        if (!has(degrees, d) || has(degrees, d - 1)) continue;
        int end = d;
        while (has(degrees, end)) end = (end + 1) % kDegrees;
        arcs.push_back({d, end});
    }
    return arcs;
}

}  // namespace

std::vector<SectorMark> sectorMarks(const FlashTable& table, const RowColours& colours) {
    std::vector<Sector> sectors;
    for (int row = 1; row <= kPatternRows; ++row)
        for (int pair = 1; pair <= kPatternColumns / 2; ++pair) {
            const std::int32_t start = table.pauta(row, 2 * pair - 1);
            const std::int32_t end = table.pauta(row, 2 * pair);
            if (isAngle(start) && isAngle(end)) sectors.push_back({row, pair, start, end});
        }
    std::vector<Degrees> cover;
    cover.reserve(sectors.size());
    for (const Sector& s : sectors) cover.push_back(covered(s));

    const auto colour = [&colours](int row) { return colours[static_cast<std::size_t>(row - 1)]; };
    std::vector<SectorMark> marks;
    for (std::size_t i = 0; i < sectors.size(); ++i) {
        SectorMark mark{sectors[i], sectors[i].start > sectors[i].end, {}};
        for (std::size_t j = 0; j < sectors.size(); ++j) {
            if (colour(sectors[j].row) == colour(sectors[i].row)) continue;
            const Degrees shared = cover[i] & cover[j];
            if (shared.any()) mark.overlaps.push_back({sectors[j], arcsOf(shared)});
        }
        if (mark.throughZero || !mark.overlaps.empty()) marks.push_back(std::move(mark));
    }
    return marks;
}

std::vector<std::pair<int, int>> anglesAfterAGap(const FlashTable& table) {
    std::vector<std::pair<int, int>> cells;
    for (int row = 1; row <= kPatternRows; ++row) {
        bool gap = false;
        for (int col = 1; col <= kPatternColumns; ++col) {
            const bool filled = isAngle(table.pauta(row, col));
            if (filled && gap) cells.emplace_back(row, col);
            gap = gap || !filled;
        }
    }
    return cells;
}

}  // namespace zrk::tables
