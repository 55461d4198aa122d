#include "cli/form_json.h"

#include "cli/json.h"
#include "form/field_table.h"
#include "form/frm_main.h"

namespace zrk::cli {

std::vector<form::Control*> parameterFields(form::FrmMain& frm) {
    std::vector<form::Control*> out;
    for (const auto& field : form::fieldTable()) {
        out.push_back(&frm.controls().at(field.name));
        if (field.companionControl != nullptr) out.push_back(&field.companionControl(frm));
    }
    return out;
}

std::string fieldValueJson(const form::Control& field) {
    if (auto* text = dynamic_cast<const form::TextBox*>(&field)) return jsonString(text->Text());
    if (auto* list = dynamic_cast<const form::ComboBox*>(&field)) return std::to_string(list->ListIndex());
    if (auto* check = dynamic_cast<const form::CheckBox*>(&field)) return std::to_string(check->Value());
    return "null";
}

std::string fieldsJson(form::FrmMain& frm) {
    std::string out = "{";
    bool first = true;
    for (form::Control* field : parameterFields(frm)) {
        out += (first ? "" : ", ") + jsonString(field->name()) + ": " + fieldValueJson(*field);
        first = false;
    }
    return out + "}";
}

}  // namespace zrk::cli
