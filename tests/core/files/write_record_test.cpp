// What the engineer sees before a write reaches the unit (marks, the change
// count, the confirmation) and what every write leaves behind (the log and
// the copy of the unit's parameters that undoes it).
#include "files/write_record.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ops/change_plan.h"
#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

std::array<std::uint8_t, 256> memoryOf(const sim::DeviceModel& device) {
    std::array<std::uint8_t, 256> cells{};
    for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device.memory(a);
    return cells;
}

std::vector<std::string> marked(form::FrmMain& frm) {
    std::vector<std::string> out;
    for (const auto& c : frm.controls().all())
        if (c->Marked()) out.push_back(c->key());
    return out;
}

std::filesystem::path dataFolder(UnitRig& rig) { return rig.started.machine.platform.info.dataFolder; }

std::vector<std::filesystem::path> copies(UnitRig& rig) {
    std::vector<std::filesystem::path> out;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder(rig) / "before-write", error))
        out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(ChangeMarks, FollowTheEditsAgainstTheUnit) {
    UnitRig rig;
    auto& frm = rig.frm();
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    EXPECT_TRUE(marked(frm).empty());
    EXPECT_EQ(frm.sbStatusBar.text(4), "");

    frm.TPWMLed.setText("81");
    EXPECT_EQ(marked(frm), std::vector<std::string>{"TPWMLed"});
    EXPECT_EQ(frm.TPWMLed.markNote(), "Unit: 80; after the write: 81");
    EXPECT_EQ(frm.sbStatusBar.text(4), "1 change");
    frm.ComboTipoMotor.setListIndex(0);
    EXPECT_EQ(frm.sbStatusBar.text(4), "2 changes");
    EXPECT_EQ(frm.ComboTipoMotor.markNote(), "Unit: Flashing; after the write: Stepper Motor");
    EXPECT_EQ(frm.sbStatusBar.text(1), "Ended") << "the status line stays the status line";

    frm.TPWMLed.setText("80");  // typed back
    frm.ComboTipoMotor.setListIndex(3);
    EXPECT_TRUE(marked(frm).empty());
    EXPECT_EQ(frm.sbStatusBar.text(4), "");

    // A file opened into the form is compared with the unit, not with itself.
    frm.TPWMLed.setText("55");
    ops::saveParameterFile(rig.program().state, rig.started.machine.folder.path() / "f.zrk");
    frm.TPWMLed.setText("80");
    frm.TVueltasError.setText("9");
    ops::openParameterFile(rig.program().state, rig.started.machine.folder.path() / "f.zrk");
    EXPECT_EQ(marked(frm), std::vector<std::string>{"TPWMLed"}) << "the file has 55; 9 was not in the file";
    EXPECT_EQ(frm.TVueltasError.Text(), "3");

    // A verified write and a new read both start afresh.
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done);
    EXPECT_TRUE(marked(frm).empty());
    frm.TPWMLed.setText("56");
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    EXPECT_TRUE(marked(frm).empty());
    EXPECT_EQ(frm.TPWMLed.Text(), "55");
}

TEST(ConfirmWrite, ListsTheChangesAndSendsNothingWhenCancelled) {
    struct Case {
        const char* name;
        bool edit;
        bool answer;
        const char* question;
    };
    for (const Case& c :
         {Case{"confirmed", true, true, "Write these changes to the unit?"},
          Case{"cancelled", true, false, "Write these changes to the unit?"},
          Case{"no change, written all the same", false, true, "No field differs from the unit. Write all the same?"},
          Case{"no change, cancelled", false, false, "No field differs from the unit. Write all the same?"}}) {
        UnitRig rig;
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        if (c.edit) rig.frm().TPWMLed.setText("81");
        rig.started.machine.ui.answers = {c.answer};
        rig.device().clearFrameLog();
        rig.frm().CEscribir.Click();
        const auto& questions = rig.started.machine.ui.questions;
        ASSERT_EQ(questions.size(), 1u) << c.name;
        EXPECT_EQ(questions[0].question, c.question) << c.name;
        if (c.edit) {
            EXPECT_NE(questions[0].details.find("PWM Led"), std::string::npos) << questions[0].details;
            EXPECT_NE(questions[0].details.find("80 \u2192 81"), std::string::npos) << questions[0].details;
            EXPECT_NE(questions[0].details.find("before-write"), std::string::npos) << "names the copy";
        }
        if (c.answer) {
            EXPECT_GT(rig.frames(), 0u) << c.name;
            EXPECT_EQ(rig.frm().status(), "Ended") << c.name;
        } else {
            EXPECT_EQ(rig.frames(), 0u) << c.name;
            EXPECT_EQ(rig.frm().status(), "Nothing written: cancelled") << c.name;
            EXPECT_TRUE(copies(rig).empty()) << c.name;
        }
    }
}

