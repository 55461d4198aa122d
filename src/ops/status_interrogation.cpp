#include "ops/status_interrogation.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "link/protocol.h"
#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

constexpr int kLedChangerEntry = 3;

// A value read from two transactions: high byte, then low byte at the next
// selector.
struct MeasuredValue {
    const form::CheckBox& box;
    std::uint8_t highSelector;
    form::TextBox& field;
};

std::array<MeasuredValue, 3> measuredValues(form::FrmMain& frm) {
    return {{{frm.chkCorrienteActual, link::code(link::StatusSelector::CurrentHigh), frm.TCorrienteActual},
             {frm.chkVelocidadActual, link::code(link::StatusSelector::SpeedHigh), frm.TVelocidadActual},
             {frm.chkCorrienteLeds, link::code(link::StatusSelector::LedCurrentHigh), frm.txtCorrienteLeds}}};
}

bool ticked(const form::CheckBox& box) { return box.Value() == 1; }

link::RespuestaComando readStatusByte(state::State& state, std::uint8_t selector) {
    // Once the line is dead, the rest is not asked: it shows as unknown at once.
    if (state.link.lineSeemsDead()) return {link::kNak};
    return state.link.EnviarComando(link::readStatusFrame(selector));
}

void updateLamps(state::State& state, const std::vector<LampBit>& lamps, const link::RespuestaComando& reply,
                 StatusReading& reading) {
    const bool answered = reply.Resultado == link::kAck;
    for (const LampBit& lamp : lamps) {
        const LampLook look = !answered                         ? LampLook::Unknown
                              : link::replyBit(reply, lamp.bit) ? LampLook::Lit
                                                                : LampLook::Unlit;
        showLampLook(lampRow(state.frm, lamp.lit), look);
        reading.lamps.push_back({lamp.lit, look});
    }
}

void readLamps(state::State& state, StatusReading& reading) {
    auto& frm = state.frm;
    updateLamps(state, byteALamps(), readStatusByte(state, link::code(link::StatusSelector::ByteA)), reading);
    const auto byteB = readStatusByte(state, link::code(link::StatusSelector::ByteB));
    // The operator may change the changer type while byte B is awaited.
    const int entry = frm.ComboTipoCambiador.ListIndex();
    updateLamps(state, byteBLamps(entry), byteB, reading);
    if (entry == kLedChangerEntry) params::showFieldRow(frm, frm.TPWMLed);
}

void readValue(state::State& state, const MeasuredValue& value, StatusReading& reading) {
    const auto high = readStatusByte(state, value.highSelector);
    const auto low = readStatusByte(state, static_cast<std::uint8_t>(value.highSelector + 1));
    const bool answered = high.Resultado == link::kAck && low.Resultado == link::kAck;
    form::TextBox& field = value.field;
    field.setText(answered
                      ? measuredValueText(link::replyByte(high), link::replyByte(low), state.platform.numbers.decimal)
                      : kNoValue);
    reading.values.push_back({field.name(), field.Text()});
}

}  // namespace

void showLampLook(const form::FrmMain::LampRow& row, LampLook look) {
    // A lamp without its caption cannot be told from the others.
    row.caption->setVisible(true);
    row.lit->setVisible(look == LampLook::Lit);
    row.unlit->setVisible(look == LampLook::Unlit);
    row.unknown->setVisible(look == LampLook::Unknown);
}

const form::FrmMain::LampRow& lampRow(const form::FrmMain& frm, const std::string& litName) {
    for (const auto& row : frm.lampRows())
        if (row.lit->name() == litName) return row;
    throw std::logic_error("No status lamp with the picture " + litName);
}

const std::vector<LampBit>& byteALamps() {
    static const std::vector<LampBit> lamps = {{0, "LedOn"}, {1, "LedMotorOn"}, {2, "LedRojoAlarmaMotor"}};
    return lamps;
}

