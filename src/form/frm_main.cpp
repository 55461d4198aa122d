#include "form/frm_main.h"

#include <stdexcept>
#include <variant>

#include "form/field_table.h"

namespace zrk::form {

FrmMain::FrmMain() {
    TabStrip1.Click = [this] { TabStrip1_Click(); };
}

void FrmMain::applyCaption(Control& control, const CaptionText& caption) {
    if (caption.textId != 0) localised_.push_back({&control, caption.textId});
    if (caption.fixed.empty()) return;
    if (auto* c = dynamic_cast<CaptionedControl*>(&control)) c->setCaption(caption.fixed);
}

LabelControl* FrmMain::makeLabel(Control* parent, const LabelSpec& def) {
    if (def.array == nullptr && def.name.empty()) return nullptr;
    LabelControl& label = def.array ? member(*def.array, def.index, parent) : make<LabelControl>(def.name, parent);
    applyCaption(label, def.caption);
    return &label;
}

const FieldDescriptor& FrmMain::fieldRow(const char* name) {
    const FieldDescriptor* row = fieldNamed(name);
    if (row == nullptr) throw std::logic_error(std::string("no row in the field table for ") + name);
    return *row;
}

LabelControl* FrmMain::fieldLabel(Control& page, const FieldDescriptor& row, bool unit) {
    const FieldLabel& label = unit ? row.unit : row.caption;
    const LabelSlot& slot = label.slot;
    if (!slot.present() || slot.ownCaption) return nullptr;
    if (slot.name != nullptr) return makeLabel(&page, N(slot.name, label.text));
    if (slot.index == LabelSlot::kNextFree) {
        nextFreeLabels_.push_back({&page, nullptr, &row, unit});
        return nullptr;
    }
    return makeLabel(&page, {&(this->*slot.array), {}, slot.index, label.text});
}

void FrmMain::placeField(Control& page, const FieldDescriptor& row, Control& field, LabelControl* caption,
                         LabelControl* unit) {
    if (row.caption.slot.ownCaption) applyCaption(field, row.caption.text);
    rows_[&page].push_back({caption, &field, unit, nullptr});
    for (NextFreeLabel& label : nextFreeLabels_)
        if (label.row == &row) label.field = &field;
}

TextBox& FrmMain::companion(const char* name) {
    const FieldDescriptor* row = fieldWithCompanion(name);
    if (row == nullptr) throw std::logic_error(std::string("no field in the field table has the companion ") + name);
    Control* field = controls().find(row->name);
    if (field == nullptr)
        throw std::logic_error(std::string("the companion ") + name + " comes before its field " + row->name);
    Control& page = *field->parent();
    TextBox& control = make<TextBox>(name, &page);
    for (FieldRow& r : rows_[&page])
        if (r.field == field) r.extra = &control;
    return control;
}

void FrmMain::numberNextFreeLabels() {
    for (const NextFreeLabel& pending : nextFreeLabels_) {
        const FieldLabel& label = pending.unit ? pending.row->unit : pending.row->caption;
        ControlArray<LabelControl>& array = this->*label.slot.array;
        const std::vector<int> taken = array.indices();
        LabelControl* made = makeLabel(pending.page, {&array, {}, taken.empty() ? 0 : taken.back() + 1, label.text});
        for (FieldRow& r : rows_[pending.page])
            if (r.field == pending.field) (pending.unit ? r.unit : r.caption) = made;
    }
    nextFreeLabels_.clear();
}

// Every row of the field table has its control, and its companion, made from that row.
void FrmMain::checkFieldTable() const {
    for (const FieldDescriptor& row : fieldTable()) {
        const Control& field = std::visit([this](auto access) -> const Control& { return access(*this); }, row.control);
        const FieldRow* placed = rowOf(field);
        const Control* companion = row.companionControl != nullptr ? &row.companionControl(*this) : nullptr;
        if (placed == nullptr || field.name() != row.name || placed->extra != companion)
            throw std::logic_error("the form does not make " + row.name + " from its row in the field table");
    }
}

PictureBox& FrmMain::lamp(Control& parent, std::string name, Rgb color) {
    return make<PictureBox>(std::move(name), &parent, PictureBox::Image::Lamp, color);
}

FrameControl& FrmMain::frame(ControlArray<FrameControl>& array, int index, Control* parent, CaptionText caption) {
    FrameControl& f = member(array, index, parent);
    applyCaption(f, caption);
    return f;
}

TimerControl& FrmMain::timer(std::string name, int interval) {
    TimerControl& t = make<TimerControl>(std::move(name), &frmMain);
    t.setInterval(interval);
    t.setEnabled(false);
    return t;
}

const std::vector<FrmMain::FieldRow>& FrmMain::rows(const Control& frame) const {
    static const std::vector<FieldRow> kNone;
    auto it = rows_.find(&frame);
    return it == rows_.end() ? kNone : it->second;
}

const FrmMain::FieldRow* FrmMain::rowOf(const Control& field) const {
    for (const auto& [page, rows] : rows_)
        for (const FieldRow& row : rows)
            if (row.field == &field) return &row;
    return nullptr;
}

std::string FrmMain::captionOf(const Control& field) const {
    const FieldRow* row = rowOf(field);
    if (row == nullptr) return {};
    if (const auto* label = dynamic_cast<const LabelControl*>(row->caption)) return label->Caption();
    if (const auto* check = dynamic_cast<const CheckBox*>(row->field)) return check->Caption();
    return {};
}

bool FrmMain::buildLampCaptions() {
    // Status-lamp captions, in the order of the lamp rows.
    const std::pair<int, int> captions[] = {
        {0, texts::id::kOn},         {8, texts::id::kMotorOn},       {3, texts::id::kMotorAlarm},
        {9, texts::id::kLamp1On},    {10, texts::id::kLamp2On},      {1, texts::id::kLastLampAlarm},
        {2, texts::id::kChangeurOn}, {4, texts::id::kMainsFailure},  {5, texts::id::kLampOn},
        {6, texts::id::kLampAlarm},  {7, texts::id::kTotalLampAlarm}};
    for (auto [index, id] : captions) makeLabel(&page3, L1(index, txt(id)));
    return true;
}

bool FrmMain::buildLampRows() {
    lampRows_ = {
        {&label1(0), &LedOn, &LedOff, nullptr},
        {&label1(8), &LedMotorOn, &LedMotorOff, nullptr},
        {&label1(3), &LedRojoAlarmaMotor, &LedAlarmaMotorVerde, nullptr},
        {&label1(9), &LedAzulLampara1, &LedLampara1Apagado, nullptr},
        {&label1(10), &LedazulLampara2, &LedLampara2Apagado, nullptr},
        {&label1(1), &LedRojoPrealarmaLampara, &LedPrealarmaLamparaApagado, nullptr},
        {&label1(2), &LedAzulCambiador, &LedCambiadorApagado, nullptr},
        {&label1(4), &LedRojoFalloRed, &LedFalloRedVerde, nullptr},
        {&label1(5), &LedVerdeLampara1On, &LedLampara1OnApagado, nullptr},
        {&label1(6), &LedRojoAlarmaLampara1, &LedAlarmaLamparaVerde, nullptr},
        {&label1(7), &LedRojoFalloFoco, &LedFalloFocoVerde, nullptr},
    };
    for (LampRow& row : lampRows_) {
        row.unknown = &lamp(page3, row.lit->name() + "Desconocido", kGrey);
        row.unknown->setVisible(false);
    }
    return true;
}

bool FrmMain::buildColourLabels() {
    for (int i = 1; i <= 8; ++i) {
        LabelControl& label = member(LColor, i, &page5);
        label.setCaption(std::to_string(i));
        label.bordered = true;
    }
    return true;
}

bool FrmMain::buildInputOutputLabels() {
    for (int i = 1; i <= 8; ++i) {
        member(lblExternalbl, i, &page6).setCaption("Entrada externa " + std::to_string(i) + " :");
        member(lblExterna, i, &page6).setCaption("--");
    }
    for (int i = 1; i <= 11; ++i) {
        member(lblSalidalbl, i - 1, &page6).setCaption("Salida " + std::to_string(i) + " :");
        member(lblSalida, i, &page6).setCaption("--");
    }
    return true;
}

bool FrmMain::finishDesign() {
    numberNextFreeLabels();
    checkFieldTable();
    for (const char* caption :
         {"Destellos", "Rotación", "Telemando", "Configuración", "Visualización", "V. Instantáneos"})
        TabStrip1.add(TabStrip1.count() + 1, caption);
    for (TextBox* shown : {&TModeloR, &TVersionFirmwareR, &THardwareR}) shown->locked = true;
    TDebug.multiLine = true;
    frmMain.setVisible(false);  // shown at the end of the start-up
    cmbModofuncionamiento.editable = false;
    txtAtenuacionNocturna.setEnabled(false);
    return true;
}

void FrmMain::TabStrip1_Click() {
    const int p = TabStrip1.selected();
    if (p == PestanaActual) return;
    // A tab with no page of its own (more tabs than pages) shows nothing new.
    if (!FrameP.has(p)) return;
    FrameP(p).setVisible(true);
    if (FrameP.has(PestanaActual)) FrameP(PestanaActual).setVisible(false);
    PestanaActual = p;
}

void FrmMain::DeshabilitaBotones() {
    for (CommandButton* b : {&CAbrir, &CGuardar, &CLeer, &CEscribir, &CDeshacer}) b->setEnabled(false);
}

void FrmMain::HabilitaBotones() {
    for (CommandButton* b : {&CAbrir, &CGuardar, &CLeer, &CEscribir, &CDeshacer}) b->setEnabled(true);
}

}  // namespace zrk::form
