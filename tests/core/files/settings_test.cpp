// The settings file: its format, its survival through rewrites, and a
// start-up that refuses a settings file it cannot trust.
#include <gtest/gtest.h>

#include "file_size_limit.h"
#include "files/atomic_write.h"
#include "files/settings_file.h"
#include "special_files.h"
#include "started_program.h"

namespace zrk::test {
namespace {

TEST(SettingsFile, WritesFiveCrLfLinesAndReadsThemBack) {
    TempFolder folder;
    const auto path = folder.path() / "zrk.ini";
    const files::Settings settings{2, -5, -2147483647 - 1, "34", 853};
    files::writeSettingsFile(path, settings);
    EXPECT_EQ(folder.read("zrk.ini"), "2\r\n-5\r\n-2147483648\r\n\"34\"\r\n853\r\n");
    EXPECT_EQ(files::readSettingsFile(path), settings);
}

TEST(SettingsFile, ReadsLfOnlyLinesAndUnquotedText) {
    TempFolder folder;
    folder.write("zrk.ini", "4\n0\n0\n34\n-853\n");
    const auto s = files::readSettingsFile(folder.path() / "zrk.ini");
    EXPECT_EQ(s.PuertoSerie, 4);
    EXPECT_EQ(s.Idioma, "34");
    EXPECT_EQ(s.CodigoFabrica, -853);
}

TEST(SettingsFile, UnusedLinesSurviveEveryRewrite) {
    const std::string ini = "2\r\n-7\r\n2147483647\r\n\"34\"\r\n853\r\n";
    StartedProgram first(ini);
    ASSERT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.machine.ini(), ini);
    for (int entry : {4, 0, 8, 1}) first.frm().ComboCom.setListIndex(entry);
    EXPECT_EQ(first.machine.ini(), "2\r\n-7\r\n2147483647\r\n\"34\"\r\n853\r\n");
    // And again after a second start from what the first one left.
    StartedProgram second(first.machine.ini());
    EXPECT_EQ(second.machine.ini(), "2\r\n-7\r\n2147483647\r\n\"34\"\r\n853\r\n");
}

TEST(SettingsFile, LanguageCodeOtherThanSpanishBecomesEnglish) {
    struct Case {
        const char* stored;
        int entry;
        const char* written;
    };
    for (const Case& c : {Case{"\"34\"", 1, "\"34\""}, Case{"\"1\"", 0, "\"1\""}, Case{"\"44\"", 0, "\"1\""},
                          Case{"\"\"", 0, "\"1\""}}) {
        StartedProgram started(std::string("1\r\n0\r\n0\r\n") + c.stored + "\r\n0\r\n");
        EXPECT_EQ(started.frm().ComboIdioma.ListIndex(), c.entry) << c.stored;
        EXPECT_EQ(started.machine.ini(), std::string("1\r\n0\r\n0\r\n") + c.written + "\r\n0\r\n") << c.stored;
        EXPECT_EQ(started.frm().CLeer.Caption(), "Read ZRK") << "texts never follow the stored code";
    }
}

TEST(SettingsFile, BadFileStopsTheStartBeforeTheWindowShows) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file at all
        const char* mentions;
    };
    const Case cases[] = {
        {"missing", nullptr, "missing"},
        {"empty", "", "too short"},
        {"four lines", "1\r\n0\r\n0\r\n\"1\"\r\n", "too short"},
        {"letters for the port", "COM1\r\n0\r\n0\r\n\"1\"\r\n0\r\n", "line 1"},
        {"port 0", "0\r\n0\r\n0\r\n\"1\"\r\n0\r\n", "outside 1 to 9"},
        {"port 10", "10\r\n0\r\n0\r\n\"1\"\r\n0\r\n", "outside 1 to 9"},
        {"port beyond 16 bits", "70000\r\n0\r\n0\r\n\"1\"\r\n0\r\n", "line 1"},
        {"line 2 beyond 32 bits", "1\r\n99999999999\r\n0\r\n\"1\"\r\n0\r\n", "line 2"},
        {"line 3 a fraction", "1\r\n0\r\n1.5\r\n\"1\"\r\n0\r\n", "line 3"},
        {"line 5 empty", "1\r\n0\r\n0\r\n\"1\"\r\n\r\n", "line 5"},
    };
    for (const Case& c : cases) {
        StartedProgram started(c.content ? c.content : "");
        if (!c.content) {
            std::filesystem::remove(started.machine.folder.path() / "zrk.ini");
            started.machine.ui.messages.clear();
            started.program = std::make_unique<app::Program>(started.machine.platform);
            started.exitCode = started.program->Main();
        }
        EXPECT_NE(started.exitCode, 0) << c.name;
        EXPECT_FALSE(started.frm().frmMain.Visible()) << c.name;
        EXPECT_FALSE(started.program->state.splash.frmSplash.Visible()) << c.name;
        ASSERT_EQ(started.machine.ui.messages.size(), 1u) << c.name;
        const auto& message = started.machine.ui.messages.front().text;
        EXPECT_NE(message.find("zrk.ini"), std::string::npos) << c.name << ": " << message;
        EXPECT_NE(message.find(c.mentions), std::string::npos) << c.name << ": " << message;
        EXPECT_TRUE(started.machine.fakePort.log.empty()) << c.name << ": the port is not touched";
        if (c.content) {
            EXPECT_EQ(started.machine.ini(), c.content) << c.name << ": the file is left as it was";
        } else {
            EXPECT_FALSE(std::filesystem::exists(started.machine.folder.path() / "zrk.ini")) << "never created";
        }
    }
}

