#include "form/device_guard.h"

#include "form/controls.h"

namespace zrk::form {

bool DeviceGuard::run(const std::function<void()>& operation) {
    if (busy_) return false;
    // Puts every control back as it was and frees the guard, on every way out.
    class Hold {
    public:
        Hold(std::vector<Control*>& controls, bool& busy) : controls_(controls), busy_(busy) {
            busy_ = true;
            for (Control* c : controls_) {
                wasEnabled_.push_back(c->Enabled());
                c->setEnabled(false);
            }
        }
        ~Hold() {
            for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i]->setEnabled(wasEnabled_[i]);
            busy_ = false;
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        std::vector<Control*>& controls_;
        bool& busy_;
        std::vector<bool> wasEnabled_;
    } hold(controls_, busy_);
    operation();
    return true;
}

}  // namespace zrk::form
