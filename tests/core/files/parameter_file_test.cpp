// Parameter files: what a save writes, what an open applies, and that a
// failed save or a bad file changes nothing.
#include "files/parameter_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <sstream>

#include "bad_files.h"
#include "file_size_limit.h"
#include "files/atomic_file.h"
#include "model_probe.h"
#include "ops/parameter_memory.h"
#include "params/visibility.h"
#include "special_files.h"
#include "started_program.h"

namespace zrk::test {
namespace {

using params::ParameterImage;

struct FileRig {
    explicit FileRig(const PortFactory& makePort = {}) : started(kDefaultIni, makePort) {}
    StartedProgram started;
    app::Program& program() { return *started.program; }
    form::FrmMain& frm() { return started.frm(); }
    RecordingUi& ui() { return started.machine.ui; }
    const TempFolder& folder() const { return started.machine.folder; }
    std::string path(const std::string& name) const { return (folder().path() / name).string(); }
    void save(const std::string& name) {
        ui().files.push_back(path(name));
        frm().CGuardar.Click();
    }
    void open(const std::string& name) {
        ui().files.push_back(path(name));
        frm().CAbrir.Click();
    }
};

// Valid values in every field a save encodes.
void fillForm(form::FrmMain& frm) {
    for (auto* t : {&frm.TVelocidadUsuario1, &frm.TVelocidadUsuario2, &frm.TVelocidadUsuario3, &frm.TVelocidadUsuario4,
                    &frm.TRelacionReductor, &frm.TLuxOFF, &frm.TTestFotocelula, &frm.TLuxLamparaFundida,
                    &frm.TRetardoLamparaFundida, &frm.TMaxConsumoLed, &frm.TMinConsumoLed, &frm.TPWMLed,
                    &frm.TVueltasError, &frm.TAlarmLampara1, &frm.TAlarmLampara2})
        t->setText("1");
}

// A name without an extension gets ".zrk", so the Open dialog lists it; one
// with an extension of its own keeps it.
TEST(SaveParameterFile, ANameWithoutExtensionGetsZrk) {
    FileRig rig(simulatedUnit());
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    for (const auto& [chosen, saved] : {std::pair{"site40101", "site40101.zrk"}, std::pair{"site.bak", "site.bak"}}) {
        rig.save(chosen);
        EXPECT_TRUE(std::filesystem::exists(rig.path(saved))) << chosen;
        EXPECT_EQ(rig.frm().status(), std::string(" Saved file: ") + saved);
    }
    EXPECT_FALSE(std::filesystem::exists(rig.path("site40101")));
}

TEST(SaveParameterFile, WritesTheFormAndTableIn520CrLfLines) {
    FileRig rig(simulatedUnit());
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.program().state.flash.pauta(1, 1) = 10;
    rig.program().state.flash.pauta(1, 2) = 20;
    rig.program().state.flash.color(1) = 255;
    rig.program().state.flash.color(8) = 0xFF0000;
    rig.save("unit.zrk");
    ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
    EXPECT_EQ(rig.ui().lastFilter, "Parametros|*.zrk|All files");
    EXPECT_EQ(rig.frm().status(), " Saved file: unit.zrk");

    const std::string text = rig.folder().read("unit.zrk");
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    ASSERT_EQ(lines.size(), 520u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    // Speed 1 is 10 RPM: 100000 = 1, 134, 160.
    EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines[2]}), (std::vector<std::string>{"1", "134", "160"}));
    EXPECT_EQ(lines[27], "3") << "changer type LED";
    for (int a = 68; a <= 220; ++a) EXPECT_EQ(lines[static_cast<std::size_t>(a)], "0") << "position " << a;
    EXPECT_EQ(lines[231], std::to_string(static_cast<unsigned char>(rig.frm().TIdentificacion.Text().at(0))));
    EXPECT_EQ(lines[254], "0") << "the identifier is never saved";
    EXPECT_EQ(lines[255], "0");
    EXPECT_EQ(lines[colorLine(1)], "255");
    EXPECT_EQ(lines[entryLine(1, 1)], "10");
    EXPECT_EQ(lines[entryLine(1, 2)], "20");
    EXPECT_EQ(lines[entryLine(1, 3)], "511");
    EXPECT_EQ(lines[colorLine(8)], "16711680");
    EXPECT_EQ(lines[519], "511");
}

