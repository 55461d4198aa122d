// A parameter file opened before any read: every field it carries is shown,
// read-only, until a read binds the form to a unit and its map.
#include <gtest/gtest.h>

#include <filesystem>

#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "params/image_layout.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

// The field of every row a file sets, and of those it never sets.
std::vector<form::Control*> fieldsOfRows(form::FrmMain& frm, bool fileSets) {
    std::vector<form::Control*> out;
    for (int row : params::rowAddresses())
        if (params::appliedFromFile(row) == fileSets) out.push_back(&frm.controls().at(params::fieldAt(row)));
    return out;
}

// A rotating lantern, not read yet, and a file saved from an LED lantern:
// the file carries LED fields (PWM, LED currents, night dimming) that the
// rotating lantern does not use.
struct FileBeforeRead {
    FileBeforeRead() {
        UnitRig led;
        EXPECT_EQ(ops::readUnit(led.program().state), ops::End::Done);
        led.frm().TPWMLed.setText("55");
        led.frm().TVueltasError.setText("9");
        led.frm().cmbModofuncionamiento.setListIndex(1);  // night dimming can be set
        ops::saveParameterFile(led.program().state, path("site40101.zrk"));
        rig.frm().frmMain.setCaption("ZRK 1.4.3  ");  // as the start-up leaves it
    }
    std::filesystem::path path(const std::string& name) const { return rig.started.machine.folder.path() / name; }
    void open(const std::string& name) {
        rig.started.machine.ui.files.push_back(path(name));
        rig.frm().CAbrir.Click();
        ASSERT_TRUE(rig.started.messages().empty()) << rig.started.messages()[0];
    }
    UnitRig rig{"rotating-lantern"};
};

TEST(FileWithoutUnit, ShowsEveryFieldItCarriesReadOnlyAndNamesTheFile) {
    FileBeforeRead t;
    auto& frm = t.rig.frm();
    ASSERT_FALSE(frm.TPWMLed.Visible()) << "no unit: the start-up hides every field";
    t.open("site40101.zrk");

    for (form::Control* field : fieldsOfRows(frm, true)) {
        EXPECT_TRUE(field->Visible()) << field->key();
        EXPECT_FALSE(field->Enabled()) << field->key();
    }
    for (form::Control* field : fieldsOfRows(frm, false)) EXPECT_FALSE(field->Visible()) << field->key();
    EXPECT_FALSE(frm.txtAtenuacionNocturna.Enabled()) << "read-only, whatever the operating mode says";
    EXPECT_EQ(frm.TPWMLed.Text(), "55");
    EXPECT_EQ(frm.TabStrip1.count(), 5) << "the file's flash-pattern table has its tab";
    EXPECT_EQ(frm.TabStrip1.caption(5), "Visualization");
    EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3 - site40101.zrk (file, no unit)");
    EXPECT_EQ(frm.status(), "The file's fields are read-only until a unit is read (Read ZRK)");
    EXPECT_EQ(t.rig.frames(), 0u);
    EXPECT_EQ(frm.sbStatusBar.text(4), "") << "nothing to write";

    // Losing the focus re-applies the operating mode's rule; the field stays read-only.
    frm.cmbModofuncionamiento.LostFocus();
    EXPECT_FALSE(frm.txtAtenuacionNocturna.Enabled());

    // A second file is named instead of the first, over the same caption.
    std::filesystem::copy_file(t.path("site40101.zrk"), t.path("site40102.zrk"));
    t.open("site40102.zrk");
    EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3 - site40102.zrk (file, no unit)");
}

// A read binds the form: the unit's map decides what shows, the fields can be
// edited again (the night dimming as the unit's operating mode says), and the
// caption is the window's own again. A file opened then stays in the unit's view.
TEST(FileWithoutUnit, AReadBindsTheFormAndLiftsTheReadOnlyState) {
    for (const int mode : {0, 1}) {
        FileBeforeRead t;
        auto& frm = t.rig.frm();
        t.rig.device().setMemory(55, static_cast<std::uint8_t>(mode));
        t.open("site40101.zrk");
        ASSERT_EQ(ops::readUnit(t.rig.program().state), ops::End::Done);

        EXPECT_FALSE(frm.TPWMLed.Visible()) << "the rotating lantern has no LED PWM";
        EXPECT_FALSE(frm.TRelacionReductor.Visible()) << "a factory row, outside the factory view";
        EXPECT_TRUE(frm.TVueltasError.Visible());
        EXPECT_EQ(frm.TabStrip1.count(), 4) << "no address 225";
        for (form::Control* field : fieldsOfRows(frm, true))
            EXPECT_TRUE(field->Enabled() || field == &frm.txtAtenuacionNocturna) << field->key();
        EXPECT_EQ(frm.txtAtenuacionNocturna.Enabled(), mode == 1) << mode;
        EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3  ");
        EXPECT_EQ(frm.status(), "Ended");

        t.open("site40101.zrk");
        EXPECT_FALSE(frm.TPWMLed.Visible());
        EXPECT_TRUE(frm.TVueltasError.Enabled());
        EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3  ");
    }
}

// Without an answer no unit is bound: the file stays shown as it was.
TEST(FileWithoutUnit, AFailedReadKeepsItReadOnly) {
    FileBeforeRead t;
    auto& frm = t.rig.frm();
    t.open("site40101.zrk");
    t.rig.unit().unit().setFaults(sim::parseFaults({"no-answer"}));
    EXPECT_EQ(ops::readUnit(t.rig.program().state), ops::End::NoAnswer);
    EXPECT_FALSE(frm.TVueltasError.Enabled());
    EXPECT_TRUE(frm.TPWMLed.Visible());
    EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3 - site40101.zrk (file, no unit)");
}

// Write with the file shown: the unit is read first, and only the fields it
// uses go to it, with the file's values; then the form can be edited.
TEST(FileWithoutUnit, WriteSendsOnlyTheFieldsTheUnitUses) {
    FileBeforeRead t;
    auto& frm = t.rig.frm();
    t.open("site40101.zrk");
    t.rig.started.machine.ui.answers = {true};
    frm.CEscribir.Click();
    ASSERT_EQ(t.rig.started.machine.ui.questions.size(), 1u);
    const std::string details = t.rig.started.machine.ui.questions[0].details;
    EXPECT_NE(details.find("5 \u2192 9"), std::string::npos) << details;
    EXPECT_EQ(details.find("PWM"), std::string::npos) << details;
    EXPECT_EQ(t.rig.device().memory(53), 9);
    for (const auto& f : t.rig.device().frameLog())
        EXPECT_TRUE(f[4] != sim::DeviceModel::kWriteMemory || t.rig.device().isInUse(f[5])) << int{f[5]};
    EXPECT_FALSE(frm.TPWMLed.Visible());
    EXPECT_TRUE(frm.TVueltasError.Enabled());
    EXPECT_EQ(frm.frmMain.Caption(), "ZRK 1.4.3  ");
    frm.TVueltasError.setText("4");
    EXPECT_EQ(frm.sbStatusBar.text(4), "1 change");
}

}  // namespace
}  // namespace zrk::test
