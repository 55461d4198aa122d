// libFuzzer target: the unit's side of the line. The input says, for each
// frame the tool sends, which pieces of reply come back, how long each takes
// and what bytes it holds. One transaction runs against them on the virtual
// clock. It must end (three attempts at most, each within its time limit),
// and what it takes must obey its rules:
// - a reply is taken only from bytes that arrived after the attempt began
//   (nothing left over from an earlier attempt) and no later than two seconds
//   after its frame went out; its fields are bytes 3 to 7 of those;
// - a reply is well-formed, or it came at the third attempt after two
//   malformed ones (a unit that never frames its replies);
// - a failed transaction had no attempt with a well-formed reply in time
//   and not three malformed ones, and reports all fields 0.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>
#include <vector>

#include "fake_platform.h"
#include "link/device_link.h"
#include "link/line_events.h"
#include "scripted_port.h"
#include "virtual_clock.h"

using namespace zrk;

namespace {

constexpr double kLimit = link::DeviceLink::kReplyTimeLimit;  // the time limit of one attempt
// Before a frame and after a failed attempt or a long reply, the link waits
// for a quiet line, at most this long each time.
constexpr double kQuietWait = link::DeviceLink::kQuietLimit;
constexpr double kMargin = 0.0025;  // arrivals this close to it are not judged

// Reads the fuzzer's bytes one at a time; past the end, zeros.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool more() const { return at < size; }
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    // Up to three frames (one per attempt), each answered by up to four pieces.
    std::deque<test::ScriptedPort::Reply> replies;
    for (int frame = 0; frame < 3 && in.more(); ++frame) {
        test::ScriptedPort::Reply reply{{}, 0.0, {}};
        const int count = in.next() % 5;
        for (int i = 0; i < count; ++i) {
            // 0 to 3.2 s in steps of 1/20 ms, so that both sides of the limit are reached.
            const double delay = (in.next() * 256 + in.next()) / 20480.0;
            std::vector<std::uint8_t> bytes(in.next() % 13);
            for (auto& b : bytes) b = in.next();
            reply.later.emplace_back(delay, std::move(bytes));
        }
        replies.push_back(std::move(reply));
    }

    test::VirtualClock clock;
    test::FakeEventLoop events(clock);
    test::ScriptedPort port(clock);
    port.replies = std::move(replies);
    link::DeviceLink line(port, events, clock, [](const std::string&) {});
    line.ContadorPausa = 1;
    line.AbrirCom();
    const double start = clock.now();
    const auto reply = line.EnviarComando({0, 1, 27, 0});

    // It ends: three attempts of at most the limit each, the quiet waits
    // before and after each, their frames and pauses.
    if (clock.now() - start > 3 * (kLimit + 2 * kQuietWait + 0.1) + kQuietWait) std::abort();
    if (port.frameEnds.size() > 3 || port.discards.size() != port.frameEnds.size()) std::abort();

    // The bytes of one attempt that count: from its frame on (what came
    // before was thrown away while the line went quiet), by its limit.
    // Returns nothing when an arrival lies too close to the limit to judge.
    auto counted = [&](std::size_t attempt) -> std::optional<std::vector<std::uint8_t>> {
        const double from = port.frameStarts[attempt], until = port.frameEnds[attempt] + kLimit;
        std::vector<std::uint8_t> bytes;
        for (const auto& a : port.arrivals) {
            if (a.at <= from) continue;
            if (a.at > until - kMargin && a.at < until + kMargin) return std::nullopt;
            if (a.at <= until) bytes.push_back(a.byte);
        }
        return bytes;
    };

    const std::size_t last = port.frameEnds.size() - 1;
    if (reply.Resultado == link::kAck) {
        const auto bytes = counted(last);
        if (!bytes) return 0;
        if (bytes->size() < 8) std::abort();  // taken without eight bytes in time
        const auto& b = *bytes;
        if (reply.Valor != b[2] * 256 + b[3] || reply.Dato1 != b[4] || reply.Dato2 != b[5] || reply.Dato3 != b[6])
            std::abort();  // fields from other bytes than the reply's
        // A malformed reply is taken only at the third attempt, when all
        // three brought one: the unit has then shown it never frames.
        if (!link::isWellFormedReply({b.begin(), b.begin() + 8}) && last != 2) std::abort();
    } else {
        if (reply.Resultado != link::kNak) std::abort();
        if (reply.Valor != 0 || reply.Dato1 != 0 || reply.Dato2 != 0 || reply.Dato3 != 0) std::abort();
        if (port.frameEnds.size() != 3) std::abort();  // gave up before the third attempt
        int malformed = 0;
        bool judged = true;
        for (std::size_t attempt = 0; attempt < 3; ++attempt) {
            const auto bytes = counted(attempt);
            if (!bytes) judged = false;
            if (!bytes || bytes->size() < 8) continue;
            // A well-formed reply in time is taken, whatever follows it on a
            // unit not yet known to send exactly eight bytes.
            if (link::isWellFormedReply({bytes->begin(), bytes->begin() + 8})) std::abort();
            ++malformed;
        }
        if (judged && malformed == 3) std::abort();  // three malformed: the last is taken
    }
    return 0;
}
