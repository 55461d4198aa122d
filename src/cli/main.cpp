// zrkctl: the service tool's procedures from the command line.
#include <QCoreApplication>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/program.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/options.h"
#include "files/atomic_file.h"
#include "link/line_trace.h"
#include "ops/device_operation.h"
#include "qt/paths.h"
#include "qt/port_map.h"
#include "qt/qt_clock.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_settings_store.h"
#include "qt/system_locale.h"
#include "qt/user_folders.h"
#include "qt/user_language.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"

using namespace zrk;

int main(int argc, char** argv) {
    // Interrupted or over a file-size limit, a save leaves no temporary file.
    files::removeTemporaryFilesOnSignals();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("ZRK");

    cli::Options options;
    try {
        options = cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "zrkctl: " << e.what() << "\n" << cli::usageText();
        return cli::kUsage;
    }
    if (options.version) {
        std::cout << "zrkctl " << ZRK_VERSION << "\n";
        return cli::kOk;
    }
    if (options.help) {
        std::cout << cli::usageText();
        return cli::kOk;
    }

    qt::SteadyClock clock;
    qt::QtEventLoop events(clock);
    qt::QtSettingsStore store;
    qt::PortMap ports(store);
    std::unique_ptr<platform::SerialPort> port;
    if (options.port == cli::Options::Port::Simulate) {
        try {
            port = std::make_unique<sim::SimulatedPort>(clock, sim::loadScenarioByName(options.scenario).device);
        } catch (const std::exception& e) {
            std::cerr << "zrkctl: cannot start the simulated unit: " << e.what() << "\n";
            return cli::kUsage;
        }
    } else {
        if (options.port == cli::Options::Port::Device) ports.setFixedDevice(options.device);
        port = std::make_unique<qt::QtSerialPort>(ports);
    }
    cli::ConsoleUserInterface ui(std::cerr);
    platform::ProgramInfo info;
    info.folder = qt::programFolder();
    info.shareFolder = qt::installedShareFolder();
    info.configFolder = qt::userConfigFolder();
    info.dataFolder = qt::userDataFolder();
    platform::Platform platform{*port, events, clock, ui, store, info, {}, qt::systemUserLanguage()};
    platform.numbers = qt::systemNumberFormat();

    app::Program program(platform);
    // The window's settings file supplies the port and the factory view when
    // it is there; zrkctl works without one.
    try {
        program.state.settings = files::readSettingsFile(program.state.settingsPath());
    } catch (const files::SettingsError&) {
        program.state.settings = files::Settings{};
    }
    if (options.port == cli::Options::Port::Com)
        program.state.settings.PuertoSerie = static_cast<std::int16_t>(options.com);
    program.LoadWithoutWindow();
    try {
        port->setPortNumber(program.state.settings.PuertoSerie);
    } catch (const platform::PortError& e) {
        std::cerr << "zrkctl: " << ops::portMessage(program.state, e) << "\n";
        return cli::kPortError;
    }

    std::ofstream traceFile;
    std::unique_ptr<link::LineTrace> trace;
    if (!options.trace.empty()) {
        std::ostream* traceOut = &std::cerr;
        if (options.trace != "-") {
            traceFile.open(options.trace, std::ios::binary | std::ios::trunc);
            if (!traceFile) {
                std::cerr << "zrkctl: "
                          << texts::fill(program.state.CargarTexto(texts::id::kCannotWriteTrace), {options.trace})
                          << "\n";
                return cli::kPortError;
            }
            traceOut = &traceFile;
        }
        // Times count from here, when the command starts.
        trace = std::make_unique<link::LineTrace>(*traceOut, clock.now());
        program.state.link.addObserver(trace.get());
    }

    cli::CommandContext context{program, options.json, std::cout, std::cerr};
    const int code = cli::runCommand(context, options.command);
    if (trace) program.state.link.removeObserver(trace.get());
    return code;
}
