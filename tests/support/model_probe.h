#pragma once

#include <map>
#include <string>

#include "app/program.h"
#include "form/controls.h"

namespace zrk::test {

// A control property as text, so that expected states fit in one table:
// "Visible", "Enabled", "Caption", "Text", "ListIndex", "Items" (joined
// with '|'), "Value", "Interval", "Tabs", "SelectedTab", "Panel1".
std::string probe(const form::Control& control, const std::string& property);

// Every visibility, text, selection, check state, caption and tab list of
// the form, the flash table and the grid: what "nothing changed" compares.
std::map<std::string, std::string> snapshot(const app::Program& program);

}  // namespace zrk::test
