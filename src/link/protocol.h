#pragma once

#include <cstdint>

#include "link/frame.h"

namespace zrk::link {

// The command codes the unit understands, in the command byte of a frame.
// The segment commands take four codes each, one per segment table; the
// names give table 1's.
enum class Command : std::uint8_t {
    ReadMemory = 1,            // address -> the cell's byte
    WriteMemory = 2,           // address, byte
    ReadStatus = 5,            // selector -> one status byte
    RemoteCommand = 6,         // function, state
    IdentificationByte = 128,  // index -> one byte of the in-use map (0 to 31)
    WriteSegment = 131,        // offset, byte
    ReadSegment = 135,         // offset -> byte
};

inline constexpr int kSegmentTableCount = 4;

constexpr std::uint8_t code(Command command) { return static_cast<std::uint8_t>(command); }

// The code of a segment command for table 1 to 4.
constexpr std::uint8_t segmentCode(Command first, int table) {
    return static_cast<std::uint8_t>(code(first) + table - 1);
}

// Which table (1 to 4) a code of the segment command `first` addresses; 0
// when the code is not one of its four.
constexpr int segmentTableOf(Command first, int commandCode) {
    const int table = commandCode - code(first) + 1;
    return table >= 1 && table <= kSegmentTableCount ? table : 0;
}

// What a status read returns for each selector. The measured values come
// in hundredths, high byte first.
enum class StatusSelector : std::uint8_t {
    ByteA = 0,
    ByteB = 1,
    CurrentHigh = 2,
    CurrentLow = 3,
    SpeedHigh = 4,
    SpeedLow = 5,
    LedCurrentHigh = 6,
    LedCurrentLow = 7,
    Inputs = 8,        // inputs 1 to 8, bit 0 first
    OutputsLow = 9,    // outputs 1 to 8
    OutputsHigh = 10,  // outputs 9 to 11
};

constexpr std::uint8_t code(StatusSelector selector) { return static_cast<std::uint8_t>(selector); }

// The functions of a remote command; the state says which way.
namespace remote {
inline constexpr std::uint8_t kChanger = 0;       // 0 off, 1 on
inline constexpr std::uint8_t kMode = 1;          // 0 normal, 1 day, 2 night
inline constexpr std::uint8_t kMainsFailure = 2;  // 0 off, 1 on
inline constexpr std::uint8_t kMotor = 3;         // 0 motor 1, 1 motor 2
}  // namespace remote

// The frames the procedures send; parameters that do not apply travel as 0.
TramaComando readMemoryFrame(int address);
TramaComando writeMemoryFrame(int address, std::uint8_t byte);
TramaComando readStatusFrame(std::uint8_t selector);
TramaComando remoteCommandFrame(std::uint8_t function, std::uint8_t state);
TramaComando identificationFrame(int index);
TramaComando readSegmentFrame(int table, int offset);
TramaComando writeSegmentFrame(int table, int offset, std::uint8_t byte);

// The byte a reply carries: the cell, status or map byte read.
inline std::uint8_t replyByte(const RespuestaComando& reply) { return reply.Dato3; }
// One bit of that byte, bit 0 the lowest.
inline bool replyBit(const RespuestaComando& reply, int bit) { return ((reply.Dato3 >> bit) & 1) != 0; }

}  // namespace zrk::link
