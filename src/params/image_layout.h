#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "params/loaded_fields.h"
#include "params/lux_tables.h"
#include "platform/number_format.h"
#include "texts/texts.h"

namespace zrk::form {
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

// The unit the form was read from: a write goes to that unit only.
struct UnitBinding {
    ParameterMap map;
    // Cells 254 and 255, when the unit uses them.
    std::optional<std::uint16_t> identifier;
    // The field rows read from the unit, with their cells and what they
    // showed: what the form is compared with, and all a write may send.
    LoadedFields unit;
    // Every in-use address was read (not only a few fields).
    bool fullRead = true;
    // How the record names the unit: its identifier number, "-" without one.
    std::string name() const { return identifier ? std::to_string(*identifier) : "-"; }
};

// The addresses a write treats apart. It sends the fields up to
// kLastOfFirstPass in one pass (beeping after kBeepAfter), never the
// manufacturing data, and the identifier number last, so that a unit that
// takes a new number has taken everything else first.
inline constexpr int kLastOfFirstPass = 246;
inline constexpr int kBeepAfter = 223;
inline constexpr int kManufacturingFirst = 247, kManufacturingLast = 253;
inline constexpr int kIdentifierHigh = 254, kIdentifierLow = 255;
inline constexpr int kSensorTypeRow = 41;
inline bool isManufacturingData(int address) { return address >= kManufacturingFirst && address <= kManufacturingLast; }

// One transfer's copy of the 256 cells. Cells are wider than a byte: an
// encoder may leave a value outside 0..255, refused only when it is sent.
using ParameterImage = std::array<std::int32_t, 256>;

// What the field codecs work with.
struct CodecContext {
    form::FrmMain& frm;
    const LuxTables& lux;
    platform::NumberFormat numbers;
    // What the fields were loaded with: a row the operator left alone is
    // encoded as its loaded cells. None: every row by the conversion rules.
    const LoadedFields* loaded = nullptr;
    // Encoding for a parameter file, which stores lists and check boxes as
    // the form shows them.
    bool forFile = false;
    // The language of the messages; none: English.
    const texts::TextTable* texts = nullptr;
    // Whether an encoding may correct a field's text as it goes ("0" for a
    // text that is no number in some fields); a preview of a write leaves
    // the form alone and encodes from the corrected text all the same.
    bool correctFields = true;
    // How messages name a field row (its caption); none: by its code name.
    std::function<std::string(int row)> nameOf{};
};

// The first address of every field row, in map order.
const std::vector<int>& rowAddresses();
// The field (or fields) a row stands for, e.g. "TLuxON"; empty for an
// address that carries no field.
std::string fieldAt(int address);
// Whether an address belongs to a field row.
bool carriesField(int address);
// The number of cells of the row that starts at `address`.
int rowLength(int address);
// Whether the row is a list position or a check state.
bool holdsChoice(int address);

// What the form shows for the row that starts at `address`: the field's
// text, list position or check state (and the sensor type, for light levels).
std::string shownState(int address, const form::FrmMain& frm);
// What a read of `cells` would show for that row, in the same form as
// shownState, with `sensor` the light-sensor type a read would select. A
// list whose cell a read does not select gives `unchanged`.
std::string shownStateOfCells(int address, const ParameterImage& cells, const CodecContext& context, int sensor,
                              const std::string& unchanged);
// Remembers, for each row, its cells of `cells` and what the form shows now.
void rememberRows(const std::vector<int>& addresses, const ParameterImage& cells, const form::FrmMain& frm,
                  LoadedFields& into);
// Whether the row still shows what it was loaded with.
bool rowUnchanged(int address, const CodecContext& context);

// Decodes the row that starts at `address` into its fields. A list position
// or check state the control refuses throws form::ControlError.
void decodeRow(int address, const ParameterImage& image, CodecContext& context);
// Encodes the row that starts at `address` into the image: the loaded cells
// when the row is unchanged, else by its conversion rules. A text that does
// not convert, or a value its cells cannot hold, throws ConversionError
// naming the field, the value and the range.
void encodeRow(int address, ParameterImage& image, CodecContext& context);

// A parameter file's rules, where they differ from the unit's (the row's
// file rules in the image table).
// Whether opening a file sets the row that starts at `address`.
bool appliedFromFile(int address);
// Decodes a file's row into its fields: lists and check boxes as the file
// holds them, with the reader's own replacements. A list position or check
// state the control refuses throws form::ControlError.
void decodeFileRow(int address, const ParameterImage& image, CodecContext& context);
// Encodes the row for a save, as encodeRow with the writer's own rules; a
// row a file never carries is left as it is.
void encodeFileRow(int address, ParameterImage& image, const CodecContext& context);

// The order a read decodes in: the sensor type first (the lux fields depend
// on it), then the map order. `yieldAfter` is the row after which the read
// lets the window process events once.
const std::vector<int>& readDecodeOrder();
inline constexpr int kDecodeYieldAfter = 27;

// Encodes every field in rising address order into a fresh image.
ParameterImage encodeImage(CodecContext& context);

}  // namespace zrk::params
