#include "tables/wire_flash_table.h"

#include "app/program.h"
#include "tables/flash_table.h"
#include "tables/segment_transfer.h"

namespace zrk::tables {

void wireFlashTable(app::Program& program) {
    auto& frm = program.frm;
    frm.CBorrarTabla.Click = [&program] { CBorrarTabla_Click(program.frm, program.flash); };
    frm.CLeerColores.Click = [&program] { CLeerColores_Click(program); };
    frm.CEscribirColores.Click = [&program] { CEscribirColores_Click(program); };
    frm.MSFlexGridPautas.KeyPress = [&program](int key) { MSFlexGridPautas_KeyPress(program.frm, program.flash, key); };
    frm.MSFlexGridPautas.LeaveCell = [&program] { MSFlexGridPautas_LeaveCell(program.frm, program.flash); };
    for (int row : frm.LColor.indices())
        frm.LColor(row).Click = [&program, row] { LColor_Click(program.frm, program.flash, program.platform.ui, row); };
}

}  // namespace zrk::tables
