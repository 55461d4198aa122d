#pragma once

#include <map>
#include <string>
#include <vector>

#include "form/caption_text.h"
#include "form/control_registry.h"
#include "form/controls.h"
#include "texts/text_ids.h"

// A parameter field: its caption, unit and companion come from its row in the
// field table (form/field_table.cpp), its name from the member, as the row's.
#define ZRK_PARAMETER(Type, member, ...) Type& member = parameter<Type>(#member, __VA_ARGS__)
// The second field of a parameter field's row, made beside it.
#define ZRK_COMPANION(member) TextBox& member = companion(#member)

namespace zrk::form {

struct FieldDescriptor;

// The main window as a model: every control by name, its kind and state. The
// procedures of the tool work on this model only; the Qt view mirrors it.
class FrmMain {
    // Bookkeeping first: the controls below register here as they are built.
    ControlRegistry reg_;
    struct Localised {
        Control* control;
        int textId;
    };
    std::vector<Localised> localised_;

public:
    // One parameter row of a page: caption label, field, unit label (any may be absent).
    struct FieldRow {
        Control* caption = nullptr;
        Control* field = nullptr;
        Control* unit = nullptr;
        Control* extra = nullptr;  // a second field in the same row (the sensor values)
    };
    // One status lamp: its caption and the two pictures drawn at the same place.
    struct LampRow {
        LabelControl* caption;
        PictureBox* lit;
        PictureBox* unlit;
        // Grey, at the pair's place: shown when the lamp's state could not be read.
        PictureBox* unknown;
    };

private:
    std::map<const Control*, std::vector<FieldRow>> rows_;
    std::vector<LampRow> lampRows_;

    struct LabelSpec {
        ControlArray<LabelControl>* array = nullptr;  // nullptr: a label with a name of its own
        std::string name;
        int index = -1;
        CaptionText caption;
    };
    LabelSpec L(int index, CaptionText caption) { return {&Label, {}, index, std::move(caption)}; }
    LabelSpec U(int index, CaptionText caption) { return {&LabelUnidades, {}, index, std::move(caption)}; }
    LabelSpec L1(int index, CaptionText caption) { return {&label1, {}, index, std::move(caption)}; }
    LabelSpec N(std::string name, CaptionText caption) { return {nullptr, std::move(name), -1, std::move(caption)}; }
    static LabelSpec none() { return {}; }

    void applyCaption(Control& control, const CaptionText& caption);
    LabelControl* makeLabel(Control* parent, const LabelSpec& def);
    template <typename T, typename... Args>
    T& make(std::string name, Control* parent, Args&&... args) {
        return reg_.make<T>(std::move(name), -1, parent, std::forward<Args>(args)...);
    }
    template <typename T>
    T& member(ControlArray<T>& array, int index, Control* parent) {
        T& control = reg_.make<T>(array.name(), index, parent);
        array.add(control);
        return control;
    }
    template <typename T>
    T& captioned(std::string name, Control* parent, CaptionText caption) {
        T& control = make<T>(std::move(name), parent);
        applyCaption(control, caption);
        return control;
    }
    // Builds a parameter row (caption label, field, unit label) in that order.
    template <typename T>
    T& field(Control& page, std::string name, const LabelSpec& caption, const LabelSpec& unit, std::string text = {}) {
        LabelControl* captionLabel = makeLabel(&page, caption);
        T& control = make<T>(std::move(name), &page);
        if constexpr (std::is_same_v<T, TextBox>) control.setText(std::move(text));
        LabelControl* unitLabel = makeLabel(&page, unit);
        rows_[&page].push_back({captionLabel, &control, unitLabel, nullptr});
        return control;
    }
    // A parameter field, as its row in the field table has it.
    template <typename T>
    T& parameter(const char* name, Control& page, std::string text = {}) {
        const FieldDescriptor& row = fieldRow(name);
        LabelControl* captionLabel = fieldLabel(page, row, false);
        T& control = make<T>(name, &page);
        if constexpr (std::is_same_v<T, TextBox>) control.setText(std::move(text));
        placeField(page, row, control, captionLabel, fieldLabel(page, row, true));
        return control;
    }
    TextBox& companion(const char* name);
    static const FieldDescriptor& fieldRow(const char* name);
    LabelControl* fieldLabel(Control& page, const FieldDescriptor& row, bool unit);
    void placeField(Control& page, const FieldDescriptor& row, Control& field, LabelControl* caption,
                    LabelControl* unit);
    // Labels numbered once the form's own are made, so that none takes an index the design gave.
    struct NextFreeLabel {
        Control* page;
        Control* field;
        const FieldDescriptor* row;
        bool unit;
    };
    std::vector<NextFreeLabel> nextFreeLabels_;
    void numberNextFreeLabels();
    void checkFieldTable() const;
    PictureBox& lamp(Control& parent, std::string name, Rgb color);
    FrameControl& frame(ControlArray<FrameControl>& array, int index, Control* parent, CaptionText caption);

public:
    FrmMain();
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    ControlRegistry& controls() { return reg_; }
    const ControlRegistry& controls() const { return reg_; }
    // Captions given as text ids, in the order the start-up sets them.
    const std::vector<Localised>& localisedCaptions() const { return localised_; }
    const std::vector<FieldRow>& rows(const Control& frame) const;
    // The row that holds a field; nullptr for a control that is no field.
    const FieldRow* rowOf(const Control& field) const;
    // What the operator reads beside a parameter field: its caption label's
    // text, or its own caption (a check box); empty when it has neither.
    std::string captionOf(const Control& field) const;
    const std::vector<LampRow>& lampRows() const { return lampRows_; }

