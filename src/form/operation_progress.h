#pragma once

#include <functional>

namespace zrk::form {

// Progress of a long device operation (transactions done of those planned)
// and the operator's wish to cancel it. The window shows it as a progress bar
// with a Cancel button in the status bar; Esc presses Cancel.
class OperationProgress {
public:
    void begin(int total);
    void advance(int count = 1);
    void end();
    bool active() const { return active_; }
    int done() const { return done_; }
    int total() const { return total_; }

    // The operator pressed Cancel: the waiting transaction stops waiting and
    // the operation ends as if that transaction had failed.
    void requestCancel();
    bool cancelRequested() const { return cancel_; }

    // Called on every change, for the view.
    std::function<void()> changed;

private:
    void notify() {
        if (changed) changed();
    }
    bool active_ = false;
    bool cancel_ = false;
    int done_ = 0;
    int total_ = 0;
};

}  // namespace zrk::form
