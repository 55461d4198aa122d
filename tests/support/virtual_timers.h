#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/frm_main.h"
#include "scripted_port.h"
#include "virtual_clock.h"

namespace zrk::test {

// Fires the model's timers on the virtual clock as the window's timers do:
// a timer is due one period after it is switched on (or its period changes
// while on), again one period after each tick, and never while it is off.
// A tick whose handler overran the period comes as soon as the handler ends.
class VirtualTimers {
public:
    VirtualTimers(form::FrmMain& frm, VirtualClock& clock, std::vector<form::TimerControl*> timers)
        : frm_(frm), clock_(clock) {
        for (auto* timer : timers) armed_[timer] = {};
        token_ = frm.controls().hub().subscribe([this](form::Control& control, form::Prop prop) {
            if (prop != form::Prop::Enabled && prop != form::Prop::Interval) return;
            for (auto& entry : armed_)
                if (entry.first == &control) rearm(*entry.first, clock_.now());
        });
    }
    ~VirtualTimers() { frm_.controls().hub().unsubscribe(token_); }
    VirtualTimers(const VirtualTimers&) = delete;
    VirtualTimers& operator=(const VirtualTimers&) = delete;

    struct Tick {
        std::string timer;
        double at;
    };
    std::vector<Tick> ticks;

    // Fires every tick due up to `until`, in time order, then moves the clock there.
    void runUntil(double until) {
        for (;;) {
            form::TimerControl* next = nullptr;
            for (auto& [timer, arm] : armed_)
                if (arm.due && *arm.due <= until && (!next || *arm.due < *armed_[next].due)) next = timer;
            if (!next) break;
            Arm& arm = armed_[next];
            const double due = *arm.due;
            const int generation = arm.generation;
            clock_.pauseUntil(due);
            arm.due.reset();
            ticks.push_back({next->name(), clock_.now()});
            next->Timer();
            // Re-armed by its own handler (switched off and on): that counts.
            if (arm.generation == generation && next->running())
                arm.due = std::max(due + next->Interval() / 1000.0, clock_.now());
        }
        clock_.pauseUntil(until);
    }

    std::vector<double> tickTimes(const std::string& timer) const {
        std::vector<double> out;
        for (const auto& tick : ticks)
            if (tick.timer == timer) out.push_back(tick.at);
        return out;
    }

private:
    struct Arm {
        std::optional<double> due;
        int generation = 0;
    };
    void rearm(form::TimerControl& timer, double now) {
        Arm& arm = armed_[&timer];
        ++arm.generation;
        if (timer.running())
            arm.due = now + timer.Interval() / 1000.0;
        else
            arm.due.reset();
    }

    form::FrmMain& frm_;
    VirtualClock& clock_;
    std::map<form::TimerControl*, Arm> armed_;
    int token_ = 0;
};

// A scripted unit whose wait for a reply lets the window act once, as the
// event loop does during a transaction: a tick or a press arrives mid-way.
class InterruptedPort : public ScriptedPort {
public:
    using ScriptedPort::ScriptedPort;
    std::function<void()> duringFirstWait;
    std::size_t bytesAvailable() override {
        if (duringFirstWait) std::exchange(duringFirstWait, {})();
        return ScriptedPort::bytesAvailable();
    }
};

// A status reply carrying `data` in Dato3.
inline ScriptedPort::Reply statusReply(std::uint8_t selector, std::uint8_t data) {
    std::vector<std::uint8_t> bytes{74, 88, 0, 0, 5, selector, data, 0};
    bytes[7] = static_cast<std::uint8_t>(255 ^ bytes[2] ^ bytes[3] ^ bytes[4] ^ bytes[5] ^ bytes[6]);
    return {bytes};
}
// A transaction that gets no answer: three silent attempts.
inline void addUnanswered(ScriptedPort& port) {
    for (int attempt = 0; attempt < 3; ++attempt) port.replies.push_back({});
}

}  // namespace zrk::test
