#include "ops/undo_write.h"

#include <algorithm>
#include <ctime>
#include <string_view>
#include <tuple>

#include "files/write_record.h"
#include "link/protocol.h"
#include "ops/change_plan.h"
#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "ops/table_plan.h"
#include "params/image_layout.h"
#include "params/visibility.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

// The headline a write's port error has; an undo is a write.
const char* const kWriteError = "Error de escritura. Reintente la operación";

using Line = files::WriteRecord::Line;

void error(state::State& state, const std::string& text) {
    state.platform.ui.messageBox(text, state.platform.info.title, platform::UserInterface::Icon::Error);
}

std::string text(state::State& state, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(state.CargarTexto(id), args);
}

ops::Outcome<> portFailure(state::State& state, const platform::PortError& e) {
    state.link.CerrarCom();
    const std::string message = ops::portMessage(state, e);
    state.frm.setStatus(message);
    error(state, std::string(kWriteError) + "\n" + message);
    return {ops::End::PortError, message};
}

// A transaction without an answer before anything was sent.
ops::Outcome<> noAnswer(state::State& state) {
    if (state.progress.cancelRequested()) {
        state.frm.setStatus(text(state, texts::id::kNothingPutBackCancelled));
        return ops::End::Cancelled;
    }
    state.frm.setStatus(text(state, texts::id::kNothingPutBackNoAnswer));
    error(state, std::string(kWriteError) + "\n" + text(state, texts::id::kNothingPutBackNoAnswer));
    return ops::End::NoAnswer;
}

// Whether the unit on the line carries the number the plan expects; reads
// cells 254 and 255 and keeps what they hold in the plan. Nothing: it does.
std::optional<ops::Outcome<>> checkUnit(state::State& state, UndoPlan& plan) {
    const auto expected = plan.identifierNow();
    if (!expected) return std::nullopt;
    const auto onLine = ops::readIdentifier(state.link);
    if (!onLine) return noAnswer(state);
    state.progress.advance(2);
    for (auto& field : plan.fields)
        for (auto& cell : field.cells) {
            if (cell.table == 0 && cell.address == 254) cell.held = static_cast<std::uint8_t>(*onLine >> 8);
            if (cell.table == 0 && cell.address == 255) cell.held = static_cast<std::uint8_t>(*onLine & 0xFF);
        }
    if (*onLine == *expected) return std::nullopt;
    const std::string found = std::to_string(*onLine), logged = std::to_string(*expected);
    state.frm.setStatus(text(state, texts::id::kNothingPutBackOtherUnit, {found, logged}));
    // Another unit answers: a retry cannot help, the message says why alone.
    error(state, text(state, texts::id::kNothingPutBackOtherUnit, {found, logged}));
    return ops::End::WrongUnit;
}

// A logged field by the caption the window shows beside it.
std::string captionOf(const state::State& state, const std::string& field) {
    if (const int row = ops::rowOfField(field); row > 0)
        return texts::fill(state.CargarTexto(texts::id::kTableRow), {std::to_string(row)});
    for (int row : params::rowAddresses())
        if (params::fieldAt(row) == field) return params::fieldCaption(state.frm, row);
    return field;
}

std::optional<int> number(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(text);
}

std::string outcomeText(state::State& state, const std::string& outcome) {
    static constexpr int kTexts[] = {texts::id::kOutcomeVerified, texts::id::kOutcomeWrittenNotVerified,
                                     texts::id::kOutcomeUnknown, texts::id::kOutcomeFailed};
    return state.CargarTexto(kTexts[files::outcomeRank(outcome)]);
}

std::string recentText(state::State& state, const std::optional<std::string>& unit) {
    const auto writes = recentWrites(state, unit, 10);
    if (writes.empty()) return {};
    std::string list =
        unit ? text(state, texts::id::kRecentWritesUnit, {*unit}) : state.CargarTexto(texts::id::kRecentWrites);
    for (const auto& w : writes) {
        std::string captions;
        for (const auto& c : w.captions) captions += (captions.empty() ? "" : ", ") + c;
        list += "\n" + w.time + "  " + (unit ? "" : w.unit + "  ") + captions + "  (" + w.outcome +
                (w.undoes > 0 ? "; " + text(state, texts::id::kUndoOf, {std::to_string(w.undoes)}) : "") + ")";
    }
    return list;
}