    // The tab position whose page is shown; 1 after start-up.
    int PestanaActual = 1;
    void TabStrip1_Click();
    void DeshabilitaBotones();
    void HabilitaBotones();
    // Panel 1 of the status bar: the status line every operation reports on.
    void setStatus(std::string text) { sbStatusBar.setText(1, std::move(text)); }
    const std::string& status() const { return sbStatusBar.text(1); }

    // Control arrays.
    ControlArray<FrameControl> FrameP{"FrameP"};
    ControlArray<FrameControl> Frame1{"Frame1"};
    ControlArray<LabelControl> Label{"Label"};
    ControlArray<LabelControl> LabelUnidades{"LabelUnidades"};
    ControlArray<LabelControl> label1{"label1"};
    ControlArray<LabelControl> LColor{"LColor"};
    ControlArray<LabelControl> lblExternalbl{"lblExternalbl"};
    ControlArray<LabelControl> lblExterna{"lblExterna"};
    ControlArray<LabelControl> lblSalidalbl{"lblSalidalbl"};
    ControlArray<LabelControl> lblSalida{"lblSalida"};

    // The window and what sits outside the pages.
    FormControl& frmMain = make<FormControl>("frmMain", nullptr);
    PictureBox& Image1 = make<PictureBox>("Image1", &frmMain, PictureBox::Image::Logo);
    PictureBox& PictureInicio = make<PictureBox>("PictureInicio", &frmMain, PictureBox::Image::StartPicture);
    TabStrip& TabStrip1 = make<TabStrip>("TabStrip1", &frmMain);
    FrameControl& page1 = frame(FrameP, 1, &frmMain, {});
    FrameControl& page2 = frame(FrameP, 2, &frmMain, {});
    FrameControl& page3 = frame(FrameP, 3, &frmMain, {});
    FrameControl& page4 = frame(FrameP, 4, &frmMain, {});
    FrameControl& page5 = frame(FrameP, 5, &frmMain, {});
    FrameControl& page6 = frame(FrameP, 6, &frmMain, fix("Valores instantáneos "));
    FrameControl& identGroup = frame(Frame1, 0, &frmMain, fix("ZRK"));

    // Page 1: lantern parameters; left column.
    ZRK_PARAMETER(TextBox, TLuxON, page1);
    ZRK_COMPANION(TLuxONAD);
    ZRK_PARAMETER(TextBox, TLuxOFF, page1);
    ZRK_COMPANION(TLuxOFFAD);
    ZRK_PARAMETER(TextBox, TTestFotocelula, page1);
    ZRK_PARAMETER(TextBox, TLuxLamparaFundida, page1);
    ZRK_PARAMETER(TextBox, TRetardoLamparaFundida, page1);
    ZRK_PARAMETER(ComboBox, ComboSensorLuz, page1);
    ZRK_PARAMETER(ComboBox, ComboTipoCambiador, page1);
    ZRK_PARAMETER(TextBox, TFotocelulaInterior, page1, "10");
    ZRK_PARAMETER(ComboBox, ComboTipoLampara1, page1);
    ZRK_PARAMETER(ComboBox, ComboTipoLampara2, page1);
    ZRK_PARAMETER(ComboBox, ComboLamparaPrincipal, page1);
    ZRK_PARAMETER(TextBox, TTiempoFalloRed, page1, "10");
    ZRK_PARAMETER(TextBox, TTiempoRetornoRed, page1, "10");
    // Page 1, right column.
    ZRK_PARAMETER(TextBox, txtGrupoLeds, page1);
    ZRK_PARAMETER(TextBox, txtDuracionPulsoSincronismo, page1);
    ZRK_PARAMETER(CheckBox, CheckBalizaEmergencia, page1);
    ZRK_PARAMETER(ComboBox, ComboFuncion2Puerto, page1);
    ZRK_PARAMETER(TextBox, TTiempoLampara1, page1, "10");
    ZRK_PARAMETER(TextBox, TTiempoLampara2, page1, "10");
    ZRK_PARAMETER(TextBox, TMaxConsumoLed, page1);
    ZRK_PARAMETER(TextBox, TMinConsumoLed, page1);
    ZRK_PARAMETER(TextBox, TPWMLed, page1);
    ZRK_PARAMETER(ComboBox, cmbModofuncionamiento, page1);
    ZRK_PARAMETER(TextBox, txtAtenuacionNocturna, page1);
    ZRK_PARAMETER(ComboBox, cmbTipoSensorLampara, page1);
    ZRK_PARAMETER(TextBox, TAlarmLampara1, page1);
    ZRK_PARAMETER(TextBox, TAlarmLampara2, page1);

