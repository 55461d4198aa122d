#pragma once

#include "platform/settings_store.h"

namespace zrk::qt {

// The per-user store through QSettings: one settings file per application
// name, sections as groups.
class QtSettingsStore : public platform::SettingsStore {
public:
    void setValue(const std::string& app, const std::string& section, const std::string& key,
                  const std::string& value) override;
    std::optional<std::string> value(const std::string& app, const std::string& section,
                                     const std::string& key) const override;
};

}  // namespace zrk::qt