std::optional<int> readUndoCell(link::DeviceLink& link, const UndoCell& cell) {
    if (cell.table == 0) return ops::readCell(link, cell.address);
    const auto reply = link.EnviarComando(link::readSegmentFrame(cell.table, cell.address));
    if (reply.Resultado != link::kAck) return std::nullopt;
    return link::replyByte(reply);
}

link::TramaComando undoFrame(const UndoCell& cell) {
    const auto byte = static_cast<std::uint8_t>(cell.before);
    return cell.table == 0 ? link::writeMemoryFrame(cell.address, byte)
                           : link::writeSegmentFrame(cell.table, cell.address, byte);
}

bool has(const std::vector<int>& keys, const UndoCell& cell) {
    return std::find(keys.begin(), keys.end(), cell.key()) != keys.end();
}

}  // namespace

std::string UndoCell::name() const {
    return (table > 0 ? std::to_string(table) + "/" : std::string()) + std::to_string(address);
}

bool UndoPlan::changedSince() const {
    for (const auto& field : fields)
        for (const auto& cell : field.cells)
            if (cell.changedSince()) return true;
    return false;
}

std::vector<UndoCell> UndoPlan::toSend(bool force) const {
    std::vector<UndoCell> cells;
    for (const auto& field : fields)
        for (const auto& cell : field.cells)
            if (!cell.restored() && (force || !cell.changedSince())) cells.push_back(cell);
    // Segment cells first, then the parameter memory in rising order, so the
    // identifier number (254, 255) goes last, as a write sends it: until
    // then the unit answers to the number checked.
    std::sort(cells.begin(), cells.end(), [](const UndoCell& a, const UndoCell& b) {
        return std::tuple(a.table == 0, a.table, a.address) < std::tuple(b.table == 0, b.table, b.address);
    });
    return cells;
}

std::optional<int> UndoPlan::identifierNow() const {
    auto id = number(unit);
    if (!id) return std::nullopt;
    for (const auto& field : fields)
        for (const auto& cell : field.cells) {
            if (cell.table == 0 && cell.address == 254) id = cell.after * 256 + *id % 256;
            if (cell.table == 0 && cell.address == 255) id = *id / 256 * 256 + cell.after;
        }
    return id;
}

ops::Outcome<UndoPlan> planUndo(state::State& state, const std::optional<std::string>& unit) {
    const files::WriteRecord record(state.platform.info.dataFolder);
    const std::vector<Line> lines = state.platform.info.dataFolder.empty() ? std::vector<Line>{} : record.read();
    const Line* last = nullptr;
    for (const auto& line : lines)
        if (!unit || line.unit == *unit) last = &line;
    if (last == nullptr) {
        const std::string message =
            unit ? text(state, texts::id::kNothingToUndoOfUnit, {*unit}) : state.CargarTexto(texts::id::kNothingToUndo);
        state.frm.setStatus(message);
        return {ops::End::NothingToDo, message};
    }
    if (last->write == 0) {
        const std::string message =
            text(state, texts::id::kLastWriteWithoutBytes,
                 {last->time, last->unit, (state.platform.info.dataFolder / "before-write").string()});
        state.frm.setStatus(state.CargarTexto(texts::id::kNothingPutBack));
        return {ops::End::NothingToDo, message};
    }
    UndoPlan plan;
    plan.write = last->write;
    plan.unit = last->unit;
    plan.time = last->time;
    for (const auto& line : lines) {
        if (line.write != plan.write || line.unit != plan.unit) continue;
        UndoField field{line.field, captionOf(state, line.field), line.written, line.unitValue, {}};
        for (const auto& c : line.cells) field.cells.push_back({c.address, c.before, c.after, std::nullopt, c.table});
        plan.fields.push_back(std::move(field));
    }
    return {ops::End::Done, {}, plan};
}

