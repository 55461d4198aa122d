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

    // Faults on one frame only, numbered from 1 as it reaches the unit; the
    // same frame sent again is the next number and goes through unharmed.
    int silentFrame = 0;  // no answer to this frame
    // One bit of the reply to this frame flipped: bit b of byte b / 8, the
    // bytes counted from 0 (50 is bit 2 of the data byte).
    int flipFrame = 0;
    int flipBit = 50;
    // The reply to this frame goes out twice, the copy this long after the
    // first ends, as a unit that repeats itself would.
    int duplicateFrame = 0;
    double duplicateAfterSeconds = 0.040;
    int noiseFrame = 0;  // random bytes on the line before this frame's reply
    int noiseBytes = 3;
    int previousFrame = 0;  // this frame is answered with the previous reply
    int lostByteFrame = 0;  // one byte of this frame's reply is lost
    // The line goes silent at this frame: it and every frame after it reach
    // nothing, and nothing comes back, but the port stays open (a cut cable
    // on a port that does not notice).
    int deadFromFrame = 0;
    // Segment table offsets that answer a write but keep their byte.
    struct SegmentCell {
        int table = 1;
        int offset = 0;
        bool operator==(const SegmentCell&) const = default;
    };
    std::vector<SegmentCell> stuckSegments{};

    bool any() const;
    // One line, in the syntax parseFaults reads back.
    std::string describe() const;
};

// Applies one fault description to `faults`: "none", "no-answer", "answer-from=N", "short",
// "garbage", "extra=N", "delay=MS", "drop-every=K", "disconnect-after=N",
// "stuck=ADDR" (may be given for several addresses), "stall=N:MS", "garbage-every=K", "free-form",
// and the faults on frame K: "silent=K", "flip=K[:BIT]", "duplicate=K[:MS]", "noise=K[:N]",
// "previous=K", "lose-byte=K", "dead-from=K"; "segment-stuck=T:OFFSET" (may be repeated).
// Several may be given in one string, separated by commas. "none" clears
// everything given before it. Throws FaultSpecError naming the bad part.
void applyFaultSpec(Faults& faults, std::string_view faultText);

Faults parseFaults(const std::vector<std::string>& faultTexts);

}  // namespace zrk::sim
