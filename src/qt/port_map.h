#pragma once

#include <string>

#include "platform/settings_store.h"

namespace zrk::qt {

// Port numbers 1 to 9 name devices through the per-user store, section
// "Ports", keys "Com1" to "Com9"; without an entry the platform default holds.
class PortMap {
public:
    explicit PortMap(const platform::SettingsStore& store) : store_(store) {}
    // The device for a port number; empty for a number outside 1 to 9.
    std::string device(int number) const;
    static std::string defaultDevice(int number);
    // Every port number names this one device (zrkctl --port DEVICE).
    void setFixedDevice(std::string device) { fixed_ = std::move(device); }

private:
    const platform::SettingsStore& store_;
    std::string fixed_;
};

}  // namespace zrk::qt
