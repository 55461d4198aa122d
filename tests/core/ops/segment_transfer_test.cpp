// The flash-pattern table to and from the unit's four segment tables: the
// offset layout, then both transfers against the simulated unit with lost
// frames, Cancel and a lost line.
#include "ops/segment_transfer.h"

#include <gtest/gtest.h>

#include "frame_hook_port.h"
#include "ops/device_operation.h"
#include "ops/table_write.h"
#include "started_program.h"

namespace zrk::test {
namespace {

using ops::SegmentBlock;

tables::FlashTable startUpTable() {
    tables::FlashTable table;
    for (int row = 1; row <= 8; ++row) {
        table.color(row) = row;
        for (int col = 1; col <= 32; ++col) table.pauta(row, col) = tables::kEmptyAngle;
    }
    return table;
}

bool transferred(int offset) { return (offset >= 0 && offset <= 66) || (offset >= 128 && offset <= 194); }

TEST(SegmentLayout, ColoursTravelBlueFirst) {
    struct Case {
        std::int32_t colour;
        std::int32_t blue, green, red;
    };
    const Case cases[] = {
        {255, 0, 0, 255},
        {0xFF0000, 255, 0, 0},
        {0x123456, 0x12, 0x34, 0x56},
        {0x7F123456, 0x12, 0x34, 0x56},  // only 24 bits travel
    };
    for (const Case& c : cases) {
        tables::FlashTable table = startUpTable();
        table.color(5) = c.colour;
        table.color(6) = c.colour;
        SegmentBlock block{};
        ops::encodeSegmentTable(table, 3, block);
        for (int base : {0, 128}) {
            EXPECT_EQ(block[base], c.blue) << c.colour;
            EXPECT_EQ(block[base + 1], c.green) << c.colour;
            EXPECT_EQ(block[base + 2], c.red) << c.colour;
        }
    }
}

TEST(SegmentLayout, EntriesTravelHighByteFirst) {
    struct Case {
        std::int32_t entry;
        std::int32_t high, low;
    };
    const Case cases[] = {{359, 1, 103}, {511, 1, 255}, {0, 0, 0}, {0x12345, 0x23, 0x45}, {-1, 255, 255}};
    for (const Case& c : cases) {
        tables::FlashTable table = startUpTable();
        table.pauta(1, 1) = c.entry;
        table.pauta(2, 32) = c.entry;
        SegmentBlock block{};
        ops::encodeSegmentTable(table, 1, block);
        EXPECT_EQ(block[3], c.high) << c.entry;
        EXPECT_EQ(block[4], c.low) << c.entry;
        EXPECT_EQ(block[193], c.high) << c.entry;
        EXPECT_EQ(block[194], c.low) << c.entry;
    }
}

TEST(SegmentLayout, EachTableHoldsItsTwoRowsAtTheirOffsets) {
    tables::FlashTable table;
    for (int row = 1; row <= 8; ++row) {
        table.color(row) = row * 0x010101;
        for (int col = 1; col <= 32; ++col) table.pauta(row, col) = row * 1000 + col;
    }
    for (int n = 1; n <= 4; ++n) {
        SegmentBlock block;
        block.fill(-7);
        ops::encodeSegmentTable(table, n, block);
        for (int offset = 0; offset < 256; ++offset)
            EXPECT_EQ(block[offset] == -7, !transferred(offset)) << "table " << n << " offset " << offset;
        for (int col = 1; col <= 32; ++col) {
            EXPECT_EQ(block[2 * col + 1] * 256 + block[2 * col + 2], (2 * n - 1) * 1000 + col);
            EXPECT_EQ(block[2 * col + 129] * 256 + block[2 * col + 130], 2 * n * 1000 + col);
        }
        EXPECT_EQ(block[2], 2 * n - 1);
        EXPECT_EQ(block[130], 2 * n);

        tables::FlashTable decoded;
        ops::decodeSegmentTable(block, n, decoded);
        for (int row : {2 * n - 1, 2 * n}) {
            EXPECT_EQ(decoded.color(row), table.color(row));
            for (int col = 1; col <= 32; ++col) EXPECT_EQ(decoded.pauta(row, col), table.pauta(row, col));
        }
        for (int row = 1; row <= 8; ++row) {
            if (row == 2 * n - 1 || row == 2 * n) continue;
            EXPECT_EQ(decoded.color(row), 0) << "other rows untouched";
        }
    }
}

TEST(SegmentLayout, StatusTexts) {
    EXPECT_EQ(ops::progressText(1, 5, 12), " 1 - 005 - 012");
    EXPECT_EQ(ops::progressText(4, 194, 255), " 4 - 194 - 255");
    EXPECT_EQ(ops::errorText(5), "Reading Error in data 5");
    EXPECT_EQ(ops::errorText(130), "Reading Error in data 130");
    const texts::TextTable english(texts::Language::English), spanish(texts::Language::SpanishModern),
        french(texts::Language::French);
    EXPECT_EQ(ops::writeEndText(english, 0), "Ended");
    EXPECT_EQ(ops::writeEndText(english, 2), "Ended, halves failed  2");
    EXPECT_EQ(ops::writeEndText(spanish, 2), "Terminado, mitades fallidas: 2");
    EXPECT_EQ(ops::writeEndText(french, 1), "Terminé, moitiés en échec : 1");
}

// A failed half in every set: a write's text puts the table, the half and
// the offset in their places, leaving nothing of the place holders; a read
// keeps its status text and adds the table and the half.
TEST(SegmentLayout, ErrorTextsInEveryLanguage) {
    using texts::Language;
    struct Case {
        bool reading;
        Language language;
        int n, halfStart, offset;
        const char* text;
    };
    const Case cases[] = {
        {false, Language::English, 1, 0, 0, "Writing Error in table 1, first half, data 0"},
        {false, Language::English, 4, 128, 194, "Writing Error in table 4, second half, data 194"},
        {false, Language::Neutral, 3, 128, 131, "Writing Error in table 3, second half, data 131"},
        {false, Language::SpanishModern, 2, 0, 66, "Error de escritura en la tabla 2, primera mitad, dato 66"},
        {false, Language::SpanishTraditional, 2, 128, 128, "Error de escritura en la tabla 2, segunda mitad, dato 128"},
        {false, Language::French, 1, 0, 5, "Erreur d'écriture dans la table 1, première moitié, donnée 5"},
        {false, Language::French, 4, 128, 140, "Erreur d'écriture dans la table 4, seconde moitié, donnée 140"},
        {true, Language::English, 3, 128, 5, "Reading Error in data 5 \u2014 table 3, second half"},
        {true, Language::SpanishModern, 1, 0, 66, "Reading Error in data 66 \u2014 tabla 1, primera mitad"},
        {true, Language::French, 4, 128, 194, "Reading Error in data 194 \u2014 table 4, seconde moiti\u00e9"},
    };
    for (const Case& c : cases) {
        const texts::TextTable texts(c.language);
        const auto text = c.reading ? ops::readErrorText(texts, c.n, c.halfStart, c.offset)
                                    : ops::writeErrorText(texts, c.n, c.halfStart, c.offset);
        EXPECT_EQ(text, c.text) << texts::languageTag(c.language);
    }
}

// A started program with the simulated unit behind a line the test watches.
struct Transfer {
    explicit Transfer(const std::string& scenario = "led-lantern", sim::Faults faults = {})
        : started(kDefaultIni, hookedUnit(scenario, faults)) {
        port().frames.clear();
        program().state.progress.changed = [this] {
            const auto& p = program().state.progress;
            if (p.active()) {
                maxDone = std::max(maxDone, p.done());
                total = p.total();
            }
        };
        frm().controls().hub().subscribe([this](form::Control& c, form::Prop prop) {
            if (prop == form::Prop::Panels) statuses.push_back(static_cast<form::StatusBar&>(c).text(1));
        });
    }
    StartedProgram started;
    std::vector<std::string> statuses;
    int maxDone = 0, total = 0;

