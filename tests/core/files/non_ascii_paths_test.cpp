// A program folder and parameter files whose names are not ASCII: the
// settings file, the help file and parameter files are found and written
// where they belong.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ops/parameter_memory.h"
#include "platform/path_text.h"
#include "started_program.h"
#include "texts/text_ids.h"

namespace zrk::test {
namespace {

namespace fs = std::filesystem;

TEST(NonAsciiPaths, ProgramFolderSettingsHelpAndParameterFiles) {
    FakeMachine machine(simulatedUnit());
    const fs::path folder =
        machine.folder.path() / platform::pathFromUtf8("Señales") / platform::pathFromUtf8("ZRK «été»");
    fs::create_directories(folder);
    fs::copy_file(machine.folder.path() / "zrk.ini", folder / "zrk.ini");
    fs::remove(machine.folder.path() / "zrk.ini");  // only the one in the program folder counts
    machine.platform.info.folder = folder;
    machine.platform.userLanguage = "es-ES";

    app::Program program(machine.platform);
    program.state.emptyLoop = [&](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
    ASSERT_EQ(program.Main(), 0) << (machine.ui.messages.empty() ? "" : machine.ui.messages.front().text);
    EXPECT_TRUE(machine.ui.messages.empty());

    // The help file beside the program, handed on in UTF-8.
    EXPECT_EQ(program.state.helpFile, platform::utf8(folder) + "/ayudaZRK.chm");
    EXPECT_NE(program.state.helpFile.find("Señales/ZRK «été»"), std::string::npos) << program.state.helpFile;
    program.state.frm.CAyuda.Click();
    ASSERT_FALSE(machine.launcher.calls.empty());
    EXPECT_EQ(machine.launcher.calls.front().arguments, std::vector<std::string>{program.state.helpFile});
    machine.ui.messages.clear();  // no viewer starts on the fake machine

    // A rewrite of the settings lands in the same folder.
    program.state.frm.ComboCom.setListIndex(4);
    std::ifstream ini(folder / "zrk.ini", std::ios::binary);
    std::string first;
    std::getline(ini, first);
    EXPECT_EQ(first, "5\r");

    // A parameter file saved and opened again under a non-ASCII name.
    ASSERT_EQ(ops::readUnit(program.state), ops::End::Done);
    const fs::path file = folder / platform::pathFromUtf8("Faro Ñandú – été.zrk");
    machine.ui.files.push_back(file);
    program.state.frm.CGuardar.Click();
    ASSERT_TRUE(machine.ui.messages.empty()) << machine.ui.messages.front().text;
    ASSERT_TRUE(fs::is_regular_file(file));
    program.state.frm.setStatus("");
    machine.ui.files.push_back(file);
    program.state.frm.CAbrir.Click();
    ASSERT_TRUE(machine.ui.messages.empty()) << machine.ui.messages.front().text;
    EXPECT_EQ(program.state.frm.status(), program.state.CargarTexto(texts::id::kChangesPendingRecord))
        << "opened: changes to be written";

    // A file that is not there is named as the operator knows it.
    machine.ui.files.push_back(folder / platform::pathFromUtf8("Ñ-falta.zrk"));
    program.state.frm.CAbrir.Click();
    ASSERT_EQ(machine.ui.messages.size(), 1u);
    EXPECT_NE(machine.ui.messages.front().text.find("Señales/ZRK «été»/Ñ-falta.zrk"), std::string::npos)
        << machine.ui.messages.front().text;
}

}  // namespace
}  // namespace zrk::test
