#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ops/change_plan.h"
#include "ops/outcome.h"
#include "ops/parameter_memory.h"

namespace zrk::app {
class Program;
}

namespace zrk::cli {

// zrkctl's exit codes.
enum ExitCode { kOk = 0, kNoAnswer = 1, kUsage = 2, kPortError = 3 };

struct CommandContext {
    app::Program& program;
    bool json = false;
    std::ostream& out;
    std::ostream& err;
};

// One zrkctl command: its name, a usage line for the help text and what it
// does with its arguments (args[0] is the name); returns the exit code.
struct CommandSpec {
    std::string name;
    std::string usage;
    std::function<int(CommandContext&, const std::vector<std::string>&)> run;
};

// Each group of commands lives in a file of its own and adds itself here.
void addRemoteCommands(std::vector<CommandSpec>& commands);
void addParameterCommands(std::vector<CommandSpec>& commands);

const std::vector<CommandSpec>& allCommands();

// Runs one zrkctl command on a program whose form is loaded.
int runCommand(CommandContext& context, const std::vector<std::string>& args);

std::string usageText();

// Helpers for the command files.
int usageError(CommandContext& context, const std::string& problem);
// Takes --no-verify out of a command's arguments: that write then skips
// reading back what it sent.
void takeNoVerify(CommandContext& context, std::vector<std::string>& args);
// Takes --no-record out of a command's arguments: a write whose record
// cannot be kept then goes ahead without one.
void takeNoRecord(CommandContext& context, std::vector<std::string>& args);
// Takes an option such as --dry-run out of a command's arguments; whether it was there.
bool takeFlag(std::vector<std::string>& args, const std::string& flag);

// The one place an operation's outcome becomes an exit code (runCommand
// makes sure every code but 0 has its reason on stderr). Operations run as
// the window's buttons do, under ops::guarded; a port error's message is
// already on stderr (the console's message box).
int exitCodeOf(ops::End end);
template <typename Payload>
int exitCodeOf(const ops::Outcome<Payload>& outcome) {
    return exitCodeOf(outcome.end);
}
// One line per change, "NAME (CAPTION): UNIT -> NEW LABEL" with the caption and
// unit label in the active set, or with --json
// {"changes": [{"field": NAME, "unit": TEXT, <newKey>: TEXT}, ...]}.
void printChanges(CommandContext& context, const std::vector<ops::FieldChange>& changes, const std::string& newKey);
// A dry run and a diff: the change plan of the form against the unit,
// printed as printChanges does (a refused field instead on stderr, exit 3);
// nothing is sent.
int printPlannedWrite(CommandContext& context, const std::string& command, const std::string& newKey);
// The field row a parameter field's name stands for; nothing for a name
// that is no field a read decodes and a write sends.
std::optional<int> rowOfField(const std::string& name);

}  // namespace zrk::cli
