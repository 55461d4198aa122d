// A unit changes only where the operator changed it: read then write, in
// every regional setting and whatever the unit's cells hold, gives back every
// byte; the form writes only to the unit it was read from, and reads back
// what it wrote.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "model_probe.h"
#include "ops/open_and_save.h"
#include "ops/parameter_memory.h"
#include "params/image_layout.h"
#include "params/numbers.h"
#include "regions.h"
#include "unit_rig.h"

namespace zrk::test {
namespace {

const char* const kScenarios[] = {"led-lantern", "rotating-lantern", "old-unit", "all-addresses"};

std::array<std::uint8_t, 256> memoryOf(const sim::DeviceModel& device) {
    std::array<std::uint8_t, 256> cells{};
    for (int a = 0; a < 256; ++a) cells[static_cast<std::size_t>(a)] = device.memory(a);
    return cells;
}

// Any byte in every cell, but for the two cells whose values the form
// refuses to show at all (a read of them changes nothing).
void scramble(sim::DeviceModel& device, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int a = 0; a < 256; ++a) device.setMemory(a, static_cast<std::uint8_t>(byte(random)));
    device.setMemory(50, static_cast<std::uint8_t>(byte(random) % 4));
    device.setMemory(61, static_cast<std::uint8_t>(byte(random) % 3));
}

// The bytes a write sent, by address.
std::map<int, int> writtenBytes(const sim::DeviceModel& device) {
    std::map<int, int> out;
    for (const auto& frame : device.frameLog())
        if (frame[4] == 2) out[frame[5]] = frame[6];
    return out;
}

// The rows whose display is a plain number: shown and read back through the
// regional separators, with nothing capped, stepped or dropped on the way.
bool plainNumber(int address) {
    if (params::holdsChoice(address)) return false;
    switch (address) {
        case 17:
        case 19:
        case 23:   // light levels go through the sensor's steps
        case 57:   // shown as 999 from 1000 on
        case 231:  // a 0 cell shows no character
            return false;
        default:
            return true;
    }
}

TEST(RegionalNumbers, EveryFieldShowsWhatItReadsBackInEveryRegion) {
    for (const Region& region : kRegions) {
        for (unsigned seed : {1u, 2u, 3u}) {
            StartedProgram started;
            auto& p = *started.program;
            params::CodecContext context{p.state.frm, p.state.lux, region.numbers};
            params::ParameterImage image{};
            std::mt19937 random(seed);
            for (auto& cell : image) cell = static_cast<std::int32_t>(random() % 256);
            if (seed == 3) image.fill(255);  // the largest value of every field
            image[50] %= 4;
            image[61] %= 3;
            for (int a : params::readDecodeOrder()) params::decodeRow(a, image, context);
            const params::ParameterImage encoded = params::encodeImage(context);
            for (int a : params::rowAddresses()) {
                if (!plainNumber(a)) continue;
                for (int i = 0; i < params::rowLength(a); ++i)
                    EXPECT_EQ(encoded[static_cast<std::size_t>(a + i)], image[static_cast<std::size_t>(a + i)])
                        << region.name << ", " << params::fieldAt(a) << " shown as \""
                        << probe(p.state.frm.controls().at(params::fieldAt(a)), "Text") << "\", cell " << a + i;
            }
        }
    }
}

TEST(RegionalNumbers, GroupedInputIsReadWhereTheMarkCanBeToldApart) {
    const platform::NumberFormat french{",", "\u202f"}, swiss{".", "\u2019"}, ambiguous{",", ","};
    EXPECT_EQ(params::strictNumber("1\u202f234,5", french).scaled, 12345000);
    EXPECT_EQ(params::strictNumber("10,0000", french).scaled, 100000) << "never a grouping comma";
    EXPECT_EQ(params::strictNumber("1\u2019677.5", swiss).scaled, 16775000);
    EXPECT_EQ(params::strictNumber("10,5", ambiguous).scaled, 105000);
    EXPECT_THROW(params::strictNumber("1,000,5", ambiguous), params::ConversionError);
    EXPECT_EQ(params::formatScaled(100000, 4, "\u066b"), "10\u066b0000") << "a decimal mark of more than one byte";
    EXPECT_EQ(params::strictNumber("10\u066b5", {"\u066b", "\u066c"}).scaled, 105000);
}

// The property that matters most: a unit read and written back without an
// edit keeps every byte, in every region, whatever its cells hold.
TEST(RoundTrip, ReadThenWriteWithoutAnEditSendsBackEveryByteRead) {
    for (const char* scenario : kScenarios) {
        for (const Region& region : kRegions) {
            for (unsigned seed : {0u, 7u}) {
                if (seed != 0 && std::string(scenario) != "all-addresses") continue;
                UnitRig rig(scenario);
                rig.started.machine.platform.numbers = region.numbers;
                if (seed != 0) scramble(rig.device(), seed + static_cast<unsigned>(&region - kRegions));
                const auto before = memoryOf(rig.device());
                ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done) << scenario << " " << region.name;
                rig.device().clearFrameLog();
                const auto written = ops::writeUnit(rig.program().state);
                EXPECT_EQ(written, ops::End::Done) << scenario << " " << region.name << ": " << rig.frm().status();
                EXPECT_EQ(memoryOf(rig.device()), before) << scenario << " " << region.name << " seed " << seed;
                for (auto [address, value] : writtenBytes(rig.device()))
                    EXPECT_EQ(value, before[static_cast<std::size_t>(address)])
                        << scenario << " " << region.name << " seed " << seed << ": address " << address << " ("
                        << params::fieldAt(address) << ")";
            }
        }
    }
}

