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
    // Where the help files and the default settings file lie: the program's
    // folder in a build or a portable copy, <prefix>/share/zrk when installed.
    // Empty: the program's folder.
    std::filesystem::path shareFolder{};
    // The user's configuration folder (~/.config/ZRK), for the settings file
    // of a program whose own folder cannot be written. Empty: none.
    std::filesystem::path configFolder{};

    const std::filesystem::path& resources() const { return shareFolder.empty() ? folder : shareFolder; }

    std::string version() const {
        return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
    }
};

}  // namespace zrk::platform
