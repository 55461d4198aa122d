#pragma once

#include <string>

#include "form/controls.h"
#include "ops/outcome.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// The look of an input or output state label.
enum class StateLook { On, Off, Unknown };

const std::string& stateCaption(StateLook look);  // "ON", "OFF", "--"
form::Rgb stateColour(StateLook look);            // blue, red, black
// The look a caption stands for; Unknown for anything but "ON" and "OFF".
StateLook stateLookOf(const std::string& caption);
// Caption first, then colour.
void showStateLook(form::LabelControl& label, StateLook look);

// Captions of btnSpoolValorInstantaneo: the refresh is off, it runs.
inline const std::string kAutoRefreshOff = "Activar auto";
inline const std::string kAutoRefreshOn = "Desactivar auto";

// One refresh of the eight inputs and eleven outputs, three transactions.
// A group whose transaction fails shows "--". Errors pass to the caller with
// the port closed.
void VerValoresInstantaneos(state::State& state);

// The Refrescar button: one refresh under the device guard. Any error ends
// in a message box "Error", the port closed, status "Error" and the action
// buttons enabled; the outcome keeps the error's own text (PortError, or
// BadData for any other), or is the guard's NotStarted.
ops::Outcome<> btnVerValoresInstantaneos_Click(state::State& state);
void btnSpoolValorInstantaneo_Click(state::State& state);
// Off during its refresh, so the next tick comes a period after its end;
// skipped while another device operation runs.
void tmrSpoolValoresInstantaneos_Timer(state::State& state);

}  // namespace zrk::ops
