#include "link/line_trace.h"

#include <cstdio>

#include "link/device_link.h"

namespace zrk::link {

std::string traceLine(double seconds, std::string_view tag, std::string_view text) {
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f ", seconds);
    std::string line = time;
    line += tag;
    line += ' ';
    line += text;
    line += '\n';
    return line;
}

std::string traceBytes(double seconds, std::string_view tag, const std::vector<std::uint8_t>& bytes) {
    const std::size_t head = std::min(bytes.size(), kFrameLength);
    std::string text = traceLine(seconds, tag, hexBytes(bytes.data(), head));
    if (bytes.size() > head) {
        text +=
            traceLine(seconds, "--", "beyond the eighth byte: " + hexBytes(bytes.data() + head, bytes.size() - head));
    }
    return text;
}

void LineTrace::lineEvent(const LineEvent& event) {
    const double t = event.time - start_;
    const std::string ofAttempts =
        ", attempt " + std::to_string(event.attempt) + " of " + std::to_string(DeviceLink::kAttempts);
    std::string text;
    switch (event.kind) {
        case LineEventKind::Sent:
            text = traceBytes(t, "TX", event.bytes);
            break;
        case LineEventKind::Reply:
            text = traceBytes(t, "RX", event.bytes);
            switch (event.note) {
                case ReplyNote::MalformedRefused:
                    text += traceLine(t, "--", "malformed reply refused" + ofAttempts);
                    break;
                case ReplyNote::MalformedTaken:
                    text += traceLine(t, "--", "malformed reply, taken as it is");
                    break;
                case ReplyNote::OtherQuestion:
                    text += traceLine(t, "--", "reply to another question refused" + ofAttempts);
                    break;
                case ReplyNote::CannotTellRepeats:
                    text +=
                        traceLine(t, "--", "replies do not repeat the question: a repeated reply cannot be told apart");
                    break;
                case ReplyNote::SecondReply:
                    text += traceLine(t, "--", "a second reply followed" + ofAttempts + " failed");
                    break;
                case ReplyNote::None:
                    break;
            }
            break;
        case LineEventKind::NoReply:
            text = traceLine(t, "--", "no reply" + ofAttempts);
            break;
        case LineEventKind::Stale:
            text = traceLine(
                t, "--", "discarded " + std::to_string(event.bytes.size()) + " stale bytes: " + hexBytes(event.bytes));
            break;
        case LineEventKind::Late:
            if (event.note == ReplyNote::SecondReply) {
                text = traceLine(t, "--", "a second reply" + ofAttempts + " failed: " + hexBytes(event.bytes));
                break;
            }
            text = traceLine(t, "--",
                             "dropped " + std::to_string(event.bytes.size()) + " late bytes: " + hexBytes(event.bytes));
            break;
    }
    out_ << text;
    out_.flush();
}

}  // namespace zrk::link
