#include "link/device_link.h"

#include <algorithm>

#include "texts/text_ids.h"
#include "texts/texts.h"

namespace zrk::link {

namespace {

// "%1" and "%2" of a text from the table.
std::string withNumbers(std::string text, int first, int second = 0) {
    const auto fillOne = [&](const std::string& mark, int value) {
        const auto at = text.find(mark);
        if (at != std::string::npos) text.replace(at, mark.size(), std::to_string(value));
    };
    fillOne("%1", first);
    fillOne("%2", second);
    return text;
}

}  // namespace

DeviceLink::DeviceLink(platform::SerialPort& port, platform::EventLoop& events, platform::Clock& clock,
                       StatusLine status)
    : port_(port), events_(events), clock_(clock), status_(std::move(status)) {}

void DeviceLink::AbrirCom() {
    if (port_.isOpen()) return;
    port_.setDtrEnabled(true);
    port_.open();
    portOpened();
    // A dead line is judged within one opening: the cable may be back.
    silentInRow_ = 0;
}

void DeviceLink::CerrarCom() {
    if (port_.isOpen()) port_.close();
}

void DeviceLink::portOpened() {
    if (port_.portNumber() == habitsPort_) return;
    habits_ = {};
    habitsPort_ = port_.portNumber();
}

void DeviceLink::Pausa(std::int32_t n) {
    if (n <= 0 || ContadorPausa == 0) return;
    clock_.pauseUntil(clock_.now() + n / 1000.0);
}

void DeviceLink::trailingPause() {
    // Pausa(20), with the observers told how long the line rests.
    if (ContadorPausa == 0) return;
    const double until = clock_.now() + 20 / 1000.0;
    if (!observers_.empty()) {
        const auto observers = observers_;
        for (LineObserver* observer : observers) observer->lineIdle(until);
    }
    clock_.pauseUntil(until);
}

void DeviceLink::addObserver(LineObserver* observer) {
    if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void DeviceLink::removeObserver(LineObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

const texts::TextTable& DeviceLink::meaningTable() const {
    static const texts::TextTable english(texts::Language::English);
    return meaningTexts != nullptr ? *meaningTexts : english;
}

void DeviceLink::notify(LineEventKind kind, std::vector<std::uint8_t> bytes, int attempt, std::string meaning,
                        bool malformed, bool refused, std::optional<double> time, ReplyNote note) {
    LineEvent event;
    event.kind = kind;
    event.time = time ? *time : clock_.now();
    event.bytes = std::move(bytes);
    event.attempt = attempt;
    event.meaning = std::move(meaning);
    event.malformed = malformed;
    event.refused = refused;
    event.note = note;
    // An observer may detach itself (a window closing) while it is told.
    const auto observers = observers_;
    for (LineObserver* observer : observers) observer->lineEvent(event);
}

RespuestaComando DeviceLink::EnviarComando(const TramaComando& trama) {
    ++counters_.transactions;
    heard_ = false;
    malformedAttempts_ = 0;
    RespuestaComando result;
    const auto frame = frameBytes(trama);
    int remaining = kAttempts;
    for (int attempt = 1; remaining > 0; ++attempt) {
        if (attempt > 1) ++counters_.retries;
        discardStale(attempt);
        for (std::size_t i = 0; i < frame.size(); ++i) {
            port_.writeByte(frame[i]);
            if (i + 1 < frame.size()) Pausa(1);
        }
        if (!observers_.empty())
            notify(LineEventKind::Sent, {frame.begin(), frame.end()}, attempt, commandMeaning(meaningTable(), frame));

        Outcome outcome = awaitReply(result, frame, attempt);
        if (outcome == Outcome::Taken || outcome == Outcome::TakenWithTail) {
            try {
                trailingPause();
                // Bytes that came after the reply are its tail or a second
                // reply: deal with them now, before the caller may close and
                // reopen the port and lose track of them.
                if (outcome == Outcome::Taken && !settleAfterReply(attempt)) outcome = Outcome::Refused;
            } catch (const platform::PortError&) {
                // The reply is in whole; a line lost after it is the next
                // transaction's to report, with the port already closed.
            }
        }
        switch (outcome) {
            case Outcome::Taken:
            case Outcome::TakenWithTail:
                endTransaction();
                return result;
            case Outcome::Cancelled:
                result = RespuestaComando{};
                result.Resultado = kNak;
                return result;
            case Outcome::NoReply:
            case Outcome::Refused:
                result = RespuestaComando{};
                result.Resultado = kNak;
                --remaining;
                status_("Error R " + signedNumber(kAttempts - remaining));
                // The unit may still be answering this attempt: let it finish
                // before anything else goes out.
                waitForQuietLine(attempt);
                break;
        }
        Pausa(20);
    }
    endTransaction();
    return result;
}

void DeviceLink::endTransaction() {
    if (heard_) {
        silentInRow_ = 0;
        return;
    }
    ++silentInRow_;
    // Not a byte in three attempts: the cable may have been pulled and
    // another unit plugged in, which must show its ways afresh.
    habits_ = {};
}

std::vector<std::uint8_t> DeviceLink::readInput() {
    auto bytes = port_.readAll();
    if (!bytes.empty()) heard_ = true;
    return bytes;
}

void DeviceLink::discardStale(int attempt) {
    // Let the port take in what the line delivered during the pauses.
    events_.processEvents();
    std::vector<std::uint8_t> stale;
    if (port_.bytesAvailable() > 0) stale = readInput();
    port_.discardInput();
    if (stale.empty()) return;
    counters_.staleBytesDiscarded += stale.size();
    if (!observers_.empty()) {
        std::string meaning =
            withNumbers(meaningTable().CargarTexto(texts::id::kStale), static_cast<int>(stale.size()));
        notify(LineEventKind::Stale, std::move(stale), attempt, std::move(meaning));
    }
    // Bytes still coming when the frame is due are the tail of something
    // this frame must not be answered by: wait until they stop.
    waitForQuietLine(attempt);
}

bool DeviceLink::settleAfterReply(int attempt) {
    events_.processEvents();
    if (port_.bytesAvailable() == 0) {
        if (habits_.exactRun < kHabitToTrust) ++habits_.exactRun;
        return true;
    }
    auto after = readInput();
    // From a unit that has answered with exactly eight bytes, more bytes are
    // a second reply, and the first may have been meant for another question.
    const bool second = refusesLapse(habits_.exactRun, attempt);
    if (!second) habits_.exactRun = 0;
    if (second && !observers_.empty()) {
        notify(LineEventKind::Late, after, attempt,
               withNumbers(meaningTable().CargarTexto(texts::id::kSecondReply), attempt, kAttempts), false, true,
               std::nullopt, ReplyNote::SecondReply);
        counters_.lateBytesDropped += after.size();
        after.clear();
    }
    waitForQuietLine(attempt, std::move(after));
    return !second;
}

bool DeviceLink::refusesLapse(int run, int attempt) {
    return run >= kHabitToTrust || (run >= 1 && attempt < kAttempts);
}

bool DeviceLink::takesFraming(bool wellFormed) {
    if (wellFormed) {
        habits_.framed = true;
        habits_.unframed = false;
        return true;
    }
    ++malformedAttempts_;
    if (habits_.unframed) return true;
    if (!habits_.framed && malformedAttempts_ >= kAttempts) {
        habits_.unframed = true;
        return true;
    }
    return false;
}

bool DeviceLink::takesEcho(bool echoes, int attempt) {
    if (echoes) {
        if (habits_.echoRun < kHabitToTrust) ++habits_.echoRun;
        return true;
    }
    if (refusesLapse(habits_.echoRun, attempt)) return false;
    habits_.echoRun = 0;
    return true;
}

void DeviceLink::waitForQuietLine(int attempt, std::vector<std::uint8_t> dropped) {
    const double start = clock_.now();
    const double limit = start + kQuietLimit;
    double quietUntil = start + kQuietTime;
    // The event carries the instant the first of its bytes was thrown away.
    double firstDropped = start;
    for (;;) {
        events_.processEvents();
        if (port_.bytesAvailable() > 0) {
            const auto bytes = readInput();
            if (dropped.empty()) firstDropped = clock_.now();
            dropped.insert(dropped.end(), bytes.begin(), bytes.end());
            quietUntil = clock_.now() + kQuietTime;
        }
        const double now = clock_.now();
        if (now >= quietUntil || now >= limit || (cancelled && cancelled())) break;
        double wake = std::min(quietUntil, limit);
        if (auto next = port_.nextArrivalTime()) wake = std::min(wake, *next);
        events_.waitUntil(wake);
    }
    if (dropped.empty()) return;
    counters_.lateBytesDropped += dropped.size();
    if (!observers_.empty()) {
        std::string meaning =
            withNumbers(meaningTable().CargarTexto(texts::id::kLate), static_cast<int>(dropped.size()));
        notify(LineEventKind::Late, std::move(dropped), attempt, std::move(meaning), false, false, firstDropped);
    }
}

std::string DeviceLink::noteText(ReplyNote note, int attempt) const {
    const auto& texts = meaningTable();
    switch (note) {
        case ReplyNote::MalformedRefused:
            return withNumbers(texts.CargarTexto(texts::id::kMalformedRefused), attempt, kAttempts);
        case ReplyNote::MalformedTaken:
            return texts.CargarTexto(texts::id::kMalformedTaken);
        case ReplyNote::OtherQuestion:
            return withNumbers(texts.CargarTexto(texts::id::kOtherQuestion), attempt, kAttempts);
        case ReplyNote::CannotTellRepeats:
            return texts.CargarTexto(texts::id::kCannotTellRepeats);
        case ReplyNote::SecondReply:
            return withNumbers(texts.CargarTexto(texts::id::kSecondReply), attempt, kAttempts);
        case ReplyNote::None:
            break;
    }
    return {};
}

DeviceLink::Outcome DeviceLink::awaitReply(RespuestaComando& result, const FrameArray& frame, int attempt) {
    const double t0 = clock_.now();
    // Strictly more than the limit has to pass; wake just after it.
    const double deadline = t0 + kReplyTimeLimit + 0.001;
    for (;;) {
        events_.processEvents();
        if (cancelled && cancelled()) return Outcome::Cancelled;
        if (clock_.now() - t0 > kReplyTimeLimit) {
            status_("Time Out Transmision");
            ++counters_.attemptsWithoutReply;
            if (!observers_.empty())
                notify(LineEventKind::NoReply, {}, attempt,
                       withNumbers(meaningTable().CargarTexto(texts::id::kNoReply), attempt, kAttempts));
            return Outcome::NoReply;
        }
        if (port_.bytesAvailable() >= kFrameLength) {
            auto reply = readInput();
            const bool wellFormed = isWellFormedReply(reply);
            if (!wellFormed) ++counters_.malformedReplies;
            const bool framingTaken = takesFraming(wellFormed);
            const bool echoes = reply[kData1At] == frame[kCommandAt] && reply[kData2At] == frame[kParameter1At];
            const bool echoTaken = framingTaken && takesEcho(echoes, attempt);
            // The unit said once that it does not repeat the question.
            const bool tellNoEcho = echoTaken && !echoes && !habits_.echoNoticeGiven;
            if (tellNoEcho) habits_.echoNoticeGiven = true;
            const bool taken = framingTaken && echoTaken;
            const bool trailing = reply.size() > kFrameLength;
            // Bytes past the eighth, from a unit that sends eight: a second reply.
            const bool second = taken && trailing && refusesLapse(habits_.exactRun, attempt);
            if (!observers_.empty()) {
                const ReplyNote note = !framingTaken ? ReplyNote::MalformedRefused
                                       : !echoTaken  ? ReplyNote::OtherQuestion
                                       : !wellFormed ? ReplyNote::MalformedTaken
                                       : tellNoEcho  ? ReplyNote::CannotTellRepeats
                                       : second      ? ReplyNote::SecondReply
                                                     : ReplyNote::None;
                std::string meaning = replyMeaning(meaningTable(), frame, reply);
                if (note != ReplyNote::None) meaning += " \u2014 " + noteText(note, attempt);
                notify(LineEventKind::Reply, reply, attempt, std::move(meaning), !wellFormed, !taken || second,
                       std::nullopt, note);
            }
            if (!taken || second) return Outcome::Refused;
            result = decodeReply(reply);
            if (trailing) {
                // Bytes past the eighth are dropped, and so is whatever
                // follows them, so none of it can glue onto the next reply.
                habits_.exactRun = 0;
                counters_.lateBytesDropped += reply.size() - kFrameLength;
                waitForQuietLine(attempt);
                return Outcome::TakenWithTail;
            }
            return Outcome::Taken;
        }
        double wake = deadline;
        if (auto next = port_.nextArrivalTime()) wake = std::min(wake, *next);
        events_.waitUntil(wake);
    }
}

}  // namespace zrk::link
