#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace zrk::cli {

// zrkctl read -o FILE.zrk: identify, read and save the parameter file.
int readToFileCommand(CommandContext& context, const std::vector<std::string>& args);
// zrkctl write FILE.zrk: identify and read, open the file into the form, write.
int writeFileCommand(CommandContext& context, std::vector<std::string> args);
// zrkctl check FILE.zrk: open the file into the form, print what it set.
int checkFileCommand(CommandContext& context, const std::vector<std::string>& args);

// Adds write and check; read -o shares its name with the plain read and is
// reached through that command.
void addFileCommands(std::vector<CommandSpec>& commands);

}  // namespace zrk::cli
