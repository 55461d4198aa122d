#include "ops/device_operation.h"

namespace zrk::ops {

Outcome<> deviceOperation(state::State& state, const std::function<void()>& operation) {
    try {
        if (!state.guard.run(operation)) return End::NotStarted;
    } catch (const platform::PortError& e) {
        state.link.CerrarCom();
        state.platform.ui.messageBox(e.what(), state.platform.info.title, platform::UserInterface::Icon::Error);
        return {End::PortError, e.what()};
    }
    return End::Done;
}

}  // namespace zrk::ops
