// The strict reader of table files and the writer that prints them.
#include <gtest/gtest.h>

#include "bad_files.h"
#include "fake_platform.h"
#include "files/table_file.h"
#include "special_files.h"

namespace zrk::files {
namespace {

using test::badTableFiles;
using test::document;
using test::patternRow;

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
        parseTableJson("{\"pattern\":[" + patternRow(0) + "," + patternRow(0) + "," + patternRow(0) + "," +
                       patternRow(0) + "," + patternRow(0) + "," + patternRow(0) + "," + patternRow(0) + "," +
                       patternRow(0) + "]\r\n,\t\"colors\" : [0,0,0,0,0,0,0,-0]}");
    EXPECT_EQ(swapped.pattern[7][31], 31);
}

TEST(TableJson, SaysWhereAndWhatIsWrong) {
    for (const auto& c : badTableFiles()) {
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
