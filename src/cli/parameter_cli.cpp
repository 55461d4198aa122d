// zrkctl identify, read and set: the parameter memory of the unit.
#include <charconv>
#include <cstdio>
#include <optional>

#include "app/program.h"
#include "cli/commands.h"
#include "cli/file_cli.h"
#include "cli/form_json.h"
#include "cli/json.h"
#include "ops/device_operation.h"
#include "ops/parameter_memory.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "texts/text_ids.h"

namespace zrk::cli {
namespace {

std::string mapHex(const params::ParameterMap& map) {
    std::string hex;
    for (auto byte : map.bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return hex;
}

int identify(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError(c, "identify takes no arguments");
    const auto outcome = ops::guarded(c.program.state, [&] { return ops::IdentificarZRK(c.program.state); });
    if (outcome != ops::End::Done) return exitCodeOf(outcome);
    if (!c.json) {
        c.out << mapHex(c.program.state.MapaParametros) << "\n";
        return kOk;
    }
    std::string visible;
    for (const form::Control* field : params::identifiedFields(c.program.state.frm))
        if (field->Visible()) visible += (visible.empty() ? "" : ", ") + jsonString(field->key());
    c.out << "{\"map\": " << jsonString(mapHex(c.program.state.MapaParametros)) << ", \"visible\": [" << visible
          << "]}\n";
    return kOk;
}

int read(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() >= 2 && args[1] == "-o") return readToFileCommand(c, args);
    if (args.size() != 1) return usageError(c, "read: unexpected argument '" + args[1] + "'");
    const auto outcome = ops::guarded(c.program.state, [&] { return ops::readUnit(c.program.state); });
    const std::string& status = c.program.state.frm.status();
    if (c.json)
        c.out << "{\"fields\": " << fieldsJson(c.program.state.frm) << ", \"status\": " << jsonString(status) << "}\n";
    else
        c.out << status << "\n";
    return exitCodeOf(outcome);
}

// Applies NAME=VALUE to the form: text fields take the text, lists and check
// boxes the number. Returns an empty string or what is wrong, in the active set.
std::string assign(app::Program& program, const std::string& setting) {
    form::FrmMain& frm = program.state.frm;
    const auto equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) return "'" + setting + "' is not NAME=VALUE";
    const std::string name = setting.substr(0, equals), value = setting.substr(equals + 1);
    form::Control* field = nullptr;
    for (form::Control* f : parameterFields(frm))
        if (f->name() == name) field = f;
    if (field == nullptr) return "'" + name + "' is not a parameter field";
    if (auto* text = dynamic_cast<form::TextBox*>(field)) {
        text->setText(value);
        return {};
    }
    // A list takes -1 (no choice) to its last item, a check box its three states.
    auto* list = dynamic_cast<form::ComboBox*>(field);
    auto* check = dynamic_cast<form::CheckBox*>(field);
    const int lowest = list != nullptr ? -1 : 0;
    const int highest = list != nullptr ? list->ListCount() - 1 : 2;
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < lowest || number > highest) {
        const auto row = rowOfField(name);
        const std::string caption = row ? params::fieldCaption(frm, *row) : name;
        return texts::fill(program.state.CargarTexto(texts::id::kTakesWholeNumber),
                           {name, caption, std::to_string(lowest), std::to_string(highest), value});
    }
    if (list != nullptr) list->setListIndex(number);
    if (check != nullptr) check->setValue(number);
    return {};
}

// The field rows of `names`, or a usage error naming the first that is no
// field a read decodes and a write sends.
std::optional<std::vector<int>> rowsOf(CommandContext& c, const std::vector<std::string>& names,
                                       const std::string& command) {
    std::vector<int> rows;
    for (const auto& name : names) {
        const auto row = rowOfField(name);
        if (!row) {
            usageError(c, command + ": '" + name + "' is not a parameter field");
            return std::nullopt;
        }
        rows.push_back(*row);
    }
    return rows;
}

// Identifies the unit and reads only the cells of `rows`; a field the unit
// does not have is an error naming it.
int identifyAndReadFields(CommandContext& c, const std::vector<int>& rows, const std::string& command) {
    const auto identified = ops::guarded(c.program.state, [&] { return ops::IdentificarZRK(c.program.state); });
    if (identified != ops::End::Done) return exitCodeOf(identified);
    for (int row : rows) {
        bool inUse = false;
        for (int i = 0; i < params::rowLength(row); ++i)
            inUse = inUse || c.program.state.MapaParametros.ComprobarParametro(row + i);
        if (!inUse) {
            c.err << "zrkctl: "
                  << texts::fill(c.program.state.CargarTexto(texts::id::kUnitDoesNotUseField),
                                 {command, params::fieldAt(row), params::fieldCaption(c.program.state.frm, row)})
                  << "\n";
            return kPortError;
        }
    }
    return exitCodeOf(ops::guarded(c.program.state, [&] { return ops::readFields(c.program.state, rows); }));
}

