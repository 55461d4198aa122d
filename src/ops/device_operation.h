#pragma once

#include <functional>

#include "state/state.h"

namespace zrk::ops {

// Runs a device operation under the guard. A port error (missing, busy,
// lost) ends it with the port closed and a message box; it is kept in
// state.lastPortError for callers without a window. False when another
// operation was running and this one did not start.
bool deviceOperation(state::State& state, const std::function<void()>& operation);

}  // namespace zrk::ops
