// The real serial path: QSerialPort, the Qt event-loop wait and the steady
// clock, against the simulated unit on a pseudo-terminal. Real time, kept short.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "link/device_link.h"
#include "no_store.h"
#include "platform/path_text.h"
#include "qt/paths.h"
#include "qt/port_map.h"
#include "qt/qt_clock.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_serial_port.h"
#include "qt/system_locale.h"
#include "sim_process.h"

namespace zrk::test {
namespace {

// The Qt platform pieces, on the device of a running zrk-sim.
struct QtLine {
    explicit QtLine(const std::string& device) {
        ports.setFixedDevice(device);
        port.setPortNumber(1);
        link.ContadorPausa = 1;
    }
    NoStore store;
    qt::PortMap ports{store};
    qt::QtSerialPort port{ports};
    qt::SteadyClock clock;
    qt::QtEventLoop events{clock};
    std::vector<std::string> statuses;
    link::DeviceLink link{port, events, clock, [this](const std::string& s) { statuses.push_back(s); }};
};

TEST(SerialLine, CommandIsAnsweredOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().empty());
    QtLine line(sim.device());
    line.link.AbrirCom();  // DTR is refused by a pty; the port must still open
    const auto reply = line.link.EnviarComando({0, 6, 1, 1});
    line.link.CerrarCom();
    EXPECT_EQ(reply.Resultado, 6);
    EXPECT_TRUE(line.statuses.empty());
}

TEST(SerialLine, NoAnswerFailsAfterThreeAttempts) {
    SimProcess sim({"--fault", "no-answer"});
    QtLine line(sim.device());
    line.link.AbrirCom();
    const auto reply = line.link.EnviarComando({0, 6, 1, 2});
    line.link.CerrarCom();
    EXPECT_EQ(reply.Resultado, 21);
    EXPECT_EQ(line.statuses, (std::vector<std::string>{"Time Out Transmision", "Error R  1", "Time Out Transmision",
                                                       "Error R  2", "Time Out Transmision", "Error R  3"}));
}

TEST(SerialLine, LostLineIsReportedInsteadOfWaitedOn) {
    SimProcess sim({"--fault", "disconnect-after=1"});
    QtLine line(sim.device());
    line.link.AbrirCom();
    EXPECT_EQ(line.link.EnviarComando({0, 1, 0, 0}).Resultado, 6);
    EXPECT_THROW(
        {
            for (int i = 0; i < 3; ++i) line.link.EnviarComando({0, 1, 0, 0});
        },
        platform::PortError);
    EXPECT_TRUE(line.statuses.empty()) << "the loss ends the operation at once, not after timeouts";
    EXPECT_FALSE(line.port.isOpen());
}

TEST(SerialLine, MissingDeviceNamesItInTheError) {
    QtLine line("/dev/zrk-no-such-device");
    try {
        line.link.AbrirCom();
        FAIL() << "opened a device that does not exist";
    } catch (const platform::PortError& e) {
        EXPECT_NE(std::string(e.what()).find("/dev/zrk-no-such-device"), std::string::npos) << e.what();
    }
}

// A lock file of the port is named with what to do: remove it when the
// process that wrote it is gone, close that program when it still runs.
TEST(SerialLine, ALockFileOfThePortIsNamedWithWhatToDo) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path locks = folder.path().toStdString();
    const std::string lock = (locks / "LCK..ttyUSB7").string();
    EXPECT_FALSE(qt::lockFileRefusal("/dev/ttyUSB7", {locks}));

    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    using Reason = platform::PortError::Reason;
    struct Case {
        const char* name;
        long pid;
        Reason reason;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {"stale", gone, Reason::LockedStale, {lock, "left by process " + std::to_string(gone), "sudo rm " + lock}},
        {"in use",
         ::getpid(),
         Reason::Locked,
         {lock, "held by process " + std::to_string(::getpid()), "Close that program"}},
        {"no process in it", -1, Reason::LockedStale, {lock, "sudo rm " + lock}},
    };
    for (const auto& c : cases) {
        {
            std::ofstream out(lock);
            if (c.pid > 0) out << "      " << c.pid << "\n";
        }
        const auto refusal = qt::lockFileRefusal("/dev/ttyUSB7", {"/nonexistent", locks});
        ASSERT_TRUE(refusal) << c.name;
        const std::string advice = refusal->what();
        for (const auto& words : c.says) EXPECT_NE(advice.find(words), std::string::npos) << c.name << ": " << advice;
        // The operator's set words it from the reason and the lock file.
        EXPECT_EQ(refusal->reason(), c.reason) << c.name;
        EXPECT_EQ(refusal->details().at(1), lock) << c.name;
    }
}

