#include "ops/parameter_memory.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "files/write_record.h"
#include "form/field_table.h"
#include "link/protocol.h"
#include "ops/change_plan.h"
#include "ops/device_operation.h"
#include "ops/operation_guards.h"
#include "params/image_layout.h"
#include "params/image_table.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "state/state.h"
#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

const char* const kReadError = "Error de lectura, posible desbordamiento. Reintente la operación";
const char* const kWriteError = "Error de escritura. Reintente la operación";

void error(state::State& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

ops::Outcome<> portFailure(state::State& p, const char* headline, const platform::PortError& e,
                           const std::string& detail = {}) {
    p.link.CerrarCom();
    const std::string message = ops::portMessage(p, e);
    p.frm.setStatus(message);
    error(p, std::string(headline) + "\n" + message + detail);
    return {ops::End::PortError, message};
}

std::string text(state::State& p, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(p.CargarTexto(id), args);
}

// Shows the fields of the addresses `map` uses; outside the factory view the
// factory rows stay hidden unless `factoryRows`.
void applyVisibility(state::State& p, const params::ParameterMap& map, bool factoryRows = false) {
    auto& frm = p.frm;
    params::OcultarControles(frm, p.factoryView());
    params::showFieldsInUse(frm, map, !p.factoryView() && !factoryRows);
    if (!p.factoryView()) {
        // Outside the factory view the fifth tab exists only for units with
        // address 225; the factory view keeps all six tabs, one per page.
        if (map.ComprobarParametro(225)) frm.TabStrip1.add(5, p.CargarTexto(texts::id::kVisualization));
    }
    // Keep the page shown in step with the tab the strip now selects.
    if (frm.TabStrip1.selected() != frm.PestanaActual && frm.TabStrip1.selected() > 0)
        frm.TabStrip1.select(frm.TabStrip1.selected());
}

// The text boxes, lists and check boxes of the parameter pages: one per
// field row, and their companions.
std::vector<form::Control*> parameterInputs(form::FrmMain& frm) {
    std::vector<form::Control*> out;
    for (const auto& field : form::fieldTable()) {
        out.push_back(&frm.controls().at(field.name));
        if (field.companionControl != nullptr) out.push_back(&field.companionControl(frm));
    }
    return out;
}

// What a parameter file sets, as if a unit used all of it: the rows it
// applies and the flash-pattern table's tab (address 225).
params::ParameterMap fileMap() {
    params::ParameterMap map;
    const auto use = [&map](int a) {
        map.bytes[static_cast<std::size_t>(a / 8)] |= static_cast<std::uint8_t>(1u << (a % 8));
    };
    for (int row : params::rowAddresses())
        if (params::appliedFromFile(row))
            for (int i = 0; i < params::rowLength(row); ++i) use(row + i);
    use(225);
    return map;
}

// The form is bound to a unit now: its fields can be edited again and the
// caption no longer names the file.
void endFileView(state::State& p) {
    if (!p.captionBeforeFileView) return;
    p.frm.frmMain.setCaption(*p.captionBeforeFileView);
    p.captionBeforeFileView.reset();
    for (form::Control* field : parameterInputs(p.frm)) field->setEnabled(true);
    // The operating mode decides again whether the night dimming can be set.
    p.frm.cmbModofuncionamiento.Click();
}

}  // namespace

void showFileWithoutUnit(state::State& p, const std::string& fileName) {
    const MarksHeld marks(p);
    // Read-only from here, so that no handler enables a field on the way.
    if (!p.captionBeforeFileView) p.captionBeforeFileView = p.frm.frmMain.Caption();
    applyVisibility(p, fileMap(), true);
    for (form::Control* field : parameterInputs(p.frm)) field->setEnabled(false);
    std::string caption = *p.captionBeforeFileView;
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    p.frm.frmMain.setCaption(text(p, texts::id::kFileNoUnit, {caption, fileName}));
    p.frm.setStatus(text(p, texts::id::kFileFieldsReadOnly, {p.CargarTexto(texts::id::kReadZrk)}));
}

