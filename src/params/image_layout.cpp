#include "params/image_layout.h"

#include <functional>
#include <map>

#include "form/frm_main.h"
#include "params/codepage.h"
#include "params/numbers.h"

namespace zrk::params {
namespace {

using app::FrmMain;
using Decode = std::function<void(const ParameterImage&, CodecContext&)>;
using Encode = std::function<void(ParameterImage&, CodecContext&)>;

// What the operator sets in a row: a number or text, or a choice (list
// position, check state), which a file stores as the form shows it.
enum class Holds { Value, Choice };

struct Row {
    int first;
    int length;
    std::string field;
    Decode decode;
    Encode encode;
    Holds holds = Holds::Value;
    // Light levels are shown in the units of the sensor type chosen: the
    // same text means another threshold once the type changes.
    bool followsSensor = false;
};

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

app::TextBox& text(FrmMain& frm, const std::string& name) { return dynamic_cast<app::TextBox&>(frm.controls().at(name)); }
app::ComboBox& list(FrmMain& frm, const std::string& name) { return dynamic_cast<app::ComboBox&>(frm.controls().at(name)); }
app::CheckBox& check(FrmMain& frm, const std::string& name) { return dynamic_cast<app::CheckBox&>(frm.controls().at(name)); }

Fixed4 strict(CodecContext& c, const std::string& field) { return strictNumber(text(c.frm, field).Text(), c.numbers); }
std::int32_t lenientRounded(CodecContext& c, const std::string& field) {
    return roundToInt32(lenientNumber(text(c.frm, field).Text()), field);
}

// The largest value a row's cells hold: one byte, 16 or 24 bits.
constexpr std::int32_t kByteMax = 0xFF, k16Max = 0xFFFF, k24Max = 0xFFFFFF;

// Refuses what the cells cannot hold, instead of cutting it down to fit:
// 300 in one byte would otherwise reach the unit as 44.
RangeError outOfRange(CodecContext& c, const std::string& field, std::int32_t max, int decimals) {
    static const texts::TextTable english(texts::Language::English);
    const texts::TextTable& table = c.texts != nullptr ? *c.texts : english;
    return RangeError(texts::fill(table.CargarTexto(3000),
                                       {text(c.frm, field).Text(), "0", formatScaled(max, decimals, c.numbers.decimal)}));
}
std::int32_t fitting(std::int32_t v, CodecContext& c, const std::string& field, std::int32_t max, int decimals = 0) {
    if (v < 0 || v > max) throw outOfRange(c, field, max, decimals);
    return v;
}
// The strict value times `factor`, rounded, within 0..max.
std::int32_t strictScaled(CodecContext& c, const std::string& field, int factor, std::int32_t max, int decimals) {
    const Fixed4 value = strict(c, field);
    std::int32_t v = 0;
    try {
        v = scaleToInt32(value, factor, field);
    } catch (const ConversionError&) {
        throw outOfRange(c, field, max, decimals);
    }
    return fitting(v, c, field, max, decimals);
}
std::int32_t lenientFitting(CodecContext& c, const std::string& field, std::int32_t max) {
    std::int32_t v = 0;
    try {
        v = lenientRounded(c, field);
    } catch (const ConversionError&) {
        throw outOfRange(c, field, max, 0);
    }
    return fitting(v, c, field, max);
}
int sensorType(CodecContext& c) { return c.frm.ComboSensorLuz.ListIndex(); }

// Row builders, by kind of field.
Row scaled24(int a, std::string f, int factor, int decimals) {
    return {a, 3, f,
            [=](const ParameterImage& m, CodecContext& c) {
                text(c.frm, f).setText(formatScaled(read24(m, a), decimals, c.numbers.decimal));
            },
            [=](ParameterImage& m, CodecContext& c) { bits24(m, a, strictScaled(c, f, factor, k24Max, decimals)); }};
}
Row scaled16(int a, std::string f, int factor, int decimals, bool divide = false) {
    return {a, 2, f,
            [=](const ParameterImage& m, CodecContext& c) {
                text(c.frm, f).setText(formatScaled(read16(m, a), decimals, c.numbers.decimal));
            },
            [=](ParameterImage& m, CodecContext& c) {
                const auto v = strictScaled(c, f, factor, k16Max, decimals);
                divide ? divide16(m, a, v) : bits16(m, a, v);
            }};
}
Row integer16(int a, std::string f) {
    return {a, 2, f, [=](const ParameterImage& m, CodecContext& c) { text(c.frm, f).setText(std::to_string(read16(m, a))); },
            [=](ParameterImage& m, CodecContext& c) { bits16(m, a, lenientFitting(c, f, k16Max)); }};
}
// One-byte integers, read leniently or strictly; a value beyond a byte is refused.
enum class Byte { Lenient, Strict };
Row integer8(int a, std::string f, Byte how) {
    return {a, 1, f, [=](const ParameterImage& m, CodecContext& c) { text(c.frm, f).setText(std::to_string(m[a])); },
            [=](ParameterImage& m, CodecContext& c) {
                m[a] = how == Byte::Strict ? strictScaled(c, f, 1, kByteMax, 0) : lenientFitting(c, f, kByteMax);
            }};
}
// A list whose position is the cell; `decodePosition` applies the list's cap.
Row listRow(int a, std::string f, std::function<int(int)> decodePosition) {
    return {a, 1, f,
            [=](const ParameterImage& m, CodecContext& c) {
                const int position = decodePosition(m[a]);
                if (position >= 0) list(c.frm, f).setListIndex(position);
            },
            [=](ParameterImage& m, CodecContext& c) { m[a] = list(c.frm, f).ListIndex(); }, Holds::Choice};
}
std::function<int(int)> cappedAt(int cap) {
    return [cap](int v) { return v > cap ? cap : v; };
}
Row checkRow(int a, std::string f, std::function<int(int)> decodeState) {
    return {a, 1, f, [=](const ParameterImage& m, CodecContext& c) { check(c.frm, f).setValue(decodeState(m[a])); },
            [=](ParameterImage& m, CodecContext& c) { m[a] = check(c.frm, f).Value(); }, Holds::Choice};
}
// Light levels are stored as the sensor's AD reading and shown in lux.
Row luxRow(int a, std::string f, std::string adField, bool lenient) {
    return {a, 2, f,
            [=](const ParameterImage& m, CodecContext& c) {
                std::int32_t ad = read16(m, a);
                const std::int32_t lux = c.lux.ADALux(ad, sensorType(c));
                text(c.frm, f).setText(std::to_string(lux));
                if (!adField.empty()) text(c.frm, adField).setText(std::to_string(ad));
            },
            [=](ParameterImage& m, CodecContext& c) {
                std::int32_t lux = lenient ? lenientRounded(c, f) : scaleToInt32(strict(c, f), 1, f);
                bits16(m, a, c.lux.LuxAAD(lux, sensorType(c)));
            },
            Holds::Value, true};
}
// Text that does not count as a number is first replaced by "0" in the field.
void zeroIfNotNumeric(CodecContext& c, const std::string& f) {
    if (!isNumeric(text(c.frm, f).Text(), c.numbers)) text(c.frm, f).setText("0");
}

std::vector<Row> buildRows() {
    std::vector<Row> rows;
    for (int i = 0; i < 4; ++i) rows.push_back(scaled24(3 * i, "TVelocidadUsuario" + std::to_string(i + 1), 10000, 4));
    rows.push_back(scaled24(12, "TRelacionReductor", 100, 2));
    rows.push_back(integer16(15, "TPulsosRevolucion"));
    rows.push_back(luxRow(17, "TLuxON", "TLuxONAD", true));
    rows.push_back(luxRow(19, "TLuxOFF", "TLuxOFFAD", false));
    rows.push_back(scaled16(21, "TTestFotocelula", 10, 1));
    rows.push_back(luxRow(23, "TLuxLamparaFundida", "", false));
    rows.push_back(scaled16(25, "TRetardoLamparaFundida", 10, 1));
    rows.push_back(listRow(27, "ComboTipoCambiador", [](int v) { return v >= 0 && v <= 7 ? v : -1; }));
    rows.push_back(scaled16(28, "TTiempoLampara1", 10, 1));
    rows.push_back(scaled16(30, "TTiempoLampara2", 10, 1));
    rows.push_back(scaled16(32, "TTiempoFalloRed", 10, 1));
    rows.push_back(scaled16(34, "TTiempoRetornoRed", 10, 1));
    rows.push_back(scaled16(36, "TFotocelulaInterior", 10, 1));
    rows.push_back(listRow(38, "ComboTipoLampara1", cappedAt(1)));
    rows.push_back(listRow(39, "ComboTipoLampara2", cappedAt(1)));
    rows.push_back(listRow(40, "ComboLamparaPrincipal", cappedAt(2)));
    rows.push_back(listRow(41, "ComboSensorLuz", [](int v) { return v > 2 ? 1 : v; }));
    rows.push_back(scaled16(42, "TMaxConsumoLed", 100, 2));
    rows.push_back(scaled16(44, "TMinConsumoLed", 100, 2));
    rows.push_back(listRow(46, "ComboFuncion2Puerto", cappedAt(2)));
    rows.push_back(scaled16(47, "TTiempoAceleracion", 10, 1));
    rows.push_back(integer8(49, "TPWMLed", Byte::Strict));
    rows.push_back(listRow(50, "ComboTipoMotor", [](int v) { return v; }));
    rows.push_back(scaled16(51, "TMargenErrorMotor2", 100, 2));
    rows.push_back(integer8(53, "TVueltasError", Byte::Strict));
    rows.push_back(checkRow(54, "CheckBalizaEmergencia", [](int v) { return v & 1; }));
    rows.push_back(listRow(55, "cmbModofuncionamiento", cappedAt(1)));
    rows.push_back({56, 1, "txtAtenuacionNocturna",
                    [](const ParameterImage& m, CodecContext& c) { c.frm.txtAtenuacionNocturna.setText(std::to_string(m[56])); },
                    [](ParameterImage& m, CodecContext& c) {
                        if (isNumeric(c.frm.txtAtenuacionNocturna.Text(), c.numbers))
                            m[56] = lenientFitting(c, "txtAtenuacionNocturna", kByteMax);
                    }});
    rows.push_back({57, 2, "txtTiempoDe",
                    [](const ParameterImage& m, CodecContext& c) {
                        const auto v = read16(m, 57);
                        c.frm.txtTiempoDe.setText(v < 1000 ? std::to_string(v) : "999");
                    },
                    [](ParameterImage& m, CodecContext& c) {
                        zeroIfNotNumeric(c, "txtTiempoDe");
                        divide16(m, 57, strictScaled(c, "txtTiempoDe", 1, k16Max, 0));
                    }});
    rows.push_back({59, 1, "txtDuracionPulsoSincronismo",
                    [](const ParameterImage& m, CodecContext& c) { c.frm.txtDuracionPulsoSincronismo.setText(std::to_string(m[59])); },
                    [](ParameterImage& m, CodecContext& c) {
                        zeroIfNotNumeric(c, "txtDuracionPulsoSincronismo");
                        m[59] = lenientFitting(c, "txtDuracionPulsoSincronismo", kByteMax);
                    }});
    rows.push_back({60, 1, "txtGrupoLeds",
                    [](const ParameterImage& m, CodecContext& c) { c.frm.txtGrupoLeds.setText(std::to_string(m[60])); },
                    [](ParameterImage& m, CodecContext& c) {
                        zeroIfNotNumeric(c, "txtGrupoLeds");
                        if (lenientNumber(c.frm.txtGrupoLeds.Text()) > 255) c.frm.txtGrupoLeds.setText("255");
                        m[60] = lenientFitting(c, "txtGrupoLeds", kByteMax);
                    }});
    rows.push_back(checkRow(61, "chkEnableDisableFalloRotacion", [](int v) { return v; }));
    rows.push_back(checkRow(62, "chkHibernacionMotor", [](int v) { return v > 1 ? 0 : v; }));
    rows.push_back(listRow(63, "cmbTipoSensorLampara", cappedAt(2)));
    rows.push_back(scaled16(64, "TAlarmLampara1", 100, 2, true));
    rows.push_back(scaled16(66, "TAlarmLampara2", 100, 2, true));
    rows.push_back(integer16(221, "TGradosOffset"));
    rows.push_back(integer8(223, "TLuminosidadLeds", Byte::Lenient));
    rows.push_back(integer8(224, "TDientesDisco", Byte::Lenient));
    rows.push_back({231, 16, "TIdentificacion",
                    [](const ParameterImage& m, CodecContext& c) {
                        c.frm.TIdentificacion.setText("");
                        for (int a = 231; a <= 246; ++a) {
                            if (m[a] == 0) continue;  // no visible character
                            const auto ch = characterOfCode(static_cast<std::uint8_t>(m[a]));
                            c.frm.TIdentificacion.setText(c.frm.TIdentificacion.Text() + ch.value_or("?"));
                        }
                    },
                    [](ParameterImage& m, CodecContext& c) {
                        auto chars = characters(c.frm.TIdentificacion.Text() + std::string(17, ' '));
                        for (int i = 0; i < 16; ++i) m[231 + i] = codeOfCharacter(chars[static_cast<std::size_t>(i)]);
                    }});
    rows.push_back(integer8(247, "TSemanaFabricacion", Byte::Lenient));
    rows.push_back(integer8(248, "TAnoFabricacion", Byte::Lenient));
    rows.push_back(integer16(249, "TNumeroFabricacion"));
    rows.push_back(integer8(251, "TModeloR", Byte::Lenient));
    rows.push_back(integer8(252, "TVersionFirmwareR", Byte::Lenient));
    rows.push_back(integer8(253, "THardwareR", Byte::Lenient));
    rows.push_back(integer16(254, "TNumeroID"));
    return rows;
}

const std::map<int, Row>& rows() {
    static const std::map<int, Row> byAddress = [] {
        std::map<int, Row> m;
        for (auto& row : buildRows()) m.emplace(row.first, std::move(row));
        return m;
    }();
    return byAddress;
}

const Row& rowAt(int address) {
    auto it = rows().find(address);
    if (it == rows().end()) throw std::logic_error("no parameter row starts at address " + std::to_string(address));
    return it->second;
}

}  // namespace

bool ParameterMap::ComprobarParametro(int address) const {
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << (address % 8));
    return (bytes[static_cast<std::size_t>(address / 8)] & mask) == mask;
}

