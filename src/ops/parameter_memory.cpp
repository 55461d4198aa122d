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

void error(state::State& state, const std::string& text) {
    state.platform.ui.messageBox(text, state.platform.info.title, platform::UserInterface::Icon::Error);
}

ops::Outcome<> portFailure(state::State& state, const char* headline, const platform::PortError& e,
                           const std::string& detail = {}) {
    state.link.CerrarCom();
    const std::string message = ops::portMessage(state, e);
    state.frm.setStatus(message);
    error(state, std::string(headline) + "\n" + message + detail);
    return {ops::End::PortError, message};
}

std::string text(state::State& state, int id, std::initializer_list<std::string_view> args = {}) {
    return texts::fill(state.CargarTexto(id), args);
}

// Shows the fields of the addresses `map` uses; outside the factory view the
// factory rows stay hidden unless `factoryRows`.
void applyVisibility(state::State& state, const params::ParameterMap& map, bool factoryRows = false) {
    auto& frm = state.frm;
    params::OcultarControles(frm, state.factoryView());
    params::showFieldsInUse(frm, map, !state.factoryView() && !factoryRows);
    if (!state.factoryView()) {
        // Outside the factory view the fifth tab exists only for units with
        // address 225; the factory view keeps all six tabs, one per page.
        if (map.ComprobarParametro(225)) frm.TabStrip1.add(5, state.CargarTexto(texts::id::kVisualization));
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
void endFileView(state::State& state) {
    if (!state.captionBeforeFileView) return;
    state.frm.frmMain.setCaption(*state.captionBeforeFileView);
    state.captionBeforeFileView.reset();
    for (form::Control* field : parameterInputs(state.frm)) field->setEnabled(true);
    // The operating mode decides again whether the night dimming can be set.
    state.frm.cmbModofuncionamiento.Click();
}

}  // namespace

void showFileWithoutUnit(state::State& state, const std::string& fileName) {
    const MarksHeld marks(state);
    // Read-only from here, so that no handler enables a field on the way.
    if (!state.captionBeforeFileView) state.captionBeforeFileView = state.frm.frmMain.Caption();
    applyVisibility(state, fileMap(), true);
    for (form::Control* field : parameterInputs(state.frm)) field->setEnabled(false);
    std::string caption = *state.captionBeforeFileView;
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    state.frm.frmMain.setCaption(text(state, texts::id::kFileNoUnit, {caption, fileName}));
    state.frm.setStatus(text(state, texts::id::kFileFieldsReadOnly, {state.CargarTexto(texts::id::kReadZrk)}));
}

ops::Outcome<> IdentificarZRK(state::State& state) {
    // Whatever comes of it, the form no longer belongs to a unit until a
    // read succeeds: a write must not carry one unit's values into another.
    state.boundUnit.reset();
    params::ParameterMap map = state.MapaParametros;
    {
        ops::OperationScope scope(state.frm, state.progress, state.link, 32);
        try {
            state.link.AbrirCom();
            for (int k = 0; k < 32; ++k) {
                const auto reply = state.link.EnviarComando(link::identificationFrame(k));
                if (reply.Resultado != link::kAck) {
                    // Nothing of the window or the map has changed yet: leave it so.
                    if (state.progress.cancelRequested()) {
                        state.frm.setStatus(text(state, texts::id::kIdentificationCancelled));
                        return ops::End::Cancelled;
                    }
                    state.frm.setStatus(text(state, texts::id::kUnitDoesNotAnswer));
                    // The page is named by its caption in the operator's language;
                    // zrkctl has no page, so it names its port options.
                    const std::string port = std::to_string(state.settings.PuertoSerie);
                    const std::string device = ops::deviceText(state, state.settings.PuertoSerie);
                    error(state, state.withoutWindow ? text(state, texts::id::kNoUnitOnPortOption, {port, device})
                                                     : text(state, texts::id::kNoUnitOnPort,
                                                            {port, device, state.CargarTexto(texts::id::kSetup)}));
                    return ops::End::NoAnswer;
                }
                map.bytes[static_cast<std::size_t>(k)] = link::replyByte(reply);
                state.frm.setStatus(std::to_string(k));
                state.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(state, kReadError, e);
        }
    }
    state.MapaParametros = map;
    applyVisibility(state, map);
    state.frm.setStatus("Ended");
    return ops::End::Done;
}

namespace {

// Reads the in-use addresses of `rows` (every row for a full read), then
// decodes them into the fields; a failed transaction decodes nothing.
ops::Outcome<> readRows(state::State& state, const std::optional<std::vector<int>>& only) {
    state.boundUnit.reset();
    std::vector<int> rows = only ? *only : params::rowAddresses();
    if (only) {
        // The light levels are shown in the units of the unit's own sensor,
        // and the identifier number binds the form to the unit.
        for (int needed : {41, 254})
            if (std::find(rows.begin(), rows.end(), needed) == rows.end()) rows.push_back(needed);
    }
    std::vector<int> addresses;
    for (int a = 0; a < 256; ++a) {
        if (!state.MapaParametros.ComprobarParametro(a)) continue;
        const bool wanted = !only || std::any_of(rows.begin(), rows.end(), [a](int first) {
            return a >= first && a < first + params::rowLength(first);
        });
        if (wanted) addresses.push_back(a);
    }
    params::ParameterImage image{};
    {
        ops::OperationScope scope(state.frm, state.progress, state.link, static_cast<int>(addresses.size()));
        try {
            state.link.AbrirCom();
            for (int a : addresses) {
                const auto reply = state.link.EnviarComando(link::readMemoryFrame(a));
                if (reply.Resultado != link::kAck) {
                    // Decode nothing: zeros for cells never read would show
                    // values the unit does not hold, and a write would store them.
                    if (state.progress.cancelRequested()) {
                        state.frm.setStatus(text(state, texts::id::kReadCancelledNothingChanged));
                        return ops::End::Cancelled;
                    }
                    state.frm.setStatus("Reading Error in data " + std::to_string(a));
                    state.platform.ui.beep();
                    state.link.Pausa(1000);
                    return ops::End::NoAnswer;
                }
                image[static_cast<std::size_t>(a)] = link::replyByte(reply);
                state.frm.setStatus(std::to_string(a));
                state.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(state, kReadError, e);
        }
        if (const auto refused = takeRead(state, image, rows, !only); refused != ops::End::Done) return refused;
        // Selecting the changer type on the way reports a pending change;
        // what is shown now is exactly what the unit holds.
        state.frm.setStatus("Ended");
    }
    if (!only && image[252] < 48 && image[253] < 4)
        state.platform.ui.messageBox(state.CargarTexto(texts::id::kFirmwareNeedsOtherProgram),
                                     state.platform.info.title, platform::UserInterface::Icon::Warning);
    state.platform.events.processEvents();
    refreshMarks(state);
    return ops::End::Done;
}

}  // namespace

ops::Outcome<> takeRead(state::State& state, const params::ParameterImage& image, const std::vector<int>& rows,
                        bool fullRead) {
    state.boundUnit.reset();
    const MarksHeld marks(state);
    // The two cells whose values a control can refuse are checked before
    // any field changes, so a bad image leaves the form as it was.
    const int motorTypes = state.frm.ComboTipoMotor.ListCount();
    if (image[50] >= motorTypes || image[61] > 2) {
        const int address = image[50] >= motorTypes ? 50 : 61;
        state.frm.setStatus("Reading Error in data " + std::to_string(address));
        error(state, std::string(kReadError) + "\n" +
                         text(state, texts::id::kUnitValueFormCannotShow,
                              {std::to_string(image[address]), params::fieldCaption(state.frm, address),
                               std::to_string(address)}));
        return ops::End::BadData;
    }
    params::CodecContext context = state.codecs();
    for (int a : params::readDecodeOrder()) {
        if (std::find(rows.begin(), rows.end(), a) == rows.end()) continue;
        params::decodeRow(a, image, context);
        if (a == params::kDecodeYieldAfter) state.platform.events.processEvents();
    }
    // The form now shows this unit: remember the bytes behind each field,
    // and which unit they came from.
    state.loaded.clear();
    state.formFromFile = false;
    params::rememberRows(rows, image, state.frm, state.loaded);
    params::UnitBinding binding{state.MapaParametros, std::nullopt, state.loaded, fullRead};
    if (state.MapaParametros.ComprobarParametro(params::kIdentifierHigh) &&
        state.MapaParametros.ComprobarParametro(params::kIdentifierLow))
        binding.identifier =
            static_cast<std::uint16_t>(image[params::kIdentifierHigh] * 256 + image[params::kIdentifierLow]);
    state.boundUnit = binding;
    endFileView(state);
    return ops::End::Done;
}

ops::Outcome<> LeerZRK(state::State& state) { return readRows(state, std::nullopt); }

ops::Outcome<> readFields(state::State& state, const std::vector<int>& rows) { return readRows(state, rows); }

namespace {

// Whether the unit on the line is the one the form was read from, by its
// identifier number in cells 254 and 255. Reports and returns the outcome
// when it is not, or when the unit does not answer.
std::optional<ops::Outcome<>> checkSameUnit(state::State& state, std::uint16_t expected) {
    const auto onLine = ops::readIdentifier(state.link);
    if (!onLine) {
        if (state.progress.cancelRequested()) {
            state.frm.setStatus(text(state, texts::id::kWriteCancelledNothingWritten));
            return ops::End::Cancelled;
        }
        state.frm.setStatus(text(state, texts::id::kNothingWrittenNoAnswer));
        error(state, std::string(kWriteError) + "\n" + text(state, texts::id::kNothingWrittenNoAnswer));
        return ops::End::NoAnswer;
    }
    state.progress.advance(2);
    if (*onLine == expected) return std::nullopt;
    const std::string found = std::to_string(*onLine), read = std::to_string(expected);
    state.frm.setStatus(text(state, texts::id::kNothingWrittenOtherUnit, {found, read}));
    // Another unit answers: a retry cannot help, the message says why alone.
    error(state, text(state, texts::id::kFormHoldsOtherUnit, {found, read}));
    return ops::End::WrongUnit;
}

}  // namespace

namespace {

// Refuses a write before anything is sent.
ops::Outcome<> refuse(state::State& state, ops::End end, const std::string& detail, bool writeError = false) {
    state.frm.setStatus(text(state, texts::id::kNothingWritten));
    // A text the strict reading refuses keeps the write error it has always
    // had; the refusals the tool added say that nothing went out.
    error(state, (writeError ? std::string(kWriteError) : text(state, texts::id::kNothingSentToUnit)) + "\n" + detail);
    return end;
}

// The record comes before the first byte: the log must take the lines and,
// after a full read, the copy of the unit's parameters must be saved. When
// it cannot, the engineer chooses (zrkctl: --no-record); nothing is sent
// before the answer. Returns whether the write is recorded, or the refusal.
std::variant<bool, ops::Outcome<>> prepareRecord(state::State& state, const params::UnitBinding& unit,
                                                 const WriteOptions& options) {
    if (state.platform.info.dataFolder.empty()) return false;
    const files::WriteRecord record(state.platform.info.dataFolder);
    try {
        record.checkLog();
        if (unit.fullRead) {
            const auto copy = options.copy ? *options.copy : record.copyPathFor(unit.name(), std::time(nullptr));
            record.saveCopy(copy, unit.name(), files::unitParameterFile(unit.unit, state.flash));
            state.lastCopyBeforeWrite = copy;
        }
        return true;
    } catch (const files::FileError& e) {
        const std::string question = text(state, texts::id::kRecordCannotBeKept, {e.describe(state.texts)});
        if (state.writeWithoutRecord ||
            state.platform.ui.askDefaultNo(question, text(state, texts::id::kWriteWithoutRecord),
                                           state.platform.info.title))
            return false;
        state.frm.setStatus(text(state, texts::id::kNothingWritten));
        error(state, e.describe(state.texts) + "\n" + text(state, texts::id::kNothingWrittenNeedsRecord));
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
std::optional<std::uint8_t> readBack(state::State& state, Sending& s, int a) {
    const auto held = ops::readCell(state.link, a);
    s.count(held.has_value());
    return held;
}

// Sends the frames in two passes: the fields, then the identifier number.
// A pass stops at the first address the unit does not answer; the whole
// write stops once the line has gone dead (two transactions in a row
// without a byte back), and sends nothing more.
void sendFrames(state::State& state, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    auto write = [&](int a, std::uint8_t byte) {
        s.inFlight = a;
        const auto reply = state.link.EnviarComando(link::writeMemoryFrame(a, byte));
        s.inFlight.reset();
        s.count(reply.Resultado == link::kAck);
        if (reply.Resultado == link::kAck) {
            state.frm.setStatus(std::to_string(a));
            state.progress.advance();
            s.sent.push_back(a);
            return true;
        }
        s.unanswered.push_back(a);
        s.unansweredAt.emplace_back(a, s.transactions);
        if (state.progress.cancelRequested()) return false;
        state.frm.setStatus("Reading Error in data " + std::to_string(a));
        state.platform.ui.beep();
        if (state.link.lineSeemsDead()) {
            s.deadAt = a;
            return false;
        }
        state.link.Pausa(1000);
        return false;
    };
    bool passEnded = false, beeped = false;
    for (const auto& [a, byte] : frames) {
        if (a > params::kLastOfFirstPass) break;
        if (a > params::kBeepAfter && !beeped) state.platform.ui.beep(), beeped = true;
        if (!write(a, byte)) {
            passEnded = true;
            break;
        }
    }
    if (!passEnded && !beeped) state.platform.ui.beep();
    if (state.progress.cancelRequested() || s.deadAt) return;
    const bool identifierPass =
        std::any_of(frames.begin(), frames.end(), [](const auto& f) { return f.first > params::kLastOfFirstPass; });
    if (!identifierPass) return;
    // The identifier number goes even when the first pass stopped early, but
    // not into a line that heard nothing: a read asks whether it is still
    // there, and a second silence ends the write before the number goes.
    if (passEnded && state.link.silentInRow() > 0) {
        readBack(state, s, params::kIdentifierHigh);
        if (state.progress.cancelRequested()) return;
        if (state.link.lineSeemsDead()) {
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
void verifySent(state::State& state, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    state.frm.setStatus(text(state, texts::id::kVerifying));
    for (const auto& [a, byte] : frames) {
        const bool acknowledged = Sending::has(s.sent, a);
        if (!acknowledged && !Sending::has(s.unanswered, a)) continue;
        const auto held = readBack(state, s, a);
        if (state.progress.cancelRequested()) break;
        const std::string written = std::to_string(byte);
        if (!held && acknowledged)
            s.differences.push_back(text(state, texts::id::kAddressNoAnswerReadBack, {std::to_string(a), written}));
        else if (held && *held != byte)
            s.differences.push_back(
                text(state, texts::id::kAddressHoldsOther, {std::to_string(a), written, std::to_string(*held)}));
        if (held) s.checked.push_back(a);
        if (held && *held == byte) s.verified.push_back(a);
        if (acknowledged) state.progress.advance();
        if (!held && state.link.lineSeemsDead()) {
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
std::string cellsByOutcome(state::State& state, const std::vector<std::pair<int, std::uint8_t>>& frames,
                           const Sending& s) {
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
        if (!cells.empty()) lines += "\n" + text(state, id, {addressRanges(cells)});
    };
    add(texts::id::kWrittenVerified, verified);
    add(texts::id::kWrittenNotVerified, written);
    if (!unknown.empty()) {
        std::string named;
        for (int a : unknown) {
            const int row = rowOfAddress(a);
            named += (named.empty() ? "" : ", ") + std::to_string(a) +
                     (row >= 0 ? " (" + params::fieldCaption(state.frm, row) + ")" : std::string());
        }
        lines += "\n" + text(state, texts::id::kUnknownSentNoAnswer, {named});
    }
    add(texts::id::kWriteFailed, failed);
    add(texts::id::kNotSent, notSent);
    return lines;
}

// The status line and message at the end of a write that ran.
void reportWrite(state::State& state, const std::vector<std::pair<int, std::uint8_t>>& frames, Sending& s) {
    if (s.outcome != ops::End::Done) return;
    state.platform.events.processEvents();
    const bool allTaken = std::all_of(frames.begin(), frames.end(), [&](const auto& f) {
        const CellOutcome outcome = s.of(f.first);
        return outcome == CellOutcome::Verified || outcome == CellOutcome::WrittenNotVerified ||
               (outcome == CellOutcome::Failed && Sending::has(s.sent, f.first));
    });
    if (s.deadAt) {
        const std::string headline = text(state, texts::id::kWriteStoppedLineDead, {std::to_string(*s.deadAt)});
        const std::string message =
            headline + cellsByOutcome(state, frames, s) + "\n" + text(state, texts::id::kReadAgainOnceLineAnswers);
        state.frm.setStatus(headline);
        error(state, message);
        s.outcome = {ops::End::NoAnswer, headline};
    } else if (!allTaken) {
        state.frm.setStatus(text(state, texts::id::kEndedNoAnswerWriting, {addressRanges(s.unanswered)}));
        s.outcome = ops::End::NoAnswer;
    } else if (!s.differences.empty()) {
        std::string list;
        for (const auto& line : s.differences) list += "\n" + line;
        state.frm.setStatus(text(state, texts::id::kEndedUnitDoesNotHold) + ": " + s.differences.front() +
                            (s.differences.size() > 1 ? " ..." : ""));
        error(state, text(state, texts::id::kEndedUnitDoesNotHold) + list);
        s.outcome = ops::End::NotVerified;
    } else {
        state.frm.setStatus("Ended");
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
void recordWrite(state::State& state, const ChangePlan& plan, const Sending& s) {
    const files::WriteRecord record(state.platform.info.dataFolder);
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
            lines.push_back({now, plan.unit, f->field, unitValue(state, *f, ValueStyle::Numbers),
                             shownValue(state, f->row, f->afterShown, ValueStyle::Numbers), outcomeWord(worst),
                             plan.changedCells(*f), write, 0});
        }
        record.append(lines);
    } catch (const files::FileError& e) {
        error(state, e.describe(state.texts));
    }
}

// The unit now holds the fields it took: they become the new starting point,
// as a read would be, and a field whose text a read would show otherwise
// (4,25 kept as 4,2; "abc" sent as 0) shows what the unit holds.
void rememberWritten(state::State& state, const ChangePlan& plan, const Sending& s) {
    if (!state.boundUnit) return;
    const MarksHeld marks(state);
    params::ParameterImage after{};
    for (const auto& f : plan.fields) std::copy(f.after.begin(), f.after.end(), after.begin() + f.row);
    params::CodecContext context = state.codecs();
    for (const FieldPlan* f : plan.changes()) {
        if (!fieldTaken(plan, *f, s)) continue;
        if (!params::holdsChoice(f->row) && params::shownState(f->row, state.frm) != f->afterShown)
            params::decodeRow(f->row, after, context);
        const params::LoadedFields::Row row{f->after, f->afterShown};
        state.boundUnit->unit.remember(f->row, row);
        state.loaded.remember(f->row, row);
        // A new identifier number is the unit's from now on.
        if (f->row == params::kIdentifierHigh && state.boundUnit->identifier)
            state.boundUnit->identifier = static_cast<std::uint16_t>(f->after[0] * 256 + f->after[1]);
    }
}

}  // namespace

std::optional<std::filesystem::path> copyBeforeWrite(state::State& state) {
    if (!state.boundUnit || !state.boundUnit->fullRead || state.platform.info.dataFolder.empty()) return std::nullopt;
    return files::WriteRecord(state.platform.info.dataFolder).copyPathFor(state.boundUnit->name(), std::time(nullptr));
}

ops::Outcome<> EscribirZRK(state::State& state, const WriteOptions& options) {
    if (!state.boundUnit) {
        state.frm.setStatus(text(state, texts::id::kNothingWrittenReadFirst));
        error(state, text(state, texts::id::kNothingWrittenNoSource,
                          {state.CargarTexto(texts::id::kReadZrk), state.CargarTexto(texts::id::kOpen)}));
        return ops::End::NothingToDo;
    }
    const params::UnitBinding unit = *state.boundUnit;
    // The plan is checked whole before the port opens: one bad field must
    // never leave a unit half-written.
    const ChangePlan plan = options.plan ? *options.plan : planWrite(state);
    if (const FieldPlan* refused = plan.refused())
        return refuse(state, ops::End::BadData, refused->refusal, refused->unconvertible);
    const auto frames = plan.frames(!options.changedOnly);

    bool recorded = false;
    if (!plan.changes().empty()) {
        const auto prepared = prepareRecord(state, unit, options);
        if (const auto* refusal = std::get_if<ops::Outcome<>>(&prepared)) return *refusal;
        recorded = std::get<bool>(prepared);
    }

    Sending s;
    s.verify = state.verifyWrites();
    const int frameCount = static_cast<int>(frames.size());
    {
        ops::OperationScope scope(state.frm, state.progress, state.link,
                                  (unit.identifier ? 2 : 0) + frameCount * (s.verify ? 2 : 1));
        try {
            state.link.AbrirCom();
            if (unit.identifier)
                if (const auto refused = checkSameUnit(state, *unit.identifier)) return *refused;
            sendFrames(state, frames, s);
            if (s.verify && !state.progress.cancelRequested() && !s.deadAt) verifySent(state, frames, s);
            if (state.progress.cancelRequested()) {
                state.frm.setStatus(text(state, texts::id::kWriteCancelledPartly));
                s.outcome = ops::End::Cancelled;
            }
        } catch (const platform::PortError& e) {
            // Once frames have gone, the engineer learns what the unit holds.
            const std::string held = s.transactions > 0 ? cellsByOutcome(state, frames, s) + "\n" +
                                                              text(state, texts::id::kReadAgainOnceLineAnswers)
                                                        : std::string();
            s.outcome = portFailure(state, kWriteError, e, held);
        }
    }
    reportWrite(state, frames, s);
    if (recorded) recordWrite(state, plan, s);
    rememberWritten(state, plan, s);
    refreshMarks(state);
    return s.outcome;
}

ops::Outcome<> readUnit(state::State& state) {
    const ops::Outcome<> identified = IdentificarZRK(state);
    if (identified != ops::End::Done) return identified;
    state.frm.setStatus("Reading");
    state.frm.PictureInicio.setVisible(false);
    return LeerZRK(state);
}

ops::Outcome<> writeUnit(state::State& state, const WriteOptions& options) {
    state.frm.setStatus("Writing");
    return EscribirZRK(state, options);
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
    void restore(state::State& state) const {
        const MarksHeld marks(state);
        form::FrmMain& frm = state.frm;
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
ops::Outcome<> bindKeepingTheOpenedFile(state::State& state) {
    const OpenedValues opened(state.frm);
    const params::LoadedFields openedCells = state.loaded;
    const auto read = readUnit(state);
    if (read != ops::End::Done) return read;
    opened.restore(state);
    for (const auto& [row, cells] : openedCells.rows()) state.loaded.remember(row, cells);
    state.formFromFile = true;
    refreshMarks(state);
    return ops::End::Done;
}

}  // namespace

ops::Outcome<> confirmedWrite(state::State& state) {
    if (!state.boundUnit && state.formFromFile) {
        const auto bound = bindKeepingTheOpenedFile(state);
        if (bound != ops::End::Done) return bound;
    }
    const bool ask = state.platform.store.value("ZRK", "Write", "Confirm") != std::optional<std::string>("false");
    if (!state.boundUnit) return writeUnit(state);
    const ChangePlan plan = planWrite(state);
    // A refused field is reported by the write; there is nothing to confirm then.
    if (!ask || plan.refused() != nullptr) return writeUnit(state, {false, std::nullopt, &plan});
    const auto changes = changeLines(state, plan, ValueStyle::People);
    const auto copy = changes.empty() ? std::nullopt : copyBeforeWrite(state);
    std::string details;
    for (const auto& c : changes)
        details +=
            c.caption + ": " + c.unitValue + " \u2192 " + c.newValue + (c.unit.empty() ? "" : " " + c.unit) + "\n";
    if (copy) details += "\n" + text(state, texts::id::kCopySavedFirst, {copy->string()});
    if (!state.platform.ui.confirm(
            state.CargarTexto(changes.empty() ? texts::id::kNoFieldDiffers : texts::id::kWriteTheseChanges), details,
            state.platform.info.title)) {
        state.frm.setStatus(state.CargarTexto(texts::id::kNothingWrittenCancelled));
        return ops::End::Cancelled;
    }
    return writeUnit(state, {false, copy, &plan});
}

}  // namespace zrk::ops