    // Page 2: rotation motor.
    ZRK_PARAMETER(ComboBox, ComboTipoMotor, page2);
    ZRK_PARAMETER(CheckBox, chkEnableDisableFalloRotacion, page2);
    ZRK_PARAMETER(TextBox, TVelocidadUsuario1, page2);
    ZRK_PARAMETER(TextBox, TVelocidadUsuario2, page2);
    ZRK_PARAMETER(TextBox, TVelocidadUsuario3, page2);
    ZRK_PARAMETER(TextBox, TVelocidadUsuario4, page2);
    ZRK_PARAMETER(TextBox, TRelacionReductor, page2);
    ZRK_PARAMETER(TextBox, TPulsosRevolucion, page2);
    ZRK_PARAMETER(TextBox, TTiempoAceleracion, page2, "10");
    ZRK_PARAMETER(TextBox, TMargenErrorMotor2, page2, "10");
    ZRK_PARAMETER(TextBox, TVueltasError, page2);
    ZRK_PARAMETER(TextBox, txtTiempoDe, page2);
    ZRK_PARAMETER(CheckBox, chkHibernacionMotor, page2);

    // Page 3: status lamps, remote commands, automatic interrogation, live values.

private:
    bool lampCaptionsBuilt_ = buildLampCaptions();

public:
    PictureBox& LedOn = lamp(page3, "LedOn", kBrightBlue);
    PictureBox& LedOff = lamp(page3, "LedOff", kDimBlue);
    PictureBox& LedMotorOn = lamp(page3, "LedMotorOn", kBrightBlue);
    PictureBox& LedMotorOff = lamp(page3, "LedMotorOff", kDimBlue);
    PictureBox& LedRojoAlarmaMotor = lamp(page3, "LedRojoAlarmaMotor", kBrightRed);
    PictureBox& LedAlarmaMotorVerde = lamp(page3, "LedAlarmaMotorVerde", kBrightGreen);
    PictureBox& LedAzulLampara1 = lamp(page3, "LedAzulLampara1", kBrightBlue);
    PictureBox& LedLampara1Apagado = lamp(page3, "LedLampara1Apagado", kDimBlue);
    PictureBox& LedazulLampara2 = lamp(page3, "LedazulLampara2", kBrightBlue);
    PictureBox& LedLampara2Apagado = lamp(page3, "LedLampara2Apagado", kDimBlue);
    PictureBox& LedRojoPrealarmaLampara = lamp(page3, "LedRojoPrealarmaLampara", kBrightRed);
    PictureBox& LedPrealarmaLamparaApagado = lamp(page3, "LedPrealarmaLamparaApagado", kDimRed);
    PictureBox& LedAzulCambiador = lamp(page3, "LedAzulCambiador", kBrightBlue);
    PictureBox& LedCambiadorApagado = lamp(page3, "LedCambiadorApagado", kDimBlue);
    PictureBox& LedRojoFalloRed = lamp(page3, "LedRojoFalloRed", kBrightRed);
    PictureBox& LedFalloRedVerde = lamp(page3, "LedFalloRedVerde", kBrightGreen);
    PictureBox& LedVerdeLampara1On = lamp(page3, "LedVerdeLampara1On", kBrightBlue);
    PictureBox& LedLampara1OnApagado = lamp(page3, "LedLampara1OnApagado", kDimBlue);
    PictureBox& LedRojoAlarmaLampara1 = lamp(page3, "LedRojoAlarmaLampara1", kBrightRed);
    PictureBox& LedAlarmaLamparaVerde = lamp(page3, "LedAlarmaLamparaVerde", kBrightGreen);
    PictureBox& LedRojoFalloFoco = lamp(page3, "LedRojoFalloFoco", kBrightRed);
    PictureBox& LedFalloFocoVerde = lamp(page3, "LedFalloFocoVerde", kBrightGreen);

private:
    bool lampRowsBuilt_ = buildLampRows();

public:
    FrameControl& groupLampChange = frame(Frame1, 4, &page3, txt(texts::id::kLampChange));
    CommandButton& CCambioLamparaOn =
        captioned<CommandButton>("CCambioLamparaOn", &groupLampChange, txt(texts::id::kOn));
    CommandButton& CCambioLamparaOff = captioned<CommandButton>("CCambioLamparaOff", &page3, txt(texts::id::kOff));
    FrameControl& groupDayNight = frame(Frame1, 1, &page3, txt(texts::id::kDayNightControl));
    CommandButton& CNormal = captioned<CommandButton>("CNormal", &groupDayNight, txt(texts::id::kNormal));
    CommandButton& CNoche = captioned<CommandButton>("CNoche", &groupDayNight, txt(texts::id::kNight));
    CommandButton& CDia = captioned<CommandButton>("CDia", &page3, txt(texts::id::kDay));
    FrameControl& groupMainsFailure = frame(Frame1, 2, &page3, fix("Fallo Red"));
    CommandButton& CFalloRedOn = captioned<CommandButton>("CFalloRedOn", &groupMainsFailure, fix("On"));
    CommandButton& CFalloRedOff = captioned<CommandButton>("CFalloRedOff", &page3, fix("Off"));
    FrameControl& groupAutomatic = frame(Frame1, 3, &page3, txt(texts::id::kAutomaticMode));
    PictureBox& LedTimerON = lamp(groupAutomatic, "LedTimerON", kBrightRed);
    PictureBox& LedTimerOff = lamp(groupAutomatic, "LedTimerOff", kDimBrown);
    TextBox& TTiempoModoVerboso =
        field<TextBox>(groupAutomatic, "TTiempoModoVerboso", none(), U(12, txt(texts::id::kSeconds)), "3");
    CommandButton& CModoVerboso = captioned<CommandButton>("CModoVerboso", &groupAutomatic, fix("On"));
    CommandButton& Command1 = captioned<CommandButton>("Command1", &groupAutomatic, fix("Off"));
    FrameControl& groupMotorChange = frame(Frame1, 5, &page3, fix("Cambio Motor"));
    CommandButton& btnTelemandoMotor1 =
        captioned<CommandButton>("btnTelemandoMotor1", &groupMotorChange, fix("Motor 1"));
    CommandButton& btnTelamandoMotor2 =
        captioned<CommandButton>("btnTelamandoMotor2", &groupMotorChange, fix("Motor 2"));