ops::Outcome<> readUndoCells(state::State& state, UndoPlan& plan) {
    int cells = 0;
    for (const auto& field : plan.fields) cells += static_cast<int>(field.cells.size());
    ops::OperationScope scope(state.frm, state.progress, state.link, 2 + cells);
    try {
        state.link.AbrirCom();
        if (const auto refused = checkUnit(state, plan)) return *refused;
        for (auto& field : plan.fields)
            for (auto& cell : field.cells) {
                if (cell.held) continue;
                const auto held = readUndoCell(state.link, cell);
                if (!held) return noAnswer(state);
                cell.held = *held;
                state.progress.advance();
            }
    } catch (const platform::PortError& e) {
        return portFailure(state, e);
    }
    plan.cellsRead = true;
    return ops::End::Done;
}

ops::Outcome<> applyUndo(state::State& state, UndoPlan& plan, const UndoOptions& options) {
    // The record comes before the first byte, as for any write.
    const files::WriteRecord record(state.platform.info.dataFolder);
    bool recorded = !state.platform.info.dataFolder.empty();
    if (recorded) {
        try {
            record.checkLog();
        } catch (const files::FileError& e) {
            if (!options.withoutRecord) {
                state.frm.setStatus(state.CargarTexto(texts::id::kNothingPutBack));
                error(state, state.CargarTexto(texts::id::kNothingSentToUnit) + "\n" + e.describe(state.texts));
                return {ops::End::NotRecorded, e.describe(state.texts)};
            }
            recorded = false;
        }
    }
    if (!plan.cellsRead)
        if (const auto read = readUndoCells(state, plan); !read.done()) return read;
    if (plan.changedSince() && !options.force) {
        std::string list;
        for (const auto& field : plan.fields)
            for (const auto& cell : field.cells)
                if (cell.changedSince())
                    list += "\n" +
                            text(state, texts::id::kAddressChangedSince,
                                 {cell.name(), field.caption, std::to_string(*cell.held), std::to_string(cell.after)});
        state.frm.setStatus(state.CargarTexto(texts::id::kNothingPutBackChanged));
        error(state, state.CargarTexto(texts::id::kNothingPutBackChanged) + list);
        return {ops::End::NotVerified, state.CargarTexto(texts::id::kNothingPutBackChanged)};
    }
    const std::vector<UndoCell> cells = plan.toSend(options.force);
    if (cells.empty()) {
        state.frm.setStatus(state.CargarTexto(texts::id::kNothingToPutBack));
        return ops::End::Done;
    }
    const std::string unitNow = plan.identifierNow() ? std::to_string(*plan.identifierNow()) : plan.unit;

    const bool verify = state.verifyWrites();
    std::vector<int> sent, failed, wrong;  // cells by key()
    std::string firstFailed;
    std::vector<std::string> differences;
    ops::Outcome<> outcome = ops::End::Done;
    {
        ops::OperationScope scope(state.frm, state.progress, state.link,
                                  2 + static_cast<int>(cells.size()) * (verify ? 2 : 1));
        try {
            state.link.AbrirCom();
            // The port was closed since the cells were read: the unit on the
            // line may be another one now.
            UndoPlan check = plan;
            if (const auto refused = checkUnit(state, check)) return *refused;
            state.frm.setStatus(state.CargarTexto(texts::id::kPuttingBack));
            for (const auto& cell : cells) {
                const auto reply = state.link.EnviarComando(undoFrame(cell));
                if (reply.Resultado != link::kAck) {
                    if (state.progress.cancelRequested()) break;
                    state.platform.ui.beep();
                    failed.push_back(cell.key());
                    firstFailed = cell.name();
                    break;
                }
                sent.push_back(cell.key());
                state.progress.advance();
            }
            if (verify && !state.progress.cancelRequested()) {
                state.frm.setStatus(text(state, texts::id::kVerifying));
                for (const auto& cell : cells) {
                    if (!has(sent, cell)) continue;
                    const auto held = readUndoCell(state.link, cell);
                    if (state.progress.cancelRequested()) break;
                    const std::string a = cell.name(), back = std::to_string(cell.before);
                    if (!held)
                        differences.push_back(text(state, texts::id::kAddressNoAnswerReadBack, {a, back}));
                    else if (*held != cell.before)
                        differences.push_back(
                            text(state, texts::id::kAddressHoldsOther, {a, back, std::to_string(*held)}));
                    if (!held || *held != cell.before) wrong.push_back(cell.key());
                    state.progress.advance();
                    // Two transactions without a byte back: nothing more goes out.
                    if (!held && state.link.lineSeemsDead()) break;
                }
            }
            if (state.progress.cancelRequested()) {
                state.frm.setStatus(state.CargarTexto(sent.empty() ? texts::id::kNothingPutBackCancelled
                                                                   : texts::id::kUndoCancelledPartly));
                outcome = ops::End::Cancelled;
            }
        } catch (const platform::PortError& e) {
            outcome = portFailure(state, e);
        }
    }
    if (outcome == ops::End::Done) {
        if (!failed.empty()) {
            state.frm.setStatus(text(state, texts::id::kEndedNoAnswerWriting, {firstFailed}));
            error(state, text(state, texts::id::kEndedNoAnswerWriting, {firstFailed}));
            outcome = ops::End::NoAnswer;
        } else if (!differences.empty()) {
            std::string list;
            for (const auto& line : differences) list += "\n" + line;
            state.frm.setStatus(text(state, texts::id::kEndedUnitDoesNotHold) + ": " + differences.front() +
                                (differences.size() > 1 ? " ..." : ""));
            error(state, text(state, texts::id::kEndedUnitDoesNotHold) + list);
            outcome = ops::End::NotVerified;
        } else {
            state.frm.setStatus(state.CargarTexto(texts::id::kUndone));
        }
    }
    if (recorded && !sent.empty()) {
        // One line per field put back, with the bytes this undo changed, so
        // that it can be undone in turn.
        std::vector<Line> lines;
        const std::string now = files::isoLocalTime(std::time(nullptr));
        const int write = record.nextWrite();
        for (const auto& field : plan.fields) {
            Line line{now, unitNow, field.field, field.wrote, field.back, {}, {}, write, plan.write};
            bool allSent = true, anyWrong = false;
            for (const auto& cell : field.cells) {
                const bool planned =
                    std::any_of(cells.begin(), cells.end(), [&](const UndoCell& c) { return c.key() == cell.key(); });
                if (!planned) continue;
                const bool wasSent = has(sent, cell);
                allSent = allSent && wasSent;
                anyWrong = anyWrong || has(wrong, cell);
                if (wasSent) line.cells.push_back({cell.address, *cell.held, cell.before, cell.table});
            }
            if (line.cells.empty()) continue;
            line.outcome = !allSent || anyWrong ? files::kOutcomeFailed
                           : verify             ? files::kOutcomeVerified
                                                : files::kOutcomeNotVerified;
            lines.push_back(std::move(line));
        }
        try {
            record.append(lines);
        } catch (const files::FileError& e) {
            error(state, e.describe(state.texts));
        }
    }
    // The form no longer shows what this unit holds: a write from it would
    // send the undone values again. It asks for a read first.
    if (!sent.empty() && state.boundUnit && state.boundUnit->identifier && number(unitNow) &&
        *state.boundUnit->identifier == *number(unitNow)) {
        state.boundUnit.reset();
        refreshMarks(state);
    }
    // The same for the table a table write is planned against.
    if (!sent.empty() && state.flashOfUnit && number(unitNow) && state.flashOfUnit->identifier == *number(unitNow))
        state.flashOfUnit.reset();
    return outcome;
}

