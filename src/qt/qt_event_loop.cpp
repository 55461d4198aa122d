#include "qt/qt_event_loop.h"

#include <QCoreApplication>
#include <cmath>

namespace zrk::qt {

QtEventLoop::QtEventLoop(const platform::Clock& clock) : clock_(clock) {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtEventLoop::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventLoop::waitUntil(double deadline) {
    const double remaining = deadline - clock_.now();
    if (remaining <= 0) {
        processEvents();
        return;
    }
    // The timer only guarantees that the wait ends; any event ends it sooner.
    wake_.start(static_cast<int>(std::ceil(remaining * 1000.0)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

}  // namespace zrk::qt
