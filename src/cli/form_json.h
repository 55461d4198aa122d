#pragma once

#include <string>
#include <vector>

namespace zrk::form {
class FrmMain;
class Control;
}  // namespace zrk::form

namespace zrk::cli {

// The form's parameter fields, in address order: every field a read decodes
// (the light levels with their sensor-value fields).
std::vector<form::Control*> parameterFields(form::FrmMain& frm);
// A field's value as JSON: a text field as its exact text, a list as its
// selected position, a check box as its state.
std::string fieldValueJson(const form::Control& field);
// {"NAME": VALUE, ...} for every parameter field.
std::string fieldsJson(form::FrmMain& frm);

}  // namespace zrk::cli
