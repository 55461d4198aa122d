#include "form/field_table.h"

#include <stdexcept>

#include "form/frm_main.h"
#include "texts/text_ids.h"

namespace zrk::form {
namespace {

namespace id = texts::id;
using Kind = Encoding::Kind;

// A field's name and control, from its member of the form, written once so the two agree.
#define ZRK_FIELD(member) \
#member, +[](const FrmMain& form) -> auto& { return form.member; }

// The labels the form's design numbered; a new field leaves the slot out and
// gets the next free member of the array.
LabelSlot L(int index) { return {&FrmMain::Label, index}; }
LabelSlot U(int index) { return {&FrmMain::LabelUnidades, index}; }
LabelSlot named(const char* name) { return {nullptr, LabelSlot::kNextFree, name}; }

// Encodings.
Encoding scaled(int cells, int decimals) { return {Kind::Scaled, cells, decimals}; }
Encoding scaledByDivision(int decimals) { return {Kind::ScaledByDivision, 2, decimals}; }
Encoding whole16() { return {Kind::Whole16, 2}; }
Encoding strictByte() { return {Kind::StrictByte, 1}; }
Encoding lenientByte() { return {Kind::LenientByte, 1}; }
// How a save reads a light level's text.
enum class Save { Strict, Lenient };
Encoding lightLevel(Save save) { return {.kind = Kind::LightLevel, .cells = 2, .lenientSave = save == Save::Lenient}; }
Encoding list(ListPosition position) { return {.kind = Kind::List, .cells = 1, .position = position}; }
Encoding check(int (*readState)(int)) { return {.kind = Kind::Check, .cells = 1, .readState = readState}; }
Encoding characters(int cells) { return {Kind::Characters, cells}; }
// A field with rules of its own.
Encoding ownRules(Kind kind, int cells) { return {kind, cells}; }

template <int cap>
std::optional<int> cappedAt(int v) {
    return v > cap ? cap : v;
}
std::optional<int> asIs(int v) { return v; }

// A row, said in the order a reader asks: where, how, which control, then
// what shows beside it and when.
struct Row {
    FieldDescriptor d;
    template <typename Access>
    Row(int first, Encoding encoding, const char* name, Access control) {
        d.first = first;
        d.encoding = encoding;
        d.name = name;
        d.control = control;
    }
    Row&& caption(CaptionText text, LabelSlot slot = {&FrmMain::Label}) && {
        d.caption = {std::move(text), slot};
        return std::move(*this);
    }
    // A check box that carries its caption itself.
    Row&& ownCaption(CaptionText text) && {
        d.caption = {std::move(text), {.ownCaption = true}};
        return std::move(*this);
    }
    Row&& unit(CaptionText text, LabelSlot slot = {&FrmMain::LabelUnidades}) && {
        d.unit = {std::move(text), slot};
        return std::move(*this);
    }
    Row&& shown(ShownWhen when, int by = -1) && {
        d.shown = when;
        d.shownBy = by;
        return std::move(*this);
    }
    Row&& factoryOnly() && {
        d.factoryOnly = true;
        return std::move(*this);
    }
    Row&& alsoShown(LabelSlot slot) && {
        d.alsoShown = slot;
        return std::move(*this);
    }
    Row&& companion(const char* name, FieldAccess<TextBox> control) && {
        d.companion = name;
        d.companionControl = control;
        return std::move(*this);
    }
    Row&& file(FieldDescriptor::FileRules rules) && {
        d.file = rules;
        return std::move(*this);
    }
    operator FieldDescriptor() && { return std::move(d); }
};

// The manufacturing data: the unit's, never a file's.
constexpr FieldDescriptor::FileRules kUnitOnly{.applied = false};

std::vector<FieldDescriptor> buildTable() {
    return {
        Row(0, scaled(3, 4), ZRK_FIELD(TVelocidadUsuario1))
            .caption(txt(id::kUserSpeed1), L(2))
            .unit(txt(id::kRpm), U(0)),
        Row(3, scaled(3, 4), ZRK_FIELD(TVelocidadUsuario2))
            .caption(txt(id::kUserSpeed2), L(26))
            .unit(txt(id::kRpm), U(4)),
        Row(6, scaled(3, 4), ZRK_FIELD(TVelocidadUsuario3))
            .caption(txt(id::kUserSpeed3), L(29))
            .unit(txt(id::kRpm), U(5)),
        Row(9, scaled(3, 4), ZRK_FIELD(TVelocidadUsuario4))
            .caption(txt(id::kUserSpeed4), L(32))
            .unit(txt(id::kRpm), U(6)),
        Row(12, scaled(3, 2), ZRK_FIELD(TRelacionReductor)).caption(txt(id::kReducerRatio), L(28)).factoryOnly(),
        Row(15, whole16(), ZRK_FIELD(TPulsosRevolucion)).caption(txt(id::kPulsesPerRevolution), L(33)).factoryOnly(),
        Row(17, lightLevel(Save::Lenient), ZRK_FIELD(TLuxON))
            .caption(txt(id::kLightLevelBeaconOn), L(18))
            .unit(txt(id::kLux), U(1))
            .companion(ZRK_FIELD(TLuxONAD)),
        Row(19, lightLevel(Save::Strict), ZRK_FIELD(TLuxOFF))
            .caption(txt(id::kLightLevelBeaconOff), L(19))
            .unit(txt(id::kLux), U(2))
            .companion(ZRK_FIELD(TLuxOFFAD)),
        Row(21, scaled(2, 1), ZRK_FIELD(TTestFotocelula))
            .caption(txt(id::kDaylightSensorDelay), L(4))
            .unit(txt(id::kSeconds), U(3)),
        Row(23, lightLevel(Save::Strict), ZRK_FIELD(TLuxLamparaFundida))
            .caption(txt(id::kLampAlarmLevel), L(5))
            .unit(txt(id::kLux), U(13)),
        Row(25, scaled(2, 1), ZRK_FIELD(TRetardoLamparaFundida))
            .caption(txt(id::kDelayLampFailure), L(8))
            .unit(txt(id::kSeconds), U(14)),
        Row(27, list([](int v) { return v >= 0 && v <= 7 ? std::optional<int>(v) : std::nullopt; }),
            ZRK_FIELD(ComboTipoCambiador))
            .caption(txt(id::kLamchangerType), L(11))
            .factoryOnly(),
        Row(28, scaled(2, 1), ZRK_FIELD(TTiempoLampara1)).caption(txt(id::kDelayLamp1), L(36)).unit(fix("Seg."), U(11)),
        Row(30, scaled(2, 1), ZRK_FIELD(TTiempoLampara2)).caption(txt(id::kDelayLamp2), L(31)).unit(fix("Seg."), U(8)),
        Row(32, scaled(2, 1), ZRK_FIELD(TTiempoFalloRed))
            .caption(txt(id::kDelayMainsFailure), L(34))
            .unit(fix("Seg."), U(9)),
        Row(34, scaled(2, 1), ZRK_FIELD(TTiempoRetornoRed))
            .caption(txt(id::kDelayMainsRestart), L(35))
            .unit(fix("Seg."), U(10)),
        Row(36, scaled(2, 1), ZRK_FIELD(TFotocelulaInterior))
            .caption(txt(id::kDelayLampPhotocell), L(30))
            .unit(fix("Seg."), U(7)),
        Row(38, list(cappedAt<1>), ZRK_FIELD(ComboTipoLampara1)).caption(txt(id::kLamp1Type), L(12)),
        Row(39, list(cappedAt<1>), ZRK_FIELD(ComboTipoLampara2)).caption(txt(id::kLamp2Type), L(13)),
        Row(40, list(cappedAt<2>), ZRK_FIELD(ComboLamparaPrincipal)).caption(txt(id::kMainLamp), L(20)),
        // Beyond the last item, a read falls back to type 1, a file to the last type.
        Row(41, list([](int v) -> std::optional<int> { return v > 2 ? 1 : v; }), ZRK_FIELD(ComboSensorLuz))
            .caption(txt(id::kSensorType), L(0))
            .file({.position = cappedAt<2>}),
        Row(42, scaled(2, 2), ZRK_FIELD(TMaxConsumoLed)).caption(fix("Max. Int. Led"), L(6)).unit(fix("A"), U(15)),
        Row(44, scaled(2, 2), ZRK_FIELD(TMinConsumoLed)).caption(fix("Min. Int. Led"), L(1)).unit(fix("A"), U(16)),
        Row(46, list(cappedAt<2>), ZRK_FIELD(ComboFuncion2Puerto)).caption(txt(id::kSecondPortFunction), L(27)),
        Row(47, scaled(2, 1), ZRK_FIELD(TTiempoAceleracion))
            .caption(txt(id::kAccelerationTime), L(37))
            .unit(txt(id::kSeconds), U(18)),
        Row(49, strictByte(), ZRK_FIELD(TPWMLed)).caption(txt(id::kPwmLed), L(39)).unit(fix("%"), U(20)),
        // A read takes the cell as the position; a file maps one beyond 3 to 1.
        Row(50, list(asIs), ZRK_FIELD(ComboTipoMotor))
            .caption(txt(id::kMotorType), L(40))
            .file({.position = [](int v) -> std::optional<int> { return v > 3 ? 1 : v; }}),
        Row(51, scaled(2, 2), ZRK_FIELD(TMargenErrorMotor2))
            .caption(txt(id::kSpeedTolerance), L(42))
            .unit(txt(id::kRpm), U(22)),
        // The live speed's unit label shows with this field, as it always has.
        Row(53, strictByte(), ZRK_FIELD(TVueltasError)).caption(txt(id::kFailedTurns), L(41)).alsoShown(U(21)),
        // The unit keeps more than the state in this cell: a read takes bit 0,
        // a file the state as it is.
        Row(54, check([](int v) { return v & 1; }), ZRK_FIELD(CheckBalizaEmergencia))
            .ownCaption(txt(id::kEmergencyLantern)),
        Row(55, list(cappedAt<1>), ZRK_FIELD(cmbModofuncionamiento)).caption(txt(id::kFunctionMode), L(46)),
        Row(56, ownRules(Kind::NightDimming, 1), ZRK_FIELD(txtAtenuacionNocturna))
            .caption(txt(id::kNightAttenuation), L(16))
            .unit(fix("%"), L(45)),
        Row(57, ownRules(Kind::RecoveryMinutes, 2), ZRK_FIELD(txtTiempoDe))
            .caption(txt(id::kRecoveryTimeAfterHibernation), L(47))
            .unit(fix("Min."), L(48)),
        Row(59, ownRules(Kind::SyncPulse, 1), ZRK_FIELD(txtDuracionPulsoSincronismo))
            .caption(fix("Pulso sincronismo                             (0-255s.)"),
                     named("lblDuracionpulsosincronismo")),
        Row(60, ownRules(Kind::LedGroups, 1), ZRK_FIELD(txtGrupoLeds))
            .caption(txt(id::kLedLevels), named("lblGrupoLeds")),
        Row(61, check([](int v) { return v; }), ZRK_FIELD(chkEnableDisableFalloRotacion))
            .caption(txt(id::kRotationErrorOff), L(49)),
        // A read takes any other cell value as clear; a file may set greyed (2).
        Row(62, check([](int v) { return v > 1 ? 0 : v; }), ZRK_FIELD(chkHibernacionMotor))
            .caption(fix("ORB 810"), L(50)),
        // Beyond the last item, a read caps at the last sensor, a file falls back to the first.
        Row(63, list(cappedAt<2>), ZRK_FIELD(cmbTipoSensorLampara))
            .caption(txt(id::kTypeSensorLamp), L(51))
            .file({.position = [](int v) -> std::optional<int> { return v > 2 ? 0 : v; }}),
        // A save leaves 0 for an alarm current that is no number; a write refuses it.
        Row(64, scaledByDivision(2), ZRK_FIELD(TAlarmLampara1))
            .caption(txt(id::kLamp1CurrentAlarm), L(52))
            .unit(fix("A"), U(24))
            .file({.zeroForText = true}),
        // Identification shows it with the first alarm, by that one's cell alone.
        Row(66, scaledByDivision(2), ZRK_FIELD(TAlarmLampara2))
            .caption(txt(id::kLamp2CurrentAlarm), L(53))
            .unit(fix("A"), U(25))
            .shown(ShownWhen::CellUsed, 64)
            .file({.zeroForText = true}),
        // The flash-pattern page's fields: the unit shows that page or not (address 225).
        Row(221, whole16(), ZRK_FIELD(TGradosOffset))
            .caption(fix("Grados Offset"), L(25))
            .shown(ShownWhen::WithItsPage),
        Row(223, lenientByte(), ZRK_FIELD(TLuminosidadLeds))
            .caption(fix("Luminosidad Leds"), L(23))
            .unit(fix("%"), U(19))
            .shown(ShownWhen::WithItsPage),
        Row(224, lenientByte(), ZRK_FIELD(TDientesDisco))
            .caption(fix("Dientes disco"), L(9))
            .shown(ShownWhen::WithItsPage),
        Row(231, characters(16), ZRK_FIELD(TIdentificacion))
            .caption(txt(id::kIdentifier), L(3))
            .shown(ShownWhen::AnyCellUsed),
        Row(247, lenientByte(), ZRK_FIELD(TSemanaFabricacion))
            .caption(txt(id::kWeekMade), L(22))
            .factoryOnly()
            .file(kUnitOnly),
        Row(248, lenientByte(), ZRK_FIELD(TAnoFabricacion))
            .caption(txt(id::kYearMade), L(21))
            .factoryOnly()
            .file(kUnitOnly),
        Row(249, whole16(), ZRK_FIELD(TNumeroFabricacion))
            .caption(txt(id::kManufacturerNumber), L(10))
            .shown(ShownWhen::AnyCellUsed)
            .factoryOnly()
            .file(kUnitOnly),
        Row(251, lenientByte(), ZRK_FIELD(TModeloR)).caption(txt(id::kModel), L(38)).file(kUnitOnly),
        Row(252, lenientByte(), ZRK_FIELD(TVersionFirmwareR)).caption(txt(id::kFirmwareVersion), L(15)).file(kUnitOnly),
        Row(253, lenientByte(), ZRK_FIELD(THardwareR)).caption(txt(id::kHardware), L(14)).file(kUnitOnly),
        // A file never carries a unit's identifier.
        Row(254, whole16(), ZRK_FIELD(TNumeroID))
            .caption(txt(id::kIdNumber), L(43))
            .shown(ShownWhen::AnyCellUsed)
            .file({.applied = false, .saved = false}),
    };
}

#undef ZRK_FIELD

}  // namespace

const std::vector<FieldDescriptor>& fieldTable() {
    static const std::vector<FieldDescriptor> table = [] {
        auto rows = buildTable();
        for (std::size_t i = 1; i < rows.size(); ++i)
            if (rows[i].first < rows[i - 1].first + rows[i - 1].cells())
                throw std::logic_error("parameter fields out of order at " + rows[i].name);
        return rows;
    }();
    return table;
}

const FieldDescriptor* fieldNamed(std::string_view name) {
    for (const auto& row : fieldTable())
        if (row.name == name) return &row;
    return nullptr;
}

const FieldDescriptor* fieldWithCompanion(std::string_view companion) {
    for (const auto& row : fieldTable())
        if (!row.companion.empty() && row.companion == companion) return &row;
    return nullptr;
}

}  // namespace zrk::form
