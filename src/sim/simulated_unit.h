#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "sim/device_model.h"
#include "sim/faults.h"
#include "sim/frame.h"

namespace zrk::sim {

// What the unit puts on the line for one frame.
struct UnitResponse {
    std::vector<std::uint8_t> bytes;  // empty: no answer
    double extraDelaySeconds = 0.0;   // on top of the unit's usual latency
    bool lineLost = false;            // the line goes away after these bytes
    // The same bytes again, this long after the reply ends.
    std::optional<double> repeatAfterSeconds;
};

// The device model behind the configured faults. Every frame that reaches
// the unit is handled by the model (so it shows in the frame log and a write
// takes effect); the faults only spoil or suppress what goes back, as a unit
// with a bad transmitter would.
class SimulatedUnit {
public:
    explicit SimulatedUnit(DeviceModel device = {}, Faults faults = {});

    UnitResponse respond(const Frame& frame);

    DeviceModel& device() { return device_; }
    const DeviceModel& device() const { return device_; }
    const Faults& faults() const { return faults_; }
    // Takes effect from the next frame; the attempt count starts afresh.
    void setFaults(const Faults& faults);

    std::size_t framesReceived() const { return framesReceived_; }
    std::size_t framesAnswered() const { return framesAnswered_; }
    bool lineLost() const { return lineLost_; }
    // The dead-from fault has struck: frames reach nothing.
    bool lineDead() const { return lineDead_; }

private:
    bool answers(bool modelAnswered);
    void appendRandom(std::vector<std::uint8_t>& bytes, int count);

    DeviceModel device_;
    Faults faults_;
    std::optional<Frame> lastFrame_;
    int attempt_ = 0;
    std::size_t framesReceived_ = 0;
    std::size_t framesAnswered_ = 0;
    bool lineLost_ = false;
    bool lineDead_ = false;
    std::vector<std::uint8_t> previousReply_;
    std::size_t frameNumber_ = 0;  // every frame that came, dead line or not
    // Fixed seed: a failing test sees the same garbage every run.
    std::minstd_rand random_{20240611};
};

}  // namespace zrk::sim
