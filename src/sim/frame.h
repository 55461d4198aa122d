#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zrk::sim {

// A command frame and a reply have the same shape on the wire: the header
// 74, 88, then Valor high, Valor low, three data bytes and a check byte.
inline constexpr std::size_t kFrameSize = 8;
using Frame = std::array<std::uint8_t, kFrameSize>;

inline constexpr std::uint8_t kHeaderFirst = 74;
inline constexpr std::uint8_t kHeaderSecond = 88;

// The header bytes do not enter the check byte.
constexpr std::uint8_t checkByte(const Frame& frame) {
    return static_cast<std::uint8_t>(255 ^ frame[2] ^ frame[3] ^ frame[4] ^ frame[5] ^ frame[6]);
}

constexpr bool hasHeader(const Frame& frame) { return frame[0] == kHeaderFirst && frame[1] == kHeaderSecond; }

constexpr bool isValidFrame(const Frame& frame) { return hasHeader(frame) && frame[7] == checkByte(frame); }

// Builds a complete frame (or reply) with its check byte.
constexpr Frame makeFrame(std::uint16_t value, std::uint8_t b5, std::uint8_t b6, std::uint8_t b7) {
    Frame frame{kHeaderFirst,
                kHeaderSecond,
                static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value & 0xFF),
                b5,
                b6,
                b7,
                0};
    frame[7] = checkByte(frame);
    return frame;
}

// A command frame as the tool sends it (Valor 0 unless given).
constexpr Frame makeCommand(std::uint8_t command, std::uint8_t parameter1, std::uint8_t parameter2,
                            std::uint16_t value = 0) {
    return makeFrame(value, command, parameter1, parameter2);
}

constexpr std::uint16_t frameValue(const Frame& frame) { return static_cast<std::uint16_t>(frame[2] << 8 | frame[3]); }
constexpr std::uint8_t frameCommand(const Frame& frame) { return frame[4]; }
constexpr std::uint8_t frameParameter1(const Frame& frame) { return frame[5]; }
constexpr std::uint8_t frameParameter2(const Frame& frame) { return frame[6]; }
// Dato3 of a reply, the byte the tool actually uses.
constexpr std::uint8_t replyData3(const Frame& reply) { return reply[6]; }

}  // namespace zrk::sim
