#include "sim/scenario.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#ifndef ZRK_SIM_SCENARIO_DIR
#error "ZRK_SIM_SCENARIO_DIR must name the scenario folder"
#endif

namespace zrk::sim {

namespace {

// A flash-pattern row entry that holds no angle.
constexpr long kEmptyAngle = 511;

// Splits a line into words; a double-quoted word may hold blanks and '#'.
// '#' outside quotes starts a comment.
std::vector<std::string> splitWords(const std::string& line, std::string& error) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const auto close = line.find('"', i + 1);
            if (close == std::string::npos) {
                error = "missing closing quote";
                return {};
            }
            words.push_back(line.substr(i, close - i + 1));
            i = close + 1;
        } else {
            const auto end = line.find_first_of(" \t\r#", i);
            words.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return words;
}

// Decimal, or hexadecimal with 0x, or binary with 0b.
std::optional<long> parseInteger(const std::string& text) {
    int base = 10;
    std::size_t skip = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        skip = 2;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        base = 2;
        skip = 2;
    }
    long value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data() + skip, last, value, base);
    if (text.empty() || error != std::errc{} || end != last) return std::nullopt;
    return value;
}

class LineParser {
public:
    LineParser(std::string where, std::vector<std::string> words)
        : where_(std::move(where)), words_(std::move(words)) {}

    [[noreturn]] void fail(const std::string& message) const {
        throw ScenarioError(where_ + ": " + words_[0] + ": " + message);
    }

    std::size_t count() const { return words_.size() - 1; }
    const std::string& word(std::size_t index) const { return words_.at(index + 1); }

    void expectCount(std::size_t minimum, std::size_t maximum, const char* usage) const {
        if (count() < minimum || count() > maximum) fail(std::string("expected '") + words_[0] + " " + usage + "'");
    }

    long number(std::size_t index, long minimum, long maximum, const char* what) const {
        const std::string& text = word(index);
        const std::optional<long> value = parseInteger(text);
        if (!value) fail(std::string(what) + " '" + text + "' is not a number");
        if (*value < minimum || *value > maximum) {
            fail(std::string(what) + " " + text + " is outside " + std::to_string(minimum) + "-" +
                 std::to_string(maximum));
        }
        return *value;
    }

    bool flag(std::size_t index, const char* onWord, const char* offWord) const {
        if (word(index) == onWord) return true;
        if (word(index) == offWord) return false;
        fail("expected " + std::string(onWord) + " or " + offWord + ", not '" + word(index) + "'");
    }

    std::string rest() const {
        std::string text;
        for (std::size_t i = 0; i < count(); ++i) text += (i ? " " : "") + word(i);
        return text;
    }

private:
    std::string where_;
    std::vector<std::string> words_;
};

using Handler = std::function<void(const LineParser&, Scenario&)>;

void storeBigEndian(const LineParser& line, DeviceModel& device, int size) {
    const long address = line.number(0, 0, DeviceModel::kMemorySize - size, "address");
    const long value = line.number(1, 0, (1L << (8 * size)) - 1, "value");
    for (int i = 0; i < size; ++i) {
        device.setMemory(static_cast<int>(address) + i,
                         static_cast<std::uint8_t>(value >> (8 * (size - 1 - i)) & 0xFF));
    }
}

// A flash-pattern row goes to segment table (row + 1) / 2: odd rows at offset
// 0, even rows at 128; blue, green, red, then 32 angle entries high byte first.
void storePatternRow(const LineParser& line, DeviceModel& device) {
    if (line.count() < 4 || line.count() > 4 + 32)
        line.fail("expected 'pattern ROW RED GREEN BLUE [ANGLE...]' with at most 32 angles");
    const int row = static_cast<int>(line.number(0, 1, 8, "row"));
    const int table = (row + 1) / 2;
    const int base = row % 2 == 1 ? 0 : 128;
    device.setSegment(table, base + 0, static_cast<std::uint8_t>(line.number(3, 0, 255, "blue")));
    device.setSegment(table, base + 1, static_cast<std::uint8_t>(line.number(2, 0, 255, "green")));
    device.setSegment(table, base + 2, static_cast<std::uint8_t>(line.number(1, 0, 255, "red")));
    for (int entry = 1; entry <= 32; ++entry) {
        const std::size_t index = static_cast<std::size_t>(3 + entry);
        const long angle = index < line.count() ? line.number(index, 0, 65535, "angle") : kEmptyAngle;
        device.setSegment(table, base + 2 * entry + 1, static_cast<std::uint8_t>(angle >> 8));
        device.setSegment(table, base + 2 * entry + 2, static_cast<std::uint8_t>(angle & 0xFF));
    }
}

