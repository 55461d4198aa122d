// Choosing the serial port and its fallback to port 1.
#include <gtest/gtest.h>

#include <optional>

#include "file_size_limit.h"
#include "scripted_port.h"
#include "started_program.h"

namespace zrk::test {
namespace {

int count(const std::vector<std::string>& log, const std::string& entry) {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

TEST(PortChoice, UsablePortIsTriedOnceAndStored) {
    StartedProgram started;
    auto& port = started.machine.fakePort;
    port.log.clear();
    started.frm().ComboCom.setListIndex(2);
    EXPECT_EQ(started.frm().status(), "Serial Port  3");
    EXPECT_EQ(port.log, (std::vector<std::string>{"set 3", "open 3", "close 3"}));
    EXPECT_EQ(started.machine.ini().substr(0, 3), "3\r\n");
    EXPECT_EQ(started.program->state.settings.PuertoSerie, 3);
}

TEST(PortChoice, MissingPortFallsBackToPortOneAfterTwoSeconds) {
    StartedProgram started;
    started.machine.fakePort.missing = {7};
    std::vector<std::string> statuses;
    started.frm().controls().hub().subscribe([&](form::Control& c, form::Prop p) {
        if (p == form::Prop::Panels) statuses.push_back(static_cast<form::StatusBar&>(c).text(1));
    });
    const double t0 = started.machine.clock.now();
    started.frm().ComboCom.setListIndex(6);
    EXPECT_EQ(statuses.front(), "Serial Port  7  Not Avalaible");
    EXPECT_EQ(started.frm().status(), "Serial Port  1");
    EXPECT_EQ(started.frm().ComboCom.ListIndex(), 0);
    EXPECT_EQ(started.machine.ini().substr(0, 3), "1\r\n");
    EXPECT_NEAR(started.machine.clock.now() - t0, 2.0, 1e-9) << "the failure text stays for about two seconds";
    EXPECT_FALSE(started.machine.fakePort.isOpen());
}

TEST(PortChoice, PortOneFailingToEndsAfterOneTry) {
    StartedProgram started;
    started.machine.fakePort.missing = {1, 5};
    started.machine.fakePort.log.clear();
    const std::string before = started.machine.ini();
    started.frm().ComboCom.setListIndex(4);
    EXPECT_EQ(started.frm().status(), "Serial Port  1  Not Avalaible");
    EXPECT_EQ(count(started.machine.fakePort.log, "set 1"), 1) << "port 1 is tried once, never in a loop";
    EXPECT_EQ(started.machine.ini(), before) << "an unusable port is not stored";
}

// The port works but the settings file cannot be written: the port stays
// chosen for this run, and the message names the file and the reason.
TEST(PortChoice, AnUnwritableSettingsFileKeepsTheChosenPortAndSaysWhy) {
    struct Case {
        const char* name;
        const char* locale;
        bool folderInPlace;  // else the disk is full
        const char* reason;
        const char* says;
    };
    const Case cases[] = {
        {"a folder in its place", "en-US", true, "it is a folder", "Port 3 is used until the tool is closed"},
        {"a full disk", "en-US", false, "is it full", "Port 3 is used until the tool is closed"},
        {"a full disk, in French", "fr-FR", false, "est-il plein", "Le port 3 est utilisé"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine machine;
        machine.platform.userLanguage = c.locale;
        app::Program program(machine.platform);
        program.state.emptyLoop = [&](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        ASSERT_EQ(program.Main(), 0);
        const auto ini = machine.folder.path() / "zrk.ini";
        if (c.folderInPlace) {
            std::filesystem::remove(ini);
            std::filesystem::create_directory(ini);
        }
        machine.fakePort.log.clear();
        machine.ui.messages.clear();
        {
            std::optional<ScopedFileSizeLimit> full;
            if (!c.folderInPlace) full.emplace(1);
            program.state.frm.ComboCom.setListIndex(2);
        }
        EXPECT_EQ(program.state.frm.status(), "Serial Port  3");
        EXPECT_EQ(program.state.frm.ComboCom.ListIndex(), 2);
        EXPECT_EQ(program.state.settings.PuertoSerie, 3);
        EXPECT_EQ(machine.fakePort.log, (std::vector<std::string>{"set 3", "open 3", "close 3"})) << "no fallback";
        ASSERT_EQ(machine.ui.messages.size(), 1u);
        const std::string& message = machine.ui.messages.front().text;
        EXPECT_NE(message.find(ini.string()), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_EQ(message.find("Not Avalaible"), std::string::npos) << message;
    }
}

TEST(PortChoice, StartUpWithAMissingStoredPortFallsBackWithoutWaiting) {
    StartedProgram started("7\r\n0\r\n0\r\n\"1\"\r\n0\r\n", [](VirtualClock&) {
        auto port = std::make_unique<FakeSerialPort>();
        port->missing = {7};
        return port;
    });
    auto& port = started.port<FakeSerialPort>();
    ASSERT_EQ(started.exitCode, 0);
    EXPECT_EQ(started.frm().ComboCom.ListIndex(), 0);
    EXPECT_EQ(started.machine.ini().substr(0, 3), "1\r\n");
    EXPECT_EQ(count(port.log, "open 1"), 1);
}

// Typing one keystroke at a time, then ending the typing with Enter or by
// leaving the list.
void typeSlowly(form::ComboBox& list, const std::string& text) {
    for (std::size_t n = 1; n <= text.size(); ++n) list.typeText(text.substr(0, n));
}
void endTyping(form::ComboBox& list, bool enter) {
    if (enter)
        list.KeyPress(13);
    else
        list.LostFocus();
}

TEST(PortChoice, TypedTextIsTriedOnlyWhenTheTypingEnds) {
    for (const bool enter : {true, false}) {
        SCOPED_TRACE(enter ? "Enter" : "leaving the list");
        StartedProgram started;
        auto& list = started.frm().ComboCom;
        started.machine.fakePort.log.clear();
        const double t0 = started.machine.clock.now();
        typeSlowly(list, "Com3");
        EXPECT_TRUE(started.machine.fakePort.log.empty()) << "no try on a partial text";
        EXPECT_EQ(started.machine.clock.now(), t0) << "no pause while typing";
        EXPECT_EQ(list.Text(), "Com3");

        // "Com3" names no entry: port 0 is tried, then the fallback to port 1.
        endTyping(list, enter);
        EXPECT_EQ(list.ListIndex(), 0);
        EXPECT_EQ(started.frm().status(), "Serial Port  1");
        EXPECT_EQ(count(started.machine.fakePort.log, "open 1"), 2) << "the fallback's selection, then the typed try";
        EXPECT_NEAR(started.machine.clock.now() - t0, 2.0, 1e-9);

        started.machine.fakePort.log.clear();
        list.LostFocus();
        list.KeyPress(13);
        EXPECT_TRUE(started.machine.fakePort.log.empty()) << "nothing new typed, nothing tried";
    }
}

TEST(PortChoice, TypingAnEntryTextTriesThatPortWithoutStoringIt) {
    for (const bool enter : {true, false}) {
        SCOPED_TRACE(enter ? "Enter" : "leaving the list");
        StartedProgram started;
        const std::string before = started.machine.ini();
        started.machine.fakePort.log.clear();
        typeSlowly(started.frm().ComboCom, "Com4:");
        endTyping(started.frm().ComboCom, enter);
        EXPECT_EQ(started.machine.fakePort.log, (std::vector<std::string>{"set 4", "open 4", "close 4"}));
        EXPECT_EQ(started.machine.ini(), before);
    }
}

TEST(PortChoice, AChoiceAfterTypingIsTriedOnce) {
    StartedProgram started;
    auto& list = started.frm().ComboCom;
    typeSlowly(list, "Co");
    started.machine.fakePort.log.clear();
    list.setListIndex(5);
    list.LostFocus();
    EXPECT_EQ(started.machine.fakePort.log, (std::vector<std::string>{"set 6", "open 6", "close 6"}));
    EXPECT_EQ(started.machine.ini().substr(0, 3), "6\r\n");
}

// A pick while a device operation has the port open must not close it.
TEST(PortChoice, TheListIsLeftAloneWhileADeviceOperationRuns) {
    StartedProgram started;
    auto& frm = started.frm();
    auto& port = started.machine.fakePort;
    ASSERT_TRUE(frm.ComboCom.Enabled());
    const std::string before = started.machine.ini();
    started.program->state.guard.run([&] {
        port.open();
        port.log.clear();
        EXPECT_FALSE(frm.ComboCom.Enabled());
        frm.ComboCom.setListIndex(4);
        typeSlowly(frm.ComboCom, "Com2:");
        frm.ComboCom.KeyPress(13);
        frm.ComboCom.LostFocus();
        EXPECT_TRUE(port.log.empty());
        EXPECT_TRUE(port.isOpen());
        EXPECT_EQ(port.portNumber(), 1);
        port.close();
    });
    EXPECT_TRUE(frm.ComboCom.Enabled());
    EXPECT_EQ(started.program->state.settings.PuertoSerie, 1);
    EXPECT_EQ(started.machine.ini(), before);
}

}  // namespace
}  // namespace zrk::test
