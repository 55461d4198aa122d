#pragma once

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/program.h"
#include "no_store.h"
#include "platform/user_interface.h"
#include "qt/port_map.h"
#include "qt/qt_clock.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_serial_port.h"
#include "sim_process.h"

namespace zrk::bench {

// No window: a message box is a line on stderr, nobody chooses colours or files.
class QuietUi : public platform::UserInterface {
public:
    void messageBox(const std::string& text, const std::string&, Icon) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    void beep() override {}
    std::int32_t chooseColor(std::int32_t initial) override { return initial; }
    std::optional<std::filesystem::path> chooseFile(bool, const std::string&, const std::string&,
                                                    const std::string&) override {
        return std::nullopt;
    }
    int screenWidthTwips() const override { return 19200; }
    int screenHeightTwips() const override { return 15360; }
};

// The real serial path (QtSerialPort, steady clock, Qt event loop) to one
// zrk-sim device, as port 1.
struct SerialRig {
    explicit SerialRig(const std::string& device) : ports(store), port(ports), events(clock) {
        ports.setFixedDevice(device);
        port.setPortNumber(1);
    }
    test::NoStore store;
    qt::PortMap ports;
    qt::QtSerialPort port;
    qt::SteadyClock clock;
    qt::QtEventLoop events;
};

// The whole program without a window over that serial path.
struct ProgramRig : SerialRig {
    explicit ProgramRig(const std::string& device)
        : SerialRig(device), platform{port, events, clock, ui, store, programInfo(), {}}, program(platform) {
        program.LoadWithoutWindow();
        port.setPortNumber(1);  // the start-up chooses the port from settings we do not keep
    }
    static platform::ProgramInfo programInfo() {
        platform::ProgramInfo info;
        info.folder = QCoreApplication::applicationDirPath().toStdString();
        return info;
    }
    QuietUi ui;
    platform::Platform platform;
    app::Program program;
};

inline double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The value below which the given share of the samples lie.
inline double percentile(std::vector<double> samples, double share) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

constexpr double kByteSeconds = 10.0 / 9600.0;  // one byte, 8N1, at 9600 baud

}  // namespace zrk::bench
