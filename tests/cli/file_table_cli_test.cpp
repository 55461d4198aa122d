// zrkctl read -o --table and write --table: the flash-pattern table carried
// in a parameter file from one simulated unit to another.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "cli/form_json.h"
#include "ctl_fixture.h"
#include "files/parameter_file.h"
#include "frame_hook_port.h"
#include "ops/segment_transfer.h"
#include "params/image_layout.h"

namespace zrk::test {
namespace {

// An LED lantern behind a line that shows the test every frame.
struct UnitCtl : Ctl {
    UnitCtl() : Ctl(hookedUnit("led-lantern")) { port().frames.clear(); }
    FrameHookPort& port() { return started.port<FrameHookPort>(); }
    sim::DeviceModel& unit() { return port().device(); }
    // Every segment byte 0xAA, so that every cell a file carries changes.
    void markSegments() {
        for (int n = 1; n <= 4; ++n)
            for (int offset = 0; offset < 256; ++offset) unit().setSegment(n, offset, 0xAA);
    }
    int segmentFrames(std::uint8_t firstCommand) {
        return static_cast<int>(std::count_if(port().frames.begin(), port().frames.end(), [&](const auto& f) {
            return f.command >= firstCommand && f.command < firstCommand + ops::kSegmentTables;
        }));
    }
};

constexpr std::uint8_t kSegmentWrite = ops::kWriteSegmentCommand + 1;
constexpr std::uint8_t kSegmentRead = ops::kReadSegmentCommand + 1;

// Row `row` of the table as the unit's segment bytes hold it.
int segmentBase(int row) { return row % 2 == 1 ? 0 : 128; }
std::int32_t unitEntry(const sim::DeviceModel& unit, int row, int col) {
    const int n = (row + 1) / 2, base = segmentBase(row);
    return unit.segment(n, base + 2 * col + 1) * 256 + unit.segment(n, base + 2 * col + 2);
}
std::int32_t unitColour(const sim::DeviceModel& unit, int row) {
    const int n = (row + 1) / 2, base = segmentBase(row);
    return unit.segment(n, base) * 65536 + unit.segment(n, base + 1) * 256 + unit.segment(n, base + 2);
}
void setUnitEntry(sim::DeviceModel& unit, int row, int col, int entry) {
    const int n = (row + 1) / 2, base = segmentBase(row);
    unit.setSegment(n, base + 2 * col + 1, static_cast<std::uint8_t>(entry >> 8));
    unit.setSegment(n, base + 2 * col + 2, static_cast<std::uint8_t>(entry & 0xFF));
}

// The lantern's own table, plus the entries a file must carry exactly:
// start angle 0, 360, a colour in every byte.
void giveSourceTable(sim::DeviceModel& unit) {
    setUnitEntry(unit, 5, 1, 0);
    setUnitEntry(unit, 5, 2, 90);
    setUnitEntry(unit, 5, 3, 270);
    setUnitEntry(unit, 5, 4, 360);
    unit.setSegment(3, 0, 0x12);
    unit.setSegment(3, 1, 0x34);
    unit.setSegment(3, 2, 0x56);
}

files::ParameterFileContent savedFile(const std::string& path) { return files::readParameterFile(path); }

TEST(FileTableCli, ReadWithTableSavesTheUnitsTableAsRunTwo) {
    UnitCtl ctl;
    giveSourceTable(ctl.unit());
    ASSERT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk"), "--table"}), cli::kOk) << ctl.err.str();
    EXPECT_EQ(ctl.out.str(), " Saved file: u.zrk\n");
    EXPECT_EQ(ctl.segmentFrames(kSegmentRead), ops::kTransferTransactions);
    const auto content = savedFile(ctl.path("u.zrk"));
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(content.colors[static_cast<std::size_t>(row - 1)], unitColour(ctl.unit(), row)) << "row " << row;
        for (int col = 1; col <= 32; ++col)
            EXPECT_EQ(content.angles[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)],
                      unitEntry(ctl.unit(), row, col))
                << row << "," << col;
    }
    // Spot checks that the comparison above has something to compare.
    EXPECT_EQ(content.angles[0][0], 0);
    EXPECT_EQ(content.angles[0][1], 120);
    EXPECT_EQ(content.angles[4][3], 360);
    EXPECT_EQ(content.colors[4], 0x123456);

