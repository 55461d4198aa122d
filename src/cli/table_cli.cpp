// zrkctl table read / table write FILE.json.
#include "cli/table_cli.h"

#include "app/program.h"
#include "cli/json.h"
#include "cli/table_json.h"
#include "ops/segment_transfer.h"

namespace zrk::cli {
namespace {

// A failed read's message (its status line naming table, half and offset)
// goes to stderr; a failed write's was shown in a message box, which zrkctl
// prints there, as a port error's.
int readEnd(CommandContext& c, const ops::Outcome<tables::TransferReport>& outcome) {
    if (!outcome.done() && outcome != ops::End::PortError) c.err << "zrkctl: " << outcome.message << "\n";
    return exitCodeOf(outcome);
}

void printTable(CommandContext& c, const TableFile& table) {
    if (c.json) {
        c.out << tableJson(table);
        return;
    }
    for (std::size_t row = 0; row < table.colors.size(); ++row) {
        c.out << "row " << row + 1 << "  colour " << table.colors[row] << "  entries";
        for (std::int32_t entry : table.pattern[row]) c.out << ' ' << entry;
        c.out << "\n";
    }
}

int readTable(CommandContext& c) {
    const int code = readEnd(c, tables::CLeerColores_Click(c.program));
    if (code == kOk) printTable(c, tableFileOf(c.program.flash));
    return code;
}

int writeTable(CommandContext& c, const std::string& path) {
    TableFile file;
    try {
        file = readTableFile(path);
    } catch (const TableFileError& e) {
        c.err << "zrkctl: " << e.what() << "\n";
        return kPortError;
    }
    // As in the window: the write sends what the colour labels show.
    for (int row = 1; row <= 8; ++row) {
        const auto r = static_cast<std::size_t>(row - 1);
        c.program.frm.LColor(row).setCaption(std::to_string(file.colors[r]));
        for (int col = 1; col <= 32; ++col)
            c.program.flash.pauta(row, col) = file.pattern[r][static_cast<std::size_t>(col - 1)];
    }
    const auto outcome = tables::CEscribirColores_Click(c.program);
    const int code = exitCodeOf(outcome);
    if (code == kPortError) return code;
    if (c.json)
        c.out << "{\"status\": " << jsonString(c.program.frm.status())
              << ", \"failedHalves\": " << outcome.payload.failedHalves << "}\n";
    else if (code == kOk)
        c.out << c.program.frm.status() << "\n";
    return code;
}

int tableCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    if (args.size() >= 2 && args[1] == "write") takeNoVerify(c, args);
    if (args.size() == 2 && args[1] == "read") return readTable(c);
    if (args.size() == 3 && args[1] == "write") return writeTable(c, args[2]);
    if (args.size() >= 2 && args[1] == "write") return usageError(c, "table write: give exactly one JSON file");
    return usageError(c, "table: give read, or write FILE.json");
}

}  // namespace

void addTableCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"table",
                        "table read     read the flash-pattern table from the unit; with --json as\n"
                        "                 {\"colors\": [8 numbers], \"pattern\": [8 rows of 32 numbers]}\n"
                        "  table write [--no-verify] FILE.json\n"
                        "                 write a table of that shape to the unit and read it back",
                        tableCommand});
}

}  // namespace zrk::cli