int get(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() < 2) return usageError(c, "get: give at least one field name");
    const std::vector<std::string> names(args.begin() + 1, args.end());
    const auto rows = rowsOf(c, names, "get");
    if (!rows) return kUsage;
    if (const int code = identifyAndReadFields(c, *rows, "get"); code != kOk) return code;
    if (c.json) {
        std::string fields;
        for (const auto& name : names)
            fields += (fields.empty() ? "" : ", ") + jsonString(name) + ": " +
                      fieldValueJson(c.program.state.frm.controls().at(name));
        c.out << "{\"fields\": {" << fields << "}}\n";
    } else {
        for (const auto& name : names) {
            const auto& field = c.program.state.frm.controls().at(name);
            const auto* text = dynamic_cast<const form::TextBox*>(&field);
            c.out << name << ": " << (text != nullptr ? text->Text() : fieldValueJson(field)) << "\n";
        }
    }
    return kOk;
}

int set(CommandContext& c, std::vector<std::string> args) {
    takeNoVerify(c, args);
    takeNoRecord(c, args);
    const bool dryRun = takeFlag(args, "--dry-run");
    if (args.size() < 2) return usageError(c, "set: give at least one NAME=VALUE");
    std::vector<std::string> names;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto equals = args[i].find('=');
        if (equals == std::string::npos || equals == 0)
            return usageError(c, "set: '" + args[i] + "' is not NAME=VALUE");
        names.push_back(args[i].substr(0, equals));
    }
    const auto rows = rowsOf(c, names, "set");
    if (!rows) return kUsage;
    // Only the cells of these fields are read, and only they are written.
    if (const int code = identifyAndReadFields(c, *rows, "set"); code != kOk) return code;
    for (std::size_t i = 1; i < args.size(); ++i) {
        try {
            if (const auto problem = assign(c.program, args[i]); !problem.empty()) {
                c.err << "zrkctl: "
                      << texts::fill(c.program.state.CargarTexto(texts::id::kRefusedNothingWritten), {"set", problem})
                      << "\n";
                return kPortError;
            }
        } catch (const form::ControlError& e) {
            c.err << "zrkctl: "
                  << texts::fill(c.program.state.CargarTexto(texts::id::kRefusedNothingWritten), {"set", e.what()})
                  << "\n";
            return kPortError;
        }
    }
    if (dryRun) return printPlannedWrite(c, "set", "new");
    const auto outcome = ops::guarded(c.program.state, [&] {
        return ops::writeUnit(c.program.state, {true, std::nullopt});
    });
    c.out << c.program.state.frm.status() << "\n";
    return exitCodeOf(outcome);
}

// The parameter fields get and set take, one per line (for shell completion).
int fields(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError(c, "fields takes no arguments");
    // Tab-separated: the name get and set take, then the caption and the unit
    // label the window shows beside it, in the active set.
    for (int row : params::rowAddresses())
        c.out << params::fieldAt(row) << '\t' << params::fieldCaption(c.program.state.frm, row) << '\t'
              << params::fieldUnit(c.program.state.frm, row) << "\n";
    return kOk;
}

}  // namespace

void addParameterCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"identify",
                        "identify       read the unit's in-use map (64 hex digits; --json adds the fields shown)",
                        identify});
    commands.push_back(
        {"read",
         "read [-o FILE.zrk [--table]]  identify and read the unit; --json prints every field and the\n                "
         " status; -o saves a parameter file, with the unit's flash-pattern table when --table",
         read});
    commands.push_back(
        {"fields",
         "fields          the names get and set take, one per line, with caption and unit (tab-separated); no\n"
         "                unit needed",
         fields});
    commands.push_back(
        {"get", "get NAME ...    identify, read only those fields and print them (--json: {\"fields\": ...})", get});
    commands.push_back({"set",
                        "set [--no-verify] [--no-record] [--dry-run] NAME=VALUE ...  identify, read only those\n"
                        "                 fields, change them, write what changed and read it back (--no-verify\n"
                        "                 skips the read-back; --no-record writes even when the write record\n"
                        "                 cannot be kept; --dry-run prints NAME (CAPTION): UNIT -> NEW and writes\n"
                        "                 nothing)",
                        set});
}

}  // namespace zrk::cli
