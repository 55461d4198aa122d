// With the Spanish or French set active, every refusal and failure the
// error-path tests drive speaks that set: no message box, status line,
// confirmation or line of zrkctl's standard error holds an English word the
// set's own texts never use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <system_error>

#include "bad_files.h"
#include "ctl_fixture.h"
#include "error_paths.h"
#include "files/table_file.h"
#include "ops/device_operation.h"
#include "ops/parameter_memory.h"
#include "ops/remote_commands.h"
#include "ops/status_interrogation.h"
#include "ops/table_write.h"
#include "ops/undo_write.h"
#include "params/visibility.h"
#include "sim/faults.h"
#include "special_files.h"

namespace zrk::test {
namespace {

// A user's machine in each language set, with its regional number format.
struct OperatorSet {
    const char* locale;
    platform::NumberFormat numbers;
};

const OperatorSet kSets[] = {
    {"es-ES", {",", "."}},
    {"es-ES_tradnl", {",", "."}},
    {"fr-FR", {",", "\u202f"}},
};

// Texts the tool shows as they stand in every set: the unit's own statuses
// and messages.
std::vector<std::string> unitsOwnTexts() {
    std::vector<std::string> own = {"Time Out Transmision",
                                    "Error R ",
                                    "Reading Error in data ",
                                    "Serial Port ",
                                    "Not Avalaible",
                                    "Start reading the device",
                                    "Testing speed",
                                    "Out speed computer ",
                                    "Index = ",
                                    "End check",
                                    " Saved file",
                                    "Segments transmision",
                                    "Reading",
                                    "Writing",
                                    "Ended",
                                    "Error"};
    // The remote commands' own statuses, the longer failure texts first.
    for (const auto& command : ops::remoteCommands()) own.insert(own.begin(), command.failureText);
    for (const auto& command : ops::remoteCommands()) own.insert(own.begin(), command.successText);
    std::stable_sort(own.begin(), own.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return own;
}

// Words in ASCII lower case; bytes beyond ASCII belong to the word around them.
std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalpha(c) || c >= 0x80 || ch == '\'') {
            word += static_cast<char>(std::tolower(c));
        } else {
            if (!word.empty()) words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    for (auto& w : words) {
        while (!w.empty() && w.front() == '\'') w.erase(w.begin());
        while (!w.empty() && w.back() == '\'') w.pop_back();
    }
    return words;
}

// The text without what zrkctl's command line typed ("zrkctl: command
// day: ") and what stands in quotes: the operator's text, a key, a character.
std::string withoutLiterals(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 8, "zrkctl: ") == 0) {
            // French sets a blank before the colon.
            const auto colon = text.find(':', i + 8);
            std::string typed = colon == std::string::npos ? std::string() : text.substr(i + 8, colon - i - 8);
            if (!typed.empty() && typed.back() == ' ') typed.pop_back();
            if (!typed.empty() && typed.size() < 30 && std::count(typed.begin(), typed.end(), ' ') <= 1 &&
                typed.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789- ") == std::string::npos) {
                i = colon;
                continue;
            }
        }
        const char ch = text[i];
        const bool opens =
            ch == '"' || (ch == '\'' && (i == 0 || !std::isalpha(static_cast<unsigned char>(text[i - 1]))));
        if (opens) {
            const auto close = text.find(ch, i + 1);
            if (close != std::string::npos && close - i <= 40 && text.find('\n', i) > close) {
                out += ' ';
                i = close;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

// The English words of the tool's own texts and common ones, less every
// word the active set uses itself ("Com", "ID", "ON", "Led" stay allowed).
class EnglishWords {
public:
    explicit EnglishWords(texts::Language set) {
        const texts::TextTable english(texts::Language::English), own(set);
        for (int id : texts::TextTable::ids())
            for (auto& w : wordsOf(english.CargarTexto(id))) english_.insert(w);
        for (const char* w :
             {"the",     "is",         "not",      "was",       "cannot",  "file",    "unit",    "line",
              "of",      "to",         "from",     "and",       "or",      "it",      "with",    "for",
              "has",     "this",       "that",     "which",     "what",    "could",   "does",    "must",
              "may",     "found",      "expected", "after",     "but",     "than",    "there",   "its",
              "are",     "nothing",    "written",  "sent",      "open",    "saved",   "folder",  "number",
              "value",   "field",      "port",     "serial",    "lost",    "check",   "cable",   "try",
              "again",   "permission", "denied",   "device",    "such",    "whole",   "large",   "empty",
              "ends",    "column",     "row",      "entry",     "entries", "colour",  "key",     "array",
              "object",  "string",     "digit",    "character", "unknown", "given",   "twice",   "needs",
              "part",    "answer",     "type",     "simulated", "page",    "option",  "choose",  "exist",
              "longer",  "characters", "here",     "too",       "bits",    "fit",     "choice",  "state",
              "box",     "lock",       "process",  "program",   "close",   "adapter", "power",   "supply",
              "already", "user",       "group",    "disk",      "full",    "refused", "create",  "replace",
              "regular", "pipe",       "larger",   "bytes",     "failed",  "changer", "address", "interrogation",
              "shown",   "before",     "writing",  "reading"})
            english_.insert(w);
        for (int id : texts::TextTable::ids())
            for (auto& w : wordsOf(own.CargarTexto(id))) english_.erase(w);
    }

    // The English words of `text`, once the unit's own texts and anything
    // that names a file or a device are taken out.
    std::vector<std::string> in(std::string text) const {
        // The system's own words for a failure come in the system's language.
        for (int code = 1; code < 134; ++code) {
            const std::string words = std::generic_category().message(code);
            for (auto at = text.find(words); at != std::string::npos; at = text.find(words))
                text.erase(at, words.size());
        }
        for (const auto& unitsOwn : unitsOwn_)
            for (auto at = text.find(unitsOwn); at != std::string::npos; at = text.find(unitsOwn))
                text.erase(at, unitsOwn.size());
        text = withoutLiterals(text);
        std::string kept;
        std::size_t start = 0;
        while (start < text.size()) {
            const auto end = text.find_first_of(" \n", start);
            const std::string chunk = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            // A path or a file's name is no sentence.
            const bool named = chunk.find('/') != std::string::npos || chunk.find(".zrk") != std::string::npos ||
                               chunk.find(".json") != std::string::npos;
            if (!named) kept += chunk;
            kept += ' ';
            if (end == std::string::npos) break;
            start = end + 1;
        }
        std::vector<std::string> found;
        for (const auto& w : wordsOf(kept))
            if (w.size() > 1 && english_.count(w) != 0) found.push_back(w);
        return found;
    }

private:
    std::set<std::string> english_;
    std::vector<std::string> unitsOwn_ = unitsOwnTexts();
};

// One error path run in one set: the programs it started and every text
// they showed.
class PathRun {
public:
    explicit PathRun(const OperatorSet& set) : set_(set) {}

    // A program on the fake machine of this set; without a window when it
    // stands for zrkctl.
    Ctl& start(const PortFactory& unit = simulatedUnit(), bool zrkctl = true) {
        const OperatorSet& set = set_;
        auto ctl = std::make_unique<Ctl>(unit, [&set](FakeMachine& machine) {
            machine.platform.userLanguage = set.locale;
            machine.platform.numbers = set.numbers;
        });
        if (zrkctl) ctl->started.program->LoadWithoutWindow();
        auto& frm = ctl->started.frm();
        Ctl* raw = ctl.get();
        frm.controls().hub().subscribe([this, raw](form::Control& control, form::Prop) {
            if (&control == &raw->started.frm().sbStatusBar) shown_.push_back(raw->started.frm().status());
        });
        ctls_.push_back(std::move(ctl));
        return *raw;
    }
    Ctl& window(const PortFactory& unit = simulatedUnit()) { return start(unit, false); }

    // A zrkctl command. What it prints for people is shown too; what it
    // prints for scripts (tables, lamps, values, JSON) is not.
    int run(Ctl& ctl, const std::vector<std::string>& args) {
        const int code = ctl.run(args);
        shown_.push_back(ctl.err.str());
        const std::set<std::string> forScripts = {"status", "io", "get", "check", "identify", "log", "fields"};
        const bool tableRead = args[0] == "table" && args.size() > 1 && args[1] == "read";
        if (forScripts.count(args[0]) == 0 && !tableRead) shown_.push_back(ctl.out.str());
        return code;
    }

    // A text the window shows elsewhere: a tooltip.
    void shows(const std::string& text) { shown_.push_back(text); }

    // Every text shown: the status lines as they came, then each program's
    // caption, message boxes and questions.
    std::vector<std::string> shown() const {
        std::vector<std::string> all = shown_;
        for (const auto& ctl : ctls_) {
            all.push_back(ctl->started.frm().frmMain.Caption());
            const RecordingUi& ui = ctl->started.machine.ui;
            for (const auto& m : ui.messages) all.push_back(m.text);
            for (const auto& q : ui.questions) all.push_back(q.question + "\n" + q.details);
            for (const auto& q : ui.warnings) all.push_back(q.question + "\n" + q.details);
        }
        return all;
    }

private:
    const OperatorSet& set_;
    std::vector<std::string> shown_;
    std::vector<std::unique_ptr<Ctl>> ctls_;
};

struct ErrorPath {
    std::string name;
    std::function<void(PathRun&)> drive;
};

// The frames a healthy run of a command takes, counted once.
std::size_t healthyFrames(const std::vector<std::string>& args, bool freeForm = false) {
    static std::map<std::pair<std::vector<std::string>, bool>, std::size_t> counted;
    const auto key = std::pair{args, freeForm};
    if (const auto it = counted.find(key); it != counted.end()) return it->second;
    Ctl ctl;
    ctl.started.program->LoadWithoutWindow();
    writeSweepInputs(ctl.started.machine.folder);
    auto& unit = ctl.started.port<sim::SimulatedPort>().unit();
    if (freeForm) unit.setFaults(sim::parseFaults({"free-form"}));
    const auto before = unit.framesReceived();
    std::vector<std::string> expanded;
    for (const auto& a : args)
        expanded.push_back(a[0] == '@' ? ctl.started.machine.folder.path().string() + a.substr(1) : a);
    EXPECT_EQ(ctl.run(expanded), cli::kOk) << ctl.err.str();
    return counted[key] = unit.framesReceived() - before;
}

sim::SimulatedUnit& unitOf(Ctl& ctl) { return ctl.started.port<sim::SimulatedPort>().unit(); }

std::vector<ErrorPath> errorPaths() {
    std::vector<ErrorPath> paths;
    const auto add = [&paths](std::string name, std::function<void(PathRun&)> drive) {
        paths.push_back({std::move(name), std::move(drive)});
    };

    // Commands on a silent unit and on one that loses a frame.
    for (const FailingCommand& c : failingCommands())
        add(std::string("exit reason: ") + c.name, [c](PathRun& run) {
            Ctl& ctl = run.start(c.unit);
            if (c.lose) ctl.started.port<FrameHookPort>().onFrame = c.lose;
            run.run(ctl, c.args);
        });

    // Each procedure with one fault on one frame in the middle; a line that
    // dies or goes silent early too, in the identification.
    for (const SweepOperation& op : kSweepOperations)
        for (const char* fault : kSweepFaults)
            for (const bool early : {true, false}) {
                const std::string kind(fault);
                if (early && kind != "silent=K" && kind != "dead-from=K" && kind != "disconnect-after=K") continue;
                add(std::string("sweep: ") + op.name + " with " + fault + (early ? " early" : " midway"),
                    [&op, fault, early](PathRun& run) {
                        const std::size_t frames = healthyFrames(op.args);
                        Ctl& ctl = run.start();
                        writeSweepInputs(ctl.started.machine.folder);
                        const std::size_t k = early ? 2 : std::max<std::size_t>(1, frames / 2);
                        unitOf(ctl).setFaults(sim::parseFaults({faultAt(fault, k, unitOf(ctl).framesReceived())}));
                        run.run(ctl, argsIn(op, ctl.started.machine.folder.path().string()));
                    });
            }

    // A bad line under read -o and set, a unit with headers of its own too.
    for (const HostileCase& c : kHostileLines)
        for (const bool freeForm : {false, true}) {
            if (freeForm && !c.alsoFreeForm) continue;
            for (const bool setting : {false, true})
                add(std::string("hostile line: ") + (setting ? "set, " : "read -o, ") + c.name +
                        (freeForm ? " (free-form)" : ""),
                    [c, freeForm, setting](PathRun& run) {
                        const std::vector<std::string> args =
                            setting ? kHostileSet : std::vector<std::string>{"read", "-o", "@/u.zrk"};
                        const auto frames = healthyFrames(args, freeForm);
                        Ctl& ctl = run.start();
                        std::string faults = faultsFor(c.faults, frames, unitOf(ctl).framesReceived());
                        if (freeForm) faults += ",free-form";
                        unitOf(ctl).setFaults(sim::parseFaults({faults}));
                        run.run(ctl, setting ? args : std::vector<std::string>{"read", "-o", ctl.path("u.zrk")});
                    });
        }

    // Table transfers cut short: a cell that keeps its byte, a line that
    // dies in the cells and in their read-back, a read that fails in table 3.
    const std::pair<const char*, std::string> tableWrites[] = {
        {"a cell keeps its byte", "segment-stuck=2:130"},
        {"the line dies in the cells", "dead-from=" + std::to_string(kBeforeWrites + kFirstOfTable3 + 31)},
        {"the line dies in the read-back",
         "dead-from=" + std::to_string(kBeforeWrites + ops::kTransferTransactions + 264)},
    };
    for (const auto& [name, faults] : tableWrites)
        add(std::string("hostile table: write, ") + name, [faults](PathRun& run) {
            Ctl& ctl = run.start();
            ctl.started.machine.folder.write("table.json", files::tableJson(busyTable()));
            unitOf(ctl).setFaults(sim::parseFaults({faultAt(faults, 0, unitOf(ctl).framesReceived())}));
            run.run(ctl, {"table", "write", ctl.path("table.json")});
        });
    add("hostile table: a read that fails in table 3", [](PathRun& run) {
        Ctl& ctl = run.start();
        unitOf(ctl).setFaults(
            sim::parseFaults({"dead-from=" + std::to_string(unitOf(ctl).framesReceived() + kFirstOfTable3 + 31)}));
        run.run(ctl, {"table", "read"});
    });

    // The live commands: a unit that answers the changer type and nothing
    // after it, a silent one, a port that does not exist.
    add("live: status, part of the interrogation unanswered", [](PathRun& run) {
        Ctl& ctl = run.start(hookedUnit());
        ctl.started.port<FrameHookPort>().onFrame = [](const auto& f) { return f.command != 1; };
        run.run(ctl, {"status"});
    });
    add("live: status --lamps, silent unit", [](PathRun& run) {
        run.run(run.start(scriptedUnit()), {"status", "--lamps"});
    });
    add("live: io, silent unit", [](PathRun& run) { run.run(run.start(scriptedUnit()), {"io"}); });
    for (const char* command : {"status", "io", "read"})
        add(std::string("missing port: ") + command,
            [command](PathRun& run) { run.run(run.start(missingPort()), {command}); });

    // Parameter files that cannot be opened, zrkctl and the window.
    for (const BadParameterFile& bad : badParameterFiles())
        add(std::string("parameter file: ") + bad.name, [bad](PathRun& run) {
            Ctl& ctl = run.start();
            ctl.started.machine.folder.write("malo.zrk", bad.content);
            run.run(ctl, {"check", ctl.path("malo.zrk")});
            run.run(ctl, {"write", ctl.path("malo.zrk")});
        });
    add("parameter file: missing, a folder, special files, in the window", [](PathRun& run) {
        Ctl& ctl = run.window();
        const auto& folder = ctl.started.machine.folder.path();
        std::filesystem::create_directory(folder / "carpeta.zrk");
        std::vector<std::string> names = {"falta.zrk", "carpeta.zrk"};
        for (const auto& special : makeSpecialFiles(folder, "p")) names.push_back(special.path.filename().string());
        for (const auto& name : names) {
            ctl.started.machine.ui.files.push_back(ctl.path(name));
            ctl.started.frm().CAbrir.Click();
            run.run(ctl, {"check", ctl.path(name)});
        }
    });
    add("parameter file: a field out of range in diff and write --dry-run", [](PathRun& run) {
        Ctl& ctl = run.start();
        ASSERT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk")}), cli::kOk);
        std::istringstream saved(fileText(ctl.path("u.zrk")));
        std::string text;
        int position = 0;
        for (std::string line; std::getline(saved, line); ++position) text += (position == 49 ? "300\r" : line) + "\n";
        ctl.started.machine.folder.write("fuera.zrk", text);
        run.run(ctl, {"diff", ctl.path("fuera.zrk")});
        run.run(ctl, {"write", "--dry-run", ctl.path("fuera.zrk")});
    });

    // Saves that fail: into a folder, into a folder that does not exist.
    add("save: read -o into a folder and nowhere", [](PathRun& run) {
        Ctl& ctl = run.start();
        std::filesystem::create_directory(ctl.started.machine.folder.path() / "carpeta.zrk");
        run.run(ctl, {"read", "-o", ctl.path("carpeta.zrk")});
        run.run(ctl, {"read", "-o", ctl.path("ninguna/x.zrk")});
    });
    add("save: the window saves into a folder and a value beyond its cells", [](PathRun& run) {
        Ctl& ctl = run.window();
        std::filesystem::create_directory(ctl.started.machine.folder.path() / "carpeta.zrk");
        ctl.started.machine.ui.files.push_back(ctl.path("carpeta.zrk"));
        ctl.started.frm().CGuardar.Click();
        ctl.started.frm().TPWMLed.setText("300");
        ctl.started.frm().CGuardar.Click();
    });

    // Table files that cannot be read.
    for (const BadTableFile& bad : badTableFiles())
        add("table file: " + bad.message, [bad](PathRun& run) {
            Ctl& ctl = run.start();
            ctl.started.machine.folder.write("mala.json", bad.text);
            run.run(ctl, {"table", "write", ctl.path("mala.json")});
        });
    add("table file: missing, a folder, special files", [](PathRun& run) {
        Ctl& ctl = run.start();
        const auto& folder = ctl.started.machine.folder.path();
        std::filesystem::create_directory(folder / "carpeta.json");
        std::vector<std::string> names = {"falta.json", "carpeta.json"};
        for (const auto& special : makeSpecialFiles(folder, "t")) names.push_back(special.path.filename().string());
        for (const auto& name : names) run.run(ctl, {"table", "write", ctl.path(name)});
    });

    // Values the fields refuse, in zrkctl and in the window.
    for (const char* setting : {"TPWMLed=300", "TVelocidadUsuario1=abc", "TVelocidadUsuario1=-1", "ComboTipoMotor=9",
                                "ComboTipoMotor=x", "chkEnableDisableFalloRotacion=5"})
        add(std::string("refused value: set ") + setting, [setting](PathRun& run) {
            Ctl& ctl = run.start();
            run.run(ctl, {"set", setting});
            run.run(ctl, {"set", "--dry-run", setting});
        });
    add("refused value: the window writes 300 and text", [](PathRun& run) {
        Ctl& ctl = run.window();
        auto& p = *ctl.started.program;
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        for (const char* typed : {"300", "abc"}) {
            p.state.frm.TPWMLed.setText(typed);
            ops::confirmedWrite(p.state);
        }
        p.state.frm.TTiempoModoVerboso.setText("70");
        ops::CModoVerboso_Click(p.state);
    });
    add("refused value: write before a read", [](PathRun& run) {
        Ctl& ctl = run.window();
        ops::confirmedWrite(ctl.started.program->state);
    });

    // A reply the form cannot show: a motor type beyond the list.
    add("garbled reply: motor type 9", [](PathRun& run) {
        Ctl& ctl = run.window();
        ctl.device().setMemory(50, 9);
        ops::readUnit(ctl.started.program->state);
        Ctl& cli = run.start();
        cli.device().setMemory(50, 9);
        run.run(cli, {"read", "-o", cli.path("u.zrk")});
    });

    // The silent unit in the window, and one that falls silent before a write.
    add("silent unit: the window reads", [](PathRun& run) {
        ops::readUnit(run.window(scriptedUnit()).started.program->state);
        ops::readUnit(run.window().started.program->state);  // the simulated unit's port named
    });
    add("silent unit: falls silent before the write", [](PathRun& run) {
        Ctl& ctl = run.window(hookedUnit());
        auto& p = *ctl.started.program;
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        ctl.started.port<FrameHookPort>().onFrame = [](const auto&) { return true; };
        p.state.frm.TPWMLed.setText("81");
        ops::confirmedWrite(p.state);
        ops::CEscribirColores_Click(p.state);
    });

    // Another unit on the line: the parameter write and the table write.
    add("wrong unit: a parameter write", [](PathRun& run) {
        Ctl& ctl = run.window();
        auto& p = *ctl.started.program;
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        ctl.device().setMemory(255, static_cast<std::uint8_t>(ctl.device().memory(255) + 1));
        p.state.frm.TPWMLed.setText("81");
        ops::confirmedWrite(p.state);
    });

    // Table writes refused before anything is sent, and their questions.
    add("table write: refusals and the questions", [](PathRun& run) {
        Ctl& ctl = run.window();
        auto& p = *ctl.started.program;
        ops::CEscribirColores_Click(p.state);  // the unit's table not read: asks, then a change
        p.state.frm.LColor(1).setCaption("99999999");
        ops::CEscribirColores_Click(p.state);
        p.state.frm.LColor(1).setCaption("0");
        p.state.flash.pauta(1, 1) = 70000;
        ops::CEscribirColores_Click(p.state);
        p.state.flash.pauta(1, 1) = 100;
        ctl.started.machine.ui.answers = {false};
        ops::CEscribirColores_Click(p.state);
    });
    add("table write: no change, and a log that cannot be kept", [](PathRun& run) {
        Ctl& ctl = run.start();
        ctl.started.machine.folder.write("t.json", files::tableJson(busyTable()));
        ASSERT_EQ(ctl.run({"table", "write", ctl.path("t.json")}), cli::kOk) << ctl.err.str();
        run.run(ctl, {"table", "write", ctl.path("t.json")});
        const auto log = ctl.started.machine.platform.info.dataFolder / "writes.log";
        std::filesystem::remove(log);
        std::filesystem::create_directories(log / "x");
        auto table = busyTable();
        table.colors[0] = 1;
        ctl.started.machine.folder.write("t.json", files::tableJson(table));
        run.run(ctl, {"table", "write", ctl.path("t.json")});
    });

    // A write log that cannot be kept, and a copy that cannot be saved.
    add("record: a folder where the log belongs", [](PathRun& run) {
        Ctl& ctl = run.window();
        auto& p = *ctl.started.program;
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        std::filesystem::create_directories(p.state.platform.info.dataFolder / "writes.log" / "x");
        p.state.frm.TPWMLed.setText("12");
        ops::confirmedWrite(p.state);
        Ctl& cli = run.start();
        std::filesystem::create_directories(cli.started.machine.platform.info.dataFolder / "writes.log" / "x");
        run.run(cli, {"set", "TPWMLed=12"});
    });
    add("record: a file where the copies belong", [](PathRun& run) {
        Ctl& ctl = run.start();
        std::filesystem::create_directories(ctl.started.machine.platform.info.dataFolder);
        ctl.started.machine.folder.write("data/before-write", "x");
        ASSERT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk")}), cli::kOk);
        ctl.device().setMemory(49, 81);
        run.run(ctl, {"write", ctl.path("u.zrk")});
    });

    // Undo: nothing to undo, another unit's, a cell changed since, a unit
    // that does not answer, and the window's question.
    add("undo: nothing, another unit, changed since, silent", [](PathRun& run) {
        Ctl& ctl = run.start();
        run.run(ctl, {"undo"});
        logWriteOnLantern(ctl);
        run.run(ctl, {"undo", "--unit", "777"});
        ctl.device().setMemory(50, 1);
        run.run(ctl, {"undo"});
        Ctl& silent = run.start(scriptedUnit());
        logLanternWrite(silent.started.machine.platform.info.dataFolder);
        run.run(silent, {"undo"});
    });
    add("undo: the window asks and reports", [](PathRun& run) {
        Ctl& ctl = run.window();
        logWriteOnLantern(ctl);
        ops::confirmedUndo(ctl.started.program->state);
        ops::confirmedUndo(ctl.started.program->state);
    });

    // The questions of the window: a write, exit with changes left.
    add("window: the confirmation and exit with changes", [](PathRun& run) {
        Ctl& ctl = run.window();
        auto& p = *ctl.started.program;
        ASSERT_EQ(ops::readUnit(p.state), ops::End::Done);
        p.state.frm.TPWMLed.setText("12");
        p.state.frm.TVelocidadUsuario1.setText("7");
        ctl.started.machine.ui.answers = {false};
        ops::confirmedWrite(p.state);
        p.state.flash.pauta(2, 1) = 100;
        p.mayExit();
    });
    add("window: the simulated unit in the caption and the port list", [](PathRun& run) {
        auto& p = *run.window().started.program;
        p.showSimulatedUnit();
        run.shows(ops::deviceText(p.state, 3));
    });
    return paths;
}

TEST(NoEnglish, EveryErrorPathSpeaksTheActiveSet) {
    const auto paths = errorPaths();
    int cases = 0;
    for (const OperatorSet& set : kSets) {
        const EnglishWords english(texts::languageFromLocaleName(set.locale));
        std::set<std::string> checked;
        for (const ErrorPath& path : paths) {
            SCOPED_TRACE(std::string(set.locale) + ", " + path.name);
            ++cases;
            PathRun run(set);
            path.drive(run);
            for (const auto& text : run.shown()) {
                if (!checked.insert(text).second) continue;
                const auto words = english.in(text);
                if (!words.empty()) {
                    std::string list;
                    for (const auto& w : words) list += (list.empty() ? "" : ", ") + w;
                    ADD_FAILURE() << "English (" << list << ") in: " << text;
                }
            }
        }
    }
    std::cout << cases << " error paths x sets\n";
}

// zrkctl has no Setup page: a unit that does not answer points at its port
// options there, while the window names its page.
TEST(NoEnglish, ZrkctlPointsAtItsPortOptionsTheWindowAtItsPage) {
    for (const char* locale : {"en-US", "es-ES", "es-ES_tradnl", "fr-FR"}) {
        SCOPED_TRACE(locale);
        const auto inSet = [locale](FakeMachine& machine) { machine.platform.userLanguage = locale; };
        const std::string page = texts::TextTable(texts::languageFromLocaleName(locale)).CargarTexto(texts::id::kSetup);
        Ctl zrkctl(scriptedUnit(), inSet);
        zrkctl.started.program->LoadWithoutWindow();
        EXPECT_EQ(zrkctl.run({"identify"}), cli::kNoAnswer);
        ASSERT_EQ(zrkctl.started.messages().size(), 1u);
        const std::string said = zrkctl.started.messages()[0];
        EXPECT_NE(said.find("--port"), std::string::npos) << said;
        EXPECT_EQ(said.find(page), std::string::npos) << said;

        Ctl window(scriptedUnit(), inSet);
        EXPECT_EQ(ops::readUnit(window.started.program->state), ops::End::NoAnswer);
        ASSERT_EQ(window.started.messages().size(), 1u);
        EXPECT_NE(window.started.messages()[0].find(page), std::string::npos) << window.started.messages()[0];
        EXPECT_EQ(window.started.messages()[0].find("--port"), std::string::npos) << window.started.messages()[0];
    }
}

// The lines of diff and the dry runs keep the code name scripts know, and
// add the field's caption and unit label in the active set.
TEST(NoEnglish, DiffAndDryRunLinesNameTheFieldByItsCaption) {
    for (const char* locale : {"en-US", "es-ES", "es-ES_tradnl", "fr-FR"}) {
        SCOPED_TRACE(locale);
        Ctl ctl(simulatedUnit(), [locale](FakeMachine& machine) {
            machine.platform.userLanguage = locale;
            machine.platform.numbers = {",", "."};
        });
        auto& p = *ctl.started.program;
        p.LoadWithoutWindow();
        ASSERT_EQ(ctl.run({"read", "-o", ctl.path("u.zrk")}), cli::kOk) << ctl.err.str();
        std::istringstream saved(fileText(ctl.path("u.zrk")));
        std::string text;
        int position = 0;
        for (std::string line; std::getline(saved, line); ++position) text += (position == 49 ? "81\r" : line) + "\n";
        ctl.started.machine.folder.write("pwm.zrk", text);
        const std::string pwm = "TPWMLed (" + params::fieldCaption(p.state.frm, 49) + "): 80 -> 81 %\n";
        for (const std::vector<std::string>& args : {std::vector<std::string>{"diff", ctl.path("pwm.zrk")},
                                                     {"write", "--dry-run", ctl.path("pwm.zrk")},
                                                     {"set", "--dry-run", "TPWMLed=81"}}) {
            EXPECT_EQ(ctl.run(args), cli::kOk) << ctl.err.str();
            EXPECT_EQ(ctl.out.str(), pwm) << args[0];
        }
        EXPECT_EQ(ctl.run({"set", "--dry-run", "TVelocidadUsuario1=12"}), cli::kOk) << ctl.err.str();
        EXPECT_EQ(ctl.out.str(), "TVelocidadUsuario1 (" + params::fieldCaption(p.state.frm, 0) +
                                     "): 10,0000 -> 12,0000 " + params::fieldUnit(p.state.frm, 0) + "\n");
    }
}

}  // namespace
}  // namespace zrk::test
