#include "qt/qt_serial_port.h"

#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <fstream>

#if !defined(_WIN32)
#include <signal.h>
#endif

#include "platform/path_text.h"

namespace zrk::qt {

std::vector<std::filesystem::path> lockFolders() {
    return {"/var/lock",       "/run/lock", "/etc/locks", "/var/spool/locks",
            "/var/spool/uucp", "/tmp",      "/var/tmp",   "/var/lock/lockdev"};
}

std::optional<platform::PortError> lockFileRefusal(const std::string& device,
                                                   const std::vector<std::filesystem::path>& folders) {
    using Reason = platform::PortError::Reason;
    const std::string head = "Cannot open serial port " + device + ": ";
    const std::string name = "LCK.." + std::filesystem::path(device).filename().string();
    for (const auto& folder : folders) {
        const auto lock = folder / name;
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(lock, error))) continue;
        long pid = 0;
        std::ifstream in(lock);
        in >> pid;
        const std::string file = platform::utf8(lock), process = pid > 0 ? std::to_string(pid) : std::string();
        bool stale = false;
#if !defined(_WIN32)
        if (pid > 0) stale = ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#endif
        if (!stale && pid > 0)
            return platform::PortError(Reason::Locked, {device, file, process},
                                       head + "the lock file " + file +
                                           " says another program uses the port (held by process " + process +
                                           ", which still runs). Close that program, then try again.");
        const std::string owner = stale ? " (left by process " + process + ", which no longer runs)" : std::string();
        return platform::PortError(Reason::LockedStale, {device, file, stale ? process : std::string()},
                                   head + "the lock file " + file + " keeps the port locked" + owner +
                                       " and cannot be removed by this user. If no program uses the port, remove "
                                       "it (sudo rm " +
                                       file + ") and try again.");
    }
    return std::nullopt;
}

namespace {

platform::PortError openFailure(const std::string& device, QSerialPort::SerialPortError error, const QString& detail) {
    using Reason = platform::PortError::Reason;
    const std::string head = "Cannot open serial port " + device + ": ";
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return {Reason::NotFound,
                    {device},
                    head +
                        "no such device. Check that the cable or USB adapter is plugged in and that the port is "
                        "right."};
        case QSerialPort::PermissionError: {
            if (auto locked = lockFileRefusal(device, lockFolders())) return *locked;
#ifdef _WIN32
            return {Reason::AccessDenied,
                    {device},
                    head + "access denied. Another program may be using the port; close it and try again."};
#else
            const std::string group = QFileInfo(QString::fromStdString(device)).group().toStdString();
            std::string fix = "permission denied, or another program holds the port.";
            if (!group.empty())
                fix += " To use it without root, add your user to the group '" + group + "' (sudo usermod -aG " +
                       group + " $USER) and log in again.";
            return {Reason::PermissionDenied, {device, group}, head + fix};
#endif
        }
        case QSerialPort::OpenError:
            return {Reason::AlreadyOpen, {device}, head + "it is already open."};
        default:
            return {Reason::OpenFailed, {device, detail.toStdString()}, head + detail.toStdString() + "."};
    }
}

}  // namespace

QtSerialPort::QtSerialPort(const PortMap& ports) : ports_(ports) {}

void QtSerialPort::setPortNumber(int number) {
    if (ports_.device(number).empty())
        throw platform::PortError(
            platform::PortError::Reason::NoSuchPort, {std::to_string(number)},
            "Serial port " + std::to_string(number) + " does not exist: choose a port from 1 to 9.");
    if (port_.isOpen()) port_.close();
    number_ = number;
}

void QtSerialPort::open() {
    if (port_.isOpen()) return;
    if (device().empty())
        throw platform::PortError(platform::PortError::Reason::NoSuchPort, {std::to_string(number_)},
                                  "No serial port chosen: choose a port from 1 to 9.");
    port_.setPortName(QString::fromStdString(device()));
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(0);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        const QString detail = port_.errorString();
        port_.clearError();
        throw openFailure(device(), error, detail);
    }
    // A line without modem lines (a pseudo-terminal, some adapters) refuses
    // DTR; it still carries data, so that is no reason to give up the port.
    if (dtr_ && !port_.setDataTerminalReady(true)) port_.clearError();
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

void QtSerialPort::lost(const QString& what) {
    const std::string message =
        "Serial port " + device() + " was lost (" + what.toStdString() + "). Check the cable and the adapter.";
    const std::vector<std::string> details{device(), what.toStdString()};
    port_.close();
    port_.clearError();
    throw platform::PortError(platform::PortError::Reason::Lost, details, message);
}

void QtSerialPort::notOpen() const {
    throw platform::PortError(platform::PortError::Reason::NotOpen, {device()},
                              "Serial port " + device() + " is not open.");
}

void QtSerialPort::checkLine() {
    // When the far end disappears the port reports an error but stays "open".
    switch (port_.error()) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError:
            return;
        default:
            lost(port_.errorString());
    }
}

std::size_t QtSerialPort::bytesAvailable() {
    if (!port_.isOpen()) notOpen();
    checkLine();
    return static_cast<std::size_t>(port_.bytesAvailable());
}

std::vector<std::uint8_t> QtSerialPort::readAll() {
    const QByteArray data = port_.readAll();
    checkLine();
    return {data.begin(), data.end()};
}

void QtSerialPort::discardInput() {
    if (!port_.isOpen()) return;
    port_.readAll();
    port_.clear(QSerialPort::Input);
    checkLine();
}

void QtSerialPort::writeByte(std::uint8_t byte) {
    if (!port_.isOpen()) notOpen();
    const char c = static_cast<char>(byte);
    if (port_.write(&c, 1) != 1) lost(port_.errorString());
    // write() only queues the byte; push it onto the line before the pause
    // that must follow it, or the pacing disappears.
    port_.flush();
    if (port_.bytesToWrite() > 0 && !port_.waitForBytesWritten(200)) lost(QStringLiteral("write timed out"));
    checkLine();
}

}  // namespace zrk::qt