    app::Program& program() { return *started.program; }
    form::FrmMain& frm() { return started.frm(); }
    FrameHookPort& port() { return started.port<FrameHookPort>(); }
    sim::DeviceModel& unit() { return port().device(); }
    tables::FlashTable& table() { return program().state.flash; }
    int beeps() const { return started.machine.ui.beeps; }
    // The whole table as the grid and the labels show it, unplanned: the
    // transfer the planned write's cells go through.
    ops::Outcome<ops::TransferReport> writeWhole() {
        return ops::guarded(program().state, [this] { return ops::EscribirColores(program().state); });
    }

    // Loses every attempt of the frames for these (command, offset) pairs.
    void loseFrames(std::vector<std::pair<int, int>> lost) {
        port().onFrame = [lost](const FrameHookPort::Frame& f) {
            return std::find(lost.begin(), lost.end(), std::pair<int, int>{f.command, f.parameter1}) != lost.end();
        };
    }
    // Presses Cancel when the frame for (command, offset) goes out.
    void cancelAt(int command, int offset) {
        port().onFrame = [this, command, offset](const FrameHookPort::Frame& f) {
            if (f.command == command && f.parameter1 == offset) program().state.progress.requestCancel();
            return false;
        };
    }
    void markUnitTables(std::uint8_t marker) {
        for (int n = 1; n <= 4; ++n)
            for (int offset = 0; offset < 256; ++offset) unit().setSegment(n, offset, marker);
    }
    // Something of the operator's own in the table, so that a change shows.
    void editTable() {
        started.machine.ui.colors = {0x3366CC};
        frm().LColor(1).Click();
        auto& grid = frm().MSFlexGridPautas;
        grid.LeaveCell();
        grid.setCurrent(1, 1);
        for (int key : {int{'4'}, int{'5'}, tables::kKeyTab, int{'9'}, int{'0'}, tables::kKeyTab}) grid.KeyPress(key);
        ASSERT_EQ(table().pauta(1, 2), 90);
    }
    void expectOperationClosed() {
        EXPECT_FALSE(port().isOpen());
        EXPECT_FALSE(program().state.progress.active());
        for (auto* button : {&frm().CAbrir, &frm().CGuardar, &frm().CLeer, &frm().CEscribir, &frm().CLeerColores,
                             &frm().CEscribirColores})
            EXPECT_TRUE(button->Enabled()) << button->key();
    }
};

struct GridPicture {
    std::vector<std::string> cells;
    std::vector<std::string> captions;
    std::vector<form::GridColor> headers;
    bool operator==(const GridPicture&) const = default;
};

GridPicture picture(form::FrmMain& frm) {
    GridPicture p;
    for (int row = 1; row <= 8; ++row) {
        p.captions.push_back(frm.LColor(row).Caption());
        p.headers.push_back(frm.MSFlexGridPautas.CellBackColor(row, 0));
        for (int col = 1; col <= 32; ++col) p.cells.push_back(frm.MSFlexGridPautas.TextMatrix(row, col));
    }
    return p;
}

TEST(SegmentTransfer, WriteAfterStartUpSendsTheLabelColoursAndEmptyEntries) {
    Transfer t;
    t.markUnitTables(0xAA);
    bool buttonsOffDuring = false;
    t.port().onFrame = [&](const FrameHookPort::Frame&) {
        buttonsOffDuring = !t.frm().CLeer.Enabled() && !t.frm().CAbrir.Enabled() && !t.frm().CLeerColores.Enabled();
        return false;
    };
    t.writeWhole();

    ASSERT_EQ(t.port().frames.size(), 2 * 536u) << "written, then read back";
    std::size_t i = 0;
    for (int n = 1; n <= 4; ++n)
        for (int offset = 0; offset < 256; ++offset) {
            if (!transferred(offset)) {
                EXPECT_EQ(t.unit().segment(n, offset), 0xAA) << "offset " << offset << " never travels";
                continue;
            }
            const auto& f = t.port().frames[i];
            EXPECT_EQ(f.command, 130 + n);
            EXPECT_EQ(f.parameter1, offset);
            EXPECT_EQ(f.parameter2, t.unit().segment(n, offset));
            const auto& readBack = t.port().frames[536 + i++];
            EXPECT_EQ(readBack.command, 134 + n);
            EXPECT_EQ(readBack.parameter1, offset);
        }
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(t.unit().segment(n, 0), 0);
        EXPECT_EQ(t.unit().segment(n, 2), 2 * n - 1);
        EXPECT_EQ(t.unit().segment(n, 130), 2 * n);
        EXPECT_EQ(t.unit().segment(n, 65), 1);
        EXPECT_EQ(t.unit().segment(n, 66), 255);
    }
    for (int row = 1; row <= 8; ++row) EXPECT_EQ(t.table().color(row), row) << "the table takes the label colours";
    const std::vector<std::string> first(t.statuses.begin(), t.statuses.begin() + 6);
    EXPECT_EQ(first, (std::vector<std::string>{"Segments transmision", " 1 - 000 - 000", " 1 - 001 - 000",
                                               " 1 - 002 - 001", " 1 - 003 - 001", " 1 - 004 - 255"}));
    EXPECT_EQ(t.frm().status(), "Ended");
    EXPECT_TRUE(buttonsOffDuring);
    EXPECT_EQ(t.total, 2 * 536);
    EXPECT_EQ(t.maxDone, 2 * 536);
    EXPECT_EQ(t.beeps(), 0);
    EXPECT_TRUE(t.started.messages().empty());
    t.expectOperationClosed();
}

TEST(SegmentTransfer, WithoutVerificationNothingIsReadBack) {
    Transfer t;
    t.program().state.verifyOverride = false;
    const auto outcome = t.writeWhole();
    EXPECT_EQ(outcome, ops::End::Done);
    EXPECT_EQ(t.port().frames.size(), 536u);
    EXPECT_EQ(t.total, 536);
    EXPECT_EQ(t.maxDone, 536);
    EXPECT_EQ(t.frm().status(), "Ended");
}

TEST(SegmentTransfer, ReadShowsTheUnitsTable) {
    Transfer t;
    t.frm().CLeerColores.Click();

    ASSERT_EQ(t.port().frames.size(), 536u + 2) << "the table, then whose it is";
    EXPECT_EQ(t.port().frames.front().command, 135);
    EXPECT_EQ(t.port().frames[535].command, 138);
    EXPECT_EQ(t.port().frames[535].parameter1, 194);
    EXPECT_EQ(t.port().frames.back().parameter1, 255);
    auto& grid = t.frm().MSFlexGridPautas;
    const std::vector<std::vector<std::string>> rows = {{"000", "120", "240", "359"}, {"120", "180"}, {"180", "240"}};
    for (int row = 1; row <= 8; ++row)
        for (int col = 1; col <= 32; ++col) {
            const auto& shown = row <= 3 ? rows[static_cast<std::size_t>(row - 1)] : std::vector<std::string>{};
            const std::string expected = col <= static_cast<int>(shown.size()) ? shown[col - 1] : "";
            EXPECT_EQ(grid.TextMatrix(row, col), expected) << row << "," << col;
            if (expected.empty()) {
                EXPECT_EQ(t.table().pauta(row, col), 511) << row << "," << col;
            }
        }
    const std::int32_t colours[] = {0xFFFFFF, 0x0000FF, 0x00FF00, 0, 0, 0, 0, 0};
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(t.table().color(row), colours[row - 1]);
        EXPECT_EQ(t.frm().LColor(row).Caption(), std::to_string(colours[row - 1]));
        EXPECT_EQ(grid.CellBackColor(row, 0), (form::GridColor{form::GridColor::Kind::Rgb, colours[row - 1]}));
    }
    EXPECT_EQ(t.frm().status(), "Ended");
    EXPECT_EQ(t.maxDone, 538);
    ASSERT_TRUE(t.program().state.flashOfUnit.has_value()) << "kept as the table of the unit read";
    EXPECT_EQ(t.program().state.flashOfUnit->identifier, t.unit().memory(254) * 256 + t.unit().memory(255));
    EXPECT_EQ(t.program().state.flashOfUnit->table, t.table());
    t.expectOperationClosed();
}

