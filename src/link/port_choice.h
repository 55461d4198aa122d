#pragma once

namespace zrk::app {
class Program;
}

namespace zrk::link {

// The port list of the setup page: the chosen port is tried once, stored in
// the settings and used by every later operation; a port that cannot be
// opened falls back to port 1.
class PortChoice {
public:
    explicit PortChoice(app::Program& program) : program_(program) {}
    void ComboCom_Click();
    void ComboCom_Change();

private:
    bool runSteps(bool saveAndReport);
    bool fallback();
    app::Program& program_;
    bool inFallback_ = false;
    bool lastTryWorked_ = false;
};

}  // namespace zrk::link
