#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/frame.h"

namespace zrk::texts {
class TextTable;
}

namespace zrk::link {

// What went over the wire, as the transaction saw it.
enum class LineEventKind {
    Sent,     // a command frame went out
    Reply,    // a reply was read (taken, or refused as malformed)
    NoReply,  // an attempt ended at the time limit
    Stale,    // bytes found waiting before a frame went out, thrown away
    Late,     // bytes thrown away while waiting for the line to fall quiet
};

// What the engineer should know about a reply beyond its bytes.
enum class ReplyNote {
    None,
    MalformedRefused,   // header or check byte wrong from a unit that frames: attempt failed
    MalformedTaken,     // from a unit that never frames its replies
    OtherQuestion,      // did not repeat the question the unit has always repeated: attempt failed
    CannotTellRepeats,  // the unit does not repeat the question, said once
    SecondReply,        // a second reply followed from a unit that sends eight bytes: attempt failed
};

struct LineEvent {
    LineEventKind kind = LineEventKind::Sent;
    double time = 0.0;                // steady-clock seconds
    std::vector<std::uint8_t> bytes;  // everything sent, read or thrown away
    int attempt = 1;                  // 1 to DeviceLink::kAttempts
    std::string meaning;              // in the operator's language
    // Reply only: header or check byte wrong.
    bool malformed = false;
    // The attempt failed and the reply was not used: malformed from a unit
    // that frames its replies, the answer to another question, or followed
    // by a second reply.
    bool refused = false;
    ReplyNote note = ReplyNote::None;

    // Something the engineer should look at.
    bool failure() const { return kind == LineEventKind::NoReply || malformed || refused; }
};

// Running totals of one link, from its creation or the last reset.
struct LineCounters {
    std::uint64_t transactions = 0;
    std::uint64_t retries = 0;
    std::uint64_t attemptsWithoutReply = 0;
    std::uint64_t staleBytesDiscarded = 0;
    std::uint64_t lateBytesDropped = 0;
    std::uint64_t malformedReplies = 0;

    bool operator==(const LineCounters&) const = default;
};

// Told of every event while attached to a link; called on the link's thread
// in the middle of a transaction, so it must be quick and must not start one.
class LineObserver {
public:
    virtual ~LineObserver() = default;
    virtual void lineEvent(const LineEvent& event) = 0;
    // After a reply the line rests until `until` (steady-clock seconds): the
    // trailing pause. Work done here before then costs the transfer nothing;
    // the window's events are not processed meanwhile.
    virtual void lineIdle(double until) { (void)until; }
};

using FrameArray = std::array<std::uint8_t, kFrameLength>;

// A reply as the unit frames it when it does: 'J', 'X', five bytes and the
// check byte computed as for a frame we send.
bool isWellFormedReply(const std::vector<std::uint8_t>& reply);

// What a command frame asks, from the command table: "read address 49",
// "write address 28 ← 0", "remote: day mode".
std::string commandMeaning(const texts::TextTable& texts, const FrameArray& frame);
// The same with what the reply says where the command reads something:
// "read address 49 → 80", "identification byte 5 → 0xFF"; commands that
// only need the acknowledgement get "… → OK" (in the operator's language).
std::string replyMeaning(const texts::TextTable& texts, const FrameArray& frame,
                         const std::vector<std::uint8_t>& reply);

// The bytes in upper-case hex separated by single blanks: "4A 58 00".
std::string hexBytes(const std::uint8_t* bytes, std::size_t count);
inline std::string hexBytes(const std::vector<std::uint8_t>& bytes) { return hexBytes(bytes.data(), bytes.size()); }

}  // namespace zrk::link
