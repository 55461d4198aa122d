// What the changer type, the motor type and the operating mode do to the
// window when their selection changes.
#include <gtest/gtest.h>

#include <map>

#include "started_program.h"

namespace zrk::test {
namespace {

// Every notification raised while `action` runs, as "key.prop".
template <typename Action>
std::vector<std::string> changesDuring(form::FrmMain& frm, Action action) {
    std::vector<std::string> changes;
    const int token = frm.controls().hub().subscribe([&](form::Control& c, form::Prop prop) {
        changes.push_back(c.key() + "." + std::to_string(static_cast<int>(prop)));
    });
    action();
    frm.controls().hub().unsubscribe(token);
    return changes;
}

std::string key(const form::Control& c, form::Prop prop) {
    return c.key() + "." + std::to_string(static_cast<int>(prop));
}

TEST(ConfigurationRules, OperatingModeEnablesNightAttenuationExactlyInModeOne) {
    using Raise = void (*)(form::ComboBox&);
    const std::pair<const char*, Raise> notifications[] = {
        {"Click", [](form::ComboBox& c) { c.Click(); }},         {"Change", [](form::ComboBox& c) { c.Change(); }},
        {"LostFocus", [](form::ComboBox& c) { c.LostFocus(); }}, {"Scroll", [](form::ComboBox& c) { c.Scroll(); }},
        {"Validate", [](form::ComboBox& c) { c.Validate(); }},
    };
    for (const auto& [name, raise] : notifications) {
        for (int mode : {1, 0, -1}) {
            StartedProgram started;
            auto& frm = started.frm();
            frm.txtAtenuacionNocturna.setText("35");
            frm.cmbModofuncionamiento.setListIndex(mode);
            // The field in the wrong state, so that only the notification under test can set it right.
            frm.txtAtenuacionNocturna.setEnabled(mode != 1);
            raise(frm.cmbModofuncionamiento);
            EXPECT_EQ(frm.txtAtenuacionNocturna.Enabled(), mode == 1) << name << " in mode " << mode;
            EXPECT_EQ(frm.txtAtenuacionNocturna.Text(), "35") << name << ": the text stays";
        }
    }
}

TEST(ConfigurationRules, SelectingAModeRaisesTheRule) {
    StartedProgram started;
    auto& frm = started.frm();
    EXPECT_FALSE(frm.txtAtenuacionNocturna.Enabled()) << "mode 0 after start-up";
    frm.cmbModofuncionamiento.setListIndex(1);  // "24 hours ON"
    EXPECT_TRUE(frm.txtAtenuacionNocturna.Enabled());
    frm.cmbModofuncionamiento.setListIndex(0);  // "Night ON"
    EXPECT_FALSE(frm.txtAtenuacionNocturna.Enabled());
}

TEST(ConfigurationRules, ChangerTypeReportsPendingChangeAndTouchesNothingElse) {
    struct Case {
        const char* userLanguage;
        const char* text;
    };
    const Case languages[] = {{"en-US", "Changes pending record"},
                              {"es-ES", "Cambios pendientes de grabar"},
                              {"fr-FR", "Modifications à enregistrer"}};
    for (const Case& language : languages) {
        FakeMachine machine;
        machine.platform.userLanguage = language.userLanguage;
        app::Program program(machine.platform);
        program.state.emptyLoop = [&machine](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        ASSERT_EQ(program.Main(), 0);
        auto& frm = program.state.frm;
        auto& changer = frm.ComboTipoCambiador;
        const std::function<void()> edits[] = {[&] { changer.setListIndex(3); }, [&] { changer.typeText("TKR42"); },
                                               [&] { changer.typeText("something else"); }};
        for (const auto& edit : edits) {
            frm.setStatus("before");
            const auto changes = changesDuring(frm, edit);
            EXPECT_EQ(frm.sbStatusBar.text(1), language.text) << language.userLanguage;
            for (const auto& change : changes)
                EXPECT_TRUE(change.rfind("ComboTipoCambiador.", 0) == 0 ||
                            change == key(frm.sbStatusBar, form::Prop::Panels))
                    << change;
        }
    }
}

TEST(ConfigurationRules, MotorTypeChangesNothing) {
    StartedProgram started;
    auto& frm = started.frm();
    for (int motor : {1, 2, 3, 0}) {
        const auto changes = changesDuring(frm, [&] { frm.ComboTipoMotor.setListIndex(motor); });
        for (const auto& change : changes) EXPECT_EQ(change.rfind("ComboTipoMotor.", 0), 0u) << change;
    }
    const auto changes = changesDuring(frm, [&] { frm.ComboTipoMotor.typeText("Flashing"); });
    for (const auto& change : changes) EXPECT_EQ(change.rfind("ComboTipoMotor.", 0), 0u) << change;
}

}  // namespace
}  // namespace zrk::test
