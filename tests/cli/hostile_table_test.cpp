// zrkctl table read and table write against a simulated unit on a bad line:
// a segment cell that keeps its old byte, a reply that comes twice or with a
// bit flipped, a line that goes dead in the middle, a read that fails in the
// third table. A transfer either ends with the right table or says where it
// stopped and why, with exit 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl_fixture.h"
#include "error_paths.h"
#include "files/table_file.h"
#include "link/line_events.h"
#include "ops/segment_transfer.h"
#include "sim/faults.h"

namespace zrk::test {
namespace {

// The time of every frame the tool sends, retries included.
struct SentTimes : link::LineObserver {
    std::vector<double> times;
    void lineEvent(const link::LineEvent& event) override {
        if (event.kind == link::LineEventKind::Sent) times.push_back(event.time);
    }
};

struct TableLine : Ctl {
    sim::SimulatedPort& port() { return started.port<sim::SimulatedPort>(); }
    sim::SimulatedUnit& unit() { return port().unit(); }
    // Faults on frames counted from the next command's first frame ("@N").
    void setFaults(std::string text) {
        const auto at = text.find('@');
        if (at != std::string::npos) {
            const auto end = text.find_first_of(":,", at);
            const auto n = std::stoul(text.substr(at + 1, end - at - 1));
            text.replace(at, end - at, std::to_string(unit().framesReceived() + n));
        }
        unit().setFaults(sim::parseFaults({text}));
    }
    std::string tableFile(const files::TableFile& table) {
        started.machine.folder.write("table.json", files::tableJson(table));
        return path("table.json");
    }
    std::uint8_t held(int n, int offset) { return device().segment(n, offset); }
    // A byte busyTable() never has in any cell, so that a write of it sends
    // every cell.
    void markSegments() {
        for (int n = 1; n <= 4; ++n)
            for (int offset = 0; offset < 256; ++offset) device().setSegment(n, offset, 0xEE);
    }
    // Standard error and the message boxes, which zrkctl prints there.
    std::string said() const {
        std::string text = err.str();
        for (const auto& message : started.messages()) text += "zrkctl: " + message + "\n";
        return text;
    }
};

// The segment tables as the unit holds them after a write of `table`.
std::array<ops::SegmentBlock, 4> blocksOf(const files::TableFile& table) {
    tables::FlashTable flash;
    for (int row = 1; row <= 8; ++row) {
        const auto r = static_cast<std::size_t>(row - 1);
        flash.color(row) = table.colors[r];
        for (int col = 1; col <= 32; ++col) flash.pauta(row, col) = table.pattern[r][static_cast<std::size_t>(col - 1)];
    }
    std::array<ops::SegmentBlock, 4> blocks{};
    for (int n = 1; n <= 4; ++n) ops::encodeSegmentTable(flash, n, blocks[static_cast<std::size_t>(n - 1)]);
    return blocks;
}

// Calls `check(n, offset, expected byte)` for every cell that travels.
template <typename Check>
void forEachCell(const files::TableFile& table, Check&& check) {
    const auto blocks = blocksOf(table);
    for (int n = 1; n <= 4; ++n)
        for (int start : ops::kHalfStarts)
            for (int offset = start; offset < start + ops::kHalfLength; ++offset)
                check(n, offset, blocks[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(offset)]);
}

void giveUnit(TableLine& line, const files::TableFile& table) {
    forEachCell(table, [&](int n, int offset, std::int32_t byte) {
        line.device().setSegment(n, offset, static_cast<std::uint8_t>(byte));
    });
}

TEST(HostileTable, AWriteNamesTheCellThatKeptItsByte) {
    TableLine line;
    const files::TableFile table = busyTable();
    ASSERT_EQ(blocksOf(table)[1][130], 192) << "row 4's red byte";
    ASSERT_EQ(line.held(2, 130), 0);
    line.setFaults("segment-stuck=2:130");

    EXPECT_EQ(line.run({"table", "write", line.tableFile(table)}), cli::kNoAnswer);
    const std::string err = line.said();
    EXPECT_NE(err.find("table 2, second half, offset 130: written 192, the unit holds 0"), std::string::npos) << err;
    EXPECT_EQ(line.out.str().find("Ended"), std::string::npos) << line.out.str();
    forEachCell(table, [&](int n, int offset, std::int32_t byte) {
        if (n != 2 || offset != 130) {
            EXPECT_EQ(line.held(n, offset), byte) << n << "/" << offset;
        }
    });
    EXPECT_EQ(line.held(2, 130), 0);
}

// One corrupted reply, in the middle of a transfer or of a write's
// read-back: the link asks again and the transfer ends as on a good line.
TEST(HostileTable, ACorruptedReplyIsAskedAgain) {
    struct Case {
        bool writing;
        const char* faults;
    };
    // A write's frames 843 on are its cells, 1379 on their read-back.
    const Case cases[] = {
        {false, "duplicate=@300:40"}, {false, "flip=@300"}, {false, "flip=@301:58"},
        {true, "duplicate=@842:40"},  {true, "flip=@842"},  {true, "flip=@843:58"},
        {true, "duplicate=@1342:40"}, {true, "flip=@1342"}, {true, "flip=@300"},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.writing ? "write " : "read ") + c.faults;
        TableLine line;
        const files::TableFile table = busyTable();
        const auto first = line.unit().framesReceived();
        line.setFaults(c.faults);
        if (c.writing) line.markSegments();
        if (c.writing) {
            ASSERT_EQ(line.run({"table", "write", line.tableFile(table)}), cli::kOk) << name << ": " << line.err.str();
            forEachCell(table, [&](int n, int offset, std::int32_t byte) {
                EXPECT_EQ(line.held(n, offset), byte) << name << ": " << n << "/" << offset;
            });
        } else {
            giveUnit(line, table);
            ASSERT_EQ(line.run({"table", "read"}, true), cli::kOk) << name << ": " << line.err.str();
            EXPECT_EQ(line.out.str(), files::tableJson(table)) << name;
        }
        // The table once and the unit's number (a write's cells and their
        // read-back too), and the one retry.
        const std::size_t planned =
            (c.writing ? kBeforeWrites + 2 * ops::kTransferTransactions : ops::kTransferTransactions + 2) + 1;
        EXPECT_EQ(line.unit().framesReceived() - first, planned) << name;
    }
}

// Two transactions in a row that hear nothing: the write sends nothing more
// and says what the unit was sent. In the read-back the unit holds the table.
TEST(HostileTable, AWriteStopsSoonAfterTheLineDiesAndSaysWhatTheUnitHas) {
    struct Case {
        int frame;
        std::vector<std::string> said;
        int lastWritten;  // cells of the table sent and answered, in order
    };
    const Case cases[] = {
        // Table 3, first half, offset 31; then the first of the second half.
        {kBeforeWrites + kFirstOfTable3 + 31,
         {"Writing stopped, the line went dead at table 3, first half, offset 31",
          "table 3, first half: stopped at offset 31, no answer",
          "table 3, second half: stopped at offset 128, the line went dead",
          "Last acknowledged: table 3, first half, offset 30",
          "Unknown, no answer (the byte may have arrived): table 3, first half, offset 31; table 3, second half, "
          "offset 128",
          "Not sent: table 3, first half, offsets 32 to 66; table 3, second half, offsets 129 to 194; table 4, first "
          "half; table 4, second half"},
         kFirstOfTable3 + 30},
        // The read-back of table 2, second half, offset 190, and of 191.
        {kBeforeWrites + ops::kTransferTransactions + 264,
         {"Read-back stopped, the line went dead: 271 cells not read back",
          "table 2, second half, offset 190: written 70, no answer when read back",
          "table 2, second half, offset 191: written 0, no answer when read back"},
         ops::kTransferTransactions},
    };
    for (const Case& c : cases) {
        TableLine line;
        const files::TableFile table = busyTable();
        SentTimes sent;
        line.started.program->state.link.addObserver(&sent);
        line.markSegments();
        line.setFaults("dead-from=@" + std::to_string(c.frame));
        const std::size_t bytesBefore = line.port().bytesWritten();

        EXPECT_EQ(line.run({"table", "write", line.tableFile(table)}), cli::kNoAnswer) << c.frame;
        line.started.program->state.link.removeObserver(&sent);

        const auto died = static_cast<std::size_t>(c.frame - 1);
        ASSERT_GT(sent.times.size(), died);
        EXPECT_LE(line.started.machine.clock.now() - sent.times[died], 15.0) << c.frame;
        // The frame that died and the next, three attempts each, then nothing.
        EXPECT_EQ(sent.times.size(), died + 2 * 3) << c.frame;
        EXPECT_EQ(line.port().bytesWritten() - bytesBefore, (died + 2 * 3) * 8) << c.frame;

        const std::string said = line.said();
        for (const auto& text : c.said) EXPECT_NE(said.find(text), std::string::npos) << text << "\n" << said;
        int cell = 0;
        forEachCell(table, [&](int n, int offset, std::int32_t byte) {
            if (++cell <= c.lastWritten) {
                EXPECT_EQ(line.held(n, offset), byte) << n << "/" << offset;
            }
        });
    }
}

TEST(HostileTable, AFailedReadNamesTableAndHalf) {
    struct Case {
        int frame;
        const char* said;
    };
    const Case cases[] = {
        {kFirstOfTable3 + 31, "zrkctl: Reading Error in data 31 \u2014 table 3, first half\n"},
        {kFirstOfTable3 + ops::kHalfLength + 10, "zrkctl: Reading Error in data 138 \u2014 table 3, second half\n"},
    };
    for (const Case& c : cases) {
        TableLine line;
        giveUnit(line, busyTable());
        const tables::FlashTable before = line.started.program->state.flash;
        line.setFaults("dead-from=@" + std::to_string(c.frame));
        EXPECT_EQ(line.run({"table", "read"}), cli::kNoAnswer) << c.frame;
        EXPECT_EQ(line.err.str(), c.said);
        EXPECT_EQ(line.out.str(), "");
        EXPECT_EQ(line.started.program->state.flash, before) << "a failed read changes nothing";
    }
}

}  // namespace
}  // namespace zrk::test
