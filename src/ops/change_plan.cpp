#include "ops/change_plan.h"

#include <algorithm>
#include <map>

#include "params/image_table.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

bool inUse(const params::ParameterMap& map, int row) {
    for (int i = 0; i < params::rowLength(row); ++i)
        if (map.ComprobarParametro(row + i)) return true;
    return false;
}

bool allBytes(const std::vector<std::int32_t>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](std::int32_t c) { return c >= 0 && c <= 255; });
}

// The cells the form sends for a field the operator changed. An opened
// file's own cells go as they are where the field still shows them and a
// read of those cells would show the same (an opened copy puts back the raw
// byte of a capped list); otherwise the field is encoded from what it shows.
// So a list value the file reader replaced (motor type 4 opens as 1) is sent
// as the choice shown, never as the file's byte.
void planEdited(FieldPlan& f, const std::string& shown, const state::State& state, params::CodecContext& context) {
    const params::LoadedFields::Row* opened = state.loaded.find(f.row);
    if (opened != nullptr && opened->shown == shown && allBytes(opened->cells)) {
        params::ParameterImage cells{};
        std::copy(opened->cells.begin(), opened->cells.end(), cells.begin() + f.row);
        if (params::shownStateOfCells(f.row, cells, context, state.frm.ComboSensorLuz.ListIndex(), {}) == shown) {
            f.after = opened->cells;
            return;
        }
    }
    params::ParameterImage cells{};
    try {
        params::encodeRow(f.row, cells, context);
    } catch (const params::RangeError& e) {
        f.refusal = e.what();
        return;
    } catch (const params::ConversionError& e) {
        f.refusal = e.what();
        f.unconvertible = true;
        return;
    }
    for (int i = 0; i < params::rowLength(f.row); ++i) f.after[static_cast<std::size_t>(i)] = cells[f.row + i];
}

// The sensor type a read after the write selects: the light levels are
// shown in its units.
int sensorAfter(const ChangePlan& plan, const state::State& state) {
    for (const auto& f : plan.fields)
        if (f.row == params::kSensorTypeRow && f.refusal.empty())
            if (const auto position = params::imageRowAt(params::kSensorTypeRow).position(f.after[0])) return *position;
    return state.frm.ComboSensorLuz.ListIndex();
}

}  // namespace

std::vector<const FieldPlan*> ChangePlan::changes() const {
    std::vector<const FieldPlan*> out;
    for (const auto& f : fields)
        if (f.change) out.push_back(&f);
    return out;
}

const FieldPlan* ChangePlan::refused() const {
    for (const auto& f : fields)
        if (!f.refusal.empty()) return &f;
    return nullptr;
}

std::vector<std::pair<int, std::uint8_t>> ChangePlan::frames(bool everyCellInUse) const {
    std::vector<std::pair<int, std::uint8_t>> out;
    for (const auto& f : fields) {
        if (!everyCellInUse && !f.change) continue;
        for (std::size_t i = 0; i < f.after.size(); ++i) {
            const int address = f.row + static_cast<int>(i);
            if (!map.ComprobarParametro(address)) continue;
            if (everyCellInUse || f.after[i] != f.before[i])
                out.emplace_back(address, static_cast<std::uint8_t>(f.after[i]));
        }
    }
    // The identifier number goes last; the rows are in address order, so it
    // already does, and the manufacturing data never gets into a plan.
    return out;
}

std::vector<files::WriteRecord::Cell> ChangePlan::changedCells(const FieldPlan& f) const {
    std::vector<files::WriteRecord::Cell> out;
    for (std::size_t i = 0; i < f.after.size(); ++i) {
        const int address = f.row + static_cast<int>(i);
        if (map.ComprobarParametro(address) && f.after[i] != f.before[i])
            out.push_back({address, f.before[i], f.after[i]});
    }
    return out;
}

ChangePlan planWrite(state::State& state) {
    ChangePlan plan;
    if (!state.boundUnit) return plan;
    const params::UnitBinding& unit = *state.boundUnit;
    plan.map = unit.map;
    plan.unit = unit.name();
    params::CodecContext context = state.codecs();
    context.loaded = nullptr;       // this plan decides which cells stay
    context.correctFields = false;  // and changes nothing in the form

    for (const auto& [row, read] : unit.unit.rows()) {
        if (params::isManufacturingData(row) || !inUse(unit.map, row)) continue;
        FieldPlan f{row,
                    params::fieldAt(row),
                    params::fieldCaption(state.frm, row),
                    read.cells,
                    read.cells,
                    read.shown,
                    read.shown,
                    false,
                    {}};
        // A field that shows what the unit gave keeps the unit's very cells,
        // whatever a new encoding would make of them (raw list bytes, the
        // other bits of a check box's cell, 1000 shown as 999).
        const std::string shown = params::shownState(row, state.frm);
        if (shown != read.shown) planEdited(f, shown, state, context);
        for (std::size_t i = 0; i < f.after.size(); ++i) {
            const int address = row + static_cast<int>(i);
            if (!unit.map.ComprobarParametro(address)) {
                f.after[i] = f.before[i];  // never sent
            } else if (f.refusal.empty() && (f.after[i] < 0 || f.after[i] > 255)) {
                f.refusal = texts::fill(state.CargarTexto(texts::id::kUnitValueNotByte),
                                        {f.caption, std::to_string(address), std::to_string(f.after[i])});
            }
        }
        for (std::size_t i = 0; i < f.after.size(); ++i)
            f.change =
                f.change || (unit.map.ComprobarParametro(row + static_cast<int>(i)) && f.after[i] != f.before[i]);
        if (!f.refusal.empty()) f.afterShown = shown;
        plan.fields.push_back(std::move(f));
    }

    // What a read after the write would show, with the sensor type it would
    // then select.
    params::ParameterImage after{};
    for (const auto& f : plan.fields) std::copy(f.after.begin(), f.after.end(), after.begin() + f.row);
    const int sensor = sensorAfter(plan, state);
    for (auto& f : plan.fields)
        if (f.refusal.empty()) f.afterShown = params::shownStateOfCells(f.row, after, context, sensor, f.beforeShown);
    return plan;
}

