#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zrk::form {
class FrmMain;
}
namespace zrk::platform {
class UserInterface;
}
namespace zrk::texts {
class TextTable;
}

namespace zrk::tables {

inline constexpr std::int32_t kEmptyAngle = 511;
inline constexpr int kPatternRows = 8;
inline constexpr int kPatternColumns = 32;
inline constexpr std::int32_t kLastAngle = 359;

// Editing keys of the grid.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyTab = 9;

// The flash-pattern table: eight rows of 32 angle entries (rows and columns
// from 1; 511 is empty) and one RGB colour per row (red in the low byte).
struct FlashTable {
    std::array<std::array<std::int32_t, 33>, 9> TablaPautas{};
    std::array<std::int32_t, 9> TablaColores{};

    std::int32_t& pauta(int row, int col) {
        return TablaPautas[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }
    std::int32_t pauta(int row, int col) const {
        return TablaPautas[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }
    std::int32_t& color(int row) { return TablaColores[static_cast<std::size_t>(row)]; }
    std::int32_t color(int row) const { return TablaColores[static_cast<std::size_t>(row)]; }
    bool operator==(const FlashTable&) const = default;
};

// A unit's table as the tool last knew it from a read or a verified write,
// and which unit that was (its identifier number, cells 254 and 255).
struct UnitTable {
    std::uint16_t identifier = 0;
    FlashTable table;
};

// An angle as a cell shows it: at least three digits ("007").
std::string formatAngle(std::int32_t angle);
// A cell text as a number: digits only, nothing when it is anything else or
// does not fit 32 bits.
std::optional<std::int32_t> cellNumber(const std::string& text);

// The row colour a label caption stands for (the lenient number, rounded);
// a number beyond 32 bits is a params::ConversionError.
std::int32_t captionColour(const std::string& caption);

// The tints of the grid's marks (RGB, red in the low byte): light enough to
// read the angle on, apart from the orange of a changed field.
inline constexpr std::int32_t kOverlapTint = 0xAAAAFF;      // rose
inline constexpr std::int32_t kThroughZeroTint = 0xFFCCAA;  // light blue
inline constexpr std::int32_t kAfterGapTint = 0x99F0FF;     // pale yellow

// Lays out the grid: sizes, headers, the tinted "F" columns.
void FormatearGrid(form::FrmMain& frm);
// Empties every data cell and marks every used entry empty; no mark is left.
void BorrarDatosGrid(form::FrmMain& frm, FlashTable& table);
// The "Borrar Tabla" button: the same, without asking.
void CBorrarTabla_Click(form::FrmMain& frm, FlashTable& table);
// Shows the angles 0 to 359 of the table; every other entry as an empty cell.
// The table stays as it is, marks and all.
void RedibujaGrid(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts);
// Shows the row colours in the labels and the row header cells.
void RellenarColores(form::FrmMain& frm, const FlashTable& table, const texts::TextTable& texts);
// Marks, never refuses: a sector overlapping a sector of a row of another
// colour (the colour labels decide), a sector whose start lies after its end,
// an angle with an empty cell before it. Each marked cell gets a tint and a
// tooltip that says why; every other data cell loses its mark.
void markGrid(form::FrmMain& frm, const FlashTable& table, const texts::TextTable& texts);

// Digits append to the current cell, backspace removes the last character,
// tab moves one cell to the right (from column 32 to column 1 of the next
// row; on the last cell it only applies the cell-leave rule). Header cells
// take no digits and no backspace; tab on a row header enters column 1.
void MSFlexGridPautas_KeyPress(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts, int key);
// Accepts the current cell's angle (0 to 359, next to a filled cell) into the
// table. Anything else is refused: the cell and its entry are emptied (511)
// and the status line says why. A cell left empty makes its entry empty.
// Entries to the right stay as they are (marked as after a gap).
void MSFlexGridPautas_LeaveCell(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts);
// Lets the operator choose the colour of row `index` (1 to 8).
void LColor_Click(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts, platform::UserInterface& ui,
                  int index);

}  // namespace zrk::tables
