#pragma once

namespace zrk::texts {
class TextTable;
}

namespace zrk::app {
class FrmMain;

// The changer type reports a pending change; the operating mode enables the
// night attenuation field exactly in mode 1.
void wireConfigurationRules(FrmMain& frm, const texts::TextTable& texts);

}  // namespace zrk::app
