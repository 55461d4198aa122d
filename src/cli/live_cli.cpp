// zrkctl status and io: the interrogation and the instantaneous values.
#include "cli/live_cli.h"

#include <optional>

#include "app/program.h"
#include "cli/json.h"
#include "link/protocol.h"
#include "ops/device_operation.h"
#include "ops/instant_values.h"
#include "ops/status_interrogation.h"

namespace zrk::cli {
namespace {

const char* lookName(ops::LampLook look) {
    switch (look) {
        case ops::LampLook::Lit:
            return "on";
        case ops::LampLook::Unlit:
            return "off";
        case ops::LampLook::Unknown:
            break;
    }
    return "unknown";
}

std::vector<std::string> captions(const form::ControlArray<form::LabelControl>& labels) {
    std::vector<std::string> out;
    for (int i : labels.indices()) out.push_back(labels(i).Caption());
    return out;
}

std::string jsonList(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (const auto& text : texts) out += (out.size() > 1 ? ", " : "") + jsonString(text);
    return out + "]";
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const auto& text : texts) out += (out.empty() ? "" : " ") + text;
    return out;
}

constexpr std::uint8_t kChangerTypeAddress = 27;

// Byte B means something else for each changer type; without --changer the
// lamps are read for the type the unit itself keeps, in one transaction.
// Returns kOk with the list set, or the exit code of the failure.
int useUnitsChangerType(CommandContext& c) {
    std::optional<link::RespuestaComando> reply;
    const auto ran = ops::deviceOperation(c.program.state, [&] {
        c.program.state.link.AbrirCom();
        reply = c.program.state.link.EnviarComando(link::readMemoryFrame(kChangerTypeAddress));
        c.program.state.link.CerrarCom();
    });
    if (!ran.done()) return kPortError;  // the message is already on stderr
    if (reply->Resultado != link::kAck) {
        c.err << "zrkctl: status: "
              << texts::fill(c.program.state.CargarTexto(texts::id::kChangerTypeUnreadable),
                             {std::to_string(kChangerTypeAddress), c.program.state.frm.status()})
              << "\n";
        return kNoAnswer;
    }
    auto& list = c.program.state.frm.ComboTipoCambiador;
    // A type the list does not have reads byte B as no type at all.
    const int type = link::replyByte(*reply);
    list.setListIndex(type < list.ListCount() ? type : -1);
    return kOk;
}

}  // namespace

int statusCommand(CommandContext& c, const std::vector<std::string>& args) {
    ops::StatusChoice choice;
    bool any = false;
    bool changerGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--lamps") {
            choice.lamps = any = true;
        } else if (a == "--current") {
            choice.current = any = true;
        } else if (a == "--speed") {
            choice.speed = any = true;
        } else if (a == "--led-current") {
            choice.ledCurrent = any = true;
        } else if (a == "--changer") {
            auto& list = c.program.state.frm.ComboTipoCambiador;
            const std::string entry = ++i < args.size() ? args[i] : std::string();
            if (entry.size() != 1 || entry[0] < '0' || entry[0] - '0' >= list.ListCount())
                return usageError(c, "status: --changer needs an entry of the changer-type list, 0 to " +
                                         std::to_string(list.ListCount() - 1));
            list.setListIndex(entry[0] - '0');
            changerGiven = true;
        } else {
            return usageError(c, "status: unknown option '" + a + "'");
        }
    }
    if (!any) choice = {true, true, true, true};
    if (choice.lamps && !changerGiven)
        if (const int code = useUnitsChangerType(c); code != kOk) return code;
    ops::setTickBoxes(c.program.state.frm, choice);

    const auto outcome = ops::CInterrogar_Click(c.program.state);
    // The guard's message box is already on stderr.
    if (outcome == ops::End::PortError || outcome == ops::End::NotStarted) return kPortError;
    const ops::StatusReading* reading = &outcome.payload;

    if (c.json) {
        std::string lamps, values;
        for (const auto& lamp : reading->lamps)
            lamps += (lamps.empty() ? "" : ", ") + jsonString(lamp.lit) + ": " + jsonString(lookName(lamp.look));
        for (const auto& value : reading->values)
            values += (values.empty() ? "" : ", ") + jsonString(value.field) + ": " + jsonString(value.text);
        c.out << "{\"lamps\": {" << lamps << "}, \"values\": {" << values << "}}\n";
    } else {
        for (const auto& lamp : reading->lamps) c.out << lamp.lit << " " << lookName(lamp.look) << "\n";
        for (const auto& value : reading->values) c.out << value.field << " " << value.text << "\n";
    }
    if (reading->complete()) return kOk;
    c.err << "zrkctl: status: "
          << texts::fill(c.program.state.CargarTexto(texts::id::kInterrogationPartlyUnanswered),
                         {c.program.state.frm.status()})
          << "\n";
    return kNoAnswer;
}

int ioCommand(CommandContext& c, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError(c, "io: takes no arguments");
    const auto outcome = ops::btnVerValoresInstantaneos_Click(c.program.state);
    if (!outcome.done()) {
        // The window's message box says only "Error".
        c.err << "zrkctl: " << outcome.message << "\n";
        return kPortError;
    }
    const auto inputs = captions(c.program.state.frm.lblExterna);
    const auto outputs = captions(c.program.state.frm.lblSalida);
    if (c.json)
        c.out << "{\"inputs\": " << jsonList(inputs) << ", \"outputs\": " << jsonList(outputs) << "}\n";
    else
        c.out << "inputs " << joined(inputs) << "\noutputs " << joined(outputs) << "\n";
    bool complete = true;
    for (const auto* texts : {&inputs, &outputs})
        for (const auto& text : *texts) complete = complete && ops::stateLookOf(text) != ops::StateLook::Unknown;
    return complete ? kOk : kNoAnswer;
}

void addLiveCommands(std::vector<CommandSpec>& commands) {
    commands.push_back({"status",
                        "status [--lamps] [--current] [--speed] [--led-current] [--changer N]\n"
                        "                 read the status lamps and measured values (all without options);\n"
                        "                 N is the changer-type entry the lamps are read for (default: the\n"
                        "                 type the unit keeps at address 27, read first)",
                        statusCommand});
    commands.push_back({"io", "io             read the states of the 8 inputs and 11 outputs", ioCommand});
}

}  // namespace zrk::cli
