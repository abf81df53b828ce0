#include "app/command_line.h"

#include "base/loopback.h"
#include "fleet/fleet_config.h"
#include "link/address.h"

#include <cstdlib>
#include <unistd.h>

namespace h2 {

namespace {
// Port 0 lets the system pick a free port (tests run suites side by side).
bool parsePort(const std::string& text, int* port) {
    char* end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > 65535)
        return false;
    *port = int(v);
    return true;
}

bool parseMs(const std::string& text, int* ms) {
    char* end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > 24L * 3600 * 1000)
        return false;
    *ms = int(v);
    return true;
}
} // namespace

std::string defaultDesktopRoot() {
    const char* data = getenv("XDG_DATA_HOME");
    if (data && *data)
        return std::string(data) + "/h2/root";
    const char* home = getenv("HOME");
    if (home && *home && std::string(home) != "/")
        return std::string(home) + "/.local/share/h2/root";
    return "/tmp/h2-root-" + std::to_string(getuid());
}

const char* usageText() {
    return "usage: h2 [Qt options] [--platform device|desktop] [--root DIR]\n"
           "          [--engine-address ADDR] [--panel-address ADDR]\n"
           "          [--control-port N] [--data-port N] [--supervisor-port N]\n"
           "          [--screenshot FILE [--screenshot-after MS]] [--quit-after MS]\n"
           "          [--fleet-broker HOST[:PORT]]\n";
}

Options parseCommandLine(const std::vector<std::string>& args, const std::string& defaultPlatform,
                         std::string* error) {
    Options o;
    o.platform = defaultPlatform;
    std::string engine, panel;
    auto fail = [&](const std::string& why) {
        if (error && error->empty())
            *error = why;
    };
    if (!args.empty())
        o.qtArgs.push_back(args[0]);
    for (size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size()) {
                fail("option " + arg + " needs a value");
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--platform") {
            if (takeValue()) {
                if (value != "device" && value != "desktop")
                    fail("--platform must be device or desktop");
                o.platform = value;
            }
        } else if (arg == "--root") {
            if (takeValue())
                o.root = value;
        } else if (arg == "--engine-address") {
            if (takeValue())
                engine = value;
        } else if (arg == "--panel-address") {
            if (takeValue())
                panel = value;
        } else if (arg == "--control-port" || arg == "--data-port" || arg == "--supervisor-port") {
            if (takeValue()) {
                int* port = arg == "--control-port" ? &o.config.controlPort
                            : arg == "--data-port"  ? &o.config.dataPort
                                                    : &o.config.supervisorPort;
                if (!parsePort(value, port))
                    fail(arg + " needs a port number");
            }
        } else if (arg == "--screenshot") {
            if (takeValue())
                o.screenshot = value;
        } else if (arg == "--screenshot-after" || arg == "--quit-after") {
            if (takeValue()) {
                int* ms = arg == "--quit-after" ? &o.quitAfterMs : &o.screenshotAfterMs;
                if (!parseMs(value, ms))
                    fail(arg + " needs milliseconds");
            }
        } else if (arg == "--fleet-broker") {
            QString host;
            int port = 0;
            if (takeValue()) {
                if (!fleet::parseBrokerOption(QString::fromStdString(value), &host, &port))
                    fail("--fleet-broker needs HOST[:PORT]");
                o.fleetBroker = value;
            }
        } else if (arg.rfind("--", 0) == 0 && hasValue) {
            fail("unknown option " + arg);
        } else {
            // Anything else belongs to Qt (-platform, -style, ...).
            o.qtArgs.push_back(args[i]);
        }
    }
    const bool device = o.platform == "device";
    o.config.engineAddress =
        !engine.empty() ? engine : (device ? kCabinetEngineAddress : "127.0.0.2");
    o.config.panelAddress = !panel.empty() ? panel : (device ? kCabinetPanelAddress : "127.0.0.1");
    if (!device) {
        QString brokerHost;
        int brokerPort = 0;
        if (!o.fleetBroker.empty())
            fleet::parseBrokerOption(QString::fromStdString(o.fleetBroker), &brokerHost,
                                     &brokerPort);
        for (const std::string& address :
             {o.config.engineAddress, o.config.panelAddress, brokerHost.toStdString()}) {
            if (!address.empty() && !isLoopbackAddress(address))
                fail("the desktop platform stays on loopback: " + address);
        }
    }
    if (o.root.empty())
        o.root = device ? "/" : defaultDesktopRoot();
    return o;
}

} // namespace h2
