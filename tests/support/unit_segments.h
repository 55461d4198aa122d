#pragma once

// The simulated unit's four segment tables as table-write tests look at
// them: every byte, the writes it received, the cells that changed.
#include <array>
#include <cstdint>
#include <vector>

#include "ops/segment_transfer.h"
#include "unit_rig.h"

namespace zrk::test {

using Segments = std::array<std::array<std::uint8_t, 256>, 4>;
using SegmentByte = std::array<int, 3>;  // table (1 to 4), offset, byte

inline std::uint8_t& at(Segments& s, int n, int offset) {
    return s[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(offset)];
}
inline std::uint8_t at(const Segments& s, int n, int offset) {
    return s[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(offset)];
}

inline Segments segmentsOf(const sim::DeviceModel& device) {
    Segments s{};
    for (int n = 1; n <= 4; ++n)
        for (int o = 0; o < 256; ++o) at(s, n, o) = device.segment(n, o);
    return s;
}

// Every segment write the unit received, in order.
inline std::vector<SegmentByte> segmentWrites(UnitRig& rig) {
    std::vector<SegmentByte> writes;
    for (const auto& f : rig.device().frameLog())
        if (f[4] >= sim::DeviceModel::kWriteSegmentFirst && f[4] < sim::DeviceModel::kWriteSegmentFirst + 4)
            writes.push_back({f[4] - sim::DeviceModel::kWriteSegmentFirst + 1, f[5], f[6]});
    return writes;
}

// The cells whose bytes differ between two states of the unit, with the
// byte after, in the order a write sends them.
inline std::vector<SegmentByte> changedCells(const Segments& before, const Segments& after) {
    std::vector<SegmentByte> cells;
    for (int n = 1; n <= 4; ++n)
        for (int o = 0; o < 256; ++o)
            if (at(after, n, o) != at(before, n, o)) cells.push_back({n, o, at(after, n, o)});
    return cells;
}

// The table as the unit's segment bytes hold it.
inline tables::FlashTable tableOf(const Segments& s) {
    tables::FlashTable table;
    for (int n = 1; n <= 4; ++n) {
        ops::SegmentBlock block{};
        for (int o = 0; o < 256; ++o) block[static_cast<std::size_t>(o)] = at(s, n, o);
        ops::decodeSegmentTable(block, n, table);
    }
    return table;
}

}  // namespace zrk::test
