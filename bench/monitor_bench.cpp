// A full read with the line monitor window open, against the same read with
// it closed, over the real serial path against zrk-sim with wire timing.
// Prints figures. Runs on any Qt platform; QT_QPA_PLATFORM=offscreen works
// without a display.
#include <QApplication>
#include <QMainWindow>
#include <cstdio>

#include "bench_support.h"
#include "gui/view/line_monitor_view.h"
#include "ops/parameter_memory.h"

using namespace zrk;

namespace {

constexpr double kLatency = 0.002;
constexpr int kTransactions = 32 + 256;

struct Run {
    double wall = 0, cpu = 0;
    bool ok = false;
};

Run fullRead(bench::ProgramRig& rig) {
    Run run;
    const double wall0 = rig.clock.now(), cpu0 = bench::cpuSeconds();
    run.ok = ops::readUnit(rig.program.state) == ops::End::Done;
    run.wall = rig.clock.now() - wall0;
    run.cpu = bench::cpuSeconds() - cpu0;
    return run;
}

void report(const char* what, const Run& run) {
    const double floor = kTransactions * (16 * bench::kByteSeconds + kLatency + 0.020);
    std::printf("%-28s wall %7.3f s  floor %7.3f s  ratio %6.4f  CPU %5.2f %%%s\n", what, run.wall, floor,
                run.wall / floor, 100.0 * run.cpu / run.wall, run.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    test::SimProcess sim({"--scenario", "all-addresses", "--latency", "2"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "monitor_bench: zrk-sim did not start\n");
        return 1;
    }
    bench::ProgramRig rig(sim.device());
    QMainWindow mainWindow;
    auto* monitor = new gui::LineMonitorView(rig.program, mainWindow);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2;
    bool ok = true;
    for (int round = 0; round < rounds; ++round) {
        monitor->hide();
        const Run closed = fullRead(rig);
        report("full read, monitor closed", closed);
        monitor->show();
        const Run open = fullRead(rig);
        monitor->refresh();
        report("full read, monitor open", open);
        std::printf("  rows shown %d\n", monitor->model()->rowCount());
        ok = ok && closed.ok && open.ok;
    }
    return ok ? 0 : 1;
}
