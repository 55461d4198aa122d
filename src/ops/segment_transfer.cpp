#include "ops/segment_transfer.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

std::size_t at(int offset) { return static_cast<std::size_t>(offset); }

void encodeRow(const tables::FlashTable& table, int row, int base, SegmentBlock& block) {
    const std::int32_t colour = table.color(row);
    block[at(base)] = (colour >> 16) & 0xFF;
    block[at(base + 1)] = (colour >> 8) & 0xFF;
    block[at(base + 2)] = colour & 0xFF;
    for (int c = 1; c <= tables::kPatternColumns; ++c) {
        const std::int32_t entry = table.pauta(row, c);
        block[at(base + 2 * c + 1)] = (entry >> 8) & 0xFF;
        block[at(base + 2 * c + 2)] = entry & 0xFF;
    }
}

void decodeRow(const SegmentBlock& block, int base, int row, tables::FlashTable& table) {
    table.color(row) = block[at(base)] * 65536 + block[at(base + 1)] * 256 + block[at(base + 2)];
    for (int c = 1; c <= tables::kPatternColumns; ++c)
        table.pauta(row, c) = block[at(base + 2 * c + 1)] * 256 + block[at(base + 2 * c + 2)];
}

std::string text(const texts::TextTable& texts, int id, std::initializer_list<std::string_view> args) {
    return texts::fill(texts.CargarTexto(id), args);
}

std::size_t half(int halfStart) { return halfStart == kHalfStarts[0] ? 0 : 1; }

// "table 3, second half"
std::string halfName(const texts::TextTable& texts, int n, int halfStart) {
    return text(
        texts, texts::id::kTableHalf,
        {std::to_string(n), texts.CargarTexto(half(halfStart) == 0 ? texts::id::kFirstHalf : texts::id::kSecondHalf)});
}

// "table 3, second half, offset 130"
std::string cellName(const texts::TextTable& texts, const SegmentCell& cell) {
    return text(texts, texts::id::kAtOffset,
                {halfName(texts, cell.table, cell.halfStart), std::to_string(cell.offset)});
}

// Offsets `from` to `to` of a half, named as one cell when they are one.
std::string rangeName(const texts::TextTable& texts, int n, int halfStart, int from, int to) {
    if (from == to) return cellName(texts, {n, halfStart, from});
    return text(texts, texts::id::kAtOffsets,
                {halfName(texts, n, halfStart), std::to_string(from), std::to_string(to)});
}

std::string listText(const texts::TextTable& texts, const std::vector<std::string>& items) {
    if (items.empty()) return texts.CargarTexto(texts::id::kNothing);
    std::string list;
    for (const auto& item : items) list += (list.empty() ? "" : "; ") + item;
    return list;
}

std::string differenceText(const texts::TextTable& texts, const Difference& d) {
    if (!d.held)
        return text(texts, texts::id::kCellNoAnswerReadBack, {cellName(texts, d.cell), std::to_string(d.written)});
    return text(texts, texts::id::kCellWrittenUnitHolds,
                {cellName(texts, d.cell), std::to_string(d.written), std::to_string(*d.held)});
}

enum class HalfEnd { Done, Failed, Cancelled };

// How the halves of one transfer went.
struct Tally : TransferReport {
    bool cancelled = false;
    bool readingBack = false;
    // The first of the transactions in a row, up to now, that heard nothing.
    std::optional<SegmentCell> silentFrom;
    // Lines the message adds to the status line.
    std::vector<std::string> details;
    // The unit's number went unanswered (before a write, or after a read),
    // or another unit is on the line.
    bool unanswered = false;
    bool otherUnit = false;

    bool dead() const { return deadFrom.has_value(); }
    bool succeeded() const { return failedHalves == 0 && !cancelled && !dead() && differences.empty(); }
};

// One transaction of a transfer; notes when the line seems dead.
link::RespuestaComando exchange(state::State& state, Tally& tally, const link::TramaComando& trama,
                                const SegmentCell& cell) {
    const link::RespuestaComando reply = state.link.EnviarComando(trama);
    if (state.link.silentInRow() == 0)
        tally.silentFrom.reset();
    else if (!tally.silentFrom)
        tally.silentFrom = cell;
    if (state.link.lineSeemsDead()) tally.deadFrom = tally.silentFrom;
    return reply;
}

