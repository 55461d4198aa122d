#include "ops/segment_transfer.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "state/state.h"

namespace zrk::tables {
namespace {

std::size_t at(int offset) { return static_cast<std::size_t>(offset); }

void encodeRow(const FlashTable& table, int row, int base, SegmentBlock& block) {
    const std::int32_t colour = table.color(row);
    block[at(base)] = (colour >> 16) & 0xFF;
    block[at(base + 1)] = (colour >> 8) & 0xFF;
    block[at(base + 2)] = colour & 0xFF;
    for (int c = 1; c <= kPatternColumns; ++c) {
        const std::int32_t entry = table.pauta(row, c);
        block[at(base + 2 * c + 1)] = (entry >> 8) & 0xFF;
        block[at(base + 2 * c + 2)] = entry & 0xFF;
    }
}

void decodeRow(const SegmentBlock& block, int base, int row, FlashTable& table) {
    table.color(row) = block[at(base)] * 65536 + block[at(base + 1)] * 256 + block[at(base + 2)];
    for (int c = 1; c <= kPatternColumns; ++c)
        table.pauta(row, c) = block[at(base + 2 * c + 1)] * 256 + block[at(base + 2 * c + 2)];
}

std::string text(const texts::TextTable& texts, int id, std::initializer_list<std::string_view> args) {
    return texts::fill(texts.CargarTexto(id), args);
}

std::size_t half(int halfStart) { return halfStart == kHalfStarts[0] ? 0 : 1; }
std::size_t table(int n) { return static_cast<std::size_t>(n - 1); }

// "table 3, second half"
std::string halfName(const texts::TextTable& texts, int n, int halfStart) {
    return text(texts, 3104, {std::to_string(n), texts.CargarTexto(half(halfStart) == 0 ? 3101 : 3102)});
}

// "table 3, second half, offset 130"
std::string cellName(const texts::TextTable& texts, const SegmentCell& cell) {
    return text(texts, 3105, {halfName(texts, cell.table, cell.halfStart), std::to_string(cell.offset)});
}

// Offsets `from` to `to` of a half, named as one cell when they are one.
std::string rangeName(const texts::TextTable& texts, int n, int halfStart, int from, int to) {
    if (from == to) return cellName(texts, {n, halfStart, from});
    return text(texts, 3106, {halfName(texts, n, halfStart), std::to_string(from), std::to_string(to)});
}

std::string listText(const texts::TextTable& texts, const std::vector<std::string>& items) {
    if (items.empty()) return texts.CargarTexto(3117);
    std::string list;
    for (const auto& item : items) list += (list.empty() ? "" : "; ") + item;
    return list;
}

std::string differenceText(const texts::TextTable& texts, const Difference& d) {
    if (!d.held) return text(texts, 3111, {cellName(texts, d.cell), std::to_string(d.written)});
    return text(texts, 3110, {cellName(texts, d.cell), std::to_string(d.written), std::to_string(*d.held)});
}

enum class HalfEnd { Done, Failed, Cancelled };

// How the halves of one transfer went.
struct Tally : TransferReport {
    bool cancelled = false;
    bool readingBack = false;
    // Of a write: the frames that went out (answered or not) of each half,
    // and the cells the unit answered, in the order sent.
    std::array<std::array<int, 2>, kSegmentTables> sent{};
    std::vector<SegmentCell> acknowledged;
    // The first of the transactions in a row, up to now, that heard nothing.
    std::optional<SegmentCell> silentFrom;
    // Lines the message adds to the status line.
    std::vector<std::string> details;

