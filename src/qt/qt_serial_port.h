#pragma once

#include <QSerialPort>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "qt/port_map.h"

namespace zrk::qt {

// The folders where serial port lock files ("LCK..ttyUSB0") are kept.
std::vector<std::filesystem::path> lockFolders();

// When a lock file of `device` lies in one of `folders`: the refusal to open
// the port that names it, who left it and what to do about it.
std::optional<platform::PortError> lockFileRefusal(const std::string& device,
                                                   const std::vector<std::filesystem::path>& folders);

// A real serial line through QSerialPort: 9600 baud, 8N1, no flow control,
// DTR asserted while open, raw bytes.
class QtSerialPort : public platform::SerialPort {
public:
    explicit QtSerialPort(const PortMap& ports);

    void setPortNumber(int number) override;
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override { return ports_.device(number); }

    void setDtrEnabled(bool enabled) override { dtr_ = enabled; }
    void open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }

    std::size_t bytesAvailable() override;
    std::vector<std::uint8_t> readAll() override;
    void discardInput() override;
    void writeByte(std::uint8_t byte) override;

private:
    [[noreturn]] void lost(const QString& what);
    [[noreturn]] void notOpen() const;
    void checkLine();
    std::string device() const { return ports_.device(number_); }

    const PortMap& ports_;
    QSerialPort port_;
    int number_ = 0;
    bool dtr_ = false;
};

}  // namespace zrk::qt
