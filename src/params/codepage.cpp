#include "params/codepage.h"

#include <array>

namespace zrk::params {
namespace {

// Code points of 0x80..0x9F; 0 marks the undefined codes.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

char32_t decodeOne(const std::string& s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (s.size() == 1) return b(0);
    if (s.size() == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (s.size() == 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

}  // namespace

std::optional<std::string> characterOfCode(std::uint8_t code) {
    if (code >= 0x80 && code <= 0x9F) {
        const char32_t c = kHigh[code - 0x80];
        if (c == 0) return std::nullopt;
        return utf8(c);
    }
    return utf8(code);
}

std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 1;
        if (i + length > text.size()) length = 1;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 1;
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

std::uint8_t codeOfCharacter(const std::string& character) {
    if (character.empty()) return '?';
    if (character.size() == 1) {
        const auto b = static_cast<unsigned char>(character[0]);
        return b < 0x80 ? b : '?';
    }
    const char32_t c = decodeOne(character);
    if (c >= 0xA0 && c <= 0xFF) return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    return '?';
}

}  // namespace zrk::params
