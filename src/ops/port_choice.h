#pragma once

namespace zrk::state {
class State;
}

namespace zrk::ops {

// The port list of the setup page: the chosen port is tried once, stored in
// the settings and used by every later operation; a port that cannot be
// opened falls back to port 1. What the operator types into the list is tried
// when the typing is done (Enter, or leaving the list), never on a partial
// text. While a device operation runs the list is left alone.
class PortChoice {
public:
    explicit PortChoice(state::State& state) : program_(state) {}
    void ComboCom_Click();
    void ComboCom_Change();
    void ComboCom_KeyPress(int key);
    void ComboCom_LostFocus();

private:
    bool runSteps(bool saveAndReport);
    bool fallback();
    state::State& program_;
    void tryTypedText();
    bool inFallback_ = false;
    bool typedUntried_ = false;
    bool lastTryWorked_ = false;
};

}  // namespace zrk::ops
