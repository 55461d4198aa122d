#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "form/controls.h"

class QObject;
class QWidget;

namespace zrk::gui {

// What a binder needs from the window it binds controls into.
class BinderHost {
public:
    // The window itself: the form's widget, and the receiver of every
    // connection a binder makes, so none outlives the window.
    virtual QWidget* formWidget() = 0;
    virtual QWidget* statusBarWidget() = 0;
    virtual int px(int twips) const = 0;
    // Runs operator input through the model; ignored while the model is
    // being mirrored onto the widgets.
    virtual void operatorInput(const std::function<void()>& action) = 0;
    // The window and its status bar panels stay the window's own.
    virtual void applyForm(form::Prop prop) = 0;
    virtual void syncPanels() = 0;
    // The tooltip of a list's item; none for a list whose items have none.
    virtual std::optional<QString> itemToolTip(const form::ComboBox& list, int index) const = 0;

protected:
    ~BinderHost() = default;
};

// Mirrors one kind of control onto Qt: creates what shows it, connects the
// operator's input back to the model and applies the model's changes. A new
// kind of control needs a binder of its own, and nothing else in the window.
class ControlBinder {
public:
    virtual ~ControlBinder() = default;
    // What shows the control, owned by `owner` or the window: a widget, a
    // timer for a timer control; nullptr for nothing.
    virtual QObject* create(form::Control& control, QWidget* owner, BinderHost& host) const = 0;
    virtual void connect(form::Control& control, QObject* shown, BinderHost& host) const = 0;
    virtual void apply(form::Control& control, QObject* shown, form::Prop prop, BinderHost& host) const = 0;
};

const ControlBinder& binderFor(form::Kind kind);

}  // namespace zrk::gui
