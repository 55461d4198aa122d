#pragma once

#include <filesystem>
#include <istream>
#include <stdexcept>
#include <string>

#include "sim/device_model.h"

namespace zrk::sim {

// A scenario file that cannot be read or has a bad line. The message starts
// with "file:line:" where a line is to blame.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Scenario {
    std::string name;            // the "name" line, or the file name
    std::filesystem::path file;  // empty when parsed from a stream
    DeviceModel device;
};

inline constexpr const char* kDefaultScenarioFile = "led-lantern.zrksim";
inline constexpr const char* kScenarioExtension = ".zrksim";

// Reads a scenario; `sourceName` names it in error messages.
Scenario parseScenario(std::istream& in, const std::string& sourceName);
Scenario loadScenario(const std::filesystem::path& file);

// The scenario folder: "scenarios" beside the running program when there is
// one (an installed tool), else the one of the source tree.
std::filesystem::path scenarioDirectory();
// The same choice for a program in `programFolder`.
std::filesystem::path scenarioDirectory(const std::filesystem::path& programFolder);

// Finds a scenario by name ("rotating-lantern", "old-unit.zrksim") in the
// scenario folder, or by path. An empty name means the LED lantern.
// Throws ScenarioError listing the scenarios there when nothing matches.
std::filesystem::path findScenario(const std::string& nameOrPath);

inline Scenario loadScenarioByName(const std::string& nameOrPath) { return loadScenario(findScenario(nameOrPath)); }

}  // namespace zrk::sim
