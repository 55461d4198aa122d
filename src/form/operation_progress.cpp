#include "form/operation_progress.h"

namespace zrk::form {

void OperationProgress::begin(int total) {
    active_ = true;
    cancel_ = false;
    done_ = 0;
    total_ = total;
    notify();
}

void OperationProgress::advance(int count) {
    done_ += count;
    notify();
}

void OperationProgress::end() {
    active_ = false;
    cancel_ = false;
    notify();
}

void OperationProgress::requestCancel() {
    if (!active_) return;
    cancel_ = true;
    notify();
}

}  // namespace zrk::form
