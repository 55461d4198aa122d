#include "ops/table_write.h"

#include <algorithm>
#include <ctime>
#include <string_view>

#include "files/table_file.h"
#include "files/write_record.h"
#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

using Result = ops::Outcome<TableWriteResult>;

std::string text(const state::State& state, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(state.CargarTexto(id), args);
}

// Ends the write before anything was sent: the status line, and a box for
// what the engineer has to act on.
Result stop(state::State& state, ops::End end, const std::string& status, const std::string& detail = {},
            TableWriteResult result = {}) {
    state.frm.setStatus(status);
    if (!detail.empty())
        state.platform.ui.messageBox(detail, state.platform.info.title, platform::UserInterface::Icon::Error);
    return {end, detail.empty() ? status : detail, std::move(result)};
}

// The identifier number of the unit on the line; nothing when it does not
// answer (cells 254 and 255, as a parameter write checks them).
std::optional<std::uint16_t> identify(state::State& state) {
    ops::OperationScope scope(state.frm, state.progress, state.link, 2);
    state.link.AbrirCom();
    return ops::readIdentifier(state.link);
}

std::vector<std::string> labelCaptions(const state::State& state) {
    std::vector<std::string> captions;
    for (int row = 1; row <= tables::kPatternRows; ++row) captions.push_back(state.frm.LColor(row).Caption());
    return captions;
}

// What became of one cell, as far as the tool knows: read back as written,
// verified; read back otherwise, failed; answered and never read back (or
// its read-back unanswered), not verified; sent without an answer and not
// read back, unknown when the line died or the read-back went unanswered;
// anything else failed.
const char* cellOutcome(const TransferReport& r, const CellWrite& w) {
    const auto d =
        std::find_if(r.differences.begin(), r.differences.end(), [&](const Difference& x) { return x.cell == w.cell; });
    const bool acknowledged = std::find(r.acknowledged.begin(), r.acknowledged.end(), w) != r.acknowledged.end();
    if (d != r.differences.end()) {
        if (d->held) return files::kOutcomeFailed;
        return acknowledged ? files::kOutcomeNotVerified : files::kOutcomeUnknown;
    }
    if (std::find(r.readBack.begin(), r.readBack.end(), w.cell) != r.readBack.end()) return files::kOutcomeVerified;
    if (acknowledged) return files::kOutcomeNotVerified;
    const auto s =
        std::find_if(r.stopped.begin(), r.stopped.end(), [&](const StoppedHalf& x) { return x.at == w.cell; });
    if (s != r.stopped.end() && s->cause == StopCause::LineDead) return files::kOutcomeUnknown;
    return files::kOutcomeFailed;
}

// One log line per changed row, with its cells and the worst of their outcomes.
void recordWrite(state::State& state, const TablePlan& plan, const TransferReport& report) {
    const files::WriteRecord record(state.platform.info.dataFolder);
    const std::string now = files::isoLocalTime(std::time(nullptr));
    try {
        const int write = record.nextWrite();
        std::vector<files::WriteRecord::Line> lines;
        for (const RowChange& row : plan.rows) {
            std::string worst = files::kOutcomeVerified;
            std::vector<files::WriteRecord::Cell> cells;
            for (std::size_t i = 0; i < row.cells.size(); ++i) {
                const CellWrite& w = row.cells[i];
                const std::string outcome = cellOutcome(report, w);
                if (files::outcomeRank(outcome) > files::outcomeRank(worst)) worst = outcome;
                cells.push_back({w.cell.offset, row.before[i], w.byte, w.cell.table});
            }
            lines.push_back({now, std::to_string(plan.unit.identifier), rowField(row.row),
                             rowRecordText(plan.unit.table, row.row), rowRecordText(plan.after, row.row), worst, cells,
                             write, 0});
        }
        record.append(lines);
    } catch (const files::FileError& e) {
        state.platform.ui.messageBox(e.describe(state.texts), state.platform.info.title,
                                     platform::UserInterface::Icon::Error);
    }
}

// The record comes before the first byte: the log must take the lines and
// the copy of the unit's table must be saved. When it cannot, the engineer
// chooses (zrkctl: --no-record). Returns whether the write is recorded.
std::optional<bool> prepareRecord(state::State& state, const TablePlan& plan, const std::filesystem::path& copy) {
    if (state.platform.info.dataFolder.empty()) return false;
    const files::WriteRecord record(state.platform.info.dataFolder);
    try {
        record.checkLog();
        record.saveCopy(copy, std::to_string(plan.unit.identifier),
                        files::tableJson(files::tableFileOf(plan.unit.table)));
        return true;
    } catch (const files::FileError& e) {
        if (state.writeWithoutRecord ||
            state.platform.ui.askDefaultNo(text(state, texts::id::kRecordCannotBeKept, {e.describe(state.texts)}),
                                           text(state, texts::id::kWriteWithoutRecord), state.platform.info.title))
            return false;
        stop(state, ops::End::NotRecorded, text(state, texts::id::kNothingWritten),
             e.describe(state.texts) + "\n" + text(state, texts::id::kNothingWrittenNeedsRecord));
        return std::nullopt;
    }
}

}  // namespace

