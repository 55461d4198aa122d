#include "sim/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

namespace zrk::sim {
namespace {

Scenario parse(const std::string& text) {
    std::istringstream in(text);
    return parseScenario(in, "test.zrksim");
}

std::set<int> inUseAddresses(const DeviceModel& device) {
    std::set<int> addresses;
    for (int address = 0; address < DeviceModel::kMemorySize; ++address) {
        if (device.isInUse(address)) addresses.insert(address);
    }
    return addresses;
}

std::set<int> range(int first, int last) {
    std::set<int> addresses;
    for (int a = first; a <= last; ++a) addresses.insert(a);
    return addresses;
}

std::set<int> unite(std::initializer_list<std::set<int>> parts) {
    std::set<int> all;
    for (const auto& part : parts) all.insert(part.begin(), part.end());
    return all;
}

int word16(const DeviceModel& device, int address) { return device.memory(address) * 256 + device.memory(address + 1); }

int segmentEntry(const DeviceModel& device, int row, int entry) {
    const int table = (row + 1) / 2;
    const int base = row % 2 ? 0 : 128;
    return device.segment(table, base + 2 * entry + 1) * 256 + device.segment(table, base + 2 * entry + 2);
}

TEST(ShippedScenarios, LedLanternUsesEveryFieldAnd225) {
    const Scenario scenario = loadScenarioByName("");
    EXPECT_EQ(scenario.file.filename(), kDefaultScenarioFile);
    const DeviceModel& device = scenario.device;
    EXPECT_EQ(inUseAddresses(device), unite({range(0, 67), range(221, 225), range(231, 255)}));
    EXPECT_EQ(device.memory(27), 3) << "changer type LED";
    for (int address = 231; address <= 246; ++address) {
        EXPECT_GE(device.memory(address), 32) << "identifier text at " << address;
        EXPECT_LT(device.memory(address), 127) << "identifier text at " << address;
    }
    EXPECT_NE(device.memory(251), 0);
    EXPECT_NE(device.memory(252), 0);
    EXPECT_NE(device.memory(253), 0);
    EXPECT_NE(word16(device, 254), 0);
    // A sector pattern: row 1 white from 0 to 120, rows past 3 empty.
    EXPECT_EQ(device.segment(1, 0), 255);
    EXPECT_EQ(segmentEntry(device, 1, 1), 0);
    EXPECT_EQ(segmentEntry(device, 1, 2), 120);
    EXPECT_EQ(segmentEntry(device, 1, 5), 511);
    EXPECT_EQ(device.segment(1, 130), 255) << "row 2 is red";
    EXPECT_EQ(segmentEntry(device, 8, 1), 511);
    EXPECT_TRUE(device.statusA() & DeviceModel::kStatusOn);
    EXPECT_NE(device.ledCurrent(), 0);
}

TEST(ShippedScenarios, RotatingLanternHasMotorAndChangerButNoLedFields) {
    const DeviceModel device = loadScenarioByName("rotating-lantern").device;
    for (const int address : {0, 12, 15, 27, 28, 30, 50, 51, 53}) EXPECT_TRUE(device.isInUse(address)) << address;
    for (const int address : {42, 44, 49, 56, 60, 223, 225}) EXPECT_FALSE(device.isInUse(address)) << address;
    EXPECT_EQ(device.memory(27), 1);
    EXPECT_EQ(device.statusA(), DeviceModel::kStatusOn | DeviceModel::kStatusMotor);
    EXPECT_NE(device.presentSpeed(), 0);
}

TEST(ShippedScenarios, OldUnitHasOldFirmware) {
    const DeviceModel device = loadScenarioByName("old-unit.zrksim").device;
    EXPECT_EQ(device.memory(252), 47);
    EXPECT_EQ(device.memory(253), 3);
    EXPECT_TRUE(device.isInUse(252));
    EXPECT_FALSE(device.isInUse(225));
}

TEST(FindScenario, ByNamePathOrDefault) {
    const auto led = scenarioDirectory() / "led-lantern.zrksim";
    EXPECT_EQ(findScenario(""), led);
    EXPECT_EQ(findScenario("led-lantern"), led);
    EXPECT_EQ(findScenario("led-lantern.zrksim"), led);
    EXPECT_EQ(findScenario(led.string()), led);
}

TEST(FindScenario, AnInstalledProgramUsesTheFolderBesideIt) {
    const auto program = std::filesystem::temp_directory_path() / ("zrk-installed-bin-" + std::to_string(::getpid()));
    std::filesystem::remove_all(program);
    std::filesystem::create_directories(program);
    const auto sourceTree = scenarioDirectory(program);
    EXPECT_EQ(sourceTree.filename(), "scenarios");
    EXPECT_TRUE(std::filesystem::exists(sourceTree / "led-lantern.zrksim")) << "without one beside it";
    std::filesystem::create_directory(program / "scenarios");
    EXPECT_EQ(scenarioDirectory(program), program / "scenarios");
    std::filesystem::remove_all(program);
}

TEST(FindScenario, UnknownNameListsWhatThereIs) {
    try {
        findScenario("no-such-unit");
        FAIL() << "an unknown scenario was found";
    } catch (const ScenarioError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("no-such-unit"), std::string::npos) << message;
        EXPECT_NE(message.find("rotating-lantern"), std::string::npos) << message;
    }
    EXPECT_THROW(loadScenario("/nonexistent/x.zrksim"), ScenarioError);
}

TEST(ScenarioParser, EveryKindOfLine) {
    const Scenario scenario = parse(R"(# a comment
name  Test unit   # trailing comment
inuse 3 10-12 0x20
mem 100 1 0x02 0b11
mem16 200 0x1234
mem24 203 1000000
text 231 "A #1"
segment 2 66 9 8
pattern 4 1 2 3 10 20
status_a 5
status_b 0x81
current 1234
speed 300
led_current 85
inputs 0b101
output 11 on
input 8 on
)");
    const DeviceModel& device = scenario.device;
    EXPECT_EQ(scenario.name, "Test unit");
    EXPECT_EQ(inUseAddresses(device), (std::set<int>{3, 10, 11, 12, 32}));
    EXPECT_EQ(device.memory(100), 1);
    EXPECT_EQ(device.memory(101), 2);
    EXPECT_EQ(device.memory(102), 3);
    EXPECT_EQ(word16(device, 200), 0x1234);
    EXPECT_EQ(device.memory(203) * 65536 + word16(device, 204), 1000000);
    EXPECT_EQ(device.memory(231), 'A');
    EXPECT_EQ(device.memory(233), '#');
    EXPECT_EQ(device.memory(234), '1');
    EXPECT_EQ(device.segment(2, 66), 9);
    EXPECT_EQ(device.segment(2, 67), 8);
    // Row 4: blue, green, red at 128; then 10, 20 and empty entries.
    EXPECT_EQ(device.segment(2, 128), 3);
    EXPECT_EQ(device.segment(2, 129), 2);
    EXPECT_EQ(device.segment(2, 130), 1);
    EXPECT_EQ(segmentEntry(device, 4, 1), 10);
    EXPECT_EQ(segmentEntry(device, 4, 2), 20);
    EXPECT_EQ(segmentEntry(device, 4, 32), 511);
    EXPECT_EQ(device.statusA(), 5);
    EXPECT_EQ(device.statusB(), 0x81);
    EXPECT_EQ(device.presentCurrent(), 1234);
    EXPECT_EQ(device.presentSpeed(), 300);
    EXPECT_EQ(device.ledCurrent(), 85);
    EXPECT_EQ(device.inputsByte(), 0x85);
    EXPECT_TRUE(device.output(11));
}

TEST(ScenarioParser, StateLinesActLikeRemoteCommands) {
    const DeviceModel device = parse("current 200\nspeed 150\ndaylight yes\nmode normal\n").device;
    EXPECT_EQ(device.statusA(), 0) << "normal mode in daylight is dark";
    EXPECT_EQ(device.presentCurrent(), 0);

    const DeviceModel lit = parse("current 200\nspeed 150\nmotor 2\nchanger on\nmode night\nmains_failure on\n").device;
    EXPECT_EQ(lit.statusA(), DeviceModel::kStatusOn | DeviceModel::kStatusMotor);
    EXPECT_TRUE(lit.statusB() & DeviceModel::kStatusChanger);
    EXPECT_TRUE(lit.statusB() & DeviceModel::kStatusMainsFailure);
    EXPECT_TRUE(lit.output(DeviceModel::kOutputMotor2));
    EXPECT_EQ(lit.presentCurrent(), 200);
}

TEST(ScenarioParser, BadLinesNameFileLineAndProblem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"name x\n\nbogus 1\n", "test.zrksim:3: unknown key 'bogus'"},
        {"mem 256 1\n", "test.zrksim:1: mem: address 256 is outside 0-255"},
        {"mem 1 300\n", "value 300 is outside 0-255"},
        {"mem 255 1 2\n", "past address 255"},
        {"mem 1\n", "expected 'mem ADDR VALUE...'"},
        {"mem16 1 70000\n", "value 70000 is outside 0-65535"},
        {"mem24 254 1\n", "address 254 is outside 0-253"},
        {"inuse 5-2\n", "runs backwards"},
        {"inuse 1-300\n", "'1-300' is not an address"},
        {"inuse x\n", "'x' is not an address"},
        {"text 231 ABC\n", "double quotes"},
        {"text 231 \"ABC\n", "test.zrksim:1: missing closing quote"},
        {"segment 5 0 1\n", "table 5 is outside 1-4"},
        {"pattern 9 0 0 0\n", "row 9 is outside 1-8"},
        {"status_a 12abc\n", "'12abc' is not a number"},
        {"mode dusk\n", "expected normal, day or night"},
        {"changer maybe\n", "expected on or off"},
        {"output 12 on\n", "output 12 is outside 1-11"},
        {"current\n", "expected 'current HUNDREDTHS'"},
    };
    for (const auto& [text, fragment] : cases) {
        try {
            parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ScenarioError& error) {
            EXPECT_NE(std::string(error.what()).find(fragment), std::string::npos)
                << "for " << text << "got: " << error.what();
        }
    }
}

}  // namespace
}  // namespace zrk::sim
