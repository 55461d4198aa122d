#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zrk::test {

// zrk-sim started as a child process for the length of a test or benchmark:
// the pty it serves, and nothing left running afterwards. It runs with
// --exit-on-eof, so it also ends when this process dies; its standard error
// goes where ours goes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& arguments = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the program printed: its device path, or empty when it
    // did not start or refused its arguments.
    const std::string& device() const { return device_; }

    void terminate();   // SIGTERM
    void closeInput();  // the end of its standard input
    // The exit status (128 + signal when killed by one), or -1 when it does
    // not end within a second; then it is killed.
    int waitForExit();

private:
    int waitForExit(int milliseconds);

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string device_;
};

}  // namespace zrk::test
