#include "ops/device_operation.h"

#include <initializer_list>
#include <string_view>

namespace zrk::ops {

std::string deviceText(const state::State& state, int number) {
    if (state.platform.port.simulated())
        return texts::fill(state.CargarTexto(texts::id::kSimulatedUnitPort), {std::to_string(number)});
    return state.platform.port.deviceName(number);
}

std::string portMessage(const state::State& state, const platform::PortError& error) {
    using Reason = platform::PortError::Reason;
    const auto& details = error.details();
    const auto detail = [&details](std::size_t i) { return i < details.size() ? details[i] : std::string(); };
    const auto text = [&state](int id, std::initializer_list<std::string_view> args) {
        return texts::fill(state.CargarTexto(id), args);
    };
    // The simulated unit is named in the operator's words; a device by its own name.
    const std::string device =
        state.platform.port.simulated() ? deviceText(state, state.platform.port.portNumber()) : detail(0);
    switch (error.reason()) {
        case Reason::NoSuchPort:
            return text(texts::id::kPortDoesNotExist, {detail(0)});
        case Reason::NotFound:
            return text(texts::id::kPortNoSuchDevice, {device});
        case Reason::AccessDenied:
            return text(texts::id::kPortAccessDenied, {device});
        case Reason::PermissionDenied:
            return text(texts::id::kPortPermissionDenied, {device}) +
                   (detail(1).empty() ? std::string() : text(texts::id::kPortJoinGroup, {detail(1)}));
        case Reason::Locked:
            return text(texts::id::kPortLockedByProcess, {device, detail(1), detail(2)});
        case Reason::LockedStale:
            return text(texts::id::kPortLockFileStale,
                        {device, detail(1),
                         detail(2).empty() ? std::string() : text(texts::id::kLockLeftByProcess, {detail(2)})});
        case Reason::AlreadyOpen:
            return text(texts::id::kPortAlreadyOpen, {device});
        case Reason::OpenFailed:
            return text(texts::id::kPortCannotOpen, {device, detail(1)});
        case Reason::Lost:
            return text(texts::id::kPortLost, {device, detail(1)});
        case Reason::LineLost:
            return text(texts::id::kLineLost, {device});
        case Reason::NotOpen:
            return text(texts::id::kPortNotOpen, {device});
        case Reason::Other:
            break;
    }
    return error.what();
}

Outcome<> deviceOperation(state::State& state, const std::function<void()>& operation) {
    try {
        if (!state.guard.run(operation)) return End::NotStarted;
    } catch (const platform::PortError& e) {
        state.link.CerrarCom();
        const std::string message = portMessage(state, e);
        state.platform.ui.messageBox(message, state.platform.info.title, platform::UserInterface::Icon::Error);
        return {End::PortError, message};
    }
    return End::Done;
}

}  // namespace zrk::ops
