// The main window after start-up, control by control, and the start-up's
// side effects on the settings file and the port.
#include <gtest/gtest.h>

#include "model_probe.h"
#include "started_program.h"

namespace zrk::test {
namespace {

struct Expected {
    const char* control;
    int index;
    const char* property;
    const char* value;
};

const std::string kSync = "Pulso sincronismo" + std::string(29, ' ') + "(0-255s.)";

// Normal view, English texts, version 1.4.3, stored port 1.
const Expected kStartupState[] = {
    {"frmMain", -1, "Visible", "1"},
    {"frmMain", -1, "Caption", "ZRK 1.4.3  "},
    {"TabStrip1", -1, "Tabs", "Flashes|Rotation|Remote control|Setup|Visualization"},
    {"TabStrip1", -1, "SelectedTab", "1"},
    {"FrameP", 1, "Visible", "1"},
    {"FrameP", 1, "Caption", "Flashes"},
    {"FrameP", 2, "Visible", "0"},
    {"FrameP", 2, "Caption", "Rotation"},
    {"FrameP", 3, "Visible", "0"},
    {"FrameP", 3, "Caption", "Flashes"},
    {"FrameP", 4, "Caption", "Communications"},
    {"FrameP", 5, "Caption", "Setup"},
    {"FrameP", 5, "Visible", "0"},
    {"FrameP", 6, "Caption", "Valores instantáneos "},
    {"FrameP", 6, "Visible", "0"},
    {"Frame1", 0, "Caption", "ZRK"},
    {"Frame1", 1, "Caption", "Day Night control"},
    {"Frame1", 2, "Caption", "Fallo Red"},
    {"Frame1", 3, "Caption", "Automatic Mode"},
    {"Frame1", 4, "Caption", "Lamp Change"},
    {"Frame1", 5, "Caption", "Cambio Motor"},
    // Page 1: every model-dependent field hidden until identification.
    {"Label", 18, "Caption", "Light level Beacon ON"},
    {"Label", 18, "Visible", "0"},
    {"TLuxON", -1, "Visible", "0"},
    {"TLuxON", -1, "Text", ""},
    {"LabelUnidades", 1, "Caption", "Lux"},
    {"TLuxONAD", -1, "Visible", "0"},
    {"TLuxOFFAD", -1, "Visible", "0"},
    {"TFotocelulaInterior", -1, "Text", "10"},
    {"LabelUnidades", 7, "Caption", "Seg."},
    {"TTiempoFalloRed", -1, "Text", "10"},
    {"TTiempoRetornoRed", -1, "Text", "10"},
    {"TTiempoLampara1", -1, "Text", "10"},
    {"TTiempoLampara2", -1, "Text", "10"},
    {"ComboSensorLuz", -1, "Items", "Fotodiodo|Daylight sensor|Astronomical clock"},
    {"ComboSensorLuz", -1, "ListIndex", "0"},
    {"ComboTipoCambiador", -1, "Items", "TKR41|TKR42|TKR43|LED|JXR|Only rotation|LED AC|Double LED"},
    {"ComboTipoCambiador", -1, "ListIndex", "0"},
    {"ComboTipoCambiador", -1, "Visible", "0"},
    {"ComboTipoLampara1", -1, "Items", "DC|AC"},
    {"ComboTipoLampara2", -1, "ListIndex", "0"},
    {"ComboLamparaPrincipal", -1, "Items", "0|1|2"},
    {"ComboFuncion2Puerto", -1, "Items", "Disable|RS485|MODBUS"},
    {"cmbModofuncionamiento", -1, "Items", "Night ON|24 hours ON"},
    {"cmbModofuncionamiento", -1, "ListIndex", "0"},
    {"txtAtenuacionNocturna", -1, "Enabled", "0"},
    {"cmbTipoSensorLampara", -1, "Items", "Photocell|Photodiode|Current measurement"},
    {"cmbTipoSensorLampara", -1, "ListIndex", "-1"},
    {"Label", 51, "Caption", "Type sensor lamp"},
    {"Label", 13, "Caption", "Lamp  2 type"},
    {"Label", 6, "Caption", "Max. Int. Led"},
    {"lblGrupoLeds", -1, "Caption", "LEDs levels"},
    {"lblDuracionpulsosincronismo", -1, "Caption", kSync.c_str()},
    {"CheckBalizaEmergencia", -1, "Caption", "Emergency lantern"},
    {"CheckBalizaEmergencia", -1, "Value", "0"},
    // Page 2.
    {"ComboTipoMotor", -1, "Items", "Stepper Motor|Dual Motor RVQ|Without motor|Flashing"},
    {"ComboTipoMotor", -1, "ListIndex", "0"},
    {"Label", 49, "Caption", "Rotation error OFF"},
    {"Label", 50, "Caption", "ORB 810"},
    {"TTiempoAceleracion", -1, "Text", "10"},
    {"TMargenErrorMotor2", -1, "Text", "10"},
    {"Label", 48, "Caption", "Min."},
    {"chkHibernacionMotor", -1, "Value", "0"},
    // Page 3: lamps of rows 1 to 3 stay, the others are hidden.
    {"label1", 0, "Caption", "ON"},
    {"label1", 0, "Visible", "1"},
    {"LedOn", -1, "Visible", "1"},
    {"LedOff", -1, "Visible", "1"},
    {"LedRojoAlarmaMotor", -1, "Visible", "1"},
    {"LedAzulLampara1", -1, "Visible", "0"},
    {"label1", 9, "Visible", "0"},
    // Each lamp's caption is hidden with it, and shown with it.
    {"label1", 8, "Visible", "1"},
    {"label1", 3, "Visible", "1"},
    {"LedazulLampara2", -1, "Visible", "0"},
    {"label1", 10, "Visible", "0"},
    {"LedPrealarmaLamparaApagado", -1, "Visible", "0"},
    {"label1", 1, "Visible", "0"},
    {"LedCambiadorApagado", -1, "Visible", "0"},
    {"label1", 2, "Visible", "0"},
    {"LedRojoFalloRed", -1, "Visible", "0"},
    {"label1", 4, "Visible", "0"},
    {"LedLampara1OnApagado", -1, "Visible", "0"},
    {"label1", 5, "Visible", "0"},
    {"LedAlarmaLamparaVerde", -1, "Visible", "0"},
    {"label1", 6, "Visible", "0"},
    {"label1", 7, "Visible", "0"},
    {"LedRojoFalloFoco", -1, "Visible", "0"},
    {"LedFalloFocoVerde", -1, "Visible", "0"},
    {"LedOnDesconocido", -1, "Visible", "0"},  // the grey "not read" look
    {"LedRojoFalloFocoDesconocido", -1, "Visible", "0"},
    {"label1", 7, "Caption", "Total Lamp Alarm"},
    {"CCambioLamparaOn", -1, "Caption", "ON"},
    {"CCambioLamparaOff", -1, "Caption", "OFF"},
    {"CDia", -1, "Caption", "Day"},
    {"CFalloRedOn", -1, "Caption", "On"},
    {"TTiempoModoVerboso", -1, "Text", "3"},
    {"LabelUnidades", 12, "Caption", "s."},
    {"CModoVerboso", -1, "Caption", "On"},
    {"Command1", -1, "Caption", "Off"},
    {"btnTelamandoMotor2", -1, "Caption", "Motor 2"},
    {"chkEstado", -1, "Caption", "Ver estado"},
    {"label1", 34, "Caption", "Identifier"},
    {"Label", 7, "Caption", "LED instant current "},
    {"lblCorrienteLeds", -1, "Caption", "Corriente leds"},
    {"LabelUnidades", 21, "Visible", "0"},  // also the row of address 53
    {"CInterrogar", -1, "Caption", "Refresh"},
    {"TimerEstado", -1, "Interval", "500"},
    {"TimerEstado", -1, "Enabled", "0"},
    // Page 4.
    {"ComboIdioma", -1, "Items", "English|Español"},
    {"ComboIdioma", -1, "ListIndex", "0"},
    {"ComboIdioma", -1, "Visible", "0"},
    {"Label", 24, "Visible", "0"},
    {"ComboCom", -1, "Items", "Com1:|Com2:|Com3:|Com4:|Com5:|Com6:|Com7:|Com8:|Com9:"},
    {"ComboCom", -1, "ListIndex", "0"},
    {"Label", 17, "Caption", "Com:"},
    {"TDebug", -1, "Text", ""},
    // Page 5.
    {"LColor", 1, "Caption", "1"},
    {"LColor", 8, "Caption", "8"},
    {"Label", 9, "Caption", "Dientes disco"},
    {"LabelUnidades", 19, "Caption", "%"},
    {"CBorrarTabla", -1, "Caption", "Borrar Tabla"},
    {"Command2", -1, "Caption", "Dibuja"},
    {"CheckColores", -1, "Caption", "Colores"},
    // Page 6.
    {"lblExternalbl", 1, "Caption", "Entrada externa 1 :"},
    {"lblExterna", 8, "Caption", "--"},
    {"lblSalidalbl", 0, "Caption", "Salida 1 :"},
    {"lblSalidalbl", 10, "Caption", "Salida 11 :"},
    {"lblSalida", 11, "Caption", "--"},
    {"btnSpoolValorInstantaneo", -1, "Caption", "Activar auto"},
    {"tmrSpoolValoresInstantaneos", -1, "Interval", "1000"},
    {"tmrSpoolValoresInstantaneos", -1, "Enabled", "0"},
    // Identification group.
    {"Label", 38, "Caption", "Model"},
    {"TModeloR", -1, "Visible", "0"},
    {"TNumeroID", -1, "Text", "0"},
    {"TNumeroID", -1, "Visible", "0"},
    {"Label", 10, "Caption", "Manufacturer number"},
    {"TNumeroFabricacion", -1, "Visible", "0"},
    // Bottom row and status line (the speed test writes last).
    {"CAbrir", -1, "Caption", "Open"},
    {"CGuardar", -1, "Caption", "Save"},
    {"CLeer", -1, "Caption", "Read ZRK"},
    {"CEscribir", -1, "Caption", "Write ZRK"},
    {"CDeshacer", -1, "Caption", "Undo last write"},
    {"Csalir", -1, "Caption", "Exit"},
    {"CAyuda", -1, "Caption", "Help"},
    {"CLeer", -1, "Enabled", "1"},
    {"sbStatusBar", -1, "Panel1", "Index =  200000"},
};

TEST(StartupState, EveryControlAsTheWindowStarts) {
    StartedProgram started;
    ASSERT_EQ(started.exitCode, 0);
    for (const auto& e : kStartupState) {
        const auto& control = started.frm().controls().at(e.control, e.index);
        EXPECT_EQ(probe(control, e.property), e.value) << control.key() << "." << e.property;
    }
}

TEST(StartupState, GridAndTablesStartEmpty) {
    StartedProgram started;
    const auto& grid = started.frm().MSFlexGridPautas;
    EXPECT_EQ(grid.TextMatrix(0, 1), " 1I");
    EXPECT_EQ(grid.TextMatrix(0, 32), " 16F");
    EXPECT_EQ(grid.TextMatrix(8, 0), " 8");
    EXPECT_EQ(grid.ColWidth(), 350);
    EXPECT_EQ(grid.RowHeight(), 250);
    EXPECT_EQ(grid.CellBackColor(1, 2).kind, form::GridColor::Kind::ThreeDLight);
    EXPECT_EQ(grid.CellBackColor(1, 1).kind, form::GridColor::Kind::Default);
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 32; ++c) {
            EXPECT_EQ(grid.TextMatrix(r, c), "");
            EXPECT_EQ(started.program->state.flash.TablaPautas[r][c], 511);
        }
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(started.program->state.flash.TablaColores[r], 0);
}

TEST(StartupState, FactoryViewKeepsSixTabsAndHidesFieldsUntilIdentification) {
    StartedProgram started("1\r\n0\r\n0\r\n\"1\"\r\n853\r\n");
    EXPECT_EQ(probe(started.frm().TabStrip1, "Tabs"),
              "Flashes|Rotation|Remote control|Setup|Visualization|V. Instantáneos");
    EXPECT_FALSE(started.frm().TNumeroFabricacion.Visible());
    EXPECT_FALSE(started.frm().TLuxONAD.Visible());
}

TEST(StartupState, WindowIsCentredFiftyTwipsLeftAndHelpFileNamed) {
    StartedProgram started;
    const auto& window = started.frm().frmMain;
    EXPECT_EQ(window.Width(), 10200);
    EXPECT_EQ(window.Height(), 7575);
    EXPECT_EQ(window.Left(), 4450);
    EXPECT_EQ(window.Top(), 3892);  // 3892.5 rounds to the even neighbour
    EXPECT_EQ(started.program->state.helpFile, (started.machine.folder.path() / "helpZRK.chm").string());
}

TEST(StartupState, PortIsTriedOnceAndSettingsRewrittenBeforeTheWindowShows) {
    StartedProgram started("3\r\n-7\r\n123456\r\n\"34\"\r\n853\r\n");
    const auto& log = started.machine.fakePort.log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "open 3"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "close 3"), 1);
    EXPECT_FALSE(started.machine.fakePort.isOpen());
    EXPECT_EQ(started.frm().ComboCom.ListIndex(), 2);
    EXPECT_EQ(started.frm().ComboIdioma.ListIndex(), 1);
    EXPECT_EQ(started.machine.ini(), "3\r\n-7\r\n123456\r\n\"34\"\r\n853\r\n");
}

TEST(StartupState, SpeedTestCalibratesThePause) {
    StartedProgram started;
    EXPECT_EQ(started.program->state.link.ContadorPausa, 200000);
    const double before = started.machine.clock.now();
    started.program->state.link.Pausa(2000);
    EXPECT_DOUBLE_EQ(started.machine.clock.now() - before, 2.0);
}

}  // namespace
}  // namespace zrk::test
