#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/device_guard.h"
#include "app/frm_dibujo.h"
#include "app/frm_main.h"
#include "app/operation_progress.h"
#include "app/frm_splash.h"
#include "app/settings_file.h"
#include "link/device_link.h"
#include "link/port_choice.h"
#include "link/speed_test.h"
#include "params/image_layout.h"
#include "params/lux_tables.h"
#include "platform/platform.h"
#include "tables/flash_table.h"
#include "texts/texts.h"

namespace zrk::app {

// The whole running tool: its settings, windows and program-wide state.
// main owns exactly one; every test builds a fresh one.
class Program {
public:
    explicit Program(platform::Platform& platform);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    platform::Platform& platform;
    // The set of texts follows the user's language setting, chosen once.
    texts::TextTable texts{texts::languageFromLocaleName(platform.userLanguage)};
    Settings settings;
    FrmSplash splash;
    FrmMain frm;
    FrmDibujo dibujo;  // the drawing window of Command2
    link::DeviceLink link;
    link::PortChoice portChoice{*this};
    tables::FlashTable flash;
    params::ParameterMap MapaParametros;  // filled by identification only
    // What each field was loaded with (a read or an opened file), and the
    // unit the form was read from; a failed identification or read unbinds it.
    params::LoadedFields loaded;
    std::optional<params::UnitBinding> boundUnit;
    // The copy of the unit's parameters the last write saved before it sent.
    std::optional<std::filesystem::path> lastCopyBeforeWrite;
    // zrkctl's --no-verify; otherwise the per-user store decides.
    std::optional<bool> verifyOverride;
    // Whether a write reads back what it sent (on unless switched off).
    bool verifyWrites() const;
    // The field codecs over this program's form, tables, regional settings
    // and loaded cells.
    params::CodecContext codecs();
    params::LuxTables lux;
    std::string helpFile;  // set by the start-up: folder and localised file name, UTF-8
    // The loop the speed test times; tests put in one that moves a virtual clock.
    std::function<void(std::int64_t)> emptyLoop = link::runEmptyLoop;

    // Progress and Cancel of the long operation that runs, if any.
    OperationProgress progress;
    // One device operation at a time (see DeviceGuard).
    DeviceGuard guard;
    // Runs a device operation under the guard. A port error (missing, busy,
    // lost) ends it with the port closed and a message box; it is kept in
    // lastPortError for callers without a window. False when another
    // operation was running and this one did not start.
    bool deviceOperation(const std::function<void()>& operation);
    std::optional<std::string> lastPortError;

    std::string CargarTexto(int id) const { return texts.CargarTexto(id); }
    // zrk.ini beside the program when it is there and that folder can be
    // written (a build or a portable copy); otherwise in the user's
    // configuration folder, made there from the installed default the
    // first time.
    std::filesystem::path settingsPath() const;
    bool factoryView() const { return settings.CodigoFabrica == 853; }

    // Start-up: splash, settings, main window. Returns the exit code to end
    // with right away (the settings could not be loaded), else 0. The start-up
    // processes events, so the operator may already have closed the window
    // when it returns: unloaded() then tells that there is nothing to wait for.
    int Main();
    void Form_Load();
    // The form as the start-up leaves it, for work without a window (zrkctl):
    // no settings rewrite, no port test, no speed test.
    void LoadWithoutWindow();
    void GuardarIni();
    void ComboIdioma_Click();
    void Form_Unload();
    void Csalir_Click();
    bool unloaded() const { return unloaded_; }

    // Windows other than the main one register here, so that closing the
    // main window closes them, most recent first.
    void windowOpened(FormControl& window);
    void windowClosed(FormControl& window);

private:
    void wireHandlers();
    void fillParameterLists();
    void setCaptions();
    std::vector<FormControl*> openWindows_;
    bool unloaded_ = false;
};

}  // namespace zrk::app
