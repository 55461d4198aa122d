#include "params/visibility.h"

#include "form/frm_main.h"
#include "params/image_layout.h"

namespace zrk::params {
namespace {

ControlRef L(int index) { return {"Label", index}; }
ControlRef U(int index) { return {"LabelUnidades", index}; }
ControlRef C(const char* name) { return {name, -1}; }

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int a = first; a <= last; ++a) out.push_back(a);
    return out;
}

void setVisible(app::FrmMain& frm, const ControlRef& ref, bool visible) {
    frm.controls().at(ref.name, ref.index).setVisible(visible);
}

}  // namespace

const std::vector<VisibilityRow>& visibilityTable() {
    static const std::vector<VisibilityRow> table = {
        {{0}, {L(2), C("TVelocidadUsuario1"), U(0)}, {}},
        {{3}, {L(26), C("TVelocidadUsuario2"), U(4)}, {}},
        {{6}, {L(29), C("TVelocidadUsuario3"), U(5)}, {}},
        {{9}, {L(32), C("TVelocidadUsuario4"), U(6)}, {}},
        {{12}, {L(28), C("TRelacionReductor")}, {}},
        {{15}, {L(33), C("TPulsosRevolucion")}, {}},
        {{17}, {L(18), C("TLuxON"), U(1)}, {C("TLuxONAD")}},
        {{19}, {L(19), C("TLuxOFF"), U(2)}, {C("TLuxOFFAD")}},
        {{21}, {L(4), C("TTestFotocelula"), U(3)}, {}},
        {{23}, {L(5), C("TLuxLamparaFundida"), U(13)}, {}},
        {{25}, {L(8), C("TRetardoLamparaFundida"), U(14)}, {}},
        {{27}, {L(11), C("ComboTipoCambiador")}, {}},
        {{28}, {L(36), C("TTiempoLampara1"), U(11)}, {}},
        {{30}, {L(31), C("TTiempoLampara2"), U(8)}, {}},
        {{32}, {L(34), C("TTiempoFalloRed"), U(9)}, {}},
        {{34}, {L(35), C("TTiempoRetornoRed"), U(10)}, {}},
        {{36}, {L(30), C("TFotocelulaInterior"), U(7)}, {}},
        {{38}, {L(12), C("ComboTipoLampara1")}, {}},
        {{39}, {L(13), C("ComboTipoLampara2")}, {}},
        {{40}, {L(20), C("ComboLamparaPrincipal")}, {}},
        {{41}, {L(0), C("ComboSensorLuz")}, {}},
        {{42}, {L(6), C("TMaxConsumoLed"), U(15)}, {}},
        {{44}, {L(1), C("TMinConsumoLed"), U(16)}, {}},
        {{46}, {L(27), C("ComboFuncion2Puerto")}, {}},
        {{47}, {L(37), C("TTiempoAceleracion"), U(18)}, {}},
        {{49}, {L(39), C("TPWMLed"), U(20)}, {}},
        {{50}, {L(40), C("ComboTipoMotor")}, {}},
        {{51}, {L(42), C("TMargenErrorMotor2"), U(22)}, {}},
        {{53}, {L(41), C("TVueltasError"), U(21)}, {}},
        {{54}, {C("CheckBalizaEmergencia")}, {}},
        {{55}, {L(46), C("cmbModofuncionamiento")}, {}},
        {{56}, {L(16), L(45), C("txtAtenuacionNocturna")}, {}},
        {{57}, {L(47), C("txtTiempoDe"), L(48)}, {}},
        {{59}, {C("txtDuracionPulsoSincronismo"), C("lblDuracionpulsosincronismo")}, {}},
        {{60}, {C("txtGrupoLeds"), C("lblGrupoLeds")}, {}},
        {{61}, {C("chkEnableDisableFalloRotacion"), L(49)}, {}},
        {{62}, {C("chkHibernacionMotor"), L(50)}, {}},
        {{63}, {C("cmbTipoSensorLampara"), L(51)}, {}},
        {{64}, {C("TAlarmLampara1"), L(52), U(24), C("TAlarmLampara2"), L(53), U(25)}, {}},
        {range(231, 246), {L(3), C("TIdentificacion")}, {}},
        {{247}, {L(22), C("TSemanaFabricacion")}, {}},
        {{248}, {L(21), C("TAnoFabricacion")}, {}},
        {{249, 250}, {L(10), C("TNumeroFabricacion")}, {}},
        {{251}, {L(38), C("TModeloR")}, {}},
        {{252}, {L(15), C("TVersionFirmwareR")}, {}},
        {{253}, {L(14), C("THardwareR")}, {}},
        {{254, 255}, {L(43), C("TNumeroID")}, {}},
    };
    return table;
}

const std::vector<ControlRef>& normalViewHidden() {
    static const std::vector<ControlRef> hidden = {
        L(10),         C("TNumeroFabricacion"), L(21), C("TAnoFabricacion"),   L(22), C("TSemanaFabricacion"),
        L(11),         C("ComboTipoCambiador"), L(28), C("TRelacionReductor"), L(33), C("TPulsosRevolucion"),
        C("TLuxONAD"), C("TLuxOFFAD"),
    };
    return hidden;
}

void OcultarControles(app::FrmMain& frm, bool factoryView) {
    for (std::size_t row = 3; row < frm.lampRows().size(); ++row) {
        const auto& lamp = frm.lampRows()[row];
        lamp.lit->setVisible(false);
        lamp.unlit->setVisible(false);
        lamp.unknown->setVisible(false);
        lamp.caption->setVisible(false);
    }
    frm.ComboIdioma.setVisible(false);
    frm.Label(24).setVisible(false);
    if (!factoryView) {
        for (const auto& ref : normalViewHidden()) setVisible(frm, ref, false);
        if (frm.TabStrip1.count() >= 5) frm.TabStrip1.remove(5);
    }
    for (const auto& row : visibilityTable())
        for (const auto& ref : row.shown) setVisible(frm, ref, false);
    frm.TLuxONAD.setVisible(false);
    frm.TLuxOFFAD.setVisible(false);
}

std::string fieldCaption(const app::FrmMain& frm, int row) {
    const std::string field = fieldAt(row);
    std::string caption = frm.captionOf(frm.controls().at(field));
    // Captions end in a colon or blanks on some pages.
    while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) caption.pop_back();
    while (!caption.empty() && caption.front() == ' ') caption.erase(caption.begin());
    return caption.empty() ? field : caption;
}

std::string fieldUnit(const app::FrmMain& frm, int row) {
    const auto captionOf = [&frm](const ControlRef& ref) {
        std::string unit = dynamic_cast<const app::CaptionedControl&>(frm.controls().at(ref.name, ref.index)).Caption();
        while (!unit.empty() && unit.back() == ' ') unit.pop_back();
        while (!unit.empty() && unit.front() == ' ') unit.erase(unit.begin());
        return unit;
    };
    // Two rows carry their unit in a plain label.
    if (row == 56) return captionOf(L(45));
    if (row == 57) return captionOf(L(48));
    const std::string field = fieldAt(row);
    for (const auto& entry : visibilityTable()) {
        bool afterField = false;
        for (const auto& ref : entry.shown) {
            if (ref.name == field) {
                afterField = true;
            } else if (afterField && ref.name == "LabelUnidades") {
                return captionOf(ref);
            } else if (afterField && ref.name != "Label") {
                return {};  // the next field of the same row
            }
        }
        if (afterField) return {};
    }
    return {};
}

}  // namespace zrk::params
