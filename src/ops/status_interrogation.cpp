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

link::RespuestaComando readStatusByte(state::State& program, std::uint8_t selector) {
    // Once the line is dead, the rest is not asked: it shows as unknown at once.
    if (program.link.lineSeemsDead()) return {link::kNak};
    return program.link.EnviarComando(link::readStatusFrame(selector));
}

void updateLamps(state::State& program, const std::vector<LampBit>& lamps, const link::RespuestaComando& reply,
                 StatusReading& reading) {
    const bool answered = reply.Resultado == link::kAck;
    for (const LampBit& lamp : lamps) {
        const LampLook look = !answered                         ? LampLook::Unknown
                              : link::replyBit(reply, lamp.bit) ? LampLook::Lit
                                                                : LampLook::Unlit;
        showLampLook(lampRow(program.frm, lamp.lit), look);
        reading.lamps.push_back({lamp.lit, look});
    }
}

void readLamps(state::State& program, StatusReading& reading) {
    auto& frm = program.frm;
    updateLamps(program, byteALamps(), readStatusByte(program, link::code(link::StatusSelector::ByteA)), reading);
    const auto byteB = readStatusByte(program, link::code(link::StatusSelector::ByteB));
    // The operator may change the changer type while byte B is awaited.
    const int entry = frm.ComboTipoCambiador.ListIndex();
    updateLamps(program, byteBLamps(entry), byteB, reading);
    if (entry == kLedChangerEntry) params::showFieldRow(frm, frm.TPWMLed);
}

void readValue(state::State& program, const MeasuredValue& value, StatusReading& reading) {
    const auto high = readStatusByte(program, value.highSelector);
    const auto low = readStatusByte(program, static_cast<std::uint8_t>(value.highSelector + 1));
    const bool answered = high.Resultado == link::kAck && low.Resultado == link::kAck;
    form::TextBox& field = value.field;
    field.setText(answered
                      ? measuredValueText(link::replyByte(high), link::replyByte(low), program.platform.numbers.decimal)
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

StatusReading Interrogar(state::State& program) {
    auto& frm = program.frm;
    StatusReading reading;
    {
        ops::ButtonsOff buttons(frm);
        {
            ops::PortClosedAfter port(program.link);
            program.link.AbrirCom();
            if (ticked(frm.chkEstado)) readLamps(program, reading);
            for (const MeasuredValue& value : measuredValues(frm))
                if (ticked(value.box)) readValue(program, value, reading);
        }
        frm.setStatus("End check");
    }
    program.platform.events.processEvents();
    return reading;
}

ops::Outcome<StatusReading> CInterrogar_Click(state::State& program) {
    return ops::guarded(program, [&]() -> ops::Outcome<StatusReading> {
        try {
            StatusReading reading = Interrogar(program);
            const ops::End end = reading.complete() ? ops::End::Done : ops::End::NoAnswer;
            return {end, end == ops::End::Done ? std::string() : program.frm.status(), std::move(reading)};
        } catch (const platform::PortError&) {
            // Stopped before the message box shows: a modal box lets ticks
            // through, and each would bring another box.
            Command1_Click(program);
            throw;
        }
    });
}

std::optional<int> periodMilliseconds(const std::string& text) {
    const double milliseconds = std::nearbyint(params::lenientNumber(text) * 1000.0);
    if (!(milliseconds >= 0.0 && milliseconds <= 65535.0)) return std::nullopt;
    return static_cast<int>(milliseconds);
}

void CModoVerboso_Click(state::State& program) {
    auto& frm = program.frm;
    const std::string& text = frm.TTiempoModoVerboso.Text();
    const auto period = periodMilliseconds(text);
    if (!period) {
        program.platform.ui.messageBox(texts::fill(program.CargarTexto(texts::id::kAutomaticPeriodRefused), {text}),
                                       program.platform.info.title, platform::UserInterface::Icon::Warning);
        return;
    }
    frm.CModoVerboso.setEnabled(false);
    frm.TimerEstado.setInterval(*period);
    frm.TimerEstado.setEnabled(true);
}

void Command1_Click(state::State& program) {
    program.frm.TimerEstado.setEnabled(false);
    program.frm.CModoVerboso.setEnabled(true);
}

void TimerEstado_Timer(state::State& program) {
    if (program.guard.busy()) return;
    auto& frm = program.frm;
    frm.LedTimerON.setVisible(true);
    frm.LedTimerOff.setVisible(false);
    CInterrogar_Click(program);
    frm.LedTimerON.setVisible(false);
    frm.LedTimerOff.setVisible(true);
}

}  // namespace zrk::ops
