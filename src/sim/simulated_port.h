#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "sim/device_model.h"
#include "sim/faults.h"
#include "sim/simulated_unit.h"
#include "sim/unit_link.h"

namespace zrk::sim {

struct SimulatedPortOptions {
    double latencySeconds = UnitLink::kDefaultLatencySeconds;
    // writeByte returns once the byte has crossed the wire, as a real port
    // that drains its output does; on a virtual clock that advances it.
    bool writeWaitsForWire = true;
};

// A serial port with a simulated ZRK on the far end, for the window's
// --simulate and for tests. The same unit answers on every port 1 to 9.
// All timing follows the given clock, so on a virtual clock a transaction
// costs no real time.
class SimulatedPort : public platform::SerialPort {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 9;
    static constexpr std::size_t kReceiveBufferSize = 1024;

    SimulatedPort(platform::Clock& clock, DeviceModel device, Faults faults = {}, SimulatedPortOptions options = {});
    ~SimulatedPort() override;
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    void setPortNumber(int number) override;
    int portNumber() const override { return portNumber_; }
    std::string deviceName(int number) const override;
    bool simulated() const override { return true; }

    void setDtrEnabled(bool) override {}
    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    std::size_t bytesAvailable() override;
    std::vector<std::uint8_t> readAll() override;
    void discardInput() override;
    void writeByte(std::uint8_t byte) override;

    // The next reply byte's arrival, or the instant the line goes away,
    // whichever comes first; nothing while the port is closed.
    std::optional<double> nextArrivalTime() const override;

    SimulatedUnit& unit() { return *unit_; }
    // When the first frame reached a dead line (the dead-from fault).
    std::optional<double> lineDiedAt() const;
    const SimulatedUnit& unit() const { return *unit_; }
    DeviceModel& device() { return unit_->device(); }
    const DeviceModel& device() const { return unit_->device(); }

    std::size_t bytesWritten() const { return bytesWritten_; }
    // Bytes lost because the receive buffer was full.
    std::size_t overrunBytes() const { return overrunBytes_; }

private:
    void collectArrivedBytes();
    void throwIfLineLost() const;
    std::string name() const { return deviceName(portNumber_); }

    platform::Clock& clock_;
    std::unique_ptr<SimulatedUnit> unit_;
    std::unique_ptr<UnitLink> link_;
    SimulatedPortOptions options_;
    int portNumber_ = kFirstPort;
    bool open_ = false;
    std::vector<std::uint8_t> received_;
    std::optional<double> transmitterFreeAt_;
    std::size_t bytesWritten_ = 0;
    std::size_t overrunBytes_ = 0;
};

}  // namespace zrk::sim