// After a failed transaction: the error step. The pause gives an isolated
// fault time to pass; a dead line gets nothing more. `skipped` transactions
// of the half are left out and count on the progress bar.
HalfEnd halfFailed(state::State& state, Tally& tally, const SegmentCell& cell, bool writing, int skipped) {
    // A cancel ends the wait as a failure; it is no fault of the line.
    if (state.progress.cancelRequested()) return HalfEnd::Cancelled;
    ++tally.failedHalves;
    tally.stopped.push_back({cell, tally.dead() ? StopCause::LineDead : StopCause::NoAnswer});
    state.frm.setStatus(writing ? writeErrorText(state.texts, cell.table, cell.halfStart, cell.offset)
                                : readErrorText(state.texts, cell.table, cell.halfStart, cell.offset));
    state.platform.ui.beep();
    if (tally.dead()) return HalfEnd::Failed;
    state.link.Pausa(1000);
    state.progress.advance(skipped);
    return HalfEnd::Failed;
}

// One half of segment table n read into `block`, offset by offset. A failed
// transaction runs the error step and leaves the rest of the half.
HalfEnd readHalf(state::State& state, int n, int start, SegmentBlock& block, Tally& tally) {
    const int last = start + kHalfLength - 1;
    for (int offset = start; offset <= last; ++offset) {
        if (state.progress.cancelRequested()) return HalfEnd::Cancelled;
        const SegmentCell cell{n, start, offset};
        const link::RespuestaComando reply = exchange(state, tally, link::readSegmentFrame(n, offset), cell);
        state.progress.advance();
        if (reply.Resultado != link::kAck) return halfFailed(state, tally, cell, false, last - offset);
        block[at(offset)] = link::replyByte(reply);
        state.frm.setStatus(progressText(n, offset, block[at(offset)]));
    }
    return HalfEnd::Done;
}

// The cells of one half of a write, in order. A failed transaction runs the
// error step and leaves the rest of the half; on a dead line it sends
// nothing more.
HalfEnd writeHalf(state::State& state, const CellWrite* first, const CellWrite* end, Tally& tally) {
    for (const CellWrite* w = first; w != end; ++w) {
        if (state.progress.cancelRequested()) return HalfEnd::Cancelled;
        tally.sent.push_back(w->cell);
        const link::RespuestaComando reply =
            exchange(state, tally, link::writeSegmentFrame(w->cell.table, w->cell.offset, w->byte), w->cell);
        state.progress.advance();
        if (reply.Resultado != link::kAck)
            return halfFailed(state, tally, w->cell, true, static_cast<int>(end - w - 1));
        tally.acknowledged.push_back(*w);
        tally.lastAcknowledged = w->cell;
        state.frm.setStatus(progressText(w->cell.table, w->cell.offset, w->byte));
    }
    return HalfEnd::Done;
}

// An answered write proves only that the frame arrived: reads back every
// cell the unit answered and compares. A cell whose write went unanswered
// on a line that still answers is read back too: the unit may have taken
// it. The cells never sent count on the progress bar without a transaction.
void readBack(state::State& state, int planned, const std::vector<CellWrite>& cells, Tally& tally) {
    tally.readingBack = true;
    state.frm.setStatus(state.CargarTexto(texts::id::kVerifying));
    std::vector<CellWrite> toCheck = tally.acknowledged;
    for (const StoppedHalf& s : tally.stopped) {
        const auto w = std::find_if(cells.begin(), cells.end(), [&](const CellWrite& c) { return c.cell == s.at; });
        if (w != cells.end()) toCheck.push_back(*w);
    }
    const auto count = static_cast<int>(toCheck.size());
    state.progress.advance(std::max(0, planned - count));
    for (int i = 0; i < count; ++i) {
        if (state.progress.cancelRequested()) break;
        const CellWrite& w = toCheck[static_cast<std::size_t>(i)];
        const link::RespuestaComando reply =
            exchange(state, tally, link::readSegmentFrame(w.cell.table, w.cell.offset), w.cell);
        state.progress.advance();
        tally.readBack.push_back(w.cell);
        if (reply.Resultado == link::kAck) {
            const std::uint8_t held = link::replyByte(reply);
            if (held != w.byte) tally.differences.push_back({w.cell, w.byte, held});
            state.frm.setStatus(progressText(w.cell.table, w.cell.offset, held));
            continue;
        }
        if (state.progress.cancelRequested()) break;
        tally.differences.push_back({w.cell, w.byte, std::nullopt});
        if (tally.dead()) {
            tally.notReadBack = count - i - 1;
            return;
        }
    }
    tally.cancelled = state.progress.cancelRequested();
}

bool contains(const std::vector<SegmentCell>& cells, const SegmentCell& cell) {
    return std::find(cells.begin(), cells.end(), cell) != cells.end();
}

