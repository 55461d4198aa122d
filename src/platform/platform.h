#pragma once

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/number_format.h"
#include "platform/program_info.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/user_interface.h"

namespace zrk::platform {

// Everything the core asks of the machine it runs on, handed down by main.
struct Platform {
    SerialPort& port;
    EventLoop& events;
    Clock& clock;
    UserInterface& ui;
    SettingsStore& store;
    ProgramInfo info;
    NumberFormat numbers;
};

}  // namespace zrk::platform
