#include "ops/segment_transfer.h"

#include <cstdio>

#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "params/numbers.h"
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

enum class HalfEnd { Done, Failed, Cancelled };

// One half of segment table n, offset by offset. Reading fills `block`;
// writing sends it. A failed transaction runs the error step and leaves the
// rest of the half.
HalfEnd transferHalf(state::State& program, bool writing, int n, int start, SegmentBlock& block,
                     std::vector<std::string>& failures) {
    const int last = start + kHalfLength - 1;
    for (int offset = start; offset <= last; ++offset) {
        if (program.progress.cancelRequested()) return HalfEnd::Cancelled;
        const link::TramaComando trama =
            writing ? link::writeSegmentFrame(n, offset, static_cast<std::uint8_t>(block[at(offset)]))
                    : link::readSegmentFrame(n, offset);
        const link::RespuestaComando reply = program.link.EnviarComando(trama);
        program.progress.advance();
        if (reply.Resultado == link::kAck) {
            if (!writing) block[at(offset)] = link::replyByte(reply);
            program.frm.setStatus(progressText(n, offset, block[at(offset)]));
            continue;
        }
        // A cancel ends the wait as a failure; it is no fault of the line.
        if (program.progress.cancelRequested()) return HalfEnd::Cancelled;
        failures.push_back(writing ? writeErrorText(program.texts, n, start, offset) : errorText(offset));
        program.frm.setStatus(failures.back());
        program.platform.ui.beep();
        program.link.Pausa(1000);
        program.progress.advance(last - offset);  // the skipped rest of the half
        return HalfEnd::Failed;
    }
    return HalfEnd::Done;
}

// How the halves of one transfer went.
struct Tally : TransferReport {
    bool cancelled = false;
    bool succeeded() const { return failedHalves == 0 && !cancelled; }
};

// Runs the operation with the buttons off, the progress on and the port
// closed at its end; on a port error the caller's guard reports.
template <typename Body>
ops::Outcome<TransferReport> runTransfer(state::State& program, Body&& body) {
    Tally tally;
    {
        ops::ButtonsOff buttons(program.frm);
        ops::ProgressRun progress(program.progress, kTransferTransactions);
        ops::PortClosedAfter port(program.link);
        tally = body();
    }
    program.platform.events.processEvents();
    const ops::End end = tally.cancelled     ? ops::End::Cancelled
                         : tally.succeeded() ? ops::End::Done
                                             : ops::End::NoAnswer;
    return {end, end == ops::End::Done ? std::string() : program.frm.status(), std::move(tally)};
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

std::string writeErrorText(const texts::TextTable& texts, int n, int halfStart, int offset) {
    const std::string values[] = {std::to_string(n), texts.CargarTexto(halfStart == kHalfStarts[0] ? 3101 : 3102),
                                  std::to_string(offset)};
    const std::string pattern = texts.CargarTexto(3100);
    // Each %1 to %3 is put in once, left to right, so a value is never read
    // again as a place holder.
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '3') {
            text += values[pattern[i + 1] - '1'];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string writeEndText(int failedHalves) {
    if (failedHalves == 0) return "Ended";
    return "Ended, halves failed " + link::signedNumber(failedHalves);
}

std::int32_t captionColour(const std::string& caption) {
    return params::roundToInt32(params::lenientNumber(caption), "Colour " + caption);
}

ops::Outcome<TransferReport> LeerColores(state::State& program) {
    return runTransfer(program, [&program] {
        Tally outcome;
        program.link.AbrirCom();
        // Decoded into a copy: a read that does not finish shows nothing of
        // another table's bytes or of an empty buffer as if the unit held them.
        FlashTable read = program.flash;
        SegmentBlock block{};
        for (int n = 1; n <= kSegmentTables && outcome.succeeded(); ++n) {
            for (int start : kHalfStarts) {
                const HalfEnd end = transferHalf(program, false, n, start, block, outcome.failures);
                if (end == HalfEnd::Failed) ++outcome.failedHalves;
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
            RellenarColores(program.frm, program.flash);
            RedibujaGrid(program.frm, program.flash);
        }
        // After a failure the error text of the failed transaction stays.
        return outcome;
    });
}

ops::Outcome<TransferReport> EscribirColores(state::State& program) {
    return runTransfer(program, [&program] {
        Tally outcome;
        program.frm.setStatus("Segments transmision");
        program.link.AbrirCom();
        // The labels, not the table, hold the colours the operator sees.
        for (int row = 1; row <= kPatternRows; ++row)
            program.flash.color(row) = captionColour(program.frm.LColor(row).Caption());
        SegmentBlock block{};
        for (int n = 1; n <= kSegmentTables && !outcome.cancelled; ++n) {
            encodeSegmentTable(program.flash, n, block);
            for (int start : kHalfStarts) {
                const HalfEnd end = transferHalf(program, true, n, start, block, outcome.failures);
                if (end == HalfEnd::Failed) ++outcome.failedHalves;
                if (end == HalfEnd::Cancelled) {
                    outcome.cancelled = true;
                    break;
                }
            }
        }
        program.frm.setStatus(outcome.cancelled ? kWriteCancelledText : writeEndText(outcome.failedHalves));
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
