#include "tables/flash_table.h"

#include <cstdio>
#include <limits>

#include "form/frm_main.h"
#include "platform/user_interface.h"

namespace zrk::tables {

std::string formatAngle(std::int32_t angle) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(angle));
    return text;
}

std::optional<std::int32_t> cellNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + (ch - '0');
        // Typing has no length limit; such a text is simply no angle.
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

void FormatearGrid(app::FrmMain& frm) {
    auto& grid = frm.MSFlexGridPautas;
    grid.setColWidths(350);
    grid.setRowHeights(250);
    for (int row = 1; row <= kPatternRows; ++row) grid.setTextMatrix(row, 0, " " + std::to_string(row));
    for (int k = 1; k <= kPatternColumns / 2; ++k) {
        grid.setTextMatrix(0, 2 * k - 1, " " + std::to_string(k) + "I");
        grid.setTextMatrix(0, 2 * k, " " + std::to_string(k) + "F");
        for (int row = 1; row <= kPatternRows; ++row)
            grid.setCellBackColor(row, 2 * k, {app::GridColor::Kind::ThreeDLight, 0});
    }
    grid.setCurrent(kPatternRows, kPatternColumns);
}

void BorrarDatosGrid(app::FrmMain& frm, FlashTable& table) {
    for (int row = 1; row <= kPatternRows; ++row)
        for (int col = 1; col <= kPatternColumns; ++col) {
            frm.MSFlexGridPautas.setTextMatrix(row, col, "");
            table.pauta(row, col) = kEmptyAngle;
        }
}

void CBorrarTabla_Click(app::FrmMain& frm, FlashTable& table) { BorrarDatosGrid(frm, table); }

void RedibujaGrid(app::FrmMain& frm, FlashTable& table) {
    auto& grid = frm.MSFlexGridPautas;
    for (int row = 1; row <= kPatternRows; ++row)
        for (int col = 1; col <= kPatternColumns; ++col) {
            const std::int32_t entry = table.pauta(row, col);
            grid.setTextMatrix(row, col, entry >= 0 && entry <= kLastAngle ? formatAngle(entry) : "");
        }
    MSFlexGridPautas_LeaveCell(frm, table);
}

void RellenarColores(app::FrmMain& frm, const FlashTable& table) {
    auto& grid = frm.MSFlexGridPautas;
    for (int row = 1; row <= kPatternRows; ++row) {
        frm.LColor(row).setCaption(std::to_string(table.color(row)));
        grid.setCurrent(row, 0);
        grid.setCellBackColor({app::GridColor::Kind::Rgb, table.color(row)});
    }
}

void MSFlexGridPautas_KeyPress(app::FrmMain& frm, FlashTable& table, int key) {
    auto& grid = frm.MSFlexGridPautas;
    const int row = grid.Row();
    const int col = grid.Col();
    if (key == kKeyTab) {
        if (row == 0) return;
        MSFlexGridPautas_LeaveCell(frm, table);
        if (col < kPatternColumns)
            grid.setCurrent(row, col + 1);
        else if (row < kPatternRows)
            grid.setCurrent(row + 1, 1);
        return;
    }
    // The row headers carry the row numbers; after a colour choice the
    // current cell sits on one, and typing must not rewrite it.
    if (row == 0 || col == 0) return;
    std::string text = grid.Text();
    if (key >= '0' && key <= '9') {
        grid.setText(text + static_cast<char>(key));
    } else if (key == kKeyBackspace && !text.empty()) {
        text.pop_back();
        grid.setText(text);
    }
}

void MSFlexGridPautas_LeaveCell(app::FrmMain& frm, FlashTable& table) {
    auto& grid = frm.MSFlexGridPautas;
    const int row = grid.Row();
    const int col = grid.Col();
    if (row == 0 || col == 0) return;
    const std::string& text = grid.TextMatrix(row, col);
    // A cell whose digits were all deleted is an empty entry: the angle it
    // held must not be sent or saved from behind an empty cell.
    if (text.empty()) {
        table.pauta(row, col) = kEmptyAngle;
        return;
    }
    const auto value = cellNumber(text);
    // A row fills from the left: an angle counts only beside a filled cell
    // (column 1 stands beside the row header, which is never empty).
    if (value && *value <= kLastAngle && !grid.TextMatrix(row, col - 1).empty()) {
        table.pauta(row, col) = *value;
        grid.setTextMatrix(row, col, formatAngle(*value));
    } else {
        grid.setTextMatrix(row, col, "");
    }
}

void LColor_Click(app::FrmMain& frm, FlashTable& table, platform::UserInterface& ui, int index) {
    const std::int32_t chosen = ui.chooseColor(table.color(index));
    auto& grid = frm.MSFlexGridPautas;
    grid.setCurrent(index, 0);
    grid.setCellBackColor({app::GridColor::Kind::Rgb, chosen});
    frm.LColor(index).setCaption(std::to_string(chosen));
    table.color(index) = chosen;
}

}  // namespace zrk::tables
