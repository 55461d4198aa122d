#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/controls/control.h"

namespace zrk::form {

// A grid colour: either an RGB value (red in the low byte) or a system colour.
struct GridColor {
    enum class Kind { Default, Rgb, ThreeDLight };
    Kind kind = Kind::Default;
    std::int32_t rgb = 0;
    bool operator==(const GridColor&) const = default;
};

// A note on a grid cell over whatever background it has: a tint (RGB, red in
// the low byte) and a tooltip. Taking it off shows the background again.
struct CellMark {
    std::optional<std::int32_t> tint;
    std::string toolTip;
    bool operator==(const CellMark&) const = default;
};

// The flash-pattern grid: cells with text, background and mark, a current
// cell, fixed first row and column.
class FlexGrid : public Control {
public:
    FlexGrid(std::string name, int index, Control* parent, ChangeHub& hub, int rows, int cols);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    int ColWidth() const { return colWidth_; }  // twips, all columns
    int RowHeight() const { return rowHeight_; }
    void setColWidths(int twips);
    void setRowHeights(int twips);

    const std::string& TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, std::string text);
    GridColor CellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, GridColor color);
    const CellMark& CellMarkOf(int row, int col) const;
    const std::string& CellToolTip(int row, int col) const { return CellMarkOf(row, col).toolTip; }
    void setCellMark(int row, int col, CellMark mark);

    int Row() const { return row_; }
    int Col() const { return col_; }
    // Moves the current cell. Cells the operator leaves raise LeaveCell in the
    // view first; the program moves it without notification, as it may.
    void setCurrent(int row, int col);
    const std::string& Text() const { return TextMatrix(row_, col_); }
    void setText(std::string text) { setTextMatrix(row_, col_, std::move(text)); }
    GridColor CellBackColor() const { return CellBackColor(row_, col_); }
    void setCellBackColor(GridColor color) { setCellBackColor(row_, col_, color); }

    Event<int> KeyPress;
    Event<> LeaveCell;

private:
    std::size_t slot(int row, int col) const;
    int rows_, cols_;
    int colWidth_ = 0, rowHeight_ = 0;
    std::vector<std::string> text_;
    std::vector<GridColor> back_;
    std::vector<CellMark> marks_;
    int row_ = 0, col_ = 0;
};

}  // namespace zrk::form