    CheckBox& chkEstado = captioned<CheckBox>("chkEstado", &page3, fix("Ver estado"));
    TextBox& TNumeroSerieTelemando =
        field<TextBox>(page3, "TNumeroSerieTelemando", L1(34, txt(texts::id::kIdentifier)), none());
    CheckBox& chkVelocidadActual = make<CheckBox>("chkVelocidadActual", &page3);
    TextBox& TVelocidadActual =
        field<TextBox>(page3, "TVelocidadActual", L(44, txt(texts::id::kInstantSpeed)), U(21, fix("RPM")));
    CheckBox& chkCorrienteActual = make<CheckBox>("chkCorrienteActual", &page3);
    TextBox& TCorrienteActual =
        field<TextBox>(page3, "TCorrienteActual", L(7, txt(texts::id::kLedInstantCurrent)), U(17, fix("A")));
    CheckBox& chkCorrienteLeds = make<CheckBox>("chkCorrienteLeds", &page3);
    TextBox& txtCorrienteLeds =
        field<TextBox>(page3, "txtCorrienteLeds", N("lblCorrienteLeds", fix("Corriente leds")), U(23, fix("A")));
    CommandButton& CInterrogar = captioned<CommandButton>("CInterrogar", &page3, txt(texts::id::kRefresh));
    TimerControl& TimerEstado = timer("TimerEstado", 500);

    // Page 4: setup.
    ComboBox& ComboIdioma = field<ComboBox>(page4, "ComboIdioma", L(24, txt(texts::id::kLanguage)), none());
    ComboBox& ComboCom = field<ComboBox>(page4, "ComboCom", L(17, txt(texts::id::kCom)), none());
    TextBox& TDebug = field<TextBox>(page4, "TDebug", none(), none());

