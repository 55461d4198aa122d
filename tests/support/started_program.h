#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "fake_platform.h"
#include "scripted_port.h"

namespace zrk::test {

// A program started on a fake machine: settings file, virtual clock, a port
// of the test's choosing (the fake port that opens but never answers when none).
inline const std::string kDefaultIni = "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n";

// A port factory for the simulated unit of a scenario.
PortFactory simulatedUnit(const std::string& scenario = "led-lantern");

// A port factory for a unit whose replies the test scripts; with none
// scripted, the unit never answers.
inline PortFactory scriptedUnit() {
    return [](VirtualClock& clock) { return std::make_unique<ScriptedPort>(clock); };
}

// What a test changes on the machine before the program starts: the user's
// language setting, the regional number format.
using MachineSetUp = std::function<void(FakeMachine&)>;

struct StartedProgram {
    explicit StartedProgram(const std::string& ini = kDefaultIni, const PortFactory& makePort = {},
                            const MachineSetUp& setUp = {})
        : machine(makePort, ini), program(programOn(machine, setUp)) {
        program->state.emptyLoop = [this](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        exitCode = program->Main();
    }
    FakeMachine machine;
    std::unique_ptr<app::Program> program;
    int exitCode = -1;
    form::FrmMain& frm() { return program->state.frm; }
    // The texts of the message boxes shown so far.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& m : machine.ui.messages) out.push_back(m.text);
        return out;
    }
    template <typename Port>
    Port& port() {
        return machine.port<Port>();
    }

private:
    // The set of texts is chosen when the program is made.
    static std::unique_ptr<app::Program> programOn(FakeMachine& machine, const MachineSetUp& setUp) {
        if (setUp) setUp(machine);
        return std::make_unique<app::Program>(machine.platform);
    }
};

}  // namespace zrk::test
