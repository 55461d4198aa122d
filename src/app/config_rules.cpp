#include "app/config_rules.h"

#include "app/frm_main.h"
#include "texts/texts.h"

namespace zrk::app {

void wireConfigurationRules(FrmMain& frm, const texts::TextTable& texts) {
    auto changerChanged = [&frm, &texts] { frm.setStatus(texts.CargarTexto(2002)); };
    frm.ComboTipoCambiador.Click = changerChanged;
    frm.ComboTipoCambiador.Change = changerChanged;

    auto modeChanged = [&frm] { frm.txtAtenuacionNocturna.setEnabled(frm.cmbModofuncionamiento.ListIndex() == 1); };
    auto& mode = frm.cmbModofuncionamiento;
    mode.Click = modeChanged;
    mode.Change = modeChanged;
    mode.LostFocus = modeChanged;
    mode.Scroll = modeChanged;
    mode.Validate = modeChanged;
}

}  // namespace zrk::app
