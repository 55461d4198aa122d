#include "ops/instant_values.h"

#include "link/protocol.h"
#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "state/state.h"

namespace zrk::ops {
namespace {

// One transaction and the labels its bits go to, bit 0 to `first`.
struct StateGroup {
    std::uint8_t selector;
    form::ControlArray<form::LabelControl> form::FrmMain::*labels;
    int first;
    int count;
};

const StateGroup kGroups[] = {
    {link::code(link::StatusSelector::Inputs), &form::FrmMain::lblExterna, 1, 8},
    {link::code(link::StatusSelector::OutputsLow), &form::FrmMain::lblSalida, 1, 8},
    {link::code(link::StatusSelector::OutputsHigh), &form::FrmMain::lblSalida, 9, 3},
};

void readGroup(state::State& state, const StateGroup& group) {
    // Once the line is dead, the rest is not asked: it shows as unknown at once.
    const auto reply = state.link.lineSeemsDead() ? link::RespuestaComando{link::kNak}
                                                  : state.link.EnviarComando(link::readStatusFrame(group.selector));
    const bool answered = reply.Resultado == link::kAck;
    const auto& labels = state.frm.*group.labels;
    for (int bit = 0; bit < group.count; ++bit) {
        const StateLook look = !answered                    ? StateLook::Unknown
                               : link::replyBit(reply, bit) ? StateLook::On
                                                            : StateLook::Off;
        showStateLook(labels(group.first + bit), look);
    }
}

void trap(state::State& state) {
    state.platform.ui.messageBox("Error", state.platform.info.title, platform::UserInterface::Icon::Error);
    state.link.CerrarCom();
    state.frm.setStatus("Error");
    state.frm.HabilitaBotones();
}

}  // namespace

const std::string& stateCaption(StateLook look) {
    static const std::string on = "ON", off = "OFF", unknown = "--";
    switch (look) {
        case StateLook::On:
            return on;
        case StateLook::Off:
            return off;
        case StateLook::Unknown:
            break;
    }
    return unknown;
}

form::Rgb stateColour(StateLook look) {
    switch (look) {
        case StateLook::On:
            return {0, 0, 255};
        case StateLook::Off:
            return {255, 0, 0};
        case StateLook::Unknown:
            break;
    }
    return {0, 0, 0};
}

StateLook stateLookOf(const std::string& caption) {
    if (caption == stateCaption(StateLook::On)) return StateLook::On;
    if (caption == stateCaption(StateLook::Off)) return StateLook::Off;
    return StateLook::Unknown;
}

void showStateLook(form::LabelControl& label, StateLook look) {
    label.setCaption(stateCaption(look));
    label.setForeColor(stateColour(look));
}

void VerValoresInstantaneos(state::State& state) {
    // After an error the buttons come back only once its box is shown (trap).
    state.frm.DeshabilitaBotones();
    {
        ops::PortClosedAfter port(state.link);
        state.link.AbrirCom();
        for (const StateGroup& group : kGroups) readGroup(state, group);
    }
    state.frm.setStatus("End check");
    state.frm.HabilitaBotones();
    state.platform.events.processEvents();
}

ops::Outcome<> btnVerValoresInstantaneos_Click(state::State& state) {
    return ops::guarded(state, [&]() -> ops::Outcome<> {
        try {
            VerValoresInstantaneos(state);
        } catch (const platform::PortError& e) {
            trap(state);
            return {ops::End::PortError, ops::portMessage(state, e)};
        } catch (const std::exception& e) {
            trap(state);
            return {ops::End::BadData, e.what()};
        }
        return ops::End::Done;
    });
}

void btnSpoolValorInstantaneo_Click(state::State& state) {
    auto& button = state.frm.btnSpoolValorInstantaneo;
    auto& timer = state.frm.tmrSpoolValoresInstantaneos;
    if (button.Caption() == kAutoRefreshOff) {
        timer.setEnabled(true);
        button.setCaption(kAutoRefreshOn);
    } else {
        timer.setEnabled(false);
        button.setCaption(kAutoRefreshOff);
    }
}

void tmrSpoolValoresInstantaneos_Timer(state::State& state) {
    if (state.guard.busy()) return;
    auto& timer = state.frm.tmrSpoolValoresInstantaneos;
    timer.setEnabled(false);
    btnVerValoresInstantaneos_Click(state);
    // The operator may have switched the refresh off while it ran.
    if (state.frm.btnSpoolValorInstantaneo.Caption() == kAutoRefreshOn) timer.setEnabled(true);
}

}  // namespace zrk::ops
