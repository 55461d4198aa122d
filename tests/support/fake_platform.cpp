#include "fake_platform.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

#include "sim/scenario.h"
#include "sim/simulated_port.h"
#include "started_program.h"

namespace zrk::test {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("zrk-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

FakeMachine::FakeMachine(const PortFactory& makePort, const std::string& ini)
    : ownedPort(makePort ? makePort(clock) : nullptr),
      platform{ownedPort ? *ownedPort : fakePort, events, clock,   ui,      store,
               {folder.path(), "ZRK", 1, 4, 3},   {},     "en-US", launcher} {
    folder.write("zrk.ini", ini);
    platform.info.dataFolder = folder.path() / "data";
}

void virtualEmptyLoop(VirtualClock& clock, std::int64_t passes) { clock.advance(static_cast<double>(passes) / 2e8); }

PortFactory simulatedUnit(const std::string& scenario) {
    return [scenario](VirtualClock& clock) -> std::unique_ptr<platform::SerialPort> {
        return std::make_unique<sim::SimulatedPort>(clock, sim::loadScenarioByName(scenario).device);
    };
}

}  // namespace zrk::test
