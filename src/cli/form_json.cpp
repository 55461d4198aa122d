#include "cli/form_json.h"

#include "cli/json.h"
#include "form/field_table.h"
#include "form/frm_main.h"

namespace zrk::cli {

std::vector<app::Control*> parameterFields(app::FrmMain& frm) {
    std::vector<app::Control*> out;
    for (const auto& field : app::fieldTable()) {
        out.push_back(&frm.controls().at(field.name));
        if (field.companionControl != nullptr) out.push_back(&field.companionControl(frm));
    }
    return out;
}

std::string fieldValueJson(const app::Control& field) {
    if (auto* text = dynamic_cast<const app::TextBox*>(&field)) return jsonString(text->Text());
    if (auto* list = dynamic_cast<const app::ComboBox*>(&field)) return std::to_string(list->ListIndex());
    if (auto* check = dynamic_cast<const app::CheckBox*>(&field)) return std::to_string(check->Value());
    return "null";
}

std::string fieldsJson(app::FrmMain& frm) {
    std::string out = "{";
    bool first = true;
    for (app::Control* field : parameterFields(frm)) {
        out += (first ? "" : ", ") + jsonString(field->name()) + ": " + fieldValueJson(*field);
        first = false;
    }
    return out + "}";
}

}  // namespace zrk::cli