// `cells` (in sending order) as halves and runs of offsets: "table 1, first
// half; table 2, second half, offsets 130 to 140".
std::vector<std::string> runNames(const texts::TextTable& texts, const std::vector<SegmentCell>& cells) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i + 1;
        while (j < cells.size() && cells[j].table == cells[i].table && cells[j].halfStart == cells[i].halfStart &&
               cells[j].offset == cells[j - 1].offset + 1)
            ++j;
        const SegmentCell& a = cells[i];
        const SegmentCell& b = cells[j - 1];
        const bool wholeHalf = a.offset == a.halfStart && b.offset == a.halfStart + kHalfLength - 1;
        names.push_back(wholeHalf ? halfName(texts, a.table, a.halfStart)
                                  : rangeName(texts, a.table, a.halfStart, a.offset, b.offset));
        i = j;
    }
    return names;
}

// What a write stopped by a dead line leaves: what the unit answered, the
// cells that may or may not have arrived, and what never went out.
void reportDeadWrite(const texts::TextTable& texts, const std::vector<CellWrite>& planned, Tally& tally) {
    std::vector<SegmentCell> written, unknown, notSent;
    for (const CellWrite& w : planned) {
        if (!contains(tally.sent, w.cell))
            notSent.push_back(w.cell);
        else if (std::any_of(tally.stopped.begin(), tally.stopped.end(),
                             [&](const StoppedHalf& s) { return s.at == w.cell; }))
            unknown.push_back(w.cell);
        else
            written.push_back(w.cell);
    }
    std::vector<std::string> unknownNames;
    for (const SegmentCell& cell : unknown) unknownNames.push_back(cellName(texts, cell));
    tally.details.push_back(text(texts, texts::id::kTableWritten, {listText(texts, runNames(texts, written))}));
    if (tally.lastAcknowledged)
        tally.details.push_back(text(texts, texts::id::kLastAcknowledged, {cellName(texts, *tally.lastAcknowledged)}));
    tally.details.push_back(text(texts, texts::id::kTableUnknownNoAnswer, {listText(texts, unknownNames)}));
    tally.details.push_back(text(texts, texts::id::kTableNotSent, {listText(texts, runNames(texts, notSent))}));
}

// The status line at the end of a write, and the lines the message adds:
// each failed half with its cause, what a dead line left, each difference.
std::string finishWrite(const texts::TextTable& texts, const std::vector<CellWrite>& planned, Tally& tally) {
    if (tally.cancelled)
        return texts.CargarTexto(tally.readingBack ? texts::id::kVerifyingCancelled : texts::id::kWriteCancelled);
    for (const StoppedHalf& s : tally.stopped)
        tally.details.push_back(text(
            texts, texts::id::kStoppedAtOffset,
            {halfName(texts, s.at.table, s.at.halfStart), std::to_string(s.at.offset),
             texts.CargarTexto(s.cause == StopCause::LineDead ? texts::id::kLineWentDead : texts::id::kNoAnswer)}));
    if (tally.dead() && !tally.readingBack) reportDeadWrite(texts, planned, tally);
    for (const Difference& d : tally.differences) tally.details.push_back(differenceText(texts, d));
    if (tally.dead())
        return tally.readingBack ? text(texts, texts::id::kReadBackLineDead, {std::to_string(tally.notReadBack)})
                                 : text(texts, texts::id::kTableWriteLineDead, {cellName(texts, *tally.deadFrom)});
    if (tally.failedHalves > 0) return writeEndText(texts, tally.failedHalves);
    if (!tally.differences.empty())
        return texts.CargarTexto(texts::id::kEndedUnitDoesNotHold) + ": " +
               differenceText(texts, tally.differences.front()) + (tally.differences.size() > 1 ? " ..." : "");
    return "Ended";
}

// Runs the operation with the buttons off, the progress on and the port
// closed at its end; on a port error the caller's guard reports. The
// message is the status line and the details, which a message box shows.
template <typename Body>
ops::Outcome<TransferReport> runTransfer(state::State& state, int planned, Body&& body) {
    Tally tally;
    {
        ops::ButtonsOff buttons(state.frm);
        ops::ProgressRun progress(state.progress, planned);
        ops::PortClosedAfter port(state.link);
        tally = body();
    }
    state.platform.events.processEvents();
    const ops::End end = tally.cancelled              ? ops::End::Cancelled
                         : tally.otherUnit            ? ops::End::WrongUnit
                         : tally.unanswered           ? ops::End::NoAnswer
                         : tally.failedHalves > 0     ? ops::End::NoAnswer
                         : !tally.differences.empty() ? ops::End::NotVerified
                                                      : ops::End::Done;
    std::string message;
    if (end != ops::End::Done) {
        message = state.frm.status();
        for (const auto& line : tally.details) message += "\n" + line;
        if (!tally.details.empty())
            state.platform.ui.messageBox(message, state.platform.info.title, platform::UserInterface::Icon::Error);
    }
    return {end, std::move(message), std::move(tally)};
}

}  // namespace

