#include "qt/qt_clock.h"

#include <chrono>
#include <thread>

namespace zrk::qt {
namespace {
// Sleeping overshoots by some tens of microseconds on a desktop kernel: sleep
// up to this much before the target and spin the rest.
constexpr double kSpinMargin = 150e-6;
}  // namespace

double SteadyClock::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::pauseUntil(double when) {
    const double sleepFor = when - now() - kSpinMargin;
    if (sleepFor > 0) std::this_thread::sleep_for(std::chrono::duration<double>(sleepFor));
    while (now() < when) {
    }
}

}  // namespace zrk::qt