TEST(SaveParameterFile, TheWritersOwnRules) {
    struct Case {
        std::function<void(form::FrmMain&)> edit;
        std::vector<std::pair<int, const char*>> lines;  // position, text
        const char* field;
        const char* shown;  // the field's text after the save
    };
    const Case cases[] = {
        {[](form::FrmMain& f) { f.txtAtenuacionNocturna.setText("300"); },
         {{56, "100"}},
         "txtAtenuacionNocturna",
         "100"},
        {[](form::FrmMain& f) { f.txtAtenuacionNocturna.setText("abc"); }, {{56, "0"}}, "txtAtenuacionNocturna", "abc"},
        {[](form::FrmMain& f) { f.txtAtenuacionNocturna.setText("254.6"); },
         {{56, "255"}},
         "txtAtenuacionNocturna",
         "254.6"},
        {[](form::FrmMain& f) { f.TAlarmLampara1.setText("x"); }, {{64, "0"}, {65, "0"}}, "TAlarmLampara1", "x"},
        {[](form::FrmMain& f) { f.TAlarmLampara2.setText("x"); }, {{66, "0"}, {67, "0"}}, "TAlarmLampara2", "x"},
        {[](form::FrmMain& f) { f.txtGrupoLeds.setText("300"); }, {{60, "255"}}, "txtGrupoLeds", "255"},
        {[](form::FrmMain& f) { f.ComboTipoLampara1.setListIndex(-1); }, {{38, "-1"}}, "TIdentificacion", ""},
        {[](form::FrmMain& f) { f.chkEnableDisableFalloRotacion.setValue(2); }, {{61, "2"}}, "TIdentificacion", ""},
        {[](form::FrmMain& f) { f.TIdentificacion.setText("AB"); },
         {{231, "65"}, {232, "66"}, {233, "32"}, {246, "32"}},
         "TIdentificacion",
         "AB"},
        {[](form::FrmMain& f) { f.TIdentificacion.setText("0123456789abcdefXYZ"); },
         {{246, "102"}},
         "TIdentificacion",
         "0123456789abcdefXYZ"},
        {[](form::FrmMain& f) { f.TNumeroID.setText("4660"); }, {{254, "0"}, {255, "0"}}, "TNumeroID", "4660"},
        {[](form::FrmMain& f) { f.TNumeroFabricacion.setText("258"); },
         {{249, "1"}, {250, "2"}},
         "TNumeroFabricacion",
         "258"},
    };
    for (const auto& c : cases) {
        FileRig rig;
        fillForm(rig.frm());
        c.edit(rig.frm());
        rig.save("f.zrk");
        ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
        std::istringstream text(rig.folder().read("f.zrk"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
        for (const auto& [position, expected] : c.lines)
            EXPECT_EQ(lines.at(static_cast<std::size_t>(position)), expected) << "position " << position;
        EXPECT_EQ(probe(rig.frm().controls().at(c.field), "Text"), c.shown) << c.field;
    }
}

TEST(SaveParameterFile, AValueBeyondItsCellsIsNotSaved) {
    // The message names the field by its caption.
    for (auto [field, text] :
         {std::pair{"Lamp 2 current alarm", "700"}, std::pair{"Recovery time after hibernation", "-5"},
          std::pair{"Night attenuation", "-2"}, std::pair{"PWM Led", "300"}}) {
        FileRig rig;
        fillForm(rig.frm());
        for (int row : params::rowAddresses())
            if (params::fieldCaption(rig.frm(), row) == field)
                dynamic_cast<form::TextBox&>(rig.frm().controls().at(params::fieldAt(row))).setText(text);
        rig.save("f.zrk");
        ASSERT_EQ(rig.started.messages().size(), 1u) << field;
        EXPECT_NE(rig.started.messages()[0].find(field), std::string::npos) << rig.started.messages()[0];
        EXPECT_NE(rig.started.messages()[0].find("out of range"), std::string::npos) << rig.started.messages()[0];
        EXPECT_FALSE(std::filesystem::exists(rig.path("f.zrk"))) << field;
    }
}

TEST(SaveParameterFile, CancelWritesNothingAndSaysNothing) {
    FileRig rig;
    fillForm(rig.frm());
    rig.frm().txtGrupoLeds.setText("abc");
    rig.ui().files.push_back(std::nullopt);
    rig.frm().CGuardar.Click();
    EXPECT_TRUE(rig.started.messages().empty());
    EXPECT_EQ(rig.frm().txtGrupoLeds.Text(), "0") << "the encoding's correction stays";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.folder().path()), {}), 1) << "only zrk.ini";
}

