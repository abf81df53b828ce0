#pragma once
// Command line of engine-sim.

#include "port_model.h"

#include <QStringList>
#include <string>

namespace sim {

struct Options {
    std::string engineAddress = "127.0.0.2"; // our side of both connections
    std::string panelAddress = "127.0.0.1";
    int controlPort = 11111;
    int dataPort = 11112;
    int intervalMs = 1000;
    Family family = Family::Tester;
    int ports = 48;
    int seconds = 0; // 0: until stopped
    bool exportFails = false;
    bool backToBack = false;
    unsigned seed = 1;
};

constexpr int kMaxIntervalMs = 2900; // the panel drops a board silent for 3 s

// Parses argv (program name first). On an error returns false with the message in *error;
// --help gives false with the usage in *error and *help set.
bool parseOptions(const QStringList& arguments, Options* options, QString* error, bool* help);

} // namespace sim