void encodeSegmentTable(const tables::FlashTable& table, int n, SegmentBlock& block) {
    encodeRow(table, 2 * n - 1, kHalfStarts[0], block);
    encodeRow(table, 2 * n, kHalfStarts[1], block);
}

void decodeSegmentTable(const SegmentBlock& block, int n, tables::FlashTable& table) {
    decodeRow(block, kHalfStarts[0], 2 * n - 1, table);
    decodeRow(block, kHalfStarts[1], 2 * n, table);
}

std::string progressText(int n, int offset, std::int32_t byte) {
    char text[48];
    std::snprintf(text, sizeof text, " - %03d - %03d", offset, static_cast<int>(byte));
    return link::signedNumber(n) + text;
}

std::string errorText(int offset) { return "Reading Error in data " + std::to_string(offset); }

std::string readErrorText(const texts::TextTable& texts, int n, int halfStart, int offset) {
    return text(texts, texts::id::kHalfOfTable,
                {errorText(offset), std::to_string(n),
                 texts.CargarTexto(half(halfStart) == 0 ? texts::id::kFirstHalf : texts::id::kSecondHalf)});
}

std::string writeErrorText(const texts::TextTable& texts, int n, int halfStart, int offset) {
    return text(
        texts, texts::id::kWritingErrorInTable,
        {std::to_string(n), texts.CargarTexto(half(halfStart) == 0 ? texts::id::kFirstHalf : texts::id::kSecondHalf),
         std::to_string(offset)});
}

std::string writeEndText(const texts::TextTable& texts, int failedHalves) {
    if (failedHalves == 0) return "Ended";
    return text(texts, texts::id::kEndedHalvesFailed, {std::to_string(failedHalves)});
}

int unwrittenRows(const state::State& state) {
    int rows = 0;
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        bool differs = false;
        try {
            differs = tables::captionColour(state.frm.LColor(row).Caption()) != state.flashKept.color(row);
        } catch (const std::exception&) {
            differs = true;  // a colour the write could not send is no kept one
        }
        for (int col = 1; col <= tables::kPatternColumns && !differs; ++col)
            differs = state.flash.pauta(row, col) != state.flashKept.pauta(row, col);
        rows += differs ? 1 : 0;
    }
    return rows;
}

void keepTable(state::State& state) {
    state.flashKept = state.flash;
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        try {
            state.flashKept.color(row) = tables::captionColour(state.frm.LColor(row).Caption());
        } catch (const std::exception&) {
            // Kept as the table has it; the label then counts as a change.
        }
    }
}

namespace {

// The whole table into `read`, then the unit's number from cells 254 and
// 255 (nothing when they go unanswered). The caller opened the port.
Tally readTable(state::State& state, tables::FlashTable& read, std::optional<std::uint16_t>& identifier) {
    Tally outcome;
    SegmentBlock block{};
    for (int n = 1; n <= kSegmentTables && outcome.succeeded(); ++n) {
        for (int start : kHalfStarts) {
            const HalfEnd end = readHalf(state, n, start, block, outcome);
            if (end == HalfEnd::Cancelled) outcome.cancelled = true;
            if (end != HalfEnd::Done) break;
        }
        decodeSegmentTable(block, n, read);
    }
    if (!outcome.succeeded()) return outcome;
    identifier = ops::readIdentifier(state.link);
    state.progress.advance(2);
    return outcome;
}

}  // namespace

ops::Outcome<TransferReport> LeerColores(state::State& state) {
    return runTransfer(state, kTransferTransactions + 2, [&state] {
        state.link.AbrirCom();
        // Decoded into a copy: a read that does not finish shows nothing of
        // another table's bytes or of an empty buffer as if the unit held them.
        tables::FlashTable read = state.flash;
        std::optional<std::uint16_t> identifier;
        Tally outcome = readTable(state, read, identifier);
        state.link.CerrarCom();
        if (outcome.cancelled) {
            state.frm.setStatus(state.CargarTexto(texts::id::kReadCancelled));
        } else if (outcome.succeeded()) {
            state.flash = read;
            state.flashOfUnit.reset();
            if (identifier) state.flashOfUnit = tables::UnitTable{*identifier, read};
            state.frm.setStatus("Ended");
            tables::RellenarColores(state.frm, state.flash, state.texts);
            tables::RedibujaGrid(state.frm, state.flash, state.texts);
            keepTable(state);
        }
        // After a failure the error text of the failed transaction stays.
        return outcome;
    });
}

