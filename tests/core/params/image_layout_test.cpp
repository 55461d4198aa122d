// Encoding the form into a parameter image and decoding it back.
#include "params/image_layout.h"

#include <gtest/gtest.h>

#include "params/numbers.h"
#include "started_program.h"

namespace zrk::test {
namespace {

using params::ParameterImage;

struct Form {
    explicit Form(platform::NumberFormat numbers = {".", ","})
        : context{started.frm(), started.program->state.lux, numbers} {}
    StartedProgram started;
    params::CodecContext context;
    form::FrmMain& frm() { return started.frm(); }
    ParameterImage encode() { return params::encodeImage(context); }
    void decode(const ParameterImage& image) {
        for (int a : params::readDecodeOrder()) params::decodeRow(a, image, context);
    }
    // Every field filled with a valid value, so that a whole image encodes.
    void fillValid() {
        for (auto* t : {&frm().TVelocidadUsuario1, &frm().TVelocidadUsuario2, &frm().TVelocidadUsuario3,
                        &frm().TVelocidadUsuario4, &frm().TRelacionReductor, &frm().TLuxON, &frm().TLuxOFF,
                        &frm().TTestFotocelula, &frm().TLuxLamparaFundida, &frm().TRetardoLamparaFundida,
                        &frm().TMaxConsumoLed, &frm().TMinConsumoLed, &frm().TPWMLed, &frm().TVueltasError,
                        &frm().TAlarmLampara1, &frm().TAlarmLampara2})
            t->setText("1");
    }
};

TEST(ImageLayout, AllZerosDecodeToZeroValues) {
    Form f;
    f.frm().TIdentificacion.setText("old");
    f.frm().chkHibernacionMotor.setValue(1);
    f.decode(ParameterImage{});
    EXPECT_EQ(f.frm().TVelocidadUsuario1.Text(), "0.0000");
    EXPECT_EQ(f.frm().TRelacionReductor.Text(), "0.00");
    EXPECT_EQ(f.frm().TMaxConsumoLed.Text(), "0.00");
    EXPECT_EQ(f.frm().TTiempoLampara1.Text(), "0.0");
    EXPECT_EQ(f.frm().TLuxON.Text(), "0");
    EXPECT_EQ(f.frm().TLuxONAD.Text(), "0");
    EXPECT_EQ(f.frm().ComboTipoMotor.ListIndex(), 0);
    EXPECT_EQ(f.frm().chkHibernacionMotor.Value(), 0);
    EXPECT_EQ(f.frm().TIdentificacion.Text(), "");
    EXPECT_EQ(f.frm().txtTiempoDe.Text(), "0");
}

TEST(ImageLayout, DecodingCapsAndSpecialCells) {
    struct Case {
        std::vector<std::pair<int, int>> cells;
        const char* control;
        const char* expected;  // text, or list index / check value as text
    };
    const Case cases[] = {
        {{{57, 3}, {58, 232}}, "txtTiempoDe", "999"},
        {{{57, 3}, {58, 231}}, "txtTiempoDe", "999"},
        {{{57, 0}, {58, 100}}, "txtTiempoDe", "100"},
        {{{41, 7}}, "ComboSensorLuz", "1"},
        {{{38, 5}}, "ComboTipoLampara1", "1"},
        {{{40, 9}}, "ComboLamparaPrincipal", "2"},
        {{{55, 4}}, "cmbModofuncionamiento", "1"},
        {{{63, 200}}, "cmbTipoSensorLampara", "2"},
        {{{62, 2}}, "chkHibernacionMotor", "0"},
        {{{61, 2}}, "chkEnableDisableFalloRotacion", "2"},
        {{{54, 3}}, "CheckBalizaEmergencia", "1"},
        {{{0, 1}, {1, 134}, {2, 160}}, "TVelocidadUsuario1", "10.0000"},
        {{{12, 0}, {13, 19}, {14, 136}}, "TRelacionReductor", "50.00"},
        {{{21, 1}, {22, 44}}, "TTestFotocelula", "30.0"},
        {{{42, 255}, {43, 255}}, "TMaxConsumoLed", "655.35"},
        {{{249, 1}, {250, 2}}, "TNumeroFabricacion", "258"},
        {{{231, 'Z'}, {232, 0}, {233, 0xE9}, {234, 0x80}}, "TIdentificacion", "Zé€"},
    };
    for (const auto& c : cases) {
        Form f;
        ParameterImage image{};
        for (auto [a, v] : c.cells) image[static_cast<std::size_t>(a)] = v;
        f.decode(image);
        auto& control = f.frm().controls().at(c.control);
        std::string shown;
        if (auto* t = dynamic_cast<form::TextBox*>(&control)) shown = t->Text();
        if (auto* l = dynamic_cast<form::ComboBox*>(&control)) shown = std::to_string(l->ListIndex());
        if (auto* b = dynamic_cast<form::CheckBox*>(&control)) shown = std::to_string(b->Value());
        EXPECT_EQ(shown, c.expected) << c.control;
    }
}

TEST(ImageLayout, ChangerTypeOutsideTheListLeavesItAsItWas) {
    Form f;
    f.frm().ComboTipoCambiador.setListIndex(3);
    ParameterImage image{};
    image[27] = 9;
    f.decode(image);
    EXPECT_EQ(f.frm().ComboTipoCambiador.ListIndex(), 3);
}

TEST(ImageLayout, RefusedListPositionOrCheckStateThrows) {
    for (auto [address, value] : {std::pair{50, 4}, std::pair{61, 3}}) {
        Form f;
        ParameterImage image{};
        image[static_cast<std::size_t>(address)] = value;
        EXPECT_THROW(f.decode(image), form::ControlError) << address;
    }
}

TEST(ImageLayout, LuxFieldsFollowTheSensorTypeDecodedFirst) {
    Form f;
    f.frm().ComboSensorLuz.setListIndex(0);
    ParameterImage image{};
    image[41] = 1;                   // photocell
    image[17] = 0, image[18] = 192;  // 100 lux on the photocell, 20 on the photodiode
    image[19] = 3, image[20] = 232;  // 1000: limited to 969 for the photocell
    f.decode(image);
    EXPECT_EQ(f.frm().TLuxON.Text(), "100");
    EXPECT_EQ(f.frm().TLuxONAD.Text(), "192");
    EXPECT_EQ(f.frm().TLuxOFF.Text(), "0");
    EXPECT_EQ(f.frm().TLuxOFFAD.Text(), "969") << "the AD field shows the limited value";
}

TEST(ImageLayout, EncodingEdgeCases) {
    struct Case {
        const char* field;
        const char* text;
        std::vector<std::pair<int, int>> cells;
        const char* textAfter;  // nullptr: unchanged
    };
    const Case cases[] = {
        {"TPulsosRevolucion", "1200 pulses", {{15, 4}, {16, 176}}, nullptr},
        {"TLuminosidadLeds", "abc", {{223, 0}}, nullptr},
        {"txtGrupoLeds", "300", {{60, 255}}, "255"},
        {"txtGrupoLeds", "x", {{60, 0}}, "0"},
        {"txtDuracionPulsoSincronismo", "y", {{59, 0}}, "0"},
        {"txtTiempoDe", "1000", {{57, 3}, {58, 232}}, nullptr},
        {"txtAtenuacionNocturna", "255", {{56, 255}}, nullptr},
        {"TVelocidadUsuario1", "1677.7215", {{0, 255}, {1, 255}, {2, 255}}, nullptr},
        {"TTiempoLampara1", "6553.5", {{28, 255}, {29, 255}}, nullptr},
        {"TPWMLed", "255", {{49, 255}}, nullptr},
        {"TSemanaFabricacion", "255", {{247, 255}}, nullptr},
        {"txtTiempoDe", "later", {{57, 0}, {58, 0}}, "0"},
        {"txtAtenuacionNocturna", "half", {{56, 0}}, nullptr},
        {"TVelocidadUsuario2", "12.5", {{3, 1}, {4, 232}, {5, 72}}, nullptr},
        {"TNumeroID", "4660", {{254, 0x12}, {255, 0x34}}, nullptr},
        {"TIdentificacion", "ABC", {{231, 65}, {232, 66}, {233, 67}, {234, 32}, {246, 32}}, nullptr},
        {"TIdentificacion", "0123456789abcdefXYZ", {{231, '0'}, {246, 'f'}}, nullptr},
        {"TIdentificacion", "Año€", {{232, 0xF1}, {234, 0x80}}, nullptr},
    };
    for (const auto& c : cases) {
        Form f;
        f.fillValid();
        auto& field = dynamic_cast<form::TextBox&>(f.frm().controls().at(c.field));
        field.setText(c.text);
        const ParameterImage image = f.encode();
        for (auto [a, v] : c.cells)
            EXPECT_EQ(image[static_cast<std::size_t>(a)], v) << c.field << " " << c.text << " @" << a;
        EXPECT_EQ(field.Text(), c.textAfter ? c.textAfter : c.text) << c.field;
    }
}

// Values their cells cannot hold are refused, never cut down or wrapped, and
// the message names the field, the value and the range.
TEST(ImageLayout, ValuesBeyondTheirCellsAreRefused) {
    struct Case {
        const char* field;
        const char* text;
        const char* range;
    };
    const Case cases[] = {
        {"TPWMLed", "300", "0 to 255"},
        {"TPWMLed", "-1", "0 to 255"},
        {"TPWMLed", "255.5", "0 to 255"},
        {"TVueltasError", "256", "0 to 255"},
        {"TVelocidadUsuario1", "2000", "0 to 1677.7215"},
        {"TVelocidadUsuario1", "1677.7216", "0 to 1677.7215"},
        {"TVelocidadUsuario4", "-0.0001", "0 to 1677.7215"},
        {"TRelacionReductor", "167772.16", "0 to 167772.15"},
        {"TPulsosRevolucion", "65536", "0 to 65535"},
        {"TTestFotocelula", "6553.6", "0 to 6553.5"},
        {"TMaxConsumoLed", "655.36", "0 to 655.35"},
        {"TMargenErrorMotor2", "-1", "0 to 655.35"},
        {"TAlarmLampara1", "-1", "0 to 655.35"},
        {"txtTiempoDe", "-5", "0 to 65535"},
        {"txtTiempoDe", "70000", "0 to 65535"},
        {"txtAtenuacionNocturna", "300", "0 to 255"},
        {"txtDuracionPulsoSincronismo", "256", "0 to 255"},
        {"txtGrupoLeds", "-1", "0 to 255"},
        {"TGradosOffset", "99999", "0 to 65535"},
        {"TLuminosidadLeds", "256", "0 to 255"},
        {"TDientesDisco", "-3", "0 to 255"},
        {"TSemanaFabricacion", "300", "0 to 255"},
        {"TNumeroID", "65536", "0 to 65535"},
        {"TNumeroID", "99999999999", "0 to 65535"},
        // A light level beyond the table's top step would reach the unit as 0 lux.
        {"TLuxON", "99999", "0 to 520"},
        {"TLuxOFF", "521", "0 to 520"},
        {"TLuxLamparaFundida", "-1", "0 to 520"},
    };
    for (const auto& c : cases) {
        Form f;
        f.fillValid();
        dynamic_cast<form::TextBox&>(f.frm().controls().at(c.field)).setText(c.text);
        try {
            f.encode();
            ADD_FAILURE() << c.field << " took " << c.text;
        } catch (const params::RangeError& e) {
            const std::string message = e.what();
            for (const char* part : {c.field, c.text, c.range})
                EXPECT_NE(message.find(part), std::string::npos) << message;
        }
    }
}

TEST(ImageLayout, StrictFieldsRefuseTextThatIsNoNumber) {
    for (const char* field : {"TVelocidadUsuario1", "TPWMLed", "TLuxON", "TLuxOFF", "TAlarmLampara2"}) {
        Form f;
        f.fillValid();
        dynamic_cast<form::TextBox&>(f.frm().controls().at(field)).setText("abc");
        try {
            f.encode();
            ADD_FAILURE() << field << " encoded letters";
        } catch (const params::ConversionError& e) {
            EXPECT_NE(std::string(e.what()).find(field), std::string::npos) << e.what();
        }
    }
}

TEST(ImageLayout, DecimalCommaRatioRoundsHalfToEven) {
    Form f({",", "."});
    f.fillValid();
    f.frm().TRelacionReductor.setText("12,345");
    const auto image = f.encode();
    EXPECT_EQ(image[12] * 65536 + image[13] * 256 + image[14], 1234);
}

TEST(ImageLayout, EveryFieldSurvivesARoundTrip) {
    Form f;
    ParameterImage image{};
    for (int a = 0; a <= 67; ++a) image[static_cast<std::size_t>(a)] = (a * 37 + 11) % 256;
    image[27] = 3, image[38] = 1, image[39] = 0, image[40] = 2, image[41] = 0, image[46] = 1, image[50] = 3;
    image[54] = 1, image[55] = 1, image[61] = 1, image[62] = 1, image[63] = 2;
    image[17] = 0, image[18] = 214, image[19] = 0, image[20] = 8, image[23] = 0, image[24] = 45;  // on table steps
    image[57] = 2, image[58] = 200;                                                               // 712 < 1000
    image[221] = 1, image[222] = 104, image[223] = 80, image[224] = 60;
    const std::string id = "LANTERN-07 NORTH";
    for (int i = 0; i < 16; ++i)
        image[static_cast<std::size_t>(231 + i)] = static_cast<unsigned char>(id[static_cast<std::size_t>(i)]);
    for (int a = 247; a <= 255; ++a) image[static_cast<std::size_t>(a)] = a - 200;
    f.decode(image);
    EXPECT_EQ(f.encode(), image);
}

}  // namespace
}  // namespace zrk::test
