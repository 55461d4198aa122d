#pragma once

namespace zrk::platform {

// The window's event processing, as seen by the procedures that wait.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Handles the events that are pending and returns.
    virtual void processEvents() = 0;
    // Sleeps until an event arrives (serial input, a timer, operator input)
    // or the steady-clock instant `deadline` passes, handles what arrived and
    // returns. Returns at once when the deadline has already passed.
    virtual void waitUntil(double deadline) = 0;
};

}  // namespace zrk::platform