TEST(SegmentTransfer, WhatIsWrittenReadsBack) {
    Transfer t;
    t.editTable();
    t.table().pauta(8, 32) = 359;  // the far corner, as a file would set it
    t.writeWhole();
    const tables::FlashTable written = t.table();

    t.frm().CBorrarTabla.Click();
    tables::FlashTable other = startUpTable();
    tables::RellenarColores(t.frm(), other, t.program().state.texts);
    t.frm().CLeerColores.Click();

    EXPECT_EQ(t.table(), written);
    EXPECT_EQ(t.frm().LColor(1).Caption(), std::to_string(0x3366CC));
    EXPECT_EQ(t.frm().MSFlexGridPautas.TextMatrix(1, 1), "045");
    EXPECT_EQ(t.frm().MSFlexGridPautas.TextMatrix(1, 2), "090");
    EXPECT_EQ(t.frm().MSFlexGridPautas.TextMatrix(8, 32), "359");
}

TEST(SegmentTransfer, AFailedReadChangesNothingAndKeepsItsErrorText) {
    Transfer t;
    t.editTable();
    const tables::FlashTable before = t.table();
    const GridPicture shown = picture(t.frm());
    t.loseFrames({{137, 10}});
    t.frm().CLeerColores.Click();

    EXPECT_EQ(t.table(), before);
    EXPECT_EQ(picture(t.frm()), shown);
    EXPECT_EQ(t.frm().status(), "Reading Error in data 10 \u2014 table 3, first half");
    EXPECT_TRUE(t.started.messages().empty()) << "the status line says it";
    EXPECT_EQ(t.beeps(), 1);
    ASSERT_EQ(t.port().frames.size(), 2u * 134 + 10 + 3) << "the read stops at the failed transaction";
    EXPECT_EQ(t.port().frames.back().command, 137);
    EXPECT_EQ(t.port().frames.back().parameter1, 10);
    t.expectOperationClosed();
}

