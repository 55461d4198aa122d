#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zrk::link {

// One command to the unit.
struct TramaComando {
    std::int32_t Valor = 0;  // only the low 16 bits travel
    std::uint8_t Comando = 0;
    std::uint8_t Parametro1 = 0;
    std::uint8_t Parametro2 = 0;
};

// The outcome of one transaction: Resultado 6 (a reply was taken) or 21.
struct RespuestaComando {
    std::uint8_t Resultado = 0;
    std::int32_t Valor = 0;
    std::uint8_t Dato1 = 0;
    std::uint8_t Dato2 = 0;
    std::uint8_t Dato3 = 0;
};

inline constexpr std::uint8_t kAck = 6;
inline constexpr std::uint8_t kNak = 21;
inline constexpr std::size_t kFrameLength = 8;

// Where each byte sits in a frame; a reply has the same shape, with Dato1 to
// Dato3 where the command and its parameters were.
inline constexpr std::uint8_t kHeaderFirst = 74;   // 'J'
inline constexpr std::uint8_t kHeaderSecond = 88;  // 'X'
inline constexpr std::size_t kValueHighAt = 2;
inline constexpr std::size_t kValueLowAt = 3;
inline constexpr std::size_t kCommandAt = 4;
inline constexpr std::size_t kParameter1At = 5;
inline constexpr std::size_t kParameter2At = 6;
inline constexpr std::size_t kCheckAt = 7;
inline constexpr std::size_t kData1At = kCommandAt;
inline constexpr std::size_t kData2At = kParameter1At;
inline constexpr std::size_t kData3At = kParameter2At;

// The check byte: 255 XOR every byte after the two header bytes.
std::uint8_t checkByte(const TramaComando& trama);
// The eight bytes on the wire: 'J', 'X', Valor high, Valor low, command,
// parameters, check byte.
std::array<std::uint8_t, kFrameLength> frameBytes(const TramaComando& trama);
// A reply taken from the first eight bytes read (at least eight): Resultado 6
// and the fields as they sit, whatever the header and check byte say.
RespuestaComando decodeReply(std::span<const std::uint8_t> reply);

// A number as the status texts write it: a blank in the sign position when
// not negative (" 7", "-7").
std::string signedNumber(long long value);

}  // namespace zrk::link
