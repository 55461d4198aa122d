#include "ops/parameter_memory.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "files/write_record.h"
#include "link/protocol.h"
#include "ops/operation_guards.h"
#include "ops/unit_changes.h"
#include "params/image_layout.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "state/state.h"

namespace zrk::params {
namespace {

const char* const kReadError = "Error de lectura, posible desbordamiento. Reintente la operación";
const char* const kWriteError = "Error de escritura. Reintente la operación";

void error(state::State& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

// Buttons off, progress on and the port closed at the end, on every way out.
class OperationScope {
public:
    OperationScope(state::State& p, int planned) : buttons_(p.frm), progress_(p.progress, planned), port_(p.link) {}

private:
    ops::ButtonsOff buttons_;
    ops::ProgressRun progress_;
    ops::PortClosedAfter port_;
};

ops::Outcome<> portFailure(state::State& p, const char* headline, const platform::PortError& e) {
    p.link.CerrarCom();
    p.frm.setStatus(e.what());
    error(p, std::string(headline) + "\n" + e.what());
    return {ops::End::PortError, e.what()};
}

std::string text(state::State& p, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(p.CargarTexto(id), args);
}

void applyVisibility(state::State& p, const ParameterMap& map) {
    auto& frm = p.frm;
    OcultarControles(frm, p.factoryView());
    for (const auto& row : visibilityTable()) {
        bool inUse = false;
        for (int a : row.addresses) inUse = inUse || map.ComprobarParametro(a);
        if (!inUse) continue;
        for (const auto& ref : row.shown) frm.controls().at(ref.name, ref.index).setVisible(true);
        for (const auto& ref : row.hidden) frm.controls().at(ref.name, ref.index).setVisible(false);
    }
    if (!p.factoryView()) {
        for (const auto& ref : normalViewHidden()) frm.controls().at(ref.name, ref.index).setVisible(false);
        // Outside the factory view the fifth tab exists only for units with
        // address 225; the factory view keeps all six tabs, one per page.
        if (map.ComprobarParametro(225)) frm.TabStrip1.add(5, p.CargarTexto(1105));
    }
    // Keep the page shown in step with the tab the strip now selects.
    if (frm.TabStrip1.selected() != frm.PestanaActual && frm.TabStrip1.selected() > 0)
        frm.TabStrip1.select(frm.TabStrip1.selected());
}

}  // namespace

ops::Outcome<> IdentificarZRK(state::State& p) {
    // Whatever comes of it, the form no longer belongs to a unit until a
    // read succeeds: a write must not carry one unit's values into another.
    p.boundUnit.reset();
    ParameterMap map = p.MapaParametros;
    {
        OperationScope scope(p, 32);
        try {
            p.link.AbrirCom();
            for (int k = 0; k < 32; ++k) {
                const auto reply = p.link.EnviarComando(link::identificationFrame(k));
                if (reply.Resultado != link::kAck) {
                    // Nothing of the window or the map has changed yet: leave it so.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus(text(p, 3303));
                        return ops::End::Cancelled;
                    }
                    p.frm.setStatus(text(p, 3301));
                    // The page is named by its caption in the operator's language.
                    error(p, text(p, 3302,
                                  {std::to_string(p.settings.PuertoSerie),
                                   p.platform.port.deviceName(p.settings.PuertoSerie), p.CargarTexto(1104)}));
                    return ops::End::NoAnswer;
                }
                map.bytes[static_cast<std::size_t>(k)] = link::replyByte(reply);
                p.frm.setStatus(std::to_string(k));
                p.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(p, kReadError, e);
        }
    }
    p.MapaParametros = map;
    applyVisibility(p, map);
    p.frm.setStatus("Ended");
    return ops::End::Done;
}

namespace {

// Reads the in-use addresses of `rows` (every row for a full read), then
// decodes them into the fields; a failed transaction decodes nothing.
ops::Outcome<> readRows(state::State& p, const std::optional<std::vector<int>>& only) {
    p.boundUnit.reset();
    std::vector<int> rows = only ? *only : rowAddresses();
    if (only) {
        // The light levels are shown in the units of the unit's own sensor,
        // and the identifier number binds the form to the unit.
        for (int needed : {41, 254})
            if (std::find(rows.begin(), rows.end(), needed) == rows.end()) rows.push_back(needed);
    }
    std::vector<int> addresses;
    for (int a = 0; a < 256; ++a) {
        if (!p.MapaParametros.ComprobarParametro(a)) continue;
        const bool wanted = !only || std::any_of(rows.begin(), rows.end(),
                                                 [a](int first) { return a >= first && a < first + rowLength(first); });
        if (wanted) addresses.push_back(a);
    }
    ParameterImage image{};
    {
        OperationScope scope(p, static_cast<int>(addresses.size()));
        try {
            p.link.AbrirCom();
            for (int a : addresses) {
                const auto reply = p.link.EnviarComando(link::readMemoryFrame(a));
                if (reply.Resultado != link::kAck) {
                    // Decode nothing: zeros for cells never read would show
                    // values the unit does not hold, and a write would store them.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus(text(p, 3304));
                        return ops::End::Cancelled;
                    }
                    p.frm.setStatus("Reading Error in data " + std::to_string(a));
                    p.platform.ui.beep();
                    p.link.Pausa(1000);
                    return ops::End::NoAnswer;
                }
                image[static_cast<std::size_t>(a)] = link::replyByte(reply);
                p.frm.setStatus(std::to_string(a));
                p.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(p, kReadError, e);
        }
        // The two cells whose values a control can refuse are checked before
        // any field changes, so a bad image leaves the form as it was.
        const int motorTypes = p.frm.ComboTipoMotor.ListCount();
        if (image[50] >= motorTypes || image[61] > 2) {
            const int address = image[50] >= motorTypes ? 50 : 61;
            p.frm.setStatus("Reading Error in data " + std::to_string(address));
            error(p, std::string(kReadError) + "\nThe unit reports " + std::to_string(image[address]) + " for " +
                         fieldAt(address) + " (address " + std::to_string(address) + "), which the form cannot show.");
            return ops::End::BadData;
        }

        CodecContext context = p.codecs();
        for (int a : readDecodeOrder()) {
            if (std::find(rows.begin(), rows.end(), a) == rows.end()) continue;
            decodeRow(a, image, context);
            if (a == kDecodeYieldAfter) p.platform.events.processEvents();
        }
        // The form now shows this unit: remember the bytes behind each field,
        // and which unit they came from.
        p.loaded.clear();
        rememberRows(rows, image, p.frm, p.loaded);
        UnitBinding binding{p.MapaParametros, std::nullopt, p.loaded, !only};
        if (p.MapaParametros.ComprobarParametro(254) && p.MapaParametros.ComprobarParametro(255))
            binding.identifier = static_cast<std::uint16_t>(image[254] * 256 + image[255]);
        p.boundUnit = binding;
        // Selecting the changer type on the way reports a pending change;
        // what is shown now is exactly what the unit holds.
        p.frm.setStatus("Ended");
    }
    if (!only && image[252] < 48 && image[253] < 4)
        p.platform.ui.messageBox(p.CargarTexto(2001), p.platform.info.title, platform::UserInterface::Icon::Warning);
    p.platform.events.processEvents();
    refreshMarks(p);
    return ops::End::Done;
}

}  // namespace

ops::Outcome<> LeerZRK(state::State& p) { return readRows(p, std::nullopt); }

ops::Outcome<> readFields(state::State& p, const std::vector<int>& rows) { return readRows(p, rows); }

namespace {

// The field rows with at least one of these addresses.
std::vector<int> rowAddressesWritten(const std::vector<int>& addresses) {
    std::vector<int> rows;
    for (int first : rowAddresses())
        for (int a : addresses)
            if (a >= first && a < first + rowLength(first)) {
                rows.push_back(first);
                break;
            }
    return rows;
}

// Reads one cell; nothing when the unit does not answer.
std::optional<std::uint8_t> readCell(state::State& p, int address) {
    const auto reply = p.link.EnviarComando(link::readMemoryFrame(address));
    if (reply.Resultado != link::kAck) return std::nullopt;
    return link::replyByte(reply);
}

// Whether the unit on the line is the one the form was read from, by its
// identifier number in cells 254 and 255. Reports and returns the outcome
// when it is not, or when the unit does not answer.
std::optional<ops::Outcome<>> checkSameUnit(state::State& p, std::uint16_t expected) {
    const auto high = readCell(p, 254);
    const auto low = high ? readCell(p, 255) : std::nullopt;
    if (!high || !low) {
        if (p.progress.cancelRequested()) {
            p.frm.setStatus(text(p, 3305));
            return ops::End::Cancelled;
        }
        p.frm.setStatus(text(p, 3003));
        error(p, std::string(kWriteError) + "\n" + text(p, 3003));
        return ops::End::NoAnswer;
    }
    p.progress.advance();
    p.progress.advance();
    const int onLine = *high * 256 + *low;
    if (onLine == expected) return std::nullopt;
    const std::string found = std::to_string(onLine), read = std::to_string(expected);
    p.frm.setStatus(text(p, 3001, {found, read}));
    error(p, std::string(kWriteError) + "\n" + text(p, 3002, {found, read}));
    return ops::End::WrongUnit;
}

}  // namespace

namespace {

std::string unitName(const UnitBinding& unit) { return unit.identifier ? std::to_string(*unit.identifier) : "-"; }

}  // namespace

ParameterImage encodeForBoundUnit(state::State& p) {
    CodecContext context = p.codecs();
    const UnitBinding& unit = *p.boundUnit;
    return encodeImage(context, &unit.map, unit.fullRead ? nullptr : &unit.unit);
}

std::optional<std::filesystem::path> copyBeforeWrite(state::State& p) {
    if (!p.boundUnit || !p.boundUnit->fullRead || p.platform.info.dataFolder.empty()) return std::nullopt;
    return files::WriteRecord(p.platform.info.dataFolder).copyPathFor(unitName(*p.boundUnit), std::time(nullptr));
}

ops::Outcome<> EscribirZRK(state::State& p, const WriteOptions& options) {
    if (!p.boundUnit) {
        p.frm.setStatus(text(p, 3009));
        error(p, std::string(kWriteError) + "\n" + text(p, 3010, {p.CargarTexto(1431)}));
        return ops::End::NothingToDo;
    }
    const UnitBinding unit = *p.boundUnit;
    // Encode and check everything before the port opens: one bad field must
    // never leave a unit half-written. Fields the operator left alone go back
    // as the very bytes they were read from.
    ParameterImage image{};
    try {
        image = encodeForBoundUnit(p);
    } catch (const ConversionError& e) {
        p.frm.setStatus(text(p, 3307));
        error(p, std::string(kWriteError) + "\n" + e.what());
        return ops::End::BadData;
    }
    const auto changes = changesToWrite(p, image, ValueStyle::Numbers);
    // Only what was read from this unit is written: addresses without a
    // field would get 0 over data the tool knows nothing about, and a field
    // never read would get whatever the form happens to show. The
    // manufacturing data is never written.
    auto sends = [&](int a) {
        if (!unit.map.ComprobarParametro(a) || !carriesField(a) || (a >= 247 && a <= 253)) return false;
        for (const auto& entry : unit.unit.rows()) {
            const int row = entry.first;
            if (a < row || a >= row + rowLength(row)) continue;
            if (!options.changedOnly) return true;
            return std::any_of(changes.begin(), changes.end(), [row](const FieldChange& c) { return c.row == row; });
        }
        return false;
    };
    std::vector<int> firstPass, secondPass;
    for (int a = 0; a <= 246; ++a)
        if (sends(a)) firstPass.push_back(a);
    for (int a : {254, 255})
        if (sends(a)) secondPass.push_back(a);
    for (const auto& pass : {firstPass, secondPass})
        for (int a : pass)
            if (image[static_cast<std::size_t>(a)] < 0 || image[static_cast<std::size_t>(a)] > 255) {
                p.frm.setStatus(text(p, 3307));
                error(p, std::string(kWriteError) + "\n" + describeCell(a, image[static_cast<std::size_t>(a)]));
                return ops::End::BadData;
            }

    // The record comes before the first byte: a write whose previous values
    // could not be kept is not made.
    const bool recorded = !p.platform.info.dataFolder.empty() && !changes.empty();
    const files::WriteRecord record(p.platform.info.dataFolder);
    if (recorded) {
        try {
            record.checkLog();
            if (unit.fullRead) {
                const auto copy = options.copy ? *options.copy : record.copyPathFor(unitName(unit), std::time(nullptr));
                record.saveCopy(copy, unitName(unit), files::unitParameterFile(unit.unit, p.flash));
                p.lastCopyBeforeWrite = copy;
            }
        } catch (const files::FileError& e) {
            p.frm.setStatus(text(p, 3307));
            error(p, std::string(kWriteError) + "\n" + e.what());
            return ops::End::NotRecorded;
        }
    }

    const bool verify = p.verifyWrites();
    const int writes = static_cast<int>(firstPass.size() + secondPass.size());
    const int planned = (unit.identifier ? 2 : 0) + writes * (verify ? 2 : 1);
    std::vector<int> failed, sent, wrong;
    std::vector<std::string> differences;
    ops::Outcome<> outcome = ops::End::Done;
    {
        OperationScope scope(p, planned);
        try {
            p.link.AbrirCom();
            if (unit.identifier)
                if (const auto refused = checkSameUnit(p, *unit.identifier)) return *refused;
            // Returns false when the pass has to stop at this address.
            auto write = [&](int a) {
                const auto reply = p.link.EnviarComando(
                    link::writeMemoryFrame(a, static_cast<std::uint8_t>(image[static_cast<std::size_t>(a)])));
                if (reply.Resultado == link::kAck) {
                    p.frm.setStatus(std::to_string(a));
                    p.progress.advance();
                    sent.push_back(a);
                    return true;
                }
                if (p.progress.cancelRequested()) return false;
                p.frm.setStatus("Reading Error in data " + std::to_string(a));
                p.platform.ui.beep();
                p.link.Pausa(1000);
                failed.push_back(a);
                return false;
            };
            std::size_t next = 0;
            for (int a = 0; a <= 246; ++a) {
                if (next < firstPass.size() && firstPass[next] == a) {
                    ++next;
                    if (!write(a)) break;
                }
                if (a == 223) p.platform.ui.beep();
            }
            if (!p.progress.cancelRequested())
                for (int a : secondPass)
                    if (!write(a)) break;
            // An answered write proves only that the frame arrived: read each
            // cell back and compare.
            if (verify && !p.progress.cancelRequested()) {
                p.frm.setStatus(text(p, 3004));
                for (int a : sent) {
                    const auto held = readCell(p, a);
                    if (p.progress.cancelRequested()) break;
                    const std::string written = std::to_string(image[static_cast<std::size_t>(a)]);
                    if (!held)
                        differences.push_back(text(p, 3007, {std::to_string(a), written}));
                    else if (*held != image[static_cast<std::size_t>(a)])
                        differences.push_back(text(p, 3006, {std::to_string(a), written, std::to_string(*held)}));
                    if (!held || *held != image[static_cast<std::size_t>(a)]) wrong.push_back(a);
                    p.progress.advance();
                }
            }
            if (p.progress.cancelRequested()) {
                p.frm.setStatus(text(p, 3306));
                outcome = ops::End::Cancelled;
            }
        } catch (const platform::PortError& e) {
            outcome = portFailure(p, kWriteError, e);
        }
    }
    if (outcome == ops::End::Done) {
        p.platform.events.processEvents();
        if (!failed.empty()) {
            std::string where;
            for (int a : failed) where += (where.empty() ? "" : ", ") + std::to_string(a);
            p.frm.setStatus(text(p, 3008, {where}));
            outcome = ops::End::NoAnswer;
        } else if (!differences.empty()) {
            std::string list;
            for (const auto& line : differences) list += "\n" + line;
            p.frm.setStatus(text(p, 3005) + ": " + differences.front() + (differences.size() > 1 ? " ..." : ""));
            error(p, text(p, 3005) + list);
            outcome = ops::End::NotVerified;
        } else {
            p.frm.setStatus("Ended");
        }
    }
    if (recorded) {
        // One line per changed field: verified, sent without a read-back, or failed.
        auto fieldOutcome = [&](int row) -> std::string {
            bool allSent = true, anyWrong = false;
            for (int a = row; a < row + rowLength(row); ++a) {
                if (!sends(a)) continue;
                allSent = allSent && std::find(sent.begin(), sent.end(), a) != sent.end();
                anyWrong = anyWrong || std::find(wrong.begin(), wrong.end(), a) != wrong.end();
            }
            if (!allSent || anyWrong) return "failed";
            return verify ? "verified" : "not verified";
        };
        std::vector<files::WriteRecord::Line> lines;
        const std::string now = files::isoLocalTime(std::time(nullptr));
        for (const auto& c : changes)
            lines.push_back({now, unitName(unit), c.field, c.unitValue, c.newValue, fieldOutcome(c.row)});
        try {
            record.append(lines);
        } catch (const files::FileError& e) {
            error(p, e.what());
        }
    }
    if (outcome != ops::End::Done) return outcome;
    // The unit now holds what the form shows: a verified write is the new
    // starting point, as a read would be.
    if (verify && p.boundUnit) {
        const auto rows = rowAddressesWritten(sent);
        rememberRows(rows, image, p.frm, p.loaded);
        rememberRows(rows, image, p.frm, p.boundUnit->unit);
    }
    // A new identifier number is the unit's from now on.
    if (p.boundUnit && p.boundUnit->identifier && secondPass.size() == 2)
        p.boundUnit->identifier = static_cast<std::uint16_t>(image[254] * 256 + image[255]);
    refreshMarks(p);
    return ops::End::Done;
}

ops::Outcome<> readUnit(state::State& p) {
    const ops::Outcome<> identified = IdentificarZRK(p);
    if (identified != ops::End::Done) return identified;
    p.frm.setStatus("Reading");
    p.frm.PictureInicio.setVisible(false);
    return LeerZRK(p);
}

ops::Outcome<> writeUnit(state::State& p, const WriteOptions& options) {
    p.frm.setStatus("Writing");
    return EscribirZRK(p, options);
}

ops::Outcome<> confirmedWrite(state::State& p) {
    const bool ask = p.platform.store.value("ZRK", "Write", "Confirm") != std::optional<std::string>("false");
    if (!ask || !p.boundUnit) return writeUnit(p);
    // The write reports a field that does not encode; there is nothing to confirm then.
    std::vector<FieldChange> changes;
    try {
        changes = changesToWrite(p, encodeForBoundUnit(p), ValueStyle::People);
    } catch (const ConversionError&) {
        return writeUnit(p);
    }
    const auto copy = changes.empty() ? std::nullopt : copyBeforeWrite(p);
    std::string details;
    for (const auto& c : changes) details += c.caption + ": " + c.unitValue + " \u2192 " + c.newValue + "\n";
    if (copy) details += "\n" + text(p, 3020, {copy->string()});
    if (!p.platform.ui.confirm(p.CargarTexto(changes.empty() ? 3019 : 3018), details, p.platform.info.title)) {
        p.frm.setStatus(p.CargarTexto(3021));
        return ops::End::Cancelled;
    }
    return writeUnit(p, {false, copy});
}

}  // namespace zrk::params