TEST(ConfirmWrite, SwitchedOffInThePerUserStore) {
    UnitRig rig;
    rig.started.machine.store.setValue("ZRK", "Write", "Confirm", "false");
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TPWMLed.setText("81");
    rig.frm().CEscribir.Click();
    EXPECT_TRUE(rig.started.machine.ui.questions.empty());
    EXPECT_EQ(rig.device().memory(49), 81);
}

// A write without a read-back still makes what it sent the unit's: the
// marks clear and the next confirmation offers nothing again.
TEST(ConfirmWrite, WithoutTheReadBackTheMarksClearAllTheSame) {
    UnitRig rig;
    rig.started.machine.store.setValue("ZRK", "Write", "Verify", "false");
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TPWMLed.setText("81");
    rig.frm().TTiempoLampara1.setText("4.25");
    ASSERT_EQ(marked(rig.frm()).size(), 2u);
    rig.frm().CEscribir.Click();
    EXPECT_EQ(rig.device().memory(49), 81);
    EXPECT_TRUE(marked(rig.frm()).empty());
    EXPECT_EQ(rig.frm().sbStatusBar.text(4), "");
    EXPECT_EQ(rig.frm().TTiempoLampara1.Text(), "4.2") << "the field shows what the unit holds";
    rig.frm().CEscribir.Click();
    EXPECT_EQ(rig.started.machine.ui.questions.back().question, "No field differs from the unit. Write all the same?");
}

// A write whose record cannot be kept asks first, No by default; nothing
// is sent before the answer.
TEST(ConfirmWrite, ARecordThatCannotBeKeptIsTheEngineersChoice) {
    for (const bool answer : {false, true}) {
        UnitRig rig;
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        std::filesystem::create_directories(dataFolder(rig) / "writes.log" / "x");  // no file can be written there
        rig.frm().TPWMLed.setText("12");
        rig.started.machine.ui.warningAnswers = {answer};
        rig.device().clearFrameLog();
        EXPECT_EQ(ops::writeUnit(rig.program().state), answer ? ops::End::Done : ops::End::NotRecorded);
        ASSERT_EQ(rig.started.machine.ui.warnings.size(), 1u);
        EXPECT_NE(rig.started.machine.ui.warnings[0].question.find((dataFolder(rig) / "writes.log").string()),
                  std::string::npos)
            << rig.started.machine.ui.warnings[0].question;
        EXPECT_EQ(rig.device().memory(49), answer ? 12 : 80);
        if (!answer) {
            EXPECT_EQ(rig.frames(), 0u);
            EXPECT_FALSE(marked(rig.frm()).empty()) << "the edit stays for another try";
        }
    }
}

