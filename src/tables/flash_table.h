#pragma once

#include <array>
#include <cstdint>

namespace zrk::app {
class FrmMain;
}

namespace zrk::tables {

inline constexpr std::int32_t kEmptyAngle = 511;

// The flash-pattern table: eight rows of 32 angle entries (rows and columns
// from 1; 511 is empty) and one RGB colour per row (red in the low byte).
struct FlashTable {
    std::array<std::array<std::int32_t, 33>, 9> TablaPautas{};
    std::array<std::int32_t, 9> TablaColores{};
};

// Lays out the grid: sizes, headers, the tinted "F" columns.
void FormatearGrid(app::FrmMain& frm);
// Empties every data cell and marks every used entry empty.
void BorrarDatosGrid(app::FrmMain& frm, FlashTable& table);

}  // namespace zrk::tables
