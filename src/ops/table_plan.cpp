#include "ops/table_plan.h"

#include <string_view>

#include "texts/text_ids.h"

namespace zrk::ops {
namespace {

std::string text(const texts::TextTable& texts, int id, std::initializer_list<std::string_view> args) {
    return texts::fill(texts.CargarTexto(id), args);
}

constexpr std::int32_t kMaxColour = 0xFFFFFF;  // only 24 bits of a colour travel
constexpr std::int32_t kMaxEntry = 0xFFFF;     // and 16 of an entry

std::string entryText(std::int32_t entry) {
    if (entry == tables::kEmptyAngle) return "---";
    return entry >= 0 && entry <= tables::kLastAngle ? tables::formatAngle(entry) : std::to_string(entry);
}

}  // namespace

std::string tableRefusal(const texts::TextTable& texts, const tables::FlashTable& table) {
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        const std::int32_t colour = table.color(row);
        if (colour < 0 || colour > kMaxColour)
            return text(texts, texts::id::kColourCannotBeSent, {std::to_string(row), std::to_string(colour)});
        for (int col = 1; col <= tables::kPatternColumns; ++col) {
            const std::int32_t entry = table.pauta(row, col);
            if (entry < 0 || entry > kMaxEntry)
                return text(texts, texts::id::kEntryCannotBeSent,
                            {std::to_string(row), std::to_string(col), std::to_string(entry)});
        }
    }
    return {};
}

std::vector<CellWrite> TablePlan::cells() const {
    std::vector<CellWrite> all;
    for (const RowChange& row : rows) all.insert(all.end(), row.cells.begin(), row.cells.end());
    return all;
}

TablePlan planTableWrite(const texts::TextTable& texts, const tables::UnitTable& unit,
                         const tables::FlashTable& after) {
    TablePlan plan{unit, after, {}, tableRefusal(texts, after)};
    if (!plan.refusal.empty()) return plan;
    for (int n = 1; n <= kSegmentTables; ++n) {
        SegmentBlock was{}, will{};
        encodeSegmentTable(unit.table, n, was);
        encodeSegmentTable(after, n, will);
        for (std::size_t h = 0; h < kHalfStarts.size(); ++h) {
            const int row = 2 * n - 1 + static_cast<int>(h);
            RowChange change{row, unit.table.color(row), after.color(row), {}, {}};
            for (int offset = kHalfStarts[h]; offset < kHalfStarts[h] + kHalfLength; ++offset) {
                const auto at = static_cast<std::size_t>(offset);
                if (was[at] == will[at]) continue;
                change.cells.push_back({{n, kHalfStarts[h], offset}, static_cast<std::uint8_t>(will[at])});
                change.before.push_back(static_cast<std::uint8_t>(was[at]));
            }
            if (!change.cells.empty()) plan.rows.push_back(std::move(change));
        }
    }
    return plan;
}

std::string shownTable(const texts::TextTable& texts, const tables::FlashTable& grid,
                       const std::vector<std::string>& labelCaptions, tables::FlashTable& out) {
    out = grid;
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        const std::string& caption = labelCaptions.at(static_cast<std::size_t>(row - 1));
        try {
            out.color(row) = tables::captionColour(caption);
        } catch (const std::exception&) {
            return text(texts, texts::id::kColourCannotBeSent, {std::to_string(row), caption});
        }
    }
    return {};
}

std::string pairText(const tables::FlashTable& table, int row, int pair) {
    return entryText(table.pauta(row, 2 * pair - 1)) + " - " + entryText(table.pauta(row, 2 * pair));
}

std::vector<std::string> rowChangeLines(const texts::TextTable& texts, const TablePlan& plan, const RowChange& row) {
    std::vector<std::string> lines;
    const std::string r = std::to_string(row.row);
    if (row.colourBefore != row.colourAfter)
        lines.push_back(text(texts, texts::id::kRowColourChange,
                             {r, std::to_string(row.colourBefore), std::to_string(row.colourAfter)}));
    for (int pair = 1; pair <= tables::kPatternColumns / 2; ++pair) {
        const std::string before = pairText(plan.unit.table, row.row, pair);
        const std::string after = pairText(plan.after, row.row, pair);
        if (before != after)
            lines.push_back(text(texts, texts::id::kRowPairChange, {r, std::to_string(pair), before, after}));
    }
    return lines;
}

std::string rowRecordText(const tables::FlashTable& table, int row) {
    std::string pairs;
    for (int pair = 1; pair <= tables::kPatternColumns / 2; ++pair) {
        if (table.pauta(row, 2 * pair - 1) == tables::kEmptyAngle && table.pauta(row, 2 * pair) == tables::kEmptyAngle)
            continue;
        pairs += (pairs.empty() ? "" : ", ") + pairText(table, row, pair);
    }
    return std::to_string(table.color(row)) + "; " + pairs;
}

std::string rowField(int row) { return "TablaPautas(" + std::to_string(row) + ")"; }

int rowOfField(const std::string& field) {
    for (int row = 1; row <= tables::kPatternRows; ++row)
        if (field == rowField(row)) return row;
    return 0;
}

}  // namespace zrk::ops
