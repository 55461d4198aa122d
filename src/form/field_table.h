#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "form/caption_text.h"

namespace zrk::form {

class FrmMain;
class TextBox;
class ComboBox;
class CheckBox;
class LabelControl;
template <typename T>
class ControlArray;

// A field's control, reached without a name to look up and a cast. The form
// holds its controls as reference members, which no member pointer can point
// to, so a row holds an accessor. A reference member stays writable through a
// const form; the accessor takes either.
template <typename T>
using FieldAccess = T& (*)(const FrmMain&);
using FieldControl = std::variant<FieldAccess<TextBox>, FieldAccess<ComboBox>, FieldAccess<CheckBox>>;

// The list position a cell stands for; none: the list stays as it was.
using ListPosition = std::optional<int> (*)(int cell);

// How a field's cells read and write. The parameter rules
// (params/image_table.cpp) carry each kind out.
struct Encoding {
    enum class Kind {
        Scaled,            // a number with `decimals` decimals, high cell first, read strictly
        ScaledByDivision,  // the same in two cells, split by division: a negative value overflows a cell
        Whole16,           // a whole number in two cells, read leniently
        StrictByte,        // a whole number in one cell, read strictly
        LenientByte,       // the same, read leniently
        LightLevel,        // lux, kept as the light sensor's reading
        List,              // a list position
        Check,             // a check box state
        Characters,        // text in the unit's code page, a character a cell
        // One field each, with rules of their own.
        NightDimming,
        RecoveryMinutes,
        SyncPulse,
        LedGroups,
    };
    Kind kind = Kind::Whole16;
    int cells = 1;
    int decimals = 0;
    // LightLevel: a save reads the text leniently (else strictly).
    bool lenientSave = false;
    // List: the position a read selects (one below 0 selects nothing).
    ListPosition position = nullptr;
    // Check: the state a read takes from the cell. The unit keeps other bits
    // beside the state in some cells.
    int (*readState)(int cell) = nullptr;
};

// Where a caption or unit shows: a member of a label array, a label with a
// name of its own, or the check box's own caption.
struct LabelSlot {
    ControlArray<LabelControl> FrmMain::*array = nullptr;
    // In `array`; kNextFree: the form numbers it after its own labels.
    int index = kNextFree;
    const char* name = nullptr;
    bool ownCaption = false;
    static constexpr int kNextFree = -1;
    bool present() const { return array != nullptr || name != nullptr || ownCaption; }
};
struct FieldLabel {
    CaptionText text;
    LabelSlot slot;
};

// Which cells of the unit's in-use map show a field.
enum class ShownWhen {
    FirstCellUsed,
    AnyCellUsed,
    CellUsed,     // the cell `shownBy` names
    WithItsPage,  // identification leaves it alone: its page's tab decides
};

// One field of the parameter image, in one row: where it lies and how it
// reads, its control, caption and unit, when identification shows it, and
// how a parameter file treats it. The form makes the labels and the
// companion from it; the parameter rules, the visibility and zrkctl's field
// list derive from it.
struct FieldDescriptor {
    int first = 0;
    Encoding encoding;
    // The control's name, for messages, zrkctl and the registry: its member's.
    std::string name;
    FieldControl control;
    FieldLabel caption;
    FieldLabel unit;

    ShownWhen shown = ShownWhen::FirstCellUsed;
    int shownBy = -1;
    // Only the factory view shows it.
    bool factoryOnly = false;
    // A control identification shows along with the field.
    LabelSlot alsoShown;

    // A second field beside it that a read fills too and nothing ever shows
    // (a light level's sensor reading).
    std::string companion;
    FieldAccess<TextBox> companionControl = nullptr;

    // Where a parameter file differs from the unit.
    struct FileRules {
        // Opening a file sets the field (not the unit's own data).
        bool applied = true;
        // A save writes it (never a unit's identifier).
        bool saved = true;
        // The reader's own replacement of large list positions; none: the read's.
        ListPosition position = nullptr;
        // A text that is no number leaves the cells 0 in the file, where a
        // write refuses it.
        bool zeroForText = false;
    } file;

    int cells() const { return encoding.cells; }
};

// Every field of the parameter image, in rising address order.
const std::vector<FieldDescriptor>& fieldTable();
// The field whose control has that name; nullptr for none.
const FieldDescriptor* fieldNamed(std::string_view name);
// The field whose companion has that name; nullptr for none.
const FieldDescriptor* fieldWithCompanion(std::string_view companion);

}  // namespace zrk::form
