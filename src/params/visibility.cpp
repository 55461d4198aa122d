#include "params/visibility.h"

#include <stdexcept>
#include <string_view>
#include <variant>

#include "form/field_table.h"
#include "form/frm_main.h"

namespace zrk::params {
namespace {

using form::ShownWhen;

form::Control& fieldOf(const form::FrmMain& frm, const form::FieldDescriptor& field) {
    return std::visit([&frm](auto access) -> form::Control& { return access(frm); }, field.control);
}

form::Control& slotControl(const form::FrmMain& frm, const form::LabelSlot& slot) {
    if (slot.name != nullptr) return frm.controls().at(slot.name);
    return (frm.*slot.array)(slot.index);
}

// Companions are filled by a read and never shown; the normal view hides
// them with the factory rows.
void hideCompanions(form::FrmMain& frm) {
    for (const auto& field : form::fieldTable())
        if (field.companionControl != nullptr) field.companionControl(frm).setVisible(false);
}

void hideFactoryRows(form::FrmMain& frm) {
    for (const auto& field : form::fieldTable())
        if (field.factoryOnly)
            for (form::Control* control : rowControls(frm, field)) control->setVisible(false);
    hideCompanions(frm);
}

std::string trimmed(std::string text, const char* marks) {
    while (!text.empty() && std::string_view(marks).find(text.back()) != std::string_view::npos) text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    return text;
}

}  // namespace

bool shownForMap(const form::FieldDescriptor& field, const ParameterMap& map) {
    switch (field.shown) {
        case ShownWhen::FirstCellUsed:
            return map.ComprobarParametro(field.first);
        case ShownWhen::CellUsed:
            return map.ComprobarParametro(field.shownBy);
        case ShownWhen::AnyCellUsed:
            for (int a = field.first; a < field.first + field.cells(); ++a)
                if (map.ComprobarParametro(a)) return true;
            return false;
        case ShownWhen::WithItsPage:
            return false;
    }
    return false;
}

std::vector<form::Control*> rowControls(const form::FrmMain& frm, const form::FieldDescriptor& field) {
    if (field.shown == ShownWhen::WithItsPage) return {};
    form::Control& control = fieldOf(frm, field);
    const form::FrmMain::FieldRow* row = frm.rowOf(control);
    if (row == nullptr) throw std::logic_error("no row of the form holds " + field.name);
    std::vector<form::Control*> out;
    for (form::Control* c : {row->caption, row->field, row->unit})
        if (c != nullptr) out.push_back(c);
    if (field.alsoShown.present()) out.push_back(&slotControl(frm, field.alsoShown));
    return out;
}

std::vector<form::Control*> identifiedFields(const form::FrmMain& frm) {
    std::vector<form::Control*> out;
    for (const auto& field : form::fieldTable())
        if (field.shown != ShownWhen::WithItsPage) out.push_back(&fieldOf(frm, field));
    return out;
}

void showFieldsInUse(form::FrmMain& frm, const ParameterMap& map, bool factoryRowsHidden) {
    for (const auto& field : form::fieldTable()) {
        if (!shownForMap(field, map)) continue;
        for (form::Control* control : rowControls(frm, field)) control->setVisible(true);
        if (field.companionControl != nullptr) field.companionControl(frm).setVisible(false);
    }
    if (factoryRowsHidden) hideFactoryRows(frm);
}

void showFieldRow(form::FrmMain& frm, const form::Control& field) {
    const form::FieldDescriptor* row = form::fieldNamed(field.name());
    if (row == nullptr) throw std::logic_error("no row in the field table for " + field.name());
    for (form::Control* control : rowControls(frm, *row)) control->setVisible(true);
}

void OcultarControles(form::FrmMain& frm, bool factoryView) {
    for (std::size_t row = 3; row < frm.lampRows().size(); ++row) {
        const auto& lamp = frm.lampRows()[row];
        lamp.lit->setVisible(false);
        lamp.unlit->setVisible(false);
        lamp.unknown->setVisible(false);
        lamp.caption->setVisible(false);
    }
    frm.ComboIdioma.setVisible(false);
    frm.Label(24).setVisible(false);
    if (!factoryView) {
        hideFactoryRows(frm);
        if (frm.TabStrip1.count() >= 5) frm.TabStrip1.remove(5);
    }
    for (const auto& field : form::fieldTable())
        for (form::Control* control : rowControls(frm, field)) control->setVisible(false);
    hideCompanions(frm);
}

std::string fieldCaption(const form::FrmMain& frm, int row) {
    const std::string field = fieldAt(row);
    // Captions end in a colon or blanks on some pages.
    const std::string caption = trimmed(frm.captionOf(frm.controls().at(field)), ": ");
    return caption.empty() ? field : caption;
}

std::string fieldUnit(const form::FrmMain& frm, int row) {
    const form::FrmMain::FieldRow* fieldRow = frm.rowOf(frm.controls().at(fieldAt(row)));
    if (fieldRow == nullptr || fieldRow->unit == nullptr) return {};
    return trimmed(dynamic_cast<const form::CaptionedControl&>(*fieldRow->unit).Caption(), " ");
}

}  // namespace zrk::params
