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
void rememberFileCells(state::State& p, const ParameterImage& cells, const std::vector<int>& rows) {
    for (int a : rows) {
        bool bytes = true;
        for (int i = 0; i < params::rowLength(a); ++i) {
            const std::int32_t cell = cells[static_cast<std::size_t>(a + i)];
            bytes = bytes && cell >= 0 && cell <= 255;
        }
        if (bytes)
            params::rememberRows({a}, cells, p.frm, p.loaded);
        else
            p.loaded.forget(a);
    }
}

}  // namespace

void applyParameterFile(state::State& p, const files::ParameterFileContent& content) {
    const ops::MarksHeld marks(p);
    auto& frm = p.frm;
    auto& grid = frm.MSFlexGridPautas;
    // The edit in progress in the current cell ends before the file replaces
    // every cell. Applied afterwards, the rule would empty a 360 or an angle
    // beside an empty cell there and keep the entry hidden behind it.
    tables::MSFlexGridPautas_LeaveCell(frm, p.flash, p.texts);
    for (int row = 1; row <= kRows; ++row) {
        p.flash.color(row) = content.colors[static_cast<std::size_t>(row - 1)];
        for (int col = 1; col <= kColumns; ++col) {
            const std::int32_t angle =
                content.angles[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
            grid.setTextMatrix(row, col, angle == tables::kEmptyAngle ? "" : tables::formatAngle(angle));
            p.flash.pauta(row, col) = angle;
        }
    }
    tables::RellenarColores(frm, p.flash, p.texts);
    // The file keeps this table: it is not lost on exit.
    ops::keepTable(p);
    frm.setStatus("Ended");

    params::CodecContext context = p.codecs();
    const auto& m = content.image;
    // The sensor type first: the lux fields are shown in its units.
    std::vector<int> order{41};
    for (int a : params::rowAddresses())
        if (a != 41 && params::appliedFromFile(a)) order.push_back(a);
    for (int a : order) {
        params::decodeFileRow(a, m, context);
        if (a == params::kDecodeYieldAfter) p.platform.events.processEvents();
    }
    rememberFileCells(p, content.image, order);
    p.formFromFile = true;
    p.platform.events.processEvents();
}

void openParameterFile(state::State& p, const std::filesystem::path& path) {
    try {
        const auto content =
            files::readParameterFile(path, [&p](int position) { p.frm.setStatus(link::signedNumber(position)); });
        files::checkParameterFile(content, platform::utf8(path), files::listSizesOf(p.frm));
        applyParameterFile(p, content);
        // No unit decides which fields there are: the file shows them all.
        if (!p.boundUnit) ops::showFileWithoutUnit(p, platform::utf8(path.filename()));
    } catch (const files::ParameterFileError&) {
        p.frm.setStatus(p.CargarTexto(texts::id::kFileNotOpened));
        throw;
    }
}

ParameterImage imageForFile(state::State& p) {
    ParameterImage image{};
    const params::CodecContext context = p.codecs();
    for (int a : params::rowAddresses()) params::encodeFileRow(a, image, context);
    return image;
}

void writeParameterFile(state::State& p, const ParameterImage& image, const std::filesystem::path& path) {
    const std::string text = files::formatParameterFile(image, p.flash);
    files::AtomicFile file(path);
    std::size_t start = 0;
    for (int line = 0; line < files::kParameterFileLines; ++line) {
        const std::size_t end = text.find('\n', start) + 1;
        file.write(std::string_view(text).substr(start, end - start));
        start = end;
        if (line < files::kImageLines)
            p.frm.setStatus(link::signedNumber(line));
        else if ((line - files::kImageLines + 1) % (1 + kColumns) == 0)
            p.frm.setStatus(link::signedNumber((line - files::kImageLines + 1) / (1 + kColumns)));
    }
    file.commit();
    // Which file, so the engineer finds it again.
    p.frm.setStatus(" Saved file: " + platform::utf8(path.filename()));
}

void saveParameterFile(state::State& p, const std::filesystem::path& path) {
    writeParameterFile(p, imageForFile(p), path);
}

namespace {

void failure(state::State& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

}  // namespace

void GuardarArchivoZRK(state::State& p) {
    ParameterImage image{};
    try {
        image = imageForFile(p);
    } catch (const params::ConversionError& e) {
        p.frm.setStatus(p.CargarTexto(texts::id::kFileNotSaved));
        failure(p, texts::fill(p.CargarTexto(texts::id::kParameterFileNotSaved), {e.what()}));
        return;
    }
    auto chosen = p.platform.ui.chooseFile(true, "Parametros", "*.zrk", p.CargarTexto(texts::id::kAllFiles));
    if (!chosen) return;
    // The Open dialog lists *.zrk: a file saved without the extension would
    // never show there.
    if (!chosen->has_extension()) *chosen += ".zrk";
    try {
        writeParameterFile(p, image, *chosen);
    } catch (const files::FileError& e) {
        p.frm.setStatus(p.CargarTexto(texts::id::kFileNotSaved));
        failure(p, e.describe(p.texts));
    }
}

void AbrirArchivoZRK(state::State& p) {
    const auto chosen = p.platform.ui.chooseFile(false, "Parametros", "*.zrk", p.CargarTexto(texts::id::kAllFiles));
    if (!chosen) return;
    try {
        openParameterFile(p, *chosen);
    } catch (const files::ParameterFileError& e) {
        failure(p, files::describe(e, p.texts, p.frm));
    }
}

void CGuardar_Click(state::State& p) { GuardarArchivoZRK(p); }
void CAbrir_Click(state::State& p) { AbrirArchivoZRK(p); }

}  // namespace zrk::ops
