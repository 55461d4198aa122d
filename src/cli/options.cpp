#include "cli/options.h"

#include <stdexcept>

namespace zrk::cli {

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    bool portGiven = false;
    auto choosePort = [&](Options::Port port) {
        if (portGiven) throw std::invalid_argument("give only one of --port, --com and --simulate");
        portGiven = true;
        o.port = port;
    };
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version" || a == "-v") {
            o.version = true;
        } else if (a == "--port") {
            choosePort(Options::Port::Device);
            if (++i == args.size() || args[i].empty())
                throw std::invalid_argument("--port needs a device, e.g. /dev/ttyUSB0");
            o.device = args[i];
        } else if (a == "--com") {
            choosePort(Options::Port::Com);
            if (++i == args.size()) throw std::invalid_argument("--com needs a port number from 1 to 9");
            const std::string& n = args[i];
            if (n.size() != 1 || n[0] < '1' || n[0] > '9')
                throw std::invalid_argument("--com needs a port number from 1 to 9, not '" + n + "'");
            o.com = n[0] - '0';
        } else if (a == "--trace") {
            if (++i == args.size() || args[i].empty())
                throw std::invalid_argument("--trace needs a file, or - for standard error");
            o.trace = args[i];
        } else if (a == "--simulate" || a.rfind("--simulate=", 0) == 0) {
            choosePort(Options::Port::Simulate);
            o.scenario = a.size() > 10 ? a.substr(11) : std::string();
        } else if (a.rfind("--", 0) == 0) {
            throw std::invalid_argument("unknown option " + a);
        } else {
            break;
        }
    }
    o.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    // Options after the command name belong to it, except the global --json.
    for (auto it = o.command.begin(); it != o.command.end();) {
        if (*it == "--json") {
            o.json = true;
            it = o.command.erase(it);
        } else {
            ++it;
        }
    }
    return o;
}

}  // namespace zrk::cli