TEST(SegmentTransfer, AReadWithoutUnitShowsNoZeros) {
    StartedProgram started;  // the fake port: it opens, nothing answers
    const tables::FlashTable before = started.program->state.flash;
    const double t0 = started.machine.clock.now();
    started.frm().CLeerColores.Click();
    EXPECT_EQ(started.program->state.flash, before);
    EXPECT_EQ(started.frm().MSFlexGridPautas.TextMatrix(1, 1), "");
    EXPECT_EQ(started.frm().LColor(1).Caption(), "1");
    EXPECT_EQ(started.frm().status(), "Reading Error in data 0 \u2014 table 1, first half");
    EXPECT_EQ(started.machine.ui.beeps, 1);
    EXPECT_GE(started.machine.clock.now() - t0, 3 * 2.0 + 1.0) << "three attempts, then the error pause";
    EXPECT_FALSE(started.machine.fakePort.isOpen());
}

TEST(SegmentTransfer, AWriteSkipsTheRestOfAFailedHalfAndGoesOn) {
    Transfer t;
    t.markUnitTables(0xAA);
    t.loseFrames({{132, 130}, {134, 5}});
    t.writeWhole();

    for (int n = 1; n <= 4; ++n)
        for (int offset = 0; offset < 256; ++offset) {
            const bool skipped = (n == 2 && offset >= 130 && offset <= 194) || (n == 4 && offset >= 5 && offset <= 66);
            EXPECT_EQ(t.unit().segment(n, offset) == 0xAA, skipped || !transferred(offset))
                << "table " << n << " offset " << offset;
        }
    // The answered cells are read back, and the two whose write went
    // unanswered (the unit may have taken them); the skipped rests are not.
    const std::size_t answered = 536u - 65 - 62;
    EXPECT_EQ(t.port().frames.size(), answered + 2 * 3 + answered + 2);
    EXPECT_EQ(t.frm().status(), "Ended, halves failed  2");
    EXPECT_EQ(t.started.messages(),
              (std::vector<std::string>{"Ended, halves failed  2\n"
                                        "table 2, second half: stopped at offset 130, no answer\n"
                                        "table 4, first half: stopped at offset 5, no answer\n"
                                        "table 2, second half, offset 130: written 4, the unit "
                                        "holds 170\n"
                                        "table 4, first half, offset 5: written 1, the unit holds "
                                        "170"}));
    EXPECT_EQ(t.beeps(), 2);
    // Each failed half says it was writing, which table, which half and where.
    const std::vector<std::string> failures = {"Writing Error in table 2, second half, data 130",
                                               "Writing Error in table 4, first half, data 5"};
    for (const auto& failure : failures)
        EXPECT_NE(std::find(t.statuses.begin(), t.statuses.end(), failure), t.statuses.end()) << failure;
    for (const auto& status : t.statuses) EXPECT_EQ(status.find("Reading"), std::string::npos) << status;
    EXPECT_EQ(t.maxDone, 2 * 536) << "skipped transactions and their read-back count as done";
    t.expectOperationClosed();
}

