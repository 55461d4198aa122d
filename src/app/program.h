#pragma once

#include "ops/port_choice.h"
#include "platform/platform.h"
#include "state/state.h"

namespace zrk::app {

// The running tool: the shared state and what only the program itself does,
// the start-up, the closing and the wiring of every handler. main owns
// exactly one; a procedure takes only its state.
class Program {
public:
    explicit Program(platform::Platform& platform);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    state::State state;
    ops::PortChoice portChoice{state};

    // Start-up: splash, settings, main window. Returns the exit code to end
    // with right away (the settings could not be loaded), else 0. The start-up
    // processes events, so the operator may already have closed the window
    // when it returns: unloaded() then tells that there is nothing to wait for.
    int Main();
    void Form_Load();
    // The form as the start-up leaves it, for work without a window (zrkctl):
    // no settings rewrite, no port test, no speed test.
    void LoadWithoutWindow();
    // The caption says that the simulated unit answers on every port.
    void showSimulatedUnit();
    void ComboIdioma_Click();
    void Form_Unload();
    // Asks before unwritten parameter or table changes are lost (No by
    // default); true when there are none or the operator lets them go.
    bool mayExit();
    void Csalir_Click();
    bool unloaded() const { return unloaded_; }

private:
    // Hooks every handler of the forms to its procedure (wiring.cpp).
    void wireHandlers();
    void fillParameterLists();
    void setCaptions();
    bool unloaded_ = false;
};

}  // namespace zrk::app
