#pragma once

#include <string>
#include <vector>

namespace zrk::state {
class State;
}

namespace zrk::ops {

// The viewers for Compiled HTML Help, tried in this order: the system's own
// ("hh" on Windows), two viewers the Linux desktops offer, and last the
// desktop's opener for the file's type.
const std::vector<std::string>& helpViewers();

// Help: starts the first viewer that will start with the help file; a message
// box with the system's reasons when none does.
void CAyuda_Click(state::State& state);

// Draws the three circles in the drawing window, centred on its current half
// width and height, and shows it (created anew when it was closed).
void Command2_Click(state::State& state);

}  // namespace zrk::ops
