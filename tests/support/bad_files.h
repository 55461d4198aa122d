#pragma once

// Parameter and table files a reader must refuse, with what the refusal says
// in English; shared by the tests of the readers and of their messages.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/parameter_file.h"

namespace zrk::test {

// A valid file as lines (without line ends): an all-zero image and an empty table.
inline std::vector<std::string> baseLines() {
    tables::FlashTable flash;
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) flash.pauta(row, col) = tables::kEmptyAngle;
    std::vector<std::string> lines;
    std::istringstream text(files::formatParameterFile(params::ParameterImage{}, flash));
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

inline std::string joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& line : lines) out += line + end;
    return out;
}

// Line n of a file holds position n - 1.
inline std::vector<std::string> linesWith(const std::vector<std::pair<int, std::string>>& positions) {
    auto lines = baseLines();
    for (const auto& [position, text] : positions) lines.at(static_cast<std::size_t>(position)) = text;
    return lines;
}
inline std::string fileWith(const std::vector<std::pair<int, std::string>>& positions) {
    return joined(linesWith(positions));
}

// The row colour's line and an entry's line of run 2, counted from 0.
inline std::size_t colorLine(int row) { return static_cast<std::size_t>(256 + (row - 1) * 33); }
inline std::size_t entryLine(int row, int col) { return colorLine(row) + static_cast<std::size_t>(col); }

inline std::string longLine() { return std::string(300, '1'); }

struct BadParameterFile {
    const char* name;
    std::string content;
    const char* says;
};

