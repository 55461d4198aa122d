#pragma once

#include <string>

#include "form/controls.h"

namespace zrk::test {

// A control property as text, so that expected states fit in one table:
// "Visible", "Enabled", "Caption", "Text", "ListIndex", "Items" (joined
// with '|'), "Value", "Interval", "Tabs", "SelectedTab", "Panel1".
std::string probe(const app::Control& control, const std::string& property);

}  // namespace zrk::test
