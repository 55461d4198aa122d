#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace zrk::cli {

// zrkctl status [--lamps] [--current] [--speed] [--led-current] [--changer N]
int statusCommand(CommandContext& context, const std::vector<std::string>& args);
// zrkctl io
int ioCommand(CommandContext& context, const std::vector<std::string>& args);

void addLiveCommands(std::vector<CommandSpec>& commands);

}  // namespace zrk::cli
