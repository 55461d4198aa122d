#pragma once

#include <string>
#include <vector>

namespace zrk::app {
class FrmMain;
}

namespace zrk::params {

// A control by name, and index for array members (-1 otherwise).
struct ControlRef {
    std::string name;
    int index = -1;
};

// One row of the visibility table: the controls that show when any of the
// listed addresses is in use.
struct VisibilityRow {
    std::vector<int> addresses;
    std::vector<ControlRef> shown;
    std::vector<ControlRef> hidden;  // shown rows that also hide a control
};

// Every row in the order identification applies them, except the tab of
// address 225, which identification handles by itself.
const std::vector<VisibilityRow>& visibilityTable();
// What the normal view always hides (the factory view keeps them).
const std::vector<ControlRef>& normalViewHidden();

// The caption of the label shown with the field row that starts at `row`,
// as the operator reads it; the field's code name when it has none.
std::string fieldCaption(const app::FrmMain& frm, int row);
// The unit label shown right of that field ("Seg.", "Lux", "%"); empty when
// the row has none.
std::string fieldUnit(const app::FrmMain& frm, int row);

// Hides every model-dependent control and lamp, the language list and, outside
// the factory view, the factory fields and the tab at position 5.
void OcultarControles(app::FrmMain& frm, bool factoryView);

}  // namespace zrk::params
