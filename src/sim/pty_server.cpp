#include "sim/pty_server.h"

#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zrk::sim {

namespace {

// A signal handler can reach nothing but static storage.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int) { stopSignal = 1; }

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void failSystem(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

timespec toTimespec(double seconds) {
    if (seconds < 0) seconds = 0;
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>((seconds - static_cast<double>(result.tv_sec)) * 1e9);
    return result;
}

// Blocks SIGINT and SIGTERM outside pselect so a signal can only land while
// the loop sleeps, never between its flag test and the sleep.
class StopSignals {
public:
    StopSignals() {
        sigset_t stopSet;
        sigemptyset(&stopSet);
        sigaddset(&stopSet, SIGINT);
        sigaddset(&stopSet, SIGTERM);
        sigprocmask(SIG_BLOCK, &stopSet, &previousMask_);
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
        waitMask_ = previousMask_;
        sigdelset(&waitMask_, SIGINT);
        sigdelset(&waitMask_, SIGTERM);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
        sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    const sigset_t* waitMask() const { return &waitMask_; }

private:
    sigset_t previousMask_{};
    sigset_t waitMask_{};
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

}  // namespace

PtyServer::PtyServer(SimulatedUnit& unit, double latencySeconds)
    : link_(std::make_unique<UnitLink>(unit, latencySeconds)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) failSystem("cannot open a pseudo-terminal");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        closeTerminal();
        failSystem("cannot unlock the pseudo-terminal");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        closeTerminal();
        failSystem("cannot name the pseudo-terminal");
    }
    devicePath_ = name;
    slave_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        closeTerminal();
        failSystem("cannot open " + devicePath_);
    }
    // Raw 8N1, no echo: clients get exactly the bytes the unit sends.
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(slave_, TCSANOW, &settings);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyServer::~PtyServer() { closeTerminal(); }

void PtyServer::closeTerminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = -1;
    master_ = -1;
}

PtyServer::StopReason PtyServer::run(bool watchStandardInput) {
    const StopSignals signals;
    std::array<std::uint8_t, 256> buffer{};
    while (true) {
        if (stopSignal) return StopReason::Signal;

        double now = steadySeconds();
        for (const auto& due : link_->takeBytesUpTo(now)) {
            // A full terminal buffer means nobody reads: the byte is lost,
            // as on a line with no listener.
            [[maybe_unused]] const auto written = ::write(master_, &due.byte, 1);
        }
        if (link_->isLineLost(now)) {
            // The terminal layer hands bytes over to the client's side a
            // moment after write(); closing at once could swallow the last.
            const timespec grace = toTimespec(0.02);
            pselect(0, nullptr, nullptr, nullptr, &grace, signals.waitMask());
            closeTerminal();
            return StopReason::LineDropped;
        }

        std::optional<double> wakeAt = link_->nextByteTime();
        if (const auto lost = link_->lineLostAt(); lost && (!wakeAt || *lost < *wakeAt)) wakeAt = lost;
        timespec timeout{};
        if (wakeAt) timeout = toTimespec(*wakeAt - now);

        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(master_, &readable);
        if (watchStandardInput) FD_SET(STDIN_FILENO, &readable);
        const int ready =
            pselect(master_ + 1, &readable, nullptr, nullptr, wakeAt ? &timeout : nullptr, signals.waitMask());
        if (ready < 0) {
            if (errno == EINTR) continue;
            failSystem("waiting for the pseudo-terminal");
        }
        if (ready == 0) continue;

        if (FD_ISSET(master_, &readable)) {
            const auto count = ::read(master_, buffer.data(), buffer.size());
            now = steadySeconds();
            if (count > 0) {
                for (ssize_t i = 0; i < count; ++i) link_->receive(buffer[static_cast<std::size_t>(i)], now);
            } else if (count < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                failSystem("reading from the pseudo-terminal");
            }
        }
        if (watchStandardInput && FD_ISSET(STDIN_FILENO, &readable)) {
            const auto count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
            if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) return StopReason::InputClosed;
        }
    }
}

}  // namespace zrk::sim