// Write with a parameter file opened before any read: the unit on the line
// is read first and the file's values stay in the form; the confirmation
// is the file against that unit. Neither read nor opened: one line says
// what to do.
TEST(ConfirmWrite, AFileOpenedBeforeAnyReadIsWrittenToTheUnitReadFirst) {
    std::filesystem::path file;
    {
        UnitRig other;
        ASSERT_EQ(ops::readUnit(other.program().state), ops::End::Done);
        other.frm().TPWMLed.setText("55");
        other.frm().ComboTipoMotor.setListIndex(0);
        file = other.started.machine.folder.path().parent_path() / ("site-" + std::to_string(::getpid()) + ".zrk");
        ops::saveParameterFile(other.program().state, file);
    }
    UnitRig rig;
    ops::openParameterFile(rig.program().state, file);
    rig.started.machine.ui.answers = {true};
    rig.frm().CEscribir.Click();
    ASSERT_EQ(rig.started.machine.ui.questions.size(), 1u);
    const std::string details = rig.started.machine.ui.questions[0].details;
    EXPECT_NE(details.find("PWM Led: 80 \u2192 55"), std::string::npos) << details;
    EXPECT_NE(details.find("Flashing \u2192 Stepper Motor"), std::string::npos) << details;
    EXPECT_EQ(rig.device().memory(49), 55);
    EXPECT_EQ(rig.device().memory(50), 0);
    EXPECT_EQ(rig.frm().TPWMLed.Text(), "55");
    EXPECT_TRUE(marked(rig.frm()).empty());
    std::filesystem::remove(file);

    UnitRig fresh;
    fresh.frm().CEscribir.Click();
    EXPECT_EQ(fresh.frames(), 0u);
    ASSERT_EQ(fresh.started.messages().size(), 1u);
    EXPECT_EQ(fresh.started.messages()[0],
              "Nothing was written: read the unit (Read ZRK) or open a parameter file (Open) first.");
}

// The copy saved before a write, opened and written back, puts every byte
// of the unit back as it was; the log says what changed.
TEST(WriteRecord, TheCopyUndoesTheWriteAndTheLogSaysWhatChanged) {
    UnitRig rig("all-addresses");
    rig.device().setMemory(38, 5);                                  // a lamp type the list shows as its last entry
    rig.device().setMemory(17, 1), rig.device().setMemory(18, 54);  // between two steps of the sensor's table
    const auto original = memoryOf(rig.device());
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TPWMLed.setText("12");
    rig.frm().TLuxON.setText("200");
    rig.frm().ComboTipoLampara1.setListIndex(0);
    rig.frm().TVelocidadUsuario2.setText("99.5");
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done) << rig.frm().status();
    ASSERT_EQ(copies(rig).size(), 1u);
    const std::string unit = std::to_string(original[254] * 256 + original[255]);
    EXPECT_EQ(copies(rig)[0].filename().string().rfind(unit + "-", 0), 0u) << copies(rig)[0];

    const auto lines = files::WriteRecord(dataFolder(rig)).read();
    std::vector<std::string> fields;
    for (const auto& l : lines) {
        fields.push_back(l.field);
        EXPECT_EQ(l.unit, unit);
        EXPECT_EQ(l.outcome, "verified");
        EXPECT_EQ(l.time.size(), 24u) << l.time;  // 2026-12-10T15:41:05+0000
    }
    EXPECT_EQ(fields, (std::vector<std::string>{"TVelocidadUsuario2", "TLuxON", "ComboTipoLampara1", "TPWMLed"}));
    EXPECT_EQ(lines[3].unitValue, "80");
    EXPECT_EQ(lines[3].written, "12");

    // Undo: read, open the copy, write it.
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    ops::openParameterFile(rig.program().state, copies(rig)[0]);
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done) << rig.frm().status();
    EXPECT_EQ(memoryOf(rig.device()), original);
}

TEST(WriteRecord, FailedWritesAreLoggedAsFailed) {
    for (const char* failure : {"the cell keeps its old byte", "the write gets no answer"}) {
        const bool stuck = std::string(failure).find("keeps") != std::string::npos;
        UnitRig rig("led-lantern",
                    [stuck](const FrameHookPort::Frame& f) { return !stuck && f.command == 2 && f.parameter1 == 49; });
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        rig.frm().TPWMLed.setText("12");
        rig.frm().TVueltasError.setText("4");
        if (stuck) rig.unit().unit().setFaults(sim::parseFaults({"stuck=49"}));
        EXPECT_NE(ops::writeUnit(rig.program().state), ops::End::Done) << failure;
        const auto lines = files::WriteRecord(dataFolder(rig)).read();
        ASSERT_EQ(lines.size(), 2u) << failure;
        EXPECT_EQ(lines[0].field, "TPWMLed");
        EXPECT_EQ(lines[0].outcome, "failed") << failure;
        EXPECT_EQ(lines[1].field, "TVueltasError");
        // A failed address ends the pass: the fields after it are not sent.
        EXPECT_EQ(lines[1].outcome, stuck ? "verified" : "failed") << failure;
    }
}

