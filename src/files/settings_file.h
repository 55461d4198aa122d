#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace zrk::files {

// The five settings of zrk.ini, in file order.
struct Settings {
    std::int16_t PuertoSerie = 1;
    std::int32_t CampoIni2 = 0;  // unused by the tool; kept as read
    std::int32_t CampoIni3 = 0;  // unused by the tool; kept as read
    std::string Idioma = "1";
    std::int16_t CodigoFabrica = 0;  // 853 turns the factory view on

    bool operator==(const Settings&) const = default;
};

class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kSettingsFileName = "zrk.ini";

// Reads the five lines. A missing, unreadable or short file, a line that does
// not convert or a port outside 1 to 9 throws SettingsError naming the file,
// the line and what is wrong.
Settings readSettingsFile(const std::filesystem::path& path);

// The file's text: five lines ending in CR LF, the language code in quotes.
std::string formatSettings(const Settings& settings);

// Replaces the file atomically; throws files::FileError when it cannot.
void writeSettingsFile(const std::filesystem::path& path, const Settings& settings);

}  // namespace zrk::files
