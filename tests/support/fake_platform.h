#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "virtual_clock.h"

namespace zrk::test {

// An event loop on the virtual clock: waiting jumps to the deadline (or to
// the port's next byte, which the caller already folded into the deadline).
class FakeEventLoop : public platform::EventLoop {
public:
    explicit FakeEventLoop(VirtualClock& clock) : clock_(clock) {}
    void processEvents() override {
        ++processed;
        if (onEvents) onEvents();
    }
    void waitUntil(double deadline) override {
        ++waits;
        clock_.pauseUntil(deadline);
        if (onEvents) onEvents();
    }
    int processed = 0;
    int waits = 0;
    // What "the operator" does while events are processed (press Cancel, ...).
    std::function<void()> onEvents;

private:
    VirtualClock& clock_;
};

// A port that opens or fails by port number and records what is done to it.
// With no unit behind it nothing ever answers.
class FakeSerialPort : public platform::SerialPort {
public:
    std::set<int> missing;         // port numbers whose device does not exist
    std::vector<std::string> log;  // "set 3", "open 3", "close 3", ...
    std::vector<std::uint8_t> written;

    void setPortNumber(int number) override {
        if (number < 1 || number > 9)
            throw platform::PortError(platform::PortError::Reason::NoSuchPort, {std::to_string(number)},
                                      "no port " + std::to_string(number));
        number_ = number;
        log.push_back("set " + std::to_string(number));
    }
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override { return "/dev/fake" + std::to_string(number); }
    void setDtrEnabled(bool) override {}
    void open() override {
        if (missing.count(number_))
            throw platform::PortError(platform::PortError::Reason::NotFound, {deviceName(number_)},
                                      "Cannot open " + deviceName(number_) + ": no such device");
        open_ = true;
        log.push_back("open " + std::to_string(number_));
    }
    void close() override {
        if (open_) log.push_back("close " + std::to_string(number_));
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    std::size_t bytesAvailable() override { return 0; }
    std::vector<std::uint8_t> readAll() override { return {}; }
    void discardInput() override {}
    void writeByte(std::uint8_t byte) override {
        if (!open_)
            throw platform::PortError(platform::PortError::Reason::NotOpen, {deviceName(number_)}, "port not open");
        written.push_back(byte);
    }

private:
    int number_ = 1;
    bool open_ = false;
};

struct MessageRecord {
    std::string text, title;
    platform::UserInterface::Icon icon;
};

class RecordingUi : public platform::UserInterface {
public:
    std::vector<MessageRecord> messages;
    int beeps = 0;
    void messageBox(const std::string& text, const std::string& title, Icon icon) override {
        messages.push_back({text, title, icon});
    }
    void beep() override { ++beeps; }
    // Every confirmation asked, and the answers to give (yes once they run out).
    struct Question {
        std::string question, details;
    };
    std::vector<Question> questions;
    std::vector<bool> answers;
    bool confirm(const std::string& question, const std::string& details, const std::string&) override {
        questions.push_back({question, details});
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    // Questions whose default is no, and the answers to give (no once they run out).
    std::vector<Question> warnings;
    std::vector<bool> warningAnswers;
    bool askDefaultNo(const std::string& question, const std::string& details, const std::string&) override {
        warnings.push_back({question, details});
        if (warningAnswers.empty()) return false;
        const bool answer = warningAnswers.front();
        warningAnswers.erase(warningAnswers.begin());
        return answer;
    }
    // The next colours and files the dialogs hand back.
    std::vector<std::int32_t> colors;
    std::vector<std::optional<std::string>> files;
    std::int32_t chooseColor(std::int32_t initial) override {
        if (colors.empty()) return initial;
        const auto c = colors.front();
        colors.erase(colors.begin());
        return c;
    }
    std::optional<std::filesystem::path> chooseFile(bool, const std::string& filterName, const std::string& pattern,
                                                    const std::string& allFiles) override {
        lastFilter = filterName + "|" + pattern + (allFiles.empty() ? "" : "|" + allFiles);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.erase(files.begin());
        return f;
    }
    std::string lastFilter;
    int screenWidthTwips() const override { return 19200; }  // 1280 px at 96 dpi
    int screenHeightTwips() const override { return 15360; }
};

// Starts nothing; records what it was asked to start. Programs not named in
// `outcomes` are not found.
class RecordingLauncher : public platform::ProcessLauncher {
public:
    struct Call {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Call> calls;
    std::map<std::string, Outcome> outcomes;
    Outcome startDetached(const std::string& program, const std::vector<std::string>& arguments) override {
        calls.push_back({program, arguments});
        auto it = outcomes.find(program);
        if (it != outcomes.end()) return it->second;
        return {Outcome::Kind::NotFound, program + ": not found"};
    }
};

class MemoryStore : public platform::SettingsStore {
public:
    std::map<std::string, std::string> values;  // "app/section/key"
    void setValue(const std::string& app, const std::string& section, const std::string& key,
                  const std::string& value) override {
        values[app + "/" + section + "/" + key] = value;
        order.push_back(key);
    }
    std::optional<std::string> value(const std::string& app, const std::string& section,
                                     const std::string& key) const override {
        auto it = values.find(app + "/" + section + "/" + key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::string> order;
};

// A folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Everything a Program needs, on the virtual clock, with a settings file in
// a temporary folder and a port of the caller's choosing.
// Makes the port a machine talks through, on that machine's clock.
using PortFactory = std::function<std::unique_ptr<platform::SerialPort>(VirtualClock&)>;

struct FakeMachine {
    explicit FakeMachine(const PortFactory& makePort = {}, const std::string& ini = "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
    VirtualClock clock;
    FakeEventLoop events{clock};
    FakeSerialPort fakePort;
    std::unique_ptr<platform::SerialPort> ownedPort;
    RecordingUi ui;
    MemoryStore store;
    RecordingLauncher launcher;
    TempFolder folder;
    // An English (United States) user's machine.
    platform::Platform platform;

    std::string ini() const { return folder.read("zrk.ini"); }
    template <typename Port>
    Port& port() {
        return dynamic_cast<Port&>(platform.port);
    }
};

// A speed-test loop that costs no real time: 200000 passes a virtual millisecond.
void virtualEmptyLoop(VirtualClock& clock, std::int64_t passes);

}  // namespace zrk::test
