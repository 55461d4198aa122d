#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

// The simulated unit behind a line that shows each frame to the test before
// it goes out: `onFrame` may lose it (the unit never sees it, so it is not
// answered and a write does not take effect) or act at that moment (press
// Cancel). Frames keep their place on the wire, so losing one leaves the
// next in step.
class FrameHookPort : public platform::SerialPort {
public:
    struct Frame {
        std::uint8_t command;
        std::uint8_t parameter1;
        std::uint8_t parameter2;
    };
    // True: the frame is lost on the line.
    std::function<bool(const Frame&)> onFrame;
    std::vector<Frame> frames;  // every frame the tool sent, lost ones too

    FrameHookPort(VirtualClock& clock, sim::DeviceModel device, sim::Faults faults = {})
        : unit_(std::make_unique<sim::SimulatedPort>(clock, std::move(device), faults)) {}

    sim::SimulatedPort& unit() { return *unit_; }
    sim::DeviceModel& device() { return unit_->device(); }

    void setPortNumber(int number) override { unit_->setPortNumber(number); }
    int portNumber() const override { return unit_->portNumber(); }
    std::string deviceName(int number) const override { return unit_->deviceName(number); }
    bool simulated() const override { return true; }
    void setDtrEnabled(bool enabled) override { unit_->setDtrEnabled(enabled); }
    void open() override {
        pending_.clear();
        unit_->open();
    }
    void close() override { unit_->close(); }
    bool isOpen() const override { return unit_->isOpen(); }
    std::size_t bytesAvailable() override { return unit_->bytesAvailable(); }
    std::vector<std::uint8_t> readAll() override { return unit_->readAll(); }
    void discardInput() override { unit_->discardInput(); }
    std::optional<double> nextArrivalTime() const override { return unit_->nextArrivalTime(); }

    void writeByte(std::uint8_t byte) override {
        if (!unit_->isOpen())
            throw platform::PortError(platform::PortError::Reason::NotOpen, {deviceName(portNumber())},
                                      "port not open");
        pending_.push_back(byte);
        if (pending_.size() < 8) return;
        const Frame frame{pending_[4], pending_[5], pending_[6]};
        frames.push_back(frame);
        const bool lost = onFrame && onFrame(frame);
        const auto bytes = std::exchange(pending_, {});
        if (!lost)
            for (std::uint8_t b : bytes) unit_->writeByte(b);
    }

private:
    std::unique_ptr<sim::SimulatedPort> unit_;
    std::vector<std::uint8_t> pending_;
};

// A port factory for that line with a scenario's unit behind it.
inline PortFactory hookedUnit(const std::string& scenario = "led-lantern", sim::Faults faults = {}) {
    return [scenario, faults](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
        return std::make_unique<FrameHookPort>(clock, sim::loadScenarioByName(scenario).device, faults);
    };
}

}  // namespace zrk::test
