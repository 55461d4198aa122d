// libFuzzer target: any bytes as zrk.ini. The reader either refuses the file
// with a SettingsError or returns settings with a port from 1 to 9; those
// settings, written and read again, must come back unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/settings_file.h"

using namespace zrk;

namespace {

const std::filesystem::path& scratch() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("zrk-settings-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = scratch() / "zrk.ini";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    files::Settings settings;
    try {
        settings = files::readSettingsFile(file);
    } catch (const files::SettingsError&) {
        return 0;
    }
    if (settings.PuertoSerie < 1 || settings.PuertoSerie > 9) std::abort();
    files::writeSettingsFile(file, settings);
    if (!(files::readSettingsFile(file) == settings)) std::abort();
    return 0;
}
