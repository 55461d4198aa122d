#pragma once

#include <vector>

#include "cli/commands.h"

namespace zrk::cli {

// zrkctl undo: puts back the cells of the last write in the write log.
void addUndoCommand(std::vector<CommandSpec>& commands);

}  // namespace zrk::cli
