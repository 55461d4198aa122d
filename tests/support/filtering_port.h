#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/serial_port.h"

namespace zrk::test {

// Passes everything to another port, except the frames `drop` picks, which
// never reach the far end (so they get no answer).
class FilteringPort : public platform::SerialPort {
public:
    using Frame = std::vector<std::uint8_t>;
    FilteringPort(std::unique_ptr<platform::SerialPort> inner, std::function<bool(const Frame&)> drop)
        : inner_(std::move(inner)), drop_(std::move(drop)) {}

    platform::SerialPort& inner() { return *inner_; }

    void setPortNumber(int number) override { inner_->setPortNumber(number); }
    int portNumber() const override { return inner_->portNumber(); }
    std::string deviceName(int number) const override { return inner_->deviceName(number); }
    void setDtrEnabled(bool enabled) override { inner_->setDtrEnabled(enabled); }
    void open() override { inner_->open(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    std::size_t bytesAvailable() override { return inner_->bytesAvailable(); }
    std::vector<std::uint8_t> readAll() override { return inner_->readAll(); }
    void discardInput() override { inner_->discardInput(); }
    std::optional<double> nextArrivalTime() const override { return inner_->nextArrivalTime(); }
    void writeByte(std::uint8_t byte) override {
        if (!inner_->isOpen()) throw platform::PortError("not open");
        frame_.push_back(byte);
        if (frame_.size() < 8) return;
        const Frame frame = std::exchange(frame_, {});
        if (drop_(frame)) return;
        for (auto b : frame) inner_->writeByte(b);
    }

private:
    std::unique_ptr<platform::SerialPort> inner_;
    std::function<bool(const Frame&)> drop_;
    Frame frame_;
};

}  // namespace zrk::test
