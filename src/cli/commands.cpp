#include "cli/commands.h"

#include "app/program.h"
#include "cli/json.h"
#include "live/remote_commands.h"

namespace zrk::cli {
namespace {

int usage(CommandContext& c, const std::string& problem) {
    c.err << "zrkctl: " << problem << "\n" << usageText();
    return kUsage;
}

// Presses a button of the form, as the operator would, and turns what came
// of it into an exit code.
int press(CommandContext& c, const std::string& button, const std::string& failureText) {
    auto& control = dynamic_cast<app::CommandButton&>(c.program.frm.controls().at(button));
    control.Click();
    if (c.program.lastPortError) return kPortError;
    const std::string& status = c.program.frm.status();
    if (c.json)
        c.out << "{\"status\": " << jsonString(status) << "}\n";
    else
        c.out << status << "\n";
    return status == failureText ? kNoAnswer : kOk;
}

int remoteCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 2) return usage(c, "command: give exactly one command name");
    for (const auto& command : live::remoteCommands())
        if (args[1] == command.cliName) return press(c, command.button, command.failureText);
    return usage(c, "command: unknown name '" + args[1] + "'");
}

}  // namespace

const char* usageText() {
    return "usage: zrkctl [--port DEVICE | --com N | --simulate[=SCENARIO]] [--json] COMMAND ...\n"
           "commands:\n"
           "  command NAME   send a remote command; NAME is one of changer-on, changer-off,\n"
           "                 normal, day, night, mains-fail-on, mains-fail-off, motor1, motor2\n"
           "exit codes: 0 done, 1 the unit did not answer, 2 usage error, 3 port error\n";
}

int runCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.empty()) return usage(c, "no command given");
    if (args[0] == "command") return remoteCommand(c, args);
    return usage(c, "unknown command '" + args[0] + "'");
}

}  // namespace zrk::cli
