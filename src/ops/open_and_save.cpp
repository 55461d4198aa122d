#include "ops/open_and_save.h"

#include "files/atomic_file.h"
#include "link/frame.h"
#include "ops/change_plan.h"
#include "ops/parameter_memory.h"
#include "ops/segment_transfer.h"
#include "params/codepage.h"
#include "params/numbers.h"
#include "platform/path_text.h"
#include "texts/text_ids.h"

namespace zrk::ops {

using params::ParameterImage;

namespace {
constexpr int kRows = tables::kPatternRows;
constexpr int kColumns = tables::kPatternColumns;
}  // namespace

namespace {

// What the opened fields were loaded with: the file's cells, so that writing
// the file unedited sends exactly what it holds (a copy saved before a write
// puts the unit back as it was). Cells that are no bytes cannot be sent as
// they are; such a field is encoded from what it shows.
void rememberFileCells(state::State& state, const ParameterImage& cells, const std::vector<int>& rows) {
    for (int a : rows) {
        bool bytes = true;
        for (int i = 0; i < params::rowLength(a); ++i) {
            const std::int32_t cell = cells[static_cast<std::size_t>(a + i)];
            bytes = bytes && cell >= 0 && cell <= 255;
        }
        if (bytes)
            params::rememberRows({a}, cells, state.frm, state.loaded);
        else
            state.loaded.forget(a);
    }
}

}  // namespace

void applyParameterFile(state::State& state, const files::ParameterFileContent& content) {
    const ops::MarksHeld marks(state);
    auto& frm = state.frm;
    auto& grid = frm.MSFlexGridPautas;
    // The edit in progress in the current cell ends before the file replaces
    // every cell. Applied afterwards, the rule would empty a 360 or an angle
    // beside an empty cell there and keep the entry hidden behind it.
    tables::MSFlexGridPautas_LeaveCell(frm, state.flash, state.texts);
    for (int row = 1; row <= kRows; ++row) {
        state.flash.color(row) = content.colors[static_cast<std::size_t>(row - 1)];
        for (int col = 1; col <= kColumns; ++col) {
            const std::int32_t angle =
                content.angles[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
            grid.setTextMatrix(row, col, angle == tables::kEmptyAngle ? "" : tables::formatAngle(angle));
            state.flash.pauta(row, col) = angle;
        }
    }
    tables::RellenarColores(frm, state.flash, state.texts);
    // The file keeps this table: it is not lost on exit.
    ops::keepTable(state);
    frm.setStatus("Ended");

    params::CodecContext context = state.codecs();
    const auto& m = content.image;
    // The sensor type first: the lux fields are shown in its units.
    std::vector<int> order{41};
    for (int a : params::rowAddresses())
        if (a != 41 && params::appliedFromFile(a)) order.push_back(a);
    for (int a : order) {
        params::decodeFileRow(a, m, context);
        if (a == params::kDecodeYieldAfter) state.platform.events.processEvents();
    }
    rememberFileCells(state, content.image, order);
    state.formFromFile = true;
    state.platform.events.processEvents();
}

void openParameterFile(state::State& state, const std::filesystem::path& path) {
    try {
        const auto content = files::readParameterFile(
            path, [&state](int position) { state.frm.setStatus(link::signedNumber(position)); });
        files::checkParameterFile(content, platform::utf8(path), files::listSizesOf(state.frm));
        applyParameterFile(state, content);
        // No unit decides which fields there are: the file shows them all.
        if (!state.boundUnit) ops::showFileWithoutUnit(state, platform::utf8(path.filename()));
    } catch (const files::ParameterFileError&) {
        state.frm.setStatus(state.CargarTexto(texts::id::kFileNotOpened));
        throw;
    }
}

ParameterImage imageForFile(state::State& state) {
    ParameterImage image{};
    const params::CodecContext context = state.codecs();
    for (int a : params::rowAddresses()) params::encodeFileRow(a, image, context);
    return image;
}

void writeParameterFile(state::State& state, const ParameterImage& image, const std::filesystem::path& path) {
    const std::string text = files::formatParameterFile(image, state.flash);
    files::AtomicFile file(path);
    std::size_t start = 0;
    for (int line = 0; line < files::kParameterFileLines; ++line) {
        const std::size_t end = text.find('\n', start) + 1;
        file.write(std::string_view(text).substr(start, end - start));
        start = end;
        if (line < files::kImageLines)
            state.frm.setStatus(link::signedNumber(line));
        else if ((line - files::kImageLines + 1) % (1 + kColumns) == 0)
            state.frm.setStatus(link::signedNumber((line - files::kImageLines + 1) / (1 + kColumns)));
    }
    file.commit();
    // Which file, so the engineer finds it again.
    state.frm.setStatus(" Saved file: " + platform::utf8(path.filename()));
}

void saveParameterFile(state::State& state, const std::filesystem::path& path) {
    writeParameterFile(state, imageForFile(state), path);
}

namespace {

void failure(state::State& state, const std::string& text) {
    state.platform.ui.messageBox(text, state.platform.info.title, platform::UserInterface::Icon::Error);
}

}  // namespace

void GuardarArchivoZRK(state::State& state) {
    ParameterImage image{};
    try {
        image = imageForFile(state);
    } catch (const params::ConversionError& e) {
        state.frm.setStatus(state.CargarTexto(texts::id::kFileNotSaved));
        failure(state, texts::fill(state.CargarTexto(texts::id::kParameterFileNotSaved), {e.what()}));
        return;
    }
    auto chosen = state.platform.ui.chooseFile(true, "Parametros", "*.zrk", state.CargarTexto(texts::id::kAllFiles));
    if (!chosen) return;
    // The Open dialog lists *.zrk: a file saved without the extension would
    // never show there.
    if (!chosen->has_extension()) *chosen += ".zrk";
    try {
        writeParameterFile(state, image, *chosen);
    } catch (const files::FileError& e) {
        state.frm.setStatus(state.CargarTexto(texts::id::kFileNotSaved));
        failure(state, e.describe(state.texts));
    }
}

void AbrirArchivoZRK(state::State& state) {
    const auto chosen =
        state.platform.ui.chooseFile(false, "Parametros", "*.zrk", state.CargarTexto(texts::id::kAllFiles));
    if (!chosen) return;
    try {
        openParameterFile(state, *chosen);
    } catch (const files::ParameterFileError& e) {
        failure(state, files::describe(e, state.texts, state.frm));
    }
}

void CGuardar_Click(state::State& state) { GuardarArchivoZRK(state); }
void CAbrir_Click(state::State& state) { AbrirArchivoZRK(state); }

}  // namespace zrk::ops
