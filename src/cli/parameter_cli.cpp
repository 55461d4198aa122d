// zrkctl identify, read and set: the parameter memory of the unit.
#include <charconv>
#include <cstdio>

#include "app/program.h"
#include "cli/commands.h"
#include "cli/file_cli.h"
#include "cli/form_json.h"
#include "cli/json.h"
#include "params/parameter_memory.h"
#include "params/visibility.h"

namespace zrk::cli {
namespace {

int exitCodeOf(params::Outcome outcome) {
    switch (outcome) {
        case params::Outcome::Done: return kOk;
        case params::Outcome::BadData:
        case params::Outcome::PortError: return kPortError;
        case params::Outcome::NoAnswer:
        case params::Outcome::Cancelled:
        case params::Outcome::NothingToDo:
        case params::Outcome::WrongUnit:
        case params::Outcome::NotVerified: break;
    }
    return kNoAnswer;
}

// Runs a parameter operation the way the window's button does: under the
// one-operation guard.
params::Outcome run(CommandContext& c, params::Outcome (*operation)(app::Program&)) {
    params::Outcome outcome = params::Outcome::PortError;
    c.program.deviceOperation([&] { outcome = operation(c.program); });
    return outcome;
}

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
    const auto outcome = run(c, params::IdentificarZRK);
    if (outcome != params::Outcome::Done) return exitCodeOf(outcome);
    if (!c.json) {
        c.out << mapHex(c.program.MapaParametros) << "\n";
        return kOk;
    }
    std::string visible;
    for (const auto& row : params::visibilityTable())
        for (const auto& ref : row.shown) {
            const auto& control = c.program.frm.controls().at(ref.name, ref.index);
            const bool field = control.kind() == app::Kind::TextBox || control.kind() == app::Kind::ComboBox ||
                               control.kind() == app::Kind::CheckBox;
            if (field && control.Visible()) visible += (visible.empty() ? "" : ", ") + jsonString(control.key());
        }
    c.out << "{\"map\": " << jsonString(mapHex(c.program.MapaParametros)) << ", \"visible\": [" << visible << "]}\n";
    return kOk;
}

int read(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() >= 2 && args[1] == "-o") return readToFileCommand(c, args);
    if (args.size() != 1) return usageError(c, "read: unexpected argument '" + args[1] + "'");
    const auto outcome = run(c, params::readUnit);
    const std::string& status = c.program.frm.status();
    if (c.json)
        c.out << "{\"fields\": " << fieldsJson(c.program.frm) << ", \"status\": " << jsonString(status) << "}\n";
    else
        c.out << status << "\n";
    return exitCodeOf(outcome);
}

// Applies NAME=VALUE to the form: text fields take the text, lists and check
// boxes the number. Returns an empty string or what is wrong.
std::string assign(app::FrmMain& frm, const std::string& setting) {
    const auto equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) return "'" + setting + "' is not NAME=VALUE";
    const std::string name = setting.substr(0, equals), value = setting.substr(equals + 1);
    app::Control* field = nullptr;
    for (app::Control* f : parameterFields(frm))
        if (f->name() == name) field = f;
    if (field == nullptr) return "'" + name + "' is not a parameter field";
    if (auto* text = dynamic_cast<app::TextBox*>(field)) {
        text->setText(value);
        return {};
    }
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) return name + " takes a number, not '" + value + "'";
    if (auto* list = dynamic_cast<app::ComboBox*>(field)) list->setListIndex(number);
    if (auto* check = dynamic_cast<app::CheckBox*>(field)) check->setValue(number);
    return {};
}

int set(CommandContext& c, std::vector<std::string> args) {
    takeNoVerify(c, args);
    if (args.size() < 2) return usageError(c, "set: give at least one NAME=VALUE");
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto equals = args[i].find('=');
        if (equals == std::string::npos || equals == 0) return usageError(c, "set: '" + args[i] + "' is not NAME=VALUE");
    }
    const auto readOutcome = run(c, params::readUnit);
    if (readOutcome != params::Outcome::Done) return exitCodeOf(readOutcome);
    for (std::size_t i = 1; i < args.size(); ++i) {
        try {
            if (const auto problem = assign(c.program.frm, args[i]); !problem.empty()) {
                c.err << "zrkctl: set: " << problem << "; nothing was written\n";
                return problem.find("is not a parameter field") != std::string::npos ? kUsage : kPortError;
            }
        } catch (const app::ControlError& e) {
            c.err << "zrkctl: set: " << e.what() << "; nothing was written\n";
            return kPortError;
        }
    }
    const auto outcome = run(c, params::writeUnit);
    c.out << c.program.frm.status() << "\n";
    // The window said why in its message box; zrkctl says it on standard error.
    if (outcome != params::Outcome::Done && !c.program.lastPortError)
        c.err << "zrkctl: set: " << c.program.frm.status() << "\n";
    return exitCodeOf(outcome);
}

}  // namespace

void addParameterCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"identify", "identify       read the unit's in-use map (64 hex digits; --json adds the fields shown)",
                        identify});
    commands.push_back({"read", "read [-o FILE.zrk [--table]]  identify and read the unit; --json prints every field and the\n                 status; -o saves a parameter file, with the unit's flash-pattern table when --table", read});
    commands.push_back({"set",
                        "set [--no-verify] NAME=VALUE ...  identify, read, change those fields, write back and\n"
                        "                 read back what was written (--no-verify skips the read-back)",
                        set});
}

}  // namespace zrk::cli
