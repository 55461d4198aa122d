#include "cli/commands.h"

#include <streambuf>

#include "app/program.h"
#include "cli/file_cli.h"
#include "cli/json.h"
#include "cli/live_cli.h"
#include "cli/table_cli.h"
#include "ops/device_operation.h"
#include "params/numbers.h"

namespace zrk::cli {
namespace {

// Passes everything on to the stream it wraps and notes that something was said.
class NotingBuffer : public std::streambuf {
public:
    explicit NotingBuffer(std::streambuf* target) : target_(target) {}
    bool said() const { return said_; }

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        said_ = true;
        return target_->sputc(static_cast<char>(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (n > 0) said_ = true;
        return target_->sputn(s, n);
    }
    int sync() override { return target_->pubsync(); }

private:
    std::streambuf* target_;
    bool said_ = false;
};

}  // namespace

const std::vector<CommandSpec>& allCommands() {
    static const std::vector<CommandSpec> commands = [] {
        std::vector<CommandSpec> list;
        addRemoteCommands(list);
        addParameterCommands(list);
        addFileCommands(list);
        addLiveCommands(list);
        addTableCommands(list);
        return list;
    }();
    return commands;
}

std::string usageText() {
    std::string text =
        "Usage: zrkctl [--port DEVICE | --com N | --simulate[=SCENARIO]] [--json] [--trace FILE] COMMAND ...\n"
        "The ZRK service tool's procedures from the command line.\n"
        "Options:\n"
        "  -h, --help       show this help and exit\n"
        "  -v, --version    show the version and exit\n"
        "  --trace FILE     every frame sent, reply read and byte thrown away, one line each; - for standard error\n"
        "Commands:\n";
    for (const auto& command : allCommands()) text += "  " + command.usage + "\n";
    text +=
        "exit codes: 0 done, 1 the unit did not answer or a transaction failed, 2 usage error,\n"
        "            3 port error, conversion error or bad file\n";
    return text;
}

int usageError(CommandContext& c, const std::string& problem) {
    c.err << "zrkctl: " << problem << "\n" << usageText();
    return kUsage;
}

void takeNoVerify(CommandContext& c, std::vector<std::string>& args) {
    if (std::erase(args, std::string("--no-verify")) > 0) c.program.state.verifyOverride = false;
}

void takeNoRecord(CommandContext& c, std::vector<std::string>& args) {
    if (std::erase(args, std::string("--no-record")) > 0) c.program.state.writeWithoutRecord = true;
}

bool takeFlag(std::vector<std::string>& args, const std::string& flag) { return std::erase(args, flag) > 0; }

int exitCodeOf(ops::End end) {
    using ops::End;
    switch (end) {
        case End::Done:
            return kOk;
        case End::PortError:
            return kPortError;  // the message box already said why
        case End::BadData:
        case End::NotRecorded:
            return kPortError;
        case End::NoAnswer:
        case End::Cancelled:
        case End::NothingToDo:
        case End::WrongUnit:
        case End::NotVerified:
        case End::NotStarted:
            break;
    }
    // The reason is said once, by the operation's message or by runCommand,
    // which names the command with the status when nothing else was said.
    return kNoAnswer;
}

void printChanges(CommandContext& c, const std::vector<ops::FieldChange>& changes, const std::string& newKey) {
    if (!c.json) {
        // The code name scripts know, then the caption and unit label people read.
        for (const auto& change : changes)
            c.out << change.field << " (" << change.caption << "): " << change.unitValue << " -> " << change.newValue
                  << (change.unit.empty() ? "" : " " + change.unit) << "\n";
        return;
    }
    c.out << "{\"changes\": [";
    for (std::size_t i = 0; i < changes.size(); ++i)
        c.out << (i > 0 ? ", " : "") << "{\"field\": " << jsonString(changes[i].field)
              << ", \"unit\": " << jsonString(changes[i].unitValue) << ", " << jsonString(newKey) << ": "
              << jsonString(changes[i].newValue) << "}";
    c.out << "]}\n";
}

int printPlannedWrite(CommandContext& c, const std::string& command, const std::string& newKey) {
    const ops::ChangePlan plan = ops::planWrite(c.program.state);
    if (const ops::FieldPlan* refused = plan.refused()) {
        c.err << "zrkctl: " << command << ": " << refused->refusal << "\n";
        return kPortError;
    }
    printChanges(c, ops::changeLines(c.program.state, plan, ops::ValueStyle::Numbers), newKey);
    return kOk;
}

std::optional<int> rowOfField(const std::string& name) {
    for (int row : params::rowAddresses())
        if (params::fieldAt(row) == name) return row;
    return std::nullopt;
}

int runCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.empty()) return usageError(c, "no command given");
    for (const auto& command : allCommands()) {
        if (command.name != args[0]) continue;
        // A failure must never end silently: when the command said nothing
        // on standard error (the message boxes go there too), the status line
        // says what went wrong; it names the address where a transfer stopped.
        std::streambuf* const original = c.err.rdbuf();
        NotingBuffer noting(original);
        c.err.rdbuf(&noting);
        int code = kOk;
        try {
            code = command.run(c, args);
        } catch (...) {
            c.err.rdbuf(original);
            throw;
        }
        c.err.rdbuf(original);
        if (code != kOk && !noting.said()) {
            const std::string& status = c.program.state.frm.status();
            c.err << "zrkctl: " << command.name << ": "
                  << (status.empty() ? texts::fill(c.program.state.CargarTexto(texts::id::kFailedWithoutStatus),
                                                   {std::to_string(code)})
                                     : status)
                  << "\n";
        }
        return code;
    }
    return usageError(c, "unknown command '" + args[0] + "'");
}

}  // namespace zrk::cli
