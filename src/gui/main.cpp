// zrk: the service tool's window.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/program.h"
#include "files/atomic_file.h"
#include "gui/event_loop_run.h"
#include "gui/view/drawing_window_view.h"
#include "gui/view/main_window_view.h"
#include "gui/view/splash_view.h"
#include "gui/widgets_ui.h"
#include "qt/paths.h"
#include "qt/port_map.h"
#include "qt/qt_clock.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_process_launcher.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_settings_store.h"
#include "qt/system_locale.h"
#include "qt/user_folders.h"
#include "qt/user_language.h"
#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "texts/texts.h"

namespace {

// "--simulate" or "--simulate=SCENARIO": the scenario name, else nothing.
std::optional<std::string> simulateOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--simulate") return std::string();
        if (arg.rfind("--simulate=", 0) == 0) return arg.substr(11);
    }
    return std::nullopt;
}

// Qt's own texts (the buttons of message boxes, the file dialogs) in the
// language of the window's texts. Without Qt's translations installed they
// stay English, as for the English and neutral sets.
void loadQtTexts(QApplication& application, QTranslator& translator, zrk::texts::Language language) {
    using zrk::texts::Language;
    QString name;
    switch (language) {
        case Language::SpanishTraditional:
        case Language::SpanishModern:
            name = QStringLiteral("qtbase_es");
            break;
        case Language::French:
            name = QStringLiteral("qtbase_fr");
            break;
        case Language::Neutral:
        case Language::English:
            return;
    }
    if (translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&translator);
}

bool displayAvailable() {
#if defined(__linux__)
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

}  // namespace

constexpr const char* kHelp =
    "Usage: zrk [options]\n"
    "The ZRK service tool: identify a lantern controller on a serial line, read its\n"
    "parameters into a form, edit and write them back, keep them in files, watch\n"
    "its status and send it remote commands.\n"
    "\n"
    "Options:\n"
    "  -h, --help                Show this help and exit.\n"
    "  -v, --version             Show the version and exit.\n"
    "  --simulate[=SCENARIO]     Attach the built-in simulated unit to every port\n"
    "                            instead of a real line (led-lantern,\n"
    "                            rotating-lantern, old-unit).\n"
    "\n"
    "The settings file zrk.ini lies beside the program when that folder can be\n"
    "written, otherwise in ~/.config/ZRK. zrkctl does the same work without a window.\n";

int main(int argc, char** argv) {
    // Answered before a display is looked for: they need none.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version" || arg == "-v") {
            std::printf("zrk %s\n", ZRK_VERSION);
            return 0;
        }
    }
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "zrk: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it from a desktop session, or under a virtual display: xvfb-run -a zrk --simulate\n"
                     "For work without a window use zrkctl (zrkctl --help).\n");
        return 2;
    }
    zrk::files::removeTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    QApplication::setApplicationName("ZRK");
    zrk::gui::useReadableFace();

    zrk::qt::SteadyClock clock;
    zrk::qt::QtEventLoop events(clock);
    zrk::qt::QtSettingsStore store;
    zrk::qt::PortMap ports(store);
    // The simulated unit answers on every port number, so the start-up's
    // port test and every operation work without a unit attached.
    const auto scenario = simulateOption(argc, argv);
    std::unique_ptr<zrk::platform::SerialPort> port;
    if (scenario) {
        try {
            port = std::make_unique<zrk::sim::SimulatedPort>(clock, zrk::sim::loadScenarioByName(*scenario).device);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zrk: cannot start the simulated unit: %s\n", e.what());
            return 2;
        }
    } else {
        port = std::make_unique<zrk::qt::QtSerialPort>(ports);
    }
    zrk::gui::WidgetsUserInterface ui;

    zrk::platform::ProgramInfo info;
    info.folder = zrk::qt::programFolder();
    info.shareFolder = zrk::qt::installedShareFolder();
    info.configFolder = zrk::qt::userConfigFolder();
    info.title = "ZRK";
    info.major = ZRK_VERSION_MAJOR;
    info.minor = ZRK_VERSION_MINOR;
    info.revision = ZRK_VERSION_PATCH;
    info.dataFolder = zrk::qt::userDataFolder();
    zrk::qt::QtProcessLauncher launcher;
    const std::string language = zrk::qt::systemUserLanguage();
    QTranslator qtTexts;
    loadQtTexts(application, qtTexts, zrk::texts::languageFromLocaleName(language));
    zrk::platform::Platform platform{*port, events, clock, ui, store, info, {}, language, launcher};
    platform.numbers = zrk::qt::systemNumberFormat();

    zrk::app::Program program(platform);
    zrk::gui::SplashView splash(program.state.splash);
    zrk::gui::MainWindowView window(program);
    zrk::gui::DrawingWindowView drawing(program.state.dibujo);
    if (const int exitCode = program.Main(); exitCode != 0) return exitCode;
    if (scenario && !program.unloaded()) program.showSimulatedUnit();
    return zrk::gui::runUntilClosed(program);
}
