// zrkctl read -o and set against units on a bad line: a unit that stalls
// once past the time limit, one that sends 20 bytes after every reply, one
// that frames its replies but now and then sends garbage. Against a unit
// that frames its replies and one with free-form headers, whatever applies.
// Nothing wrong may be decoded, saved or written: a command either succeeds
// with the right data or ends with exit 1.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ctl_fixture.h"
#include "error_paths.h"
#include "files/write_record.h"
#include "sim/faults.h"

namespace zrk::test {
namespace {

struct Cli : Ctl {
    Cli() { started.program->LoadWithoutWindow(); }
    sim::SimulatedPort& port() { return started.port<sim::SimulatedPort>(); }
    std::array<std::uint8_t, 256> memory() {
        std::array<std::uint8_t, 256> cells{};
        for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device().memory(a);
        return cells;
    }
};

// What a healthy unit gives: the saved file, the memory after set and the
// number of frames each command takes.
struct Healthy {
    std::string file;
    std::size_t readFrames = 0;
    std::array<std::uint8_t, 256> before{}, afterSet{};
    std::size_t setFrames = 0;
};

Healthy healthy(bool freeForm) {
    Healthy h;
    {
        Cli cli;
        if (freeForm) cli.port().unit().setFaults(sim::parseFaults({"free-form"}));
        const auto start = cli.port().unit().framesReceived();
        EXPECT_EQ(cli.run({"read", "-o", cli.path("u.zrk")}), cli::kOk) << cli.err.str();
        h.readFrames = cli.port().unit().framesReceived() - start;
        h.file = fileText(cli.path("u.zrk"));
    }
    {
        Cli cli;
        if (freeForm) cli.port().unit().setFaults(sim::parseFaults({"free-form"}));
        h.before = cli.memory();
        const auto start = cli.port().unit().framesReceived();
        EXPECT_EQ(cli.run(kHostileSet), cli::kOk) << cli.err.str();
        h.setFrames = cli.port().unit().framesReceived() - start;
        h.afterSet = cli.memory();
    }
    EXPECT_NE(h.before, h.afterSet) << "set changes the unit";
    return h;
}

TEST(HostileLine, ReadSavesTheRightFileOrNone) {
    for (const bool freeForm : {false, true}) {
        const Healthy h = healthy(freeForm);
        for (const auto& c : kHostileLines) {
            if (freeForm && !c.alsoFreeForm) continue;
            Cli cli;
            const auto received = cli.port().unit().framesReceived();
            std::string faults = faultsFor(c.faults, h.readFrames, received);
            if (freeForm) faults += ",free-form";
            cli.port().unit().setFaults(sim::parseFaults({faults}));
            const std::string name = std::string(c.name) + (freeForm ? " (free-form)" : "") + ": " + faults;
            const int code = cli.run({"read", "-o", cli.path("u.zrk")});
            EXPECT_TRUE(code == cli::kOk || code == cli::kNoAnswer) << name << ": exit " << code;
            if (code == cli::kOk) {
                EXPECT_EQ(fileText(cli.path("u.zrk")), h.file) << name;
            } else {
                EXPECT_FALSE(std::filesystem::exists(cli.path("u.zrk"))) << name;
            }
            // Every one of these the link gets through with retries.
            EXPECT_EQ(code, cli::kOk) << name << ": " << cli.err.str();
        }
    }
}

TEST(HostileLine, SetWritesTheRightBytesOrStopsWithExitOne) {
    for (const bool freeForm : {false, true}) {
        const Healthy h = healthy(freeForm);
        for (const auto& c : kHostileLines) {
            if (freeForm && !c.alsoFreeForm) continue;
            Cli cli;
            const auto received = cli.port().unit().framesReceived();
            std::string faults = faultsFor(c.faults, h.setFrames, received);
            if (freeForm) faults += ",free-form";
            cli.port().unit().setFaults(sim::parseFaults({faults}));
            const std::string name = std::string(c.name) + (freeForm ? " (free-form)" : "") + ": " + faults;
            ASSERT_EQ(cli.memory(), h.before) << name;
            const int code = cli.run(kHostileSet);
            EXPECT_TRUE(code == cli::kOk || code == cli::kNoAnswer) << name << ": exit " << code;
            const auto after = cli.memory();
            if (code == cli::kOk) {
                EXPECT_EQ(after, h.afterSet) << name;
            } else {
                for (std::size_t a = 0; a < after.size(); ++a)
                    EXPECT_TRUE(after[a] == h.before[a] || after[a] == h.afterSet[a]) << name << ": address " << a;
            }
            EXPECT_EQ(code, cli::kOk) << name << ": " << cli.err.str();
        }
    }
}

}  // namespace
}  // namespace zrk::test