    // Page 5: flash-pattern table and colours.
    FlexGrid& MSFlexGridPautas = make<FlexGrid>("MSFlexGridPautas", &page5, 9, 33);

private:
    bool colourLabelsBuilt_ = buildColourLabels();

public:
    ZRK_PARAMETER(TextBox, TDientesDisco, page5);
    ZRK_PARAMETER(TextBox, TLuminosidadLeds, page5);
    ZRK_PARAMETER(TextBox, TGradosOffset, page5);
    CommandButton& CBorrarTabla = captioned<CommandButton>("CBorrarTabla", &page5, fix("Borrar Tabla"));
    CommandButton& CEscribirColores = captioned<CommandButton>("CEscribirColores", &page5, fix("Escribir Colores"));
    CommandButton& CLeerColores = captioned<CommandButton>("CLeerColores", &page5, fix("Leer Colores"));
    CommandButton& Command2 = captioned<CommandButton>("Command2", &page5, fix("Dibuja"));
    CheckBox& CheckColores = captioned<CheckBox>("CheckColores", &page5, fix("Colores"));
    ShapeControl& Shape1 = make<ShapeControl>("Shape1", &page5, 2175);

    // Page 6: inputs and outputs.

private:
    bool ioLabelsBuilt_ = buildInputOutputLabels();

public:
    CommandButton& btnVerValoresInstantaneos =
        captioned<CommandButton>("btnVerValoresInstantaneos", &page6, fix("Refrescar"));
    CommandButton& btnSpoolValorInstantaneo =
        captioned<CommandButton>("btnSpoolValorInstantaneo", &page6, fix("Activar auto"));
    TimerControl& tmrSpoolValoresInstantaneos = timer("tmrSpoolValoresInstantaneos", 1000);

    // Identification group, left of the tab strip.
    ZRK_PARAMETER(TextBox, TModeloR, identGroup);
    ZRK_PARAMETER(TextBox, TVersionFirmwareR, identGroup);
    ZRK_PARAMETER(TextBox, THardwareR, identGroup);
    ZRK_PARAMETER(TextBox, TNumeroID, identGroup, "0");
    ZRK_PARAMETER(TextBox, TIdentificacion, identGroup);
    ZRK_PARAMETER(TextBox, TNumeroFabricacion, identGroup);
    ZRK_PARAMETER(TextBox, TAnoFabricacion, identGroup);
    ZRK_PARAMETER(TextBox, TSemanaFabricacion, identGroup);

    // Bottom row of buttons and the status bar.
    CommandButton& CAbrir = captioned<CommandButton>("CAbrir", &frmMain, txt(texts::id::kOpen));
    CommandButton& CGuardar = captioned<CommandButton>("CGuardar", &frmMain, txt(texts::id::kSave));
    CommandButton& CLeer = captioned<CommandButton>("CLeer", &frmMain, txt(texts::id::kReadZrk));
    CommandButton& CEscribir = captioned<CommandButton>("CEscribir", &frmMain, txt(texts::id::kWriteZrk));
    // Puts back the cells of the last write in the write log.
    CommandButton& CDeshacer = captioned<CommandButton>("CDeshacer", &frmMain, txt(texts::id::kUndoLastWrite));
    CommandButton& Csalir = captioned<CommandButton>("Csalir", &frmMain, txt(texts::id::kExit));
    CommandButton& CAyuda = captioned<CommandButton>("CAyuda", &frmMain, txt(texts::id::kHelp));
    StatusBar& sbStatusBar = make<StatusBar>("sbStatusBar", &frmMain);

    static constexpr Rgb kBrightBlue{0, 0, 255};
    static constexpr Rgb kDimBlue{63, 63, 127};
    static constexpr Rgb kBrightRed{255, 47, 47};
    static constexpr Rgb kDimRed{143, 47, 47};
    static constexpr Rgb kBrightGreen{31, 255, 47};
    static constexpr Rgb kDimBrown{111, 63, 47};
    static constexpr Rgb kGrey{128, 128, 128};

private:
    bool buildLampCaptions();
    bool buildLampRows();
    bool buildColourLabels();
    bool buildInputOutputLabels();
    TimerControl& timer(std::string name, int interval);
    bool finished_ = finishDesign();
    bool finishDesign();
};

#undef ZRK_PARAMETER
#undef ZRK_COMPANION

}  // namespace zrk::form
