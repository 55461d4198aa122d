#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "params/lux_tables.h"
#include "platform/number_format.h"

namespace zrk::app {
class FrmMain;
}

namespace zrk::params {

// The unit's in-use map: address n is in use when bit n % 8 of byte n / 8 is set.
struct ParameterMap {
    std::array<std::uint8_t, 32> bytes{};
    bool ComprobarParametro(int address) const;
    bool empty() const;
    bool operator==(const ParameterMap&) const = default;
};

// One transfer's copy of the 256 cells. Cells are wider than a byte: an
// encoder may leave a value outside 0..255, refused only when it is sent.
using ParameterImage = std::array<std::int32_t, 256>;

// What the field codecs work with.
struct CodecContext {
    app::FrmMain& frm;
    const LuxTables& lux;
    platform::NumberFormat numbers;
};

// The first address of every field row, in map order.
const std::vector<int>& rowAddresses();
// The field (or fields) a row stands for, e.g. "TLuxON"; empty for an
// address that carries no field.
std::string fieldAt(int address);
// Whether an address belongs to a field row.
bool carriesField(int address);

// Decodes the row that starts at `address` into its fields. A list position
// or check state the control refuses throws app::ControlError.
void decodeRow(int address, const ParameterImage& image, CodecContext& context);
// Encodes the row that starts at `address` into the image. A text that does
// not convert throws ConversionError naming the field.
void encodeRow(int address, ParameterImage& image, CodecContext& context);

// The order a read decodes in: the sensor type first (the lux fields depend
// on it), then the map order. `yieldAfter` is the row after which the read
// lets the window process events once.
const std::vector<int>& readDecodeOrder();
inline constexpr int kDecodeYieldAfter = 27;

// Encodes every field in rising address order into a fresh image.
ParameterImage encodeImage(CodecContext& context);

// A value the image may not hold for a byte that is sent: names the field.
std::string describeCell(int address, std::int32_t value);

}  // namespace zrk::params
