#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace zrk::form {

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

}  // namespace zrk::form
