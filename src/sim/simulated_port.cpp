#include "sim/simulated_port.h"

#include <algorithm>
#include <utility>

namespace zrk::sim {

using platform::PortError;

SimulatedPort::SimulatedPort(platform::Clock& clock, DeviceModel device, Faults faults, SimulatedPortOptions options)
    : clock_(clock),
      unit_(std::make_unique<SimulatedUnit>(std::move(device), faults)),
      link_(std::make_unique<UnitLink>(*unit_, options.latencySeconds)),
      options_(options) {}

SimulatedPort::~SimulatedPort() = default;

void SimulatedPort::setPortNumber(int number) {
    if (number < kFirstPort || number > kLastPort) {
        throw PortError(PortError::Reason::NoSuchPort, {std::to_string(number)},
                        "There is no serial port " + std::to_string(number) +
                            ": the simulated ZRK answers on ports 1 to 9. Choose one of those.");
    }
    portNumber_ = number;
}

std::string SimulatedPort::deviceName(int number) const {
    return "simulated ZRK (port " + std::to_string(number) + ")";
}

std::optional<double> SimulatedPort::lineDiedAt() const { return link_->lineDiedAt(); }

void SimulatedPort::open() {
    throwIfLineLost();
    if (open_) throw PortError(PortError::Reason::AlreadyOpen, {name()}, "The " + name() + " is already open.");
    // Whatever arrived while nobody listened is gone.
    link_->takeBytesUpTo(clock_.now());
    received_.clear();
    open_ = true;
}

void SimulatedPort::close() {
    if (!open_) return;
    collectArrivedBytes();
    received_.clear();
    open_ = false;
}

std::size_t SimulatedPort::bytesAvailable() {
    throwIfLineLost();
    collectArrivedBytes();
    return received_.size();
}

std::vector<std::uint8_t> SimulatedPort::readAll() {
    collectArrivedBytes();
    return std::exchange(received_, {});
}

void SimulatedPort::discardInput() {
    collectArrivedBytes();
    received_.clear();
}

void SimulatedPort::writeByte(std::uint8_t byte) {
    if (!open_)
        throw PortError(PortError::Reason::NotOpen, {name()},
                        "Cannot send to the " + name() + ": the port is not open.");
    throwIfLineLost();
    const double now = clock_.now();
    const double start = transmitterFreeAt_ ? std::max(now, *transmitterFreeAt_) : now;
    const double arrival = start + UnitLink::kByteSeconds;
    transmitterFreeAt_ = arrival;
    ++bytesWritten_;
    link_->receive(byte, arrival);
    if (options_.writeWaitsForWire) clock_.pauseUntil(arrival);
}

std::optional<double> SimulatedPort::nextArrivalTime() const {
    if (!open_) return std::nullopt;
    std::optional<double> next = link_->nextByteTime();
    if (const auto lost = link_->lineLostAt(); lost && (!next || *lost < *next)) next = lost;
    return next;
}

void SimulatedPort::collectArrivedBytes() {
    for (const auto& arrived : link_->takeBytesUpTo(clock_.now())) {
        if (!open_) continue;
        if (received_.size() >= kReceiveBufferSize) {
            ++overrunBytes_;
            continue;
        }
        received_.push_back(arrived.byte);
    }
}

void SimulatedPort::throwIfLineLost() const {
    if (link_->isLineLost(clock_.now())) {
        throw PortError(PortError::Reason::LineLost, {name()},
                        "The line to the " + name() + " was lost. Check the cable and the unit's power supply.");
    }
}

}  // namespace zrk::sim
