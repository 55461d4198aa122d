#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_port.h"
#include "virtual_clock.h"

namespace zrk::test {

// A port whose far end answers each complete frame with the next scripted
// reply, `delay` seconds after the frame's last byte. An empty reply is no
// answer. Replies run out into silence.
class ScriptedPort : public platform::SerialPort {
public:
    struct Reply {
        std::vector<std::uint8_t> bytes;
        double delay = 0.01;
        // More bytes the far end sends afterwards, each chunk this many
        // seconds after the frame: trailing bytes, chatter, a late answer.
        std::vector<std::pair<double, std::vector<std::uint8_t>>> later = {};
    };
    explicit ScriptedPort(VirtualClock& clock) : clock_(clock) {}

    std::deque<Reply> replies;
    std::vector<std::vector<std::uint8_t>> frames;  // every frame sent
    int opens = 0, closes = 0;
    // When things happened, for checks that depend on timing: each frame's
    // first and last byte, each discard of the input, each byte that arrived.
    struct Arrival {
        double at;
        std::uint8_t byte;
    };
    std::vector<double> frameStarts, frameEnds, discards;
    std::vector<Arrival> arrivals;

    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override { return "scripted" + std::to_string(number); }
    void setDtrEnabled(bool) override {}
    void open() override {
        open_ = true;
        ++opens;
    }
    void close() override {
        if (open_) ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    std::size_t bytesAvailable() override {
        arrive();
        return received_.size();
    }
    std::vector<std::uint8_t> readAll() override {
        arrive();
        return std::exchange(received_, {});
    }
    void discardInput() override {
        arrive();
        received_.clear();
        discards.push_back(clock_.now());
    }
    void writeByte(std::uint8_t byte) override {
        if (!open_) throw platform::PortError(platform::PortError::Reason::NotOpen, {deviceName(number_)}, "not open");
        if (current_.empty()) frameStarts.push_back(clock_.now());
        current_.push_back(byte);
        if (current_.size() < 8) return;
        frames.push_back(std::exchange(current_, {}));
        frameEnds.push_back(clock_.now());
        if (replies.empty()) return;
        schedule(clock_.now() + replies.front().delay, replies.front().bytes);
        for (const auto& [delay, bytes] : replies.front().later) schedule(clock_.now() + delay, bytes);
        replies.pop_front();
    }
    std::optional<double> nextArrivalTime() const override {
        if (pending_.empty()) return std::nullopt;
        return pending_.front().at;
    }

private:
    struct Pending {
        double at;
        std::vector<std::uint8_t> bytes;
    };
    void schedule(double at, const std::vector<std::uint8_t>& bytes) {
        auto it = pending_.begin();
        while (it != pending_.end() && it->at <= at) ++it;
        pending_.insert(it, {at, bytes});
    }
    void arrive() {
        while (!pending_.empty() && pending_.front().at <= clock_.now()) {
            received_.insert(received_.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
            for (std::uint8_t b : pending_.front().bytes) arrivals.push_back({pending_.front().at, b});
            pending_.pop_front();
        }
    }
    VirtualClock& clock_;
    int number_ = 1;
    bool open_ = false;
    std::vector<std::uint8_t> current_, received_;
    std::deque<Pending> pending_;
};

}  // namespace zrk::test
