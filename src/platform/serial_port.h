#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zrk::platform {

// Raised by the port layer when the line cannot be used (missing device,
// busy, permission denied, lost while open). The message is meant for the
// operator: it names the device and says what to try. what() is in English;
// the reason and its details let the tool say it in the operator's set.
class PortError : public std::runtime_error {
public:
    enum class Reason {
        Other,             // only the English message
        NoSuchPort,        // details: the port number
        NotFound,          // the device
        AccessDenied,      // the device
        PermissionDenied,  // the device, the group that may use it (or empty)
        Locked,            // the device, the lock file, the process that holds it
        LockedStale,       // the device, the lock file, the process that left it (or empty)
        AlreadyOpen,       // the device
        OpenFailed,        // the device, the system's words
        Lost,              // the device, the system's words
        LineLost,          // the device
        NotOpen,           // the device
    };
    using std::runtime_error::runtime_error;
    PortError(Reason reason, std::vector<std::string> details, const std::string& message)
        : std::runtime_error(message), reason_(reason), details_(std::move(details)) {}
    Reason reason() const { return reason_; }
    const std::vector<std::string>& details() const { return details_; }

private:
    Reason reason_ = Reason::Other;
    std::vector<std::string> details_;
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
    // A unit simulated in-process answers on this port, not a device.
    virtual bool simulated() const { return false; }

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
