#include "ops/unit_changes.h"

#include <algorithm>

#include "params/visibility.h"
#include "state/state.h"

namespace zrk::params {
namespace {

// The manufacturing data is shown but never written.
bool writable(int row) { return row < 247 || row >= 254; }

const LoadedFields& reference(const state::State& p) { return p.boundUnit ? p.boundUnit->unit : p.loaded; }

// The caption of the label that shows with the field's row.
std::string captionOf(const state::State& p, int row) {
    for (const auto& visibility : visibilityTable()) {
        if (std::find(visibility.addresses.begin(), visibility.addresses.end(), row) == visibility.addresses.end())
            continue;
        for (const auto& ref : visibility.shown)
            if (ref.name == "Label" || ref.name == "label1")
                if (const auto* label =
                        dynamic_cast<const app::LabelControl*>(&p.frm.controls().at(ref.name, ref.index));
                    label != nullptr && !label->Caption().empty())
                    return label->Caption();
    }
    return fieldAt(row);
}

FieldChange change(const state::State& p, int row, const std::string& unitShown, ValueStyle style) {
    return {row, fieldAt(row), captionOf(p, row), shownValue(p, row, unitShown, style),
            shownValue(p, row, shownState(row, p.frm), style)};
}

}  // namespace

std::string shownValue(const state::State& p, int row, const std::string& shownState, ValueStyle style) {
    // "text:…", "list:N" or "check:N", and for light levels "|sensor:N" after it.
    const std::string state = shownState.substr(0, shownState.find("|sensor:"));
    const auto colon = state.find(':');
    const std::string kind = state.substr(0, colon), value = state.substr(colon + 1);
    if (kind == "text" || style == ValueStyle::Numbers) return value;
    const int number = std::stoi(value);
    if (kind == "list") {
        const auto& list = dynamic_cast<const app::ComboBox&>(p.frm.controls().at(fieldAt(row)));
        return number >= 0 && number < list.ListCount() ? list.items()[static_cast<std::size_t>(number)] : "-";
    }
    return p.CargarTexto(number == 1 ? 3015 : number == 2 ? 3017 : 3016);
}

std::vector<FieldChange> shownChanges(const state::State& p, ValueStyle style) {
    std::vector<FieldChange> out;
    for (const auto& [row, loaded] : reference(p).rows())
        if (writable(row) && loaded.shown != shownState(row, p.frm)) out.push_back(change(p, row, loaded.shown, style));
    return out;
}

std::vector<FieldChange> changesToWrite(const state::State& p, const ParameterImage& image, ValueStyle style) {
    std::vector<FieldChange> out;
    if (!p.boundUnit) return out;
    const UnitBinding& unit = *p.boundUnit;
    for (const auto& [row, loaded] : unit.unit.rows()) {
        if (!writable(row)) continue;
        bool differs = false;
        for (int i = 0; i < rowLength(row); ++i)
            differs =
                differs || (unit.map.ComprobarParametro(row + i) &&
                            image[static_cast<std::size_t>(row + i)] != loaded.cells[static_cast<std::size_t>(i)]);
        if (differs) out.push_back(change(p, row, loaded.shown, style));
    }
    return out;
}

void refreshMarks(state::State& p) {
    const bool unit = p.boundUnit.has_value();
    int count = 0;
    for (int row : rowAddresses()) {
        app::Control& field = p.frm.controls().at(fieldAt(row));
        const LoadedFields::Row* loaded = reference(p).find(row);
        const bool marked = loaded != nullptr && writable(row) && loaded->shown != shownState(row, p.frm);
        field.setMarked(marked, marked ? texts::fill(p.CargarTexto(unit ? 3013 : 3014),
                                                     {shownValue(p, row, loaded->shown, ValueStyle::People)})
                                       : std::string());
        count += marked && field.Visible() ? 1 : 0;
    }
    const int panel = 4;
    const std::string counted = count == 0   ? std::string()
                                : count == 1 ? p.CargarTexto(3012)
                                             : texts::fill(p.CargarTexto(3011), {std::to_string(count)});
    if (p.frm.sbStatusBar.text(panel) != counted) p.frm.sbStatusBar.setText(panel, counted);
}

}  // namespace zrk::params