TEST(RoundTrip, AnEditChangesItsOwnCellsAndAnEditTypedBackChangesNothing) {
    UnitRig rig("all-addresses");
    rig.started.machine.platform.numbers = {",", "\u202f"};
    rig.device().setMemory(17, 310 / 256);  // 310: between two steps of the sensor's table
    rig.device().setMemory(18, 310 % 256);
    rig.device().setMemory(54, 0xA5);  // the beacon in bit 0, other bits beside it
    const auto before = memoryOf(rig.device());
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const std::string pwm = rig.frm().TPWMLed.Text();
    rig.frm().TPWMLed.setText("81");
    rig.frm().TVelocidadUsuario1.setText("12,5");
    rig.frm().TTiempoLampara1.setText("99");
    rig.frm().TTiempoLampara1.setText(params::formatScaled(before[28] * 256 + before[29], 1, ","));  // typed back
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done) << rig.frm().status();
    auto expected = before;
    expected[49] = 81;
    expected[0] = 0x01, expected[1] = 0xE8, expected[2] = 0x48;  // 125000
    EXPECT_EQ(memoryOf(rig.device()), expected);
    EXPECT_NE(pwm, "81");
}

TEST(RoundTrip, ReadSaveOpenWriteGivesBackTheUnitsNumbers) {
    for (const Region& region : {kRegions[2], kRegions[4], kRegions[6]}) {
        UnitRig rig("all-addresses");
        rig.started.machine.platform.numbers = region.numbers;
        scramble(rig.device(), 11);
        const auto original = memoryOf(rig.device());
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        const auto file = (rig.started.machine.folder.path() / "unit.zrk");
        ops::saveParameterFile(rig.program().state, file);
        // The unit changes meanwhile; read it again, open the file, write.
        for (int a : params::rowAddresses())
            for (int i = 0; i < params::rowLength(a); ++i)
                if (a + i < 247) rig.device().setMemory(a + i, 0);
        rig.device().setMemory(50, 0);
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        ops::openParameterFile(rig.program().state, file);
        ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done) << region.name << ": " << rig.frm().status();
        for (int a : params::rowAddresses()) {
            if (a >= 247 || params::holdsChoice(a)) continue;
            for (int i = 0; i < params::rowLength(a); ++i)
                EXPECT_EQ(rig.device().memory(a + i), original[static_cast<std::size_t>(a + i)])
                    << region.name << ": " << params::fieldAt(a) << " cell " << a + i;
        }
    }
}

