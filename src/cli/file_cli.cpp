// zrkctl read -o, write and check: parameter files from the command line.
#include "cli/form_json.h"
#include "cli/file_cli.h"

#include <algorithm>
#include <optional>

#include "app/program.h"
#include "cli/json.h"
#include "files/atomic_write.h"
#include "files/parameter_file.h"
#include "params/image_layout.h"
#include "params/numbers.h"
#include "params/parameter_memory.h"
#include "tables/segment_transfer.h"

namespace zrk::cli {
namespace {

using params::Outcome;

Outcome onDevice(CommandContext& c, Outcome (*operation)(app::Program&)) {
    Outcome outcome = Outcome::PortError;
    c.program.deviceOperation([&] { outcome = operation(c.program); });
    if (c.program.lastPortError) return Outcome::PortError;
    return outcome;
}

int exitCodeOf(CommandContext& c, Outcome outcome) {
    switch (outcome) {
        case Outcome::Done: return kOk;
        case Outcome::PortError: return kPortError;  // the message box already said why
        case Outcome::BadData:
            c.err << "zrkctl: " << c.program.frm.status() << "\n";
            return kPortError;
        case Outcome::NoAnswer:
        case Outcome::Cancelled:
        case Outcome::NothingToDo:
        case Outcome::WrongUnit:
        case Outcome::NotVerified:
            c.err << "zrkctl: " << c.program.frm.status() << "\n";
            return kNoAnswer;
    }
    return kNoAnswer;
}

void printStatus(CommandContext& c) {
    const std::string& status = c.program.frm.status();
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

// The end of a table transfer as an exit code, with every failed half on
// stderr; a port error's message is already there.
int tableTransferEnd(CommandContext& c, const std::optional<tables::TransferOutcome>& outcome) {
    if (c.program.lastPortError || !outcome) return kPortError;
    if (outcome->succeeded()) return kOk;
    for (const auto& failure : outcome->failures) c.err << "zrkctl: " << failure << "\n";
    c.err << "zrkctl: " << c.program.frm.status() << "\n";
    return kNoAnswer;
}

}  // namespace

int readToFileCommand(CommandContext& c, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const bool withTable = takeTableOption(args);
    if (args.size() != 3 || args[1] != "-o")
        return usageError(c, "read: give -o FILE.zrk [--table] to save a parameter file");
    const Outcome read = onDevice(c, params::readUnit);
    if (read != Outcome::Done) return exitCodeOf(c, read);
    // The unit's own table, all of it or nothing: a file must not carry a
    // table that is part the unit's and part the form's.
    if (withTable) {
        if (const int code = tableTransferEnd(c, tables::CLeerColores_Click(c.program)); code != kOk) return code;
    }
    try {
        files::saveParameterFile(c.program, args[2]);
    } catch (const params::ConversionError& e) {
        c.err << "zrkctl: the parameter file was not saved: " << e.what() << "\n";
        return kPortError;
    } catch (const files::FileError& e) {
        c.err << "zrkctl: " << e.what() << "\n";
        return kPortError;
    }
    printStatus(c);
    return kOk;
}

int writeFileCommand(CommandContext& c, std::vector<std::string> args) {
    takeNoVerify(c, args);
    const bool withTable = takeTableOption(args);
    if (args.size() != 2) return usageError(c, "write: give exactly one parameter file");
    try {
        // A bad file is refused before the unit is touched at all.
        files::checkParameterFile(files::readParameterFile(args[1]), args[1], files::listSizesOf(c.program.frm));
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << e.what() << "\n";
        return kPortError;
    }
    // The unit's own values first: the file leaves the identifier (and the
    // manufacturing data) as the read showed them.
    const Outcome read = onDevice(c, params::readUnit);
    if (read != Outcome::Done) return exitCodeOf(c, read);
    try {
        files::openParameterFile(c.program, args[1]);
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << e.what() << "\n";
        return kPortError;
    }
    const Outcome written = onDevice(c, params::writeUnit);
    if (written != Outcome::Done) return exitCodeOf(c, written);
    // Opening the file put its table into the grid and its colours into the
    // labels, which is what the table write sends.
    if (withTable) {
        if (const int code = tableTransferEnd(c, tables::CEscribirColores_Click(c.program)); code != kOk) return code;
    }
    printStatus(c);
    return kOk;
}

int checkFileCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 2) return usageError(c, "check: give exactly one parameter file");
    try {
        files::openParameterFile(c.program, args[1]);
    } catch (const files::ParameterFileError& e) {
        c.err << "zrkctl: " << e.what() << "\n";
        return kPortError;
    }
    c.out << "{\"fields\": " << fieldsJson(c.program.frm) << ", " << tableAsJson(c.program.flash) << "}\n";
    return kOk;
}

void addFileCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"write",
                        "write [--no-verify] FILE.zrk [--table]  identify and read the unit, open the parameter\n"
                        "                 file into it, write and read back what was written; --table then\n"
                        "                 writes the file's flash-pattern table too",
                        writeFileCommand});
    commands.push_back({"check", "check FILE.zrk print what the parameter file sets (JSON); no unit needed",
                        checkFileCommand});
}

}  // namespace zrk::cli