ops::Outcome<> IdentificarZRK(state::State& p) {
    // Whatever comes of it, the form no longer belongs to a unit until a
    // read succeeds: a write must not carry one unit's values into another.
    p.boundUnit.reset();
    params::ParameterMap map = p.MapaParametros;
    {
        ops::OperationScope scope(p.frm, p.progress, p.link, 32);
        try {
            p.link.AbrirCom();
            for (int k = 0; k < 32; ++k) {
                const auto reply = p.link.EnviarComando(link::identificationFrame(k));
                if (reply.Resultado != link::kAck) {
                    // Nothing of the window or the map has changed yet: leave it so.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus(text(p, texts::id::kIdentificationCancelled));
                        return ops::End::Cancelled;
                    }
                    p.frm.setStatus(text(p, texts::id::kUnitDoesNotAnswer));
                    // The page is named by its caption in the operator's language;
                    // zrkctl has no page, so it names its port options.
                    const std::string port = std::to_string(p.settings.PuertoSerie);
                    const std::string device = ops::deviceText(p, p.settings.PuertoSerie);
                    error(p, p.withoutWindow
                                 ? text(p, texts::id::kNoUnitOnPortOption, {port, device})
                                 : text(p, texts::id::kNoUnitOnPort, {port, device, p.CargarTexto(texts::id::kSetup)}));
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
    std::vector<int> rows = only ? *only : params::rowAddresses();
    if (only) {
        // The light levels are shown in the units of the unit's own sensor,
        // and the identifier number binds the form to the unit.
        for (int needed : {41, 254})
            if (std::find(rows.begin(), rows.end(), needed) == rows.end()) rows.push_back(needed);
    }
    std::vector<int> addresses;
    for (int a = 0; a < 256; ++a) {
        if (!p.MapaParametros.ComprobarParametro(a)) continue;
        const bool wanted = !only || std::any_of(rows.begin(), rows.end(), [a](int first) {
            return a >= first && a < first + params::rowLength(first);
        });
        if (wanted) addresses.push_back(a);
    }
    params::ParameterImage image{};
    {
        ops::OperationScope scope(p.frm, p.progress, p.link, static_cast<int>(addresses.size()));
        try {
            p.link.AbrirCom();
            for (int a : addresses) {
                const auto reply = p.link.EnviarComando(link::readMemoryFrame(a));
                if (reply.Resultado != link::kAck) {
                    // Decode nothing: zeros for cells never read would show
                    // values the unit does not hold, and a write would store them.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus(text(p, texts::id::kReadCancelledNothingChanged));
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
        if (const auto refused = takeRead(p, image, rows, !only); refused != ops::End::Done) return refused;
        // Selecting the changer type on the way reports a pending change;
        // what is shown now is exactly what the unit holds.
        p.frm.setStatus("Ended");
    }
    if (!only && image[252] < 48 && image[253] < 4)
        p.platform.ui.messageBox(p.CargarTexto(texts::id::kFirmwareNeedsOtherProgram), p.platform.info.title,
                                 platform::UserInterface::Icon::Warning);
    p.platform.events.processEvents();
    refreshMarks(p);
    return ops::End::Done;
}

}  // namespace

ops::Outcome<> takeRead(state::State& p, const params::ParameterImage& image, const std::vector<int>& rows,
                        bool fullRead) {
    p.boundUnit.reset();
    const MarksHeld marks(p);
    // The two cells whose values a control can refuse are checked before
    // any field changes, so a bad image leaves the form as it was.
    const int motorTypes = p.frm.ComboTipoMotor.ListCount();
    if (image[50] >= motorTypes || image[61] > 2) {
        const int address = image[50] >= motorTypes ? 50 : 61;
        p.frm.setStatus("Reading Error in data " + std::to_string(address));
        error(p, std::string(kReadError) + "\n" +
                     text(p, texts::id::kUnitValueFormCannotShow,
                          {std::to_string(image[address]), params::fieldCaption(p.frm, address),
                           std::to_string(address)}));
        return ops::End::BadData;
    }
    params::CodecContext context = p.codecs();
    for (int a : params::readDecodeOrder()) {
        if (std::find(rows.begin(), rows.end(), a) == rows.end()) continue;
        params::decodeRow(a, image, context);
        if (a == params::kDecodeYieldAfter) p.platform.events.processEvents();
    }
    // The form now shows this unit: remember the bytes behind each field,
    // and which unit they came from.
    p.loaded.clear();
    p.formFromFile = false;
    params::rememberRows(rows, image, p.frm, p.loaded);
    params::UnitBinding binding{p.MapaParametros, std::nullopt, p.loaded, fullRead};
    if (p.MapaParametros.ComprobarParametro(params::kIdentifierHigh) &&
        p.MapaParametros.ComprobarParametro(params::kIdentifierLow))
        binding.identifier =
            static_cast<std::uint16_t>(image[params::kIdentifierHigh] * 256 + image[params::kIdentifierLow]);
    p.boundUnit = binding;
    endFileView(p);
    return ops::End::Done;
}

ops::Outcome<> LeerZRK(state::State& p) { return readRows(p, std::nullopt); }

ops::Outcome<> readFields(state::State& p, const std::vector<int>& rows) { return readRows(p, rows); }

namespace {

// Whether the unit on the line is the one the form was read from, by its
// identifier number in cells 254 and 255. Reports and returns the outcome
// when it is not, or when the unit does not answer.
std::optional<ops::Outcome<>> checkSameUnit(state::State& p, std::uint16_t expected) {
    const auto onLine = ops::readIdentifier(p.link);
    if (!onLine) {
        if (p.progress.cancelRequested()) {
            p.frm.setStatus(text(p, texts::id::kWriteCancelledNothingWritten));
            return ops::End::Cancelled;
        }
        p.frm.setStatus(text(p, texts::id::kNothingWrittenNoAnswer));
        error(p, std::string(kWriteError) + "\n" + text(p, texts::id::kNothingWrittenNoAnswer));
        return ops::End::NoAnswer;
    }
    p.progress.advance(2);
    if (*onLine == expected) return std::nullopt;
    const std::string found = std::to_string(*onLine), read = std::to_string(expected);
    p.frm.setStatus(text(p, texts::id::kNothingWrittenOtherUnit, {found, read}));
    // Another unit answers: a retry cannot help, the message says why alone.
    error(p, text(p, texts::id::kFormHoldsOtherUnit, {found, read}));
    return ops::End::WrongUnit;
}

}  // namespace

namespace {

// Refuses a write before anything is sent.
ops::Outcome<> refuse(state::State& p, ops::End end, const std::string& detail, bool writeError = false) {
    p.frm.setStatus(text(p, texts::id::kNothingWritten));
    // A text the strict reading refuses keeps the write error it has always
    // had; the refusals the tool added say that nothing went out.
    error(p, (writeError ? std::string(kWriteError) : text(p, texts::id::kNothingSentToUnit)) + "\n" + detail);
    return end;
}

// The record comes before the first byte: the log must take the lines and,
// after a full read, the copy of the unit's parameters must be saved. When
// it cannot, the engineer chooses (zrkctl: --no-record); nothing is sent
// before the answer. Returns whether the write is recorded, or the refusal.
std::variant<bool, ops::Outcome<>> prepareRecord(state::State& p, const params::UnitBinding& unit,
                                                 const WriteOptions& options) {
    if (p.platform.info.dataFolder.empty()) return false;
    const files::WriteRecord record(p.platform.info.dataFolder);
    try {
        record.checkLog();
        if (unit.fullRead) {
            const auto copy = options.copy ? *options.copy : record.copyPathFor(unit.name(), std::time(nullptr));
            record.saveCopy(copy, unit.name(), files::unitParameterFile(unit.unit, p.flash));
            p.lastCopyBeforeWrite = copy;
        }
        return true;
    } catch (const files::FileError& e) {
        const std::string question = text(p, texts::id::kRecordCannotBeKept, {e.describe(p.texts)});
        if (p.writeWithoutRecord ||
            p.platform.ui.askDefaultNo(question, text(p, texts::id::kWriteWithoutRecord), p.platform.info.title))
            return false;
        p.frm.setStatus(text(p, texts::id::kNothingWritten));
        error(p, e.describe(p.texts) + "\n" + text(p, texts::id::kNothingWrittenNeedsRecord));
        return ops::Outcome<>(ops::End::NotRecorded);
    }
}

// What a write did to one cell, as far as the tool knows.
enum class CellOutcome { Verified, WrittenNotVerified, Unknown, Failed, NotSent };

int rank(CellOutcome outcome) {
    switch (outcome) {
        case CellOutcome::Verified:
            return 0;
        case CellOutcome::WrittenNotVerified:
            return 1;
        case CellOutcome::Unknown:
            return 2;
        case CellOutcome::Failed:
        case CellOutcome::NotSent:
            break;
    }
    return 3;
}

// The record's word: a cell never sent is a change that failed.
const char* outcomeWord(CellOutcome outcome) {
    switch (outcome) {
        case CellOutcome::Verified:
            return files::kOutcomeVerified;
        case CellOutcome::WrittenNotVerified:
            return files::kOutcomeNotVerified;
        case CellOutcome::Unknown:
            return files::kOutcomeUnknown;
        case CellOutcome::Failed:
        case CellOutcome::NotSent:
            break;
    }
    return files::kOutcomeFailed;
}

// The first address of the field row that holds `address`; -1 for none.
int rowOfAddress(int address) {
    for (int row : params::rowAddresses())
        if (address >= row && address < row + params::rowLength(row)) return row;
    return -1;
}

// What became of each address a write sent, as each became known.
struct Sending {
    std::vector<int> sent;        // the unit acknowledged the frame
    std::vector<int> unanswered;  // sent, no acknowledgement: the pass stopped there
    std::vector<int> checked;     // read back with an answer, as written or not
    std::vector<int> verified;    // read back as written
    std::vector<std::string> differences;
    std::optional<int> inFlight;  // the frame going out when the port failed
    std::optional<int> deadAt;    // the write stopped here: the line went dead
    // When an unanswered write went out, and the last transaction answered:
    // a write followed by an answer did not arrive with the line down.
    std::vector<std::pair<int, int>> unansweredAt;
    int transactions = 0;
    int lastAnswered = 0;
    bool verify = false;
    ops::Outcome<> outcome = ops::End::Done;

    static bool has(const std::vector<int>& list, int a) {
        return std::find(list.begin(), list.end(), a) != list.end();
    }
    void count(bool answered) {
        ++transactions;
        if (answered) lastAnswered = transactions;
    }
    CellOutcome of(int a) const {
        if (has(checked, a)) return has(verified, a) ? CellOutcome::Verified : CellOutcome::Failed;
        if (has(sent, a)) return CellOutcome::WrittenNotVerified;
        if (inFlight == a) return CellOutcome::Unknown;
        for (const auto& [address, when] : unansweredAt)
            if (address == a) return lastAnswered > when ? CellOutcome::Failed : CellOutcome::Unknown;
        return CellOutcome::NotSent;
    }
};

// One transaction of the write, counted for the cells' outcomes.
std::optional<std::uint8_t> readBack(state::State& p, Sending& s, int a) {
    const auto held = ops::readCell(p.link, a);
    s.count(held.has_value());
    return held;
}

// Sends the frames in two passes: the fields, then the identifier number.
// A pass stops at the first address the unit does not answer; the whole
// write stops once the line has gone dead (two transactions in a row
// without a byte back), and sends nothing more.
void sendFrames(state::State& p, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    auto write = [&](int a, std::uint8_t byte) {
        s.inFlight = a;
        const auto reply = p.link.EnviarComando(link::writeMemoryFrame(a, byte));
        s.inFlight.reset();
        s.count(reply.Resultado == link::kAck);
        if (reply.Resultado == link::kAck) {
            p.frm.setStatus(std::to_string(a));
            p.progress.advance();
            s.sent.push_back(a);
            return true;
        }
        s.unanswered.push_back(a);
        s.unansweredAt.emplace_back(a, s.transactions);
        if (p.progress.cancelRequested()) return false;
        p.frm.setStatus("Reading Error in data " + std::to_string(a));
        p.platform.ui.beep();
        if (p.link.lineSeemsDead()) {
            s.deadAt = a;
            return false;
        }
        p.link.Pausa(1000);
        return false;
    };
    bool passEnded = false, beeped = false;
    for (const auto& [a, byte] : frames) {
        if (a > params::kLastOfFirstPass) break;
        if (a > params::kBeepAfter && !beeped) p.platform.ui.beep(), beeped = true;
        if (!write(a, byte)) {
            passEnded = true;
            break;
        }
    }
    if (!passEnded && !beeped) p.platform.ui.beep();
    if (p.progress.cancelRequested() || s.deadAt) return;
    const bool identifierPass =
        std::any_of(frames.begin(), frames.end(), [](const auto& f) { return f.first > params::kLastOfFirstPass; });
    if (!identifierPass) return;
    // The identifier number goes even when the first pass stopped early, but
    // not into a line that heard nothing: a read asks whether it is still
    // there, and a second silence ends the write before the number goes.
    if (passEnded && p.link.silentInRow() > 0) {
        readBack(p, s, params::kIdentifierHigh);
        if (p.progress.cancelRequested()) return;
        if (p.link.lineSeemsDead()) {
            s.deadAt = s.unanswered.back();
            return;
        }
    }
    for (const auto& [a, byte] : frames)
        if (a > params::kLastOfFirstPass && !write(a, byte)) break;
}

// An answered write proves only that the frame arrived: reads each cell
// back and compares. A cell whose write went unanswered on a line that
// still answers is read back too: the unit may have taken it.
void verifySent(state::State& p, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    p.frm.setStatus(text(p, texts::id::kVerifying));
    for (const auto& [a, byte] : frames) {
        const bool acknowledged = Sending::has(s.sent, a);
        if (!acknowledged && !Sending::has(s.unanswered, a)) continue;
        const auto held = readBack(p, s, a);
        if (p.progress.cancelRequested()) break;
        const std::string written = std::to_string(byte);
        if (!held && acknowledged)
            s.differences.push_back(text(p, texts::id::kAddressNoAnswerReadBack, {std::to_string(a), written}));
        else if (held && *held != byte)
            s.differences.push_back(
                text(p, texts::id::kAddressHoldsOther, {std::to_string(a), written, std::to_string(*held)}));
        if (held) s.checked.push_back(a);
        if (held && *held == byte) s.verified.push_back(a);
        if (acknowledged) p.progress.advance();
        if (!held && p.link.lineSeemsDead()) {
            s.deadAt = a;
            break;
        }
    }
}

// "0-49, 52, 254-255"
std::string addressRanges(std::vector<int> addresses) {
    std::sort(addresses.begin(), addresses.end());
    std::string out;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) ++j;
        out += (out.empty() ? "" : ", ") + std::to_string(addresses[i]);
        if (j > i) out += "-" + std::to_string(addresses[j]);
        i = j + 1;
    }
    return out;
}

// After a write cut short by the line: what the unit is known to hold, cell
// by cell, so the engineer knows what to check.
std::string cellsByOutcome(state::State& p, const std::vector<std::pair<int, std::uint8_t>>& frames, const Sending& s) {
    std::vector<int> verified, written, unknown, failed, notSent;
    for (const auto& [a, byte] : frames) {
        switch (s.of(a)) {
            case CellOutcome::Verified:
                verified.push_back(a);
                break;
            case CellOutcome::WrittenNotVerified:
                written.push_back(a);
                break;
            case CellOutcome::Unknown:
                unknown.push_back(a);
                break;
            case CellOutcome::Failed:
                failed.push_back(a);
                break;
            case CellOutcome::NotSent:
                notSent.push_back(a);
                break;
        }
    }
    std::string lines;
    const auto add = [&](int id, const std::vector<int>& cells) {
        if (!cells.empty()) lines += "\n" + text(p, id, {addressRanges(cells)});
    };
    add(texts::id::kWrittenVerified, verified);
    add(texts::id::kWrittenNotVerified, written);
    if (!unknown.empty()) {
        std::string named;
        for (int a : unknown) {
            const int row = rowOfAddress(a);
            named += (named.empty() ? "" : ", ") + std::to_string(a) +
                     (row >= 0 ? " (" + params::fieldCaption(p.frm, row) + ")" : std::string());
        }
        lines += "\n" + text(p, texts::id::kUnknownSentNoAnswer, {named});
    }
    add(texts::id::kWriteFailed, failed);
    add(texts::id::kNotSent, notSent);
    return lines;
}

// The status line and message at the end of a write that ran.
void reportWrite(state::State& p, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    if (s.outcome != ops::End::Done) return;
    p.platform.events.processEvents();
    const bool allTaken = std::all_of(frames.begin(), frames.end(), [&](const auto& f) {
        const CellOutcome outcome = s.of(f.first);
        return outcome == CellOutcome::Verified || outcome == CellOutcome::WrittenNotVerified ||
               (outcome == CellOutcome::Failed && Sending::has(s.sent, f.first));
    });
    if (s.deadAt) {
        const std::string headline = text(p, texts::id::kWriteStoppedLineDead, {std::to_string(*s.deadAt)});
        const std::string message =
            headline + cellsByOutcome(p, frames, s) + "\n" + text(p, texts::id::kReadAgainOnceLineAnswers);
        p.frm.setStatus(headline);
        error(p, message);
        s.outcome = {ops::End::NoAnswer, headline};
    } else if (!allTaken) {
        p.frm.setStatus(text(p, texts::id::kEndedNoAnswerWriting, {addressRanges(s.unanswered)}));
        s.outcome = ops::End::NoAnswer;
    } else if (!s.differences.empty()) {
        std::string list;
        for (const auto& line : s.differences) list += "\n" + line;
        p.frm.setStatus(text(p, texts::id::kEndedUnitDoesNotHold) + ": " + s.differences.front() +
                        (s.differences.size() > 1 ? " ..." : ""));
        error(p, text(p, texts::id::kEndedUnitDoesNotHold) + list);
        s.outcome = ops::End::NotVerified;
    } else {
        p.frm.setStatus("Ended");
    }
}

// What the unit is known to hold of a field after the write: every changed
// cell sent and, when read back, found as written.
bool fieldTaken(const ChangePlan& plan, const FieldPlan& f, const Sending& s) {
    for (const auto& cell : plan.changedCells(f)) {
        const CellOutcome outcome = s.of(cell.address);
        if (outcome != CellOutcome::Verified && (s.verify || outcome != CellOutcome::WrittenNotVerified)) return false;
    }
    return true;
}

// One log line per changed field, with the cells it changed, and the worst
// of their outcomes: failed (not sent, not taken, or not acknowledged on a
// line that answered after), unknown (sent as the line died), written but
// not verified (acknowledged, never read back), verified.
void recordWrite(state::State& p, const ChangePlan& plan, const Sending& s) {
    const files::WriteRecord record(p.platform.info.dataFolder);
    std::vector<files::WriteRecord::Line> lines;
    const std::string now = files::isoLocalTime(std::time(nullptr));
    try {
        const int write = record.nextWrite();
        for (const FieldPlan* f : plan.changes()) {
            CellOutcome worst = CellOutcome::Verified;
            for (const auto& cell : plan.changedCells(*f)) {
                const CellOutcome outcome = s.of(cell.address);
                if (rank(outcome) > rank(worst)) worst = outcome;
            }
            lines.push_back({now, plan.unit, f->field, unitValue(p, *f, ValueStyle::Numbers),
                             shownValue(p, f->row, f->afterShown, ValueStyle::Numbers), outcomeWord(worst),
                             plan.changedCells(*f), write, 0});
        }
        record.append(lines);
    } catch (const files::FileError& e) {
        error(p, e.describe(p.texts));
    }
}

// The unit now holds the fields it took: they become the new starting point,
// as a read would be, and a field whose text a read would show otherwise
// (4,25 kept as 4,2; "abc" sent as 0) shows what the unit holds.
void rememberWritten(state::State& p, const ChangePlan& plan, const Sending& s) {
    if (!p.boundUnit) return;
    const MarksHeld marks(p);
    params::ParameterImage after{};
    for (const auto& f : plan.fields) std::copy(f.after.begin(), f.after.end(), after.begin() + f.row);
    params::CodecContext context = p.codecs();
    for (const FieldPlan* f : plan.changes()) {
        if (!fieldTaken(plan, *f, s)) continue;
        if (!params::holdsChoice(f->row) && params::shownState(f->row, p.frm) != f->afterShown)
            params::decodeRow(f->row, after, context);
        const params::LoadedFields::Row row{f->after, f->afterShown};
        p.boundUnit->unit.remember(f->row, row);
        p.loaded.remember(f->row, row);
        // A new identifier number is the unit's from now on.
        if (f->row == params::kIdentifierHigh && p.boundUnit->identifier)
            p.boundUnit->identifier = static_cast<std::uint16_t>(f->after[0] * 256 + f->after[1]);
    }
}

}  // namespace

std::optional<std::filesystem::path> copyBeforeWrite(state::State& p) {
    if (!p.boundUnit || !p.boundUnit->fullRead || p.platform.info.dataFolder.empty()) return std::nullopt;
    return files::WriteRecord(p.platform.info.dataFolder).copyPathFor(p.boundUnit->name(), std::time(nullptr));
}

ops::Outcome<> EscribirZRK(state::State& p, const WriteOptions& options) {
    if (!p.boundUnit) {
        p.frm.setStatus(text(p, texts::id::kNothingWrittenReadFirst));
        error(p, text(p, texts::id::kNothingWrittenNoSource,
                      {p.CargarTexto(texts::id::kReadZrk), p.CargarTexto(texts::id::kOpen)}));
        return ops::End::NothingToDo;
    }
    const params::UnitBinding unit = *p.boundUnit;
    // The plan is checked whole before the port opens: one bad field must
    // never leave a unit half-written.
    const ChangePlan plan = options.plan ? *options.plan : planWrite(p);
    if (const FieldPlan* refused = plan.refused())
        return refuse(p, ops::End::BadData, refused->refusal, refused->unconvertible);
    const auto frames = plan.frames(!options.changedOnly);

    bool recorded = false;
    if (!plan.changes().empty()) {
        const auto prepared = prepareRecord(p, unit, options);
        if (const auto* refusal = std::get_if<ops::Outcome<>>(&prepared)) return *refusal;
        recorded = std::get<bool>(prepared);
    }

    Sending s;
    s.verify = p.verifyWrites();
    const int frameCount = static_cast<int>(frames.size());
    {
        ops::OperationScope scope(p.frm, p.progress, p.link,
                                  (unit.identifier ? 2 : 0) + frameCount * (s.verify ? 2 : 1));
        try {
            p.link.AbrirCom();
            if (unit.identifier)
                if (const auto refused = checkSameUnit(p, *unit.identifier)) return *refused;
            sendFrames(p, frames, s);
            if (s.verify && !p.progress.cancelRequested() && !s.deadAt) verifySent(p, frames, s);
            if (p.progress.cancelRequested()) {
                p.frm.setStatus(text(p, texts::id::kWriteCancelledPartly));
                s.outcome = ops::End::Cancelled;
            }
        } catch (const platform::PortError& e) {
            // Once frames have gone, the engineer learns what the unit holds.
            const std::string held =
                s.transactions > 0 ? cellsByOutcome(p, frames, s) + "\n" + text(p, texts::id::kReadAgainOnceLineAnswers)
                                   : std::string();
            s.outcome = portFailure(p, kWriteError, e, held);
        }
    }
    reportWrite(p, frames, s);
    if (recorded) recordWrite(p, plan, s);
    rememberWritten(p, plan, s);
    refreshMarks(p);
    return s.outcome;
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

namespace {

// What the fields a file sets show, to put back after a read replaced them.
class OpenedValues {
public:
    explicit OpenedValues(const form::FrmMain& frm) {
        for (int row : params::readDecodeOrder()) {
            if (!params::appliedFromFile(row)) continue;
            std::visit([&](auto control) { values_.emplace_back(row, valueOf(control(frm))); },
                       params::imageRowAt(row).control);
        }
        for (const auto& field : form::fieldTable())
            if (field.companionControl != nullptr)
                companions_.emplace_back(field.companionControl, field.companionControl(frm).Text());
    }
    // In the read's order: the sensor type first, the changer type's
    // handlers before the fields they show.
    void restore(state::State& p) const {
        const MarksHeld marks(p);
        form::FrmMain& frm = p.frm;
        for (const auto& entry : values_)
            std::visit([&](auto control) { setValue(control(frm), entry.second); },
                       params::imageRowAt(entry.first).control);
        for (const auto& [companion, text] : companions_) companion(frm).setText(text);
    }

private:
    static std::string valueOf(const form::TextBox& box) { return box.Text(); }
    static std::string valueOf(const form::ComboBox& list) { return std::to_string(list.ListIndex()); }
    static std::string valueOf(const form::CheckBox& check) { return std::to_string(check.Value()); }
    static void setValue(form::TextBox& box, const std::string& v) { box.setText(v); }
    static void setValue(form::ComboBox& list, const std::string& v) { list.setListIndex(std::stoi(v)); }
    static void setValue(form::CheckBox& check, const std::string& v) { check.setValue(std::stoi(v)); }

    std::vector<std::pair<int, std::string>> values_;
    // The sensor readings beside the light levels: a read fills them, a file does not.
    std::vector<std::pair<form::FieldAccess<form::TextBox>, std::string>> companions_;
};

// Write with a parameter file opened before any read: the unit on the line
// is read first, which binds the form to it, and the file's values are put
// back over what the read showed, so the plan is the file against this unit
// (as zrkctl write does it).
ops::Outcome<> bindKeepingTheOpenedFile(state::State& p) {
    const OpenedValues opened(p.frm);
    const params::LoadedFields openedCells = p.loaded;
    const auto read = readUnit(p);
    if (read != ops::End::Done) return read;
    opened.restore(p);
    for (const auto& [row, cells] : openedCells.rows()) p.loaded.remember(row, cells);
    p.formFromFile = true;
    refreshMarks(p);
    return ops::End::Done;
}

}  // namespace

ops::Outcome<> confirmedWrite(state::State& p) {
    if (!p.boundUnit && p.formFromFile) {
        const auto bound = bindKeepingTheOpenedFile(p);
        if (bound != ops::End::Done) return bound;
    }
    const bool ask = p.platform.store.value("ZRK", "Write", "Confirm") != std::optional<std::string>("false");
    if (!p.boundUnit) return writeUnit(p);
    const ChangePlan plan = planWrite(p);
    // A refused field is reported by the write; there is nothing to confirm then.
    if (!ask || plan.refused() != nullptr) return writeUnit(p, {false, std::nullopt, &plan});
    const auto changes = changeLines(p, plan, ValueStyle::People);
    const auto copy = changes.empty() ? std::nullopt : copyBeforeWrite(p);
    std::string details;
    for (const auto& c : changes)
        details +=
            c.caption + ": " + c.unitValue + " \u2192 " + c.newValue + (c.unit.empty() ? "" : " " + c.unit) + "\n";
    if (copy) details += "\n" + text(p, texts::id::kCopySavedFirst, {copy->string()});
    if (!p.platform.ui.confirm(
            p.CargarTexto(changes.empty() ? texts::id::kNoFieldDiffers : texts::id::kWriteTheseChanges), details,
            p.platform.info.title)) {
        p.frm.setStatus(p.CargarTexto(texts::id::kNothingWrittenCancelled));
        return ops::End::Cancelled;
    }
    return writeUnit(p, {false, copy, &plan});
}

}  // namespace zrk::ops