    bool dead() const { return deadFrom.has_value(); }
    bool succeeded() const { return failedHalves == 0 && !cancelled && !dead() && differences.empty(); }
};

// One transaction of a transfer; notes when the line seems dead.
link::RespuestaComando exchange(state::State& program, Tally& tally, const link::TramaComando& trama,
                                const SegmentCell& cell) {
    const link::RespuestaComando reply = program.link.EnviarComando(trama);
    if (program.link.silentInRow() == 0)
        tally.silentFrom.reset();
    else if (!tally.silentFrom)
        tally.silentFrom = cell;
    if (program.link.lineSeemsDead()) tally.deadFrom = tally.silentFrom;
    return reply;
}

// One half of segment table n, offset by offset. Reading fills `block`;
// writing sends it. A failed transaction runs the error step and leaves the
// rest of the half; on a dead line it sends nothing more.
HalfEnd transferHalf(state::State& program, bool writing, int n, int start, SegmentBlock& block, Tally& tally) {
    const int last = start + kHalfLength - 1;
    for (int offset = start; offset <= last; ++offset) {
        if (program.progress.cancelRequested()) return HalfEnd::Cancelled;
        const SegmentCell cell{n, start, offset};
        const link::TramaComando trama =
            writing ? link::writeSegmentFrame(n, offset, static_cast<std::uint8_t>(block[at(offset)]))
                    : link::readSegmentFrame(n, offset);
        ++tally.sent[table(n)][half(start)];
        const link::RespuestaComando reply = exchange(program, tally, trama, cell);
        program.progress.advance();
        if (reply.Resultado == link::kAck) {
            if (writing) {
                tally.acknowledged.push_back(cell);
                tally.lastAcknowledged = cell;
            } else {
                block[at(offset)] = link::replyByte(reply);
            }
            program.frm.setStatus(progressText(n, offset, block[at(offset)]));
            continue;
        }
        // A cancel ends the wait as a failure; it is no fault of the line.
        if (program.progress.cancelRequested()) return HalfEnd::Cancelled;
        ++tally.failedHalves;
        tally.stopped.push_back({cell, tally.dead() ? StopCause::LineDead : StopCause::NoAnswer});
        program.frm.setStatus(writing ? writeErrorText(program.texts, n, start, offset)
                                      : readErrorText(program.texts, n, start, offset));
        program.platform.ui.beep();
        // The pause gives an isolated fault time to pass; a dead line gets
        // nothing more.
        if (tally.dead()) return HalfEnd::Failed;
        program.link.Pausa(1000);
        program.progress.advance(last - offset);  // the skipped rest of the half
        return HalfEnd::Failed;
    }
    return HalfEnd::Done;
}

// An answered write proves only that the frame arrived: reads back every
// cell the unit answered and compares. The cells never answered count on
// the progress bar without a transaction.
void readBack(state::State& program, const std::array<SegmentBlock, kSegmentTables>& blocks, Tally& tally) {
    tally.readingBack = true;
    program.frm.setStatus(program.CargarTexto(3004));
    const auto count = static_cast<int>(tally.acknowledged.size());
    program.progress.advance(kTransferTransactions - count);
    for (int i = 0; i < count; ++i) {
        if (program.progress.cancelRequested()) break;
        const SegmentCell& cell = tally.acknowledged[static_cast<std::size_t>(i)];
        const auto written = static_cast<std::uint8_t>(blocks[table(cell.table)][at(cell.offset)]);
        const link::RespuestaComando reply =
            exchange(program, tally, link::readSegmentFrame(cell.table, cell.offset), cell);
        program.progress.advance();
        if (reply.Resultado == link::kAck) {
            const std::uint8_t held = link::replyByte(reply);
            if (held != written) tally.differences.push_back({cell, written, held});
            program.frm.setStatus(progressText(cell.table, cell.offset, held));
            continue;
        }
        if (program.progress.cancelRequested()) break;
        tally.differences.push_back({cell, written, std::nullopt});
        if (tally.dead()) {
            tally.notReadBack = count - i - 1;
            return;
        }
    }
    tally.cancelled = program.progress.cancelRequested();
}

// What a write stopped by a dead line leaves: what the unit answered, the
// cells that may or may not have arrived, and what never went out.
void reportDeadWrite(const texts::TextTable& texts, Tally& tally) {
    std::vector<std::string> written, unknown, notSent;
    for (int n = 1; n <= kSegmentTables; ++n)
        for (int start : kHalfStarts) {
            const int sent = tally.sent[table(n)][half(start)];
            const auto stop = std::find_if(tally.stopped.begin(), tally.stopped.end(), [&](const StoppedHalf& s) {
                return s.at.table == n && s.at.halfStart == start;
            });
            const int answered = stop == tally.stopped.end() ? sent : stop->at.offset - start;
            if (answered == kHalfLength)
                written.push_back(halfName(texts, n, start));
            else if (answered > 0)
                written.push_back(rangeName(texts, n, start, start, start + answered - 1));
            if (sent == 0)
                notSent.push_back(halfName(texts, n, start));
            else if (sent < kHalfLength)
                notSent.push_back(rangeName(texts, n, start, start + sent, start + kHalfLength - 1));
        }
    for (const StoppedHalf& s : tally.stopped) unknown.push_back(cellName(texts, s.at));
    tally.details.push_back(text(texts, 3113, {listText(texts, written)}));
    if (tally.lastAcknowledged) tally.details.push_back(text(texts, 3114, {cellName(texts, *tally.lastAcknowledged)}));
    tally.details.push_back(text(texts, 3115, {listText(texts, unknown)}));
    tally.details.push_back(text(texts, 3116, {listText(texts, notSent)}));
}

// The status line at the end of a write, and the lines the message adds:
// each failed half with its cause, what a dead line left, each difference.
std::string finishWrite(const texts::TextTable& texts, Tally& tally) {
    if (tally.cancelled) return tally.readingBack ? texts.CargarTexto(3119) : kWriteCancelledText;
    for (const StoppedHalf& s : tally.stopped)
        tally.details.push_back(text(texts, 3107,
                                     {halfName(texts, s.at.table, s.at.halfStart), std::to_string(s.at.offset),
                                      texts.CargarTexto(s.cause == StopCause::LineDead ? 3109 : 3108)}));
    if (tally.dead() && !tally.readingBack) reportDeadWrite(texts, tally);
    for (const Difference& d : tally.differences) tally.details.push_back(differenceText(texts, d));
    if (tally.dead())
        return tally.readingBack ? text(texts, 3118, {std::to_string(tally.notReadBack)})
                                 : text(texts, 3112, {cellName(texts, *tally.deadFrom)});
    if (tally.failedHalves > 0) return writeEndText(tally.failedHalves);
    if (!tally.differences.empty())
        return texts.CargarTexto(3005) + ": " + differenceText(texts, tally.differences.front()) +
               (tally.differences.size() > 1 ? " ..." : "");
    return "Ended";
}

// Runs the operation with the buttons off, the progress on and the port
// closed at its end; on a port error the caller's guard reports. The
// message is the status line and the details, which a message box shows.
template <typename Body>
ops::Outcome<TransferReport> runTransfer(state::State& program, int planned, Body&& body) {
    Tally tally;
    {
        ops::ButtonsOff buttons(program.frm);
        ops::ProgressRun progress(program.progress, planned);
        ops::PortClosedAfter port(program.link);
        tally = body();
    }
    program.platform.events.processEvents();
    const ops::End end = tally.cancelled              ? ops::End::Cancelled
                         : tally.failedHalves > 0     ? ops::End::NoAnswer
                         : !tally.differences.empty() ? ops::End::NotVerified
                                                      : ops::End::Done;
    std::string message;
    if (end != ops::End::Done) {
        message = program.frm.status();
        for (const auto& line : tally.details) message += "\n" + line;
        if (!tally.details.empty())
            program.platform.ui.messageBox(message, program.platform.info.title, platform::UserInterface::Icon::Error);
    }
    return {end, std::move(message), std::move(tally)};
}

}  // namespace

void encodeSegmentTable(const FlashTable& table, int n, SegmentBlock& block) {
    encodeRow(table, 2 * n - 1, kHalfStarts[0], block);
    encodeRow(table, 2 * n, kHalfStarts[1], block);
}

void decodeSegmentTable(const SegmentBlock& block, int n, FlashTable& table) {
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
    return text(texts, 3103,
                {errorText(offset), std::to_string(n), texts.CargarTexto(half(halfStart) == 0 ? 3101 : 3102)});
}

std::string writeErrorText(const texts::TextTable& texts, int n, int halfStart, int offset) {
    return text(texts, 3100,
                {std::to_string(n), texts.CargarTexto(half(halfStart) == 0 ? 3101 : 3102), std::to_string(offset)});
}

std::string writeEndText(int failedHalves) {
    if (failedHalves == 0) return "Ended";
    return "Ended, halves failed " + link::signedNumber(failedHalves);
}

int unwrittenRows(const state::State& program) {
    int rows = 0;
    for (int row = 1; row <= kPatternRows; ++row) {
        bool differs = false;
        try {
            differs = captionColour(program.frm.LColor(row).Caption()) != program.flashKept.color(row);
        } catch (const std::exception&) {
            differs = true;  // a colour the write could not send is no kept one
        }
        for (int col = 1; col <= kPatternColumns && !differs; ++col)
            differs = program.flash.pauta(row, col) != program.flashKept.pauta(row, col);
        rows += differs ? 1 : 0;
    }
    return rows;
}

void keepTable(state::State& program) {
    program.flashKept = program.flash;
    for (int row = 1; row <= kPatternRows; ++row) {
        try {
            program.flashKept.color(row) = captionColour(program.frm.LColor(row).Caption());
        } catch (const std::exception&) {
            // Kept as the table has it; the label then counts as a change.
        }
    }
}

ops::Outcome<TransferReport> LeerColores(state::State& program) {
    return runTransfer(program, kTransferTransactions, [&program] {
        Tally outcome;
        program.link.AbrirCom();
        // Decoded into a copy: a read that does not finish shows nothing of
        // another table's bytes or of an empty buffer as if the unit held them.
        FlashTable read = program.flash;
        SegmentBlock block{};
        for (int n = 1; n <= kSegmentTables && outcome.succeeded(); ++n) {
            for (int start : kHalfStarts) {
                const HalfEnd end = transferHalf(program, false, n, start, block, outcome);
                if (end == HalfEnd::Cancelled) outcome.cancelled = true;
                if (end != HalfEnd::Done) break;
            }
            decodeSegmentTable(block, n, read);
        }
        program.link.CerrarCom();
        if (outcome.cancelled) {
            program.frm.setStatus(kReadCancelledText);
        } else if (outcome.succeeded()) {
            program.flash = read;
            program.frm.setStatus("Ended");
            RellenarColores(program.frm, program.flash, program.texts);
            RedibujaGrid(program.frm, program.flash, program.texts);
            keepTable(program);
        }
        // After a failure the error text of the failed transaction stays.
        return outcome;
    });
}

ops::Outcome<TransferReport> EscribirColores(state::State& program) {
    const bool verify = program.verifyWrites();
    return runTransfer(program, (verify ? 2 : 1) * kTransferTransactions, [&program, verify] {
        Tally outcome;
        program.frm.setStatus("Segments transmision");
        program.link.AbrirCom();
        // The labels, not the table, hold the colours the operator sees.
        for (int row = 1; row <= kPatternRows; ++row)
            program.flash.color(row) = captionColour(program.frm.LColor(row).Caption());
        std::array<SegmentBlock, kSegmentTables> blocks{};
        for (int n = 1; n <= kSegmentTables && !outcome.cancelled && !outcome.dead(); ++n) {
            SegmentBlock& block = blocks[table(n)];
            encodeSegmentTable(program.flash, n, block);
            for (int start : kHalfStarts) {
                if (transferHalf(program, true, n, start, block, outcome) == HalfEnd::Cancelled)
                    outcome.cancelled = true;
                if (outcome.cancelled || outcome.dead()) break;
            }
        }
        if (verify && !outcome.cancelled && !outcome.dead()) readBack(program, blocks, outcome);
        if (outcome.succeeded()) keepTable(program);
        program.frm.setStatus(finishWrite(program.texts, outcome));
        program.link.CerrarCom();
        return outcome;
    });
}

ops::Outcome<TransferReport> CLeerColores_Click(state::State& program) {
    return ops::guarded(program, [&] { return LeerColores(program); });
}

ops::Outcome<TransferReport> CEscribirColores_Click(state::State& program) {
    return ops::guarded(program, [&] { return EscribirColores(program); });
}

}  // namespace zrk::tables