TEST(SaveParameterFile, AConversionErrorComesBeforeTheDialog) {
    FileRig rig;
    fillForm(rig.frm());
    rig.frm().TRelacionReductor.setText("twelve");
    rig.folder().write("f.zrk", "good");
    rig.save("f.zrk");
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("Reducer Ratio: \"twelve\""), std::string::npos)
        << rig.started.messages()[0];
    EXPECT_TRUE(rig.ui().lastFilter.empty()) << "no dialog was shown";
    EXPECT_EQ(rig.folder().read("f.zrk"), "good");
}

// A save that fails leaves the old file exactly as it was, says what failed
// and leaves no temporary file behind.
TEST(SaveParameterFile, AFailedSaveKeepsTheOldFile) {
    struct Case {
        const char* name;
        std::string target;     // relative to the folder
        std::size_t sizeLimit;  // 0: none
        const char* says;
    };
    const Case cases[] = {
        {"disk full at the start", "f.zrk", 1, "is it full"},
        {"disk full mid-way", "f.zrk", 1000, "is it full"},
        {"disk full at the last block", "f.zrk", 2000, "is it full"},
        {"missing folder", "nowhere/f.zrk", 0, "cannot create"},
        {"target is a folder", "dir.zrk", 0, "folder"},
    };
    for (const auto& c : cases) {
        FileRig rig;
        fillForm(rig.frm());
        std::filesystem::create_directory(rig.folder().path() / "dir.zrk");
        const std::string old = joined(baseLines());
        rig.folder().write("f.zrk", old);
        {
            std::optional<ScopedFileSizeLimit> limit;
            if (c.sizeLimit) limit.emplace(c.sizeLimit);
            rig.save(c.target);
        }
        ASSERT_EQ(rig.started.messages().size(), 1u) << c.name;
        EXPECT_NE(rig.started.messages()[0].find(c.says), std::string::npos)
            << c.name << ": " << rig.started.messages()[0];
        EXPECT_NE(rig.started.messages()[0].find(rig.path(c.target)), std::string::npos) << c.name;
        EXPECT_EQ(rig.folder().read("f.zrk"), old) << c.name;
        EXPECT_EQ(rig.frm().status(), "File not saved") << c.name;
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(rig.folder().path()))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"dir.zrk", "f.zrk", "zrk.ini"})) << c.name;
    }
}