TEST(UnitBinding, AFailedIdentificationOrReadLeavesTheFormWithoutAUnit) {
    for (const char* failure : {"identification gets no answer", "read fails at address 30", "read is cancelled"}) {
        bool failing = false;
        UnitRig rig("led-lantern", [&](const FrameHookPort::Frame& f) {
            return failing && (failure[0] == 'i' ? f.command == 128 : f.command == 1 && f.parameter1 == 30);
        });
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        const std::string speed = rig.frm().TVelocidadUsuario1.Text();
        failing = true;
        if (std::string(failure) == "read is cancelled")
            rig.started.machine.events.onEvents = [&] { rig.program().state.progress.requestCancel(); };
        EXPECT_NE(ops::readUnit(rig.program().state), ops::End::Done) << failure;
        failing = false;
        rig.started.machine.events.onEvents = nullptr;
        EXPECT_EQ(rig.frm().TVelocidadUsuario1.Text(), speed) << "the window keeps its values";
        rig.device().clearFrameLog();
        EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NothingToDo) << failure;
        EXPECT_EQ(rig.frames(), 0u) << failure;
        EXPECT_EQ(rig.frm().status(), "Nothing written: read the unit first") << failure;
    }
}

TEST(UnitBinding, AnotherUnitOnTheLineGetsNothing) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const int read = rig.device().memory(254) * 256 + rig.device().memory(255);
    rig.frm().TPWMLed.setText("10");
    rig.device().setMemory(254, 0x07);  // unit B, with identifier number 1800
    rig.device().setMemory(255, 0x08);
    const auto before = memoryOf(rig.device());
    rig.device().clearFrameLog();
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::WrongUnit);
    EXPECT_EQ(memoryOf(rig.device()), before);
    EXPECT_TRUE(writtenBytes(rig.device()).empty());
    EXPECT_EQ(rig.frames(), 2u) << "cells 254 and 255 read, nothing else";
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find("1800"), std::string::npos) << rig.started.messages()[0];
    EXPECT_NE(rig.started.messages()[0].find(std::to_string(read)), std::string::npos) << rig.started.messages()[0];
    EXPECT_EQ(rig.started.messages()[0].find("Reintente"), std::string::npos) << "a retry cannot help";
    EXPECT_FALSE(rig.unit().isOpen());
    EXPECT_TRUE(rig.frm().CEscribir.Enabled());
}

TEST(UnitBinding, ANewIdentifierNumberWrittenIsTheUnitsFromThenOn) {
    UnitRig rig;
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    rig.frm().TNumeroID.setText("4660");
    ASSERT_EQ(ops::writeUnit(rig.program().state), ops::End::Done);
    rig.frm().TPWMLed.setText("12");
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::Done) << rig.frm().status();
    EXPECT_EQ(rig.device().memory(49), 12);
}

TEST(VerifyAfterWrite, ACellThatDoesNotKeepItsByteIsNamed) {
    UnitRig rig;
    rig.unit().unit().setFaults(sim::parseFaults({"stuck=49"}));
    ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
    const int held = rig.device().memory(49);
    rig.frm().TPWMLed.setText("33");
    EXPECT_EQ(ops::writeUnit(rig.program().state), ops::End::NotVerified);
    const std::string line = "Address 49: written 33, the unit holds " + std::to_string(held);
    EXPECT_NE(rig.frm().status().find(line), std::string::npos) << rig.frm().status();
    ASSERT_EQ(rig.started.messages().size(), 1u);
    EXPECT_NE(rig.started.messages()[0].find(line), std::string::npos) << rig.started.messages()[0];
    EXPECT_FALSE(rig.program().state.progress.active());
}

TEST(VerifyAfterWrite, ReadsBackEverySentAddressUnlessSwitchedOff) {
    for (bool verify : {true, false}) {
        UnitRig rig;
        if (!verify) rig.started.machine.store.setValue("ZRK", "Write", "Verify", "false");
        rig.unit().unit().setFaults(sim::parseFaults({"stuck=49"}));
        ASSERT_EQ(ops::readUnit(rig.program().state), ops::End::Done);
        rig.frm().TPWMLed.setText("33");
        int steps = 0, planned = 0;
        rig.started.machine.events.onEvents = [&] {
            planned = std::max(planned, rig.program().state.progress.total());
            steps = std::max(steps, rig.program().state.progress.done());
        };
        rig.device().clearFrameLog();
        EXPECT_EQ(ops::writeUnit(rig.program().state), verify ? ops::End::NotVerified : ops::End::Done);
        const auto sent = writtenBytes(rig.device()).size();
        const auto reads = rig.frames() - sent;
        EXPECT_EQ(reads, verify ? sent + 2 : 2u) << "the identifier check, then one read per written address";
        EXPECT_EQ(planned, static_cast<int>(rig.frames())) << "the progress bar counts the read-back";
    }
}

}  // namespace
}  // namespace zrk::test
