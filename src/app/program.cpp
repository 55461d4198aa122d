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

Program::Program(platform::Platform& p) : State(p) {
    wireHandlers();
    ops::keepTable(*this);
}

int Program::Main() {
    const auto& info = platform.info;
    splash.lblProductName.setCaption(info.title);
    splash.lblVersion.setCaption("Version " + info.version());
    splash.frmSplash.setCaption(info.title);
    splash.frmSplash.setVisible(true);
    platform.events.processEvents();

    int exitCode = 0;
    try {
        settings = files::readSettingsFile(settingsPath());
        Form_Load();
    } catch (const files::SettingsError& e) {
        platform.ui.messageBox(e.what(), info.title, platform::UserInterface::Icon::Error);
        exitCode = 2;
    } catch (const files::FileError& e) {
        platform.ui.messageBox(std::string(e.what()) + "\nThe tool cannot run without its settings file.", info.title,
                               platform::UserInterface::Icon::Error);
        exitCode = 2;
    }
    splash.frmSplash.setVisible(false);
    return exitCode;
}

void Program::Form_Load() {
    const auto id = [this](int n) { return CargarTexto(n); };

    frm.TimerEstado.setEnabled(false);
    frm.frmMain.setVisible(false);

    tables::FormatearGrid(frm);
    tables::BorrarDatosGrid(frm, flash);
    params::OcultarControles(frm, factoryView());
    frm.PictureInicio.setVisible(false);

    frm.ComboIdioma.AddItem("English");
    frm.ComboIdioma.AddItem("Español");
    frm.ComboIdioma.setListIndex(settings.Idioma == "34" ? 1 : 0);

    for (int n = 1; n <= 9; ++n) frm.ComboCom.AddItem("Com" + std::to_string(n) + ":");
    try {
        platform.port.setPortNumber(settings.PuertoSerie);
    } catch (const platform::PortError&) {
        // The port test of the selection below reports it.
    }
    frm.ComboCom.setListIndex(settings.PuertoSerie - 1);

    fillParameterLists();
    lux.InicializarTablasLux();

    // Centred as if 100 twips wider, so the window sits 50 twips left of centre.
    const int top = static_cast<int>(std::nearbyint((platform.ui.screenHeightTwips() - 7575) / 2.0));
    const int left = static_cast<int>(std::nearbyint((platform.ui.screenWidthTwips() - 10300) / 2.0));
    frm.frmMain.setCaption("ZRK " + platform.info.version() + "  ");
    frm.frmMain.Move(left, top, 10200, 7575);

    for (int i : frm.FrameP.indices()) frm.FrameP(i).setVisible(false);
    frm.PestanaActual = 1;
    if (frm.FrameP.has(frm.TabStrip1.selected())) frm.FrameP(frm.TabStrip1.selected()).setVisible(true);

    helpFile = platform::utf8(platform.info.resources() / platform::pathFromUtf8(id(texts::id::kHelpFile)));

    setCaptions();
    // The empty table of the start is nothing to lose on exit.
    ops::keepTable(*this);

    frm.setStatus("Start reading the device");
    frm.frmMain.setVisible(true);

    link::MedirVelocidad({link, platform.events, platform.clock,
                          [this](const std::string& text) { frm.setStatus(text); }, platform.numbers.decimal,
                          emptyLoop});
}

void Program::fillParameterLists() {
    const auto id = [this](int n) { return CargarTexto(n); };
    const std::pair<form::ComboBox*, std::vector<std::string>> lists[] = {
        {&frm.ComboTipoLampara1, {"DC", "AC"}},
        {&frm.ComboTipoLampara2, {"DC", "AC"}},
        {&frm.ComboLamparaPrincipal, {"0", "1", "2"}},
        {&frm.ComboTipoCambiador,
         {"TKR41", "TKR42", "TKR43", "LED", "JXR", id(texts::id::kOnlyRotation), "LED AC", id(texts::id::kDoubleLed)}},
        {&frm.ComboSensorLuz, {"Fotodiodo", id(texts::id::kDaylightSensor), id(texts::id::kAstronomicalClock)}},
        {&frm.ComboFuncion2Puerto, {id(texts::id::kDisable), id(texts::id::kRs485), id(texts::id::kModbus)}},
        {&frm.ComboTipoMotor,
         {id(texts::id::kStepperMotor), id(texts::id::kDualMotorRvq), id(texts::id::kWithoutMotor),
          id(texts::id::kFlashing)}},
        {&frm.cmbTipoSensorLampara,
         {id(texts::id::kPhotocell), id(texts::id::kPhotodiode), id(texts::id::kCurrentMeasurement)}},
    };
    for (const auto& [list, items] : lists) {
        for (const auto& item : items) list->AddItem(item);
        if (list != &frm.cmbTipoSensorLampara) list->setListIndex(0);
    }
}

