#pragma once

#include "platform/process_launcher.h"

namespace zrk::qt {

// Starts programs found on the search path as detached processes: they run
// on after the tool has ended, and their output goes nowhere.
class QtProcessLauncher : public platform::ProcessLauncher {
public:
    Outcome startDetached(const std::string& program, const std::vector<std::string>& arguments) override;
};

}  // namespace zrk::qt
