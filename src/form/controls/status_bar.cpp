#include "form/controls/status_bar.h"

#include <cstddef>
#include <utility>

namespace zrk::form {

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

}  // namespace zrk::form