TEST(AtomicFile, NothingReplacesTheTargetWithoutCommit) {
    TempFolder folder;
    folder.write("t", "old");
    {
        files::AtomicFile file(folder.path() / "t");
        file.write("new");
    }
    EXPECT_EQ(folder.read("t"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    files::AtomicFile file(folder.path() / "t");
    file.write("new");
    file.commit();
    EXPECT_EQ(folder.read("t"), "new");
    EXPECT_THROW(file.write("more"), files::FileError);
}

TEST(OpenParameterFile, SavedAndOpenedBringsBackEveryAppliedField) {
    FileRig rig(simulatedUnit());
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    auto& flash = rig.program().state.flash;
    flash.pauta(1, 1) = 10;
    flash.pauta(1, 2) = 359;
    flash.pauta(2, 1) = 0;  // the most common start angle
    flash.color(3) = 255;
    rig.frm().TIdentificacion.setText("Faro Norte");
    tables::RedibujaGrid(rig.frm(), flash, rig.program().state.texts);
    tables::RellenarColores(rig.frm(), flash, rig.program().state.texts);
    rig.save("unit.zrk");
    ASSERT_TRUE(rig.started.messages().empty());
    const auto saved = snapshot(rig.program());

    // Now a different unit, and a different table.
    FileRig other(simulatedUnit("rotating-lantern"));
    ASSERT_EQ(ops::readUnit(other.program().state), ops::End::Done);
    const auto otherBefore = snapshot(other.program());
    other.program().state.flash.pauta(2, 1) = 42;
    std::filesystem::copy_file(rig.path("unit.zrk"), other.path("unit.zrk"));
    other.open("unit.zrk");
    ASSERT_TRUE(other.started.messages().empty()) << other.started.messages()[0];
    auto opened = snapshot(other.program());

    // What a file never sets keeps the other unit's values.
    for (const char* kept : {"TNumeroID", "TSemanaFabricacion", "TAnoFabricacion", "TNumeroFabricacion", "TModeloR",
                             "TVersionFirmwareR", "THardwareR"}) {
        const std::string key = std::string(kept) + ".Text";
        EXPECT_EQ(opened[key], otherBefore.at(key)) << kept;
        opened[key] = saved.at(key);
    }
    EXPECT_EQ(opened["TIdentificacion.Text"], "Faro Norte      ") << "all 16 characters";
    opened["TIdentificacion.Text"] = saved.at("TIdentificacion.Text");
    // Angle 0 comes back as an angle, over what the other table held there.
    EXPECT_EQ(opened["pauta2,1"], "0");
    EXPECT_EQ(opened["grid2,1"], "000");
    EXPECT_EQ(opened["LColor(3).Caption"], "255");
    // AD to lux and back is not exact; the lux fields themselves must match.
    for (const char* ad : {"TLuxONAD.Text", "TLuxOFFAD.Text"}) opened[ad] = saved.at(ad);
    // Visibility and the tabs follow identification, not files; the rest must match.
    EXPECT_EQ(opened["TabStrip1.Tabs"], otherBefore.at("TabStrip1.Tabs"));
    opened["TabStrip1.Tabs"] = saved.at("TabStrip1.Tabs");
    for (auto& [key, value] : opened)
        if (key.ends_with(".Visible")) value = saved.at(key);
    for (const auto& [key, value] : saved)
        if (!key.ends_with(".Visible")) {
            EXPECT_EQ(opened.at(key), value) << key;
        }
}

TEST(OpenParameterFile, TheReadersOwnRules) {
    struct Case {
        std::vector<std::pair<int, std::string>> positions;
        const char* control;
        const char* property;
        const char* expected;  // "keep": what the form showed before
    };
    const Case cases[] = {
        {{{57, "3"}, {58, "232"}}, "txtTiempoDe", "Text", "1000"},
        {{{41, "3"}}, "ComboSensorLuz", "ListIndex", "2"},
        {{{50, "4"}}, "ComboTipoMotor", "ListIndex", "1"},
        {{{63, "3"}}, "cmbTipoSensorLampara", "ListIndex", "0"},
        {{{55, "7"}}, "cmbModofuncionamiento", "ListIndex", "1"},
        {{{38, "9"}}, "ComboTipoLampara1", "ListIndex", "1"},
        {{{46, "-1"}}, "ComboFuncion2Puerto", "ListIndex", "-1"},
        {{{27, "8"}}, "ComboTipoCambiador", "ListIndex", "keep"},
        {{{27, "-1"}}, "ComboTipoCambiador", "ListIndex", "keep"},
        {{{27, "6"}}, "ComboTipoCambiador", "ListIndex", "6"},
        {{{54, "2"}}, "CheckBalizaEmergencia", "Value", "2"},
        {{{62, "2"}}, "chkHibernacionMotor", "Value", "2"},
        {{{0, "1"}, {1, "134"}, {2, "160"}}, "TVelocidadUsuario1", "Text", "10.0000"},
        {{{12, "-1"}, {13, "0"}, {14, "0"}}, "TRelacionReductor", "Text", "-655.36"},
        {{{42, "0"}, {43, "5"}}, "TMaxConsumoLed", "Text", "0.05"},
        {{{56, "300"}}, "txtAtenuacionNocturna", "Text", "300"},
        {{{221, "1"}, {222, "-1"}}, "TGradosOffset", "Text", "255"},
        {{{231, "65"}, {232, "66"}, {233, "67"}}, "TIdentificacion", "Text", "ABC"},
        {{{254, "18"}, {255, "52"}}, "TNumeroID", "Text", "keep"},
        {{{247, "20"}}, "TSemanaFabricacion", "Text", "keep"},
    };
    for (const auto& c : cases) {
        FileRig rig;
        rig.frm().ComboTipoCambiador.setListIndex(2);
        rig.frm().TNumeroID.setText("77");
        rig.frm().TSemanaFabricacion.setText("5");
        const std::string before = probe(rig.frm().controls().at(c.control), c.property);
        rig.folder().write("f.zrk", fileWith(c.positions));
        rig.open("f.zrk");
        ASSERT_TRUE(rig.started.messages().empty()) << c.control << ": " << rig.started.messages()[0];
        const std::string expected = std::string(c.expected) == "keep" ? before : c.expected;
        EXPECT_EQ(probe(rig.frm().controls().at(c.control), c.property), expected)
            << c.control << " from line " << c.positions[0].first + 1;
    }
}

TEST(OpenParameterFile, TableEntriesAndColours) {
    FileRig rig;
    auto lines = baseLines();
    lines[colorLine(2)] = "65280";
    lines[colorLine(3)] = "abc";
    lines[colorLine(4)] = "12.5";
    rig.folder().write("f.zrk", joined(lines));
    rig.open("f.zrk");
    ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
    const auto& flash = rig.program().state.flash;
    EXPECT_EQ(flash.color(2), 65280);
    EXPECT_EQ(flash.color(3), 0) << "a colour that is not a number gives 0";
    EXPECT_EQ(flash.color(4), 12);
    EXPECT_EQ(rig.frm().LColor(2).Caption(), "65280");
    EXPECT_EQ(rig.frm().MSFlexGridPautas.CellBackColor(2, 0), (form::GridColor{form::GridColor::Kind::Rgb, 65280}));
}

// Every entry of run 2 sets its table entry: an angle 0 to 360 is shown and
// kept, anything else empties the cell and the entry. The file is opened
// over a table that is full from an earlier file, so an entry the file does
// not set would show as a left-over 120.
TEST(OpenParameterFile, EveryTableEntryComesFromTheFile) {
    struct Case {
        const char* line;
        std::int32_t entry;
        const char* shown;
    };
    const Case cases[] = {
        {"0", 0, "000"},          {"5", 5, "005"},    {"359", 359, "359"}, {"360", 360, "360"},
        {"361", 511, ""},         {"511", 511, ""},   {"-1", 511, ""},     {"65535", 511, ""},
        {"-2147483648", 511, ""}, {"abc", 511, ""},   {" ", 511, ""},      {"  90 ", 90, "090"},
        {"359.6", 360, "360"},    {"360.6", 511, ""}, {"-0.4", 0, "000"},  {"&H10", 16, "016"},
    };
    FileRig rig;
    auto full = baseLines();
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) full[entryLine(row, col)] = "120";
    rig.folder().write("full.zrk", joined(full));
    rig.open("full.zrk");
    ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
    ASSERT_EQ(rig.program().state.flash.pauta(5, 7), 120);

    auto lines = baseLines();  // every other entry 511
    int col = 1;
    for (const Case& c : cases) lines[entryLine(1, col++)] = c.line;
    rig.folder().write("f.zrk", joined(lines));
    rig.open("f.zrk");
    ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
    const auto& flash = rig.program().state.flash;
    const auto& grid = rig.frm().MSFlexGridPautas;
    col = 1;
    for (const Case& c : cases) {
        EXPECT_EQ(flash.pauta(1, col), c.entry) << "line '" << c.line << "'";
        EXPECT_EQ(grid.TextMatrix(1, col), c.shown) << "line '" << c.line << "'";
        ++col;
    }
    for (int row = 1; row <= 8; ++row)
        for (int c = row == 1 ? col : 1; c <= 32; ++c) {
            EXPECT_EQ(flash.pauta(row, c), 511) << row << "," << c;
            EXPECT_EQ(grid.TextMatrix(row, c), "") << row << "," << c;
        }
}

// The grid's current cell shows the file's entry like any other cell, even
// one the cell editor would not take there (360, or an angle beside an
// empty cell); the operator's unfinished edit in it is ended first.
TEST(OpenParameterFile, TheCurrentCellShowsTheFilesEntry) {
    struct Case {
        const char* left;
        const char* entry;
        const char* shown;
    };
    const Case cases[] = {{"10", "360", "360"}, {"511", "120", "120"}, {"10", "511", ""}};
    for (const Case& c : cases) {
        FileRig rig;
        auto& grid = rig.frm().MSFlexGridPautas;
        grid.setCurrent(3, 6);
        grid.setText("4");  // typed, not yet left
        auto lines = baseLines();
        lines[entryLine(3, 5)] = c.left;
        lines[entryLine(3, 6)] = c.entry;
        rig.folder().write("f.zrk", joined(lines));
        rig.open("f.zrk");
        ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
        EXPECT_EQ(grid.TextMatrix(3, 6), c.shown) << c.entry;
        EXPECT_EQ(rig.program().state.flash.pauta(3, 6), std::stoi(c.entry)) << c.entry;
    }
}

TEST(OpenParameterFile, LineEndsAndWhatFollowsLine520) {
    const auto speed = linesWith({{0, "1"}, {1, "134"}, {2, "160"}});
    const std::string valid = joined(speed);
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"CR LF", valid},
        {"LF only", joined(speed, "\n")},
        {"trailing blank lines", valid + "\r\n\r\n\n"},
        {"garbage after line 520", valid + "not a number\r\n" + std::string(100000, 'x')},
        {"no line end after line 520", valid.substr(0, valid.size() - 2)},
    };
    for (const auto& c : cases) {
        FileRig rig;
        rig.folder().write("f.zrk", c.content);
        rig.open("f.zrk");
        EXPECT_TRUE(rig.started.messages().empty()) << c.name << ": " << rig.started.messages()[0];
        EXPECT_EQ(rig.frm().TVelocidadUsuario1.Text(), "10.0000") << c.name;
    }
}

