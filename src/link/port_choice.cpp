#include "link/port_choice.h"

#include <exception>
#include <functional>
#include <vector>

#include "app/program.h"
#include "link/frame.h"

namespace zrk::link {

void PortChoice::ComboCom_Click() { lastTryWorked_ = runSteps(true); }
void PortChoice::ComboCom_Change() { runSteps(false); }

bool PortChoice::runSteps(bool saveAndReport) {
    app::Program& p = program_;
    auto& port = p.platform.port;
    p.settings.PuertoSerie = static_cast<std::int16_t>(p.frm.ComboCom.ListIndex() + 1);

    std::vector<std::function<void()>> steps = {
        [&] { port.setPortNumber(p.settings.PuertoSerie); },
        [&] { port.setDtrEnabled(true); },
        [&] { port.open(); },
        [&] { port.close(); },
    };
    if (saveAndReport) {
        steps.emplace_back([&] { p.GuardarIni(); });
        steps.emplace_back(
            [&] { p.frm.setStatus("Serial Port " + signedNumber(p.settings.PuertoSerie)); });
    }
    // A failed step falls back to port 1 and the sequence goes on with the
    // next step; when port 1 fails too, its failure text stays and we stop.
    for (auto& step : steps) {
        try {
            step();
        } catch (const std::exception&) {
            if (port.isOpen()) port.close();
            if (!fallback()) return false;
        }
    }
    return true;
}

bool PortChoice::fallback() {
    app::Program& p = program_;
    p.frm.setStatus("Serial Port " + signedNumber(p.settings.PuertoSerie) + "  Not Avalaible");
    // Already trying port 1 for an earlier failure: one try only, no loop.
    if (inFallback_) return false;
    p.platform.events.processEvents();
    p.link.Pausa(2000);
    inFallback_ = true;
    p.frm.ComboCom.setListIndex(0);  // runs ComboCom_Click for port 1
    inFallback_ = false;
    return lastTryWorked_;
}

}  // namespace zrk::link
