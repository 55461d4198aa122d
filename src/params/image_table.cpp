#include "params/image_table.h"

#include <map>
#include <stdexcept>

#include "form/frm_main.h"
#include "params/codepage.h"
#include "params/numbers.h"
#include "texts/text_ids.h"

namespace zrk::params {
namespace {

using app::FrmMain;
using TextField = FormControl<app::TextBox>;
using ListField = FormControl<app::ComboBox>;
using CheckField = FormControl<app::CheckBox>;

// A row's control, and its name with it, written once so the two agree.
#define ZRK_CONTROL(member) \
    [](const FrmMain& form) -> auto& { return form.member; }
#define ZRK_FORM(member) #member, ZRK_CONTROL(member)

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
ImageRow scaled24(int a, std::string f, TextField box, int factor, int decimals) {
    ImageRow row = textRow(a, 3, f, box, [=](const ParameterImage& m, const CodecContext& c, int) {
        return formatScaled(read24(m, a), decimals, c.numbers.decimal);
    });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        bits24(m, a, strictScaled(c, f, box(c.frm).Text(), factor, k24Max, decimals));
    };
    return row;
}
ImageRow scaled16(int a, std::string f, TextField box, int factor, int decimals, bool divide = false,
                  ImageRow::FileRules file = {}) {
    ImageRow row = textRow(a, 2, f, box, [=](const ParameterImage& m, const CodecContext& c, int) {
        return formatScaled(read16(m, a), decimals, c.numbers.decimal);
    });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const auto v = strictScaled(c, f, box(c.frm).Text(), factor, k16Max, decimals);
        divide ? divide16(m, a, v) : bits16(m, a, v);
    };
    row.file = std::move(file);
    return row;
}
ImageRow integer16(int a, std::string f, TextField box, ImageRow::FileRules file = {}) {
    ImageRow row = textRow(
        a, 2, f, box, [=](const ParameterImage& m, const CodecContext&, int) { return std::to_string(read16(m, a)); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        bits16(m, a, lenientFitting(c, f, box(c.frm).Text(), k16Max));
    };
    row.file = std::move(file);
    return row;
}
std::string byteText(const ParameterImage& m, int a) { return std::to_string(m[a]); }
// One-byte integers, read leniently or strictly; a value beyond a byte is refused.
enum class Byte { Lenient, Strict };
ImageRow integer8(int a, std::string f, TextField box, Byte how, ImageRow::FileRules file = {}) {
    ImageRow row =
        textRow(a, 1, f, box, [=](const ParameterImage& m, const CodecContext&, int) { return byteText(m, a); });
    row.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = box(c.frm).Text();
        m[a] = how == Byte::Strict ? strictScaled(c, f, text, 1, kByteMax, 0) : lenientFitting(c, f, text, kByteMax);
    };
    row.file = std::move(file);
    return row;
}
// A list whose position is the cell, within the list's cap.
ImageRow listRow(int a, std::string f, ListField list, ListPosition position, ImageRow::FileRules file = {}) {
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
    row.file = std::move(file);
    return row;
}
template <int cap>
std::optional<int> cappedAt(int v) {
    return v > cap ? cap : v;
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

// The manufacturing data: the unit's, never a file's.
const ImageRow::FileRules kUnitOnly{.applied = false};

std::vector<ImageRow> buildRows() {
    std::vector<ImageRow> rows;
    rows.push_back(scaled24(0, ZRK_FORM(TVelocidadUsuario1), 10000, 4));
    rows.push_back(scaled24(3, ZRK_FORM(TVelocidadUsuario2), 10000, 4));
    rows.push_back(scaled24(6, ZRK_FORM(TVelocidadUsuario3), 10000, 4));
    rows.push_back(scaled24(9, ZRK_FORM(TVelocidadUsuario4), 10000, 4));
    rows.push_back(scaled24(12, ZRK_FORM(TRelacionReductor), 100, 2));
    rows.push_back(integer16(15, ZRK_FORM(TPulsosRevolucion)));
    rows.push_back(luxRow(17, ZRK_FORM(TLuxON), ZRK_CONTROL(TLuxONAD), true));
    rows.push_back(luxRow(19, ZRK_FORM(TLuxOFF), ZRK_CONTROL(TLuxOFFAD), false));
    rows.push_back(scaled16(21, ZRK_FORM(TTestFotocelula), 10, 1));
    rows.push_back(luxRow(23, ZRK_FORM(TLuxLamparaFundida), nullptr, false));
    rows.push_back(scaled16(25, ZRK_FORM(TRetardoLamparaFundida), 10, 1));
    rows.push_back(listRow(27, ZRK_FORM(ComboTipoCambiador),
                           [](int v) { return v >= 0 && v <= 7 ? std::optional<int>(v) : std::nullopt; }));
    rows.push_back(scaled16(28, ZRK_FORM(TTiempoLampara1), 10, 1));
    rows.push_back(scaled16(30, ZRK_FORM(TTiempoLampara2), 10, 1));
    rows.push_back(scaled16(32, ZRK_FORM(TTiempoFalloRed), 10, 1));
    rows.push_back(scaled16(34, ZRK_FORM(TTiempoRetornoRed), 10, 1));
    rows.push_back(scaled16(36, ZRK_FORM(TFotocelulaInterior), 10, 1));
    rows.push_back(listRow(38, ZRK_FORM(ComboTipoLampara1), cappedAt<1>));
    rows.push_back(listRow(39, ZRK_FORM(ComboTipoLampara2), cappedAt<1>));
    rows.push_back(listRow(40, ZRK_FORM(ComboLamparaPrincipal), cappedAt<2>));
    // Beyond the last item, a read falls back to type 1, a file to the last type.
    rows.push_back(listRow(41, ZRK_FORM(ComboSensorLuz), [](int v) -> std::optional<int> { return v > 2 ? 1 : v; },
                           {.position = cappedAt<2>}));
    rows.push_back(scaled16(42, ZRK_FORM(TMaxConsumoLed), 100, 2));
    rows.push_back(scaled16(44, ZRK_FORM(TMinConsumoLed), 100, 2));
    rows.push_back(listRow(46, ZRK_FORM(ComboFuncion2Puerto), cappedAt<2>));
    rows.push_back(scaled16(47, ZRK_FORM(TTiempoAceleracion), 10, 1));
    rows.push_back(integer8(49, ZRK_FORM(TPWMLed), Byte::Strict));
    // A read takes the cell as the position; a file maps one beyond 3 to 1.
    rows.push_back(listRow(50, ZRK_FORM(ComboTipoMotor), [](int v) -> std::optional<int> { return v; },
                           {.position = [](int v) -> std::optional<int> { return v > 3 ? 1 : v; }}));
    rows.push_back(scaled16(51, ZRK_FORM(TMargenErrorMotor2), 100, 2));
    rows.push_back(integer8(53, ZRK_FORM(TVueltasError), Byte::Strict));
    // The unit keeps more than the state in this cell: a read takes bit 0, a
    // file the state as it is.
    rows.push_back(checkRow(54, ZRK_FORM(CheckBalizaEmergencia), [](int v) { return v & 1; }));
    rows.push_back(listRow(55, ZRK_FORM(cmbModofuncionamiento), cappedAt<1>));

    const TextField dimming = ZRK_CONTROL(txtAtenuacionNocturna);
    ImageRow dimmingRow = textRow(56, 1, ZRK_FORM(txtAtenuacionNocturna),
                                  [](const ParameterImage& m, const CodecContext&, int) { return byteText(m, 56); });
    dimmingRow.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = dimming(c.frm).Text();
        if (isNumeric(text, c.numbers)) m[56] = lenientFitting(c, "txtAtenuacionNocturna", text, kByteMax);
    };
    // A save puts 100 % for a value beyond a byte, in the field too.
    dimmingRow.file.encode = [=](ParameterImage& m, CodecContext& c) {
        const std::string text = dimming(c.frm).Text();
        if (!isNumeric(text, c.numbers)) return;
        const double value = lenientNumber(text);
        if (value > 255) {
            m[56] = lenientRounded("txtAtenuacionNocturna", corrected(c, dimming, "100"));
            return;
        }
        m[56] = roundToInt32(value, "txtAtenuacionNocturna");
        if (m[56] < 0)
            throw RangeError(texts::fill(messages(c).CargarTexto(texts::id::kOutOfRange), {text, "0", "255"}));
    };
    rows.push_back(std::move(dimmingRow));

    const TextField timeOf = ZRK_CONTROL(txtTiempoDe);
    ImageRow timeRow = textRow(57, 2, ZRK_FORM(txtTiempoDe), [](const ParameterImage& m, const CodecContext&, int) {
        const auto v = read16(m, 57);
        return v < 1000 ? std::to_string(v) : std::string("999");
    });
    timeRow.encode = [=](ParameterImage& m, CodecContext& c) {
        divide16(m, 57, strictScaled(c, "txtTiempoDe", zeroIfNotNumeric(c, timeOf), 1, k16Max, 0));
    };
    // No limit at 999 from a file, unlike a read.
    timeRow.file.decode = [=](const ParameterImage& m, CodecContext& c) {
        timeOf(c.frm).setText(std::to_string(read16(m, 57)));
    };
    rows.push_back(std::move(timeRow));

    const TextField pulse = ZRK_CONTROL(txtDuracionPulsoSincronismo);
    ImageRow pulseRow = textRow(59, 1, ZRK_FORM(txtDuracionPulsoSincronismo),
                                [](const ParameterImage& m, const CodecContext&, int) { return byteText(m, 59); });
    pulseRow.encode = [=](ParameterImage& m, CodecContext& c) {
        m[59] = lenientFitting(c, "txtDuracionPulsoSincronismo", zeroIfNotNumeric(c, pulse), kByteMax);
    };
    rows.push_back(std::move(pulseRow));

    const TextField group = ZRK_CONTROL(txtGrupoLeds);
    ImageRow groupRow = textRow(60, 1, ZRK_FORM(txtGrupoLeds),
                                [](const ParameterImage& m, const CodecContext&, int) { return byteText(m, 60); });
    groupRow.encode = [=](ParameterImage& m, CodecContext& c) {
        std::string text = zeroIfNotNumeric(c, group);
        if (lenientNumber(text) > 255) text = corrected(c, group, "255");
        m[60] = lenientFitting(c, "txtGrupoLeds", text, kByteMax);
    };
    rows.push_back(std::move(groupRow));

    rows.push_back(checkRow(61, ZRK_FORM(chkEnableDisableFalloRotacion), [](int v) { return v; }));
    // A read takes any other cell value as clear; a file may set greyed (2).
    rows.push_back(checkRow(62, ZRK_FORM(chkHibernacionMotor), [](int v) { return v > 1 ? 0 : v; }));
    // Beyond the last item, a read caps at the last sensor, a file falls back to the first.
    rows.push_back(listRow(63, ZRK_FORM(cmbTipoSensorLampara), cappedAt<2>,
                           {.position = [](int v) -> std::optional<int> { return v > 2 ? 0 : v; }}));
    // A save leaves 0 for an alarm current that is no number; a write refuses it.
    rows.push_back(scaled16(64, ZRK_FORM(TAlarmLampara1), 100, 2, true, {.zeroForText = true}));
    rows.push_back(scaled16(66, ZRK_FORM(TAlarmLampara2), 100, 2, true, {.zeroForText = true}));
    rows.push_back(integer16(221, ZRK_FORM(TGradosOffset)));
    rows.push_back(integer8(223, ZRK_FORM(TLuminosidadLeds), Byte::Lenient));
    rows.push_back(integer8(224, ZRK_FORM(TDientesDisco), Byte::Lenient));

    const TextField ident = ZRK_CONTROL(TIdentificacion);
    ImageRow identRow =
        textRow(231, 16, ZRK_FORM(TIdentificacion), [](const ParameterImage& m, const CodecContext&, int) {
            std::string text;
            for (int a = 231; a <= 246; ++a) {
                if (m[a] == 0) continue;  // no visible character
                text += characterOfCode(static_cast<std::uint8_t>(m[a])).value_or("?");
            }
            return text;
        });
    identRow.encode = [=](ParameterImage& m, CodecContext& c) {
        auto chars = characters(ident(c.frm).Text() + std::string(17, ' '));
        for (int i = 0; i < 16; ++i) m[231 + i] = codeOfCharacter(chars[static_cast<std::size_t>(i)]);
    };
    identRow.file.characters = true;
    rows.push_back(std::move(identRow));

    rows.push_back(integer8(247, ZRK_FORM(TSemanaFabricacion), Byte::Lenient, kUnitOnly));
    rows.push_back(integer8(248, ZRK_FORM(TAnoFabricacion), Byte::Lenient, kUnitOnly));
    rows.push_back(integer16(249, ZRK_FORM(TNumeroFabricacion), kUnitOnly));
    rows.push_back(integer8(251, ZRK_FORM(TModeloR), Byte::Lenient, kUnitOnly));
    rows.push_back(integer8(252, ZRK_FORM(TVersionFirmwareR), Byte::Lenient, kUnitOnly));
    rows.push_back(integer8(253, ZRK_FORM(THardwareR), Byte::Lenient, kUnitOnly));
    // A file never carries a unit's identifier.
    rows.push_back(integer16(254, ZRK_FORM(TNumeroID), {.applied = false, .saved = false}));
    return rows;
}

#undef ZRK_FORM
#undef ZRK_CONTROL

}  // namespace

const std::vector<ImageRow>& imageTable() {
    static const std::vector<ImageRow> table = [] {
        auto rows = buildRows();
        for (std::size_t i = 1; i < rows.size(); ++i)
            if (rows[i].first < rows[i - 1].first + rows[i - 1].length)
                throw std::logic_error("parameter rows out of order at " + rows[i].field);
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
