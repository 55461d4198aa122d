#pragma once

#include <string>
#include <vector>

#include "params/image_layout.h"

namespace zrk::state {
class State;
}

namespace zrk::params {

// A field that differs from the unit: its row, its name, what the unit has
// and what the form has, as the form shows them.
struct FieldChange {
    int row = 0;
    std::string field;
    std::string caption;  // the label beside the field, in the operator's language
    std::string unitValue;
    std::string newValue;
};

// How a value is written out: for people (list items, check states in
// words) or for scripts (lists and check boxes as their numbers).
enum class ValueStyle { People, Numbers };

// The fields that show something else than the unit the form is bound to
// (without a unit: than what was loaded). Never the manufacturing data,
// which a write never sends.
std::vector<FieldChange> shownChanges(const state::State& program, ValueStyle style);
// What a write of `image` would change: the rows the unit was read for whose
// in-use cells differ from the unit's.
std::vector<FieldChange> changesToWrite(const state::State& program, const ParameterImage& image, ValueStyle style);
// The value a remembered row showed, e.g. "80", "1" or "LED".
std::string shownValue(const state::State& program, int row, const std::string& shownState, ValueStyle style);

// Marks the changed fields and counts them in the status bar's panel of its
// own; called after every read, open and write, and on every edit.
void refreshMarks(state::State& program);

}  // namespace zrk::params
