#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ops/outcome.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// Undo of the last write in the write log: the logged cells go back to the
// bytes they held before it, and nothing else is touched (no identification,
// no full read), so it works on a unit the tool cannot read as a whole.

// One logged cell, and what the unit holds now once it has been read.
struct UndoCell {
    int address = 0;  // of the parameter memory, or the offset in `table`
    int before = 0;   // what the undone write replaced: what goes back
    int after = 0;    // what it wrote
    std::optional<int> held;
    int table = 0;  // 1 to 4: a cell of that segment table (a table write's)

    // One number per cell, parameter memory and segment tables apart.
    int key() const { return table * 256 + address; }
    // "130", a segment table's "2/130", as the record writes it.
    std::string name() const;

    // Already back as it was: nothing to send.
    bool restored() const { return held && *held == before; }
    // Neither what was written nor what was there before.
    bool changedSince() const { return held && *held != before && *held != after; }
};

// One field of the undone write, as its log line names it.
struct UndoField {
    std::string field;    // the log's name of it
    std::string caption;  // what the engineer reads
    std::string wrote;    // the value that write wrote
    std::string back;     // the value it replaced
    std::vector<UndoCell> cells;
};

// What an undo does, worked out before anything is sent: the dry run, the
// confirmation, the frames and the log lines all come from it.
struct UndoPlan {
    int write = 0;  // the write undone
    std::string unit;
    std::string time;
    std::vector<UndoField> fields;
    bool cellsRead = false;  // `held` is filled in

    bool changedSince() const;
    // Cells the undo sends: those not back already, and with `force` those
    // changed since too.
    std::vector<UndoCell> toSend(bool force) const;
    // The identifier number the unit carries now: the logged one, or the
    // one the undone write gave it when it changed cells 254 and 255.
    std::optional<int> identifierNow() const;
};

struct UndoOptions {
    std::optional<std::string> unit;  // the last write of this unit; none: of any
    bool dryRun = false;              // read, plan, send nothing
    bool force = false;               // put back cells changed since too
    bool withoutRecord = false;       // go on when the log cannot take the lines
};

// The plan from the log alone (no cells read). NothingToDo when the log has
// no write (of that unit), or its last one carries no cells (the message
// names the folder of the copies before writing).
ops::Outcome<UndoPlan> planUndo(state::State& state, const std::optional<std::string>& unit);
// Checks the unit on the line is the logged one, then reads the plan's
// cells into it. Sends no write.
ops::Outcome<> readUndoCells(state::State& state, UndoPlan& plan);
// Puts back the plan's cells (refused when any changed since, unless
// `force`), reads them back and logs the undo. A plan whose cells were not
// read is read first.
ops::Outcome<> applyUndo(state::State& state, UndoPlan& plan, const UndoOptions& options);
// All of it: plan, read, and unless a dry run, put back.
ops::Outcome<UndoPlan> undoLastWrite(state::State& state, const UndoOptions& options);

// One write of the log, for the engineer's list.
struct WriteSummary {
    int write = 0;
    std::string time;
    std::string unit;
    std::vector<std::string> captions;
    std::string outcome;  // the worst of its lines, in the engineer's language
    int undoes = 0;
};
// The newest `count` writes (of `unit` when given), newest first.
std::vector<WriteSummary> recentWrites(state::State& state, const std::optional<std::string>& unit, int count);

// The window's action: the last write of the bound unit (of any unit when
// the form holds none), listed with the recent writes and asked first.
ops::Outcome<> confirmedUndo(state::State& state);

}  // namespace zrk::ops
