#pragma once

#include <functional>
#include <vector>

namespace zrk::app {
class CommandButton;

// One device operation at a time. While one runs, the buttons of the other
// device operations are disabled and timer ticks that would start one are
// skipped; everything is put back on every way out, errors included.
class DeviceGuard {
public:
    explicit DeviceGuard(std::vector<CommandButton*> deviceButtons) : buttons_(std::move(deviceButtons)) {}

    bool busy() const { return busy_; }
    // Runs `operation` unless another one is running (then returns false at
    // once). Exceptions pass through after the buttons are restored.
    bool run(const std::function<void()>& operation);

private:
    std::vector<CommandButton*> buttons_;
    bool busy_ = false;
};

}  // namespace zrk::app
