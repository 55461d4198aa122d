// The order in which the main window starts up, as a machine that records
// what the program does to it sees it: the window model's changes, the port,
// the settings file and the tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "started_program.h"

namespace zrk::test {
namespace {

// Port operations go into the shared record as they happen.
class RecordingPort : public FakeSerialPort {
public:
    std::function<void(const std::string&)> record;
    void setPortNumber(int number) override {
        FakeSerialPort::setPortNumber(number);
        if (record) record("port set " + std::to_string(number));
    }
    void open() override {
        FakeSerialPort::open();
        if (record) record("port open " + std::to_string(portNumber()));
    }
    void close() override {
        const bool wasOpen = isOpen();
        FakeSerialPort::close();
        if (record && wasOpen) record("port close " + std::to_string(portNumber()));
    }
};

// A start with everything observable recorded in one sequence. A settings
// file that appears is recorded and taken away, so that every rewrite shows,
// also one with the same content.
struct RecordedStart {
    explicit RecordedStart(const std::string& ini)
        : machine([](VirtualClock&) { return std::make_unique<RecordingPort>(); }, ini) {
        machine.port<RecordingPort>().record = [this](const std::string& what) {
            mainHasRead();
            observe();
            add(what);
        };
        program = std::make_unique<app::Program>(machine.platform);
        program->state.emptyLoop = [this](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        machine.events.onEvents = [this] { observe(); };
        // The window model changes first in Form_Load, after Main has read the settings.
        program->state.frm.controls().hub().subscribe([this](form::Control& c, form::Prop prop) {
            mainHasRead();
            observe();
            modelChanged(c, prop);
        });
        exitCode = program->Main();
        observe();
    }

    void add(const std::string& what) {
        if (!windowShown) steps.push_back(what);
    }
    void once(const std::string& what) {
        if (seen.insert(what).second) add(what);
    }
    // Main has read the file the test put there: from now on a file is a rewrite.
    void mainHasRead() {
        if (readByMain) return;
        readByMain = true;
        std::filesystem::remove(machine.folder.path() / "zrk.ini");
    }
    void observe() {
        const auto ini = machine.folder.path() / "zrk.ini";
        if (readByMain && std::filesystem::exists(ini)) {
            const std::string text = machine.ini();
            const auto quote = text.find('"');
            add("settings written: " + text.substr(0, text.find("\r\n")) + " " +
                text.substr(quote, text.rfind('"') - quote + 1));
            writes.push_back(text);
            std::filesystem::remove(ini);
        }
        if (program && program->state.lux.TablaADFotocelula[1] != 0) once("lux tables built");
        if (program && !program->state.helpFile.empty()) once("help file named");
    }
    void modelChanged(form::Control& c, form::Prop prop) {
        using form::Prop;
        auto& frm = program->state.frm;
        if (&c == &frm.sbStatusBar && prop == Prop::Panels) {
            if (frm.sbStatusBar.text(1) != lastStatus) add("status: " + frm.sbStatusBar.text(1));
            lastStatus = frm.sbStatusBar.text(1);
            statusAfterShow.push_back(lastStatus);
            return;
        }
        if (&c == &frm.frmMain) {
            if (prop == Prop::Visible) {
                add(c.Visible() ? "window shown" : "window hidden");
                if (c.Visible()) {
                    windowShown = true;
                    statusAfterShow.clear();
                }
            }
            if (prop == Prop::Geometry || prop == Prop::Caption) once("window sized, placed and captioned");
            return;
        }
        const std::pair<const form::Control*, const char*> milestones[] = {
            {&frm.MSFlexGridPautas, "grid prepared"},
            {&frm.TLuxON, "model fields hidden"},
            {&frm.PictureInicio, "start picture hidden"},
            {&frm.ComboIdioma, "language list selected"},
            {&frm.ComboCom, "port list selected"},
            {&frm.ComboTipoLampara1, "parameter lists filled"},
            {&frm.ComboTipoCambiador, "changer type selected"},
            {&frm.ComboTipoMotor, "motor type selected"},
            {&frm.FrameP(1), "pages laid"},
            {&frm.CAbrir, "captions set"},
            {&frm.cmbModofuncionamiento, "operating mode selected"},
        };
        for (const auto& [control, name] : milestones) {
            if (&c != control) continue;
            // Lists count from their selection; filling them is part of the step.
            if (c.kind() == form::Kind::ComboBox && prop != Prop::ListIndex) return;
            once(name);
        }
    }

    FakeMachine machine;
    std::unique_ptr<app::Program> program;
    int exitCode = -1;
    std::vector<std::string> steps;  // up to the window being shown
    std::vector<std::string> writes;
    std::vector<std::string> statusAfterShow;
    std::set<std::string> seen;
    std::string lastStatus;
    bool readByMain = false;
    bool windowShown = false;
};

TEST(StartupOrder, StepsInTheirOrderUpToTheWindowShowing) {
    struct Case {
        const char* ini;
        const char* settings;
        int port;
    };
    const Case cases[] = {
        {"1\r\n0\r\n0\r\n\"1\"\r\n0\r\n", "1 \"1\"", 1},
        {"9\r\n5\r\n6\r\n\"34\"\r\n853\r\n", "9 \"34\"", 9},
        {"4\r\n0\r\n0\r\n\"44\"\r\n0\r\n", "4 \"1\"", 4},
    };
    for (const Case& c : cases) {
        RecordedStart start(c.ini);
        ASSERT_EQ(start.exitCode, 0) << c.ini;
        const std::string port = std::to_string(c.port);
        const std::string written = std::string("settings written: ") + c.settings;
        const std::vector<std::string> expected = {
            "grid prepared",
            "model fields hidden",
            "start picture hidden",
            "language list selected",
            written,
            "port set " + port,
            "port list selected",
            "port set " + port,
            "port open " + port,
            "port close " + port,
            written,
            "status: Serial Port  " + port,
            "parameter lists filled",
            "changer type selected",
            "status: Changes pending record",
            "motor type selected",
            "lux tables built",
            "window sized, placed and captioned",
            "pages laid",
            "help file named",
            "captions set",
            "operating mode selected",
            "status: Start reading the device",
            "window shown",
        };
        EXPECT_EQ(start.steps, expected) << c.ini;
        EXPECT_EQ(start.writes.size(), 2u) << "rewritten twice: language, then port";
        // After the window shows, only the speed test writes to the status line.
        EXPECT_EQ(start.statusAfterShow, (std::vector<std::string>{"Testing speed", "Index =  200000"}));
        EXPECT_TRUE(start.program->state.frm.frmMain.Visible());
        EXPECT_EQ(start.program->state.link.ContadorPausa, 200000);
    }
}

TEST(StartupOrder, TabsAndPagesAfterStartUp) {
    struct Case {
        const char* ini;
        std::vector<std::string> tabs;
    };
    const Case cases[] = {
        {"1\r\n0\r\n0\r\n\"1\"\r\n0\r\n", {"Flashes", "Rotation", "Remote control", "Setup", "Visualization"}},
        {"1\r\n0\r\n0\r\n\"1\"\r\n853\r\n",
         {"Flashes", "Rotation", "Remote control", "Setup", "Visualization", "V. Instantáneos"}},
    };
    for (const Case& c : cases) {
        StartedProgram started(c.ini);
        auto& frm = started.frm();
        EXPECT_EQ(frm.TabStrip1.captions(), c.tabs);
        EXPECT_EQ(frm.TabStrip1.selected(), 1);
        EXPECT_EQ(frm.FrameP(3).Caption(), "Flashes") << "the same text as page 1, while its tab reads 1165";
        for (int i : frm.FrameP.indices()) EXPECT_EQ(frm.FrameP(i).Visible(), i == 1) << i;
        // The tab at position 5 shows the page of the former sixth tab.
        frm.TabStrip1.select(5);
        EXPECT_TRUE(frm.FrameP(5).Visible()) << c.ini;
        EXPECT_FALSE(frm.FrameP(1).Visible()) << c.ini;
    }
}

TEST(StartupOrder, VersionGoesIntoTheCaptionWithTwoBlanks) {
    for (const auto& [version, caption] : std::vector<std::pair<std::array<int, 3>, std::string>>{
             {{1, 4, 3}, "ZRK 1.4.3  "}, {{2, 0, 10}, "ZRK 2.0.10  "}}) {
        FakeMachine machine;
        machine.platform.info.major = version[0];
        machine.platform.info.minor = version[1];
        machine.platform.info.revision = version[2];
        app::Program program(machine.platform);
        program.state.emptyLoop = [&machine](std::int64_t passes) { virtualEmptyLoop(machine.clock, passes); };
        ASSERT_EQ(program.Main(), 0);
        EXPECT_EQ(program.state.frm.frmMain.Caption(), caption);
    }
}

}  // namespace
}  // namespace zrk::test
