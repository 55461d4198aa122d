// zrkctl read -o, write and check: parameter files from the command line.
#include "cli/file_cli.h"

#include <algorithm>
#include <optional>

#include "app/program.h"
#include "cli/commands.h"
#include "cli/form_json.h"
#include "cli/json.h"
#include "cli/table_cli.h"
#include "cli/undo_cli.h"
#include "files/atomic_write.h"
#include "files/write_record.h"
#include "ops/device_operation.h"
#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "ops/segment_transfer.h"
#include "params/image_layout.h"
#include "params/numbers.h"
#include "texts/text_ids.h"

namespace zrk::cli {
namespace {

void printStatus(CommandContext& c) {
    const std::string& status = c.program.state.frm.status();
    if (c.json)
        c.out << "{\"status\": " << jsonString(status) << "}\n";
    else
        c.out << status << "\n";
}

std::string tableAsJson(const tables::FlashTable& flash) {
    std::string colors, pattern;
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        colors += (row > 1 ? ", " : "") + std::to_string(flash.color(row));
        pattern += row > 1 ? ", [" : "[";
        for (int col = 1; col <= tables::kPatternColumns; ++col)
            pattern += (col > 1 ? ", " : "") + std::to_string(flash.pauta(row, col));
        pattern += "]";
    }
    return "\"colors\": [" + colors + "], \"pattern\": [" + pattern + "]";
}

// --table after the command's own arguments: the flash-pattern table travels
// too. Removes it from `args`.
bool takeTableOption(std::vector<std::string>& args) {
    const auto it = std::find(args.begin() + 1, args.end(), "--table");
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

// The end of a table read as an exit code, with its message (the failed
// transaction's table, half and offset) on stderr; a port error's message
// is already there.
int tableReadEnd(CommandContext& c, const ops::Outcome<ops::TransferReport>& outcome) {
    if (!outcome.done() && outcome != ops::End::PortError) c.err << "zrkctl: " << outcome.message << "\n";
    return exitCodeOf(outcome);
}

}  // namespace

int readToFileCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const bool withTable = takeTableOption(args);
    if (args.size() != 3 || args[1] != "-o")
        return usageError(c, "read: give -o FILE.zrk [--table] to save a parameter file");
    const auto read = ops::guarded(c.program.state, [&] { return ops::readUnit(c.program.state); });
    if (read != ops::End::Done) return exitCodeOf(read);
    // The unit's own table, all of it or nothing: a file must not carry a
    // table that is part the unit's and part the form's.
    if (withTable) {
        if (const int code = tableReadEnd(c, ops::CLeerColores_Click(c.program.state)); code != kOk) return code;
    }
    try {
        ops::saveParameterFile(c.program.state, args[2]);
    } catch (const params::ConversionError& e) {
        c.err << "zrkctl: " << texts::fill(c.program.state.CargarTexto(texts::id::kParameterFileNotSaved), {e.what()})
              << "\n";
        return kPortError;
    } catch (const files::FileError& e) {
        c.err << "zrkctl: " << e.describe(c.program.state.texts) << "\n";
        return kPortError;
    }
    printStatus(c);
    return kOk;
}

namespace {

// Checks the file, identifies and reads the whole unit, then opens the file
// into the form (which stays bound to the unit). A bad file is refused
// before the unit is touched at all.
int readUnitThenOpen(CommandContext& c, const std::string& file) {
    try {
        files::checkParameterFile(files::readParameterFile(file), file, files::listSizesOf(c.program.state.frm));
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << files::describe(e, c.program.state.texts, c.program.state.frm) << "\n";
        return kPortError;
    }
    // The unit's own values first: the file leaves the identifier (and the
    // manufacturing data) as the read showed them.
    const auto read = ops::guarded(c.program.state, [&] { return ops::readUnit(c.program.state); });
    if (read != ops::End::Done) return exitCodeOf(read);
    try {
        ops::openParameterFile(c.program.state, file);
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << files::describe(e, c.program.state.texts, c.program.state.frm) << "\n";
        return kPortError;
    }
    return kOk;
}

}  // namespace

