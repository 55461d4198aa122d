#include "params/image_table.h"

#include <map>
#include <stdexcept>

#include "form/frm_main.h"
#include "params/codepage.h"
#include "params/numbers.h"
#include "texts/text_ids.h"

namespace zrk::params {
namespace {

using TextField = FormControl<form::TextBox>;
using ListField = FormControl<form::ComboBox>;
using CheckField = FormControl<form::CheckBox>;

std::int32_t read16(const ParameterImage& m, int a) { return m[a] * 256 + m[a + 1]; }
std::int32_t read24(const ParameterImage& m, int a) { return m[a] * 65536 + m[a + 1] * 256 + m[a + 2]; }
void bits16(ParameterImage& m, int a, std::int32_t v) {
    m[a] = (v >> 8) & 0xFF;
    m[a + 1] = v & 0xFF;
}
void bits24(ParameterImage& m, int a, std::int32_t v) {
    m[a] = (v >> 16) & 0xFF;
    bits16(m, a + 1, v);
}
// Truncating division: a negative or too large value leaves cells outside a byte.
void divide16(ParameterImage& m, int a, std::int32_t v) {
    m[a] = v / 256;
    m[a + 1] = v % 256;
}

Fixed4 strict(CodecContext& c, const std::string& text) { return strictNumber(text, c.numbers, c.texts); }
std::int32_t lenientRounded(const std::string& field, const std::string& text) {
    return roundToInt32(lenientNumber(text), field);
}

// The largest value a row's cells hold: one byte, 16 or 24 bits.
constexpr std::int32_t kByteMax = 0xFF, k16Max = 0xFFFF, k24Max = 0xFFFFFF;

// Refuses what the cells cannot hold, instead of cutting it down to fit:
// 300 in one byte would otherwise reach the unit as 44.
const texts::TextTable& messages(const CodecContext& c) {
    static const texts::TextTable english(texts::Language::English);
    return c.texts != nullptr ? *c.texts : english;
}
RangeError outOfRange(const CodecContext& c, const std::string& text, std::int32_t max, int decimals) {
    return RangeError(texts::fill(messages(c).CargarTexto(texts::id::kOutOfRange),
                                  {text, "0", formatScaled(max, decimals, c.numbers.decimal)}));
}
std::int32_t fitting(std::int32_t v, const CodecContext& c, const std::string& text, std::int32_t max,
                     int decimals = 0) {
    if (v < 0 || v > max) throw outOfRange(c, text, max, decimals);
    return v;
}
// The strict value times `factor`, rounded, within 0..max.
std::int32_t strictScaled(CodecContext& c, const std::string& field, const std::string& text, int factor,
                          std::int32_t max, int decimals) {
    const Fixed4 value = strict(c, text);
    std::int32_t v = 0;
    try {
        v = scaleToInt32(value, factor, field);
    } catch (const ConversionError&) {
        throw outOfRange(c, text, max, decimals);
    }
    return fitting(v, c, text, max, decimals);
}
std::int32_t lenientFitting(CodecContext& c, const std::string& field, const std::string& text, std::int32_t max) {
    std::int32_t v = 0;
    try {
        v = lenientRounded(field, text);
    } catch (const ConversionError&) {
        throw outOfRange(c, text, max, 0);
    }
    return fitting(v, c, text, max);
}
// A correction the encoding makes to the field's text ("0" for a text that
// is no number, the largest value for one too large): the field takes it
// only when the context says so, a preview just encodes from it.
std::string corrected(CodecContext& c, TextField box, const std::string& text) {
    if (c.correctFields) box(c.frm).setText(text);
    return text;
}
int sensorType(const CodecContext& c) { return c.frm.ComboSensorLuz.ListIndex(); }

// Row builders, by kind of field. A text row says what a read shows for its
// cells; its decode puts exactly that into the field.
ImageRow textRow(int a, int length, std::string f, TextField box, ImageRow::Show show) {
    ImageRow row;
    row.first = a;
    row.length = length;
    row.field = std::move(f);
    row.control = box;
    row.show = show;
    row.decode = [=](const ParameterImage& m, CodecContext& c) { box(c.frm).setText(show(m, c, sensorType(c))); };
    return row;
}
// The value times 10^decimals in two or three cells, high first; `divide`
// splits it by division instead of by bits.
ImageRow scaled(int a, int cells, std::string f, TextField box, int decimals, bool divide) {
    int factor = 1;
    for (int i = 0; i < decimals; ++i) factor *= 10;
    const std::int32_t max = cells == 3 ? k24Max : k16Max;
    ImageRow row = textRow(a, cells, f, box, [=](const ParameterImage& m, const CodecContext& c, int) {
        return formatScaled(cells == 3 ? read24(m, a) : read16(m, a), decimals, c.numbers.decimal);
    });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const auto v = strictScaled(c, f, box(c.frm).Text(), factor, max, decimals);
        if (cells == 3)
            bits24(m, a, v);
        else
            divide ? divide16(m, a, v) : bits16(m, a, v);
    };
    return row;
}
ImageRow integer16(int a, std::string f, TextField box) {
    ImageRow row = textRow(
        a, 2, f, box, [=](const ParameterImage& m, const CodecContext&, int) { return std::to_string(read16(m, a)); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        bits16(m, a, lenientFitting(c, f, box(c.frm).Text(), k16Max));
    };
    return row;
}
std::string byteText(const ParameterImage& m, int a) { return std::to_string(m[a]); }
// One-byte integers, read leniently or strictly; a value beyond a byte is refused.
enum class Byte { Lenient, Strict };
ImageRow integer8(int a, std::string f, TextField box, Byte how) {
    ImageRow row =
        textRow(a, 1, f, box, [=](const ParameterImage& m, const CodecContext&, int) { return byteText(m, a); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = box(c.frm).Text();
        m[a] = how == Byte::Strict ? strictScaled(c, f, text, 1, kByteMax, 0) : lenientFitting(c, f, text, kByteMax);
    };
    return row;
}
// A list whose position is the cell, within the list's cap.
ImageRow listRow(int a, std::string f, ListField list, ListPosition position) {
    ImageRow row;
    row.first = a;
    row.field = std::move(f);
    row.control = list;
    row.position = position;
    row.decode = [=](const ParameterImage& m, CodecContext& c) {
        const auto chosen = position(m[a]);
        if (chosen && *chosen >= 0) list(c.frm).setListIndex(*chosen);
    };
    row.encode = [=](ParameterImage& m, CodecContext& c) { m[a] = list(c.frm).ListIndex(); };
    return row;
}
ImageRow checkRow(int a, std::string f, CheckField check, int (*readState)(int)) {
    ImageRow row;
    row.first = a;
    row.field = std::move(f);
    row.control = check;
    row.readState = readState;
    row.decode = [=](const ParameterImage& m, CodecContext& c) { check(c.frm).setValue(readState(m[a])); };
    row.encode = [=](ParameterImage& m, CodecContext& c) { m[a] = check(c.frm).Value(); };
    return row;
}
// Light levels are stored as the sensor's AD reading and shown in lux. The
// conversion is a table of steps: a write refuses a value above its top step
// (the table would give a reading of 0 lux) and a text that is no number
// ("abc" would reach the unit as 0 lux).
constexpr std::int32_t kLuxTopStep = 520;
ImageRow luxRow(int a, std::string f, TextField box, TextField adBox, bool lenient) {
    ImageRow row = textRow(a, 2, f, box, [=](const ParameterImage& m, const CodecContext& c, int sensor) {
        std::int32_t ad = read16(m, a);
        return std::to_string(c.lux.ADALux(ad, sensor));
    });
    row.followsSensor = true;
    row.decode = [=](const ParameterImage& m, CodecContext& c) {
        std::int32_t ad = read16(m, a);
        const std::int32_t lux = c.lux.ADALux(ad, sensorType(c));
        box(c.frm).setText(std::to_string(lux));
        if (adBox != nullptr) adBox(c.frm).setText(std::to_string(ad));
    };
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = box(c.frm).Text();
        std::int32_t lux = strictScaled(c, f, text, 1, kLuxTopStep, 0);
        bits16(m, a, c.lux.LuxAAD(lux, sensorType(c)));
    };
    // A save keeps the file's own rules: the lamp-on level read leniently,
    // the others strictly, a value beyond the table kept as the table's end.
    row.file.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = box(c.frm).Text();
        std::int32_t lux = lenient ? lenientRounded(f, text) : scaleToInt32(strict(c, text), 1, f);
        bits16(m, a, c.lux.LuxAAD(lux, sensorType(c)));
    };
    return row;
}
// Text that does not count as a number is first replaced by "0" in the field.
std::string zeroIfNotNumeric(CodecContext& c, TextField box) {
    const std::string text = box(c.frm).Text();
    return isNumeric(text, c.numbers) ? text : corrected(c, box, "0");
}

// The night dimming, a percentage: a write leaves the cell alone for a text
// that is no number.
ImageRow nightDimmingRow(int a, std::string f, TextField dimming) {
    ImageRow row =
        textRow(a, 1, f, dimming, [=](const ParameterImage& m, const CodecContext&, int) { return byteText(m, a); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = dimming(c.frm).Text();
        if (isNumeric(text, c.numbers)) m[a] = lenientFitting(c, f, text, kByteMax);
    };
    // A save puts 100 % for a value beyond a byte, in the field too.
    row.file.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = dimming(c.frm).Text();
        if (!isNumeric(text, c.numbers)) return;
        const double value = lenientNumber(text);
        if (value > 255) {
            m[a] = lenientRounded(f, corrected(c, dimming, "100"));
            return;
        }
        m[a] = roundToInt32(value, f);
        if (m[a] < 0)
            throw RangeError(texts::fill(messages(c).CargarTexto(texts::id::kOutOfRange), {text, "0", "255"}));
    };
    return row;
}
// Minutes, shown up to 999 after a read.
ImageRow recoveryMinutesRow(int a, std::string f, TextField timeOf) {
    ImageRow row = textRow(a, 2, f, timeOf, [=](const ParameterImage& m, const CodecContext&, int) {
        const auto v = read16(m, a);
        return v < 1000 ? std::to_string(v) : std::string("999");
    });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        divide16(m, a, strictScaled(c, f, zeroIfNotNumeric(c, timeOf), 1, k16Max, 0));
    };
    // No limit at 999 from a file, unlike a read.
    row.file.decode = [=](const ParameterImage& m, CodecContext& c) {
        timeOf(c.frm).setText(std::to_string(read16(m, a)));
    };
    return row;
}
ImageRow syncPulseRow(int a, std::string f, TextField pulse) {
    ImageRow row =
        textRow(a, 1, f, pulse, [=](const ParameterImage& m, const CodecContext&, int) { return byteText(m, a); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        m[a] = lenientFitting(c, f, zeroIfNotNumeric(c, pulse), kByteMax);
    };
    return row;
}
// A value beyond a byte becomes 255, in the field too.
ImageRow ledGroupsRow(int a, std::string f, TextField group) {
    ImageRow row =
        textRow(a, 1, f, group, [=](const ParameterImage& m, const CodecContext&, int) { return byteText(m, a); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        std::string text = zeroIfNotNumeric(c, group);
        if (lenientNumber(text) > 255) text = corrected(c, group, "255");
        m[a] = lenientFitting(c, f, text, kByteMax);
    };
    return row;
}
// A character a cell in the unit's code page; a cell of 0 shows nothing.
ImageRow charactersRow(int a, int cells, std::string f, TextField ident) {
    ImageRow row = textRow(a, cells, f, ident, [=](const ParameterImage& m, const CodecContext&, int) {
        std::string text;
        for (int i = a; i < a + cells; ++i) {
            if (m[i] == 0) continue;  // no visible character
            text += characterOfCode(static_cast<std::uint8_t>(m[i])).value_or("?");
        }
        return text;
    });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        auto chars = characters(ident(c.frm).Text() + std::string(static_cast<std::size_t>(cells) + 1, ' '));
        for (int i = 0; i < cells; ++i) m[a + i] = codeOfCharacter(chars[static_cast<std::size_t>(i)]);
    };
    row.file.characters = true;
    return row;
}

// The rules of one field, by its encoding.
ImageRow rulesOf(const form::FieldDescriptor& d) {
    using Kind = form::Encoding::Kind;
    const int a = d.first;
    const form::Encoding& e = d.encoding;
    const auto text = [&d] { return std::get<TextField>(d.control); };
    ImageRow row = [&] {
        switch (e.kind) {
            case Kind::Scaled:
                return scaled(a, e.cells, d.name, text(), e.decimals, false);
            case Kind::ScaledByDivision:
                return scaled(a, 2, d.name, text(), e.decimals, true);
            case Kind::Whole16:
                return integer16(a, d.name, text());
            case Kind::StrictByte:
                return integer8(a, d.name, text(), Byte::Strict);
            case Kind::LenientByte:
                return integer8(a, d.name, text(), Byte::Lenient);
            case Kind::LightLevel:
                return luxRow(a, d.name, text(), d.companionControl, e.lenientSave);
            case Kind::List:
                return listRow(a, d.name, std::get<ListField>(d.control), e.position);
            case Kind::Check:
                return checkRow(a, d.name, std::get<CheckField>(d.control), e.readState);
            case Kind::Characters:
                return charactersRow(a, e.cells, d.name, text());
            case Kind::NightDimming:
                return nightDimmingRow(a, d.name, text());
            case Kind::RecoveryMinutes:
                return recoveryMinutesRow(a, d.name, text());
            case Kind::SyncPulse:
                return syncPulseRow(a, d.name, text());
            case Kind::LedGroups:
                return ledGroupsRow(a, d.name, text());
        }
        throw std::logic_error("no rules for the encoding of " + d.name);
    }();
    if (row.length != d.cells()) throw std::logic_error("the encoding of " + d.name + " takes other cells");
    row.file.applied = d.file.applied;
    row.file.saved = d.file.saved;
    row.file.position = d.file.position;
    row.file.zeroForText = d.file.zeroForText;
    return row;
}

}  // namespace

const std::vector<ImageRow>& imageTable() {
    static const std::vector<ImageRow> table = [] {
        std::vector<ImageRow> rows;
        for (const auto& field : form::fieldTable()) rows.push_back(rulesOf(field));
        return rows;
    }();
    return table;
}

const ImageRow& imageRowAt(int address) {
    static const std::map<int, const ImageRow*> byAddress = [] {
        std::map<int, const ImageRow*> m;
        for (const auto& row : imageTable()) m.emplace(row.first, &row);
        return m;
    }();
    auto it = byAddress.find(address);
    if (it == byAddress.end()) throw std::logic_error("no parameter row starts at address " + std::to_string(address));
    return *it->second;
}

}  // namespace zrk::params