// A settings file that is a pipe, a device or huge: the start-up says so and
// ends, as for any damaged settings, instead of hanging or filling memory.
TEST(SettingsFile, WhatIsNoSettingsFileStopsTheStart) {
    TempFolder scratch;
    const auto specials = makeSpecialFiles(scratch.path(), "ini");
    ASSERT_EQ(specials.size(), 5u);
    for (const auto& special : specials) {
        StartedProgram started;
        const auto ini = started.machine.folder.path() / "zrk.ini";
        std::filesystem::remove(ini);
        std::filesystem::rename(special.path, ini);
        started.machine.ui.messages.clear();
        started.program = std::make_unique<app::Program>(started.machine.platform);
        EXPECT_EQ(started.program->Main(), 2) << special.name;
        EXPECT_FALSE(started.frm().frmMain.Visible()) << special.name;
        ASSERT_EQ(started.machine.ui.messages.size(), 1u) << special.name;
        const auto& message = started.machine.ui.messages.front().text;
        EXPECT_NE(message.find(ini.string()), std::string::npos) << message;
        EXPECT_NE(message.find(special.says), std::string::npos) << message;
    }
}

TEST(SettingsFile, FolderInPlaceOfTheFileIsRefused) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "zrk.ini");
    EXPECT_THROW(files::readSettingsFile(folder.path() / "zrk.ini"), files::SettingsError);
}

TEST(SettingsFile, FailedRewriteLeavesTheOldFile) {
    TempFolder folder;
    const auto path = folder.path() / "zrk.ini";
    files::writeSettingsFile(path, {3, 0, 0, "1", 0});
    {
        ScopedFileSizeLimit diskFull(8);  // the new file needs 23 bytes
        EXPECT_THROW(files::writeSettingsFile(path, {5, -100000, 0, "34", 853}), files::FileError);
    }
    EXPECT_EQ(folder.read("zrk.ini"), "3\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "no temporary file left";
}

}  // namespace
}  // namespace zrk::test

namespace zrk::test {
namespace {

// An installed program cannot keep zrk.ini beside itself: it takes the
// user's own copy, made from the installed default the first time.
TEST(SettingsPlace, BesideThePortableProgramElseInTheUsersFolder) {
    FakeMachine machine;
    app::Program program(machine.platform);
    auto& info = machine.platform.info;
    const auto root = machine.folder.path();
    info.configFolder = root / "config" / "ZRK";
    EXPECT_EQ(program.state.settingsPath(), root / "zrk.ini") << "the portable copy keeps its own file";

    info.folder = root / "bin";  // installed: no zrk.ini beside the program
    info.shareFolder = root / "share";
    std::filesystem::create_directories(info.folder);
    std::filesystem::create_directories(info.shareFolder);
    machine.folder.write("share/zrk.ini", "3\r\n0\r\n0\r\n\"34\"\r\n0\r\n");
    EXPECT_EQ(program.state.settingsPath(), info.configFolder / "zrk.ini");
    EXPECT_EQ(machine.folder.read("config/ZRK/zrk.ini"), "3\r\n0\r\n0\r\n\"34\"\r\n0\r\n") << "made from the default";
    machine.folder.write("config/ZRK/zrk.ini", "5\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
    EXPECT_EQ(program.state.settingsPath(), info.configFolder / "zrk.ini");
    EXPECT_EQ(machine.folder.read("config/ZRK/zrk.ini"), "5\r\n0\r\n0\r\n\"1\"\r\n0\r\n") << "the user's own is kept";
    EXPECT_FALSE(std::filesystem::exists(info.folder / "zrk.ini"));
}

}  // namespace
}  // namespace zrk::test
