#pragma once

#include <string>
#include <vector>

#include "params/image_layout.h"

namespace zrk::form {
class FrmMain;
class Control;
struct FieldDescriptor;
}  // namespace zrk::form

namespace zrk::params {

// Which fields a unit shows, from each field's row in the field table: its
// visibility rule, its labels, the control its row adds and its companion.

// Whether identification shows the field for the unit's in-use map.
bool shownForMap(const form::FieldDescriptor& field, const ParameterMap& map);
// What identification shows or hides of a field: its caption label, the
// field, its unit label and the control its row adds. Nothing for a field
// its page shows.
std::vector<form::Control*> rowControls(const form::FrmMain& frm, const form::FieldDescriptor& field);
// The fields identification shows or hides, in address order.
std::vector<form::Control*> identifiedFields(const form::FrmMain& frm);

// Shows the fields of the addresses `map` uses, never a companion; with
// `factoryRowsHidden` the rows only the factory view shows stay hidden.
void showFieldsInUse(form::FrmMain& frm, const ParameterMap& map, bool factoryRowsHidden);
// Shows a field's row as identification does.
void showFieldRow(form::FrmMain& frm, const form::Control& field);

// The caption of the label shown with the field row that starts at `row`,
// as the operator reads it; the field's code name when it has none.
std::string fieldCaption(const form::FrmMain& frm, int row);
// The unit label shown right of that field ("Seg.", "Lux", "%"); empty when
// the row has none.
std::string fieldUnit(const form::FrmMain& frm, int row);

// Hides every model-dependent control and lamp, the language list and, outside
// the factory view, the factory fields and the tab at position 5.
void OcultarControles(form::FrmMain& frm, bool factoryView);

}  // namespace zrk::params
