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

void CAyuda_Click(state::State& program) {
    std::string reasons;
    for (const std::string& viewer : helpViewers()) {
        const auto outcome = program.platform.processes.startDetached(viewer, {program.helpFile});
        if (outcome.started()) return;
        if (!reasons.empty()) reasons += "\n";
        reasons += outcome.error;
    }
    // A missing help file is the viewer's business; only a viewer that cannot
    // start at all gets here.
    program.platform.ui.messageBox(program.CargarTexto(texts::id::kHelpCouldNotOpen) + "\n" + reasons,
                                   program.platform.info.title, platform::UserInterface::Icon::None);
}

void Command2_Click(state::State& program) {
    form::FrmDibujo& window = program.dibujo;
    const auto half = [](int twips) { return params::roundToInt32(twips / 2.0, "half size"); };
    const int cx = half(window.FormDibujo.Width());
    const int cy = half(window.FormDibujo.Height());
    std::int32_t color = 0;
    try {
        color = tables::captionColour(program.frm.LColor(1).Caption());
    } catch (const params::ConversionError&) {
        // A number beyond any colour: drawn in black, as a caption without a number is.
    }
    window.Circle(cx, cy, 500, 0);
    window.Circle(cx, cy, 100, color);
    window.Circle(cx, cy, 1500, color);
    window.FormDibujo.setVisible(true);
    program.windowOpened(window.FormDibujo);
}

}  // namespace zrk::ops
