// zrkctl table read / table write, run in-process against the simulated unit.
#include <gtest/gtest.h>

#include <sstream>

#include "ctl_fixture.h"
#include "files/table_file.h"
#include "frame_hook_port.h"
#include "ops/segment_transfer.h"

namespace zrk::test {
namespace {

// The table commands on the LED lantern, every frame seen on the way.
struct TableCtl : Ctl {
    explicit TableCtl(sim::Faults faults = {}) : Ctl(hookedUnit("led-lantern", faults)) { port().frames.clear(); }
    FrameHookPort& port() { return started.port<FrameHookPort>(); }
    sim::DeviceModel& unit() { return port().device(); }
    std::string file(const std::string& name, const std::string& content) {
        started.machine.folder.write(name, content);
        return path(name);
    }
};

files::TableFile sampleTable() {
    files::TableFile table;
    for (std::size_t r = 0; r < 8; ++r) {
        table.colors[r] = static_cast<std::int32_t>(0x102030 * (r + 1) % 0x1000000);
        table.pattern[r].fill(tables::kEmptyAngle);
        table.pattern[r][0] = static_cast<std::int32_t>(r * 40);
        table.pattern[r][1] = static_cast<std::int32_t>(r * 40 + 20);
    }
    table.pattern[7][31] = 359;
    return table;
}

TEST(TableCli, ReadPrintsTheTableAsJson) {
    TableCtl ctl;
    ASSERT_EQ(ctl.run({"table", "read"}, true), cli::kOk) << ctl.err.str();
    const files::TableFile table = files::parseTableJson(ctl.out.str());
    EXPECT_EQ(table.colors, (std::array<std::int32_t, 8>{0xFFFFFF, 0xFF, 0xFF00, 0, 0, 0, 0, 0}));
    const std::array<std::int32_t, 4> row1 = {0, 120, 240, 359};
    for (std::size_t col = 0; col < 32; ++col)
        EXPECT_EQ(table.pattern[0][col], col < 4 ? row1[col] : tables::kEmptyAngle) << col;
    EXPECT_EQ(table.pattern[7][31], tables::kEmptyAngle);
    EXPECT_EQ(ctl.port().frames.size(), 536u + 2) << "the table, then the unit's number";
}

TEST(TableCli, ReadAsTextShowsOneLinePerRow) {
    TableCtl ctl;
    ASSERT_EQ(ctl.run({"table", "read"}), cli::kOk);
    const std::string text = ctl.out.str();
    EXPECT_EQ(text.rfind("row 1  colour 16777215  entries 0 120 240 359 511 511", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
    EXPECT_NE(text.find("\nrow 2  colour 255  entries 120 180 511"), std::string::npos) << text;
}

TEST(TableCli, AFailedReadPrintsNoTable) {
    TableCtl ctl;
    ctl.port().onFrame = [](const FrameHookPort::Frame& f) { return f.command == 138 && f.parameter1 == 140; };
    EXPECT_EQ(ctl.run({"table", "read"}, true), cli::kNoAnswer);
    EXPECT_EQ(ctl.out.str(), "");
    EXPECT_EQ(ctl.err.str(), "zrkctl: Reading Error in data 140 \u2014 table 4, second half\n");
}

TEST(TableCli, ALostLineIsAPortError) {
    sim::Faults faults;
    faults.disconnectAfter = 10;
    TableCtl ctl(faults);
    EXPECT_EQ(ctl.run({"table", "read"}), cli::kPortError);
    EXPECT_EQ(ctl.out.str(), "");
    EXPECT_EQ(ctl.started.machine.ui.messages.size(), 1u);
}

TEST(TableCli, WriteSendsTheFileThroughTheColourLabels) {
    TableCtl ctl;
    const files::TableFile table = sampleTable();
    const std::string path = ctl.file("table.json", files::tableJson(table));
    ASSERT_EQ(ctl.run({"table", "write", path}), cli::kOk) << ctl.err.str();
    const std::string out = ctl.out.str();
    EXPECT_EQ(out.rfind("Row 1, colour: 16777215 \u2192 1056816\nRow 1, pair 1: 000 - 120 \u2192 000 - 020\n", 0), 0u)
        << out;
    EXPECT_NE(out.find("\nRow 8, pair 16: --- - --- \u2192 --- - 359\n"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 6), "Ended\n");
    ops::SegmentBlock expected;
    tables::FlashTable flash;
    for (int row = 1; row <= 8; ++row) {
        const auto r = static_cast<std::size_t>(row - 1);
        flash.color(row) = table.colors[r];
        for (int col = 1; col <= 32; ++col) flash.pauta(row, col) = table.pattern[r][static_cast<std::size_t>(col - 1)];
        EXPECT_EQ(ctl.started.frm().LColor(row).Caption(), std::to_string(table.colors[r]));
        EXPECT_EQ(ctl.started.program->state.flash.color(row), table.colors[r]);
    }
    for (int n = 1; n <= 4; ++n) {
        ops::encodeSegmentTable(flash, n, expected);
        for (int half : ops::kHalfStarts)
            for (int offset = half; offset < half + ops::kHalfLength; ++offset)
                EXPECT_EQ(ctl.unit().segment(n, offset), expected[static_cast<std::size_t>(offset)])
                    << n << "/" << offset;
    }

    // And back.
    TableCtl reader;
    for (int n = 1; n <= 4; ++n)
        for (int offset = 0; offset < 256; ++offset) reader.unit().setSegment(n, offset, ctl.unit().segment(n, offset));
    ASSERT_EQ(reader.run({"table", "read"}, true), cli::kOk);
    EXPECT_EQ(reader.out.str(), files::tableJson(table));
}

// The unit's table is read first; then exactly the cells that change go
// out, and only they are read back.
TEST(TableCli, AWriteSendsTheChangedCellsAndReadsThemBackUnlessToldNotTo) {
    for (const bool verify : {true, false}) {
        TableCtl ctl;
        std::array<std::array<int, 256>, 4> before{};
        for (int n = 1; n <= 4; ++n)
            for (int offset = 0; offset < 256; ++offset)
                before[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(offset)] =
                    ctl.unit().segment(n, offset);
        const std::string path = ctl.file("table.json", files::tableJson(sampleTable()));
        std::vector<std::string> args = {"table", "write", path};
        if (!verify) args.insert(args.begin() + 2, "--no-verify");
        ASSERT_EQ(ctl.run(args), cli::kOk) << ctl.err.str();
        std::vector<std::pair<int, int>> changed, written;
        for (int n = 1; n <= 4; ++n)
            for (int offset = 0; offset < 256; ++offset)
                if (ctl.unit().segment(n, offset) !=
                    before[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(offset)])
                    changed.emplace_back(n, offset);
        long reads = 0;
        for (const auto& f : ctl.port().frames) {
            if (f.command >= 131 && f.command <= 134) written.emplace_back(f.command - 130, f.parameter1);
            if (f.command >= 135 && f.command <= 138) ++reads;
        }
        EXPECT_FALSE(changed.empty());
        EXPECT_EQ(written, changed) << verify;
        EXPECT_EQ(reads, 536 + (verify ? static_cast<long>(changed.size()) : 0)) << verify;
    }
}

TEST(TableCli, AWriteWithFailedHalvesEndsWithOne) {
    TableCtl ctl;
    ctl.port().onFrame = [](const FrameHookPort::Frame& f) { return f.command == 133 && f.parameter1 == 0; };
    const std::string path = ctl.file("table.json", files::tableJson(sampleTable()));
    EXPECT_EQ(ctl.run({"table", "write", path}, true), cli::kNoAnswer);
    const std::string out = ctl.out.str();
    EXPECT_EQ(
        out.rfind("{\"status\": \"Ended, halves failed  1\", \"unit\": 40101, \"rows\": [1, 2, 3, 4, 5, 6, 7, 8]", 0),
        0u)
        << out;
    EXPECT_NE(out.find("\"failedHalves\": 1}\n"), std::string::npos) << out;
}

TEST(TableCli, ABadFileSendsNothing) {
    TableCtl ctl;
    const std::string path = ctl.file("bad.json", "{\"colors\": [1, 2, 3, 4, 5, 6, 7, 8]}");
    EXPECT_EQ(ctl.run({"table", "write", path}), cli::kPortError);
    EXPECT_EQ(ctl.err.str(), "zrkctl: " + path + ": line 1, column 1: the table has no \"pattern\"\n");
    EXPECT_EQ(ctl.port().frames.size(), 0u);
    EXPECT_EQ(ctl.run({"table", "write", path + ".missing"}), cli::kPortError);
    EXPECT_EQ(ctl.port().frames.size(), 0u);
}

TEST(TableCli, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {{"table"},
                                                         {"table", "show"},
                                                         {"table", "write"},
                                                         {"table", "write", "a.json", "b.json"},
                                                         {"table", "read", "x"}};
    for (const auto& args : cases) {
        TableCtl ctl;
        EXPECT_EQ(ctl.run(args), cli::kUsage) << args.size();
        EXPECT_EQ(ctl.err.str().rfind("zrkctl: table", 0), 0u) << ctl.err.str();
        EXPECT_EQ(ctl.port().frames.size(), 0u);
    }
}

}  // namespace
}  // namespace zrk::test
