#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "tables/flash_table.h"
#include "texts/phrase.h"

namespace zrk::files {

// A table file that cannot be read or is not exactly the expected shape.
// The message says where ("line 3, column 14") and what is wrong; what()
// is its English.
class TableFileError : public std::runtime_error {
public:
    explicit TableFileError(texts::Phrase message)
        : std::runtime_error(message.english()), message_(std::move(message)) {}
    const texts::Phrase& message() const { return message_; }
    std::string describe(const texts::TextTable& table) const { return message_.in(table); }

private:
    texts::Phrase message_;
};

inline constexpr std::int32_t kMaxColour = 0xFFFFFF;  // 24-bit RGB, red in the low byte
inline constexpr std::int32_t kMaxEntry = 0xFFFF;     // an entry travels as 16 bits

// {"colors": [8 numbers], "pattern": [8 rows of 32 numbers]}, row 1 first.
struct TableFile {
    std::array<std::int32_t, 8> colors{};
    std::array<std::array<std::int32_t, 32>, 8> pattern{};
};

// Strict JSON of exactly that shape: no other keys, no key twice, whole
// numbers only, colours 0 to 16777215, entries 0 to 65535.
TableFile parseTableJson(std::string_view text);
// The same from a file; the message starts with the file's name.
TableFile readTableFile(const std::filesystem::path& file);

// The table as the program holds it, in that shape.
TableFile tableFileOf(const tables::FlashTable& table);
std::string tableJson(const TableFile& table);

}  // namespace zrk::files