// A cell the unit took but that could not be read back is not claimed
// either way: "written, not verified", with its cells, for undo to find.
TEST(WriteRecord, ACellNotReadBackIsLoggedAsNotVerified) {
    bool written = false;
    UnitRig rig("led-lantern", [&](const FrameHookPort::Frame& f) {
        written = written || f.command == 2;
        return written && f.command == 1 && f.parameter1 == 49;
    });
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TPWMLed.setText("12");
    rig.frm().TVueltasError.setText("4");
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NotVerified);
    const auto lines = files::WriteRecord(dataFolder(rig)).read();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].field, "TPWMLed");
    EXPECT_EQ(lines[0].outcome, files::kOutcomeNotVerified);
    EXPECT_EQ(lines[0].cells, (std::vector<files::WriteRecord::Cell>{{49, 80, 12}}));
    EXPECT_EQ(lines[1].outcome, "verified");
}

TEST(WriteRecord, WithoutAPlaceForTheRecordNothingIsSent) {
    for (const char* blocked : {"log", "copies"}) {
        UnitRig rig;
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        // A plain file where the folder should be: neither root nor anyone can write below it.
        std::filesystem::create_directories(dataFolder(rig));
        const auto in =
            std::string(blocked) == "log" ? dataFolder(rig) / "writes.log" : dataFolder(rig) / "before-write";
        std::filesystem::create_directories(in / "x");
        if (std::string(blocked) == "copies") {
            std::filesystem::remove_all(in);
            std::ofstream(in) << "not a folder";
        }
        rig.frm().TPWMLed.setText("12");
        rig.device().clearFrameLog();
        EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NotRecorded) << blocked;
        EXPECT_EQ(rig.frames(), 0u) << blocked;
        ASSERT_EQ(rig.started.messages().size(), 1u) << blocked;
        EXPECT_NE(rig.started.messages()[0].find(in.string()), std::string::npos) << rig.started.messages()[0];
        EXPECT_EQ(rig.device().memory(49), 80);
    }
}

// Each write numbers its lines one above the last; the number is read from
// the log's end, and a log that ends in an older version's line is read whole.
TEST(WriteRecord, NumbersEachWriteOneAboveTheLast) {
    UnitRig rig;
    const files::WriteRecord record(dataFolder(rig));
    EXPECT_EQ(record.nextWrite(), 1) << "no log yet";
    files::WriteRecord::Line line{"t", "1", "TPWMLed", "1", "2", "verified", {{49, 1, 2}}, 7, 0};
    record.append({line, line});
    EXPECT_EQ(record.nextWrite(), 8);
    record.append({{"t", "1", "TPWMLed", "2", "3", "verified"}});  // written by an older version
    EXPECT_EQ(record.nextWrite(), 8);
    const auto lines = record.read();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].cells, (std::vector<files::WriteRecord::Cell>{{49, 1, 2}}));
    EXPECT_TRUE(lines[2].cells.empty());
    EXPECT_EQ(lines[2].write, 0);
}

TEST(WriteRecord, KeepsTheNewestFiftyCopiesOfEachUnit) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const auto folder = dataFolder(rig) / "before-write";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 55; ++i)
        std::ofstream(folder / ("40101-20200101-0000" + std::to_string(10 + i) + ".zrk")) << "old";
    std::ofstream(folder / "777-20200101-000000.zrk") << "another unit's";
    rig.frm().TPWMLed.setText("12");
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done);
    const auto kept = copies(rig);
    EXPECT_EQ(kept.size(), 51u);
    EXPECT_TRUE(std::filesystem::exists(folder / "777-20200101-000000.zrk"));
    EXPECT_FALSE(std::filesystem::exists(folder / "40101-20200101-000010.zrk")) << "the oldest go";
    EXPECT_TRUE(std::filesystem::exists(*rig.program().state.lastCopyBeforeWrite));
}

}  // namespace
}  // namespace zrk::test