void markInUse(const LineParser& line, DeviceModel& device) {
    if (line.count() == 0) line.fail("expected 'inuse ADDR|ADDR-ADDR...'");
    for (std::size_t i = 0; i < line.count(); ++i) {
        const std::string& range = line.word(i);
        const auto dash = range.find('-');
        const auto first = parseInteger(range.substr(0, dash));
        const auto last = dash == std::string::npos ? first : parseInteger(range.substr(dash + 1));
        if (!first || !last || *first < 0 || *last > 255 || *first > 255 || *last < 0) {
            line.fail("'" + range + "' is not an address 0-255 or a range such as 0-67");
        }
        if (*last < *first) line.fail("range '" + range + "' runs backwards");
        for (long address = *first; address <= *last; ++address) device.setInUse(static_cast<int>(address), true);
    }
}

const std::map<std::string, Handler>& handlers() {
    static const std::map<std::string, Handler> table = {
        {"name",
         [](const LineParser& line, Scenario& s) {
             if (line.count() == 0) line.fail("expected 'name TEXT'");
             s.name = line.rest();
         }},
        {"inuse", [](const LineParser& line, Scenario& s) { markInUse(line, s.device); }},
        {"mem",
         [](const LineParser& line, Scenario& s) {
             if (line.count() < 2) line.fail("expected 'mem ADDR VALUE...'");
             const long address = line.number(0, 0, 255, "address");
             if (address + static_cast<long>(line.count()) - 1 > 256) line.fail("values run past address 255");
             for (std::size_t i = 1; i < line.count(); ++i) {
                 s.device.setMemory(static_cast<int>(address) + static_cast<int>(i) - 1,
                                    static_cast<std::uint8_t>(line.number(i, 0, 255, "value")));
             }
         }},
        {"mem16",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(2, 2, "ADDR VALUE");
             storeBigEndian(line, s.device, 2);
         }},
        {"mem24",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(2, 2, "ADDR VALUE");
             storeBigEndian(line, s.device, 3);
         }},
        {"text",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(2, 2, "ADDR \"TEXT\"");
             const std::string& quoted = line.word(1);
             if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
                 line.fail("the text must be in double quotes");
             const std::string text = quoted.substr(1, quoted.size() - 2);
             const long address = line.number(0, 0, 255, "address");
             if (address + static_cast<long>(text.size()) > 256) line.fail("the text runs past address 255");
             for (std::size_t i = 0; i < text.size(); ++i) {
                 s.device.setMemory(static_cast<int>(address + static_cast<long>(i)),
                                    static_cast<std::uint8_t>(text[i]));
             }
         }},
        {"segment",
         [](const LineParser& line, Scenario& s) {
             if (line.count() < 3) line.fail("expected 'segment TABLE OFFSET VALUE...'");
             const int table = static_cast<int>(line.number(0, 1, 4, "table"));
             const long offset = line.number(1, 0, 255, "offset");
             if (offset + static_cast<long>(line.count()) - 2 > 256) line.fail("values run past offset 255");
             for (std::size_t i = 2; i < line.count(); ++i) {
                 s.device.setSegment(table, static_cast<int>(offset) + static_cast<int>(i) - 2,
                                     static_cast<std::uint8_t>(line.number(i, 0, 255, "value")));
             }
         }},
        {"pattern", [](const LineParser& line, Scenario& s) { storePatternRow(line, s.device); }},
        {"status_a",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "BYTE");
             s.device.setStatusA(static_cast<std::uint8_t>(line.number(0, 0, 255, "value")));
         }},
        {"status_b",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "BYTE");
             s.device.setStatusB(static_cast<std::uint8_t>(line.number(0, 0, 255, "value")));
         }},
        {"current",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "HUNDREDTHS");
             s.device.setPresentCurrent(static_cast<std::uint16_t>(line.number(0, 0, 65535, "value")));
         }},
        {"speed",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "HUNDREDTHS");
             s.device.setPresentSpeed(static_cast<std::uint16_t>(line.number(0, 0, 65535, "value")));
         }},
        {"led_current",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "HUNDREDTHS");
             s.device.setLedCurrent(static_cast<std::uint16_t>(line.number(0, 0, 65535, "value")));
         }},
        {"inputs",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "BYTE");
             s.device.setInputsByte(static_cast<std::uint8_t>(line.number(0, 0, 255, "value")));
         }},
        {"outputs",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "BITS");
             s.device.setOutputsWord(static_cast<std::uint16_t>(line.number(0, 0, 0x7FF, "value")));
         }},
        {"input",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(2, 2, "N on|off");
             s.device.setInput(static_cast<int>(line.number(0, 1, DeviceModel::kInputCount, "input")),
                               line.flag(1, "on", "off"));
         }},
        {"output",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(2, 2, "N on|off");
             s.device.setOutput(static_cast<int>(line.number(0, 1, DeviceModel::kOutputCount, "output")),
                                line.flag(1, "on", "off"));
         }},
        {"daylight",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "yes|no");
             s.device.setDaylight(line.flag(0, "yes", "no"));
         }},
        // The state lines act like the remote commands, in file order.
        {"mode",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "normal|day|night");
             const std::string& mode = line.word(0);
             if (mode != "normal" && mode != "day" && mode != "night")
                 line.fail("expected normal, day or night, not '" + mode + "'");
             s.device.applyRemoteCommand(1, mode == "normal" ? 0 : mode == "day" ? 1 : 2);
         }},
        {"changer",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "on|off");
             s.device.applyRemoteCommand(0, line.flag(0, "on", "off") ? 1 : 0);
         }},
        {"mains_failure",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "on|off");
             s.device.applyRemoteCommand(2, line.flag(0, "on", "off") ? 1 : 0);
         }},
        {"motor",
         [](const LineParser& line, Scenario& s) {
             line.expectCount(1, 1, "1|2");
             s.device.applyRemoteCommand(3, static_cast<std::uint8_t>(line.number(0, 1, 2, "motor") - 1));
         }},
    };
    return table;
}

