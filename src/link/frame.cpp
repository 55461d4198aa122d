#include "link/frame.h"

namespace zrk::link {

std::uint8_t checkByte(const TramaComando& t) {
    const auto high = static_cast<std::uint8_t>((t.Valor >> 8) & 0xFF);
    const auto low = static_cast<std::uint8_t>(t.Valor & 0xFF);
    return static_cast<std::uint8_t>(255 ^ high ^ low ^ t.Comando ^ t.Parametro1 ^ t.Parametro2);
}

std::array<std::uint8_t, kFrameLength> frameBytes(const TramaComando& t) {
    return {kHeaderFirst,
            kHeaderSecond,
            static_cast<std::uint8_t>((t.Valor >> 8) & 0xFF),
            static_cast<std::uint8_t>(t.Valor & 0xFF),
            t.Comando,
            t.Parametro1,
            t.Parametro2,
            checkByte(t)};
}

RespuestaComando decodeReply(std::span<const std::uint8_t> reply) {
    RespuestaComando result;
    result.Resultado = kAck;
    result.Valor = reply[kValueHighAt] * 256 + reply[kValueLowAt];
    result.Dato1 = reply[kData1At];
    result.Dato2 = reply[kData2At];
    result.Dato3 = reply[kData3At];
    return result;
}

std::string signedNumber(long long value) {
    std::string text(value < 0 ? 0 : 1, ' ');
    text += std::to_string(value);
    return text;
}

}  // namespace zrk::link
