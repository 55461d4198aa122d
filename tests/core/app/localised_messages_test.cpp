// The tool's own messages and statuses come in the operator's language, in
// every set of texts: no English line in a Spanish or French window.
#include <gtest/gtest.h>

#include <filesystem>

#include "ops/parameter_memory.h"
#include "ops/shell.h"
#include "ops/status_interrogation.h"
#include "started_program.h"
#include "texts/text_ids.h"

namespace zrk::test {
namespace {

using texts::Language;

struct LocalProgram {
    LocalProgram(const char* locale, const PortFactory& port = {}) : machine(port) {
        machine.platform.userLanguage = locale;
        program = std::make_unique<app::Program>(machine.platform);
        program->state.emptyLoop = [this](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        EXPECT_EQ(program->Main(), 0);
        machine.ui.messages.clear();
    }
    std::string text(int id) const { return program->state.CargarTexto(id); }
    std::string lastMessage() const { return machine.ui.messages.empty() ? "" : machine.ui.messages.back().text; }
    FakeMachine machine;
    std::unique_ptr<app::Program> program;
};

const struct {
    const char* locale;
    Language language;
    const char* setupPage;
    const char* noAnswer;
} kSets[] = {
    {"C", Language::Neutral, "Setup", "No answer from the unit"},
    {"en-US", Language::English, "Setup", "No answer from the unit"},
    {"es-ES_tradnl", Language::SpanishTraditional, "Configuración", "El equipo no responde"},
    {"es-ES", Language::SpanishModern, "Configuración", "El equipo no responde"},
    {"fr-FR", Language::French, "Configuration", "L'appareil ne répond pas"},
};

TEST(LocalisedMessages, ASilentUnitIsReportedInTheOperatorsLanguage) {
    for (const auto& set : kSets) {
        SCOPED_TRACE(set.locale);
        LocalProgram local(set.locale, scriptedUnit());
        EXPECT_EQ(ops::IdentificarZRK(local.program->state), ops::End::NoAnswer);
        EXPECT_EQ(local.program->state.frm.status(), set.noAnswer);
        const std::string message = local.lastMessage();
        // The page is named by the caption its tab shows in that language.
        EXPECT_NE(message.find(std::string(" ") + set.setupPage + " "), std::string::npos) << message;
        EXPECT_EQ(local.program->state.frm.TabStrip1.caption(4), set.setupPage);
        EXPECT_NE(message.find("scripted1"), std::string::npos) << message;
        if (set.language != Language::English && set.language != Language::Neutral) {
            EXPECT_EQ(message.find("Check the cable"), std::string::npos) << message;
        }
    }
}

TEST(LocalisedMessages, FileHelpAndAutomaticModeTextsFollowTheSet) {
    for (const auto& set : kSets) {
        SCOPED_TRACE(set.locale);
        LocalProgram local(set.locale);
        auto& p = *local.program;
        const texts::TextTable table(set.language);

        local.machine.ui.files.push_back((local.machine.folder.path() / "missing.zrk").string());
        p.state.frm.CAbrir.Click();
        EXPECT_EQ(p.state.frm.status(), table.CargarTexto(texts::id::kFileNotOpened));

        std::filesystem::create_directory(local.machine.folder.path() / "dir.zrk");
        local.machine.ui.files.push_back((local.machine.folder.path() / "dir.zrk").string());
        p.state.frm.CGuardar.Click();
        EXPECT_EQ(p.state.frm.status(), table.CargarTexto(texts::id::kFileNotSaved));

        p.state.frm.CAyuda.Click();  // no viewer starts on the fake machine
        EXPECT_EQ(local.lastMessage().rfind(table.CargarTexto(texts::id::kHelpCouldNotOpen), 0), 0u)
            << local.lastMessage();

        p.state.frm.TTiempoModoVerboso.setText("70");
        ops::CModoVerboso_Click(p.state);
        EXPECT_EQ(local.lastMessage(), texts::fill(table.CargarTexto(texts::id::kAutomaticPeriodRefused), {"70"}));
    }
}

// The confirmation lists each change by the field's caption in the set,
// with the unit label the window shows beside it, and never by code name.
TEST(LocalisedMessages, TheConfirmationNamesFieldsByCaptionWithTheirUnit) {
    const struct {
        const char* field;
        const char* typed;
        int caption;
        int unitText;  // the unit label's text id; 0: the fixed "%"
    } changes[] = {{"TVelocidadUsuario1", "7", 1420, 1219}, {"TPWMLed", "12", 1473, 0}};
    for (const auto& set : kSets) {
        SCOPED_TRACE(set.locale);
        LocalProgram local(set.locale, simulatedUnit());
        auto& p = *local.program;
        const texts::TextTable table(set.language);
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        for (const auto& change : changes)
            dynamic_cast<form::TextBox&>(p.state.frm.controls().at(change.field)).setText(change.typed);
        local.machine.ui.answers = {false};
        EXPECT_EQ(ops::confirmedWrite(p.state), ops::End::Cancelled);
        ASSERT_EQ(local.machine.ui.questions.size(), 1u);
        const std::string details = local.machine.ui.questions[0].details;
        for (const auto& change : changes) {
            const std::string start = "\n" + table.CargarTexto(change.caption) + ": ";
            const auto at = ("\n" + details).find(start);
            ASSERT_NE(at, std::string::npos) << details;
            const std::string line = details.substr(at, details.find('\n', at) - at);
            EXPECT_NE(line.find(" \u2192 "), std::string::npos) << line;
            const std::string unit = " " + (change.unitText != 0 ? table.CargarTexto(change.unitText) : "%");
            EXPECT_EQ(line.substr(line.size() - std::min(line.size(), unit.size())), unit) << line;
            EXPECT_EQ(details.find(change.field), std::string::npos) << details;
        }
    }
}

// English sentences the tool once showed outside its text table, and the
// write error's retry headline that a refusal must not carry.
const char* const kEnglishOrRetry[] = {"Cannot open the parameter file",
                                       "Nothing was changed",
                                       "it does not exist",
                                       "it is a folder",
                                       "Could not save",
                                       "Cannot write the write log",
                                       "Cannot create the folder",
                                       "Nothing was sent",
                                       "The unit reports",
                                       "Reintente"};

TEST(LocalisedMessages, FileErrorsAndRefusedWritesHoldNoEnglishSentence) {
    for (const char* locale : {"es-ES", "es-ES_tradnl", "fr-FR"}) {
        SCOPED_TRACE(locale);
        LocalProgram local(locale, simulatedUnit());
        auto& p = *local.program;
        const texts::TextTable table(texts::languageFromLocaleName(locale));
        const auto folder = local.machine.folder.path();
        std::filesystem::create_directory(folder / "dir.zrk");
        for (const char* name : {"missing.zrk", "dir.zrk"}) {
            local.machine.ui.files.push_back((folder / name).string());
            p.state.frm.CAbrir.Click();
        }
        local.machine.ui.files.push_back((folder / "dir.zrk").string());
        p.state.frm.CGuardar.Click();
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        p.state.frm.TPWMLed.setText("300");
        EXPECT_EQ(ops::writeUnit(p.state), ops::End::BadData);
        // A folder where the write log belongs.
        p.state.frm.TPWMLed.setText("12");
        std::filesystem::create_directories(p.state.platform.info.dataFolder / "writes.log" / "x");
        EXPECT_EQ(ops::writeUnit(p.state), ops::End::NotRecorded);

        const auto& shown = local.machine.ui.messages;
        ASSERT_EQ(shown.size(), 5u);
        const std::string cannotOpen =
            table.CargarTexto(texts::id::kCannotOpenParameterFile)
                .substr(0, table.CargarTexto(texts::id::kCannotOpenParameterFile).find("%1"));
        EXPECT_EQ(shown[0].text.rfind(cannotOpen, 0), 0u) << shown[0].text;
        EXPECT_NE(shown[0].text.find(table.CargarTexto(texts::id::kDoesNotExist)), std::string::npos) << shown[0].text;
        EXPECT_NE(shown[1].text.find(table.CargarTexto(texts::id::kFolderNotFile)), std::string::npos) << shown[1].text;
        EXPECT_EQ(shown[3].text.rfind(table.CargarTexto(texts::id::kNothingSentToUnit) + "\n", 0), 0u) << shown[3].text;
        ASSERT_EQ(local.machine.ui.warnings.size(), 1u);
        std::vector<std::string> texts;
        for (const auto& m : shown) texts.push_back(m.text);
        texts.push_back(local.machine.ui.warnings[0].question);
        for (const auto& text : texts)
            for (const char* english : kEnglishOrRetry) EXPECT_EQ(text.find(english), std::string::npos) << text;
    }
}

TEST(LocalisedMessages, TheFlashGridExplainsRefusalsAndMarksInTheSet) {
    const struct {
        const char* locale;
        const char* refused;
        const char* throughZero;
    } cases[] = {
        {"C", "Angle 400 refused in row 1, column 1I: angles run from 0 to 359",
         "Start after end: the sector runs through 0"},
        {"es-ES_tradnl", "Ángulo 400 rechazado en la fila 1, columna 1I: los ángulos van de 0 a 359",
         "Inicio después del final: el sector pasa por 0"},
        {"fr-FR", "Angle 400 refusé en ligne 1, colonne 1I : les angles vont de 0 à 359",
         "Début après la fin : le secteur passe par 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        LocalProgram local(c.locale);
        auto& grid = local.program->state.frm.MSFlexGridPautas;
        const auto type = [&grid](const std::string& keys) {
            for (char key : keys) grid.KeyPress(static_cast<unsigned char>(key));
        };
        grid.setCurrent(1, 1);
        type("400\t");
        EXPECT_EQ(local.program->state.frm.status(), c.refused);
        grid.setCurrent(2, 1);
        type("350\t10\t");
        EXPECT_EQ(grid.CellToolTip(2, 1), c.throughZero);
    }
}

}  // namespace
}  // namespace zrk::test
