#pragma once

#include <memory>
#include <vector>

#include "ops/instant_values.h"
#include "ops/status_interrogation.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// A started program (every handler is wired by the program itself) with
// a look at what the simulated unit received.
struct LiveProgram : StartedProgram {
    explicit LiveProgram(const PortFactory& makePort = {}) : StartedProgram(kDefaultIni, makePort) {}
    sim::SimulatedPort& sim() { return port<sim::SimulatedPort>(); }
    // Parametro1 of every frame the simulated unit received.
    std::vector<int> simSelectors() {
        std::vector<int> out;
        for (const auto& frame : sim().device().frameLog()) out.push_back(sim::frameParameter1(frame));
        return out;
    }
};

}  // namespace zrk::test
