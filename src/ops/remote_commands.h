#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ops/outcome.h"

namespace zrk::state {
class State;
}

namespace zrk::ops {

// One remote-command button: command 6 with a function and a state.
struct RemoteCommand {
    const char* button;
    const char* cliName;  // zrkctl's name for it
    std::uint8_t function;
    std::uint8_t state;
    const char* successText;
    const char* failureText;
};

const std::vector<RemoteCommand>& remoteCommands();

// Sends one remote command and reports on the status line; the port is
// closed afterwards whatever happened. Port errors pass to the caller.
// Done when the unit answered, else NoAnswer with the status text.
ops::Outcome<> sendRemoteCommand(state::State& state, const RemoteCommand& command);

}  // namespace zrk::ops
