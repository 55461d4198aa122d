#include "form/controls.h"

namespace zrk::app {

int ChangeHub::subscribe(ChangeListener listener) {
    listeners_.emplace(next_, std::move(listener));
    return next_++;
}

void ChangeHub::unsubscribe(int token) { listeners_.erase(token); }

void ChangeHub::notify(Control& control, Prop prop) {
    // A listener may unsubscribe (a view closing) while it is being told.
    const auto listeners = listeners_;
    for (const auto& [token, listener] : listeners)
        if (listeners_.count(token)) listener(control, prop);
}

Control::Control(Kind kind, std::string name, int index, Control* parent, ChangeHub& hub)
    : kind_(kind), name_(std::move(name)), index_(index), parent_(parent), hub_(hub) {}

std::string Control::key() const { return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")"; }

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed(Prop::Visible);
}

void Control::setMarked(bool marked, std::string note) {
    if (!marked) note.clear();
    if (marked_ == marked && markNote_ == note) return;
    marked_ = marked;
    markNote_ = std::move(note);
    changed(Prop::Marked);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed(Prop::Enabled);
}

bool Control::isShown() const {
    for (const Control* c = this; c != nullptr; c = c->parent())
        if (!c->Visible()) return false;
    return true;
}

void CaptionedControl::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed(Prop::Caption);
}

void LabelControl::setForeColor(Rgb color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    changed(Prop::ForeColor);
}

void TextBox::setText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed(Prop::Text);
    Change();
}

void CheckBox::setValue(int value) {
    if (value < 0 || value > 2)
        throw ControlError("Invalid value " + std::to_string(value) + " for check box " + key() +
                           " (0 clear, 1 set, 2 greyed)");
    if (value_ == value) return;
    value_ = value;
    changed(Prop::Value);
}

void ComboBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    changed(Prop::Items);
}

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
    changed(Prop::Items);
    changed(Prop::ListIndex);
    changed(Prop::Text);
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount())
        throw ControlError("Invalid list index " + std::to_string(index) + " for " + key() + " (it has " +
                           std::to_string(ListCount()) + " items)");
    listIndex_ = index;
    text_ = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
    changed(Prop::ListIndex);
    changed(Prop::Text);
    Click();
}

void ComboBox::typeText(std::string text) {
    text_ = std::move(text);
    listIndex_ = -1;
    for (int i = 0; i < ListCount(); ++i)
        if (items_[static_cast<std::size_t>(i)] == text_) listIndex_ = i;
    changed(Prop::ListIndex);
    changed(Prop::Text);
    Change();
}

void TimerControl::setInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535)
        throw ControlError("Invalid interval " + std::to_string(milliseconds) + " ms for timer " + key() +
                           " (0 to 65535)");
    if (interval_ == milliseconds) return;
    interval_ = milliseconds;
    changed(Prop::Interval);
}

void TabStrip::checkPosition(int position, int last) const {
    if (position < 1 || position > last)
        throw ControlError("Invalid tab position " + std::to_string(position) + " for " + key());
}

const std::string& TabStrip::caption(int position) const {
    checkPosition(position, count());
    return captions_[static_cast<std::size_t>(position - 1)];
}

void TabStrip::setCaption(int position, std::string caption) {
    checkPosition(position, count());
    captions_[static_cast<std::size_t>(position - 1)] = std::move(caption);
    changed(Prop::Tabs);
}

void TabStrip::add(int position, std::string caption) {
    checkPosition(position, count() + 1);
    captions_.insert(captions_.begin() + (position - 1), std::move(caption));
    if (selected_ == 0)
        selected_ = 1;
    else if (selected_ >= position)
        ++selected_;  // the selected tab keeps its selection
    changed(Prop::Tabs);
    changed(Prop::SelectedTab);
}

void TabStrip::remove(int position) {
    checkPosition(position, count());
    captions_.erase(captions_.begin() + (position - 1));
    if (selected_ > position || selected_ > count())
        --selected_;
    else if (selected_ == position && count() == 0)
        selected_ = 0;
    changed(Prop::Tabs);
    changed(Prop::SelectedTab);
}

void TabStrip::select(int position) {
    checkPosition(position, count());
    selected_ = position;
    changed(Prop::SelectedTab);
    Click();
}

StatusBar::StatusBar(std::string name, int index, Control* parent, ChangeHub& hub)
    : Control(Kind::StatusBar, std::move(name), index, parent, hub),
      panels_{{PanelStyle::Text, {}}, {PanelStyle::Date, {}}, {PanelStyle::Time, {}}, {PanelStyle::Changes, {}}} {}

StatusBar::Panel& StatusBar::at(int panel) {
    if (panel < 1 || panel > count()) throw ControlError("Invalid panel " + std::to_string(panel) + " of " + key());
    return panels_[static_cast<std::size_t>(panel - 1)];
}

const StatusBar::Panel& StatusBar::at(int panel) const { return const_cast<StatusBar*>(this)->at(panel); }

StatusBar::PanelStyle StatusBar::style(int panel) const { return at(panel).style; }
const std::string& StatusBar::text(int panel) const { return at(panel).text; }

void StatusBar::setText(int panel, std::string text) {
    at(panel).text = std::move(text);
    changed(Prop::Panels);
}

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

void FormControl::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Prop::Geometry);
}

void FormControl::setMinimised(bool minimised) {
    if (minimised_ == minimised) return;
    minimised_ = minimised;
    changed(Prop::WindowState);
}

}  // namespace zrk::app
