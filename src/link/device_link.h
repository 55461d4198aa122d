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
    // What a unit has shown of its replies decides which replies are taken.
    // A malformed reply (header or check byte not as framed) fails its
    // attempt, unless this port's unit has shown that it never frames: all
    // three attempts of one transaction malformed, and no framed reply ever
    // seen on the port; then the last is taken, and so are later ones.
    // A reply that does not repeat the question (command and parameter in
    // its data bytes) fails its attempt once the unit's replies have
    // repeated it; before this many in a row it fails only the first two
    // attempts. A second reply to one question from a unit that answers
    // with exactly eight bytes fails the attempt the same way.
    static constexpr int kHabitToTrust = 8;
    // Transactions in a row without a single byte back after which the line
    // is taken to be dead: a write stops sending.
    static constexpr int kSilentToDead = 2;

    // Observers see every frame, reply, missed attempt and discarded byte.
    // With none attached nothing is built for them.
    void addObserver(LineObserver* observer);
    void removeObserver(LineObserver* observer);
    // The language of the meanings handed to observers; English when unset.
    const texts::TextTable* meaningTexts = nullptr;

    const LineCounters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }
    // What the unit on this port has shown so far.
    bool unitFramesReplies() const { return habits_.framed; }
    bool unitNeverFrames() const { return habits_.unframed; }
    bool unitEchoes() const { return habits_.echoRun >= kHabitToTrust; }
    // Transactions in a row, up to the last one, that brought no byte at
    // all, since the port was last opened.
    int silentInRow() const { return silentInRow_; }
    bool lineSeemsDead() const { return silentInRow_ >= kSilentToDead; }

private:
    enum class Outcome { Taken, TakenWithTail, NoReply, Refused, Cancelled };
    Outcome awaitReply(RespuestaComando& result, const FrameArray& frame, int attempt);
    // Whether a reply of this shape is taken, by what the unit has shown;
    // learns from it.
    bool takesFraming(bool wellFormed);
    bool takesEcho(bool echoes, int attempt);
    // Whether a reply lacking what the unit has shown `run` times in a row
    // fails its attempt: always from kHabitToTrust on, before that except at
    // the last attempt.
    static bool refusesLapse(int run, int attempt);
    // After a taken reply: false when a second reply followed it from a unit
    // that answers with exactly eight bytes, and the attempt failed; either
    // way what followed is thrown away once the line is quiet.
    bool settleAfterReply(int attempt);
    std::string noteText(ReplyNote note, int attempt) const;
    // Reads what has arrived, noting that the line is alive.
    std::vector<std::uint8_t> readInput();
    // Counts a transaction that heard nothing at all.
    void endTransaction();
    // Throws away what waits in the input before a frame goes out.
    void discardStale(int attempt);
    // Reads and drops input until the line has been quiet for kQuietTime.
    void waitForQuietLine(int attempt, std::vector<std::uint8_t> dropped = {});
    void trailingPause();
    void notify(LineEventKind kind, std::vector<std::uint8_t> bytes, int attempt, std::string meaning,
                bool malformed = false, bool refused = false, std::optional<double> time = std::nullopt,
                ReplyNote note = ReplyNote::None);
    const texts::TextTable& meaningTable() const;
    void portOpened();

    platform::SerialPort& port_;
    platform::EventLoop& events_;
    platform::Clock& clock_;
    StatusLine status_;
    std::vector<LineObserver*> observers_;
    LineCounters counters_;
    // What the unit on habitsPort_ has shown. Forgotten when another port
    // opens or a whole transaction goes unanswered: the unit may have been
    // changed.
    struct Habits {
        bool framed = false;    // a well-formed reply came
        bool unframed = false;  // never framed: malformed replies are taken
        int echoRun = 0;        // replies in a row that repeated the question
        int exactRun = 0;       // replies in a row of exactly eight bytes
        bool echoNoticeGiven = false;
    };
    Habits habits_;
    int habitsPort_ = 0;
    int malformedAttempts_ = 0;  // in the transaction under way
    bool heard_ = false;         // a byte came during the transaction under way
    int silentInRow_ = 0;
};

}  // namespace zrk::link
