#pragma once

#include <functional>
#include <vector>

namespace zrk::form {
class Control;

// One device operation at a time. While one runs, the buttons of the other
// device operations and the port list are disabled and timer ticks that would start one are
// skipped; everything is put back on every way out, errors included.
class DeviceGuard {
public:
    explicit DeviceGuard(std::vector<Control*> deviceControls) : controls_(std::move(deviceControls)) {}

    bool busy() const { return busy_; }
    // Runs `operation` unless another one is running (then returns false at
    // once). Exceptions pass through after the buttons are restored.
    bool run(const std::function<void()>& operation);

private:
    std::vector<Control*> controls_;
    bool busy_ = false;
};

}  // namespace zrk::form