// Each bad file gives a message naming the file, the line and the problem,
// and changes nothing at all.
TEST(OpenParameterFile, ABadFileChangesNothing) {
    for (const auto& c : badParameterFiles()) {
        FileRig rig(simulatedUnit());
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        rig.program().state.flash.pauta(1, 1) = 99;
        const auto before = snapshot(rig.program());
        rig.folder().write("bad.zrk", c.content);
        rig.open("bad.zrk");
        ASSERT_EQ(rig.started.messages().size(), 1u) << c.name;
        const std::string message = rig.started.messages()[0];
        EXPECT_NE(message.find(rig.path("bad.zrk")), std::string::npos) << c.name << ": " << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.name << ": " << message;
        EXPECT_EQ(rig.started.machine.ui.messages[0].title, "ZRK");
        EXPECT_EQ(snapshot(rig.program()), before) << c.name;
        EXPECT_EQ(rig.frm().status(), "File not opened") << c.name;
    }
}

TEST(OpenParameterFile, FilesThatCannotBeOpened) {
    FileRig rig;
    std::filesystem::create_directory(rig.folder().path() / "folder.zrk");
    rig.folder().write("plain", "x");
    const auto before = snapshot(rig.program());
    const struct {
        const char* name;
        const char* says;
    } cases[] = {
        {"missing.zrk", "it does not exist"},
        {"folder.zrk", "it is a folder, not a file"},
        {"plain/inside.zrk", "it does not exist"},
    };
    for (const auto& c : cases) {
        rig.ui().messages.clear();
        rig.open(c.name);
        ASSERT_EQ(rig.started.messages().size(), 1u) << c.name;
        EXPECT_NE(rig.started.messages()[0].find(rig.path(c.name)), std::string::npos) << rig.started.messages()[0];
        EXPECT_NE(rig.started.messages()[0].find(c.says), std::string::npos) << rig.started.messages()[0];
        EXPECT_EQ(snapshot(rig.program()), before) << c.name;
    }
}