std::string shownValue(const state::State& p, int row, const std::string& shownState, ValueStyle style) {
    // "text:…", "list:N" or "check:N", and for light levels "|sensor:N" after it.
    const std::string state = shownState.substr(0, shownState.find("|sensor:"));
    const auto colon = state.find(':');
    const std::string kind = state.substr(0, colon), value = state.substr(colon + 1);
    if (kind == "text" || style == ValueStyle::Numbers) return value;
    const int number = std::stoi(value);
    if (kind == "list") {
        const auto& list = dynamic_cast<const form::ComboBox&>(p.frm.controls().at(params::fieldAt(row)));
        return number >= 0 && number < list.ListCount() ? list.items()[static_cast<std::size_t>(number)] : "-";
    }
    return p.CargarTexto(number == 1 ? texts::id::kChecked : number == 2 ? texts::id::kGreyed : texts::id::kUnchecked);
}

std::string unitValue(const state::State& state, const FieldPlan& f, ValueStyle style) {
    // A list cell a read cannot select leaves the list as it was: its number
    // is what the unit holds, not the entry the list still shows.
    const params::ImageRow& row = params::imageRowAt(f.row);
    if (row.holdsList())
        if (const auto position = row.position(f.before[0]); !position || *position < 0)
            return std::to_string(f.before[0]);
    return shownValue(state, f.row, f.beforeShown, style);
}

std::vector<FieldChange> changeLines(const state::State& state, const ChangePlan& plan, ValueStyle style) {
    std::vector<FieldChange> out;
    for (const FieldPlan* f : plan.changes())
        out.push_back({f->row, f->field, f->caption, unitValue(state, *f, style),
                       shownValue(state, f->row, f->afterShown, style), params::fieldUnit(state.frm, f->row)});
    return out;
}

void refreshMarks(state::State& state) {
    // The note of each marked field, by row.
    std::map<int, std::string> notes;
    if (state.boundUnit) {
        for (const auto& f : planWrite(state).fields) {
            if (!f.refusal.empty())
                notes[f.row] = f.refusal;
            else if (f.change)
                notes[f.row] = texts::fill(state.CargarTexto(texts::id::kUnitAndAfterWrite),
                                           {unitValue(state, f, ValueStyle::People),
                                            shownValue(state, f.row, f.afterShown, ValueStyle::People)});
        }
    } else {
        for (const auto& [row, loaded] : state.loaded.rows())
            if (!params::isManufacturingData(row) && loaded.shown != params::shownState(row, state.frm))
                notes[row] = texts::fill(state.CargarTexto(texts::id::kLoadedValue),
                                         {shownValue(state, row, loaded.shown, ValueStyle::People)});
    }
    int count = 0;
    for (int row : params::rowAddresses()) {
        form::Control& field = state.frm.controls().at(params::fieldAt(row));
        const auto note = notes.find(row);
        const bool marked = note != notes.end();
        field.setMarked(marked, marked ? note->second : std::string());
        count += marked && field.Visible() ? 1 : 0;
    }
    const int panel = 4;
    const std::string counted = count == 0 ? std::string()
                                : count == 1
                                    ? state.CargarTexto(texts::id::kOneChange)
                                    : texts::fill(state.CargarTexto(texts::id::kChanges), {std::to_string(count)});
    if (state.frm.sbStatusBar.text(panel) != counted) state.frm.sbStatusBar.setText(panel, counted);
}

int markedFieldCount(const state::State& state) {
    int count = 0;
    for (int row : params::rowAddresses()) {
        const form::Control& field = state.frm.controls().at(params::fieldAt(row));
        count += field.Marked() && field.Visible() ? 1 : 0;
    }
    return count;
}

MarksHeld::MarksHeld(state::State& state) : program_(state) { ++state.marksHeld; }

MarksHeld::~MarksHeld() {
    if (--program_.marksHeld == 0) refreshMarks(program_);
}

}  // namespace zrk::ops
