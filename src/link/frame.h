#pragma once

#include <array>
#include <cstdint>
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

// The check byte: 255 XOR every byte after the two header bytes.
std::uint8_t checkByte(const TramaComando& trama);
// The eight bytes on the wire: 'J', 'X', Valor high, Valor low, command,
// parameters, check byte.
std::array<std::uint8_t, kFrameLength> frameBytes(const TramaComando& trama);

// A number as the status texts write it: a blank in the sign position when
// not negative (" 7", "-7").
std::string signedNumber(long long value);

}  // namespace zrk::link
