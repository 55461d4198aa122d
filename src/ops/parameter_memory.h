#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ops/outcome.h"
#include "params/image_layout.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

struct ChangePlan;

// How a write goes beyond the window's Write button.
struct WriteOptions {
    // Only the fields whose cells differ from the unit's (zrkctl); the
    // window writes every in-use address.
    bool changedOnly = false;
    // The copy of the unit's parameters to save first, when already named
    // (the confirmation shows it); else one is named when the write starts.
    std::optional<std::filesystem::path> copy;
    // The plan the engineer confirmed; none: worked out when the write starts.
    const ChangePlan* plan = nullptr;
};

// Reads the in-use map and shows the fields this unit has. When a
// transaction gets no answer the window is left exactly as it was.
ops::Outcome<> IdentificarZRK(state::State& state);
// Reads every in-use address and decodes the image into the fields; a failed
// transaction decodes nothing.
ops::Outcome<> LeerZRK(state::State& state);
// Writes the change plan (the unchanged fields as the cells they were read
// with): refuses it whole when a field cannot be written, keeps the record,
// checks that the unit read is the one on the line, sends the frames, then
// reads them back.
ops::Outcome<> EscribirZRK(state::State& state, const WriteOptions& options = {});
// What a read does once the cells are in: decodes the rows into the fields
// (the sensor type first) and binds the form to the unit, with its in-use
// map as identification left it. A cell the form cannot show (a motor type
// beyond the list, a rotation-failure state above 2) changes nothing: BadData.
ops::Outcome<> takeRead(state::State& state, const params::ParameterImage& cells, const std::vector<int>& rows,
                        bool fullRead);
// Identifies nothing: reads only the cells of the given field rows (and of
// the sensor type and the identifier number), decodes them and binds the
// form to the unit for those fields alone.
ops::Outcome<> readFields(state::State& state, const std::vector<int>& rows);
// The copy a write of the bound unit would save first; nothing when the
// form holds no full read of a unit, or nothing would change.
std::optional<std::filesystem::path> copyBeforeWrite(state::State& state);

// A parameter file opened with no unit bound: shows every field the file
// carries (the factory rows too) and the flash-pattern table's tab, makes the
// fields read-only and names the file in the caption. A read that binds the
// form to a unit ends it: the unit's map, editable fields, the caption as it was.
void showFileWithoutUnit(state::State& state, const std::string& fileName);

// The buttons: identify then read; write.
ops::Outcome<> readUnit(state::State& state);
ops::Outcome<> writeUnit(state::State& state, const WriteOptions& options = {});
// The Write button: lists what would change and asks before anything is
// sent (unless the per-user store says Write/Confirm=false). With a file
// opened before any read, reads the unit first and keeps the file's values.
ops::Outcome<> confirmedWrite(state::State& state);

}  // namespace zrk::ops
