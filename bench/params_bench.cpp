// A full read and a full write of a unit with every address in use, over
// the real serial path against zrk-sim with wire timing. Prints figures.
#include <QCoreApplication>
#include <cstdio>

#include "bench_support.h"
#include "ops/parameter_memory.h"

using namespace zrk;

namespace {

void report(const char* what, int transactions, double wall, double cpu, double latency) {
    const double floor = transactions * (16 * bench::kByteSeconds + latency + 0.020);
    std::printf("%s: %d transactions\n", what, transactions);
    std::printf("  wall time   %8.3f s\n  floor       %8.3f s\n  ratio       %8.4f\n  CPU share   %8.2f %%\n", wall,
                floor, wall / floor, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    constexpr double kLatency = 0.002;
    test::SimProcess sim({"--scenario", "all-addresses", "--latency", "2"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "params_bench: zrk-sim did not start\n");
        return 1;
    }
    bench::ProgramRig rig(sim.device());
    app::Program& program = rig.program;
    qt::SteadyClock& clock = rig.clock;

    double wall0 = clock.now(), cpu0 = bench::cpuSeconds();
    const auto read = ops::readUnit(program.state);
    report("full read (identify 32 + 256 addresses)", 32 + 256, clock.now() - wall0, bench::cpuSeconds() - cpu0,
           kLatency);

    int writes = 0;
    for (int a = 0; a < 256; ++a) writes += (a <= 246 && params::carriesField(a)) || a >= 254 ? 1 : 0;
    // Every write first reads the identifier number (2 transactions); the
    // verified one then reads back each address it wrote.
    bool ok = read == ops::End::Done;
    for (bool verify : {false, true}) {
        program.state.verifyOverride = verify;
        wall0 = clock.now();
        cpu0 = bench::cpuSeconds();
        const auto written = ops::writeUnit(program.state);
        report(verify ? "verified full write (identifier check + every address with a field + read-back)"
                      : "full write without read-back (identifier check + every address with a field)",
               2 + writes * (verify ? 2 : 1), clock.now() - wall0, bench::cpuSeconds() - cpu0, kLatency);
        ok = ok && written == ops::End::Done;
    }
    if (!ok) std::printf("FAILED: %s\n", program.state.frm.status().c_str());
    return ok ? 0 : 1;
}
