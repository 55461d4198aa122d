#include "form/control_registry.h"

namespace zrk::form {

Control* ControlRegistry::find(const std::string& name, int index) const {
    const std::string key = index < 0 ? name : name + "(" + std::to_string(index) + ")";
    auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

Control& ControlRegistry::at(const std::string& name, int index) const {
    if (Control* control = find(name, index)) return *control;
    throw ControlError("No control " + (index < 0 ? name : name + "(" + std::to_string(index) + ")"));
}

}  // namespace zrk::form
