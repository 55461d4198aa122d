#include "link/line_events.h"

#include <cstdio>

#include "link/protocol.h"
#include "texts/text_ids.h"
#include "texts/texts.h"

namespace zrk::link {

namespace {

// What a command reads back, if anything, and how the value is best shown.
enum class ReplyUse { Acknowledgement, Decimal, Hex };

struct Described {
    std::string text;
    ReplyUse use = ReplyUse::Acknowledgement;
};

std::string fill(std::string text, std::initializer_list<std::string> values) {
    int n = 1;
    for (const auto& value : values) {
        const std::string mark = "%" + std::to_string(n++);
        const auto at = text.find(mark);
        if (at != std::string::npos) text.replace(at, mark.size(), value);
    }
    return text;
}

std::string number(int value) { return std::to_string(value); }

Described describe(const texts::TextTable& t, const FrameArray& frame) {
    const int command = frame[kCommandAt];
    const int p1 = frame[kParameter1At];
    const int p2 = frame[kParameter2At];
    switch (static_cast<Command>(command)) {
        case Command::ReadMemory:
            return {fill(t.CargarTexto(texts::id::kReadAddress), {number(p1)}), ReplyUse::Decimal};
        case Command::WriteMemory:
            return {fill(t.CargarTexto(texts::id::kWriteAddress), {number(p1), number(p2)})};
        case Command::ReadStatus:
            if (p1 <= code(StatusSelector::OutputsHigh))
                return {t.CargarTexto(texts::id::kStatusByteA + p1), ReplyUse::Decimal};
            return {fill(t.CargarTexto(texts::id::kStatusOther), {number(p1)}), ReplyUse::Decimal};
        case Command::RemoteCommand: {
            // Function and state pairs of the remote commands, in text order.
            static constexpr int kStates[] = {2, 3, 2, 2};
            if (p1 < 4 && p2 < kStates[p1]) {
                int offset = 0;
                for (int f = 0; f < p1; ++f) offset += kStates[f];
                return {t.CargarTexto(texts::id::kRemoteFirst + offset + p2)};
            }
            return {fill(t.CargarTexto(texts::id::kRemoteOther), {number(p1), number(p2)})};
        }
        case Command::IdentificationByte:
            return {fill(t.CargarTexto(texts::id::kIdentificationByte), {number(p1)}), ReplyUse::Hex};
        default:
            break;
    }
    if (const int table = segmentTableOf(Command::WriteSegment, command)) {
        return {fill(t.CargarTexto(texts::id::kWriteSegment), {number(table), number(p1), number(p2)})};
    }
    if (const int table = segmentTableOf(Command::ReadSegment, command)) {
        return {fill(t.CargarTexto(texts::id::kReadSegment), {number(table), number(p1)}), ReplyUse::Decimal};
    }
    return {fill(t.CargarTexto(texts::id::kOtherCommand), {number(command), number(p1), number(p2)})};
}

}  // namespace

bool isWellFormedReply(const std::vector<std::uint8_t>& reply) {
    if (reply.size() < kFrameLength || reply[0] != kHeaderFirst || reply[1] != kHeaderSecond) return false;
    std::uint8_t check = 255;
    for (std::size_t i = kValueHighAt; i < kCheckAt; ++i) check ^= reply[i];
    return reply[kCheckAt] == check;
}

std::string commandMeaning(const texts::TextTable& texts, const FrameArray& frame) {
    return describe(texts, frame).text;
}

std::string replyMeaning(const texts::TextTable& texts, const FrameArray& frame,
                         const std::vector<std::uint8_t>& reply) {
    const Described described = describe(texts, frame);
    std::string value;
    const int data3 = reply.size() >= kFrameLength ? reply[kData3At] : 0;
    switch (described.use) {
        case ReplyUse::Acknowledgement:
            value = texts.CargarTexto(texts::id::kAcknowledged);
            break;
        case ReplyUse::Decimal:
            value = number(data3);
            break;
        case ReplyUse::Hex: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(data3));
            value = hex;
            break;
        }
    }
    return described.text + " \u2192 " + value;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace zrk::link
