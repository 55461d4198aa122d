#pragma once

// The refusals and failures the error-path tests drive zrkctl into: units
// that do not answer or lose a frame, faults on one frame of each command,
// bad lines, table transfers cut short. Shared by the tests that check what
// each does to the unit and the test that checks what each says.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "ctl_fixture.h"
#include "files/table_file.h"
#include "files/write_record.h"
#include "frame_hook_port.h"
#include "ops/segment_transfer.h"
#include "started_program.h"

namespace zrk::test {

// A command that fails, on a unit that is silent or loses the frames `lose` picks.
struct FailingCommand {
    const char* name;
    PortFactory unit;
    std::function<bool(const FrameHookPort::Frame&)> lose;  // with a hooked unit
    std::vector<std::string> args;
    int code;
    std::vector<std::string> says;  // what standard error holds, in English
};

inline std::vector<FailingCommand> failingCommands() {
    constexpr std::uint8_t kRead = 1, kWrite = 2;
    const auto silent = scriptedUnit();
    const auto hooked = hookedUnit("led-lantern");
    return {
        {"command, silent unit",
         silent,
         {},
         {"command", "day"},
         cli::kNoAnswer,
         {"zrkctl: command day: no answer from the unit", "day mode failed"}},
        {"status, silent unit",
         silent,
         {},
         {"status", "--lamps", "--changer", "0"},
         cli::kNoAnswer,
         {"zrkctl: status: no answer from the unit"}},
        {"identify, silent unit",
         silent,
         {},
         {"identify"},
         cli::kNoAnswer,
         {"zrkctl: identify: No answer from the unit"}},
        {"read, lost at address 27",
         hooked,
         [](const auto& f) { return f.command == kRead && f.parameter1 == 27; },
         {"read"},
         cli::kNoAnswer,
         {"zrkctl: read: ", "27"}},
        // set reads and writes only the cells of its fields: TPWMLed is address 49.
        {"set, read lost at address 49",
         hooked,
         [](const auto& f) { return f.command == kRead && f.parameter1 == 49; },
         {"set", "TPWMLed=81"},
         cli::kNoAnswer,
         {"zrkctl: set: ", "49"}},
        {"set, write lost at address 49",
         hooked,
         [](const auto& f) { return f.command == kWrite && f.parameter1 == 49; },
         {"set", "TPWMLed=81"},
         cli::kNoAnswer,
         {"zrkctl: set: ", "address 49"}},
    };
}

// Every zrkctl procedure that talks to the unit, and the faults put on one
// of its frames. "@" in an argument stands for the folder of the run.
struct SweepOperation {
    const char* name;
    std::vector<std::string> args;
    bool writes;            // changes the unit; the record is checked
    bool printsResult;      // its standard output is its result
    const char* savedFile;  // the file it saves, if any
};

inline const SweepOperation kSweepOperations[] = {
    {"read", {"read", "-o", "@/saved.zrk"}, false, false, "saved.zrk"},
    {"get", {"get", "TVelocidadUsuario1", "ComboTipoMotor", "TLuxON"}, false, true, nullptr},
    {"set", {"set", "TVelocidadUsuario1=15.5", "ComboTipoMotor=2"}, true, true, nullptr},
    {"write", {"write", "@/changed.zrk"}, true, false, nullptr},
    {"write --full", {"write", "--full", "@/changed.zrk"}, true, false, nullptr},
    {"table read", {"table", "read"}, false, true, nullptr},
    {"table write", {"table", "write", "@/table.json"}, true, false, nullptr},
    {"status", {"status"}, false, true, nullptr},
    {"io", {"io"}, false, true, nullptr},
    {"command", {"command", "day"}, true, false, nullptr},
};

// "K" stands for the frame the fault hits.
inline const char* const kSweepFaults[] = {
    "silent=K",   "flip=K",      "flip=K:1",     "flip=K:60",    "duplicate=K:40", "noise=K:3",
    "previous=K", "lose-byte=K", "stall=K:2200", "stall=K:6000", "dead-from=K",    "disconnect-after=K",
};

// A fault text with "K" standing for the frame, counted from the command's
// first frame.
inline std::string faultAt(const std::string& pattern, std::size_t frame, std::size_t alreadyReceived) {
    std::string text = pattern;
    const auto at = text.find('K');
    if (at != std::string::npos) text.replace(at, 1, std::to_string(alreadyReceived + frame));
    return text;
}

// A parameter file and a table that differ from the unit in a few places,
// made once on a healthy unit, written into the folder of a run.
inline void writeSweepInputs(const TempFolder& folder) {
    static const std::pair<std::string, std::string> made = [] {
        Ctl cli;
        cli.started.program->LoadWithoutWindow();
        EXPECT_EQ(cli.run({"set", "TVelocidadUsuario1=15.5", "ComboTipoMotor=2"}), cli::kOk) << cli.err.str();
        EXPECT_EQ(cli.run({"read", "-o", cli.path("changed.zrk")}), cli::kOk) << cli.err.str();
        std::string colors, rows;
        const char* const colours[] = {"16777215", "255", "65280", "16711680", "65535", "16776960", "0", "8421504"};
        for (int r = 0; r < 8; ++r) {
            colors += std::string(r ? ", " : "") + colours[r];
            std::string row;
            for (int c = 0; c < 32; ++c) row += (c ? ", " : "") + std::to_string(c < 4 ? (r * 40 + c * 10) % 360 : 511);
            rows += std::string(r ? ", " : "") + "[" + row + "]";
        }
        return std::pair{fileText(cli.path("changed.zrk")),
                         "{\"colors\": [" + colors + "], \"pattern\": [" + rows + "]}"};
    }();
    folder.write("changed.zrk", made.first);
    folder.write("table.json", made.second);
}

// A command's arguments with "@" replaced by the folder of the run.
inline std::vector<std::string> argsIn(const SweepOperation& op, const std::string& folder) {
    std::vector<std::string> args;
    for (const auto& a : op.args) args.push_back(a[0] == '@' ? folder + a.substr(1) : a);
    return args;
}

// A bad line under read -o and set: stalls, trailing bytes, garbage.
struct HostileCase {
    const char* name;
    const char* faults;
    bool alsoFreeForm;  // a unit with free-form headers is covered as well
};

inline const HostileCase kHostileLines[] = {
    // (A unit with its own header shows it in the first three frames.)
    {"stall of 2.2 s in identification", "stall=@5:2200", true},
    {"stall of 2.2 s while reading", "stall=@40:2200", true},
    {"stall of 2.2 s at the end", "stall=@-2:2200", true},
    {"20 trailing bytes per reply", "extra=20", true},
    {"trailing bytes and a stall", "extra=20,stall=@-5:2200", true},
    {"garbage now and then from a unit that frames", "garbage-every=10", false},
    {"garbage and trailing bytes", "garbage-every=9,extra=3", false},
};

inline const std::vector<std::string> kHostileSet = {"set", "TVelocidadUsuario1=15.5", "ComboTipoMotor=2"};

// A fault text; "@N" stands for the frame N of the command, counted back
// from its end when negative.
inline std::string faultsFor(std::string text, std::size_t frames, std::size_t alreadyReceived) {
    const auto at = text.find('@');
    if (at == std::string::npos) return text;
    const auto end = text.find_first_of(":,", at);
    const long n = std::stol(text.substr(at + 1, end - at - 1));
    const long frame = static_cast<long>(alreadyReceived) + (n > 0 ? n : static_cast<long>(frames) + n);
    return text.replace(at, end - at, std::to_string(frame));
}

// Table transfers cut short: something in every row, so that a transferred
// byte that goes astray shows.
inline files::TableFile busyTable() {
    files::TableFile table;
    for (std::size_t r = 0; r < 8; ++r) {
        table.colors[r] = static_cast<std::int32_t>(0x102030 * (r + 1) % 0x1000000);
        for (std::size_t c = 0; c < 32; ++c) table.pattern[r][c] = static_cast<std::int32_t>((r * 37 + c * 11) % 360);
    }
    return table;
}

// Frames 269 on are table 3: 4 halves of 67 come before it.
inline constexpr int kFirstOfTable3 = 4 * ops::kHalfLength + 1;
// A write first identifies the unit, reads its table and number, and checks
// the number again before its first cell.
inline constexpr int kBeforeWrites = 2 + ops::kTransferTransactions + 2 + 2;

// A write the log holds, for undo: PWM Led 80 -> 81 and the motor type
// 3 -> 0 on the LED lantern (identifier number 40101).
inline void logLanternWrite(const std::filesystem::path& dataFolder) {
    files::WriteRecord::Line pwm{"t", "40101", "TPWMLed", "80", "81", "verified", {{49, 80, 81}}, 1};
    files::WriteRecord::Line motor{"t", "40101", "ComboTipoMotor", "3", "0", "verified", {{50, 3, 0}}, 1};
    files::WriteRecord(dataFolder).append({pwm, motor});
}

// That write logged, and its cells as it leaves them on the simulated unit.
inline void logWriteOnLantern(Ctl& ctl) {
    ASSERT_EQ(ctl.device().memory(49), 80);
    ASSERT_EQ(ctl.device().memory(50), 3);
    logLanternWrite(ctl.started.machine.platform.info.dataFolder);
    ctl.device().setMemory(49, 81);
    ctl.device().setMemory(50, 0);
    ctl.device().clearFrameLog();
}

}  // namespace zrk::test
