#include "tables/flash_table.h"

#include "app/frm_main.h"

namespace zrk::tables {

void FormatearGrid(app::FrmMain& frm) {
    auto& grid = frm.MSFlexGridPautas;
    grid.setColWidths(350);
    grid.setRowHeights(250);
    for (int row = 1; row <= 8; ++row) grid.setTextMatrix(row, 0, " " + std::to_string(row));
    for (int k = 1; k <= 16; ++k) {
        grid.setTextMatrix(0, 2 * k - 1, " " + std::to_string(k) + "I");
        grid.setTextMatrix(0, 2 * k, " " + std::to_string(k) + "F");
        for (int row = 1; row <= 8; ++row) grid.setCellBackColor(row, 2 * k, {app::GridColor::Kind::ThreeDLight, 0});
    }
    grid.setCurrent(8, 32);
}

void BorrarDatosGrid(app::FrmMain& frm, FlashTable& table) {
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) {
            frm.MSFlexGridPautas.setTextMatrix(row, col, "");
            table.TablaPautas[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = kEmptyAngle;
        }
}

}  // namespace zrk::tables
