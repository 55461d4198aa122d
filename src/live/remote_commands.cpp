#include "live/remote_commands.h"

#include "app/program.h"
#include "link/protocol.h"

namespace zrk::live {

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

bool sendRemoteCommand(app::Program& program, const RemoteCommand& command) {
    const link::TramaComando trama = link::remoteCommandFrame(command.function, command.state);
    link::RespuestaComando reply;
    try {
        program.link.AbrirCom();
        reply = program.link.EnviarComando(trama);
    } catch (...) {
        program.link.CerrarCom();
        throw;
    }
    program.link.CerrarCom();
    const bool answered = reply.Resultado == link::kAck;
    program.frm.setStatus(answered ? command.successText : command.failureText);
    return answered;
}

void wireRemoteCommands(app::Program& program) {
    for (const RemoteCommand& command : remoteCommands()) {
        auto& button = dynamic_cast<app::CommandButton&>(program.frm.controls().at(command.button));
        button.Click = [&program, &command] {
            program.deviceOperation([&] { sendRemoteCommand(program, command); });
        };
    }
}

}  // namespace zrk::live
