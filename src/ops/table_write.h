#pragma once

#include <string>
#include <vector>

#include "ops/outcome.h"
#include "ops/table_plan.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// A write of the flash-pattern table as for the parameters: planned against
// the unit's table as read, confirmed, recorded (a copy of the unit's table
// and one log line per changed row), sent cell by cell for the cells that
// change, read back, and undone by "Undo last write".
struct TableWriteOptions {
    bool dryRun = false;  // plan and print, send nothing
};

struct TableWriteResult {
    TablePlan plan;
    TransferReport report;
    std::vector<std::string> lines;  // the plan as the confirmation lists it
};

// The whole of it, for the window and zrkctl alike:
// - the unit on the line is identified (cells 254 and 255);
// - without a table read of this unit in the form, the engineer is asked to
//   read it first (zrkctl: it is read); the grid keeps its edits;
// - the plan's changes are confirmed (zrkctl: not asked), the record kept,
//   the changed cells sent and read back.
// Ends NothingToDo when nothing changes, BadData on a refusal, Cancelled
// when the engineer says no; nothing is sent in any of these.
ops::Outcome<TableWriteResult> plannedTableWrite(state::State& state, const TableWriteOptions& options);

// The "Escribir Colores" button, as a device operation.
ops::Outcome<TableWriteResult> CEscribirColores_Click(state::State& state);

}  // namespace zrk::ops
