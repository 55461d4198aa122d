#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zrk::sim {

class FaultSpecError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Ways the simulated line misbehaves. They combine freely; the default is a
// healthy unit.
struct Faults {
    bool noAnswer = false;
    // Answer only from this attempt of a transaction on; repeats of the
    // same frame count as attempts. 1 answers every frame.
    int answerFromAttempt = 1;
    bool shortReply = false;  // seven bytes instead of eight
    bool garbage = false;     // eight random bytes instead of the reply
    int extraBytes = 0;       // random bytes sent after the reply
    double extraDelaySeconds = 0.0;
    int dropEvery = 0;                   // every k-th frame gets no answer; 0 = never
    std::optional<int> disconnectAfter;  // the line goes after this many frames
    // Cells that answer a write but keep their old byte, as a worn-out
    // memory cell would.
    std::vector<int> stuckAddresses{};
    // The unit stalls once: the answer to frame number stallFrame (counted
    // from 1) leaves stallSeconds later than usual.
    int stallFrame = 0;
    double stallSeconds = 0.0;
    int garbageEvery = 0;  // every k-th answer is eight random bytes; 0 = never
    // Replies with a header and check byte of the unit's own instead of
    // 'J', 'X' and the frame's check byte, as some units have.
    bool freeForm = false;

    bool any() const;
    // One line, in the syntax parseFaults reads back.
    std::string describe() const;
};

// Applies one fault description to `faults`: "none", "no-answer", "answer-from=N", "short",
// "garbage", "extra=N", "delay=MS", "drop-every=K", "disconnect-after=N",
// "stuck=ADDR" (may be given for several addresses), "stall=N:MS", "garbage-every=K", "free-form".
// Several may be given in one string, separated by commas. "none" clears
// everything given before it. Throws FaultSpecError naming the bad part.
void applyFaultSpec(Faults& faults, std::string_view faultText);

Faults parseFaults(const std::vector<std::string>& faultTexts);

}  // namespace zrk::sim