ops::Outcome<UndoPlan> undoLastWrite(state::State& state, const UndoOptions& options) {
    auto planned = planUndo(state, options.unit);
    if (!planned.done()) return planned;
    UndoPlan& plan = planned.payload;
    if (const auto read = readUndoCells(state, plan); !read.done()) return {read.end, read.message, plan};
    if (options.dryRun) return {ops::End::Done, {}, plan};
    const auto applied = applyUndo(state, plan, options);
    return {applied.end, applied.message, plan};
}

std::vector<WriteSummary> recentWrites(state::State& state, const std::optional<std::string>& unit, int count) {
    std::vector<WriteSummary> out;
    if (state.platform.info.dataFolder.empty()) return out;
    const auto lines = files::WriteRecord(state.platform.info.dataFolder).read();
    std::vector<std::string> worst;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (unit && it->unit != *unit) continue;
        // Older lines carry no write number: those of one second and unit
        // are one write.
        const bool same =
            !out.empty() && out.back().unit == it->unit &&
            (it->write > 0 ? out.back().write == it->write : out.back().write == 0 && out.back().time == it->time);
        if (!same) {
            if (static_cast<int>(out.size()) == count) break;
            out.push_back({it->write, it->time, it->unit, {}, {}, it->undoes});
            worst.push_back(it->outcome);
        }
        out.back().captions.insert(out.back().captions.begin(), captionOf(state, it->field));
        if (files::outcomeRank(it->outcome) > files::outcomeRank(worst.back())) worst.back() = it->outcome;
    }
    for (std::size_t i = 0; i < out.size(); ++i) out[i].outcome = outcomeText(state, worst[i]);
    return out;
}

