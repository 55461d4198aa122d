// The strict reader of table files and the writer that prints them.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "files/table_file.h"
#include "special_files.h"

namespace zrk::files {
namespace {

std::string row(int first, const std::string& replaceLast = {}) {
    std::string text = "[";
    for (int col = 0; col < 32; ++col) {
        text += col ? ", " : "";
        text += col == 31 && !replaceLast.empty() ? replaceLast : std::to_string(first + col);
    }
    return text + "]";
}

// A good file, row r holding r*100 + column - 1, with one part swapped for a bad one.
std::string document(const std::string& colors = "[1, 2, 3, 4, 5, 6, 7, 8]", int shortRow = 0,
                     const std::string& lastOfRow2 = {}) {
    std::string text = "{\n  \"colors\": " + colors + ",\n  \"pattern\": [\n";
    for (int r = 1; r <= 8; ++r) {
        std::string line = row(r * 100, r == 2 ? lastOfRow2 : std::string{});
        if (r == shortRow) line = line.substr(0, line.rfind(',')) + "]";
        text += "    " + line + (r < 8 ? ",\n" : "\n");
    }
    return text + "  ]\n}\n";
}

TEST(TableJson, ReadsTheShapeItWrites) {
    TableFile table;
    for (std::size_t r = 0; r < 8; ++r) {
        table.colors[r] = static_cast<std::int32_t>(r) * 0x1F1F1F;
        for (std::size_t c = 0; c < 32; ++c)
            table.pattern[r][c] = static_cast<std::int32_t>((r * 32 + c) * 255 % 65536);
    }
    table.colors[7] = kMaxColour;
    table.pattern[7][31] = kMaxEntry;
    const TableFile back = parseTableJson(tableJson(table));
    EXPECT_EQ(back.colors, table.colors);
    EXPECT_EQ(back.pattern, table.pattern);

    const TableFile good = parseTableJson(document());
    EXPECT_EQ(good.colors[7], 8);
    EXPECT_EQ(good.pattern[2][31], 331);
    // Key order and spacing are free.
    const TableFile swapped =
        parseTableJson("{\"pattern\":[" + row(0) + "," + row(0) + "," + row(0) + "," + row(0) + "," + row(0) + "," +
                       row(0) + "," + row(0) + "," + row(0) + "]\r\n,\t\"colors\" : [0,0,0,0,0,0,0,-0]}");
    EXPECT_EQ(swapped.pattern[7][31], 31);
}

TEST(TableJson, SaysWhereAndWhatIsWrong) {
    const std::string eight = "[1, 2, 3, 4, 5, 6, 7, 8]";
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        try {
            parseTableJson(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const TableFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << "got:      " << e.what() << "\nexpected: " << c.message;
        }
    }
}

TEST(TableJson, EscapedKeysAreTheSameKeys) {
    const std::string text = document();
    std::string escaped = text;
    escaped.replace(escaped.find("\"colors\""), 8, "\"\\u0063olors\"");
    EXPECT_EQ(parseTableJson(escaped).colors, parseTableJson(text).colors);
}

TEST(TableJson, WhatIsNoTableFileIsRefusedUnread) {
    test::TempFolder folder;
    const auto specials = test::makeSpecialFiles(folder.path(), "t");
    ASSERT_EQ(specials.size(), 5u);
    for (const auto& special : specials) {
        try {
            readTableFile(special.path);
            ADD_FAILURE() << special.name << " was read";
        } catch (const TableFileError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(special.path.string() + ": ", 0), 0u) << message;
            EXPECT_NE(message.find(special.says), std::string::npos) << message;
        }
    }
}

TEST(TableJson, AFileThatCannotBeReadIsNamed) {
    test::TempFolder folder;
    try {
        readTableFile(folder.path() / "missing.json");
        ADD_FAILURE() << "no error";
    } catch (const TableFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  (folder.path() / "missing.json").string() + ": cannot open the file for reading");
    }
    folder.write("bad.json", "{\n  \"colors\": [1, 2,]}");
    try {
        readTableFile(folder.path() / "bad.json");
        ADD_FAILURE() << "no error";
    } catch (const TableFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind((folder.path() / "bad.json").string() + ": line 2, column 19: ", 0), 0u)
            << e.what();
    }
}

}  // namespace
}  // namespace zrk::files
