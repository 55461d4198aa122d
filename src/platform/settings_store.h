#pragma once

#include <optional>
#include <string>

namespace zrk::platform {

// The per-user settings store, written by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void setValue(const std::string& app, const std::string& section, const std::string& key,
                          const std::string& value) = 0;
    virtual std::optional<std::string> value(const std::string& app, const std::string& section,
                                             const std::string& key) const = 0;
};

}  // namespace zrk::platform
