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

void readGroup(state::State& program, const StateGroup& group) {
    // Once the line is dead, the rest is not asked: it shows as unknown at once.
    const auto reply = program.link.lineSeemsDead() ? link::RespuestaComando{link::kNak}
                                                    : program.link.EnviarComando(link::readStatusFrame(group.selector));
    const bool answered = reply.Resultado == link::kAck;
    const auto& labels = program.frm.*group.labels;
    for (int bit = 0; bit < group.count; ++bit) {
        const StateLook look = !answered                    ? StateLook::Unknown
                               : link::replyBit(reply, bit) ? StateLook::On
                                                            : StateLook::Off;
        showStateLook(labels(group.first + bit), look);
    }
}

void trap(state::State& program) {
    program.platform.ui.messageBox("Error", program.platform.info.title, platform::UserInterface::Icon::Error);
    program.link.CerrarCom();
    program.frm.setStatus("Error");
    program.frm.HabilitaBotones();
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

void VerValoresInstantaneos(state::State& program) {
    // After an error the buttons come back only once its box is shown (trap).
    program.frm.DeshabilitaBotones();
    {
        ops::PortClosedAfter port(program.link);
        program.link.AbrirCom();
        for (const StateGroup& group : kGroups) readGroup(program, group);
    }
    program.frm.setStatus("End check");
    program.frm.HabilitaBotones();
    program.platform.events.processEvents();
}

ops::Outcome<> btnVerValoresInstantaneos_Click(state::State& program) {
    return ops::guarded(program, [&]() -> ops::Outcome<> {
        try {
            VerValoresInstantaneos(program);
        } catch (const platform::PortError& e) {
            trap(program);
            return {ops::End::PortError, ops::portMessage(program, e)};
        } catch (const std::exception& e) {
            trap(program);
            return {ops::End::BadData, e.what()};
        }
        return ops::End::Done;
    });
}

void btnSpoolValorInstantaneo_Click(state::State& program) {
    auto& button = program.frm.btnSpoolValorInstantaneo;
    auto& timer = program.frm.tmrSpoolValoresInstantaneos;
    if (button.Caption() == kAutoRefreshOff) {
        timer.setEnabled(true);
        button.setCaption(kAutoRefreshOn);
    } else {
        timer.setEnabled(false);
        button.setCaption(kAutoRefreshOff);
    }
}

void tmrSpoolValoresInstantaneos_Timer(state::State& program) {
    if (program.guard.busy()) return;
    auto& timer = program.frm.tmrSpoolValoresInstantaneos;
    timer.setEnabled(false);
    btnVerValoresInstantaneos_Click(program);
    // The operator may have switched the refresh off while it ran.
    if (program.frm.btnSpoolValorInstantaneo.Caption() == kAutoRefreshOn) timer.setEnabled(true);
}

}  // namespace zrk::ops
