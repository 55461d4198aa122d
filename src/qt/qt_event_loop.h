#pragma once

#include <QTimer>

#include "platform/clock.h"
#include "platform/event_loop.h"

namespace zrk::qt {

// Waits in Qt's event loop: serial input, timers and operator input wake it.
class QtEventLoop : public platform::EventLoop {
public:
    explicit QtEventLoop(const platform::Clock& clock);
    void processEvents() override;
    void waitUntil(double deadline) override;

private:
    const platform::Clock& clock_;
    QTimer wake_;
};

}  // namespace zrk::qt
