#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "files/write_record.h"
#include "params/image_layout.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// A write of the form to the unit it is bound to, worked out once before
// anything is sent. Every view of the write reads it: the marks and their
// count, the confirmation, zrkctl's diff and dry runs, the frames sent, the
// write record and what the form remembers afterwards, so none of them can
// say one value while the unit gets another.
struct FieldPlan {
    int row = 0;
    std::string field;                 // the code name, for zrkctl and the log
    std::string caption;               // the label beside the field, in the operator's language
    std::vector<std::int32_t> before;  // the unit's cells as read
    std::vector<std::int32_t> after;   // the cells a write sends
    // Both as a read would show them (shownState's form): what the operator
    // confirms is the decode of `after`, so a rounded or remapped value
    // reads as the unit will hold it.
    std::string beforeShown;
    std::string afterShown;
    // A cell the unit uses would change.
    bool change = false;
    // Why the field cannot be written as it stands (a text that is no
    // number, a value its cells cannot hold); empty when it can.
    std::string refusal;
    // The text failed the strict number reading itself (no number, too
    // large): the write error it always gave, not one of our range checks.
    bool unconvertible = false;
};

struct ChangePlan {
    params::ParameterMap map;
    std::string unit;  // the identifier number, "-" when the unit has none
    // Every writable field row read from the unit that uses one of its cells.
    std::vector<FieldPlan> fields;

    std::vector<const FieldPlan*> changes() const;
    const FieldPlan* refused() const;
    // The bytes a write sends, in the order it sends them: the changed cells
    // only, or every in-use cell of the fields read (the window's write).
    std::vector<std::pair<int, std::uint8_t>> frames(bool everyCellInUse) const;
    // The cells of a field a write changes: address, byte before, byte after.
    std::vector<files::WriteRecord::Cell> changedCells(const FieldPlan& field) const;
};

// The plan for the form against the unit it is bound to; nothing changes in
// the form. Without a bound unit the plan is empty.
ChangePlan planWrite(state::State& state);

// How a value is written out: for people (list items, check states in
// words) or for scripts (lists and check boxes as their numbers).
enum class ValueStyle { People, Numbers };

// A field that changes, as zrkctl and the confirmation print it.
struct FieldChange {
    int row = 0;
    std::string field;
    std::string caption;
    std::string unitValue;
    std::string newValue;
    std::string unit;  // the unit label beside the field, empty when it has none
};
std::vector<FieldChange> changeLines(const state::State& state, const ChangePlan& plan, ValueStyle style);

// What the unit holds of a field, as a read shows it (a list cell a read
// cannot select as its number).
std::string unitValue(const state::State& state, const FieldPlan& field, ValueStyle style);

// The value a row shows in shownState's form, e.g. "80", "1" or "LED".
std::string shownValue(const state::State& state, int row, const std::string& shownState, ValueStyle style);

// Marks the changed fields and counts them in the status bar's panel of its
// own; called after every read, open and write, and on every edit. Against a
// bound unit the marks are the plan's changes and refusals; without one,
// the fields that show something else than was loaded.
void refreshMarks(state::State& state);
// The fields the marks count: shown, and differing from the unit (or from
// the opened file, before any read).
int markedFieldCount(const state::State& state);

// Holds the marks while a procedure sets many fields (a read, an opened
// file), then refreshes them once: one plan instead of one per field.
class MarksHeld {
public:
    explicit MarksHeld(state::State& state);
    ~MarksHeld();
    MarksHeld(const MarksHeld&) = delete;
    MarksHeld& operator=(const MarksHeld&) = delete;

private:
    state::State& program_;
};

}  // namespace zrk::ops