ops::Outcome<TransferReport> readUnitTable(state::State& state, std::optional<tables::UnitTable>& read) {
    return runTransfer(state, kTransferTransactions + 2, [&state, &read] {
        state.link.AbrirCom();
        tables::FlashTable table;
        std::optional<std::uint16_t> identifier;
        Tally outcome = readTable(state, table, identifier);
        state.link.CerrarCom();
        if (outcome.cancelled) state.frm.setStatus(state.CargarTexto(texts::id::kReadCancelled));
        if (outcome.succeeded() && !identifier) {
            // Whose table it is stays unknown: no write can be planned on it.
            outcome.unanswered = true;
            state.frm.setStatus(state.CargarTexto(texts::id::kNothingWrittenNoAnswer));
        } else if (outcome.succeeded()) {
            read = tables::UnitTable{*identifier, table};
            state.frm.setStatus("Ended");
        }
        return outcome;
    });
}

std::vector<CellWrite> wholeTableCells(const tables::FlashTable& table) {
    std::vector<CellWrite> cells;
    for (int n = 1; n <= kSegmentTables; ++n) {
        SegmentBlock block{};
        encodeSegmentTable(table, n, block);
        for (int start : kHalfStarts)
            for (int offset = start; offset < start + kHalfLength; ++offset)
                cells.push_back({{n, start, offset}, static_cast<std::uint8_t>(block[at(offset)])});
    }
    return cells;
}

namespace {

// Whether the unit on the line carries number `expected` (cells 254 and 255);
// says why not in the status line.
bool sameUnit(state::State& state, std::uint16_t expected, Tally& tally) {
    const auto onLine = ops::readIdentifier(state.link);
    state.progress.advance(2);
    if (!onLine) {
        tally.cancelled = state.progress.cancelRequested();
        tally.unanswered = !tally.cancelled;
        state.frm.setStatus(state.CargarTexto(tally.cancelled ? texts::id::kNothingWrittenCancelled
                                                              : texts::id::kNothingWrittenNoAnswer));
        return false;
    }
    if (*onLine == expected) return true;
    tally.otherUnit = true;
    state.frm.setStatus(
        text(state.texts, texts::id::kNothingWrittenOtherUnit, {std::to_string(*onLine), std::to_string(expected)}));
    return false;
}

}  // namespace

ops::Outcome<TransferReport> writeTableCells(state::State& state, const std::vector<CellWrite>& cells,
                                             std::optional<std::uint16_t> unit) {
    const bool verify = state.verifyWrites();
    const auto count = static_cast<int>(cells.size());
    return runTransfer(state, (verify ? 2 : 1) * count + (unit ? 2 : 0), [&state, &cells, verify, count, unit] {
        Tally outcome;
        state.frm.setStatus("Segments transmision");
        state.link.AbrirCom();
        if (unit && !sameUnit(state, *unit, outcome)) {
            state.link.CerrarCom();
            return outcome;
        }
        for (auto first = cells.begin(); first != cells.end() && !outcome.cancelled && !outcome.dead();) {
            auto last = first;
            while (last != cells.end() && last->cell.table == first->cell.table &&
                   last->cell.halfStart == first->cell.halfStart)
                ++last;
            if (writeHalf(state, &*first, &*first + (last - first), outcome) == HalfEnd::Cancelled)
                outcome.cancelled = true;
            first = last;
        }
        if (verify && !outcome.cancelled && !outcome.dead()) readBack(state, count, cells, outcome);
        state.frm.setStatus(finishWrite(state.texts, cells, outcome));
        state.link.CerrarCom();
        return outcome;
    });
}

ops::Outcome<TransferReport> EscribirColores(state::State& state) {
    // The labels, not the table, hold the colours the operator sees.
    for (int row = 1; row <= tables::kPatternRows; ++row)
        state.flash.color(row) = tables::captionColour(state.frm.LColor(row).Caption());
    auto outcome = writeTableCells(state, wholeTableCells(state.flash));
    if (outcome.done()) keepTable(state);
    return outcome;
}

ops::Outcome<TransferReport> CLeerColores_Click(state::State& state) {
    return ops::guarded(state, [&] { return LeerColores(state); });
}

}  // namespace zrk::ops
