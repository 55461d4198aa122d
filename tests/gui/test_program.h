#pragma once

#include <QString>
#include <functional>
#include <string>

#include "app/program.h"
#include "fake_platform.h"

namespace zrk::gui {
class MainWindowView;
}

namespace zrk::test {

// The fake machine's event loop, except that the window's own events are
// processed for real; `onProcess` lets a test look at the screen whenever the
// program hands control to the window.
class QtEventLoop : public platform::EventLoop {
public:
    explicit QtEventLoop(VirtualClock& clock) : clock_(clock) {}
    void processEvents() override;
    void waitUntil(double deadline) override;
    std::function<void()> onProcess;

private:
    VirtualClock& clock_;
};

// A program on the fake machine with a window to show: settings file, fake
// port, virtual clock (the start-up's speed test costs no real time).
struct WindowedProgram {
    // With `makePort`, a unit of the test's choosing on the line (the fake
    // port that never answers when none); `userLanguage` picks the texts.
    explicit WindowedProgram(const std::string& ini = "1\r\n0\r\n0\r\n\"1\"\r\n0\r\n", const PortFactory& makePort = {},
                             const std::string& userLanguage = "en-US");
    WindowedProgram(const std::string& ini, const std::string& userLanguage)
        : WindowedProgram(ini, PortFactory{}, userLanguage) {}

    FakeMachine machine;
    QtEventLoop events{machine.clock};
    platform::Platform platform;
    app::Program program;
    form::FrmMain& frm() { return program.state.frm; }
};

// The first difference between the model's controls and their widgets
// (shown, enabled, texts, check state, items and selection), or an empty
// string when the view mirrors the model.
QString firstMismatch(const gui::MainWindowView& view, const form::FrmMain& frm);

}  // namespace zrk::test
