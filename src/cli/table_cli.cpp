// zrkctl table read / table write FILE.json.
#include "cli/table_cli.h"

#include "app/program.h"
#include "cli/json.h"
#include "files/table_file.h"
#include "ops/device_operation.h"
#include "ops/segment_transfer.h"
#include "ops/table_write.h"

namespace zrk::cli {
namespace {

// A failed read's message (its status line naming table, half and offset)
// goes to stderr; a failed write's was shown in a message box, which zrkctl
// prints there, as a port error's.
int readEnd(CommandContext& c, const ops::Outcome<ops::TransferReport>& outcome) {
    if (!outcome.done() && outcome != ops::End::PortError) c.err << "zrkctl: " << outcome.message << "\n";
    return exitCodeOf(outcome);
}

void printTable(CommandContext& c, const files::TableFile& table) {
    if (c.json) {
        c.out << files::tableJson(table);
        return;
    }
    for (std::size_t row = 0; row < table.colors.size(); ++row) {
        c.out << "row " << row + 1 << "  colour " << table.colors[row] << "  entries";
        for (std::int32_t entry : table.pattern[row]) c.out << ' ' << entry;
        c.out << "\n";
    }
}

int readTable(CommandContext& c) {
    const int code = readEnd(c, ops::CLeerColores_Click(c.program.state));
    if (code == kOk) printTable(c, files::tableFileOf(c.program.state.flash));
    return code;
}

int writeTable(CommandContext& c, const std::string& path, bool dryRun) {
    files::TableFile file;
    try {
        file = files::readTableFile(path);
    } catch (const files::TableFileError& e) {
        c.err << "zrkctl: " << e.describe(c.program.state.texts) << "\n";
        return kPortError;
    }
    // As in the window: the write sends what the colour labels show.
    for (int row = 1; row <= 8; ++row) {
        const auto r = static_cast<std::size_t>(row - 1);
        c.program.state.frm.LColor(row).setCaption(std::to_string(file.colors[r]));
        for (int col = 1; col <= 32; ++col)
            c.program.state.flash.pauta(row, col) = file.pattern[r][static_cast<std::size_t>(col - 1)];
    }
    return writeShownTable(c, dryRun);
}

int tableCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    bool dryRun = false;
    if (args.size() >= 2 && args[1] == "write") {
        takeNoVerify(c, args);
        takeNoRecord(c, args);
        dryRun = takeFlag(args, "--dry-run");
    }
    if (args.size() == 2 && args[1] == "read") return readTable(c);
    if (args.size() == 3 && args[1] == "write") return writeTable(c, args[2], dryRun);
    if (args.size() >= 2 && args[1] == "write") return usageError(c, "table write: give exactly one JSON file");
    return usageError(c, "table: give read, or write FILE.json");
}

}  // namespace

int writeShownTable(CommandContext& c, bool dryRun) {
    const auto outcome =
        ops::guarded(c.program.state, [&] { return ops::plannedTableWrite(c.program.state, {.dryRun = dryRun}); });
    const ops::TableWriteResult& result = outcome.payload;
    const int code = exitCodeOf(outcome);
    if (outcome == ops::End::PortError || outcome == ops::End::NotStarted) return code;
    if (c.json) {
        std::string rows, lines;
        for (const auto& row : result.plan.rows) rows += (rows.empty() ? "" : ", ") + std::to_string(row.row);
        for (const auto& line : result.lines) lines += (lines.empty() ? "" : ", ") + jsonString(line);
        c.out << "{\"status\": " << jsonString(c.program.state.frm.status())
              << ", \"unit\": " << result.plan.unit.identifier << ", \"rows\": [" << rows << "], \"changes\": ["
              << lines << "], \"cells\": " << result.plan.cells().size()
              << ", \"failedHalves\": " << result.report.failedHalves << "}\n";
        return code;
    }
    for (const auto& line : result.lines) c.out << line << "\n";
    if (dryRun) return code;
    if (c.program.state.lastCopyBeforeWrite && !result.plan.rows.empty() && code != kPortError)
        c.out << texts::fill(c.program.state.CargarTexto(texts::id::kSavedBeforeWriting),
                             {c.program.state.lastCopyBeforeWrite->string()})
              << "\n";
    if (code == kOk) c.out << c.program.state.frm.status() << "\n";
    // Other endings said why in their message, which zrkctl prints on stderr.
    return code;
}

void addTableCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"table",
                        "table read     read the flash-pattern table from the unit; with --json as\n"
                        "                 {\"colors\": [8 numbers], \"pattern\": [8 rows of 32 numbers]}\n"
                        "  table write [--no-verify] [--no-record] [--dry-run] FILE.json\n"
                        "                 read the unit's table, write the cells of a table of that shape\n"
                        "                 that differ and read them back; the write record keeps a copy\n"
                        "                 of the table before (--dry-run prints the changes, sends nothing)",
                        tableCommand});
}

}  // namespace zrk::cli
