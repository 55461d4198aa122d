// Transaction throughput and pause accuracy on the real serial path against
// zrk-sim with wire timing. Prints figures; judges nothing.
#include <QCoreApplication>
#include <cstdio>

#include "bench_support.h"
#include "link/device_link.h"
#include "link/protocol.h"

using namespace zrk;

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    constexpr double kLatency = 0.002;
    constexpr int kTransactions = 256;
    test::SimProcess sim({"--latency", "2"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "link_bench: zrk-sim did not start\n");
        return 1;
    }
    bench::SerialRig rig(sim.device());
    qt::SteadyClock& clock = rig.clock;
    int failures = 0;
    link::DeviceLink link(rig.port, rig.events, clock, [&](const std::string&) {});
    link.ContadorPausa = 1;

    link.AbrirCom();
    const double wall0 = clock.now();
    const double cpu0 = bench::cpuSeconds();
    for (int i = 0; i < kTransactions; ++i)
        if (link.EnviarComando(link::readMemoryFrame(i)).Resultado != link::kAck) ++failures;
    const double wall = clock.now() - wall0;
    const double cpu = bench::cpuSeconds() - cpu0;
    link.CerrarCom();

    const double floor = kTransactions * (16 * bench::kByteSeconds + kLatency + 0.020);
    std::printf("256 read transactions against zrk-sim (wire timing, latency %.0f ms)\n", kLatency * 1000);
    std::printf("  wall time      %8.3f s\n", wall);
    std::printf("  floor          %8.3f s  (8 bytes out, 8 back, latency, 20 ms pause)\n", floor);
    std::printf("  ratio          %8.4f\n", wall / floor);
    std::printf("  CPU share      %8.2f %%\n", 100.0 * cpu / wall);
    std::printf("  failed         %8d\n", failures);

    for (int units : {1, 20}) {
        std::vector<double> errors;
        for (int i = 0; i < 500; ++i) {
            const double t0 = clock.now();
            link.Pausa(units);
            errors.push_back((clock.now() - t0 - units / 1000.0) * 1e6);
        }
        std::printf("Pausa(%d) error: median %.1f us, p99 %.1f us\n", units, bench::percentile(errors, 0.5),
                    bench::percentile(errors, 0.99));
    }
    return failures == 0 ? 0 : 1;
}
