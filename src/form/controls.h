#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zrk::app {

// A control refused a value (a list index past its items, a check state
// other than 0 or 1). Carries a message naming the control and the value.
class ControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Kind {
    Form,
    TextBox,
    Label,
    Button,
    CheckBox,
    ComboBox,
    Frame,
    Picture,
    Timer,
    TabStrip,
    StatusBar,
    Grid,
    Shape
};

// What changed on a control, so that a view repaints only that.
enum class Prop {
    Visible,
    Geometry,
    WindowState,
    Enabled,
    Caption,
    ForeColor,
    Text,
    Items,
    ListIndex,
    Value,
    Interval,
    Tabs,
    SelectedTab,
    Panels,
    Cells,
    CurrentCell,
    Marked
};

class Control;
using ChangeListener = std::function<void(Control&, Prop)>;

// Fans change notifications out to whoever watches the model (the Qt view,
// tests). Shared by every control of one window.
class ChangeHub {
public:
    int subscribe(ChangeListener listener);
    void unsubscribe(int token);
    void notify(Control& control, Prop prop);

private:
    std::map<int, ChangeListener> listeners_;
    int next_ = 1;
};

// A notification with at most one handler, raised by the operator or the
// program alike.
template <typename... Args>
class Event {
public:
    Event& operator=(std::function<void(Args...)> handler) {
        handler_ = std::move(handler);
        return *this;
    }
    void operator()(Args... args) const {
        if (handler_) handler_(args...);
    }

private:
    std::function<void(Args...)> handler_;
};

class Control {
public:
    Control(Kind kind, std::string name, int index, Control* parent, ChangeHub& hub);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }  // -1 outside a control array
    std::string key() const;              // "Label(3)" or "TLuxON"
    Control* parent() const { return parent_; }

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Visible and inside frames that are all visible: what the operator sees.
    bool isShown() const;

    // A field that shows another value than the unit's, and what the unit
    // has ("Unit: 80"), for the view to tint it and show it as a tooltip.
    bool Marked() const { return marked_; }
    const std::string& markNote() const { return markNote_; }
    void setMarked(bool marked, std::string note = {});

protected:
    void changed(Prop prop) { hub_.notify(*this, prop); }

private:
    Kind kind_;
    std::string name_;
    int index_;
    Control* parent_;
    ChangeHub& hub_;
    bool visible_ = true;
    bool enabled_ = true;
    bool marked_ = false;
    std::string markNote_;
};

// A colour, each part 0 to 255.
struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Controls whose caption is a plain string.
class CaptionedControl : public Control {
public:
    using Control::Control;
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

class TextBox : public Control {
public:
    TextBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::TextBox, std::move(name), index, parent, hub) {}
    const std::string& Text() const { return text_; }
    // Raises Change when the text differs, as the operator's typing does.
    void setText(std::string text);

    bool locked = false;     // display only: shown, not editable
    bool multiLine = false;  // the large free-text field
    Event<> Change;

private:
    std::string text_;
};

class LabelControl : public CaptionedControl {
public:
    LabelControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Label, std::move(name), index, parent, hub) {}
    bool bordered = false;
    // The text colour; none until set, which leaves the system's own.
    const std::optional<Rgb>& ForeColor() const { return foreColor_; }
    void setForeColor(Rgb color);
    Event<> Click;

private:
    std::optional<Rgb> foreColor_;
};

class CommandButton : public CaptionedControl {
public:
    CommandButton(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Button, std::move(name), index, parent, hub) {}
    Event<> Click;
};

class CheckBox : public CaptionedControl {
public:
    CheckBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::CheckBox, std::move(name), index, parent, hub) {}
    int Value() const { return value_; }
    // 0 clear, 1 set, 2 greyed; other values are refused.
    void setValue(int value);

private:
    int value_ = 0;
};

class ComboBox : public Control {
public:
    ComboBox(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::ComboBox, std::move(name), index, parent, hub) {}

    const std::vector<std::string>& items() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    void AddItem(std::string item);
    void Clear();

    int ListIndex() const { return listIndex_; }
    // Selects an item (-1 for none) and raises Click, whether the program or
    // the operator selects. An index outside the items is refused.
    void setListIndex(int index);
    // The text part: the selected item, or what the operator typed.
    const std::string& Text() const { return text_; }
    // The operator types into the text part: the selection follows the text
    // (an item with exactly that text, else none) and Change is raised.
    void typeText(std::string text);

    bool editable = true;  // the text part can be typed into
    Event<> Click;
    Event<> Change;
    Event<int> KeyPress;  // keys the text part does not take itself: 13 for Enter
    Event<> LostFocus;
    Event<> Scroll;
    Event<> Validate;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

class FrameControl : public CaptionedControl {
public:
    FrameControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Frame, std::move(name), index, parent, hub) {}
};

// A fixed picture: a round lamp of one colour, the logo or the start picture.
class PictureBox : public Control {
public:
    enum class Image { Lamp, Logo, StartPicture };
    PictureBox(std::string name, int index, Control* parent, ChangeHub& hub, Image image, Rgb color = {})
        : Control(Kind::Picture, std::move(name), index, parent, hub), image(image), color(color) {}
    const Image image;
    const Rgb color;
};

class TimerControl : public Control {
public:
    TimerControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::Timer, std::move(name), index, parent, hub) {}
    int Interval() const { return interval_; }
    void setInterval(int milliseconds);
    // A timer runs while Enabled and its interval is above 0.
    bool running() const { return Enabled() && interval_ > 0; }
    Event<> Timer;

private:
    int interval_ = 0;
};

class TabStrip : public Control {
public:
    TabStrip(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::TabStrip, std::move(name), index, parent, hub) {}

    int count() const { return static_cast<int>(captions_.size()); }
    const std::vector<std::string>& captions() const { return captions_; }
    const std::string& caption(int position) const;  // 1-based
    void setCaption(int position, std::string caption);
    void add(int position, std::string caption);  // inserts before `position`; count()+1 appends
    void remove(int position);

    int selected() const { return selected_; }  // 1-based; 0 when there is no tab
    // The operator picks a tab: selects it and raises Click.
    void select(int position);

    Event<> Click;

private:
    void checkPosition(int position, int last) const;
    std::vector<std::string> captions_;
    int selected_ = 0;
};

class StatusBar : public Control {
public:
    // Changes: a short text of its own beside the date ("3 changes").
    enum class PanelStyle { Text, Date, Time, Changes };
    StatusBar(std::string name, int index, Control* parent, ChangeHub& hub);

    int count() const { return static_cast<int>(panels_.size()); }
    PanelStyle style(int panel) const;  // 1-based
    const std::string& text(int panel) const;
    void setText(int panel, std::string text);

private:
    struct Panel {
        PanelStyle style;
        std::string text;
    };
    Panel& at(int panel);
    const Panel& at(int panel) const;
    std::vector<Panel> panels_;
};

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

// A window: caption, place and size in twips, minimised or not.
class FormControl : public CaptionedControl {
public:
    FormControl(std::string name, int index, Control* parent, ChangeHub& hub)
        : CaptionedControl(Kind::Form, std::move(name), index, parent, hub) {}
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);
    bool minimised() const { return minimised_; }
    void setMinimised(bool minimised);

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool minimised_ = false;
};

class ShapeControl : public Control {
public:
    ShapeControl(std::string name, int index, Control* parent, ChangeHub& hub, int widthTwips)
        : Control(Kind::Shape, std::move(name), index, parent, hub), widthTwips(widthTwips) {}
    const int widthTwips;
};

}  // namespace zrk::app
