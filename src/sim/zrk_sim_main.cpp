// zrk-sim: a simulated ZRK on a pseudo-terminal, for demos, the integration
// tests and the benchmarks. The first line on standard output is the device
// to open; everything else goes to standard error.

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/line_trace.h"
#include "sim/faults.h"
#include "sim/pty_server.h"
#include "sim/scenario.h"
#include "sim/simulated_unit.h"

namespace {

constexpr const char* kUsage =
    "Usage: zrk-sim [--scenario FILE] [--fault FAULT]... [--latency MS] [--trace FILE] [--exit-on-eof]\n"
    "\n"
    "Serves a simulated ZRK on a pseudo-terminal and prints its device path as\n"
    "the first line of standard output. Runs until SIGINT or SIGTERM (or, with\n"
    "--exit-on-eof, until standard input ends), or until a disconnect fault\n"
    "drops the line.\n"
    "\n"
    "  --scenario FILE  a scenario name from the scenario folder or a path\n"
    "                   (default: led-lantern)\n"
    "  --fault FAULT    none, no-answer, answer-from=N, short, garbage, extra=N,\n"
    "                   delay=MS, drop-every=K, disconnect-after=N, stuck=ADDR\n"
    "                   (that cell answers a write but keeps its byte),\n"
    "                   stall=N:MS (the answer to frame N comes MS late),\n"
    "                   garbage-every=K, free-form (replies with a header of the\n"
    "                   unit's own); on frame K only: silent=K, flip=K[:BIT],\n"
    "                   duplicate=K[:MS] (the reply again MS later, default 40),\n"
    "                   noise=K[:N] (N bytes before the reply), previous=K,\n"
    "                   lose-byte=K; dead-from=K (silent from frame K on, port\n"
    "                   open); segment-stuck=T:OFFSET (that segment cell answers a\n"
    "                   write but keeps its byte); repeat the option or separate\n"
    "                   faults with commas\n"
    "  --latency MS     the unit's answer time after a frame (default 2)\n"
    "  --trace FILE     write every frame received (RX) and reply sent (TX), one\n"
    "                   line each, with the seconds since the start; - for\n"
    "                   standard error\n"
    "  --exit-on-eof    also stop when standard input reaches its end\n"
    "  -h, --help       show this help and exit\n"
    "  -v, --version    show the version and exit\n";

struct Options {
    std::string scenario;
    std::vector<std::string> faults;
    double latencyMs = 2.0;
    std::string trace;
    bool exitOnEof = false;
};

[[noreturn]] void usageError(const std::string& message) {
    std::cerr << "zrk-sim: " << message << "\n\n" << kUsage;
    std::exit(2);
}

Options parseArguments(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) usageError(std::string(argument) + " needs a value");
            return argv[++i];
        };
        if (argument == "--scenario") {
            options.scenario = value();
        } else if (argument == "--fault") {
            options.faults.push_back(value());
        } else if (argument == "--latency") {
            const std::string text = value();
            try {
                std::size_t used = 0;
                options.latencyMs = std::stod(text, &used);
                if (used != text.size() || options.latencyMs < 0) throw std::invalid_argument(text);
            } catch (const std::exception&) {
                usageError("--latency wants milliseconds, not '" + text + "'");
            }
        } else if (argument == "--trace") {
            options.trace = value();
            if (options.trace.empty()) usageError("--trace needs a file, or - for standard error");
        } else if (argument == "--exit-on-eof") {
            options.exitOnEof = true;
        } else if (argument == "--version" || argument == "-v") {
            std::cout << "zrk-sim " << ZRK_VERSION << "\n";
            std::exit(0);
        } else if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else {
            usageError("unknown argument '" + std::string(argument) + "'");
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseArguments(argc, argv);
    try {
        zrk::sim::Faults faults;
        try {
            faults = zrk::sim::parseFaults(options.faults);
        } catch (const zrk::sim::FaultSpecError& error) {
            usageError(error.what());
        }
        zrk::sim::Scenario scenario = zrk::sim::loadScenarioByName(options.scenario);
        zrk::sim::SimulatedUnit unit(std::move(scenario.device), faults);
        zrk::sim::PtyServer server(unit, options.latencyMs / 1000.0);

        std::unique_ptr<std::ofstream> traceFile;
        std::ostream* trace = nullptr;
        if (options.trace == "-") {
            trace = &std::cerr;
        } else if (!options.trace.empty()) {
            traceFile = std::make_unique<std::ofstream>(options.trace, std::ios::binary | std::ios::trunc);
            if (!*traceFile) throw std::runtime_error("cannot write the trace file " + options.trace);
            trace = traceFile.get();
        }
        if (trace != nullptr) {
            // The same clock the server times the line with.
            const double start =
                std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
            server.link().onFrame = [trace, start](double time, const zrk::sim::Frame& frame) {
                *trace << zrk::link::traceBytes(time - start, "RX", {frame.begin(), frame.end()}) << std::flush;
            };
            server.link().onReply = [trace, start](double time, const std::vector<std::uint8_t>& reply) {
                *trace << zrk::link::traceBytes(time - start, "TX", reply) << std::flush;
            };
        }

        std::cout << server.devicePath() << std::endl;
        std::cerr << "zrk-sim: " << scenario.name << " on " << server.devicePath() << ", faults: " << faults.describe()
                  << "\n";

        switch (server.run(options.exitOnEof)) {
            case zrk::sim::PtyServer::StopReason::Signal:
                std::cerr << "zrk-sim: stopped\n";
                break;
            case zrk::sim::PtyServer::StopReason::InputClosed:
                std::cerr << "zrk-sim: input closed, stopping\n";
                break;
            case zrk::sim::PtyServer::StopReason::LineDropped:
                std::cerr << "zrk-sim: line dropped after " << unit.framesReceived() << " frames (disconnect fault)\n";
                break;
        }
        std::cerr << "zrk-sim: " << unit.framesReceived() << " frames received, " << unit.framesAnswered()
                  << " answered\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "zrk-sim: " << error.what() << "\n";
        return 1;
    }
}
