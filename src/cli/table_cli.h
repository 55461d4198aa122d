#pragma once

#include <vector>

#include "cli/commands.h"

namespace zrk::cli {

// zrkctl table read | table write FILE.json: the flash-pattern table to and
// from the unit's segment tables.
void addTableCommands(std::vector<CommandSpec>& commands);

// The planned write of the table the grid and the colour labels hold (a
// table file's, or a parameter file's run 2), with its changes printed;
// with `dryRun` only those. The exit code.
int writeShownTable(CommandContext& c, bool dryRun);

}  // namespace zrk::cli