// Folder and file names reach the file system as the system spells them, and
// come back unchanged; a file made under the Qt name is found under the path.
TEST(Paths, NonAsciiNamesSurviveTheWayBetweenQtAndTheFileSystem) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"Señales", "ZRK «été»", "Ñandú – 北", "plain"}) {
        const QString qtName = folder.path() + "/" + QString::fromUtf8(name);
        const std::filesystem::path path = qt::toPath(qtName);
        EXPECT_EQ(platform::utf8(path.filename()), std::string(name));
        EXPECT_EQ(qt::fromPath(path), qtName);
        QFile file(qtName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        file.close();
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << name;
    }
}

TEST(Zrkctl, ExitCodesEndToEnd) {
    SimProcess sim;
    struct Case {
        QStringList args;
        int exitCode;
        QString output;
    };
    const Case cases[] = {
        {{"--port", QString::fromStdString(sim.device()), "command", "day"}, 0, " ZRK is in day mode\n"},
        {{"--simulate", "--json", "command", "motor2"}, 0, "{\"status\": \" ZRK Motor 2 OK\"}\n"},
        {{"--port", "/dev/zrk-no-such-device", "command", "day"}, 3, ""},
        {{"--simulate", "command", "sideways"}, 2, ""},
        {{"--com", "12", "command", "day"}, 2, ""},
    };
    for (const auto& c : cases) {
        QProcess zrkctl;
        zrkctl.start(QStringLiteral(ZRKCTL_EXECUTABLE), c.args);
        ASSERT_TRUE(zrkctl.waitForFinished(20000)) << c.args.join(' ').toStdString();
        EXPECT_EQ(zrkctl.exitCode(), c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(zrkctl.readAllStandardOutput()), c.output) << c.args.join(' ').toStdString();
        if (c.exitCode != 0) {
            EXPECT_FALSE(zrkctl.readAllStandardError().isEmpty());
        }
    }
}

// Under a file-size limit the save fails with a message, zrkctl is not killed
// by SIGXFSZ, and neither the old file nor a temporary file is touched.
TEST(Zrkctl, AFileSizeLimitIsReportedNotFatal) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString target = folder.filePath("unit.zrk");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QProcess zrkctl;
    zrkctl.setChildProcessModifier([] {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 100;  // a parameter file needs some 2 KB
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    zrkctl.start(QStringLiteral(ZRKCTL_EXECUTABLE), {"--simulate", "read", "-o", target});
    ASSERT_TRUE(zrkctl.waitForFinished(60000));
    ASSERT_EQ(zrkctl.exitStatus(), QProcess::NormalExit) << "killed by a signal";
    EXPECT_EQ(zrkctl.exitCode(), 3);
    const std::string err = zrkctl.readAllStandardError().toStdString();
    EXPECT_NE(err.find("Could not save " + target.toStdString()), std::string::npos) << err;
    EXPECT_NE(err.find("larger than this process may write"), std::string::npos) << err;
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"unit.zrk"});
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
}