// Pipes, devices and huge files are refused unread, with the usual message.
TEST(OpenParameterFile, WhatIsNoParameterFileIsRefusedUnread) {
    FileRig rig;
    const auto before = snapshot(rig.program());
    const auto specials = makeSpecialFiles(rig.folder().path(), "p");
    ASSERT_EQ(specials.size(), 5u);
    for (const auto& special : specials) {
        rig.ui().messages.clear();
        rig.open(special.path.filename().string());
        ASSERT_EQ(rig.started.messages().size(), 1u) << special.name;
        EXPECT_NE(rig.started.messages()[0].find(special.path.string()), std::string::npos)
            << rig.started.messages()[0];
        EXPECT_NE(rig.started.messages()[0].find(special.says), std::string::npos) << rig.started.messages()[0];
        EXPECT_EQ(rig.frm().status(), "File not opened") << special.name;
        EXPECT_EQ(snapshot(rig.program()), before) << special.name;
    }
}

// Tests run as root, whom permissions do not stop; so the refusal of the
// open itself is provoked with the limit on open files, and the wording of
// a refused permission is checked on the mapping.
TEST(OpenParameterFile, TheSystemRefusingTheOpenIsReported) {
    EXPECT_EQ(files::cannotReadProblem(std::make_error_code(std::errc::permission_denied)),
              "you may not read it (permission denied)");
#if defined(__SANITIZE_ADDRESS__)
    // With no descriptor left the sanitizer runtime itself fails and reports
    // false findings; the debug build runs the open below.
    GTEST_SKIP() << "descriptor exhaustion is not usable under the sanitizers";
#else
    FileRig rig;
    rig.folder().write("f.zrk", joined(baseLines()));
    const auto before = snapshot(rig.program());
    const int probeFd = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(probeFd, 0);
    ::close(probeFd);
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = static_cast<rlim_t>(probeFd);  // the next open finds no free descriptor
    setrlimit(RLIMIT_NOFILE, &limit);
    rig.open("f.zrk");
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find(rig.path("f.zrk") + ".\nit cannot be read ("), std::string::npos)
        << rig.started.messages()[0];
    EXPECT_EQ(snapshot(rig.program()), before);
