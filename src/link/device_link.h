#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/frame.h"
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

    platform::SerialPort& port() { return port_; }

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

private:
    bool awaitReply(RespuestaComando& result);

    platform::SerialPort& port_;
    platform::EventLoop& events_;
    platform::Clock& clock_;
    StatusLine status_;
};

}  // namespace zrk::link
