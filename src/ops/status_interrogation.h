#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "form/frm_main.h"
#include "ops/outcome.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// What a lamp row shows: its lit picture (bit 1), its unlit one (bit 0), or
// the grey "unknown" look when the byte could not be read.
enum class LampLook { Lit, Unlit, Unknown };

// Shows the caption and one look of a lamp row, and hides the rest of its pictures.
void showLampLook(const form::FrmMain::LampRow& row, LampLook look);

// The row whose lit picture has this name; std::logic_error when none has.
const form::FrmMain::LampRow& lampRow(const form::FrmMain& frm, const std::string& litName);

// One lamp of a status byte: the bit and the lit picture of its row.
struct LampBit {
    int bit;
    const char* lit;
};
// Status byte A: on, motor, motor alarm.
const std::vector<LampBit>& byteALamps();
// Status byte B as the changer-type list entry reads it; empty for the
// entries (and "none") that show nothing of it.
const std::vector<LampBit>& byteBLamps(int changerEntry);

// What the four tick boxes ask for; only a set box counts.
struct StatusChoice {
    bool lamps = false;       // chkEstado
    bool current = false;     // chkCorrienteActual
    bool speed = false;       // chkVelocidadActual
    bool ledCurrent = false;  // chkCorrienteLeds
};
void setTickBoxes(form::FrmMain& frm, const StatusChoice& choice);

// A measured value as the fields show it: high × 256 + low hundredths,
// unsigned (0.00 to 655.35), two decimals with the given separator.
std::string measuredValueText(std::uint8_t high, std::uint8_t low, const std::string& decimalSeparator);
// The text of a measured value whose bytes could not be read.
inline const std::string kNoValue = "--";

// What one interrogation updated, in the order it did so.
struct StatusReading {
    struct Lamp {
        std::string lit;  // name of the row's lit picture
        LampLook look;
    };
    struct Value {
        std::string field;  // TCorrienteActual, TVelocidadActual or txtCorrienteLeds
        std::string text;
    };
    std::vector<Lamp> lamps;
    std::vector<Value> values;
    // Every transaction of the interrogation was answered.
    bool complete() const;
};

// One interrogation as the tick boxes ask for it, each box read when its turn
// comes. Port errors pass to the caller with the port closed and the action
// buttons enabled again.
StatusReading Interrogar(state::State& state);

// The Interrogar button: one interrogation under the device guard. A port
// error stops the automatic mode and ends in the guard's message box.
// Done with what was read, NoAnswer when part of it was not answered (what
// was read is still there), or the guard's PortError or NotStarted.
ops::Outcome<StatusReading> CInterrogar_Click(state::State& state);

// The automatic mode's period from the text of TTiempoModoVerboso (seconds,
// '.' as the decimal point in every locale), in milliseconds; nothing when a
// timer cannot take it (below 0 or above 65535 ms).
std::optional<int> periodMilliseconds(const std::string& text);
void CModoVerboso_Click(state::State& state);
void Command1_Click(state::State& state);
// Skipped while any device operation runs, its own previous tick included.
void TimerEstado_Timer(state::State& state);

}  // namespace zrk::ops