#endif
}

TEST(OpenParameterFile, CancelChangesNothingAndSaysNothing) {
    FileRig rig;
    const auto before = snapshot(rig.program());
    rig.ui().files.push_back(std::nullopt);
    rig.frm().CAbrir.Click();
    EXPECT_TRUE(rig.started.messages().empty());
    EXPECT_EQ(rig.ui().lastFilter, "Parametros|*.zrk|All files");
    EXPECT_EQ(snapshot(rig.program()), before);
}

TEST(OpenParameterFile, TheSensorTypeIsSetBeforeTheLuxFields) {
    FileRig rig;
    rig.frm().ComboSensorLuz.setListIndex(0);
    rig.folder().write("f.zrk", fileWith({{17, "1"}, {18, "244"}, {41, "1"}}));
    rig.open("f.zrk");
    ASSERT_TRUE(rig.started.messages().empty());
    std::int32_t ad = 500;
    EXPECT_EQ(rig.frm().TLuxON.Text(), std::to_string(rig.program().state.lux.ADALux(ad, 1)));
    EXPECT_EQ(rig.frm().TLuxONAD.Text(), "500");
}

TEST(ParseParameterFile, ReadsNoFurtherThanLine520) {
    // A stream that would fail the test if read far past the file's lines.
    std::string text = joined(baseLines()) + std::string(1 << 20, '7');
    std::istringstream in(text);
    files::parseParameterFile(in, "f");
    EXPECT_LT(static_cast<std::size_t>(in.tellg()), joined(baseLines()).size() + 8192);
}

}  // namespace
}  // namespace zrk::test