bool ParameterMap::empty() const {
    for (auto b : bytes)
        if (b != 0) return false;
    return true;
}

const std::vector<int>& rowAddresses() {
    static const std::vector<int> addresses = [] {
        std::vector<int> out;
        for (const auto& [first, row] : rows()) out.push_back(first);
        return out;
    }();
    return addresses;
}

std::string fieldAt(int address) {
    for (const auto& [first, row] : rows())
        if (address >= first && address < first + row.length) return row.field;
    return {};
}

bool carriesField(int address) { return !fieldAt(address).empty(); }

int rowLength(int address) { return rowAt(address).length; }

bool holdsChoice(int address) { return rowAt(address).holds == Holds::Choice; }

std::string shownState(int address, const app::FrmMain& frm) {
    const Row& row = rowAt(address);
    const app::Control& control = frm.controls().at(row.field);
    std::string shown;
    if (const auto* box = dynamic_cast<const app::TextBox*>(&control))
        shown = "text:" + box->Text();
    else if (const auto* combo = dynamic_cast<const app::ComboBox*>(&control))
        shown = "list:" + std::to_string(combo->ListIndex());
    else if (const auto* tick = dynamic_cast<const app::CheckBox*>(&control))
        shown = "check:" + std::to_string(tick->Value());
    if (row.followsSensor) shown += "|sensor:" + std::to_string(frm.ComboSensorLuz.ListIndex());
    return shown;
}

