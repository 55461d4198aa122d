#include "files/settings_file.h"

#include <charconv>
#include <limits>
#include <sstream>
#include <vector>

#include "files/atomic_write.h"
#include "files/user_file.h"
#include "platform/path_text.h"

namespace zrk::files {
namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <typename Int>
Int toInteger(const std::string& line, const std::string& where, const char* what) {
    const std::string text = trim(line);
    long long value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    auto [ptr, error] = std::from_chars(begin, end, value);
    if (text.empty() || error == std::errc::invalid_argument || ptr != end)
        throw SettingsError(where + ": the " + what + " \"" + text + "\" is not a whole number.");
    if (error == std::errc::result_out_of_range || value < std::numeric_limits<Int>::min() ||
        value > std::numeric_limits<Int>::max())
        throw SettingsError(where + ": the " + what + " " + text + " is out of range.");
    return static_cast<Int>(value);
}

std::string unquote(const std::string& line) {
    const std::string text = trim(line);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

Settings readSettingsFile(const std::filesystem::path& path) {
    const std::string file = "Settings file " + platform::utf8(path);
    std::string content;
    try {
        content = files::readUserFile(path);
    } catch (const files::UserFileError& e) {
        using Reason = files::UserFileError::Reason;
        switch (e.reason()) {
            case Reason::Missing:
                throw SettingsError(file + " is missing. Reinstall the tool or copy a zrk.ini beside the program.");
            case Reason::Folder:
                throw SettingsError(file + " is a folder, not a file.");
            case Reason::Unreadable:
                throw SettingsError(file + " cannot be read (check its permissions).");
            case Reason::NotRegular:
            case Reason::TooLarge:
                break;
        }
        throw SettingsError(file + " cannot be used: " + e.problem() + ".");
    }

    std::istringstream in(content);
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < 5 && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (lines.size() < 5)
        throw SettingsError(file + " is too short: it has " + std::to_string(lines.size()) +
                            " lines, five are needed (port, two numbers, language code, factory code).");

    auto where = [&](int n) { return file + ", line " + std::to_string(n); };
    Settings s;
    s.PuertoSerie = toInteger<std::int16_t>(lines[0], where(1), "serial port number");
    if (s.PuertoSerie < 1 || s.PuertoSerie > 9)
        throw SettingsError(where(1) + ": serial port " + std::to_string(s.PuertoSerie) + " is outside 1 to 9.");
    s.CampoIni2 = toInteger<std::int32_t>(lines[1], where(2), "value");
    s.CampoIni3 = toInteger<std::int32_t>(lines[2], where(3), "value");
    s.Idioma = unquote(lines[3]);
    s.CodigoFabrica = toInteger<std::int16_t>(lines[4], where(5), "factory code");
    return s;
}

std::string formatSettings(const Settings& s) {
    return std::to_string(s.PuertoSerie) + "\r\n" + std::to_string(s.CampoIni2) + "\r\n" + std::to_string(s.CampoIni3) +
           "\r\n\"" + s.Idioma + "\"\r\n" + std::to_string(s.CodigoFabrica) + "\r\n";
}

void writeSettingsFile(const std::filesystem::path& path, const Settings& settings) {
    files::writeFileAtomically(path, formatSettings(settings));
}

}  // namespace zrk::files
