// A full flash-pattern table write and read (536 transactions each), and a
// planned, verified write of one changed row, through the program's own
// operations on the real serial path against zrk-sim with wire timing.
// Prints figures; judges nothing.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "ops/device_operation.h"
#include "ops/segment_transfer.h"
#include "ops/table_write.h"

using namespace zrk;

namespace {

constexpr double kLatency = 0.001;
// Per transaction: 8 bytes out, 8 back, the unit's latency, the 20 ms pause.
constexpr double kPerTransaction = 16 * bench::kByteSeconds + kLatency + 0.020;

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
    std::printf("  transactions   %8.0f\n", floor / kPerTransaction);
    std::printf("  wall time      %8.3f s\n", f.wall);
    std::printf("  floor          %8.3f s\n", floor);
    std::printf("  ratio          %8.4f\n", f.wall / floor);
    std::printf("  CPU share      %8.2f %%\n", 100.0 * f.cpu / f.wall);
    std::printf("  all answered   %8s\n", f.ok ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    test::SimProcess sim({"--latency", "1"});
    if (sim.device().empty()) {
        std::fprintf(stderr, "table_bench: zrk-sim did not start\n");
        return 1;
    }
    bench::ProgramRig rig(sim.device());
    app::Program& program = rig.program;
    qt::SteadyClock& clock = rig.clock;
    // The planned write keeps its record and copy, as in use.
    QTemporaryDir data;
    program.state.platform.info.dataFolder = data.path().toStdString();

    // A busy table, so that every byte differs from what the unit held.
    for (int row = 1; row <= 8; ++row) {
        program.state.frm.LColor(row).setCaption(std::to_string(0x204060 * row % 0x1000000));
        for (int col = 1; col <= 32; ++col) program.state.flash.pauta(row, col) = (row * 37 + col * 11) % 360;
    }

    // The write alone, as the figures before the read-back were taken; the
    // read that follows checks what it left.
    program.state.verifyOverride = false;
    const Figures write = measure(
        clock, [&] { return ops::guarded(program.state, [&] { return ops::EscribirColores(program.state); }); });
    const tables::FlashTable written = program.state.flash;
    tables::BorrarDatosGrid(program.state.frm, program.state.flash);
    const Figures read = measure(clock, [&] { return ops::CLeerColores_Click(program.state); });
    const bool same = program.state.flash == written;

    // One row changed in its colour and every entry, written as the button
    // writes it against the table just read: identification, the
    // check before the first cell, the cells, their read-back.
    program.state.verifyOverride = true;
    program.state.frm.LColor(5).setCaption("65535");
    for (int col = 1; col <= 32; ++col) program.state.flash.pauta(5, col) = (col * 7 + 100) % 360;
    const tables::FlashTable planned = program.state.flash;
    std::size_t rowCells = 0;
    const Figures row = measure(clock, [&] {
        auto outcome = ops::CEscribirColores_Click(program.state);
        rowCells = outcome.payload.plan.cells().size();
        return outcome;
    });
    // Bytes an entry shares with the one before it (the high byte of two
    // angles below 256) do not change and are not sent.
    const auto rowTransactions = static_cast<double>(2 + 2 + 2 * rowCells);

    std::printf("Flash-pattern table against zrk-sim (wire timing, latency %.0f ms)\n", kLatency * 1000);
    print("table write, whole, no read-back", write, ops::kTransferTransactions * kPerTransaction);
    print("table read", read, (ops::kTransferTransactions + 2) * kPerTransaction);
    std::printf("read back equals written: %s\n", same ? "yes" : "NO");
    print("verified write of one changed row (target: ratio within 1.1)", row, rowTransactions * kPerTransaction);
    const bool rowSent =
        row.ok && program.state.flashOfUnit && program.state.flashOfUnit->table.pauta(5, 1) == planned.pauta(5, 1);
    std::printf("row written and verified: %s\n", rowSent ? "yes" : "NO");
    return write.ok && read.ok && same && rowSent ? 0 : 1;
}
