#include "ops/device_operation.h"

namespace zrk::ops {

bool deviceOperation(state::State& state, const std::function<void()>& operation) {
    state.lastPortError.reset();
    try {
        return state.guard.run(operation);
    } catch (const platform::PortError& e) {
        state.link.CerrarCom();
        state.lastPortError = e.what();
        state.platform.ui.messageBox(e.what(), state.platform.info.title, platform::UserInterface::Icon::Error);
    }
    return true;
}

}  // namespace zrk::ops