// Tab captions by position, then every localised caption in window order.
void Program::setCaptions() {
    const auto id = [this](int n) { return CargarTexto(n); };
    const int tabTexts[] = {texts::id::kFlashes, texts::id::kRotation, texts::id::kRemoteControl, texts::id::kSetup,
                            texts::id::kVisualization};
    const int pageTexts[] = {texts::id::kFlashes, texts::id::kRotation, texts::id::kFlashes, texts::id::kCommunications,
                             texts::id::kSetup};
    for (int position = 1; position <= 5; ++position) {
        if (position <= frm.TabStrip1.count()) frm.TabStrip1.setCaption(position, id(tabTexts[position - 1]));
        frm.FrameP(position).setCaption(id(pageTexts[position - 1]));
    }
    for (const auto& [control, textId] : frm.localisedCaptions())
        if (auto* captioned = dynamic_cast<form::CaptionedControl*>(control)) captioned->setCaption(id(textId));
    frm.cmbModofuncionamiento.AddItem(id(texts::id::kNightOn));
    frm.cmbModofuncionamiento.AddItem(id(texts::id::kTwentyFourHoursOn));
    frm.cmbModofuncionamiento.setListIndex(0);
}

void Program::LoadWithoutWindow() {
    withoutWindow = true;
    frm.TimerEstado.setEnabled(false);
    tables::FormatearGrid(frm);
    tables::BorrarDatosGrid(frm, flash);
    params::OcultarControles(frm, factoryView());
    fillParameterLists();
    lux.InicializarTablasLux();
    setCaptions();
    ops::keepTable(*this);
    // The pause is in force from the first frame; it runs on the steady
    // clock, so the speed test's count only has to be non-zero.
    link.ContadorPausa = 1;
}

void Program::showSimulatedUnit() {
    frm.frmMain.setCaption(frm.frmMain.Caption() + CargarTexto(texts::id::kSimulatedUnitCaption));
}

void Program::ComboIdioma_Click() {
    settings.Idioma = frm.ComboIdioma.ListIndex() == 1 ? "34" : "1";
    GuardarIni();
    platform.events.processEvents();
}

void Program::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    while (form::FormControl* window = takeLastWindow()) window->setVisible(false);
    const auto& main = frm.frmMain;
    if (!main.minimised()) {
        const std::string& app = platform.info.title;
        platform.store.setValue(app, "Settings", "MainLeft", std::to_string(main.Left()));
        platform.store.setValue(app, "Settings", "MainTop", std::to_string(main.Top()));
        platform.store.setValue(app, "Settings", "MainWidth", std::to_string(main.Width()));
        platform.store.setValue(app, "Settings", "MainHeight", std::to_string(main.Height()));
    }
    link.CerrarCom();
}

bool Program::mayExit() {
    const int fields = ops::markedFieldCount(*this);
    const int rows = ops::unwrittenRows(*this);
    const int changes = fields + rows;
    if (changes == 0) return true;
    const std::string question = changes == 1
                                     ? CargarTexto(texts::id::kExitLoseOneChange)
                                     : texts::fill(CargarTexto(texts::id::kExitLoseChanges), {std::to_string(changes)});
    const std::string details =
        texts::fill(CargarTexto(texts::id::kFieldsAndRowsNotWritten), {std::to_string(fields), std::to_string(rows)});
    return platform.ui.askDefaultNo(question, details, platform.info.title);
}

void Program::Csalir_Click() {
    if (!mayExit()) return;
    Form_Unload();
    frm.frmMain.setVisible(false);
}

}  // namespace zrk::app
