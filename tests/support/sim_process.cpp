#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace zrk::test {
namespace {

using Clock = std::chrono::steady_clock;

int remainingMilliseconds(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    // Close-on-exec, so that no other child (zrkctl, a second simulator)
    // holds the simulator's input open after we close it.
    int out[2];
    int in[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    if (pipe2(in, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);

    std::vector<std::string> all = {ZRK_SIM_EXECUTABLE, "--exit-on-eof"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(in[0]);
    stdout_ = out[0];
    stdin_ = in[1];
    if (spawned != 0) return;
    pid_ = pid;

    // The device path is the first line; the pipe stays open afterwards so
    // that a later line never meets a closed reader.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::string line;
    char c = 0;
    while (line.size() < 200) {
        pollfd entry{stdout_, POLLIN, 0};
        if (poll(&entry, 1, remainingMilliseconds(deadline)) <= 0) return;
        if (read(stdout_, &c, 1) != 1 || c == '\n') break;
        line += c;
    }
    device_ = line;
}

SimProcess::~SimProcess() {
    closeInput();
    waitForExit(2000);
    if (stdout_ >= 0) close(stdout_);
}

void SimProcess::terminate() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

void SimProcess::closeInput() {
    if (stdin_ >= 0) close(stdin_);
    stdin_ = -1;
}

int SimProcess::waitForExit() { return waitForExit(1000); }

int SimProcess::waitForExit(int milliseconds) {
    if (pid_ <= 0) return -1;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    int status = 0;
    int result = -1;
    for (;;) {
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (ended < 0 && errno != EINTR) break;  // not ours to wait for any more
        if (Clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(2000);
    }
    pid_ = -1;
    return result;
}

}  // namespace zrk::test
