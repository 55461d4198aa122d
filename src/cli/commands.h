#pragma once

#include <ostream>
#include <string>
#include <vector>

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

// Runs one zrkctl command (its name and arguments) on a program whose form
// is loaded; returns the exit code.
int runCommand(CommandContext& context, const std::vector<std::string>& args);

const char* usageText();

}  // namespace zrk::cli
