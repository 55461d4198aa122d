#include "cli/commands.h"

#include "app/program.h"
#include "cli/file_cli.h"
#include "cli/live_cli.h"
#include "cli/table_cli.h"

namespace zrk::cli {

const std::vector<CommandSpec>& allCommands() {
    static const std::vector<CommandSpec> commands = [] {
        std::vector<CommandSpec> list;
        addRemoteCommands(list);
        addParameterCommands(list);
        addFileCommands(list);
        addLiveCommands(list);
        addTableCommands(list);
        return list;
    }();
    return commands;
}

std::string usageText() {
    std::string text =
        "usage: zrkctl [--port DEVICE | --com N | --simulate[=SCENARIO]] [--json] [--trace FILE] COMMAND ...\n"
        "  --trace FILE  every frame sent, reply read and byte thrown away, one line each; - for standard error\n"
        "commands:\n";
    for (const auto& command : allCommands()) text += "  " + command.usage + "\n";
    text += "exit codes: 0 done, 1 the unit did not answer or a transaction failed, 2 usage error,\n"
            "            3 port error, conversion error or bad file\n";
    return text;
}

int usageError(CommandContext& c, const std::string& problem) {
    c.err << "zrkctl: " << problem << "\n" << usageText();
    return kUsage;
}

bool pressButton(CommandContext& c, const std::string& button) {
    dynamic_cast<app::CommandButton&>(c.program.frm.controls().at(button)).Click();
    return !c.program.lastPortError;
}

int runCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.empty()) return usageError(c, "no command given");
    for (const auto& command : allCommands())
        if (command.name == args[0]) return command.run(c, args);
    return usageError(c, "unknown command '" + args[0] + "'");
}

}  // namespace zrk::cli
