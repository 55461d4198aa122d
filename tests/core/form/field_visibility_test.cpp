// Identification shows each field by the cells its row in the field table
// names: its first cell, any of its cells, another field's cell, or none (its
// page's tab decides), less the rows only the factory view shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ops/parameter_memory.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

const std::string kFactoryIni = "1\r\n0\r\n0\r\n\"1\"\r\n853\r\n";

// "Label(2)" or "TNumeroID".
form::Control& control(form::FrmMain& frm, const std::string& key) {
    const auto open = key.find('(');
    if (open == std::string::npos) return frm.controls().at(key);
    return frm.controls().at(key.substr(0, open), std::stoi(key.substr(open + 1)));
}

TEST(FieldVisibility, IdentificationShowsEachFieldByTheCellsItsRowNames) {
    struct Case {
        const char* what;
        std::vector<int> inUse;
        bool factoryView;
        std::vector<std::string> shown;
        std::vector<std::string> hidden;
    };
    const Case cases[] = {
        {"the first cell shows caption, field and unit",
         {0},
         false,
         {"Label(2)", "TVelocidadUsuario1", "LabelUnidades(0)"},
         {"TVelocidadUsuario2"}},
        {"the other cells of a speed show nothing",
         {1, 2},
         true,
         {},
         {"Label(2)", "TVelocidadUsuario1", "LabelUnidades(0)"}},
        {"the first alarm's cell shows both alarms",
         {64},
         false,
         {"TAlarmLampara1", "LabelUnidades(24)", "Label(53)", "TAlarmLampara2", "LabelUnidades(25)"},
         {}},
        {"the second alarm's own cells show neither",
         {66, 67},
         false,
         {},
         {"TAlarmLampara1", "Label(53)", "TAlarmLampara2"}},
        {"any cell of the manufacturer number, in the factory view",
         {250},
         true,
         {"Label(10)", "TNumeroFabricacion"},
         {}},
        {"the normal view hides the factory rows",
         {12, 15, 27, 247, 248, 249},
         false,
         {},
         {"Label(28)", "TRelacionReductor", "TPulsosRevolucion", "Label(11)", "ComboTipoCambiador",
          "TSemanaFabricacion", "TAnoFabricacion", "Label(10)", "TNumeroFabricacion"}},
        {"any cell of the identifier number", {255}, false, {"Label(43)", "TNumeroID"}, {}},
        {"failed turns bring the live speed's unit label",
         {53},
         false,
         {"Label(41)", "TVueltasError", "LabelUnidades(21)"},
         {}},
        {"a light level never shows its sensor reading",
         {17, 19},
         true,
         {"Label(18)", "TLuxON", "LabelUnidades(1)", "TLuxOFF"},
         {"TLuxONAD", "TLuxOFFAD"}},
        {"the flash-pattern page's fields are left to the page",
         {},
         false,
         {"Label(25)", "TGradosOffset", "TLuminosidadLeds", "LabelUnidades(19)", "TDientesDisco"},
         {"TVelocidadUsuario1", "TIdentificacion"}},
    };
    UnitRig normal, factory("led-lantern", {}, kFactoryIni);
    for (const Case& c : cases) {
        UnitRig& rig = c.factoryView ? factory : normal;
        for (int a = 0; a < 256; ++a) rig.device().setInUse(a, false);
        for (int a : c.inUse) rig.device().setInUse(a, true);
        ASSERT_EQ(ops::IdentificarZRK(rig.program().state), ops::End::Done) << c.what;
        for (const auto& key : c.shown) EXPECT_TRUE(control(rig.frm(), key).Visible()) << c.what << ": " << key;
        for (const auto& key : c.hidden) EXPECT_FALSE(control(rig.frm(), key).Visible()) << c.what << ": " << key;
    }
}

}  // namespace
}  // namespace zrk::test
