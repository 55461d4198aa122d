#pragma once

#include <memory>
#include <vector>

#include "live/instant_values.h"
#include "live/status_interrogation.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// A started program with the live handlers (interrogation, instantaneous
// values) connected.
struct LiveProgram : StartedProgram {
    explicit LiveProgram(const PortFactory& makePort = {}) : StartedProgram(kDefaultIni, makePort) {
        live::wireStatusInterrogation(*program);
        live::wireInstantValues(*program);
    }
    sim::SimulatedPort& sim() { return port<sim::SimulatedPort>(); }
    // Parametro1 of every frame the simulated unit received.
    std::vector<int> simSelectors() {
        std::vector<int> out;
        for (const auto& frame : sim().device().frameLog()) out.push_back(sim::frameParameter1(frame));
        return out;
    }
};

}  // namespace zrk::test