// Two failed transactions in a row that heard nothing: the write stops
// there, beeps for each, reads nothing back and tells the operator where.
TEST(SegmentTransfer, AWriteOnALineThatDiesStopsThere) {
    Transfer t;
    bool dead = false;
    t.port().onFrame = [&](const FrameHookPort::Frame& f) {
        dead = dead || (f.command == 133 && f.parameter1 == 31);
        return dead;
    };
    const auto outcome = t.writeWhole();

    EXPECT_EQ(outcome, ops::End::NoAnswer);
    using ops::SegmentCell, ops::StopCause;
    EXPECT_EQ(outcome.payload.stopped,
              (std::vector<ops::StoppedHalf>{{SegmentCell{3, 0, 31}, StopCause::NoAnswer},
                                             {SegmentCell{3, 128, 128}, StopCause::LineDead}}));
    EXPECT_EQ(outcome.payload.deadFrom, (SegmentCell{3, 0, 31}));
    EXPECT_EQ(outcome.payload.lastAcknowledged, (SegmentCell{3, 0, 30}));
    EXPECT_EQ(t.port().frames.size(), 2u * 134 + 31 + 2 * 3);
    EXPECT_EQ(t.beeps(), 2);
    EXPECT_EQ(t.frm().status(), "Writing stopped, the line went dead at table 3, first half, offset 31");
    EXPECT_EQ(t.started.messages(), std::vector<std::string>{outcome.message});
    EXPECT_EQ(outcome.message.rfind(t.frm().status() + "\n", 0), 0u) << outcome.message;
    t.expectOperationClosed();
}