ops::Outcome<> confirmedUndo(state::State& state) {
    std::optional<std::string> unit;
    if (state.boundUnit && state.boundUnit->identifier) unit = std::to_string(*state.boundUnit->identifier);
    const std::string recent = recentText(state, unit);
    auto planned = planUndo(state, unit);
    if (!planned.done()) {
        state.platform.ui.messageBox(planned.message + (recent.empty() ? "" : "\n\n" + recent),
                                     state.platform.info.title, platform::UserInterface::Icon::Information);
        return planned.end;
    }
    UndoPlan& plan = planned.payload;
    if (const auto read = readUndoCells(state, plan); !read.done()) return read;
    // Refused, or nothing to send: said without a question.
    if (plan.changedSince() || plan.toSend(false).empty()) return applyUndo(state, plan, {});

    std::string details;
    for (const auto& field : plan.fields) {
        std::string cells;
        for (const auto& c : field.cells)
            cells += (cells.empty() ? "" : ", ") + text(state, texts::id::kAddressChange,
                                                        {c.name(), std::to_string(*c.held), std::to_string(c.before)});
        details += field.caption + ": " + field.wrote + " \u2192 " + field.back + " (" + cells + ")\n";
    }
    if (!recent.empty()) details += "\n" + recent;
    if (!state.platform.ui.confirm(text(state, texts::id::kPutBackQuestion, {plan.unit, plan.time}), details,
                                   state.platform.info.title)) {
        state.frm.setStatus(state.CargarTexto(texts::id::kNothingPutBackCancelled));
        return ops::End::Cancelled;
    }
    UndoOptions options;
    options.unit = unit;
    if (!state.platform.info.dataFolder.empty()) {
        try {
            files::WriteRecord(state.platform.info.dataFolder).checkLog();
        } catch (const files::FileError& e) {
            if (!state.platform.ui.askDefaultNo(text(state, texts::id::kUndoWithoutRecord, {e.describe(state.texts)}),
                                                {}, state.platform.info.title)) {
                state.frm.setStatus(state.CargarTexto(texts::id::kNothingPutBack));
                return {ops::End::NotRecorded, e.describe(state.texts)};
            }
            options.withoutRecord = true;
        }
    }
    return applyUndo(state, plan, options);
}

}  // namespace zrk::ops
