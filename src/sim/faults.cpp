#include "sim/faults.h"

#include <charconv>
#include <optional>
#include <sstream>
#include <utility>

namespace zrk::sim {

namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

const char* const kSyntax =
    "expected none, no-answer, answer-from=N, short, garbage, extra=N, delay=MS, "
    "drop-every=K, disconnect-after=N, stuck=ADDR, stall=N:MS, garbage-every=K, free-form, silent=K, "
    "flip=K[:BIT], duplicate=K[:MS], noise=K[:N], previous=K, lose-byte=K, dead-from=K or segment-stuck=T:OFFSET";

int parseCount(std::string_view name, std::string_view value, int minimum) {
    int result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (value.empty() || error != std::errc{} || end != value.data() + value.size() || result < minimum) {
        throw FaultSpecError("fault " + std::string(name) + ": '" + std::string(value) +
                             "' is not a whole number of at least " + std::to_string(minimum));
    }
    return result;
}

// "K" or "K:N": a frame number and, when given, a second number.
std::pair<int, std::optional<int>> frameAndNumber(std::string_view name, std::string_view value, int minimum) {
    const auto colon = value.find(':');
    const int frame = parseCount(name, trim(value.substr(0, colon)), 1);
    if (colon == std::string_view::npos) return {frame, std::nullopt};
    return {frame, parseCount(name, trim(value.substr(colon + 1)), minimum)};
}

void applyOne(Faults& faults, std::string_view faultText) {
    const auto equals = faultText.find('=');
    const std::string_view name = trim(faultText.substr(0, equals));
    const bool hasValue = equals != std::string_view::npos;
    const std::string_view value = hasValue ? trim(faultText.substr(equals + 1)) : std::string_view{};

    const auto requireValue = [&](bool wanted) {
        if (hasValue != wanted) {
            throw FaultSpecError("fault " + std::string(name) +
                                 (wanted ? " needs a value (" + std::string(name) + "=N)" : " takes no value"));
        }
    };

    if (name == "none") {
        requireValue(false);
        faults = Faults{};
    } else if (name == "no-answer") {
        requireValue(false);
        faults.noAnswer = true;
    } else if (name == "answer-from") {
        requireValue(true);
        faults.answerFromAttempt = parseCount(name, value, 1);
    } else if (name == "short") {
        requireValue(false);
        faults.shortReply = true;
    } else if (name == "garbage") {
        requireValue(false);
        faults.garbage = true;
    } else if (name == "extra") {
        requireValue(true);
        faults.extraBytes = parseCount(name, value, 0);
    } else if (name == "delay") {
        requireValue(true);
        faults.extraDelaySeconds = parseCount(name, value, 0) / 1000.0;
    } else if (name == "drop-every") {
        requireValue(true);
        faults.dropEvery = parseCount(name, value, 1);
    } else if (name == "disconnect-after") {
        requireValue(true);
        faults.disconnectAfter = parseCount(name, value, 0);
    } else if (name == "stuck") {
        requireValue(true);
        const int address = parseCount(name, value, 0);
        if (address > 255) throw FaultSpecError("fault stuck: '" + std::string(value) + "' is no address (0 to 255)");
        faults.stuckAddresses.push_back(address);
    } else if (name == "stall") {
        requireValue(true);
        const auto colon = value.find(':');
        if (colon == std::string_view::npos)
            throw FaultSpecError("fault stall needs a frame and milliseconds (stall=N:MS), not '" + std::string(value) +
                                 "'");
        faults.stallFrame = parseCount(name, trim(value.substr(0, colon)), 1);
        faults.stallSeconds = parseCount(name, trim(value.substr(colon + 1)), 0) / 1000.0;
    } else if (name == "garbage-every") {
        requireValue(true);
        faults.garbageEvery = parseCount(name, value, 1);
    } else if (name == "free-form") {
        requireValue(false);
        faults.freeForm = true;
    } else if (name == "silent") {
        requireValue(true);
        faults.silentFrame = parseCount(name, value, 1);
    } else if (name == "flip") {
        requireValue(true);
        const auto [frame, bit] = frameAndNumber(name, value, 0);
        if (bit && *bit > 63)
            throw FaultSpecError("fault flip: bit " + std::to_string(*bit) + " is past the reply (0 to 63)");
        faults.flipFrame = frame;
        faults.flipBit = bit.value_or(50);
    } else if (name == "duplicate") {
        requireValue(true);
        const auto [frame, ms] = frameAndNumber(name, value, 0);
        faults.duplicateFrame = frame;
        faults.duplicateAfterSeconds = ms.value_or(40) / 1000.0;
    } else if (name == "noise") {
        requireValue(true);
        const auto [frame, count] = frameAndNumber(name, value, 1);
        faults.noiseFrame = frame;
        faults.noiseBytes = count.value_or(3);
    } else if (name == "previous") {
        requireValue(true);
        faults.previousFrame = parseCount(name, value, 1);
    } else if (name == "lose-byte") {
        requireValue(true);
        faults.lostByteFrame = parseCount(name, value, 1);
    } else if (name == "dead-from") {
        requireValue(true);
        faults.deadFromFrame = parseCount(name, value, 1);
    } else if (name == "segment-stuck") {
        requireValue(true);
        const auto colon = value.find(':');
        if (colon == std::string_view::npos)
            throw FaultSpecError("fault segment-stuck needs a table and an offset (segment-stuck=T:OFFSET), not '" +
                                 std::string(value) + "'");
        const int table = parseCount(name, trim(value.substr(0, colon)), 1);
        const int offset = parseCount(name, trim(value.substr(colon + 1)), 0);
        if (table > 4 || offset > 255)
            throw FaultSpecError("fault segment-stuck: '" + std::string(value) +
                                 "' is no segment cell (table 1 to 4, offset 0 to 255)");
        faults.stuckSegments.push_back({table, offset});
    } else {
        throw FaultSpecError("unknown fault '" + std::string(faultText) + "': " + kSyntax);
    }
}

}  // namespace

