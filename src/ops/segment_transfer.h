#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "ops/outcome.h"
#include "tables/flash_table.h"
#include "texts/texts.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// The unit keeps the flash-pattern table as four segment tables of two rows
// each. Of a table's 256 offsets only two halves travel: 0 to 66 (row 2n - 1)
// and 128 to 194 (row 2n), each the colour blue first, then the 32 entries
// high byte first.
inline constexpr int kSegmentTables = 4;
inline constexpr int kHalfLength = 67;
inline constexpr std::array<int, 2> kHalfStarts = {0, 128};
inline constexpr int kTransferTransactions = kSegmentTables * 2 * kHalfLength;  // 536

// The segment command codes as table 0 would have them: + table number.
inline constexpr std::uint8_t kWriteSegmentCommand = link::segmentCode(link::Command::WriteSegment, 0);
inline constexpr std::uint8_t kReadSegmentCommand = link::segmentCode(link::Command::ReadSegment, 0);

// One segment table as it travels, indexed by offset; entries 0 to 255.
using SegmentBlock = std::array<std::int32_t, 256>;

// Rows 2n - 1 and 2n of `table` into the two halves of `block` (bits of the
// integers: only the low 24 bits of a colour and 16 of an entry travel).
void encodeSegmentTable(const tables::FlashTable& table, int n, SegmentBlock& block);
// The two halves of `block` into rows 2n - 1 and 2n of `table`.
void decodeSegmentTable(const SegmentBlock& block, int n, tables::FlashTable& table);

// " 1 - 005 - 012": table, offset and byte after each good transaction.
std::string progressText(int n, int offset, std::int32_t byte);
// The status line when a transaction of a read fails.
std::string errorText(int offset);
// The same, followed by the table (1 to 4) and the half (the one starting at
// offset 0 or at 128) in the operator's language.
std::string readErrorText(const texts::TextTable& texts, int n, int halfStart, int offset);
// The status line when a transaction of a write fails: which table (1 to 4),
// which half (the one starting at offset 0 or at 128) and which offset, in
// the operator's language.
std::string writeErrorText(const texts::TextTable& texts, int n, int halfStart, int offset);

// The end of a write in which `failedHalves` halves were cut short.
std::string writeEndText(const texts::TextTable& texts, int failedHalves);

// One cell of a segment table as a transfer names it.
struct SegmentCell {
    int table = 1;      // 1 to 4
    int halfStart = 0;  // 0 or 128
    int offset = 0;
    bool operator==(const SegmentCell&) const = default;
};

// Why a half was cut short: its transaction failed, or it was the second
// in a row that heard nothing and the line is taken to be dead.
enum class StopCause { NoAnswer, LineDead };

struct StoppedHalf {
    SegmentCell at;  // the failed transaction's cell; a write's may have arrived
    StopCause cause = StopCause::NoAnswer;
    bool operator==(const StoppedHalf&) const = default;
};

// A cell a write read back otherwise than it wrote; no `held` when the
// read-back got no answer.
struct Difference {
    SegmentCell cell;
    std::uint8_t written = 0;
    std::optional<std::uint8_t> held;
    bool operator==(const Difference&) const = default;
};

// One byte a write sends to a cell.
struct CellWrite {
    SegmentCell cell;
    std::uint8_t byte = 0;
    bool operator==(const CellWrite&) const = default;
};

// Every cell of `table` that travels, in the order a whole write sends them:
// table by table, each first half then second half, offset by offset.
std::vector<CellWrite> wholeTableCells(const tables::FlashTable& table);

// What a table transfer did beyond how it ended.
struct TransferReport {
    int failedHalves = 0;  // halves cut short by a failed transaction
    std::vector<StoppedHalf> stopped;
    std::vector<Difference> differences;
    // Where the transactions that heard nothing began, when the line went
    // dead; nothing was sent after the second of them.
    std::optional<SegmentCell> deadFrom;
    // Of a write: the last cell the unit answered, and the cells answered
    // but never read back because the line went dead.
    std::optional<SegmentCell> lastAcknowledged;
    int notReadBack = 0;
    // Of a write: the cells that went out (answered or not) and those the
    // unit answered, in the order sent, and the cells read back (a
    // difference names each one that did not hold its byte).
    std::vector<SegmentCell> sent;
    std::vector<CellWrite> acknowledged;
    std::vector<SegmentCell> readBack;
};

// The operations themselves, on a program whose guard the caller holds. They
// end Done, NoAnswer (a half was cut short), NotVerified (a write read back
// otherwise than written) or Cancelled; the message is the status line, for
// a write followed by the failed halves and the differences, one a line.
// Port errors pass to the caller with the buttons and progress put back.
//
// Reading is all or nothing: the first failed transaction ends it, and then
// (or when cancelled) the table, the colours and the grid keep what they held.
// A successful read also reads the unit's identifier number (cells 254 and
// 255) and keeps the table as that unit's (state.flashOfUnit).
ops::Outcome<TransferReport> LeerColores(state::State& state);
// The same without showing it: the unit's table and number, for a write to
// be planned against while the grid keeps the operator's edits.
ops::Outcome<TransferReport> readUnitTable(state::State& state, std::optional<tables::UnitTable>& read);
// Writes `cells` in their order, which keeps the cells of a half together.
// Writing skips the rest of a half after a failed transaction and goes on,
// unless the line seems dead: then nothing more is sent. With verification
// on, every cell the unit answered is then read back and compared.
// With `unit`, it first checks the unit on the line carries that number and
// sends nothing when it does not (WrongUnit) or does not answer (NoAnswer).
ops::Outcome<TransferReport> writeTableCells(state::State& state, const std::vector<CellWrite>& cells,
                                             std::optional<std::uint16_t> unit = std::nullopt);
// The whole table as the grid and the colour labels show it.
ops::Outcome<TransferReport> EscribirColores(state::State& state);

// The read button, as a device operation: the operation's outcome, or
// PortError (after the message box) or NotStarted from the guard. The write
// button is the planned write (ops/table_write.h).
ops::Outcome<TransferReport> CLeerColores_Click(state::State& state);

// The rows whose colour label or entries differ from the table as the unit
// or a file last held it (state.flashKept): what a write has not sent.
int unwrittenRows(const state::State& state);
// The grid and the colour labels as they stand become the kept table.
void keepTable(state::State& state);

}  // namespace zrk::ops
