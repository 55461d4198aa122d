#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zrk::cli {

// zrkctl's global options and the command that follows them.
struct Options {
    enum class Port { Default, Device, Com, Simulate };
    Port port = Port::Default;
    std::string device;    // --port DEVICE
    int com = 0;           // --com N
    std::string scenario;  // --simulate[=SCENARIO]
    std::string trace;     // --trace FILE, "-" for standard error
    bool json = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> command;
};

// Throws std::invalid_argument with a message for the operator.
Options parseOptions(const std::vector<std::string>& args);

}  // namespace zrk::cli
