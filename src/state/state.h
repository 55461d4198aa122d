#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/settings_file.h"
#include "form/device_guard.h"
#include "form/frm_dibujo.h"
#include "form/frm_main.h"
#include "form/frm_splash.h"
#include "form/operation_progress.h"
#include "link/device_link.h"
#include "link/speed_test.h"
#include "params/image_layout.h"
#include "params/loaded_fields.h"
#include "params/lux_tables.h"
#include "platform/platform.h"
#include "tables/flash_table.h"
#include "texts/texts.h"

namespace zrk::state {

// Everything the procedures share while the tool runs: settings, windows,
// the link, the flash table, the unit's in-use map and lux tables, the
// progress of the running operation and the one-at-a-time guard. Plain data
// with a few accessors; it runs nothing. main owns one (inside the Program
// that starts it up); a test builds a fresh one.
class State {
public:
    explicit State(platform::Platform& platform);
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    platform::Platform& platform;
    // The set of texts follows the user's language setting, chosen once.
    texts::TextTable texts{texts::languageFromLocaleName(platform.userLanguage)};
    files::Settings settings;
    form::FrmSplash splash;
    form::FrmMain frm;
    form::FrmDibujo dibujo;  // the drawing window of Command2
    link::DeviceLink link;
    tables::FlashTable flash;
    // The table as the unit or a file last held it (as at start-up before
    // either): what the grid and the colour labels differ from is unwritten.
    tables::FlashTable flashKept;
    // The table of the unit last read, or last written and verified: what a
    // table write is planned against and keeps a copy of. Unset when no
    // table read of a unit is held, or a write left it unknown.
    std::optional<tables::UnitTable> flashOfUnit;
    params::ParameterMap MapaParametros;  // filled by identification only
    // What each field was loaded with (a read or an opened file), and the
    // unit the form was read from; a failed identification or read unbinds it.
    params::LoadedFields loaded;
    std::optional<params::UnitBinding> boundUnit;
    // The copy of the unit's parameters the last write saved before it sent.
    std::optional<std::filesystem::path> lastCopyBeforeWrite;
    // zrkctl's --no-verify; otherwise the per-user store decides.
    std::optional<bool> verifyOverride;
    // zrkctl's --no-record: a write whose record cannot be kept goes ahead
    // without one; the window asks instead.
    bool writeWithoutRecord = false;
    // zrkctl: no window, so messages name its options, not a page.
    bool withoutWindow = false;
    // The fields show an opened parameter file (since the last read).
    bool formFromFile = false;
    // Set while a file opened with no unit bound is shown: every field it
    // carries, read-only until a read binds the form. Holds the window's
    // caption from before, to put back then.
    std::optional<std::string> captionBeforeFileView;
    bool fieldsReadOnly() const { return captionBeforeFileView.has_value(); }
    // While above 0, an edit does not refresh the change marks: a procedure
    // that sets many fields refreshes them once at its end.
    int marksHeld = 0;
    params::LuxTables lux;
    std::string helpFile;  // set by the start-up: folder and localised file name, UTF-8
    // The loop the speed test times; tests put in one that moves a virtual clock.
    std::function<void(std::int64_t)> emptyLoop = link::runEmptyLoop;

    // Progress and Cancel of the long operation that runs, if any.
    form::OperationProgress progress;
    // One device operation at a time (see DeviceGuard).
    form::DeviceGuard guard;

    // Whether a write reads back what it sent (on unless switched off).
    bool verifyWrites() const;
    // The field codecs over this form, tables, regional settings and loaded cells.
    params::CodecContext codecs();
    std::string CargarTexto(int id) const { return texts.CargarTexto(id); }
    bool factoryView() const { return settings.CodigoFabrica == 853; }

    // zrk.ini beside the program when it is there and that folder can be
    // written (a build or a portable copy); otherwise in the user's
    // configuration folder, made there from the installed default the
    // first time.
    std::filesystem::path settingsPath() const;
    // Writes the settings to that file; throws files::FileError.
    void GuardarIni();

    // Windows other than the main one register here, so that closing the
    // main window closes them, most recent first.
    void windowOpened(form::FormControl& window);
    void windowClosed(form::FormControl& window);
    // Takes the most recently opened window off the list (none: nullptr).
    form::FormControl* takeLastWindow();

private:
    std::vector<form::FormControl*> openWindows_;
};

}  // namespace zrk::state
