// The text table in its five sets, the choice of set from the user's
// language setting, and the captions a started program shows with each.
#include "texts/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "model_probe.h"
#include "started_program.h"
#include "texts/text_ids.h"

namespace zrk::test {
namespace {

using texts::Language;
using texts::TextTable;

const Language kAllSets[] = {Language::Neutral, Language::English, Language::SpanishTraditional,
                             Language::SpanishModern, Language::French};

const std::vector<int> kIds = TextTable::ids();

// The placeholders %1, %2, ... a text takes.
std::set<std::string> placeholders(const std::string& text) {
    std::set<std::string> out;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 1))
        if (i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') out.insert(text.substr(i, 2));
    return out;
}

// Every row has a text in every set, and every set's text takes the same
// arguments: a translation that drops or adds a %N would show the wrong value.
TEST(Texts, EverySetHoldsEveryRowWithTheSamePlaceholders) {
    ASSERT_FALSE(kIds.empty());
    for (int id : kIds) {
        const std::set<std::string> english = placeholders(TextTable(Language::English).CargarTexto(id));
        for (Language language : kAllSets) {
            const std::string text = TextTable(language).CargarTexto(id);
            EXPECT_FALSE(text.empty()) << texts::languageTag(language) << " " << id;
            EXPECT_EQ(placeholders(text), english) << texts::languageTag(language) << " " << id << ": " << text;
        }
    }
    for (Language language : kAllSets)
        EXPECT_EQ(TextTable(language).CargarTexto(1001), "<1001>") << "an id outside the table shows as such";
}

// Texts as the unit's own sets have them: blanks, accents, odd spellings.
TEST(Texts, TextsOfEachSetAsWritten) {
    struct Case {
        Language language;
        int id;
        const char* text;
    };
    const Case cases[] = {
        {Language::English, 2014, "Type sensor lamp"},
        {Language::Neutral, 2014, " Type sensor lamp"},
        {Language::English, 2005, "Rotation error OFF"},
        {Language::Neutral, 2005, "Fallo rotación OFF"},
        {Language::Neutral, 2007, "Double led"},
        {Language::Neutral, 1102, "Flashes"},
        {Language::English, 1171, "LED instant current "},
        {Language::Neutral, 1404, "Lamp  2 type"},
        {Language::English, 1402, "Lamchanger type"},
        {Language::English, 1456, "Changeur ON"},
        {Language::English, 2001, "This version of firmware is only ZRK software program v1.2.9"},
        {Language::SpanishModern, 1165, "Telemado"},
        {Language::SpanishTraditional, 1165, "Telemando"},
        {Language::SpanishModern, 1055, "ON noche"},
        {Language::SpanishTraditional, 1055, "ON Noche"},
        {Language::SpanishModern, 1205, "Numero ID"},
        {Language::SpanishTraditional, 1205, "Número ID"},
        {Language::SpanishTraditional, 1425, "Pulses per revolution"},
        {Language::SpanishModern, 1425, "Pulsos por revolución"},
        {Language::SpanishTraditional, 1203, "Versión firmware"},
        {Language::SpanishModern, 1160, "Lenguaje:"},
        {Language::SpanishModern, 1462, "Control dia/ noche"},
        {Language::SpanishModern, 1470, "Función 2º Puerto"},
        {Language::SpanishModern, 2015, "Alarm. corriente lámpara 1"},
        {Language::SpanishTraditional, 1059, "Tiempo de reactivación tras hibernación"},
        {Language::SpanishModern, 2001, "Esta versión de firmware solo se programa con el software ZRK V1.2.9"},
        {Language::French, 1102, "Éclats"},
        {Language::French, 1165, "Télécommande"},
        {Language::French, 2002, "Modifications à enregistrer"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextTable(c.language).CargarTexto(c.id), c.text) << texts::languageTag(c.language) << " " << c.id;
}

TEST(Texts, HelpFileNamePerSet) {
    const std::map<Language, std::string> names = {{Language::Neutral, "helpZRK.chm"},
                                                   {Language::English, "helpZRK.chm"},
                                                   {Language::SpanishModern, "ayudaZRK.chm"},
                                                   {Language::SpanishTraditional, "ayudajx.chm"},
                                                   {Language::French, "AideZRK.chm"}};
    for (const auto& [language, name] : names) EXPECT_EQ(TextTable(language).CargarTexto(texts::id::kHelpFile), name);
}

// The ids where one set departs from the set it is based on: exactly these.
std::set<int> differences(Language a, Language b) {
    std::set<int> out;
    for (int id : kIds)
        if (TextTable(a).CargarTexto(id) != TextTable(b).CargarTexto(id)) out.insert(id);
    return out;
}

TEST(Texts, NeutralAndTraditionalSetsDepartOnlyWhereTheyShould) {
    EXPECT_EQ(differences(Language::Neutral, Language::English), (std::set<int>{2005, 2007, 2014}));
    EXPECT_EQ(differences(Language::SpanishTraditional, Language::SpanishModern),
              (std::set<int>{1055, 1058, 1165, 1205, 1207, 1425, 1429, 1435, 2000, 2005}));
}

TEST(Texts, FrenchIsTranslatedThroughout) {
    // Only names, units and words French shares with English stay as they are.
    const std::set<int> sameAsEnglish = {1103, 1161, 1220, 1430, 1463, 1471, 1472, 2007, 2012, 3228, 3240, 3246};
    std::set<int> same;
    for (int id : kIds)
        if (TextTable(Language::French).CargarTexto(id) == TextTable(Language::English).CargarTexto(id))
            same.insert(id);
    EXPECT_EQ(same, sameAsEnglish);
    // Nor has a Spanish text slipped in where the translation belongs.
    for (int id : kIds) {
        if (sameAsEnglish.count(id)) continue;
        EXPECT_NE(TextTable(Language::French).CargarTexto(id), TextTable(Language::SpanishModern).CargarTexto(id))
            << id;
    }
}

// The tool's own texts (3000 and up) use one word per thing in each set,
// and no telegraphic "nothing written"; the unit's own texts are as they are.
TEST(Texts, OwnTextsUseOneWordPerThing) {
    const struct {
        Language language;
        std::vector<const char*> avoided;  // the word chosen instead in a comment
    } cases[] = {
        // unit: equipo; file: archivo; record: registro de escrituras
        {Language::SpanishModern, {"unidad", "fichero", "Nada escrito", "Nada devuelto", "registro de escritura:"}},
        {Language::SpanishTraditional, {"unidad", "fichero", "Nada escrito", "Nada devuelto"}},
        // unit: appareil; file: fichier; record: journal des écritures
        {Language::French, {"unité", "Rien écrit", "Rien remis", "journal d'écriture"}},
    };
    for (const auto& c : cases) {
        const TextTable table(c.language);
        for (int id : kIds) {
            if (id < 3000) continue;
            const std::string text = table.CargarTexto(id);
            for (const char* word : c.avoided)
                EXPECT_EQ(text.find(word), std::string::npos)
                    << texts::languageTag(c.language) << " " << id << ": " << text;
        }
    }
}

TEST(Texts, LanguageFromLocaleName) {
    struct Case {
        const char* name;
        Language language;
    };
    const Case cases[] = {
        {"en-US", Language::English},
        {"en_US.UTF-8", Language::English},
        {"en-GB", Language::English},
        {"en", Language::English},
        {"EN-us", Language::English},
        {"es-ES", Language::SpanishModern},
        {"es_ES.UTF-8", Language::SpanishModern},
        {"es-MX", Language::SpanishModern},
        {"es", Language::SpanishModern},
        {"es-ES_tradnl", Language::SpanishTraditional},
        {"ES-es_TRADNL", Language::SpanishTraditional},
        {"es_ES@traditional", Language::SpanishTraditional},
        {"es_ES.UTF-8@traditional", Language::SpanishTraditional},
        {"es-ES-u-co-trad", Language::SpanishTraditional},
        {"es-ES-u-ca-gregory-co-trad", Language::SpanishTraditional},
        {"fr-FR", Language::French},
        {"fr_CA.UTF-8", Language::French},
        {"fr", Language::French},
        {"de-DE", Language::Neutral},
        {"de_DE.UTF-8", Language::Neutral},
        {"eu-ES", Language::Neutral},
        {"ca_ES@valencia", Language::Neutral},
        {"frr_DE", Language::Neutral},
        {"eng", Language::Neutral},
        {"C", Language::Neutral},
        {"C.UTF-8", Language::Neutral},
        {"POSIX", Language::Neutral},
        {"", Language::Neutral},
    };
    for (const Case& c : cases) EXPECT_EQ(texts::languageFromLocaleName(c.name), c.language) << "\"" << c.name << "\"";
}

// A program started on a machine with the given user language.
struct LocalisedProgram {
    explicit LocalisedProgram(const std::string& userLanguage, const std::string& ini = kDefaultIni)
        : machine(nullptr, ini) {
        machine.platform.userLanguage = userLanguage;
        program = std::make_unique<app::Program>(machine.platform);
        program->state.emptyLoop = [this](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        exitCode = program->Main();
    }
    FakeMachine machine;
    std::unique_ptr<app::Program> program;
    int exitCode = -1;
    std::string caption(const std::string& name, int index = -1) {
        return probe(program->state.frm.controls().at(name, index), "Caption");
    }
};

TEST(Texts, StartedWindowShowsTheUsersSet) {
    struct Case {
        const char* userLanguage;
        const char* tab3;
        const char* label49;
        const char* label51;
        const char* helpFile;
    };
    const Case cases[] = {
        {"en-US", "Remote control", "Rotation error OFF", "Type sensor lamp", "helpZRK.chm"},
        {"de-DE", "Remote control", "Fallo rotación OFF", " Type sensor lamp", "helpZRK.chm"},
        {"es-ES", "Telemado", "Fallo de rotación OFF", "Tipo sensor lámpara", "ayudaZRK.chm"},
        {"es-ES_tradnl", "Telemando", "Fallo rotación OFF", "Tipo sensor lámpara", "ayudajx.chm"},
        {"fr-FR", "Télécommande", "Défaut de rotation OFF", "Type capteur lampe", "AideZRK.chm"},
    };
    for (const Case& c : cases) {
        LocalisedProgram started(c.userLanguage);
        ASSERT_EQ(started.exitCode, 0) << c.userLanguage;
        EXPECT_EQ(started.program->state.frm.TabStrip1.caption(3), c.tab3) << c.userLanguage;
        EXPECT_EQ(started.caption("Label", 49), c.label49) << c.userLanguage;
        EXPECT_EQ(started.caption("Label", 51), c.label51) << c.userLanguage;
        EXPECT_EQ(started.program->state.helpFile, (started.machine.folder.path() / c.helpFile).string())
            << c.userLanguage;
    }
}

// Every caption, text and list item of the window, for comparing two starts.
std::map<std::string, std::string> allTexts(const form::FrmMain& frm) {
    std::map<std::string, std::string> out;
    for (const auto& control : frm.controls().all()) {
        for (const char* property : {"Caption", "Items", "Tabs"}) {
            try {
                out[control->key() + "." + property] = probe(*control, property);
            } catch (const std::invalid_argument&) {
                // Not a property of this kind of control.
            }
        }
    }
    return out;
}

TEST(Texts, StoredLanguageCodeChangesNoText) {
    for (const char* userLanguage : {"en-US", "es-ES"}) {
        LocalisedProgram english(userLanguage, "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
        LocalisedProgram spanish(userLanguage, "1\r\n0\r\n0\r\n\"34\"\r\n0\r\n");
        ASSERT_EQ(spanish.program->state.frm.ComboIdioma.ListIndex(), 1);
        const auto a = allTexts(english.program->state.frm);
        const auto b = allTexts(spanish.program->state.frm);
        ASSERT_GT(a.size(), 100u);
        EXPECT_EQ(a, b) << userLanguage;
        // The operator's pick in the (hidden) list changes nothing either.
        english.program->state.frm.ComboIdioma.setListIndex(1);
        EXPECT_EQ(allTexts(english.program->state.frm), a) << userLanguage;
        EXPECT_EQ(english.program->state.frm.CLeer.Caption(), english.program->state.CargarTexto(texts::id::kReadZrk));
    }
}

}  // namespace
}  // namespace zrk::test
