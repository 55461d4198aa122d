#pragma once

#include <vector>

#include "cli/commands.h"

namespace zrk::cli {

// zrkctl table read | table write FILE.json: the flash-pattern table to and
// from the unit's segment tables.
void addTableCommands(std::vector<CommandSpec>& commands);

}  // namespace zrk::cli
