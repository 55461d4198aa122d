#include "sim/device_model.h"

#include <stdexcept>
#include <string>

namespace zrk::sim {

namespace {

void checkRange(const char* what, int value, int first, int last) {
    if (value < first || value > last) {
        throw std::out_of_range(std::string(what) + " " + std::to_string(value) + " is outside " +
                                std::to_string(first) + "-" + std::to_string(last));
    }
}

std::uint8_t highByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t lowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

void setBits(std::uint8_t& byte, std::uint8_t mask, bool on) {
    byte = static_cast<std::uint8_t>(on ? (byte | mask) : (byte & ~mask));
}

}  // namespace

std::optional<Frame> DeviceModel::handleFrame(const Frame& frame) {
    if (!isValidFrame(frame)) {
        ++rejectedFrames_;
        return std::nullopt;
    }
    frameLog_.push_back(frame);

    const std::uint8_t command = frameCommand(frame);
    const std::uint8_t p1 = frameParameter1(frame);
    const std::uint8_t p2 = frameParameter2(frame);
    std::uint8_t data = 0;

    if (command == kReadMemory) {
        data = memory_[p1];
    } else if (command == kWriteMemory) {
        // Cells the unit does not use keep their value; the write is still
        // acknowledged, as the tool does not look at the reply anyway.
        if (isInUse(p1)) memory_[p1] = p2;
        data = memory_[p1];
    } else if (command == kReadStatus) {
        data = statusByte(p1);
    } else if (command == kRemoteCommand) {
        applyRemoteCommand(p1, p2);
        data = p2;
    } else if (command == kReadMap) {
        data = p1 < kMapSize ? map_[p1] : 0;
    } else if (command >= kWriteSegmentFirst && command < kWriteSegmentFirst + kSegmentTableCount) {
        segments_[command - kWriteSegmentFirst][p1] = p2;
        data = p2;
    } else if (command >= kReadSegmentFirst && command < kReadSegmentFirst + kSegmentTableCount) {
        data = segments_[command - kReadSegmentFirst][p1];
    } else {
        return std::nullopt;
    }
    return makeFrame(frameValue(frame), command, p1, data);
}

std::uint8_t DeviceModel::statusByte(std::uint8_t selector) const {
    switch (selector) {
        case 0:
            return statusA_;
        case 1:
            return statusB_;
        case 2:
            return highByte(presentCurrent_);
        case 3:
            return lowByte(presentCurrent_);
        case 4:
            return highByte(presentSpeed_);
        case 5:
            return lowByte(presentSpeed_);
        case 6:
            return highByte(ledCurrent_);
        case 7:
            return lowByte(ledCurrent_);
        case 8:
            return inputs_;
        case 9:
            return lowByte(outputs_);
        case 10:
            return static_cast<std::uint8_t>((outputs_ >> 8) & 0x07);
        default:
            return 0;
    }
}

std::uint8_t DeviceModel::memory(int address) const {
    checkRange("address", address, 0, kMemorySize - 1);
    return memory_[static_cast<std::size_t>(address)];
}

void DeviceModel::setMemory(int address, std::uint8_t value) {
    checkRange("address", address, 0, kMemorySize - 1);
    memory_[static_cast<std::size_t>(address)] = value;
}

bool DeviceModel::isInUse(int address) const {
    checkRange("address", address, 0, kMemorySize - 1);
    return (map_[static_cast<std::size_t>(address / 8)] >> (address % 8) & 1) != 0;
}

void DeviceModel::setInUse(int address, bool inUse) {
    checkRange("address", address, 0, kMemorySize - 1);
    setBits(map_[static_cast<std::size_t>(address / 8)], static_cast<std::uint8_t>(1 << (address % 8)), inUse);
}

std::uint8_t DeviceModel::mapByte(int index) const {
    checkRange("map index", index, 0, kMapSize - 1);
    return map_[static_cast<std::size_t>(index)];
}

std::uint8_t DeviceModel::segment(int table, int offset) const {
    checkRange("segment table", table, 1, kSegmentTableCount);
    checkRange("segment offset", offset, 0, kSegmentTableSize - 1);
    return segments_[static_cast<std::size_t>(table - 1)][static_cast<std::size_t>(offset)];
}

void DeviceModel::setSegment(int table, int offset, std::uint8_t value) {
    checkRange("segment table", table, 1, kSegmentTableCount);
    checkRange("segment offset", offset, 0, kSegmentTableSize - 1);
    segments_[static_cast<std::size_t>(table - 1)][static_cast<std::size_t>(offset)] = value;
}

void DeviceModel::setPresentCurrent(std::uint16_t value) {
    presentCurrent_ = value;
    if (value != 0) runningCurrent_ = value;
}

void DeviceModel::setPresentSpeed(std::uint16_t value) {
    presentSpeed_ = value;
    if (value != 0) runningSpeed_ = value;
}

void DeviceModel::setLedCurrent(std::uint16_t value) {
    ledCurrent_ = value;
    if (value != 0) runningLedCurrent_ = value;
}

bool DeviceModel::input(int number) const {
    checkRange("input", number, 1, kInputCount);
    return (inputs_ >> (number - 1) & 1) != 0;
}

void DeviceModel::setInput(int number, bool on) {
    checkRange("input", number, 1, kInputCount);
    setBits(inputs_, static_cast<std::uint8_t>(1 << (number - 1)), on);
}

bool DeviceModel::output(int number) const {
    checkRange("output", number, 1, kOutputCount);
    return (outputs_ >> (number - 1) & 1) != 0;
}

void DeviceModel::setOutput(int number, bool on) {
    checkRange("output", number, 1, kOutputCount);
    const auto mask = static_cast<std::uint16_t>(1u << (number - 1));
    outputs_ = static_cast<std::uint16_t>(on ? (outputs_ | mask) : (outputs_ & ~mask));
}

void DeviceModel::setOutputsWord(std::uint16_t value) {
    outputs_ = static_cast<std::uint16_t>(value & ((1u << kOutputCount) - 1));
}

bool DeviceModel::applyRemoteCommand(std::uint8_t function, std::uint8_t state) {
    switch (function) {
        case 0:
            setChanger(state != 0);
            return true;
        case 1:
            if (state > 2) return false;
            setMode(state == 0 ? OperatingMode::Normal : state == 1 ? OperatingMode::Day : OperatingMode::Night);
            return true;
        case 2:
            setMainsFailure(state != 0);
            return true;
        case 3:
            if (state > 1) return false;
            setMotor(state + 1);
            return true;
        default:
            return false;
    }
}

void DeviceModel::setMode(OperatingMode mode) {
    mode_ = mode;
    const bool lit = mode == OperatingMode::Night || (mode == OperatingMode::Normal && !daylight_);
    setBits(statusA_, kStatusOn, lit);
    updateLight();
}

// The changer hands the light over to the reserve lamp (lamp 2) and back.
void DeviceModel::setChanger(bool on) {
    setBits(statusB_, kStatusChanger, on);
    setOutput(kOutputChanger, on);
    updateLight();
}

void DeviceModel::setMainsFailure(bool on) {
    setBits(statusB_, kStatusMainsFailure, on);
    setOutput(kOutputMainsFailure, on);
}

void DeviceModel::setMotor(int motor) {
    activeMotor_ = motor;
    updateLight();
}

// Brings lamps, motor, outputs and measured values in line with the On bit.
void DeviceModel::updateLight() {
    const bool lit = lampLit();
    const bool onLamp2 = (statusB_ & kStatusChanger) != 0;
    const bool turning = lit && hasMotor();
    setBits(statusA_, kStatusMotor, turning);
    setBits(statusB_, kStatusLamp1, !onLamp2);
    setBits(statusB_, kStatusLamp2, onLamp2);
    setBits(statusB_, kStatusLamp1On, lit && !onLamp2);
    setOutput(kOutputLamp1, lit && !onLamp2);
    setOutput(kOutputLamp2, lit && onLamp2);
    setOutput(kOutputMotor1, turning && activeMotor_ == 1);
    setOutput(kOutputMotor2, turning && activeMotor_ == 2);
    presentCurrent_ = lit ? runningCurrent_ : 0;
    ledCurrent_ = lit ? runningLedCurrent_ : 0;
    presentSpeed_ = turning ? runningSpeed_ : 0;
}

}  // namespace zrk::sim