// The separators the core's regional tests assume are the ones the system
// gives, including the non-ASCII grouping blanks.
TEST(RegionalSettings, SeparatorsComeAsTheSystemWritesThem) {
    struct Case {
        const char* locale;
        const char* decimal;
        const char* grouping;
    };
    for (const Case& c : {Case{"C", ".", ","}, Case{"en_US", ".", ","}, Case{"fr_FR", ",", "\u202f"},
                          Case{"de_DE", ",", "."}, Case{"de_CH", ".", "\u2019"}, Case{"es_ES", ",", "."},
                          Case{"ru_RU", ",", "\u00a0"}, Case{"pt_PT", ",", "\u00a0"}, Case{"sv_SE", ",", "\u00a0"},
                          Case{"pl_PL", ",", "\u00a0"}, Case{"fi_FI", ",", "\u00a0"}}) {
        const auto format = qt::numberFormatOf(QLocale(QString::fromUtf8(c.locale)));
        EXPECT_EQ(format.decimal, c.decimal) << c.locale;
        EXPECT_EQ(format.grouping, c.grouping) << c.locale;
    }
}

// A French user's set, then a read in another setting: the grouping blank
// of French numbers must not turn "10,0000" into a hundred thousand.
TEST(Zrkctl, SetInFrenchSettingsChangesOnlyTheFieldSet) {
    SimProcess sim;
    QTemporaryDir data;  // the write log and the copy before the write go here, not to the home folder
    auto run = [&](const char* locale, const QStringList& args) {
        QProcess zrkctl;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", locale);
        environment.insert("XDG_DATA_HOME", data.path());
        zrkctl.setProcessEnvironment(environment);
        zrkctl.start(QStringLiteral(ZRKCTL_EXECUTABLE),
                     QStringList{"--port", QString::fromStdString(sim.device())} + args);
        EXPECT_TRUE(zrkctl.waitForFinished(60000));
        EXPECT_EQ(zrkctl.exitCode(), 0) << zrkctl.readAllStandardError().toStdString();
        return QString::fromUtf8(zrkctl.readAllStandardOutput());
    };
    EXPECT_EQ(run("fr_FR.UTF-8", {"set", "TPWMLed=81"}), "Ended\n");
    const QString json = run("C", {"--json", "read"});
    for (const char* field : {"\"TVelocidadUsuario1\": \"10.0000\"", "\"TMaxConsumoLed\": \"1.50\"",
                              "\"TTestFotocelula\": \"30.0\"", "\"TPWMLed\": \"81\""})
        EXPECT_TRUE(json.contains(QString::fromUtf8(field))) << field << " in " << json.toStdString();
}

// Both ends traced: what zrkctl sent is what the unit received, what the
// unit answered is what zrkctl read, line for line.
TEST(Zrkctl, TraceMatchesTheUnitsOwn) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString unitTrace = folder.filePath("unit.txt");
    const QString toolTrace = folder.filePath("tool.txt");
    std::vector<QStringList> unitLines;
    {
        SimProcess sim({"--trace", unitTrace.toStdString()});
        QProcess zrkctl;
        zrkctl.start(QStringLiteral(ZRKCTL_EXECUTABLE),
                     {"--port", QString::fromStdString(sim.device()), "--trace", toolTrace, "identify"});
        ASSERT_TRUE(zrkctl.waitForFinished(20000));
        EXPECT_EQ(zrkctl.exitCode(), 0) << zrkctl.readAllStandardError().toStdString();
    }
    const auto read = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        QStringList tx, rx;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            EXPECT_EQ(line.size(), 8 + 1 + 2 + 8 * 3) << line.toStdString();
            (line.mid(9, 2) == "TX" ? tx : rx).append(line.mid(12));
        }
        return std::pair{tx, rx};
    };
    const auto [toolSent, toolRead] = read(toolTrace);
    const auto [unitSent, unitReceived] = read(unitTrace);
    EXPECT_EQ(toolSent.size(), 32);
    EXPECT_EQ(toolSent, unitReceived);
    EXPECT_EQ(toolRead, unitSent);
}

}  // namespace
}  // namespace zrk::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