namespace zrk::test {
namespace {

// A write --full cut off in its first pass, by a line that goes silent and by
// a pulled cable: it stops at once, names the cells by what became of them,
// and the record says the same of each field.
TEST(HostileLine, AWriteCutOffNamesWhatBecameOfEachCell) {
    std::size_t frames = 0;
    {
        Cli cli;
        EXPECT_EQ(cli.run({"read", "-o", cli.path("u.zrk")}), cli::kOk);
        const auto start = cli.port().unit().framesReceived();
        EXPECT_EQ(cli.run({"write", "--full", cli.path("u.zrk")}), cli::kOk) << cli.err.str();
        frames = cli.port().unit().framesReceived() - start;
    }
    struct Case {
        const char* fault;
        int code;
    };
    for (const Case& c : {Case{"dead-from", cli::kNoAnswer}, Case{"disconnect-after", cli::kPortError}}) {
        SCOPED_TRACE(c.fault);
        Cli cli;
        ASSERT_EQ(cli.run({"set", "TVelocidadUsuario1=15.5"}), cli::kOk);
        ASSERT_EQ(cli.run({"read", "-o", cli.path("changed.zrk")}), cli::kOk);
        ASSERT_EQ(cli.run({"set", "TVelocidadUsuario1=12"}), cli::kOk);
        const auto logged = files::WriteRecord(cli.started.machine.platform.info.dataFolder).read().size();
        // Half way through write --full's frames: past identification and
        // reading, inside the first pass.
        const auto at = cli.port().unit().framesReceived() + frames / 2;
        cli.port().unit().setFaults(sim::parseFaults({std::string(c.fault) + "=" + std::to_string(at)}));
        EXPECT_EQ(cli.run({"write", "--full", cli.path("changed.zrk")}), c.code) << cli.err.str();
        // What zrkctl prints: the message box's text, then its own line.
        std::string err;
        for (const auto& message : cli.started.messages()) err += message + "\n";
        err += cli.err.str();
        const auto received = cli.port().unit().framesReceived();
        EXPECT_NE(err.find("Written, not verified: 0-"), std::string::npos) << err;
        EXPECT_NE(err.find("Not sent: "), std::string::npos) << err;
        if (c.code == cli::kNoAnswer) {
            EXPECT_NE(err.find("the line went dead"), std::string::npos) << err;
            EXPECT_NE(err.find("Unknown, sent without an answer (the unit may hold it): "), std::string::npos) << err;
            ASSERT_TRUE(cli.port().lineDiedAt());
            EXPECT_LE(cli.started.machine.clock.now() - *cli.port().lineDiedAt(), 15.0);
        }
        EXPECT_LE(received, at) << "nothing reaches the unit after the line went";

        const auto all = files::WriteRecord(cli.started.machine.platform.info.dataFolder).read();
        const std::vector<files::WriteRecord::Line> lines(all.begin() + static_cast<std::ptrdiff_t>(logged), all.end());
        ASSERT_FALSE(lines.empty());
        for (const auto& line : lines) {
            // The speed field is at address 0: its cells went out early on.
            if (line.field == "TVelocidadUsuario1") {
                EXPECT_EQ(line.outcome, files::kOutcomeNotVerified);
            }
            EXPECT_NE(line.outcome, files::kOutcomeVerified) << line.field;
            for (const auto& cell : line.cells) {
                const int held = cli.device().memory(cell.address);
                if (line.outcome == files::kOutcomeNotVerified) {
                    EXPECT_EQ(held, cell.after) << line.field;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zrk::test
