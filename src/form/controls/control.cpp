#include "form/controls/control.h"

#include <utility>

namespace zrk::form {

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

}  // namespace zrk::form
