#include "ops/remote_commands.h"

#include "ops/operation_guards.h"
#include "state/state.h"

namespace zrk::live {

const std::vector<RemoteCommand>& remoteCommands() {
    static const std::vector<RemoteCommand> commands = {
        {"CCambioLamparaOn", "changer-on", 0, 1, " ZRK changer On", " ZRK changer On failed"},
        {"CCambioLamparaOff", "changer-off", 0, 0, " ZRK changer Off", " ZRK changer Off failed"},
        {"CNormal", "normal", 1, 0, " ZRK normal mode", " ZRK normal mode failed"},
        {"CDia", "day", 1, 1, " ZRK is in day mode", " ZRK day mode failed"},
        {"CNoche", "night", 1, 2, " ZRK is in night mode", " ZRK night mode failed"},
        {"CFalloRedOn", "mains-fail-on", 2, 1, " ZRK sector fail On OK", " ZRK sector fail On OK failed"},
        {"CFalloRedOff", "mains-fail-off", 2, 0, " ZRK sector fail Off OK", " ZRK sector fail Off OK failed"},
        {"btnTelemandoMotor1", "motor1", 3, 0, " ZRK Motor 1 OK", " ZRK Motor 1 fail"},
        {"btnTelamandoMotor2", "motor2", 3, 1, " ZRK Motor 2 OK", " ZRK Motor 2 fail"},
    };
    return commands;
}

ops::Outcome<> sendRemoteCommand(state::State& program, const RemoteCommand& command) {
    link::TramaComando trama;
    trama.Comando = 6;
    trama.Parametro1 = command.function;
    trama.Parametro2 = command.state;
    link::RespuestaComando reply;
    {
        ops::PortClosedAfter port(program.link);
        program.link.AbrirCom();
        reply = program.link.EnviarComando(trama);
    }
    if (reply.Resultado != link::kAck) {
        program.frm.setStatus(command.failureText);
        return {ops::End::NoAnswer, command.failureText};
    }
    program.frm.setStatus(command.successText);
    return ops::End::Done;
}

}  // namespace zrk::live
