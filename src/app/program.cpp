#include "app/program.h"

#include <cmath>

#include "files/atomic_write.h"
#include "link/speed_test.h"
#include "ops/change_plan.h"
#include "ops/segment_transfer.h"
#include "params/visibility.h"
#include "platform/path_text.h"
#include "texts/text_ids.h"

namespace zrk::app {

Program::Program(platform::Platform& p) : state(p) {
    wireHandlers();
    ops::keepTable(state);
}

int Program::Main() {
    const auto& info = state.platform.info;
    state.splash.lblProductName.setCaption(info.title);
    state.splash.lblVersion.setCaption("Version " + info.version());
    state.splash.frmSplash.setCaption(info.title);
    state.splash.frmSplash.setVisible(true);
    state.platform.events.processEvents();

    int exitCode = 0;
    try {
        state.settings = files::readSettingsFile(state.settingsPath());
        Form_Load();
    } catch (const files::SettingsError& e) {
        state.platform.ui.messageBox(e.what(), info.title, platform::UserInterface::Icon::Error);
        exitCode = 2;
    } catch (const files::FileError& e) {
        state.platform.ui.messageBox(std::string(e.what()) + "\nThe tool cannot run without its settings file.",
                                     info.title, platform::UserInterface::Icon::Error);
        exitCode = 2;
    }
    state.splash.frmSplash.setVisible(false);
    return exitCode;
}

void Program::Form_Load() {
    const auto id = [this](int n) { return state.CargarTexto(n); };

    state.frm.TimerEstado.setEnabled(false);
    state.frm.frmMain.setVisible(false);

    tables::FormatearGrid(state.frm);
    tables::BorrarDatosGrid(state.frm, state.flash);
    params::OcultarControles(state.frm, state.factoryView());
    state.frm.PictureInicio.setVisible(false);

    state.frm.ComboIdioma.AddItem("English");
    state.frm.ComboIdioma.AddItem("Español");
    state.frm.ComboIdioma.setListIndex(state.settings.Idioma == "34" ? 1 : 0);

    for (int n = 1; n <= 9; ++n) state.frm.ComboCom.AddItem("Com" + std::to_string(n) + ":");
    try {
        state.platform.port.setPortNumber(state.settings.PuertoSerie);
    } catch (const platform::PortError&) {
        // The port test of the selection below reports it.
    }
    state.frm.ComboCom.setListIndex(state.settings.PuertoSerie - 1);

    fillParameterLists();
    state.lux.InicializarTablasLux();

    // Centred as if 100 twips wider, so the window sits 50 twips left of centre.
    const int top = static_cast<int>(std::nearbyint((state.platform.ui.screenHeightTwips() - 7575) / 2.0));
    const int left = static_cast<int>(std::nearbyint((state.platform.ui.screenWidthTwips() - 10300) / 2.0));
    state.frm.frmMain.setCaption("ZRK " + state.platform.info.version() + "  ");
    state.frm.frmMain.Move(left, top, 10200, 7575);

    for (int i : state.frm.FrameP.indices()) state.frm.FrameP(i).setVisible(false);
    state.frm.PestanaActual = 1;
    if (state.frm.FrameP.has(state.frm.TabStrip1.selected()))
        state.frm.FrameP(state.frm.TabStrip1.selected()).setVisible(true);

    state.helpFile = platform::utf8(state.platform.info.resources() / platform::pathFromUtf8(id(texts::id::kHelpFile)));

    setCaptions();
    // The empty table of the start is nothing to lose on exit.
    ops::keepTable(state);

    state.frm.setStatus("Start reading the device");
    state.frm.frmMain.setVisible(true);

    link::MedirVelocidad({state.link, state.platform.events, state.platform.clock,
                          [this](const std::string& text) { state.frm.setStatus(text); },
                          state.platform.numbers.decimal, state.emptyLoop});
}

void Program::fillParameterLists() {
    const auto id = [this](int n) { return state.CargarTexto(n); };
    const std::pair<form::ComboBox*, std::vector<std::string>> lists[] = {
        {&state.frm.ComboTipoLampara1, {"DC", "AC"}},
        {&state.frm.ComboTipoLampara2, {"DC", "AC"}},
        {&state.frm.ComboLamparaPrincipal, {"0", "1", "2"}},
        {&state.frm.ComboTipoCambiador,
         {"TKR41", "TKR42", "TKR43", "LED", "JXR", id(texts::id::kOnlyRotation), "LED AC", id(texts::id::kDoubleLed)}},
        {&state.frm.ComboSensorLuz, {"Fotodiodo", id(texts::id::kDaylightSensor), id(texts::id::kAstronomicalClock)}},
        {&state.frm.ComboFuncion2Puerto, {id(texts::id::kDisable), id(texts::id::kRs485), id(texts::id::kModbus)}},
        {&state.frm.ComboTipoMotor,
         {id(texts::id::kStepperMotor), id(texts::id::kDualMotorRvq), id(texts::id::kWithoutMotor),
          id(texts::id::kFlashing)}},
        {&state.frm.cmbTipoSensorLampara,
         {id(texts::id::kPhotocell), id(texts::id::kPhotodiode), id(texts::id::kCurrentMeasurement)}},
    };
    for (const auto& [list, items] : lists) {
        for (const auto& item : items) list->AddItem(item);
        if (list != &state.frm.cmbTipoSensorLampara) list->setListIndex(0);
    }
}

// Tab captions by position, then every localised caption in window order.
void Program::setCaptions() {
    const auto id = [this](int n) { return state.CargarTexto(n); };
    const int tabTexts[] = {texts::id::kFlashes, texts::id::kRotation, texts::id::kRemoteControl, texts::id::kSetup,
                            texts::id::kVisualization};
    const int pageTexts[] = {texts::id::kFlashes, texts::id::kRotation, texts::id::kFlashes, texts::id::kCommunications,
                             texts::id::kSetup};
    for (int position = 1; position <= 5; ++position) {
        if (position <= state.frm.TabStrip1.count())
            state.frm.TabStrip1.setCaption(position, id(tabTexts[position - 1]));
        state.frm.FrameP(position).setCaption(id(pageTexts[position - 1]));
    }
    for (const auto& [control, textId] : state.frm.localisedCaptions())
        if (auto* captioned = dynamic_cast<form::CaptionedControl*>(control)) captioned->setCaption(id(textId));
    state.frm.cmbModofuncionamiento.AddItem(id(texts::id::kNightOn));
    state.frm.cmbModofuncionamiento.AddItem(id(texts::id::kTwentyFourHoursOn));
    state.frm.cmbModofuncionamiento.setListIndex(0);
}

void Program::LoadWithoutWindow() {
    state.withoutWindow = true;
    state.frm.TimerEstado.setEnabled(false);
    tables::FormatearGrid(state.frm);
    tables::BorrarDatosGrid(state.frm, state.flash);
    params::OcultarControles(state.frm, state.factoryView());
    fillParameterLists();
    state.lux.InicializarTablasLux();
    setCaptions();
    ops::keepTable(state);
    // The pause is in force from the first frame; it runs on the steady
    // clock, so the speed test's count only has to be non-zero.
    state.link.ContadorPausa = 1;
}

void Program::showSimulatedUnit() {
    state.frm.frmMain.setCaption(state.frm.frmMain.Caption() + state.CargarTexto(texts::id::kSimulatedUnitCaption));
}

void Program::ComboIdioma_Click() {
    state.settings.Idioma = state.frm.ComboIdioma.ListIndex() == 1 ? "34" : "1";
    state.GuardarIni();
    state.platform.events.processEvents();
}

void Program::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    while (form::FormControl* window = state.takeLastWindow()) window->setVisible(false);
    const auto& main = state.frm.frmMain;
    if (!main.minimised()) {
        const std::string& app = state.platform.info.title;
        state.platform.store.setValue(app, "Settings", "MainLeft", std::to_string(main.Left()));
        state.platform.store.setValue(app, "Settings", "MainTop", std::to_string(main.Top()));
        state.platform.store.setValue(app, "Settings", "MainWidth", std::to_string(main.Width()));
        state.platform.store.setValue(app, "Settings", "MainHeight", std::to_string(main.Height()));
    }
    state.link.CerrarCom();
}

bool Program::mayExit() {
    const int fields = ops::markedFieldCount(state);
    const int rows = ops::unwrittenRows(state);
    const int changes = fields + rows;
    if (changes == 0) return true;
    const std::string question =
        changes == 1 ? state.CargarTexto(texts::id::kExitLoseOneChange)
                     : texts::fill(state.CargarTexto(texts::id::kExitLoseChanges), {std::to_string(changes)});
    const std::string details = texts::fill(state.CargarTexto(texts::id::kFieldsAndRowsNotWritten),
                                            {std::to_string(fields), std::to_string(rows)});
    return state.platform.ui.askDefaultNo(question, details, state.platform.info.title);
}

void Program::Csalir_Click() {
    if (!mayExit()) return;
    Form_Unload();
    state.frm.frmMain.setVisible(false);
}

}  // namespace zrk::app
