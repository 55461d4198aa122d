#include "tables/flash_table.h"

#include <cstdio>
#include <limits>
#include <vector>

#include "form/frm_main.h"
#include "params/numbers.h"
#include "platform/user_interface.h"
#include "tables/sector_marks.h"
#include "texts/text_ids.h"
#include "texts/texts.h"

namespace zrk::tables {
namespace {

std::string arcText(int from, int to) { return std::to_string(from) + "\u2013" + std::to_string(to); }

// What the operator sees above the column: "2F".
std::string columnCaption(const form::FlexGrid& grid, int col) {
    const std::string& header = grid.TextMatrix(0, col);
    const auto first = header.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : header.substr(first);
}

// The colours a write sends: the labels', as the operator sees them.
RowColours rowColours(const form::FrmMain& frm, const FlashTable& table) {
    RowColours colours{};
    for (int row = 1; row <= kPatternRows; ++row) {
        auto& colour = colours[static_cast<std::size_t>(row - 1)];
        try {
            colour = captionColour(frm.LColor(row).Caption());
        } catch (const params::ConversionError&) {
            colour = table.color(row);  // a caption no write could send; the table's is the best guess
        }
    }
    return colours;
}

// One note a line; the tint of the most serious note wins.
struct CellNotes {
    std::string text;
    std::optional<std::int32_t> tint;
    int weight = 0;
    void add(std::string note, std::int32_t noteTint, int noteWeight) {
        if (!text.empty()) text += '\n';
        text += note;
        if (noteWeight > weight) {
            weight = noteWeight;
            tint = noteTint;
        }
    }
};

}  // namespace

std::int32_t captionColour(const std::string& caption) {
    return params::roundToInt32(params::lenientNumber(caption), "Colour " + caption);
}

std::string formatAngle(std::int32_t angle) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(angle));
    return text;
}

std::optional<std::int32_t> cellNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + (ch - '0');
        // Typing has no length limit; such a text is simply no angle.
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

void FormatearGrid(form::FrmMain& frm) {
    auto& grid = frm.MSFlexGridPautas;
    grid.setColWidths(350);
    grid.setRowHeights(250);
    for (int row = 1; row <= kPatternRows; ++row) grid.setTextMatrix(row, 0, " " + std::to_string(row));
    for (int k = 1; k <= kPatternColumns / 2; ++k) {
        grid.setTextMatrix(0, 2 * k - 1, " " + std::to_string(k) + "I");
        grid.setTextMatrix(0, 2 * k, " " + std::to_string(k) + "F");
        for (int row = 1; row <= kPatternRows; ++row)
            grid.setCellBackColor(row, 2 * k, {form::GridColor::Kind::ThreeDLight, 0});
    }
    grid.setCurrent(kPatternRows, kPatternColumns);
}

void BorrarDatosGrid(form::FrmMain& frm, FlashTable& table) {
    for (int row = 1; row <= kPatternRows; ++row)
        for (int col = 1; col <= kPatternColumns; ++col) {
            frm.MSFlexGridPautas.setTextMatrix(row, col, "");
            frm.MSFlexGridPautas.setCellMark(row, col, {});
            table.pauta(row, col) = kEmptyAngle;
        }
}

void CBorrarTabla_Click(form::FrmMain& frm, FlashTable& table) { BorrarDatosGrid(frm, table); }

void RedibujaGrid(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts) {
    auto& grid = frm.MSFlexGridPautas;
    for (int row = 1; row <= kPatternRows; ++row)
        for (int col = 1; col <= kPatternColumns; ++col) {
            const std::int32_t entry = table.pauta(row, col);
            grid.setTextMatrix(row, col, entry >= 0 && entry <= kLastAngle ? formatAngle(entry) : "");
        }
    // No cell-leave rule here: it is for what the operator types. Applied to
    // a table the unit or a file holds it would empty an angle after a gap
    // (which the marks point out instead) and put a refusal on the status line.
    markGrid(frm, table, texts);
}

void RellenarColores(form::FrmMain& frm, const FlashTable& table, const texts::TextTable& texts) {
    auto& grid = frm.MSFlexGridPautas;
    for (int row = 1; row <= kPatternRows; ++row) {
        frm.LColor(row).setCaption(std::to_string(table.color(row)));
        grid.setCurrent(row, 0);
        grid.setCellBackColor({form::GridColor::Kind::Rgb, table.color(row)});
    }
    markGrid(frm, table, texts);
}

