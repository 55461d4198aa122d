#pragma once

#include <functional>
#include <memory>
#include <string>

#include "frame_hook_port.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// Started on a simulated unit whose frames `drop` picks get no answer.
struct UnitRig {
    explicit UnitRig(const std::string& scenario = "led-lantern",
                     std::function<bool(const FrameHookPort::Frame&)> drop = {}, const std::string& ini = kDefaultIni)
        : started(ini, [scenario, drop](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
              auto port = std::make_unique<FrameHookPort>(clock, sim::loadScenarioByName(scenario).device);
              port->onFrame = drop;
              return port;
          }) {}
    StartedProgram started;
    app::Program& program() { return *started.program; }
    form::FrmMain& frm() { return started.frm(); }
    sim::SimulatedPort& unit() { return started.port<FrameHookPort>().unit(); }
    sim::DeviceModel& device() { return unit().device(); }
    std::size_t frames() const { return const_cast<UnitRig*>(this)->device().frameLog().size(); }
};

}  // namespace zrk::test
