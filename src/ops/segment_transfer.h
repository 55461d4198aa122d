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

namespace zrk::tables {

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
void encodeSegmentTable(const FlashTable& table, int n, SegmentBlock& block);
// The two halves of `block` into rows 2n - 1 and 2n of `table`.
void decodeSegmentTable(const SegmentBlock& block, int n, FlashTable& table);

// " 1 - 005 - 012": table, offset and byte after each good transaction.
std::string progressText(int n, int offset, std::int32_t byte);
// The status line when a transaction of a read fails.
std::string errorText(int offset);
// The status line when a transaction of a write fails: which table (1 to 4),
// which half (the one starting at offset 0 or at 128) and which offset, in
// the operator's language.
std::string writeErrorText(const texts::TextTable& texts, int n, int halfStart, int offset);

inline const std::string kReadCancelledText = "Reading cancelled, the table is unchanged";
inline const std::string kWriteCancelledText = "Writing cancelled, the unit holds part of the table";
// The end of a write in which `failedHalves` halves were cut short.
std::string writeEndText(int failedHalves);

// What a table transfer did beyond how it ended.
struct TransferReport {
    int failedHalves = 0;  // halves cut short by a failed transaction
    // The status text of each failed half, in order (a read has one at most).
    std::vector<std::string> failures;
};

// The operations themselves, on a program whose guard the caller holds. They
// end Done, NoAnswer (a half was cut short; the message is the status line)
// or Cancelled. Port errors pass to the caller with the buttons and progress
// put back.
//
// Reading is all or nothing: the first failed transaction ends it, and then
// (or when cancelled) the table, the colours and the grid keep what they held.
ops::Outcome<TransferReport> LeerColores(state::State& program);
// Writing skips the rest of a half after a failed transaction and goes on.
ops::Outcome<TransferReport> EscribirColores(state::State& program);

// The two buttons, as device operations: the operation's outcome, or
// PortError (after the message box) or NotStarted from the guard.
ops::Outcome<TransferReport> CLeerColores_Click(state::State& program);
ops::Outcome<TransferReport> CEscribirColores_Click(state::State& program);

// The row colour a label caption stands for (the lenient number, rounded).
std::int32_t captionColour(const std::string& caption);

}  // namespace zrk::tables
