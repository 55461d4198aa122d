#include "qt/port_map.h"

namespace zrk::qt {

std::string PortMap::defaultDevice(int number) {
    if (number < 1 || number > 9) return {};
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    // USB adapters first (what a laptop on a quay has), then on-board ports.
    if (number <= 4) return "/dev/ttyUSB" + std::to_string(number - 1);
    if (number <= 8) return "/dev/ttyS" + std::to_string(number - 5);
    return "/dev/ttyACM0";
#endif
}

std::string PortMap::device(int number) const {
    if (number < 1 || number > 9) return {};
    if (!fixed_.empty()) return fixed_;
    if (auto configured = store_.value("ZRK", "Ports", "Com" + std::to_string(number));
        configured && !configured->empty())
        return *configured;
    return defaultDevice(number);
}

}  // namespace zrk::qt
