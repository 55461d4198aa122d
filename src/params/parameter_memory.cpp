#include "params/parameter_memory.h"

#include <vector>

#include "app/program.h"
#include "params/image_layout.h"
#include "params/numbers.h"
#include "params/visibility.h"

namespace zrk::params {
namespace {

const char* const kReadError = "Error de lectura, posible desbordamiento. Reintente la operación";
const char* const kWriteError = "Error de escritura. Reintente la operación";

void error(app::Program& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

// Puts the buttons, the port and the progress back, on every way out.
class OperationScope {
public:
    OperationScope(app::Program& p, int planned) : p_(p) {
        p_.frm.DeshabilitaBotones();
        p_.progress.begin(planned);
    }
    ~OperationScope() {
        p_.link.CerrarCom();
        p_.progress.end();
        p_.frm.HabilitaBotones();
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    app::Program& p_;
};

Outcome portFailure(app::Program& p, const char* headline, const platform::PortError& e) {
    p.link.CerrarCom();
    p.lastPortError = e.what();
    p.frm.setStatus(e.what());
    error(p, std::string(headline) + "\n" + e.what());
    return Outcome::PortError;
}

CodecContext codecs(app::Program& p) { return {p.frm, p.lux, p.platform.numbers}; }

void applyVisibility(app::Program& p, const ParameterMap& map) {
    auto& frm = p.frm;
    OcultarControles(frm, p.factoryView());
    for (const auto& row : visibilityTable()) {
        bool inUse = false;
        for (int a : row.addresses) inUse = inUse || map.ComprobarParametro(a);
        if (!inUse) continue;
        for (const auto& ref : row.shown) frm.controls().at(ref.name, ref.index).setVisible(true);
        for (const auto& ref : row.hidden) frm.controls().at(ref.name, ref.index).setVisible(false);
    }
    if (!p.factoryView()) {
        for (const auto& ref : normalViewHidden()) frm.controls().at(ref.name, ref.index).setVisible(false);
        // Outside the factory view the fifth tab exists only for units with
        // address 225; the factory view keeps all six tabs, one per page.
        if (map.ComprobarParametro(225)) frm.TabStrip1.add(5, p.CargarTexto(1105));
    }
    // Keep the page shown in step with the tab the strip now selects.
    if (frm.TabStrip1.selected() != frm.PestanaActual && frm.TabStrip1.selected() > 0)
        frm.TabStrip1.select(frm.TabStrip1.selected());
}

}  // namespace

Outcome IdentificarZRK(app::Program& p) {
    ParameterMap map = p.MapaParametros;
    {
        OperationScope scope(p, 32);
        try {
            p.link.AbrirCom();
            for (int k = 0; k < 32; ++k) {
                const auto reply = p.link.EnviarComando({0, 128, static_cast<std::uint8_t>(k), 0});
                if (reply.Resultado != link::kAck) {
                    // Nothing of the window or the map has changed yet: leave it so.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus("Identification cancelled");
                        return Outcome::Cancelled;
                    }
                    p.frm.setStatus("No answer from the unit");
                    error(p, "No unit answered on Serial Port " + std::to_string(p.settings.PuertoSerie) + " (" +
                                 p.platform.port.deviceName(p.settings.PuertoSerie) +
                                 ").\nCheck the cable, that the right port is chosen on the Setup page, and "
                                 "that the unit is powered.");
                    return Outcome::NoAnswer;
                }
                map.bytes[static_cast<std::size_t>(k)] = reply.Dato3;
                p.frm.setStatus(std::to_string(k));
                p.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(p, kReadError, e);
        }
    }
    p.MapaParametros = map;
    applyVisibility(p, map);
    p.frm.setStatus("Ended");
    return Outcome::Done;
}

Outcome LeerZRK(app::Program& p) {
    int planned = 0;
    for (int a = 0; a < 256; ++a) planned += p.MapaParametros.ComprobarParametro(a) ? 1 : 0;
    ParameterImage image{};
    {
        OperationScope scope(p, planned);
        try {
            p.link.AbrirCom();
            for (int a = 0; a < 256; ++a) {
                if (!p.MapaParametros.ComprobarParametro(a)) continue;
                const auto reply = p.link.EnviarComando({0, 1, static_cast<std::uint8_t>(a), 0});
                if (reply.Resultado != link::kAck) {
                    // Decode nothing: zeros for cells never read would show
                    // values the unit does not hold, and a write would store them.
                    if (p.progress.cancelRequested()) {
                        p.frm.setStatus("Reading cancelled: nothing was changed");
                        return Outcome::Cancelled;
                    }
                    p.frm.setStatus("Reading Error in data " + std::to_string(a));
                    p.platform.ui.beep();
                    p.link.Pausa(1000);
                    return Outcome::NoAnswer;
                }
                image[static_cast<std::size_t>(a)] = reply.Dato3;
                p.frm.setStatus(std::to_string(a));
                p.progress.advance();
            }
        } catch (const platform::PortError& e) {
            return portFailure(p, kReadError, e);
        }
        // The two cells whose values a control can refuse are checked before
        // any field changes, so a bad image leaves the form as it was.
        const int motorTypes = p.frm.ComboTipoMotor.ListCount();
        if (image[50] >= motorTypes || image[61] > 2) {
            const int address = image[50] >= motorTypes ? 50 : 61;
            p.frm.setStatus("Reading Error in data " + std::to_string(address));
            error(p, std::string(kReadError) + "\nThe unit reports " + std::to_string(image[address]) + " for " +
                         fieldAt(address) + " (address " + std::to_string(address) + "), which the form cannot show.");
            return Outcome::BadData;
        }

        CodecContext context = codecs(p);
        for (int a : readDecodeOrder()) {
            decodeRow(a, image, context);
            if (a == kDecodeYieldAfter) p.platform.events.processEvents();
        }
        // Selecting the changer type on the way reports a pending change;
        // what is shown now is exactly what the unit holds.
        p.frm.setStatus("Ended");
    }
    if (image[252] < 48 && image[253] < 4)
        p.platform.ui.messageBox(p.CargarTexto(2001), p.platform.info.title, platform::UserInterface::Icon::Warning);
    p.platform.events.processEvents();
    return Outcome::Done;
}

Outcome EscribirZRK(app::Program& p) {
    if (p.MapaParametros.empty()) {
        p.frm.setStatus("Nothing written: read the unit first");
        error(p, std::string(kWriteError) + "\nNo unit has been identified yet: read the unit first (" +
                     p.CargarTexto(1431) + "), then write.");
        return Outcome::NothingToDo;
    }
    // Encode and check everything before the port opens: one bad field must
    // never leave a unit half-written.
    ParameterImage image{};
    CodecContext context = codecs(p);
    try {
        image = encodeImage(context);
    } catch (const ConversionError& e) {
        p.frm.setStatus("Nothing written");
        error(p, std::string(kWriteError) + "\n" + e.what());
        return Outcome::BadData;
    }
    // Addresses without a field are never written: 0 would overwrite data
    // the tool knows nothing about. The manufacturing data is never written.
    std::vector<int> firstPass, secondPass;
    for (int a = 0; a <= 246; ++a)
        if (p.MapaParametros.ComprobarParametro(a) && carriesField(a)) firstPass.push_back(a);
    for (int a : {254, 255})
        if (p.MapaParametros.ComprobarParametro(a)) secondPass.push_back(a);
    for (const auto& pass : {firstPass, secondPass})
        for (int a : pass)
            if (image[static_cast<std::size_t>(a)] < 0 || image[static_cast<std::size_t>(a)] > 255) {
                p.frm.setStatus("Nothing written");
                error(p, std::string(kWriteError) + "\n" + describeCell(a, image[static_cast<std::size_t>(a)]));
                return Outcome::BadData;
            }

    std::vector<int> failed;
    {
        OperationScope scope(p, static_cast<int>(firstPass.size() + secondPass.size()));
        try {
            p.link.AbrirCom();
            // Returns false when the pass has to stop at this address.
            auto write = [&](int a) {
                const auto reply = p.link.EnviarComando(
                    {0, 2, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(image[static_cast<std::size_t>(a)])});
                if (reply.Resultado == link::kAck) {
                    p.frm.setStatus(std::to_string(a));
                    p.progress.advance();
                    return true;
                }
                if (p.progress.cancelRequested()) return false;
                p.frm.setStatus("Reading Error in data " + std::to_string(a));
                p.platform.ui.beep();
                p.link.Pausa(1000);
                failed.push_back(a);
                return false;
            };
            std::size_t next = 0;
            for (int a = 0; a <= 246; ++a) {
                if (next < firstPass.size() && firstPass[next] == a) {
                    ++next;
                    if (!write(a)) break;
                }
                if (a == 223) p.platform.ui.beep();
            }
            if (!p.progress.cancelRequested())
                for (int a : secondPass)
                    if (!write(a)) break;
            if (p.progress.cancelRequested()) {
                p.frm.setStatus("Writing cancelled: the unit may hold part of the new values");
                return Outcome::Cancelled;
            }
        } catch (const platform::PortError& e) {
            return portFailure(p, kWriteError, e);
        }
    }
    p.platform.events.processEvents();
    if (failed.empty()) {
        p.frm.setStatus("Ended");
        return Outcome::Done;
    }
    std::string where;
    for (int a : failed) where += (where.empty() ? "" : ", ") + std::to_string(a);
    p.frm.setStatus("Ended with errors: no answer when writing address " + where);
    return Outcome::NoAnswer;
}

Outcome readUnit(app::Program& p) {
    const Outcome identified = IdentificarZRK(p);
    if (identified != Outcome::Done) return identified;
    p.frm.setStatus("Reading");
    p.frm.PictureInicio.setVisible(false);
    return LeerZRK(p);
}

Outcome writeUnit(app::Program& p) {
    p.frm.setStatus("Writing");
    return EscribirZRK(p);
}

void wireParameterMemory(app::Program& p) {
    p.frm.CLeer.Click = [&p] { p.deviceOperation([&p] { readUnit(p); }); };
    p.frm.CEscribir.Click = [&p] { p.deviceOperation([&p] { writeUnit(p); }); };
}

}  // namespace zrk::params
