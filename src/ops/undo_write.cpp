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

void error(state::State& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

std::string text(state::State& p, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(p.CargarTexto(id), args);
}

ops::Outcome<> portFailure(state::State& p, const platform::PortError& e) {
    p.link.CerrarCom();
    const std::string message = ops::portMessage(p, e);
    p.frm.setStatus(message);
    error(p, std::string(kWriteError) + "\n" + message);
    return {ops::End::PortError, message};
}

// A transaction without an answer before anything was sent.
ops::Outcome<> noAnswer(state::State& p) {
    if (p.progress.cancelRequested()) {
        p.frm.setStatus(text(p, texts::id::kNothingPutBackCancelled));
        return ops::End::Cancelled;
    }
    p.frm.setStatus(text(p, texts::id::kNothingPutBackNoAnswer));
    error(p, std::string(kWriteError) + "\n" + text(p, texts::id::kNothingPutBackNoAnswer));
    return ops::End::NoAnswer;
}

// Whether the unit on the line carries the number the plan expects; reads
// cells 254 and 255 and keeps what they hold in the plan. Nothing: it does.
std::optional<ops::Outcome<>> checkUnit(state::State& p, UndoPlan& plan) {
    const auto expected = plan.identifierNow();
    if (!expected) return std::nullopt;
    const auto onLine = ops::readIdentifier(p.link);
    if (!onLine) return noAnswer(p);
    p.progress.advance(2);
    for (auto& field : plan.fields)
        for (auto& cell : field.cells) {
            if (cell.table == 0 && cell.address == 254) cell.held = static_cast<std::uint8_t>(*onLine >> 8);
            if (cell.table == 0 && cell.address == 255) cell.held = static_cast<std::uint8_t>(*onLine & 0xFF);
        }
    if (*onLine == *expected) return std::nullopt;
    const std::string found = std::to_string(*onLine), logged = std::to_string(*expected);
    p.frm.setStatus(text(p, texts::id::kNothingPutBackOtherUnit, {found, logged}));
    // Another unit answers: a retry cannot help, the message says why alone.
    error(p, text(p, texts::id::kNothingPutBackOtherUnit, {found, logged}));
    return ops::End::WrongUnit;
}

// A logged field by the caption the window shows beside it.
std::string captionOf(const state::State& p, const std::string& field) {
    if (const int row = ops::rowOfField(field); row > 0)
        return texts::fill(p.CargarTexto(texts::id::kTableRow), {std::to_string(row)});
    for (int row : params::rowAddresses())
        if (params::fieldAt(row) == field) return params::fieldCaption(p.frm, row);
    return field;
}

std::optional<int> number(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(text);
}

std::string outcomeText(state::State& p, const std::string& outcome) {
    static constexpr int kTexts[] = {texts::id::kOutcomeVerified, texts::id::kOutcomeWrittenNotVerified,
                                     texts::id::kOutcomeUnknown, texts::id::kOutcomeFailed};
    return p.CargarTexto(kTexts[files::outcomeRank(outcome)]);
}

std::string recentText(state::State& p, const std::optional<std::string>& unit) {
    const auto writes = recentWrites(p, unit, 10);
    if (writes.empty()) return {};
    std::string list = unit ? text(p, texts::id::kRecentWritesUnit, {*unit}) : p.CargarTexto(texts::id::kRecentWrites);
    for (const auto& w : writes) {
        std::string captions;
        for (const auto& c : w.captions) captions += (captions.empty() ? "" : ", ") + c;
        list += "\n" + w.time + "  " + (unit ? "" : w.unit + "  ") + captions + "  (" + w.outcome +
                (w.undoes > 0 ? "; " + text(p, texts::id::kUndoOf, {std::to_string(w.undoes)}) : "") + ")";
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

ops::Outcome<UndoPlan> planUndo(state::State& p, const std::optional<std::string>& unit) {
    const files::WriteRecord record(p.platform.info.dataFolder);
    const std::vector<Line> lines = p.platform.info.dataFolder.empty() ? std::vector<Line>{} : record.read();
    const Line* last = nullptr;
    for (const auto& line : lines)
        if (!unit || line.unit == *unit) last = &line;
    if (last == nullptr) {
        const std::string message =
            unit ? text(p, texts::id::kNothingToUndoOfUnit, {*unit}) : p.CargarTexto(texts::id::kNothingToUndo);
        p.frm.setStatus(message);
        return {ops::End::NothingToDo, message};
    }
    if (last->write == 0) {
        const std::string message =
            text(p, texts::id::kLastWriteWithoutBytes,
                 {last->time, last->unit, (p.platform.info.dataFolder / "before-write").string()});
        p.frm.setStatus(p.CargarTexto(texts::id::kNothingPutBack));
        return {ops::End::NothingToDo, message};
    }
    UndoPlan plan;
    plan.write = last->write;
    plan.unit = last->unit;
    plan.time = last->time;
    for (const auto& line : lines) {
        if (line.write != plan.write || line.unit != plan.unit) continue;
        UndoField field{line.field, captionOf(p, line.field), line.written, line.unitValue, {}};
        for (const auto& c : line.cells) field.cells.push_back({c.address, c.before, c.after, std::nullopt, c.table});
        plan.fields.push_back(std::move(field));
    }
    return {ops::End::Done, {}, plan};
}

ops::Outcome<> readUndoCells(state::State& p, UndoPlan& plan) {
    int cells = 0;
    for (const auto& field : plan.fields) cells += static_cast<int>(field.cells.size());
    ops::OperationScope scope(p.frm, p.progress, p.link, 2 + cells);
    try {
        p.link.AbrirCom();
        if (const auto refused = checkUnit(p, plan)) return *refused;
        for (auto& field : plan.fields)
            for (auto& cell : field.cells) {
                if (cell.held) continue;
                const auto held = readUndoCell(p.link, cell);
                if (!held) return noAnswer(p);
                cell.held = *held;
                p.progress.advance();
            }
    } catch (const platform::PortError& e) {
        return portFailure(p, e);
    }
    plan.cellsRead = true;
    return ops::End::Done;
}

ops::Outcome<> applyUndo(state::State& p, UndoPlan& plan, const UndoOptions& options) {
    // The record comes before the first byte, as for any write.
    const files::WriteRecord record(p.platform.info.dataFolder);
    bool recorded = !p.platform.info.dataFolder.empty();
    if (recorded) {
        try {
            record.checkLog();
        } catch (const files::FileError& e) {
            if (!options.withoutRecord) {
                p.frm.setStatus(p.CargarTexto(texts::id::kNothingPutBack));
                error(p, p.CargarTexto(texts::id::kNothingSentToUnit) + "\n" + e.describe(p.texts));
                return {ops::End::NotRecorded, e.describe(p.texts)};
            }
            recorded = false;
        }
    }
    if (!plan.cellsRead)
        if (const auto read = readUndoCells(p, plan); !read.done()) return read;
    if (plan.changedSince() && !options.force) {
        std::string list;
        for (const auto& field : plan.fields)
            for (const auto& cell : field.cells)
                if (cell.changedSince())
                    list += "\n" +
                            text(p, texts::id::kAddressChangedSince,
                                 {cell.name(), field.caption, std::to_string(*cell.held), std::to_string(cell.after)});
        p.frm.setStatus(p.CargarTexto(texts::id::kNothingPutBackChanged));
        error(p, p.CargarTexto(texts::id::kNothingPutBackChanged) + list);
        return {ops::End::NotVerified, p.CargarTexto(texts::id::kNothingPutBackChanged)};
    }
    const std::vector<UndoCell> cells = plan.toSend(options.force);
    if (cells.empty()) {
        p.frm.setStatus(p.CargarTexto(texts::id::kNothingToPutBack));
        return ops::End::Done;
    }
    const std::string unitNow = plan.identifierNow() ? std::to_string(*plan.identifierNow()) : plan.unit;

    const bool verify = p.verifyWrites();
    std::vector<int> sent, failed, wrong;  // cells by key()
    std::string firstFailed;
    std::vector<std::string> differences;
    ops::Outcome<> outcome = ops::End::Done;
    {
        ops::OperationScope scope(p.frm, p.progress, p.link, 2 + static_cast<int>(cells.size()) * (verify ? 2 : 1));
        try {
            p.link.AbrirCom();
            // The port was closed since the cells were read: the unit on the
            // line may be another one now.
            UndoPlan check = plan;
            if (const auto refused = checkUnit(p, check)) return *refused;
            p.frm.setStatus(p.CargarTexto(texts::id::kPuttingBack));
            for (const auto& cell : cells) {
                const auto reply = p.link.EnviarComando(undoFrame(cell));
                if (reply.Resultado != link::kAck) {
                    if (p.progress.cancelRequested()) break;
                    p.platform.ui.beep();
                    failed.push_back(cell.key());
                    firstFailed = cell.name();
                    break;
                }
                sent.push_back(cell.key());
                p.progress.advance();
            }
            if (verify && !p.progress.cancelRequested()) {
                p.frm.setStatus(text(p, texts::id::kVerifying));
                for (const auto& cell : cells) {
                    if (!has(sent, cell)) continue;
                    const auto held = readUndoCell(p.link, cell);
                    if (p.progress.cancelRequested()) break;
                    const std::string a = cell.name(), back = std::to_string(cell.before);
                    if (!held)
                        differences.push_back(text(p, texts::id::kAddressNoAnswerReadBack, {a, back}));
                    else if (*held != cell.before)
                        differences.push_back(text(p, texts::id::kAddressHoldsOther, {a, back, std::to_string(*held)}));
                    if (!held || *held != cell.before) wrong.push_back(cell.key());
                    p.progress.advance();
                    // Two transactions without a byte back: nothing more goes out.
                    if (!held && p.link.lineSeemsDead()) break;
                }
            }
            if (p.progress.cancelRequested()) {
                p.frm.setStatus(p.CargarTexto(sent.empty() ? texts::id::kNothingPutBackCancelled
                                                           : texts::id::kUndoCancelledPartly));
                outcome = ops::End::Cancelled;
            }
        } catch (const platform::PortError& e) {
            outcome = portFailure(p, e);
        }
    }
    if (outcome == ops::End::Done) {
        if (!failed.empty()) {
            p.frm.setStatus(text(p, texts::id::kEndedNoAnswerWriting, {firstFailed}));
            error(p, text(p, texts::id::kEndedNoAnswerWriting, {firstFailed}));
            outcome = ops::End::NoAnswer;
        } else if (!differences.empty()) {
            std::string list;
            for (const auto& line : differences) list += "\n" + line;
            p.frm.setStatus(text(p, texts::id::kEndedUnitDoesNotHold) + ": " + differences.front() +
                            (differences.size() > 1 ? " ..." : ""));
            error(p, text(p, texts::id::kEndedUnitDoesNotHold) + list);
            outcome = ops::End::NotVerified;
        } else {
            p.frm.setStatus(p.CargarTexto(texts::id::kUndone));
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
            error(p, e.describe(p.texts));
        }
    }
    // The form no longer shows what this unit holds: a write from it would
    // send the undone values again. It asks for a read first.
    if (!sent.empty() && p.boundUnit && p.boundUnit->identifier && number(unitNow) &&
        *p.boundUnit->identifier == *number(unitNow)) {
        p.boundUnit.reset();
        refreshMarks(p);
    }
    // The same for the table a table write is planned against.
    if (!sent.empty() && p.flashOfUnit && number(unitNow) && p.flashOfUnit->identifier == *number(unitNow))
        p.flashOfUnit.reset();
    return outcome;
}

ops::Outcome<UndoPlan> undoLastWrite(state::State& p, const UndoOptions& options) {
    auto planned = planUndo(p, options.unit);
    if (!planned.done()) return planned;
    UndoPlan& plan = planned.payload;
    if (const auto read = readUndoCells(p, plan); !read.done()) return {read.end, read.message, plan};
    if (options.dryRun) return {ops::End::Done, {}, plan};
    const auto applied = applyUndo(p, plan, options);
    return {applied.end, applied.message, plan};
}

std::vector<WriteSummary> recentWrites(state::State& p, const std::optional<std::string>& unit, int count) {
    std::vector<WriteSummary> out;
    if (p.platform.info.dataFolder.empty()) return out;
    const auto lines = files::WriteRecord(p.platform.info.dataFolder).read();
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
        out.back().captions.insert(out.back().captions.begin(), captionOf(p, it->field));
        if (files::outcomeRank(it->outcome) > files::outcomeRank(worst.back())) worst.back() = it->outcome;
    }
    for (std::size_t i = 0; i < out.size(); ++i) out[i].outcome = outcomeText(p, worst[i]);
    return out;
}

ops::Outcome<> confirmedUndo(state::State& p) {
    std::optional<std::string> unit;
    if (p.boundUnit && p.boundUnit->identifier) unit = std::to_string(*p.boundUnit->identifier);
    const std::string recent = recentText(p, unit);
    auto planned = planUndo(p, unit);
    if (!planned.done()) {
        p.platform.ui.messageBox(planned.message + (recent.empty() ? "" : "\n\n" + recent), p.platform.info.title,
                                 platform::UserInterface::Icon::Information);
        return planned.end;
    }
    UndoPlan& plan = planned.payload;
    if (const auto read = readUndoCells(p, plan); !read.done()) return read;
    // Refused, or nothing to send: said without a question.
    if (plan.changedSince() || plan.toSend(false).empty()) return applyUndo(p, plan, {});

    std::string details;
    for (const auto& field : plan.fields) {
        std::string cells;
        for (const auto& c : field.cells)
            cells += (cells.empty() ? "" : ", ") +
                     text(p, texts::id::kAddressChange, {c.name(), std::to_string(*c.held), std::to_string(c.before)});
        details += field.caption + ": " + field.wrote + " \u2192 " + field.back + " (" + cells + ")\n";
    }
    if (!recent.empty()) details += "\n" + recent;
    if (!p.platform.ui.confirm(text(p, texts::id::kPutBackQuestion, {plan.unit, plan.time}), details,
                               p.platform.info.title)) {
        p.frm.setStatus(p.CargarTexto(texts::id::kNothingPutBackCancelled));
        return ops::End::Cancelled;
    }
    UndoOptions options;
    options.unit = unit;
    if (!p.platform.info.dataFolder.empty()) {
        try {
            files::WriteRecord(p.platform.info.dataFolder).checkLog();
        } catch (const files::FileError& e) {
            if (!p.platform.ui.askDefaultNo(text(p, texts::id::kUndoWithoutRecord, {e.describe(p.texts)}), {},
                                            p.platform.info.title)) {
                p.frm.setStatus(p.CargarTexto(texts::id::kNothingPutBack));
                return {ops::End::NotRecorded, e.describe(p.texts)};
            }
            options.withoutRecord = true;
        }
    }
    return applyUndo(p, plan, options);
}

}  // namespace zrk::ops
