#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filtering_port.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// Started on a simulated unit whose frames `drop` picks get no answer.
struct UnitRig {
    explicit UnitRig(const std::string& scenario = "led-lantern", std::function<bool(const FilteringPort::Frame&)> drop = {},
                     const std::string& ini = kDefaultIni)
        : started(ini, [scenario, drop](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
              auto unit = std::make_unique<sim::SimulatedPort>(clock, sim::loadScenarioByName(scenario).device);
              return std::make_unique<FilteringPort>(std::move(unit), drop ? drop : [](const FilteringPort::Frame&) { return false; });
          }) {}
    StartedProgram started;
    app::Program& program() { return *started.program; }
    app::FrmMain& frm() { return started.frm(); }
    sim::SimulatedPort& unit() { return dynamic_cast<sim::SimulatedPort&>(started.port<FilteringPort>().inner()); }
    sim::DeviceModel& device() { return unit().device(); }
    std::size_t frames() const { return const_cast<UnitRig*>(this)->device().frameLog().size(); }
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        for (const auto& m : started.machine.ui.messages) out.push_back(m.text);
        return out;
    }
};

}  // namespace zrk::test
