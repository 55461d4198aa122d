#pragma once

#include <cstdint>
#include <optional>

#include "form/frm_main.h"
#include "form/operation_progress.h"
#include "link/device_link.h"
#include "link/protocol.h"

namespace zrk::ops {

// Small guards a device operation stacks up; each puts back what it took on
// every way out, errors included. Declared in the order below, they end
// with the port closed first, then the progress, then the buttons.

// The action buttons (Open, Save, Read, Write) are off while it lives.
class ButtonsOff {
public:
    explicit ButtonsOff(form::FrmMain& frm) : frm_(frm) { frm_.DeshabilitaBotones(); }
    ~ButtonsOff() { frm_.HabilitaBotones(); }
    ButtonsOff(const ButtonsOff&) = delete;
    ButtonsOff& operator=(const ButtonsOff&) = delete;

private:
    form::FrmMain& frm_;
};

// The progress bar runs with `planned` transactions while it lives.
class ProgressRun {
public:
    ProgressRun(form::OperationProgress& progress, int planned) : progress_(progress) { progress_.begin(planned); }
    ~ProgressRun() { progress_.end(); }
    ProgressRun(const ProgressRun&) = delete;
    ProgressRun& operator=(const ProgressRun&) = delete;

private:
    form::OperationProgress& progress_;
};

// The port is closed when it ends, whether or not it was opened.
class PortClosedAfter {
public:
    explicit PortClosedAfter(link::DeviceLink& link) : link_(link) {}
    ~PortClosedAfter() { link_.CerrarCom(); }
    PortClosedAfter(const PortClosedAfter&) = delete;
    PortClosedAfter& operator=(const PortClosedAfter&) = delete;

private:
    link::DeviceLink& link_;
};

// The three together, as every operation on the parameter memory takes them.
class OperationScope {
public:
    OperationScope(form::FrmMain& frm, form::OperationProgress& progress, link::DeviceLink& link, int planned)
        : buttons_(frm), progress_(progress, planned), port_(link) {}

private:
    ButtonsOff buttons_;
    ProgressRun progress_;
    PortClosedAfter port_;
};

// Reads one cell of the parameter memory; nothing when the unit does not answer.
inline std::optional<std::uint8_t> readCell(link::DeviceLink& link, int address) {
    const auto reply = link.EnviarComando(link::readMemoryFrame(address));
    if (reply.Resultado != link::kAck) return std::nullopt;
    return link::replyByte(reply);
}

// The identifier number of the unit on the line, high byte in cell 254 and
// low byte in 255: two transactions, the second only when the first is
// answered. Nothing when either goes unanswered.
inline std::optional<std::uint16_t> readIdentifier(link::DeviceLink& link) {
    const auto high = readCell(link, 254);
    const auto low = high ? readCell(link, 255) : std::nullopt;
    if (!high || !low) return std::nullopt;
    return static_cast<std::uint16_t>(*high * 256 + *low);
}

}  // namespace zrk::ops