inline std::vector<BadParameterFile> badParameterFiles() {
    auto cut = [](std::size_t n) {
        auto lines = baseLines();
        lines.resize(n);
        return joined(lines);
    };
    return {
        {"empty file", "", "Line 1: the file ends after line 0"},
        {"binary garbage",
         std::string("\x7f"
                     "ELF\0\x01\x02\xff\n\n",
                     10),
         "Line 1: the text there is not a whole number"},
        {"519 lines", cut(519), "Line 520: the file ends after line 519"},
        {"cut after line 300", cut(300), "Line 301: the file ends after line 300"},
        {"letters in run 1", fileWith({{20, "12a"}}), "Line 21: \"12a\" is not a whole number"},
        {"a blank line in run 1", fileWith({{3, ""}}), "Line 4: the line is empty"},
        {"a plus sign", fileWith({{3, "+3"}}), "Line 4: \"+3\" is not a whole number"},
        {"beyond 32 bits", fileWith({{5, "2147483648"}}), "Line 6: \"2147483648\" is too large"},
        {"far beyond 32 bits", fileWith({{5, "-99999999999999999999999"}}), "Line 6: "},
        {"a 24-bit value beyond 32 bits", fileWith({{0, "40000"}}), "Line 1: the value of User Speed 1 (lines 1 to 3)"},
        {"a 16-bit value beyond 32 bits", fileWith({{57, "8388608"}}),
         "Line 58: the value of Recovery time after hibernation"},
        {"a partial sum beyond 32 bits", fileWith({{9, "32768"}, {10, "-8388608"}}),
         "Line 10: the value of User Speed 4"},
        {"list index below -1", fileWith({{38, "-2"}}), "Line 39: -2 is no choice of Lamp 1 type"},
        {"check state 3", fileWith({{61, "3"}}), "Line 62: 3 is no state of the check box Rotation error OFF"},
        {"check state -1", fileWith({{54, "-1"}}), "Line 55: -1 is no state"},
        // A read takes bit 0 of this cell; a file holds the state itself.
        {"check state 3 in a cell whose other bits a read drops", fileWith({{54, "3"}}), "Line 55: 3 is no state"},
        {"identification code 300", fileWith({{240, "300"}}), "Line 241: 300 is no character that Identifier can hold"},
        {"identification code undefined", fileWith({{231, "129"}}), "Line 232: 129 is no character"},
        {"colour beyond 32 bits",
         [] {
             auto lines = baseLines();
             lines[colorLine(5)] = "1e20";
             return joined(lines);
         }(),
         "Line 389: the colour \"1e20\" is too large"},
        {"very long line in run 1", fileWith({{7, longLine()}}), "Line 8: the line is longer than 256 characters"},
        {"very long line in run 2",
         [] {
             auto lines = baseLines();
             lines[entryLine(3, 3)] = std::string(300'000, ' ') + "5";  // under the size limit
             return joined(lines);
         }(),
         "Line 326: the line is longer"},
    };
}

// Table files a reader must refuse, and the start of what it says in English.
inline std::string patternRow(int first, const std::string& replaceLast = {}) {
    std::string text = "[";
    for (int col = 0; col < 32; ++col) {
        text += col ? ", " : "";
        text += col == 31 && !replaceLast.empty() ? replaceLast : std::to_string(first + col);
    }
    return text + "]";
}

// A good file, row r holding r*100 + column - 1, with one part swapped for a bad one.
inline std::string document(const std::string& colors = "[1, 2, 3, 4, 5, 6, 7, 8]", int shortRow = 0,
                            const std::string& lastOfRow2 = {}) {
    std::string text = "{\n  \"colors\": " + colors + ",\n  \"pattern\": [\n";
    for (int r = 1; r <= 8; ++r) {
        std::string line = patternRow(r * 100, r == 2 ? lastOfRow2 : std::string{});
        if (r == shortRow) line = line.substr(0, line.rfind(',')) + "]";
        text += "    " + line + (r < 8 ? ",\n" : "\n");
    }
    return text + "  ]\n}\n";
}

struct BadTableFile {
    std::string text;
    std::string message;
};

inline std::vector<BadTableFile> badTableFiles() {
    const std::string eight = "[1, 2, 3, 4, 5, 6, 7, 8]";
    return {
        {"", "line 1, column 1: the file is empty"},
        {"  [1, 2]", "line 1, column 3: the table must be an object"},
        {"{\"colors\": " + eight + "}", "line 1, column 1: the table has no \"pattern\""},
        {"{\"colors\": " + eight + ", \"pattern\": []}",
         "line 1, column 49: \"pattern\" has 0 entries; it needs 8 (8 rows)"},
        {"{\"colors\": " + eight + ", \"colours\": 1}", "line 1, column 38: unknown key \"colours\""},
        {"{\"colors\": " + eight + ", \"colors\": " + eight + "}", "line 1, column 38: \"colors\" is given twice"},
        {document("[1, 2, 3, 4, 5, 6, 7]"), "line 2, column 13: \"colors\" has 7 entries; it needs 8"},
        {document("{\"r\": 1}"), "line 2, column 13: \"colors\" must be an array of 8 row colours, not an object"},
        {document("[1, 2, 3, 4, 5, 6, 7, 16777216]"),
         "line 2, column 35: the colour of row 8 must be a whole number from 0 to 16777215, not 16777216"},
        {document("[-1, 2, 3, 4, 5, 6, 7, 8]"), "line 2, column 14: the colour of row 1 must be a whole number"},
        {document("[1.5, 2, 3, 4, 5, 6, 7, 8]"),
         "the colour of row 1 must be a whole number from 0 to 16777215, not 1.5"},
        {document("[1e2, 2, 3, 4, 5, 6, 7, 8]"), "not 1e2"},
        {document("[\"red\", 2, 3, 4, 5, 6, 7, 8]"), "not the text \"red\""},
        {document("[null, 2, 3, 4, 5, 6, 7, 8]"), "not null"},
        {document("[99999999999, 2, 3, 4, 5, 6, 7, 8]"), "not 99999999999"},
        {document(eight, 3), "line 6, column 5: row 3 of \"pattern\" has 31 entries; it needs 32"},
        {document(eight, 0, "65536"),
         "line 5, column 161: entry 32 of row 2 of \"pattern\" must be a whole number from 0 to 65535, not 65536"},
        {document(eight, 0, "[1]"),
         "entry 32 of row 2 of \"pattern\" must be a whole number from 0 to 65535, not an array"},
        // Syntax.
        {"{\"colors\": [1, 2,]}", "line 1, column 18: expected a value, found ']'"},
        {"{\"colors\": [1, 2", "line 1, column 17: expected ',' or ']' in the array, but the file ends here"},
        {"{\"colors\": [01]}", "line 1, column 14: a number may not start with 0"},
        {"{\"colors\": [1.]}", "expected a digit after the decimal point, found ']'"},
        {"{\"colors\": [NaN]}", "line 1, column 13: expected a value, found 'N'"},
        {"{colors: []}", "line 1, column 2: expected a key in double quotes, found 'c'"},
        {"{\"colors\" []}", "line 1, column 11: expected ':' after the key, found '['"},
        {"{\"col\nors\": []}", "a control character must be escaped inside a string"},
        {"{\"colors\\q\": []}", "unknown escape '\\q'"},
        {"{} {}", "line 1, column 4: unexpected text after the end of the table"},
        {"{} // comment", "unexpected text after the end of the table"},
        {std::string(40, '[') + std::string(40, ']'), "the values nest too deeply"},
    };
}

}  // namespace zrk::test
