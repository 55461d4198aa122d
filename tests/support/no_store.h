#pragma once

#include <optional>
#include <string>

#include "platform/settings_store.h"

namespace zrk::test {

// A settings store that keeps nothing: every key reads as never set.
class NoStore : public platform::SettingsStore {
public:
    void setValue(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    std::optional<std::string> value(const std::string&, const std::string&, const std::string&) const override {
        return std::nullopt;
    }
};

}  // namespace zrk::test
