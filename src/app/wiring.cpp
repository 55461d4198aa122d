// The forms' event list: which procedure each button, list, grid and timer
// runs. Everything the operator can set off is hooked up here and nowhere
// else.
#include "app/program.h"
#include "ops/change_plan.h"
#include "ops/device_operation.h"
#include "ops/instant_values.h"
#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "ops/remote_commands.h"
#include "ops/segment_transfer.h"
#include "ops/shell.h"
#include "ops/status_interrogation.h"
#include "ops/table_write.h"
#include "ops/undo_write.h"
#include "tables/flash_table.h"
#include "texts/text_ids.h"

namespace zrk::app {

namespace {

// Settings page: the changer type asks for a write; the operating mode
// decides whether the night dimming can be set.
void wireConfigurationRules(state::State& s) {
    form::FrmMain& frm = s.frm;
    auto changerChanged = [&s] { s.frm.setStatus(s.CargarTexto(texts::id::kChangesPendingRecord)); };
    frm.ComboTipoCambiador.Click = changerChanged;
    frm.ComboTipoCambiador.Change = changerChanged;

    // A file shown without a unit keeps every field read-only.
    auto modeChanged = [&s] {
        s.frm.txtAtenuacionNocturna.setEnabled(!s.fieldsReadOnly() && s.frm.cmbModofuncionamiento.ListIndex() == 1);
    };
    auto& mode = frm.cmbModofuncionamiento;
    mode.Click = modeChanged;
    mode.Change = modeChanged;
    mode.LostFocus = modeChanged;
    mode.Scroll = modeChanged;
    mode.Validate = modeChanged;
}

// Any edit of a field re-counts the fields that differ from the unit.
void watchForChanges(state::State& s) {
    s.frm.controls().hub().subscribe([&s](form::Control& control, form::Prop prop) {
        const bool edit = prop == form::Prop::Text || prop == form::Prop::ListIndex || prop == form::Prop::Value ||
                          prop == form::Prop::Visible;
        const bool field = control.kind() == form::Kind::TextBox || control.kind() == form::Kind::ComboBox ||
                           control.kind() == form::Kind::CheckBox;
        if (edit && field && s.marksHeld == 0) ops::refreshMarks(s);
    });
}

}  // namespace

void Program::wireHandlers() {
    state::State& s = state;
    form::FrmMain& f = state.frm;

    // Setup page and closing.
    f.ComboIdioma.Click = [this] { ComboIdioma_Click(); };
    f.ComboCom.Click = [this] { portChoice.ComboCom_Click(); };
    f.ComboCom.Change = [this] { portChoice.ComboCom_Change(); };
    f.ComboCom.KeyPress = [this](int key) { portChoice.ComboCom_KeyPress(key); };
    f.ComboCom.LostFocus = [this] { portChoice.ComboCom_LostFocus(); };
    f.Csalir.Click = [this] { Csalir_Click(); };
    wireConfigurationRules(s);

    // Remote commands: one button each.
    for (const ops::RemoteCommand& command : ops::remoteCommands()) {
        auto& button = dynamic_cast<form::CommandButton&>(f.controls().at(command.button));
        button.Click = [&s, &command] { ops::deviceOperation(s, [&] { ops::sendRemoteCommand(s, command); }); };
    }

    // Parameter memory and parameter files.
    f.CLeer.Click = [&s] { ops::deviceOperation(s, [&s] { ops::readUnit(s); }); };
    f.CEscribir.Click = [&s] { ops::deviceOperation(s, [&s] { ops::confirmedWrite(s); }); };
    f.CDeshacer.Click = [&s] { ops::deviceOperation(s, [&s] { ops::confirmedUndo(s); }); };
    f.CGuardar.Click = [&s] { ops::CGuardar_Click(s); };
    f.CAbrir.Click = [&s] { ops::CAbrir_Click(s); };

    // Status lamps and live values.
    f.CInterrogar.Click = [&s] { ops::CInterrogar_Click(s); };
    f.CModoVerboso.Click = [&s] { ops::CModoVerboso_Click(s); };
    f.Command1.Click = [&s] { ops::Command1_Click(s); };
    f.TimerEstado.Timer = [&s] { ops::TimerEstado_Timer(s); };
    f.btnVerValoresInstantaneos.Click = [&s] { ops::btnVerValoresInstantaneos_Click(s); };
    f.btnSpoolValorInstantaneo.Click = [&s] { ops::btnSpoolValorInstantaneo_Click(s); };
    f.tmrSpoolValoresInstantaneos.Timer = [&s] { ops::tmrSpoolValoresInstantaneos_Timer(s); };

    // Flash-pattern table.
    f.CBorrarTabla.Click = [&s] { tables::CBorrarTabla_Click(s.frm, s.flash); };
    f.CLeerColores.Click = [&s] { ops::CLeerColores_Click(s); };
    f.CEscribirColores.Click = [&s] { ops::CEscribirColores_Click(s); };
    f.MSFlexGridPautas.KeyPress = [&s](int key) { tables::MSFlexGridPautas_KeyPress(s.frm, s.flash, s.texts, key); };
    f.MSFlexGridPautas.LeaveCell = [&s] { tables::MSFlexGridPautas_LeaveCell(s.frm, s.flash, s.texts); };
    for (int row : f.LColor.indices())
        f.LColor(row).Click = [&s, row] { tables::LColor_Click(s.frm, s.flash, s.texts, s.platform.ui, row); };

    // Help and the drawing window.
    f.CAyuda.Click = [&s] { ops::CAyuda_Click(s); };
    f.Command2.Click = [&s] { ops::Command2_Click(s); };
    state.dibujo.Unloaded = [&s] { s.windowClosed(s.dibujo.FormDibujo); };

    watchForChanges(s);
}

}  // namespace zrk::app
