#include "form/device_guard.h"

#include "form/controls.h"

namespace zrk::app {

bool DeviceGuard::run(const std::function<void()>& operation) {
    if (busy_) return false;
    busy_ = true;
    std::vector<bool> wasEnabled;
    for (Control* b : controls_) {
        wasEnabled.push_back(b->Enabled());
        b->setEnabled(false);
    }
    auto restore = [&] {
        for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i]->setEnabled(wasEnabled[i]);
        busy_ = false;
    };
    try {
        operation();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return true;
}

}  // namespace zrk::app