    // Without --table the table stays as the form has it and the unit's is not read.
    UnitCtl plain;
    giveSourceTable(plain.unit());
    ASSERT_EQ(plain.run({"read", "-o", plain.path("p.zrk")}), cli::kOk) << plain.err.str();
    EXPECT_EQ(plain.segmentFrames(kSegmentRead), 0);
    const auto formTable = savedFile(plain.path("p.zrk"));
    for (const auto& row : formTable.angles)
        for (std::int32_t entry : row) EXPECT_EQ(entry, tables::kEmptyAngle);
    for (std::int32_t colour : formTable.colors) EXPECT_EQ(colour, 0);
}

TEST(FileTableCli, ATableReadThatFailsSavesNoFile) {
    UnitCtl ctl;
    ctl.port().onFrame = [](const FrameHookPort::Frame& f) {
        return f.command == kSegmentRead + 2 && f.parameter1 == 150;
    };
    EXPECT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk"), "--table"}), cli::kNoAnswer);
    EXPECT_EQ(ctl.out.str(), "");
    EXPECT_NE(ctl.err.str().find("Reading Error in data 150"), std::string::npos) << ctl.err.str();
    EXPECT_FALSE(std::filesystem::exists(ctl.path("u.zrk")));
}

// A file read with its table from one unit and written with it into
// another leaves the two with the same segment tables and the same cells.
TEST(FileTableCli, AFileCarriesTheTableFromOneUnitToAnother) {
    UnitCtl source;
    giveSourceTable(source.unit());
    ASSERT_EQ(source.run({"read", "-o", source.path("u.zrk"), "--table"}), cli::kOk) << source.err.str();

    UnitCtl target;
    for (int n = 1; n <= 4; ++n)
        for (int offset = 0; offset < 256; ++offset) target.unit().setSegment(n, offset, 0xAA);
    // Other parameters than the source's, in cells of every kind of field.
    for (auto [address, value] : {std::pair{2, 7},
                                  {15, 1},
                                  {18, 99},
                                  {22, 44},
                                  {27, 1},
                                  {38, 1},
                                  {43, 77},
                                  {49, 10},
                                  {53, 9},
                                  {56, 200},
                                  {60, 8},
                                  {65, 3},
                                  {222, 90},
                                  {224, 12},
                                  {240, 'X'}})
        target.unit().setMemory(address, static_cast<std::uint8_t>(value));
    std::filesystem::copy_file(source.path("u.zrk"), target.path("u.zrk"));
    target.port().frames.clear();
    ASSERT_EQ(target.run({"write", target.path("u.zrk"), "--table"}), cli::kOk) << target.err.str();
    EXPECT_NE(target.out.str().find("Saved before writing: "), std::string::npos) << target.out.str();
    EXPECT_TRUE(target.out.str().ends_with("\nEnded\n")) << target.out.str();

    // The parameters first, then the table.
    const auto& frames = target.port().frames;
    const auto firstSegment =
        std::find_if(frames.begin(), frames.end(), [](const auto& f) { return f.command == kSegmentWrite; });
    const auto lastParameter =
        std::find_if(frames.rbegin(), frames.rend(), [](const auto& f) { return f.command == 2; });
    ASSERT_NE(firstSegment, frames.end());
    ASSERT_NE(lastParameter, frames.rend());
    EXPECT_GT(firstSegment - frames.begin(), frames.rend() - lastParameter - 1);
    EXPECT_EQ(target.segmentFrames(kSegmentWrite), ops::kTransferTransactions);

    for (int n = 1; n <= 4; ++n)
        for (int half : ops::kHalfStarts)
            for (int offset = half; offset < half + ops::kHalfLength; ++offset)
                EXPECT_EQ(target.unit().segment(n, offset), source.unit().segment(n, offset)) << n << "/" << offset;
    // Every field's cells come back exactly, the light levels' included.
    for (int a = 0; a <= 246; ++a) {
        if (!params::carriesField(a)) continue;
        EXPECT_EQ(target.unit().memory(a), source.unit().memory(a)) << "address " << a << " " << params::fieldAt(a);
    }
    // Read back, both units show the same in every field.
    std::map<std::string, std::string> shown[2];
    int unit = 0;
    for (UnitCtl* ctl : {&source, &target}) {
        ASSERT_EQ(ctl->run({"read"}), cli::kOk) << ctl->err.str();
        for (form::Control* field : cli::parameterFields(ctl->started.frm()))
            shown[unit][field->key()] = cli::fieldValueJson(*field);
        ++unit;
    }
    EXPECT_EQ(shown[1], shown[0]);
}

