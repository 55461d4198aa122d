// zrkctl undo: the last write of the write log, put back cell by cell.
#include "cli/undo_cli.h"

#include <algorithm>
#include <optional>

#include "app/program.h"
#include "ops/device_operation.h"
#include "ops/undo_write.h"

namespace zrk::cli {
namespace {

// "TPWMLed: 81 -> 80 (49: 81 -> 80)": the field as the write left it and as
// the undo puts it back, then each cell as the unit holds it and its byte
// before that write.
void printPlan(CommandContext& c, const ops::UndoPlan& plan) {
    for (const auto& field : plan.fields) {
        std::string cells;
        for (const auto& cell : field.cells)
            cells += (cells.empty() ? "" : ", ") + cell.name() + ": " + (cell.held ? std::to_string(*cell.held) : "?") +
                     " -> " + std::to_string(cell.before);
        c.out << field.field << ": " << field.wrote << " -> " << field.back << " (" << cells << ")\n";
    }
}

int undoCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    ops::UndoOptions options;
    const auto it = std::find(args.begin(), args.end(), "--unit");
    if (it != args.end()) {
        if (it + 1 == args.end()) return usageError(c, "undo: --unit needs an identifier number");
        options.unit = *(it + 1);
        args.erase(it, it + 2);
    }
    takeNoVerify(c, args);
    options.dryRun = takeFlag(args, "--dry-run");
    options.force = takeFlag(args, "--force");
    options.withoutRecord = takeFlag(args, "--no-record");
    if (args.size() != 1) return usageError(c, "undo: unexpected argument '" + args[1] + "'");

    const auto undone = ops::guarded(c.program.state, [&] { return ops::undoLastWrite(c.program.state, options); });
    // Nothing in the log to undo is not the unit's fault: it is the caller's.
    if (undone == ops::End::NothingToDo) {
        c.err << "zrkctl: " << undone.message << "\n";
        return kPortError;
    }
    if (undone != ops::End::Done) return exitCodeOf(undone);
    if (options.dryRun)
        printPlan(c, undone.payload);
    else
        c.out << c.program.state.frm.status() << "\n";
    return kOk;
}

}  // namespace

void addUndoCommand(std::vector<CommandSpec>& commands) {
    commands.push_back(
        {"undo",
         "undo [--unit N] [--dry-run] [--force] [--no-record] [--no-verify]  put back the cells of the last\n"
         "                 write in the log (of unit N); a cell changed since stops it unless --force;\n"
         "                 --dry-run prints NAME: NOW -> BEFORE (cell: held -> before, ...; a table's\n"
         "                 cell as TABLE/OFFSET) and sends\n"
         "                 nothing; --no-record goes on when the log cannot be written; exit 3: nothing to undo",
         undoCommand});
}

}  // namespace zrk::cli
