// A full flash-pattern table write and read (536 transactions each) through
// the program's own operations, on the real serial path against zrk-sim with
// wire timing. Prints figures; judges nothing.
#include <QCoreApplication>
#include <cstdio>

#include "bench_support.h"
#include "ops/segment_transfer.h"

using namespace zrk;

namespace {

struct Figures {
    double wall = 0, cpu = 0;
    bool ok = false;
};

template <typename Operation>
Figures measure(qt::SteadyClock& clock, Operation&& operation) {
    Figures f;
    const double wall0 = clock.now();
    const double cpu0 = bench::cpuSeconds();
    const auto outcome = operation();
    f.wall = clock.now() - wall0;
    f.cpu = bench::cpuSeconds() - cpu0;
    f.ok = outcome.done();
    return f;
}

void print(const char* what, const Figures& f, double floor) {
    std::printf("%s\n", what);
    std::printf("  wall time      %8.3f s\n", f.wall);
    std::printf("  floor          %8.3f s\n", floor);
    std::printf("  ratio          %8.4f\n", f.wall / floor);
    std::printf("  CPU share      %8.2f %%\n", 100.0 * f.cpu / f.wall);
    std::printf("  all answered   %8s\n", f.ok ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    constexpr double kLatency = 0.002;
    test::SimProcess sim({"--latency", "2"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "table_bench: zrk-sim did not start\n");
        return 1;
    }
    bench::ProgramRig rig(sim.device());
    app::Program& program = rig.program;
    qt::SteadyClock& clock = rig.clock;

    // A busy table, so that every byte differs from what the unit held.
    for (int row = 1; row <= 8; ++row) {
        program.frm.LColor(row).setCaption(std::to_string(0x204060 * row % 0x1000000));
        for (int col = 1; col <= 32; ++col) program.flash.pauta(row, col) = (row * 37 + col * 11) % 360;
    }

    // The write alone, as the figures before the read-back were taken; the
    // read that follows checks what it left.
    program.verifyOverride = false;
    const Figures write = measure(clock, [&] { return tables::CEscribirColores_Click(program); });
    const tables::FlashTable written = program.flash;
    tables::BorrarDatosGrid(program.frm, program.flash);
    const Figures read = measure(clock, [&] { return tables::CLeerColores_Click(program); });
    const bool same = program.flash == written;

    // Per transaction: 8 bytes out, 8 back, the unit's latency, the 20 ms pause.
    const double floor = tables::kTransferTransactions * (16 * bench::kByteSeconds + kLatency + 0.020);
    std::printf("Flash-pattern table against zrk-sim (wire timing, latency %.0f ms), %d transactions each\n",
                kLatency * 1000, tables::kTransferTransactions);
    print("table write", write, floor);
    print("table read", read, floor);
    std::printf("read back equals written: %s\n", same ? "yes" : "NO");
    return write.ok && read.ok && same ? 0 : 1;
}
