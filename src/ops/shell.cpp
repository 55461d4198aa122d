#include "ops/shell.h"

#include "ops/segment_transfer.h"
#include "params/numbers.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {

const std::vector<std::string>& helpViewers() {
    static const std::vector<std::string> viewers{"hh", "xchm", "kchmviewer", "xdg-open"};
    return viewers;
}

void CAyuda_Click(state::State& state) {
    std::string reasons;
    for (const std::string& viewer : helpViewers()) {
        const auto outcome = state.platform.processes.startDetached(viewer, {state.helpFile});
        if (outcome.started()) return;
        if (!reasons.empty()) reasons += "\n";
        reasons += outcome.error;
    }
    // A missing help file is the viewer's business; only a viewer that cannot
    // start at all gets here.
    state.platform.ui.messageBox(state.CargarTexto(texts::id::kHelpCouldNotOpen) + "\n" + reasons,
                                 state.platform.info.title, platform::UserInterface::Icon::None);
}

void Command2_Click(state::State& state) {
    form::FrmDibujo& window = state.dibujo;
    const auto half = [](int twips) { return params::roundToInt32(twips / 2.0, "half size"); };
    const int cx = half(window.FormDibujo.Width());
    const int cy = half(window.FormDibujo.Height());
    std::int32_t color = 0;
    try {
        color = tables::captionColour(state.frm.LColor(1).Caption());
    } catch (const params::ConversionError&) {
        // A number beyond any colour: drawn in black, as a caption without a number is.
    }
    window.Circle(cx, cy, 500, 0);
    window.Circle(cx, cy, 100, color);
    window.Circle(cx, cy, 1500, color);
    window.FormDibujo.setVisible(true);
    state.windowOpened(window.FormDibujo);
}

}  // namespace zrk::ops
