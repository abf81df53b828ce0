#include "sim_options.h"

#include "base/loopback.h"

#include <QCommandLineParser>

namespace sim {

bool parseOptions(const QStringList& arguments, Options* options, QString* error, bool* help) {
    *help = false;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays the engine board of the h2 panel over loopback: connects to the panel's control "
        "and data ports from the engine address, prints every message it receives and sends "
        "status blocks.");
    const QCommandLineOption helpOption({"h", "help"}, "Show this help.");
    const QCommandLineOption engine("engine-address", "Our address (default 127.0.0.2).", "ADDR");
    const QCommandLineOption panel("panel-address", "The panel's address (default 127.0.0.1).",
                                   "ADDR");
    const QCommandLineOption control("control-port", "Control port (default 11111).", "N");
    const QCommandLineOption data("data-port", "Data port (default 11112).", "N");
    const QCommandLineOption interval(
        "interval", "Milliseconds between status blocks (default 1000, at most 2900).", "MS");
    const QCommandLineOption scenario(
        "scenario", "idle, tester, format, copier or burnin (default tester).", "NAME");
    const QCommandLineOption ports("ports", "Port count until the settings say (default 48).", "N");
    const QCommandLineOption seconds("seconds", "Run this many seconds, then exit.", "S");
    const QCommandLineOption exportFails("export-fail", "Log export ends in failure (111).");
    const QCommandLineOption backToBack(
        "back-to-back", "Send status blocks as fast as the connection takes them (benchmark).");
    const QCommandLineOption seed("seed", "Seed of the port simulation (default 1).", "N");
    parser.addOptions({helpOption, engine, panel, control, data, interval, scenario, ports, seconds,
                       exportFails, backToBack, seed});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(helpOption)) {
        *help = true;
        *error = parser.helpText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = "unexpected argument " + parser.positionalArguments().first();
        return false;
    }
    auto number = [&](const QCommandLineOption& option, int low, int high, int* out) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < low || value > high) {
            *error = QString("--%1 takes a number from %2 to %3")
                         .arg(option.names().first())
                         .arg(low)
                         .arg(high);
            return false;
        }
        *out = value;
        return true;
    };
    int seedValue = int(options->seed);
    if (!number(control, 1, 65535, &options->controlPort) ||
        !number(data, 1, 65535, &options->dataPort) ||
        !number(interval, 1, kMaxIntervalMs, &options->intervalMs) ||
        !number(ports, 1, 121, &options->ports) ||
        !number(seconds, 0, 1000000, &options->seconds) || !number(seed, 0, 0x7fffffff, &seedValue))
        return false;
    options->seed = unsigned(seedValue);
    if (parser.isSet(engine))
        options->engineAddress = parser.value(engine).toStdString();
    if (parser.isSet(panel))
        options->panelAddress = parser.value(panel).toStdString();
    for (const std::string& address : {options->engineAddress, options->panelAddress}) {
        if (!h2::isLoopbackAddress(address)) {
            *error = QString("%1 is not a loopback address (127.0.0.0/8)")
                         .arg(QString::fromStdString(address));
            return false;
        }
    }
    if (parser.isSet(scenario) &&
        !familyForScenario(parser.value(scenario).toStdString(), &options->family)) {
        *error = "unknown scenario " + parser.value(scenario);
        return false;
    }
    options->exportFails = parser.isSet(exportFails);
    options->backToBack = parser.isSet(backToBack);
    return true;
}

} // namespace sim
