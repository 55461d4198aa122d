#include "ops/remote_commands.h"

#include "link/protocol.h"
#include "ops/operation_guards.h"
#include "state/state.h"

namespace zrk::ops {

const std::vector<RemoteCommand>& remoteCommands() {
    static const std::vector<RemoteCommand> commands = {
        {"CCambioLamparaOn", "changer-on", link::remote::kChanger, 1, " ZRK changer On", " ZRK changer On failed"},
        {"CCambioLamparaOff", "changer-off", link::remote::kChanger, 0, " ZRK changer Off", " ZRK changer Off failed"},
        {"CNormal", "normal", link::remote::kMode, 0, " ZRK normal mode", " ZRK normal mode failed"},
        {"CDia", "day", link::remote::kMode, 1, " ZRK is in day mode", " ZRK day mode failed"},
        {"CNoche", "night", link::remote::kMode, 2, " ZRK is in night mode", " ZRK night mode failed"},
        {"CFalloRedOn", "mains-fail-on", link::remote::kMainsFailure, 1, " ZRK sector fail On OK",
         " ZRK sector fail On OK failed"},
        {"CFalloRedOff", "mains-fail-off", link::remote::kMainsFailure, 0, " ZRK sector fail Off OK",
         " ZRK sector fail Off OK failed"},
        {"btnTelemandoMotor1", "motor1", link::remote::kMotor, 0, " ZRK Motor 1 OK", " ZRK Motor 1 fail"},
        {"btnTelamandoMotor2", "motor2", link::remote::kMotor, 1, " ZRK Motor 2 OK", " ZRK Motor 2 fail"},
    };
    return commands;
}

ops::Outcome<> sendRemoteCommand(state::State& state, const RemoteCommand& command) {
    const link::TramaComando trama = link::remoteCommandFrame(command.function, command.state);
    link::RespuestaComando reply;
    {
        ops::PortClosedAfter port(state.link);
        state.link.AbrirCom();
        reply = state.link.EnviarComando(trama);
    }
    if (reply.Resultado != link::kAck) {
        state.frm.setStatus(command.failureText);
        return {ops::End::NoAnswer, command.failureText};
    }
    state.frm.setStatus(command.successText);
    return ops::End::Done;
}

}  // namespace zrk::ops
