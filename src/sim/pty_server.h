#pragma once

#include <memory>
#include <string>

#include "sim/simulated_unit.h"
#include "sim/unit_link.h"

namespace zrk::sim {

// Serves a simulated unit on a pseudo-terminal in real time, with the wire
// timing of UnitLink. POSIX only.
class PtyServer {
public:
    enum class StopReason { Signal, InputClosed, LineDropped };

    // Opens the pseudo-terminal in raw mode; throws std::runtime_error.
    PtyServer(SimulatedUnit& unit, double latencySeconds);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The device path a client opens, e.g. /dev/pts/3.
    const std::string& devicePath() const { return devicePath_; }
    // The unit's end of the line, in steady-clock seconds.
    UnitLink& link() { return *link_; }

    // Serves until SIGINT or SIGTERM, until standard input ends (when
    // `watchStandardInput`), or until the disconnect fault drops the line,
    // which closes the pseudo-terminal so the client sees the loss.
    StopReason run(bool watchStandardInput);

private:
    void closeTerminal();

    std::unique_ptr<UnitLink> link_;
    int master_ = -1;
    // Held open by us so a client may close and reopen the device without
    // the master side seeing a hang-up.
    int slave_ = -1;
    std::string devicePath_;
};

}  // namespace zrk::sim
