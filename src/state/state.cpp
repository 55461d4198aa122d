#include "state/state.h"

#include <fstream>

#include "params/visibility.h"

namespace zrk::state {

State::State(platform::Platform& p)
    : platform(p),
      link(p.port, p.events, p.clock, [this](const std::string& text) { frm.setStatus(text); }),
      guard({&frm.CLeer, &frm.CEscribir, &frm.CInterrogar, &frm.CCambioLamparaOn, &frm.CCambioLamparaOff, &frm.CNormal,
             &frm.CNoche, &frm.CDia, &frm.CFalloRedOn, &frm.CFalloRedOff, &frm.btnTelemandoMotor1,
             &frm.btnTelamandoMotor2, &frm.CLeerColores, &frm.CEscribirColores, &frm.btnVerValoresInstantaneos,
             // Another port picked during an operation would close the port under it.
             &frm.ComboCom}) {
    link.cancelled = [this] { return progress.cancelRequested(); };
    link.meaningTexts = &texts;
}

namespace {

// Whether a file can be made in `folder`: tried, not guessed from modes
// (root, access lists and read-only mounts all have their say).
bool writableFolder(const std::filesystem::path& folder) {
    const auto probe = folder / ".zrk-write-probe";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out) return false;
    }
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return true;
}

}  // namespace

std::filesystem::path State::settingsPath() const {
    const auto& info = platform.info;
    const auto beside = info.folder / files::kSettingsFileName;
    std::error_code error;
    if (info.configFolder.empty() || (std::filesystem::exists(beside, error) && writableFolder(info.folder)))
        return beside;
    const auto own = info.configFolder / files::kSettingsFileName;
    if (!std::filesystem::exists(own, error)) {
        std::filesystem::create_directories(info.configFolder, error);
        std::filesystem::copy_file(info.resources() / files::kSettingsFileName, own, error);
    }
    return own;
}

void State::GuardarIni() { files::writeSettingsFile(settingsPath(), settings); }

bool State::verifyWrites() const {
    if (verifyOverride) return *verifyOverride;
    return platform.store.value("ZRK", "Write", "Verify") != std::optional<std::string>("false");
}

params::CodecContext State::codecs() {
    params::CodecContext context{frm, lux, platform.numbers, &loaded, false, &texts};
    context.nameOf = [this](int row) { return params::fieldCaption(frm, row); };
    return context;
}

void State::windowOpened(form::FormControl& window) {
    windowClosed(window);
    openWindows_.push_back(&window);
}

void State::windowClosed(form::FormControl& window) { std::erase(openWindows_, &window); }

form::FormControl* State::takeLastWindow() {
    if (openWindows_.empty()) return nullptr;
    form::FormControl* window = openWindows_.back();
    openWindows_.pop_back();
    return window;
}

}  // namespace zrk::state
