#pragma once

#include <filesystem>
#include <string>

namespace zrk::platform {

// Facts about the running program file.
struct ProgramInfo {
    std::filesystem::path folder;  // where the program file (and zrk.ini) lives
    std::string title = "ZRK";
    int major = 1, minor = 0, revision = 0;
    // The user's own data folder of the tool (the write log and the copies
    // kept before each write); empty: no such record is kept.
    std::filesystem::path dataFolder{};

    std::string version() const {
        return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
    }
};

}  // namespace zrk::platform
