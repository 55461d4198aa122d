#pragma once

#include <functional>
#include <string>
#include <utility>

#include "ops/outcome.h"
#include "state/state.h"

namespace zrk::ops {

// The device behind a port number as the operator reads it: the simulated
// unit in the active set's words, else the device's own name.
std::string deviceText(const state::State& state, int number);

// A port error's message in the active set.
std::string portMessage(const state::State& state, const platform::PortError& error);

// Runs a device operation under the guard. A port error (missing, busy,
// lost) ends it with the port closed and a message box, and is the outcome
// (PortError, with the box's text). NotStarted when another operation was
// running and this one did not start.
Outcome<> deviceOperation(state::State& state, const std::function<void()>& operation);

// The same for an operation with an outcome of its own: that outcome, or
// the guard's when the operation did not run to its end.
template <typename Operation>
auto guarded(state::State& state, Operation&& operation) -> decltype(operation()) {
    decltype(operation()) outcome{End::NotStarted};
    const Outcome<> ran = deviceOperation(state, [&] { outcome = operation(); });
    if (!ran.done()) return {ran.end, ran.message};
    return outcome;
}

}  // namespace zrk::ops