void rememberRows(const std::vector<int>& addresses, const ParameterImage& cells, const app::FrmMain& frm,
                  LoadedFields& into) {
    for (int a : addresses) {
        const Row& row = rowAt(a);
        LoadedFields::Row loaded{{cells.begin() + a, cells.begin() + a + row.length}, shownState(a, frm)};
        into.remember(a, std::move(loaded));
    }
}

bool rowUnchanged(int address, const CodecContext& context) {
    if (context.loaded == nullptr) return false;
    const LoadedFields::Row* loaded = context.loaded->find(address);
    return loaded != nullptr && loaded->shown == shownState(address, context.frm);
}

void decodeRow(int address, const ParameterImage& image, CodecContext& context) { rowAt(address).decode(image, context); }

void encodeRow(int address, ParameterImage& image, CodecContext& context) {
    const Row& row = rowAt(address);
    const bool keepsCells = !(context.forFile && row.holds == Holds::Choice);
    if (keepsCells && rowUnchanged(address, context)) {
        const auto& cells = context.loaded->find(address)->cells;
        for (int i = 0; i < row.length; ++i) image[static_cast<std::size_t>(address + i)] = cells[static_cast<std::size_t>(i)];
        return;
    }
    try {
        row.encode(image, context);
    } catch (const RangeError& e) {
        throw RangeError(row.field + ": " + e.what());
    } catch (const ConversionError& e) {
        throw ConversionError(row.field + ": " + e.what());
    }
}

const std::vector<int>& readDecodeOrder() {
    static const std::vector<int> order = [] {
        std::vector<int> out{41};
        for (int a : rowAddresses())
            if (a != 41) out.push_back(a);
        return out;
    }();
    return order;
}

ParameterImage encodeImage(CodecContext& context, const ParameterMap* sent, const LoadedFields* only) {
    ParameterImage image{};
    for (int a : rowAddresses()) {
        if (only != nullptr && only->find(a) == nullptr) continue;
        try {
            encodeRow(a, image, context);
        } catch (const RangeError&) {
            // A field the unit does not have is hidden and never sent: its
            // value cannot harm the unit, and the operator could not mend it.
            bool inUse = sent == nullptr;
            for (int i = 0; i < rowLength(a) && !inUse; ++i) inUse = sent->ComprobarParametro(a + i);
            if (inUse) throw;
        }
    }
    return image;
}

std::string describeCell(int address, std::int32_t value) {
    const std::string field = fieldAt(address);
    return (field.empty() ? "address " + std::to_string(address) : field + " (address " + std::to_string(address) + ")") +
           " holds " + std::to_string(value) + ", which does not fit in a byte (0 to 255)";
}

}  // namespace zrk::params
