// Real time, against the zrk-sim program on a pseudo-terminal: only what the
// virtual-clock tests cannot show (the program starts, prints its device,
// serves a real client, survives a reopen, drops the line on request).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "sim/frame.h"
#include "sim_process.h"

namespace zrk::sim {
namespace {

using Clock = std::chrono::steady_clock;

class PtyServerTest : public testing::Test {
protected:
    // Starts zrk-sim and returns the device path from its first line.
    std::string start(const std::vector<std::string>& arguments) {
        sim_.emplace(arguments);
        return sim_->device();
    }

    static bool waitReadable(int fd, int milliseconds) {
        pollfd entry{fd, POLLIN, 0};
        return poll(&entry, 1, milliseconds) > 0;
    }

    static int openRaw(const std::string& device) {
        const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return fd;
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        cfsetispeed(&settings, B9600);
        cfsetospeed(&settings, B9600);
        tcsetattr(fd, TCSANOW, &settings);
        return fd;
    }

    // Sends a frame and collects what comes back within `limit`.
    static std::vector<std::uint8_t> transact(int fd, const Frame& frame, std::size_t wanted,
                                              std::chrono::milliseconds limit) {
        EXPECT_EQ(write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
        std::vector<std::uint8_t> received;
        const auto deadline = Clock::now() + limit;
        while (received.size() < wanted && Clock::now() < deadline) {
            if (!waitReadable(fd, 20)) continue;
            std::uint8_t buffer[64];
            const auto count = read(fd, buffer, sizeof buffer);
            if (count <= 0) break;
            received.insert(received.end(), buffer, buffer + count);
        }
        return received;
    }

    std::optional<test::SimProcess> sim_;
};

std::vector<std::uint8_t> bytesOf(const Frame& frame) { return {frame.begin(), frame.end()}; }

TEST_F(PtyServerTest, AnswersAFrameAndStopsOnSigterm) {
    const std::string device = start({"--scenario", "led-lantern"});
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << "first line: " << device;
    const int fd = openRaw(device);
    ASSERT_GE(fd, 0) << device;

    EXPECT_EQ(transact(fd, makeCommand(1, 252, 0), 8, std::chrono::milliseconds(500)),
              bytesOf(makeFrame(0, 1, 252, 62)));
    close(fd);

    sim_->terminate();
    EXPECT_EQ(sim_->waitForExit(), 0);
}

TEST_F(PtyServerTest, KeepsServingAfterTheClientReopens) {
    const std::string device = start({"--scenario", "old-unit"});
    for (int round = 0; round < 2; ++round) {
        const int fd = openRaw(device);
        ASSERT_GE(fd, 0) << device;
        EXPECT_EQ(transact(fd, makeCommand(1, 253, 0), 8, std::chrono::milliseconds(500)),
                  bytesOf(makeFrame(0, 1, 253, 3)))
            << "round " << round;
        close(fd);
    }
}

TEST_F(PtyServerTest, TerminalIsRawWithoutTheClientAskingForIt) {
    const std::string device = start({});
    // Carriage return, line feed and interrupt bytes must cross unchanged.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << device;
    const Frame frame = makeCommand(6, 3, 0, 0x0D0A);
    EXPECT_EQ(transact(fd, frame, 8, std::chrono::milliseconds(500)), bytesOf(makeFrame(0x0D0A, 6, 3, 0)));
    close(fd);
}

TEST_F(PtyServerTest, DisconnectFaultClosesTheTerminal) {
    const std::string device = start({"--fault", "disconnect-after=1"});
    const int fd = openRaw(device);
    ASSERT_GE(fd, 0) << device;
    EXPECT_EQ(transact(fd, makeCommand(5, 0, 0), 8, std::chrono::milliseconds(500)).size(), 8u);
    EXPECT_EQ(sim_->waitForExit(), 0);
    // The client sees the loss: a hang-up or an error, not silence.
    pollfd entry{fd, POLLIN, 0};
    ASSERT_EQ(poll(&entry, 1, 200), 1);
    EXPECT_NE(entry.revents & (POLLHUP | POLLERR), 0);
    close(fd);
}

TEST_F(PtyServerTest, EndsWithItsInput) {
    start({});
    sim_->closeInput();
    EXPECT_EQ(sim_->waitForExit(), 0);
}

TEST_F(PtyServerTest, RejectsABadFaultSpec) {
    EXPECT_EQ(start({"--fault", "sometimes"}), "");
    EXPECT_EQ(sim_->waitForExit(), 2);
}

}  // namespace
}  // namespace zrk::sim