bool Faults::any() const {
    return noAnswer || answerFromAttempt > 1 || shortReply || garbage || extraBytes > 0 || extraDelaySeconds > 0 ||
           dropEvery > 0 || disconnectAfter.has_value() || !stuckAddresses.empty() || stallFrame > 0 ||
           garbageEvery > 0 || freeForm || silentFrame > 0 || flipFrame > 0 || duplicateFrame > 0 || noiseFrame > 0 ||
           previousFrame > 0 || lostByteFrame > 0 || deadFromFrame > 0 || !stuckSegments.empty();
}

std::string Faults::describe() const {
    std::ostringstream out;
    const char* separator = "";
    const auto item = [&](const std::string& text) {
        out << separator << text;
        separator = ",";
    };
    if (noAnswer) item("no-answer");
    if (answerFromAttempt > 1) item("answer-from=" + std::to_string(answerFromAttempt));
    if (shortReply) item("short");
    if (garbage) item("garbage");
    if (extraBytes > 0) item("extra=" + std::to_string(extraBytes));
    if (extraDelaySeconds > 0) item("delay=" + std::to_string(static_cast<int>(extraDelaySeconds * 1000 + 0.5)));
    if (dropEvery > 0) item("drop-every=" + std::to_string(dropEvery));
    if (disconnectAfter) item("disconnect-after=" + std::to_string(*disconnectAfter));
    for (int address : stuckAddresses) item("stuck=" + std::to_string(address));
    if (stallFrame > 0)
        item("stall=" + std::to_string(stallFrame) + ":" + std::to_string(static_cast<int>(stallSeconds * 1000 + 0.5)));
    if (garbageEvery > 0) item("garbage-every=" + std::to_string(garbageEvery));
    if (freeForm) item("free-form");
    const auto n = [](int value) { return std::to_string(value); };
    const auto ms = [](double seconds) { return std::to_string(static_cast<int>(seconds * 1000 + 0.5)); };
    if (silentFrame > 0) item("silent=" + n(silentFrame));
    if (flipFrame > 0) item("flip=" + n(flipFrame) + ":" + n(flipBit));
    if (duplicateFrame > 0) item("duplicate=" + n(duplicateFrame) + ":" + ms(duplicateAfterSeconds));
    if (noiseFrame > 0) item("noise=" + n(noiseFrame) + ":" + n(noiseBytes));
    if (previousFrame > 0) item("previous=" + n(previousFrame));
    if (lostByteFrame > 0) item("lose-byte=" + n(lostByteFrame));
    if (deadFromFrame > 0) item("dead-from=" + n(deadFromFrame));
    for (const auto& cell : stuckSegments) item("segment-stuck=" + n(cell.table) + ":" + n(cell.offset));
    if (!any()) item("none");
    return out.str();
}

void applyFaultSpec(Faults& faults, std::string_view faultText) {
    if (trim(faultText).empty()) throw FaultSpecError(std::string("empty fault: ") + kSyntax);
    std::size_t start = 0;
    while (true) {
        const auto comma = faultText.find(',', start);
        const auto part =
            trim(faultText.substr(start, comma == std::string_view::npos ? faultText.npos : comma - start));
        if (part.empty()) throw FaultSpecError("empty fault in '" + std::string(faultText) + "'");
        applyOne(faults, part);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
}

Faults parseFaults(const std::vector<std::string>& faultTexts) {
    Faults faults;
    for (const auto& faultText : faultTexts) applyFaultSpec(faults, faultText);
    return faults;
}

}  // namespace zrk::sim
