#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "fake_platform.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// zrkctl's commands run in a program started on the fake machine, through
// the executable's own dispatch, with output and errors captured per run.
struct Ctl {
    explicit Ctl(const PortFactory& makePort = simulatedUnit(), const MachineSetUp& setUp = {})
        : started(kDefaultIni, makePort, setUp) {}
    int run(const std::vector<std::string>& args, bool json = false) {
        out.str({});
        err.str({});
        cli::CommandContext context{*started.program, json, out, err};
        return cli::runCommand(context, args);
    }
    // The simulated unit, when the test started the program on one.
    sim::DeviceModel& device() { return started.port<sim::SimulatedPort>().device(); }
    std::string path(const std::string& name) const { return (started.machine.folder.path() / name).string(); }

    StartedProgram started;
    std::ostringstream out, err;
};

// A whole file as it lies on disk.
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Port 1 names a device that does not exist.
inline PortFactory missingPort() {
    return [](VirtualClock&) {
        auto port = std::make_unique<FakeSerialPort>();
        port->missing = {1};
        return port;
    };
}

}  // namespace zrk::test
