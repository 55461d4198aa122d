#pragma once

#include <string>
#include <vector>

namespace zrk::app {
class FrmMain;
class Control;
}  // namespace zrk::app

namespace zrk::cli {

// The form's parameter fields, in address order: every field a read decodes
// (the light levels with their sensor-value fields).
std::vector<app::Control*> parameterFields(app::FrmMain& frm);
// A field's value as JSON: a text field as its exact text, a list as its
// selected position, a check box as its state.
std::string fieldValueJson(const app::Control& field);
// {"NAME": VALUE, ...} for every parameter field.
std::string fieldsJson(app::FrmMain& frm);

}  // namespace zrk::cli
