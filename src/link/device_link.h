#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/line_events.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/serial_port.h"

namespace zrk::link {

// The command transaction and the pause that paces it, on the port the
// calling operation has opened.
class DeviceLink {
public:
    using StatusLine = std::function<void(const std::string&)>;
    DeviceLink(platform::SerialPort& port, platform::EventLoop& events, platform::Clock& clock, StatusLine status);

    // Opens the port when it is closed; throws platform::PortError.
    void AbrirCom();
    void CerrarCom();

    // Up to three attempts of two seconds each; Resultado 6 or 21. Port
    // errors (a lost line) pass to the caller as platform::PortError.
    RespuestaComando EnviarComando(const TramaComando& trama);

    // n pause units of one millisecond on the steady clock; at once while
    // the pause is not calibrated (ContadorPausa 0) or for n <= 0.
    void Pausa(std::int32_t n);

    // Asked while a reply is awaited: true ends the transaction at once as a
    // failure (Resultado 21), without further attempts.
    std::function<bool()> cancelled;

    // Empty loop passes per millisecond, set by the speed test; 0 until then.
    std::int32_t ContadorPausa = 0;

    static constexpr double kReplyTimeLimit = 2.0;  // seconds per attempt
    static constexpr int kAttempts = 3;
    // After an attempt without a usable reply, or a reply with bytes past the
    // eighth, the line must stay quiet this long (but no longer than the
    // limit) before the next frame goes out, so that late or trailing bytes
    // are thrown away instead of being read as the next reply.
    static constexpr double kQuietTime = 0.100;
    static constexpr double kQuietLimit = 0.500;
    // Well-formed replies in a row after which the unit on this open port is
    // taken to frame its replies: from then on a malformed one is a failed
    // attempt, until the port closes. Operations close the port between
    // their steps (identification, then reading), so the trust is carried
    // into the next opening of the same port, but only as far as the last
    // attempt of a transaction: a unit that answers that one malformed as
    // well is another unit, and is taken as it frames its replies.
    static constexpr int kWellFormedToTrust = 8;

    // Observers see every frame, reply, missed attempt and discarded byte.
    // With none attached nothing is built for them.
    void addObserver(LineObserver* observer);
    void removeObserver(LineObserver* observer);
    // The language of the meanings handed to observers; English when unset.
    const texts::TextTable* meaningTexts = nullptr;

    const LineCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }
    bool unitFramesReplies() const { return framedRun_ >= kWellFormedToTrust || carriedTrust_; }

private:
    enum class Outcome { Taken, NoReply, Refused, Cancelled };
    Outcome awaitReply(RespuestaComando& result, const FrameArray& frame, int attempt);
    // Throws away what waits in the input before a frame goes out.
    void discardStale(int attempt);
    // Reads and drops input until the line has been quiet for kQuietTime.
    void waitForQuietLine(int attempt, std::vector<std::uint8_t> dropped = {});
    // After a reply: drops what followed it during the trailing pause and
    // waits for the line to fall quiet, if anything did.
    void dropTrailing(int attempt);
    void trailingPause();
    void notify(LineEventKind kind, std::vector<std::uint8_t> bytes, int attempt, std::string meaning,
                bool malformed = false, bool refused = false, std::optional<double> time = std::nullopt);
    const texts::TextTable& meaningTable() const;
    void portOpened();

    platform::SerialPort& port_;
    platform::EventLoop& events_;
    platform::Clock& clock_;
    StatusLine status_;
    std::vector<LineObserver*> observers_;
    LineCounters counters_;
    int framedRun_ = 0;          // well-formed replies in a row since the port opened
    bool carriedTrust_ = false;  // the last opening of this port ended trusted
    int trustedPort_ = 0;
    int openedPort_ = 0;
};

}  // namespace zrk::link