TEST(FileTableCli, WriteSendsTheTableOnlyWhenAsked) {
    UnitCtl source;
    ASSERT_EQ(source.run({"read", "-o", source.path("u.zrk"), "--table"}), cli::kOk) << source.err.str();
    struct Case {
        bool withTable, verify;
        int writes, reads;  // segment frames
    };
    // The unit's table is read first, then only what changes is written:
    // here every cell.
    const Case cases[] = {
        {false, true, 0, 0},
        {true, true, ops::kTransferTransactions, 2 * ops::kTransferTransactions},  // and read back
        {true, false, ops::kTransferTransactions, ops::kTransferTransactions},
    };
    for (const Case& c : cases) {
        UnitCtl target;
        target.markSegments();
        std::filesystem::copy_file(source.path("u.zrk"), target.path("u.zrk"));
        std::vector<std::string> args = {"write", target.path("u.zrk")};
        if (c.withTable) args.push_back("--table");
        if (!c.verify) args.push_back("--no-verify");
        ASSERT_EQ(target.run(args), cli::kOk) << target.err.str();
        EXPECT_EQ(target.segmentFrames(kSegmentWrite), c.writes) << c.withTable << c.verify;
        EXPECT_EQ(target.segmentFrames(kSegmentRead), c.reads) << c.withTable << c.verify;
    }
}

TEST(FileTableCli, FailedHalvesOfTheTableWriteAreReportedWithExitOne) {
    UnitCtl source;
    ASSERT_EQ(source.run({"read", "-o", source.path("u.zrk"), "--table"}), cli::kOk) << source.err.str();
    UnitCtl target;
    target.markSegments();
    std::filesystem::copy_file(source.path("u.zrk"), target.path("u.zrk"));
    target.port().onFrame = [](const FrameHookPort::Frame& f) {
        return (f.command == kSegmentWrite + 2 && f.parameter1 == 0) ||
               (f.command == kSegmentWrite + 3 && f.parameter1 == 140);
    };
    EXPECT_EQ(target.run({"write", target.path("u.zrk"), "--table"}), cli::kNoAnswer);
    EXPECT_EQ(target.out.str().find("Ended"), std::string::npos) << "the changes are listed, no success";
    // The message box zrkctl prints on standard error names each half, where
    // it stopped and why, and what the unit holds in the cells whose write
    // went unanswered.
    EXPECT_EQ(target.started.messages(),
              (std::vector<std::string>{"Ended, halves failed  2\n"
                                        "table 3, first half: stopped at offset 0, no answer\n"
                                        "table 4, second half: stopped at offset 140, no answer\n"
                                        "table 3, first half, offset 0: written 0, the unit holds 170\n"
                                        "table 4, second half, offset 140: written 255, the unit holds 170"}));
}

TEST(FileTableCli, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"read", "-o", "--table"}, {"read", "--table"}, {"write", "--table"}, {"write", "a.zrk", "b.zrk", "--table"}};
    for (const auto& args : cases) {
        UnitCtl ctl;
        EXPECT_EQ(ctl.run(args), cli::kUsage) << args[0] << " " << args[1];
        EXPECT_TRUE(ctl.port().frames.empty()) << args[0] << " " << args[1];
    }
}

}  // namespace
}  // namespace zrk::test
