#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zrk::texts {

// The five sets of texts. The neutral set is the one for every language
// without a set of its own: mostly English, with a few texts of its own.
enum class Language { Neutral, English, SpanishTraditional, SpanishModern, French };

// The set for the user's language setting, given as a locale name in any of
// the spellings the systems use: "en-US", "es_ES.UTF-8", "fr", "es-ES_tradnl"
// (Windows' traditional sort), "es_ES@traditional", "es-ES-u-co-trad".
// Only the language decides, not the region: every English locale gets the
// English set, every French one the French set, every Spanish one the modern
// sort unless the name asks for the traditional sort. Anything else (German,
// "C", an empty name) gets the neutral set.
Language languageFromLocaleName(std::string_view localeName);

// "neutral", "en-US", "es-ES_tradnl", "es-ES", "fr-FR": for messages and tests.
std::string_view languageTag(Language language);

// The captions, list items, help-file name and the two messages that follow
// the operator's language. Looked up by their numeric id.
// The text with %1, %2, ... replaced by the arguments in that order.
std::string fill(std::string_view text, std::initializer_list<std::string_view> args);

class TextTable {
public:
    explicit TextTable(Language language);

    Language language() const { return language_; }
    // The text of `id` in the active set; an id that is not in the table is a
    // programming error and gives "<id>" so that it shows up on screen.
    std::string CargarTexto(int id) const;
    // Every id of the table, in ascending order (the same in every set).
    static std::vector<int> ids();

private:
    Language language_;
};

}  // namespace zrk::texts
