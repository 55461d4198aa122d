#include "form/controls/flex_grid.h"

#include <cstddef>
#include <utility>

namespace zrk::form {

FlexGrid::FlexGrid(std::string name, int index, Control* parent, ChangeHub& hub, int rows, int cols)
    : Control(Kind::Grid, std::move(name), index, parent, hub),
      rows_(rows),
      cols_(cols),
      text_(static_cast<std::size_t>(rows * cols)),
      back_(static_cast<std::size_t>(rows * cols)),
      marks_(static_cast<std::size_t>(rows * cols)) {}

std::size_t FlexGrid::slot(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        throw ControlError("Invalid cell (" + std::to_string(row) + ", " + std::to_string(col) + ") of " + key());
    return static_cast<std::size_t>(row * cols_ + col);
}

void FlexGrid::setColWidths(int twips) {
    colWidth_ = twips;
    changed(Prop::Cells);
}

void FlexGrid::setRowHeights(int twips) {
    rowHeight_ = twips;
    changed(Prop::Cells);
}

const std::string& FlexGrid::TextMatrix(int row, int col) const { return text_[slot(row, col)]; }

void FlexGrid::setTextMatrix(int row, int col, std::string text) {
    auto& cell = text_[slot(row, col)];
    if (cell == text) return;
    cell = std::move(text);
    changed(Prop::Cells);
}

GridColor FlexGrid::CellBackColor(int row, int col) const { return back_[slot(row, col)]; }

void FlexGrid::setCellBackColor(int row, int col, GridColor color) {
    back_[slot(row, col)] = color;
    changed(Prop::Cells);
}

const CellMark& FlexGrid::CellMarkOf(int row, int col) const { return marks_[slot(row, col)]; }

void FlexGrid::setCellMark(int row, int col, CellMark mark) {
    auto& cell = marks_[slot(row, col)];
    // The marks are set again after every edit; most of them stay as they were.
    if (cell == mark) return;
    cell = std::move(mark);
    changed(Prop::Cells);
}

void FlexGrid::setCurrent(int row, int col) {
    slot(row, col);
    row_ = row;
    col_ = col;
    changed(Prop::CurrentCell);
}

}  // namespace zrk::form