std::string knownKeys() {
    std::string keys;
    for (const auto& [key, handler] : handlers()) keys += (keys.empty() ? "" : ", ") + key;
    return keys;
}

}  // namespace

Scenario parseScenario(std::istream& in, const std::string& sourceName) {
    Scenario scenario;
    scenario.name = sourceName;
    std::string text;
    int lineNumber = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        const std::string where = sourceName + ":" + std::to_string(lineNumber);
        std::string error;
        std::vector<std::string> words = splitWords(text, error);
        if (!error.empty()) throw ScenarioError(where + ": " + error);
        if (words.empty()) continue;
        const auto handler = handlers().find(words[0]);
        if (handler == handlers().end()) {
            throw ScenarioError(where + ": unknown key '" + words[0] + "' (known keys: " + knownKeys() + ")");
        }
        handler->second(LineParser(where, std::move(words)), scenario);
    }
    if (in.bad()) throw ScenarioError(sourceName + ": read error after line " + std::to_string(lineNumber));
    return scenario;
}

Scenario loadScenario(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw ScenarioError(file.string() + ": cannot open the scenario file");
    Scenario scenario = parseScenario(in, file.filename().string());
    scenario.file = file;
    return scenario;
}

std::filesystem::path scenarioDirectory(const std::filesystem::path& programFolder) {
    std::error_code ignored;
    // Installed: <prefix>/bin/zrk-sim and <prefix>/share/zrk/scenarios.
    const auto installed = programFolder.parent_path() / "share" / "zrk" / "scenarios";
    if (!programFolder.empty() && std::filesystem::is_directory(installed, ignored)) return installed;
    const auto beside = programFolder / "scenarios";
    if (!programFolder.empty() && std::filesystem::is_directory(beside, ignored)) return beside;
    return std::filesystem::path(ZRK_SIM_SCENARIO_DIR);
}

std::filesystem::path scenarioDirectory() {
    // Where the running program lies; empty where the system does not say.
    std::error_code unknown;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", unknown);
    return scenarioDirectory(unknown ? std::filesystem::path() : program.parent_path());
}

std::filesystem::path findScenario(const std::string& nameOrPath) {
    const std::filesystem::path folder = scenarioDirectory();
    if (nameOrPath.empty()) return folder / kDefaultScenarioFile;
    const std::filesystem::path given(nameOrPath);
    std::error_code ignored;
    if (std::filesystem::is_regular_file(given, ignored)) return given;
    if (!given.has_parent_path()) {
        for (const auto& candidate : {folder / given, folder / (nameOrPath + kScenarioExtension)}) {
            if (std::filesystem::is_regular_file(candidate, ignored)) return candidate;
        }
    }
    std::set<std::string> available;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == kScenarioExtension) available.insert(entry.path().stem().string());
    }
    std::string list;
    for (const auto& name : available) list += (list.empty() ? "" : ", ") + name;
    throw ScenarioError("no scenario '" + nameOrPath + "' (looked in " + folder.string() +
                        (list.empty() ? "" : "; available: " + list) + ")");
}

}  // namespace zrk::sim