const std::vector<LampBit>& byteBLamps(int changerEntry) {
    static const std::vector<LampBit> byEntry[] = {
        // TKR41
        {{1, "LedRojoPrealarmaLampara"}, {5, "LedVerdeLampara1On"}, {6, "LedRojoAlarmaLampara1"}},
        // TKR42
        {{0, "LedAzulLampara1"},
         {1, "LedazulLampara2"},
         {2, "LedAzulCambiador"},
         {4, "LedRojoFalloRed"},
         {5, "LedVerdeLampara1On"},
         {6, "LedRojoAlarmaLampara1"},
         {7, "LedRojoFalloFoco"}},
        // TKR43
        {{0, "LedAzulLampara1"}, {2, "LedAzulCambiador"}, {5, "LedVerdeLampara1On"}, {7, "LedRojoFalloFoco"}},
        // LED
        {{6, "LedRojoAlarmaLampara1"}},
    };
    static const std::vector<LampBit> none;
    if (changerEntry < 0 || changerEntry >= static_cast<int>(std::size(byEntry))) return none;
    return byEntry[changerEntry];
}

void setTickBoxes(form::FrmMain& frm, const StatusChoice& choice) {
    frm.chkEstado.setValue(choice.lamps ? 1 : 0);
    frm.chkCorrienteActual.setValue(choice.current ? 1 : 0);
    frm.chkVelocidadActual.setValue(choice.speed ? 1 : 0);
    frm.chkCorrienteLeds.setValue(choice.ledCurrent ? 1 : 0);
}

std::string measuredValueText(std::uint8_t high, std::uint8_t low, const std::string& decimalSeparator) {
    return params::formatScaled(high * 256 + low, 2, decimalSeparator);
}

bool StatusReading::complete() const {
    for (const auto& lamp : lamps)
        if (lamp.look == LampLook::Unknown) return false;
    for (const auto& value : values)
        if (value.text == kNoValue) return false;
    return true;
}

StatusReading Interrogar(state::State& state) {
    auto& frm = state.frm;
    StatusReading reading;
    {
        ops::ButtonsOff buttons(frm);
        {
            ops::PortClosedAfter port(state.link);
            state.link.AbrirCom();
            if (ticked(frm.chkEstado)) readLamps(state, reading);
            for (const MeasuredValue& value : measuredValues(frm))
                if (ticked(value.box)) readValue(state, value, reading);
        }
        frm.setStatus("End check");
    }
    state.platform.events.processEvents();
    return reading;
}

ops::Outcome<StatusReading> CInterrogar_Click(state::State& state) {
    return ops::guarded(state, [&]() -> ops::Outcome<StatusReading> {
        try {
            StatusReading reading = Interrogar(state);
            const ops::End end = reading.complete() ? ops::End::Done : ops::End::NoAnswer;
            return {end, end == ops::End::Done ? std::string() : state.frm.status(), std::move(reading)};
        } catch (const platform::PortError&) {
            // Stopped before the message box shows: a modal box lets ticks
            // through, and each would bring another box.
            Command1_Click(state);
            throw;
        }
    });
}

std::optional<int> periodMilliseconds(const std::string& text) {
    const double milliseconds = std::nearbyint(params::lenientNumber(text) * 1000.0);
    if (!(milliseconds >= 0.0 && milliseconds <= 65535.0)) return std::nullopt;
    return static_cast<int>(milliseconds);
}

void CModoVerboso_Click(state::State& state) {
    auto& frm = state.frm;
    const std::string& text = frm.TTiempoModoVerboso.Text();
    const auto period = periodMilliseconds(text);
    if (!period) {
        state.platform.ui.messageBox(texts::fill(state.CargarTexto(texts::id::kAutomaticPeriodRefused), {text}),
                                     state.platform.info.title, platform::UserInterface::Icon::Warning);
        return;
    }
    frm.CModoVerboso.setEnabled(false);
    frm.TimerEstado.setInterval(*period);
    frm.TimerEstado.setEnabled(true);
}

void Command1_Click(state::State& state) {
    state.frm.TimerEstado.setEnabled(false);
    state.frm.CModoVerboso.setEnabled(true);
}

void TimerEstado_Timer(state::State& state) {
    if (state.guard.busy()) return;
    auto& frm = state.frm;
    frm.LedTimerON.setVisible(true);
    frm.LedTimerOff.setVisible(false);
    CInterrogar_Click(state);
    frm.LedTimerON.setVisible(false);
    frm.LedTimerOff.setVisible(true);
}

}  // namespace zrk::ops