Result plannedTableWrite(state::State& state, const TableWriteOptions& options) {
    tables::FlashTable after;
    if (const auto refused = shownTable(state.texts, state.flash, labelCaptions(state), after); !refused.empty())
        return stop(state, ops::End::BadData, text(state, texts::id::kNothingWritten), refused);
    if (const auto refused = tableRefusal(state.texts, after); !refused.empty())
        return stop(state, ops::End::BadData, text(state, texts::id::kNothingWritten), refused);

    const auto unit = identify(state);
    if (!unit) {
        if (state.progress.cancelRequested())
            return stop(state, ops::End::Cancelled, text(state, texts::id::kNothingWrittenCancelled));
        return stop(state, ops::End::NoAnswer, text(state, texts::id::kNothingWrittenNoAnswer),
                    text(state, texts::id::kNothingWrittenNoAnswer));
    }
    const std::string name = std::to_string(*unit);
    if (!state.flashOfUnit || state.flashOfUnit->identifier != *unit) {
        // The grid keeps the edits: the unit's table is read beside them.
        if (!state.platform.ui.confirm(text(state, texts::id::kTableReadFirst, {name}), {}, state.platform.info.title))
            return stop(state, ops::End::Cancelled, text(state, texts::id::kNothingWrittenCancelled));
        std::optional<tables::UnitTable> read;
        const auto outcome = readUnitTable(state, read);
        if (!outcome.done()) return {outcome.end, outcome.message};
        if (read->identifier != *unit)
            return stop(state, ops::End::WrongUnit,
                        text(state, texts::id::kNothingWrittenOtherUnit, {std::to_string(read->identifier), name}));
        state.flashOfUnit = *read;
    }

    TableWriteResult result{planTableWrite(state.texts, *state.flashOfUnit, after), {}, {}};
    const TablePlan& plan = result.plan;
    for (const RowChange& row : plan.rows)
        for (auto& line : rowChangeLines(state.texts, plan, row)) result.lines.push_back(std::move(line));
    if (plan.rows.empty()) {
        state.frm.setStatus(text(state, texts::id::kTableNoChange, {name}));
        return {ops::End::Done, {}, std::move(result)};
    }
    if (options.dryRun) return {ops::End::Done, {}, std::move(result)};

    std::filesystem::path copy;
    if (!state.platform.info.dataFolder.empty())
        copy = files::WriteRecord(state.platform.info.dataFolder).copyPathFor(name, std::time(nullptr), "-table.json");
    const bool ask = state.platform.store.value("ZRK", "Write", "Confirm") != std::optional<std::string>("false");
    if (ask) {
        std::string details;
        for (const auto& line : result.lines) details += line + "\n";
        if (!copy.empty()) details += "\n" + text(state, texts::id::kTableCopySavedFirst, {copy.string()});
        if (!state.platform.ui.confirm(text(state, texts::id::kWriteTableChanges, {name}), details,
                                       state.platform.info.title))
            return stop(state, ops::End::Cancelled, text(state, texts::id::kNothingWrittenCancelled), {},
                        std::move(result));
    }
    const auto recorded = prepareRecord(state, plan, copy);
    if (!recorded) return {ops::End::NotRecorded, state.frm.status(), std::move(result)};
    state.lastCopyBeforeWrite.reset();
    if (*recorded) state.lastCopyBeforeWrite = copy;

    auto outcome = writeTableCells(state, plan.cells(), *unit);
    result.report = outcome.payload;
    if (outcome.end == ops::End::WrongUnit || (outcome.end == ops::End::NoAnswer && outcome.payload.sent.empty()))
        return {outcome.end, outcome.message, std::move(result)};
    if (*recorded) recordWrite(state, plan, outcome.payload);
    if (outcome.done()) {
        // The unit now holds the planned table: the next write starts from it.
        state.flashOfUnit = tables::UnitTable{*unit, plan.after};
        for (int row = 1; row <= tables::kPatternRows; ++row) state.flash.color(row) = plan.after.color(row);
        keepTable(state);
    } else {
        // What the unit holds is no longer known cell by cell: a next write
        // reads it first.
        state.flashOfUnit.reset();
    }
    return {outcome.end, outcome.message, std::move(result)};
}

Result CEscribirColores_Click(state::State& state) {
    return ops::guarded(state, [&] { return plannedTableWrite(state, {}); });
}

}  // namespace zrk::ops