TEST(SegmentTransfer, CancelStopsAtOnceAndSaysSo) {
    struct Case {
        bool writing;
        int command, offset;
        std::string status;
    };
    const Case cases[] = {
        {false, 136, 20, "Reading cancelled, the table is unchanged"},
        {false, 135, 0, "Reading cancelled, the table is unchanged"},
        {true, 133, 130, "Writing cancelled, the unit holds part of the table"},
        // in the read-back: the table went out whole
        {true, 136, 10, "Verifying cancelled: the table was written, not all of it was read back"},
    };
    for (const Case& c : cases) {
        Transfer t;
        t.editTable();
        t.markUnitTables(0xAA);
        const tables::FlashTable before = t.table();
        const GridPicture shown = picture(t.frm());
        t.cancelAt(c.command, c.offset);
        const auto outcome = c.writing ? t.writeWhole() : ops::CLeerColores_Click(t.program().state);

        EXPECT_EQ(outcome, ops::End::Cancelled);
        EXPECT_EQ(t.port().frames.back().command, c.command) << "nothing goes out after the cancel";
        EXPECT_EQ(t.port().frames.back().parameter1, c.offset);
        EXPECT_EQ(std::count_if(t.port().frames.begin(), t.port().frames.end(),
                                [&](const auto& f) { return f.command == c.command && f.parameter1 == c.offset; }),
                  1)
            << "no further attempts";
        EXPECT_EQ(t.frm().status(), c.status);
        EXPECT_EQ(t.beeps(), 0);
        if (!c.writing) {
            EXPECT_EQ(t.table(), before);
            EXPECT_EQ(picture(t.frm()), shown);
        } else {
            const bool readingBack = c.command > 134;
            EXPECT_EQ(t.unit().segment(4, 0) == 0xAA, !readingBack) << "the last table is reached: " << readingBack;
        }
        t.expectOperationClosed();
    }
}

TEST(SegmentTransfer, ALostLineEndsTheReadWithAMessageAndNoChange) {
    sim::Faults faults;
    faults.disconnectAfter = 300;
    Transfer t("led-lantern", faults);
    t.editTable();
    const tables::FlashTable before = t.table();
    const auto outcome = ops::CLeerColores_Click(t.program().state);
    EXPECT_EQ(outcome, ops::End::PortError);
    ASSERT_EQ(t.started.machine.ui.messages.size(), 1u);
    EXPECT_EQ(t.started.machine.ui.messages[0].text, outcome.message);
    EXPECT_EQ(t.table(), before);
    t.expectOperationClosed();
}

TEST(SegmentTransfer, NoSecondOperationWhileOneRuns) {
    Transfer t;
    std::optional<ops::Outcome<ops::TableWriteResult>> nested;
    t.port().onFrame = [&](const FrameHookPort::Frame& f) {
        if (f.command == 135 && f.parameter1 == 3) nested = ops::CEscribirColores_Click(t.program().state);
        return false;
    };
    const auto outcome = ops::CLeerColores_Click(t.program().state);
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(*nested, ops::End::NotStarted) << "the write did not start";
    EXPECT_EQ(outcome, ops::End::Done);
    EXPECT_EQ(
        std::count_if(t.port().frames.begin(), t.port().frames.end(), [](const auto& f) { return f.command == 131; }),
        0);
}

}  // namespace
}  // namespace zrk::test
