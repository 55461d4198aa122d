// A scripted change as zrkctl makes it: get of two fields and set of one,
// over the real serial path against zrk-sim with wire timing and 1 ms unit
// latency, in-process (the program's start-up is not counted). Prints figures.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sstream>

#include "bench_support.h"
#include "cli/commands.h"

using namespace zrk;

namespace {

// Runs one command and prints its time against its target and its floor
// (per transaction 16 bytes on the wire, the latency and the 20 ms pause).
bool timed(bench::ProgramRig& rig, const std::vector<std::string>& args, int transactions, double target) {
    std::ostringstream out, err;
    cli::CommandContext context{rig.program, false, out, err};
    const double wall0 = rig.clock.now(), cpu0 = bench::cpuSeconds();
    const int code = cli::runCommand(context, args);
    const double wall = rig.clock.now() - wall0, cpu = bench::cpuSeconds() - cpu0;
    const double floor = transactions * (16 * bench::kByteSeconds + 0.001 + 0.020);
    std::string command;
    for (const auto& a : args) command += (command.empty() ? "" : " ") + a;
    std::printf("zrkctl %s: %d transactions\n", command.c_str(), transactions);
    std::printf(
        "  wall time   %8.3f s (target %.1f s)\n  floor       %8.3f s\n  ratio       %8.4f\n  CPU share   %8.2f %%\n",
        wall, target, floor, wall / floor, 100.0 * cpu / wall);
    if (code != 0) std::printf("FAILED (exit %d): %s", code, err.str().c_str());
    return code == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    test::SimProcess sim({"--scenario", "led-lantern", "--latency", "1"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "cli_bench: zrk-sim did not start\n");
        return 1;
    }
    QTemporaryDir data;
    bench::ProgramRig rig(sim.device());
    rig.program.state.platform.info.dataFolder = data.path().toStdString();
    // get: the in-use map (32), the fields' cells (1 + 3), the sensor type and the identifier number (3).
    bool ok = timed(rig, {"get", "TPWMLed", "TVelocidadUsuario1"}, 32 + 4 + 3, 2.0);
    // set: the map, the field, the sensor type and the identifier number, the
    // identifier check, the write and its read-back.
    ok = timed(rig, {"set", "TPWMLed=81"}, 32 + 4 + 2 + 1 + 1, 2.5) && ok;
    return ok ? 0 : 1;
}
