// zrkctl command NAME: the nine remote-command buttons.
#include "app/program.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "ops/device_operation.h"
#include "ops/remote_commands.h"
#include "texts/text_ids.h"

namespace zrk::cli {
namespace {

int remoteCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 2) return usageError(c, "command: give exactly one command name");
    for (const auto& command : ops::remoteCommands()) {
        if (args[1] != command.cliName) continue;
        const auto outcome =
            ops::guarded(c.program.state, [&] { return ops::sendRemoteCommand(c.program.state, command); });
        if (outcome == ops::End::PortError) return exitCodeOf(outcome);
        const std::string& status = c.program.state.frm.status();
        if (c.json)
            c.out << "{\"status\": " << jsonString(status) << "}\n";
        else
            c.out << status << "\n";
        if (outcome.done()) return kOk;
        c.err << "zrkctl: " << texts::fill(c.program.state.CargarTexto(texts::id::kCommandNoAnswer), {args[1], status})
              << "\n";
        return kNoAnswer;
    }
    return usageError(c, "command: unknown name '" + args[1] + "'");
}

}  // namespace

void addRemoteCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"command",
                        "command NAME   send a remote command; NAME is one of changer-on, changer-off,\n"
                        "                 normal, day, night, mains-fail-on, mains-fail-off, motor1, motor2",
                        remoteCommand});
}

}  // namespace zrk::cli