int writeFileCommand(CommandContext& c, std::vector<std::string> args) {
    takeNoVerify(c, args);
    takeNoRecord(c, args);
    const bool withTable = takeTableOption(args);
    const bool dryRun = takeFlag(args, "--dry-run");
    const bool full = takeFlag(args, "--full");
    if (args.size() != 2) return usageError(c, "write: give exactly one parameter file");
    if (const int code = readUnitThenOpen(c, args[1]); code != kOk) return code;
    if (dryRun) {
        const int code = printPlannedWrite(c, "write", "file");
        return code == kOk && withTable && !c.json ? writeShownTable(c, true) : code;
    }
    // Only the cells that differ from the unit's, unless every in-use
    // address is asked for as the window writes them.
    const auto written = ops::guarded(c.program.state, [&] {
        return ops::writeUnit(c.program.state, {!full, std::nullopt});
    });
    if (c.program.state.lastCopyBeforeWrite && !c.json)
        c.out << texts::fill(c.program.state.CargarTexto(texts::id::kSavedBeforeWriting),
                             {c.program.state.lastCopyBeforeWrite->string()})
              << "\n";
    if (written != ops::End::Done) return exitCodeOf(written);
    // Opening the file put its table into the grid and its colours into the
    // labels, which is what the table write sends. Failed halves and
    // differences are in its message box, on stderr.
    if (withTable) return writeShownTable(c, false);
    printStatus(c);
    return kOk;
}

int diffFileCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 2) return usageError(c, "diff: give exactly one parameter file");
    if (const int code = readUnitThenOpen(c, args[1]); code != kOk) return code;
    return printPlannedWrite(c, "diff", "file");
}

int logCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    std::optional<std::string> unit;
    const auto it = std::find(args.begin(), args.end(), "--unit");
    if (it != args.end()) {
        if (it + 1 == args.end()) return usageError(c, "log: --unit needs an identifier number");
        unit = *(it + 1);
        args.erase(it, it + 2);
    }
    if (args.size() != 1) return usageError(c, "log: unexpected argument '" + args[1] + "'");
    const files::WriteRecord record(c.program.state.platform.info.dataFolder);
    std::vector<files::WriteRecord::Line> lines;
    for (auto& line : record.read())
        if (!unit || line.unit == *unit) lines.push_back(std::move(line));
    if (!c.json) {
        for (const auto& l : lines)
            c.out << l.time << '\t' << l.unit << '\t' << l.field << '\t' << l.unitValue << '\t' << l.written << '\t'
                  << l.outcome << '\t' << files::cellsText(l.cells) << "\n";
        return kOk;
    }
    c.out << "{\"writes\": [";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& l = lines[i];
        c.out << (i > 0 ? ", " : "") << "{\"time\": " << jsonString(l.time) << ", \"unit\": " << jsonString(l.unit)
              << ", \"field\": " << jsonString(l.field) << ", \"before\": " << jsonString(l.unitValue)
              << ", \"written\": " << jsonString(l.written) << ", \"outcome\": " << jsonString(l.outcome)
              << ", \"cells\": " << jsonString(files::cellsText(l.cells)) << ", \"write\": " << l.write
              << ", \"undoes\": " << l.undoes << "}";
    }
    c.out << "]}\n";
    return kOk;
}

int checkFileCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 2) return usageError(c, "check: give exactly one parameter file");
    try {
        ops::openParameterFile(c.program.state, args[1]);
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << files::describe(e, c.program.state.texts, c.program.state.frm) << "\n";
        return kPortError;
    }
    c.out << "{\"fields\": " << fieldsJson(c.program.state.frm) << ", " << tableAsJson(c.program.state.flash) << "}\n";
    return kOk;
}

void addFileCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"write",
                        "write [--no-verify] [--no-record] [--dry-run] [--full] FILE.zrk [--table]  identify and\n"
                        "                 read the unit, open the parameter file into it, write the fields whose\n"
                        "                 cells differ (--full: every in-use address) and read them back; --dry-run\n"
                        "                 prints NAME (CAPTION): UNIT -> FILE and writes nothing; --no-record writes\n"
                        "                 even when the write record cannot be kept; --table then writes the file's\n"
                        "                 flash-pattern table too",
                        writeFileCommand});
    commands.push_back({"diff",
                        "diff FILE.zrk   identify and read the unit, print NAME (CAPTION): UNIT -> FILE for every\n"
                        "                 field whose cells a write of the file would change, as write --dry-run\n"
                        "                 (--json: {\"changes\": ...}); writes nothing",
                        diffFileCommand});
    commands.push_back({"log",
                        "log [--unit N]  the write log, newest last: time, unit, field, before, written, outcome,\n"
                        "                 cells (address:before>after)",
                        logCommand});
    addUndoCommand(commands);
    commands.push_back(
        {"check", "check FILE.zrk print what the parameter file sets (JSON); no unit needed", checkFileCommand});
}

}  // namespace zrk::cli
