#include "link/device_link.h"

#include <algorithm>

namespace zrk::link {

DeviceLink::DeviceLink(platform::SerialPort& port, platform::EventLoop& events, platform::Clock& clock, StatusLine status)
    : port_(port), events_(events), clock_(clock), status_(std::move(status)) {}

void DeviceLink::AbrirCom() {
    if (port_.isOpen()) return;
    port_.setDtrEnabled(true);
    port_.open();
}

void DeviceLink::CerrarCom() {
    if (port_.isOpen()) port_.close();
}

void DeviceLink::Pausa(std::int32_t n) {
    if (n <= 0 || ContadorPausa == 0) return;
    clock_.pauseUntil(clock_.now() + n / 1000.0);
}

RespuestaComando DeviceLink::EnviarComando(const TramaComando& trama) {
    RespuestaComando result;
    const auto frame = frameBytes(trama);
    int remaining = kAttempts;
    while (remaining > 0) {
        // A late or partial reply to an earlier attempt must not be glued to
        // the reply to this one.
        port_.discardInput();
        for (std::size_t i = 0; i < frame.size(); ++i) {
            port_.writeByte(frame[i]);
            if (i + 1 < frame.size()) Pausa(1);
        }
        if (awaitReply(result)) {
            remaining = 0;
        } else if (cancelled && cancelled()) {
            result = RespuestaComando{};
            result.Resultado = kNak;
            return result;
        } else {
            result = RespuestaComando{};
            result.Resultado = kNak;
            --remaining;
            status_("Error R " + signedNumber(kAttempts - remaining));
        }
        Pausa(20);
    }
    return result;
}

bool DeviceLink::awaitReply(RespuestaComando& result) {
    const double t0 = clock_.now();
    // Strictly more than the limit has to pass; wake just after it.
    const double deadline = t0 + kReplyTimeLimit + 0.001;
    for (;;) {
        events_.processEvents();
        if (cancelled && cancelled()) return false;
        if (clock_.now() - t0 > kReplyTimeLimit) {
            status_("Time Out Transmision");
            return false;
        }
        if (port_.bytesAvailable() >= kFrameLength) {
            const auto reply = port_.readAll();
            result.Resultado = kAck;
            result.Valor = reply[2] * 256 + reply[3];
            result.Dato1 = reply[4];
            result.Dato2 = reply[5];
            result.Dato3 = reply[6];
            return true;
        }
        double wake = deadline;
        if (auto next = port_.nextArrivalTime()) wake = std::min(wake, *next);
        events_.waitUntil(wake);
    }
}

}  // namespace zrk::link
