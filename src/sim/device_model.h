#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/frame.h"

namespace zrk::sim {

enum class OperatingMode { Normal, Day, Night };

// The ZRK as the tool sees it through its commands: parameter memory, in-use
// map, segment tables, status bytes, measured values, inputs and outputs.
// It answers one complete frame at a time and knows nothing about timing or
// faults (see SimulatedUnit and UnitLink for those).
class DeviceModel {
public:
    static constexpr int kMemorySize = 256;
    static constexpr int kMapSize = 32;
    static constexpr int kSegmentTableCount = 4;
    static constexpr int kSegmentTableSize = 256;
    static constexpr int kInputCount = 8;
    static constexpr int kOutputCount = 11;

    // Status byte A bits.
    static constexpr std::uint8_t kStatusOn = 0x01;
    static constexpr std::uint8_t kStatusMotor = 0x02;
    static constexpr std::uint8_t kStatusMotorAlarm = 0x04;
    // Status byte B bits, in the layout of the two-lamp changer.
    static constexpr std::uint8_t kStatusLamp1 = 0x01;
    static constexpr std::uint8_t kStatusLamp2 = 0x02;
    static constexpr std::uint8_t kStatusChanger = 0x04;
    static constexpr std::uint8_t kStatusMainsFailure = 0x10;
    static constexpr std::uint8_t kStatusLamp1On = 0x20;
    static constexpr std::uint8_t kStatusLamp1Alarm = 0x40;
    static constexpr std::uint8_t kStatusBulbFailure = 0x80;

    // Outputs the remote commands drive (1-based, as the tool numbers them).
    static constexpr int kOutputLamp1 = 1;
    static constexpr int kOutputLamp2 = 2;
    static constexpr int kOutputMotor1 = 3;
    static constexpr int kOutputMotor2 = 4;
    static constexpr int kOutputChanger = 5;
    static constexpr int kOutputMainsFailure = 7;

    // Command codes the unit understands.
    static constexpr std::uint8_t kReadMemory = 1;
    static constexpr std::uint8_t kWriteMemory = 2;
    static constexpr std::uint8_t kReadStatus = 5;
    static constexpr std::uint8_t kRemoteCommand = 6;
    static constexpr std::uint8_t kReadMap = 128;
    static constexpr std::uint8_t kWriteSegmentFirst = 131;
    static constexpr std::uint8_t kReadSegmentFirst = 135;

    // Answers one frame. No reply for a bad header or check byte or an
    // unknown command code: the unit ignores what it cannot take.
    // The reply echoes Valor, the command code (Dato1) and Parametro1
    // (Dato2); Dato3 carries the data.
    std::optional<Frame> handleFrame(const Frame& frame);

    // Every frame with a good header and check byte, in arrival order.
    const std::vector<Frame>& frameLog() const { return frameLog_; }
    void clearFrameLog() { frameLog_.clear(); }
    // Frames dropped for a bad header or check byte.
    std::size_t rejectedFrameCount() const { return rejectedFrames_; }

    // Direct access for scenarios and tests; no in-use check here.
    std::uint8_t memory(int address) const;
    void setMemory(int address, std::uint8_t value);
    bool isInUse(int address) const;
    void setInUse(int address, bool inUse);
    std::uint8_t mapByte(int index) const;
    // table 1 to 4, offset 0 to 255.
    std::uint8_t segment(int table, int offset) const;
    void setSegment(int table, int offset, std::uint8_t value);

    std::uint8_t statusA() const { return statusA_; }
    void setStatusA(std::uint8_t value) { statusA_ = value; }
    std::uint8_t statusB() const { return statusB_; }
    void setStatusB(std::uint8_t value) { statusB_ = value; }

    // Measured values in hundredths (A, RPM). Setting a non-zero value also
    // makes it the value shown whenever the light runs again.
    std::uint16_t presentCurrent() const { return presentCurrent_; }
    void setPresentCurrent(std::uint16_t value);
    std::uint16_t presentSpeed() const { return presentSpeed_; }
    void setPresentSpeed(std::uint16_t value);
    std::uint16_t ledCurrent() const { return ledCurrent_; }
    void setLedCurrent(std::uint16_t value);

    // Inputs 1 to 8, outputs 1 to 11.
    bool input(int number) const;
    void setInput(int number, bool on);
    bool output(int number) const;
    void setOutput(int number, bool on);
    std::uint8_t inputsByte() const { return inputs_; }
    void setInputsByte(std::uint8_t value) { inputs_ = value; }
    std::uint16_t outputsWord() const { return outputs_; }
    void setOutputsWord(std::uint16_t value);

    // State behind the remote commands. In normal mode the light follows
    // the day/night sensor, which a scenario sets with setDaylight.
    OperatingMode mode() const { return mode_; }
    bool daylight() const { return daylight_; }
    int activeMotor() const { return activeMotor_; }
    void setDaylight(bool daylight) { daylight_ = daylight; }
    // Applies a remote command (command 6); false when the function is unknown.
    bool applyRemoteCommand(std::uint8_t function, std::uint8_t state);

private:
    std::uint8_t statusByte(std::uint8_t selector) const;
    void setMode(OperatingMode mode);
    void setChanger(bool on);
    void setMainsFailure(bool on);
    void setMotor(int motor);
    void updateLight();
    bool lampLit() const { return (statusA_ & kStatusOn) != 0; }
    bool hasMotor() const { return runningSpeed_ != 0; }

    std::array<std::uint8_t, kMemorySize> memory_{};
    std::array<std::uint8_t, kMapSize> map_{};
    std::array<std::array<std::uint8_t, kSegmentTableSize>, kSegmentTableCount> segments_{};
    std::uint8_t statusA_ = 0;
    std::uint8_t statusB_ = 0;
    std::uint16_t presentCurrent_ = 0;
    std::uint16_t presentSpeed_ = 0;
    std::uint16_t ledCurrent_ = 0;
    // What the measured values return to when the light runs again.
    std::uint16_t runningCurrent_ = 0;
    std::uint16_t runningSpeed_ = 0;
    std::uint16_t runningLedCurrent_ = 0;
    std::uint8_t inputs_ = 0;
    std::uint16_t outputs_ = 0;  // bit n-1 = output n
    OperatingMode mode_ = OperatingMode::Normal;
    bool daylight_ = false;
    int activeMotor_ = 1;
    std::vector<Frame> frameLog_;
    std::size_t rejectedFrames_ = 0;
};

}  // namespace zrk::sim
