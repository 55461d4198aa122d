#pragma once

#include <string>
#include <utility>
#include <vector>

#include "texts/texts.h"

namespace zrk::texts {

// A text of the table with what fills its %1, %2, ...: a layer that does not
// know the operator's set (a file reader) hands it up, and whoever shows it
// words it in the active set. An argument is plain text (a number, a file
// name, the operator's own text) or a phrase of its own.
struct Phrase {
    int id = 0;  // 0: `plain` as it stands
    std::string plain;
    std::vector<Phrase> args;

    Phrase() = default;
    Phrase(std::string text) : plain(std::move(text)) {}
    Phrase(const char* text) : plain(text) {}
    explicit Phrase(int textId, std::vector<Phrase> arguments = {}) : id(textId), args(std::move(arguments)) {}

    // The phrase in the set of `table`.
    std::string in(const TextTable& table) const {
        if (id == 0) return plain;
        const std::string text = table.CargarTexto(id);
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool placeholder = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
            const auto n = placeholder ? static_cast<std::size_t>(text[i + 1] - '1') : 0;
            if (placeholder && n < args.size()) {
                out += args[n].in(table);
                ++i;
            } else {
                out += text[i];
            }
        }
        return out;
    }
    // In English, for what() of an exception and for logs.
    std::string english() const { return in(TextTable(Language::English)); }
};

}  // namespace zrk::texts
