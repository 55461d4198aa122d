#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zrk::platform {

// Raised by the port layer when the line cannot be used (missing device,
// busy, permission denied, lost while open). The message is meant for the
// operator: it names the device and says what to try.
class PortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The serial line to one unit: 9600 baud, 8N1, no flow control, raw bytes.
// Port numbers 1 to 9 map to devices; which device is the implementation's
// business (per-user store, simulated unit, test fake).
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Throws PortError for a number that maps to no device (0, 10, ...).
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // Human name of the device behind a port number, for tooltips and messages.
    virtual std::string deviceName(int number) const = 0;

    virtual void setDtrEnabled(bool enabled) = 0;
    virtual void open() = 0;  // throws PortError
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Bytes received and not yet read. Throws PortError when the line was lost.
    virtual std::size_t bytesAvailable() = 0;
    virtual std::vector<std::uint8_t> readAll() = 0;
    // Drops everything received so far.
    virtual void discardInput() = 0;
    // Sends one byte and pushes it out before returning, so that the pause
    // after it really separates it from the next one on the wire.
    virtual void writeByte(std::uint8_t byte) = 0;  // throws PortError

    // When more input is known to arrive (steady-clock seconds), for ports
    // that cannot wake the event loop by themselves (a simulated unit).
    virtual std::optional<double> nextArrivalTime() const { return std::nullopt; }
};

}  // namespace zrk::platform
