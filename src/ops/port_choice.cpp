#include "ops/port_choice.h"

#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "files/atomic_write.h"
#include "link/frame.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {

void PortChoice::ComboCom_Click() {
    state::State& p = program_;
    if (p.guard.busy()) {
        // The list is disabled while an operation runs; should a pick come
        // through all the same, the port in use stays and the list shows it.
        const int inUse = p.settings.PuertoSerie - 1;
        if (p.frm.ComboCom.ListIndex() != inUse && inUse >= 0 && inUse < p.frm.ComboCom.ListCount())
            p.frm.ComboCom.setListIndex(inUse);
        return;
    }
    typedUntried_ = false;
    lastTryWorked_ = runSteps(true);
}

// Each keystroke only notes that there is a text to try.
void PortChoice::ComboCom_Change() {
    if (!program_.guard.busy()) typedUntried_ = true;
}

void PortChoice::ComboCom_KeyPress(int key) {
    if (key == 13) tryTypedText();
}

void PortChoice::ComboCom_LostFocus() { tryTypedText(); }

void PortChoice::tryTypedText() {
    if (!typedUntried_ || program_.guard.busy()) return;
    typedUntried_ = false;
    runSteps(false);
}

bool PortChoice::runSteps(bool saveAndReport) {
    state::State& p = program_;
    auto& port = p.platform.port;
    p.settings.PuertoSerie = static_cast<std::int16_t>(p.frm.ComboCom.ListIndex() + 1);

    std::vector<std::function<void()>> steps = {
        [&] { port.setPortNumber(p.settings.PuertoSerie); },
        [&] { port.setDtrEnabled(true); },
        [&] { port.open(); },
        [&] { port.close(); },
    };
    std::optional<files::FileError> unwritable;
    if (saveAndReport) {
        // A settings file that cannot be written is no fault of the port:
        // the port stays chosen for this run and the message says why.
        steps.emplace_back([&] {
            try {
                p.GuardarIni();
            } catch (const files::FileError& e) {
                unwritable = e;
            }
        });
        steps.emplace_back([&] { p.frm.setStatus("Serial Port " + link::signedNumber(p.settings.PuertoSerie)); });
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
    if (unwritable)
        p.platform.ui.messageBox(
            texts::fill(p.CargarTexto(texts::id::kSettingsCannotBeWritten),
                        {unwritable->path(), unwritable->reason(p.texts), std::to_string(p.settings.PuertoSerie)}),
            p.platform.info.title, platform::UserInterface::Icon::Warning);
    return true;
}

bool PortChoice::fallback() {
    state::State& p = program_;
    p.frm.setStatus("Serial Port " + link::signedNumber(p.settings.PuertoSerie) + "  Not Avalaible");
    // Already trying port 1 for an earlier failure: one try only, no loop.
    if (inFallback_) return false;
    p.platform.events.processEvents();
    p.link.Pausa(2000);
    inFallback_ = true;
    p.frm.ComboCom.setListIndex(0);  // runs ComboCom_Click for port 1
    inFallback_ = false;
    return lastTryWorked_;
}

}  // namespace zrk::ops
