#include "link/protocol.h"

namespace zrk::link {
namespace {

// Valor stays 0 in every command the tool sends.
TramaComando frame(std::uint8_t commandCode, std::uint8_t parameter1, std::uint8_t parameter2 = 0) {
    TramaComando trama;
    trama.Comando = commandCode;
    trama.Parametro1 = parameter1;
    trama.Parametro2 = parameter2;
    return trama;
}

// Addresses, indexes and offsets travel in one byte.
std::uint8_t byteOf(int value) { return static_cast<std::uint8_t>(value); }

}  // namespace

TramaComando readMemoryFrame(int address) { return frame(code(Command::ReadMemory), byteOf(address)); }

TramaComando writeMemoryFrame(int address, std::uint8_t byte) {
    return frame(code(Command::WriteMemory), byteOf(address), byte);
}

TramaComando readStatusFrame(std::uint8_t selector) { return frame(code(Command::ReadStatus), selector); }

TramaComando remoteCommandFrame(std::uint8_t function, std::uint8_t state) {
    return frame(code(Command::RemoteCommand), function, state);
}

TramaComando identificationFrame(int index) { return frame(code(Command::IdentificationByte), byteOf(index)); }

TramaComando readSegmentFrame(int table, int offset) {
    return frame(segmentCode(Command::ReadSegment, table), byteOf(offset));
}

TramaComando writeSegmentFrame(int table, int offset, std::uint8_t byte) {
    return frame(segmentCode(Command::WriteSegment, table), byteOf(offset), byte);
}

}  // namespace zrk::link
