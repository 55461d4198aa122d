#pragma once

#include <ostream>
#include <string>
#include <utility>

namespace zrk::ops {

// How a procedure ended, for callers without a window (zrkctl, tests): one
// set of endings for every device operation.
enum class End {
    Done,
    NoAnswer,     // the unit did not answer a transaction
    Cancelled,    // the operator pressed Cancel
    BadData,      // a field that does not convert or a cell that does not fit
    NothingToDo,  // a write with no unit read into the form
    PortError,    // the port could not be used
    WrongUnit,    // another unit is on the line than the one read
    NotVerified,  // the unit does not hold what was written
    NotRecorded,  // the write log or the copy before the write could not be written
    NotStarted,   // another device operation was running
};

const char* endName(End end);
inline std::ostream& operator<<(std::ostream& out, End end) { return out << endName(end); }

// No payload.
struct Nothing {};

// An ending, the message the operator was given when it is not Done (a port
// error's text, say), and what the procedure produced.
template <typename Payload = Nothing>
struct Outcome {
    Outcome(End end = End::Done, std::string message = {}, Payload payload = {})
        : end(end), message(std::move(message)), payload(std::move(payload)) {}

    End end;
    std::string message;
    Payload payload;

    bool done() const { return end == End::Done; }
    friend bool operator==(const Outcome& outcome, End end) { return outcome.end == end; }
    friend std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
        out << outcome.end;
        if (!outcome.message.empty()) out << " (" << outcome.message << ")";
        return out;
    }
};

}  // namespace zrk::ops