void markGrid(form::FrmMain& frm, const FlashTable& table, const texts::TextTable& texts) {
    // On the heap: clang 14 crashes evaluating a nested array of these as a
    // constant initializer.
    std::vector<CellNotes> notes(static_cast<std::size_t>((kPatternRows + 1) * (kPatternColumns + 1)));
    const auto at = [&notes](int row, int col) -> CellNotes& {
        return notes[static_cast<std::size_t>(row * (kPatternColumns + 1) + col)];
    };
    for (const SectorMark& mark : sectorMarks(table, rowColours(frm, table))) {
        const int first = 2 * mark.sector.pair - 1;
        for (int col : {first, first + 1}) {
            CellNotes& cell = at(mark.sector.row, col);
            if (mark.throughZero) cell.add(texts.CargarTexto(texts::id::kThroughZero), kThroughZeroTint, 2);
            for (const SectorOverlap& overlap : mark.overlaps) {
                std::string arcs;
                for (const Arc& arc : overlap.arcs) arcs += (arcs.empty() ? "" : ", ") + arcText(arc.from, arc.to);
                const Sector& other = overlap.other;
                cell.add(texts::fill(texts.CargarTexto(texts::id::kOverlap),
                                     {std::to_string(other.row), std::to_string(other.pair),
                                      arcText(other.start, other.end), arcs}),
                         kOverlapTint, 3);
            }
        }
    }
    for (auto [row, col] : anglesAfterAGap(table))
        at(row, col).add(texts.CargarTexto(texts::id::kAfterGap), kAfterGapTint, 1);

    auto& grid = frm.MSFlexGridPautas;
    for (int row = 1; row <= kPatternRows; ++row)
        for (int col = 1; col <= kPatternColumns; ++col) {
            CellNotes& cell = at(row, col);
            grid.setCellMark(row, col, {cell.tint, std::move(cell.text)});
        }
}

void MSFlexGridPautas_KeyPress(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts, int key) {
    auto& grid = frm.MSFlexGridPautas;
    const int row = grid.Row();
    const int col = grid.Col();
    if (key == kKeyTab) {
        if (row == 0) return;
        MSFlexGridPautas_LeaveCell(frm, table, texts);
        if (col < kPatternColumns)
            grid.setCurrent(row, col + 1);
        else if (row < kPatternRows)
            grid.setCurrent(row + 1, 1);
        return;
    }
    // The row headers carry the row numbers; after a colour choice the
    // current cell sits on one, and typing must not rewrite it.
    if (row == 0 || col == 0) return;
    std::string text = grid.Text();
    if (key >= '0' && key <= '9') {
        grid.setText(text + static_cast<char>(key));
    } else if (key == kKeyBackspace && !text.empty()) {
        text.pop_back();
        grid.setText(text);
    }
}

void MSFlexGridPautas_LeaveCell(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts) {
    auto& grid = frm.MSFlexGridPautas;
    const int row = grid.Row();
    const int col = grid.Col();
    if (row == 0 || col == 0) return;
    const std::string text = grid.TextMatrix(row, col);
    // A cell whose digits were all deleted is an empty entry: the angle it
    // held must not be sent or saved from behind an empty cell.
    if (text.empty()) {
        table.pauta(row, col) = kEmptyAngle;
    } else {
        const auto value = cellNumber(text);
        const bool angle = value && *value <= kLastAngle;
        // A row fills from the left: an angle counts only beside a filled cell
        // (column 1 stands beside the row header, which is never empty).
        if (angle && !grid.TextMatrix(row, col - 1).empty()) {
            table.pauta(row, col) = *value;
            grid.setTextMatrix(row, col, formatAngle(*value));
        } else {
            // The old entry goes too: what is sent and saved is what the grid shows.
            grid.setTextMatrix(row, col, "");
            table.pauta(row, col) = kEmptyAngle;
            frm.setStatus(texts::fill(texts.CargarTexto(angle ? texts::id::kRefusedGap : texts::id::kRefusedRange),
                                      {text, std::to_string(row), columnCaption(grid, col)}));
        }
    }
    markGrid(frm, table, texts);
}

void LColor_Click(form::FrmMain& frm, FlashTable& table, const texts::TextTable& texts, platform::UserInterface& ui,
                  int index) {
    const std::int32_t chosen = ui.chooseColor(table.color(index));
    auto& grid = frm.MSFlexGridPautas;
    grid.setCurrent(index, 0);
    grid.setCellBackColor({form::GridColor::Kind::Rgb, chosen});
    frm.LColor(index).setCaption(std::to_string(chosen));
    table.color(index) = chosen;
    markGrid(frm, table, texts);
}

}  // namespace zrk::tables
