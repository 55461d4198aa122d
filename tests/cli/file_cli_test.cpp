// zrkctl read -o, write and check on the simulated unit, a silent unit and
// a missing port: files written, units written, output and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ctl_fixture.h"
#include "files/parameter_file.h"
#include "sim/scenario.h"
#include "texts/text_ids.h"

namespace zrk::test {
namespace {

// A file saved from the LED lantern, with lines replaced (line n is position n - 1).
std::string savedFile(Ctl& from, const std::vector<std::pair<std::size_t, std::string>>& replaced = {}) {
    EXPECT_EQ(from.run({"read", "-o", from.path("unit.zrk")}), cli::kOk) << from.err.str();
    std::istringstream text(fileText(from.path("unit.zrk")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    for (const auto& [position, value] : replaced) lines.at(position) = value + "\r";
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

TEST(FileCli, ReadSavesTheUnitsParameterFile) {
    Ctl ctl;
    ASSERT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk")}), cli::kOk) << ctl.err.str();
    EXPECT_EQ(ctl.out.str(), " Saved file: u.zrk\n");
    std::istringstream in(fileText(ctl.path("u.zrk")));
    const auto content = files::parseParameterFile(in, "u.zrk");
    for (int a : {0, 1, 2, 27, 41, 60, 231})
        EXPECT_EQ(content.image[static_cast<std::size_t>(a)], ctl.device().memory(a)) << "address " << a;
    EXPECT_EQ(content.image[254], 0);
}

TEST(FileCli, ExitCodes) {
    const struct {
        const char* name;
        PortFactory port;
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {"read: silent unit", scriptedUnit(), {"read", "-o", "x.zrk"}, cli::kNoAnswer},
        {"read: missing port", missingPort(), {"read", "-o", "x.zrk"}, cli::kPortError},
        {"read: no -o", simulatedUnit(), {"read", "x.zrk"}, cli::kUsage},
        {"write: no file", simulatedUnit(), {"write"}, cli::kUsage},
        {"write: missing file", simulatedUnit(), {"write", "/nonexistent/x.zrk"}, cli::kPortError},
        {"check: two files", simulatedUnit(), {"check", "a", "b"}, cli::kUsage},
        {"check: missing file", simulatedUnit(), {"check", "/nonexistent/x.zrk"}, cli::kPortError},
    };
    for (const auto& c : cases) {
        Ctl ctl(c.port);
        EXPECT_EQ(ctl.run(c.args), c.code) << c.name << ": " << ctl.err.str();
        // A port error's message box is a line on stderr in zrkctl.
        EXPECT_TRUE(!ctl.err.str().empty() || !ctl.started.machine.ui.messages.empty()) << c.name;
    }
}

TEST(FileCli, ReadIntoAFullDiskKeepsTheOldFile) {
    Ctl ctl;
    std::filesystem::create_directory(ctl.path("taken.zrk"));
    EXPECT_EQ(ctl.run({"read", "-o", ctl.path("taken.zrk")}), cli::kPortError);
    EXPECT_NE(ctl.err.str().find("it is a folder"), std::string::npos) << ctl.err.str();
}

TEST(FileCli, WriteSendsTheFileButKeepsTheUnitsIdentifier) {
    Ctl source;
    // Speed 1 becomes 20 RPM (200000 = 3, 13, 64).
    const std::string file = savedFile(source, {{0, "3"}, {1, "13"}, {2, "64"}});

    Ctl target;
    target.device().setMemory(254, 0x12);
    target.device().setMemory(255, 0x34);
    target.started.machine.folder.write("f.zrk", file);
    ASSERT_EQ(target.run({"write", target.path("f.zrk")}), cli::kOk) << target.err.str();
    EXPECT_NE(target.out.str().find("Saved before writing: "), std::string::npos) << target.out.str();
    EXPECT_TRUE(target.out.str().ends_with("\nEnded\n")) << target.out.str();
    EXPECT_EQ(target.device().memory(0), 3);
    EXPECT_EQ(target.device().memory(1), 13);
    EXPECT_EQ(target.device().memory(2), 64);
    EXPECT_EQ(target.device().memory(254), 0x12);
    EXPECT_EQ(target.device().memory(255), 0x34);
}

TEST(FileCli, WriteOfABadFileNeverTalksToTheUnit) {
    Ctl source;
    const std::string file = savedFile(source, {{20, "twelve"}});
    Ctl target;
    target.started.machine.folder.write("f.zrk", file);
    target.device().clearFrameLog();
    EXPECT_EQ(target.run({"write", target.path("f.zrk")}), cli::kPortError);
    EXPECT_NE(target.err.str().find("Line 21: \"twelve\" is not a whole number"), std::string::npos)
        << target.err.str();
    EXPECT_TRUE(target.device().frameLog().empty());
}

TEST(FileCli, WriteToASilentUnitFails) {
    Ctl source;
    const std::string file = savedFile(source);
    Ctl target(scriptedUnit());
    target.started.machine.folder.write("f.zrk", file);
    EXPECT_EQ(target.run({"write", target.path("f.zrk")}), cli::kNoAnswer);
}

TEST(FileCli, CheckPrintsTheFieldsAndTheTable) {
    Ctl source;
    auto lines = savedFile(source, {{256, "255"}, {257, "10"}, {258, "20"}, {256 + 33 * 7 + 32, "359"}});
    Ctl ctl(missingPort());
    ctl.started.machine.folder.write("f.zrk", lines);
    ASSERT_EQ(ctl.run({"check", ctl.path("f.zrk")}), cli::kOk) << ctl.err.str();
    const std::string out = ctl.out.str();
    EXPECT_EQ(out.rfind("{\"fields\": {\"TVelocidadUsuario1\": \"10.0000\", ", 0), 0u) << out;
    for (const char* part :
         {"\"ComboTipoCambiador\": 3", "\"TLuxONAD\": ", "\"CheckBalizaEmergencia\": 1",
          "\"TNumeroID\": ", "\"colors\": [255, 0, 0, 0, 0, 0, 0, 0]", "\"pattern\": [[10, 20, 511, "})
        EXPECT_NE(out.find(part), std::string::npos) << part << " in " << out;
    EXPECT_EQ(out.substr(out.size() - 8), " 359]]}\n");
    EXPECT_TRUE(ctl.err.str().empty());
}

TEST(FileCli, CheckOfABadFileSaysWhyOnStderr) {
    Ctl source;
    const std::string file = savedFile(source, {{50, "9"}});
    Ctl ctl(missingPort());
    ctl.started.machine.folder.write("f.zrk", file.substr(0, 1000));
    EXPECT_EQ(ctl.run({"check", ctl.path("f.zrk")}), cli::kPortError);
    EXPECT_EQ(ctl.out.str(), "");
    EXPECT_NE(ctl.err.str().find("the file ends after line"), std::string::npos) << ctl.err.str();
    ctl.started.machine.folder.write("g.zrk", file);
    EXPECT_EQ(ctl.run({"check", ctl.path("g.zrk")}), cli::kOk) << "motor type 9 is capped to 1";
}

// With a Spanish or French set active, zrkctl's file errors and refused
// writes reach standard error in that set, file names and field names aside.
TEST(FileCli, StandardErrorFollowsTheLanguageSet) {
    const char* const english[] = {"Cannot open",         "Nothing was changed", "it does not exist", "it is a folder",
                                   "Nothing was sent",    "Reintente",           "is not a number",   "no digits",
                                   "nothing was written", "does not use"};
    for (const auto language : {texts::Language::SpanishModern, texts::Language::French}) {
        Ctl ctl;
        ctl.started.program->state.texts = texts::TextTable(language);
        std::filesystem::create_directory(ctl.path("dir.zrk"));
        std::string err;
        EXPECT_EQ(ctl.run({"check", ctl.path("missing.zrk")}), cli::kPortError);
        err += ctl.err.str();
        EXPECT_EQ(ctl.run({"check", ctl.path("dir.zrk")}), cli::kPortError);
        err += ctl.err.str();
        EXPECT_EQ(ctl.run({"set", "TPWMLed=300"}), cli::kPortError);
        err += ctl.err.str();
        EXPECT_EQ(ctl.run({"set", "TPWMLed=abc"}), cli::kPortError);
        err += ctl.err.str();
        Ctl rotating(simulatedUnit("rotating-lantern"));
        rotating.started.program->state.texts = texts::TextTable(language);
        EXPECT_EQ(rotating.run({"get", "TPWMLed"}), cli::kPortError);
        err += rotating.err.str();
        EXPECT_NE(err.find("TPWMLed"), std::string::npos) << "the name typed stays: " << err;
        EXPECT_NE(err.find(ctl.started.program->state.CargarTexto(texts::id::kDoesNotExist)), std::string::npos) << err;
        EXPECT_NE(err.find(ctl.started.program->state.CargarTexto(texts::id::kFolderNotFile)), std::string::npos)
            << err;
        for (const char* sentence : english) EXPECT_EQ(err.find(sentence), std::string::npos) << err;
    }
}

}  // namespace
}  // namespace zrk::test
