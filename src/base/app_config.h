#pragma once
// Addresses and ports of this run, fixed by the command line before anything starts.

#include <string>

namespace h2 {

struct AppConfig {
    std::string engineAddress = "127.0.0.2"; // the one peer adopted as board 1
    std::string panelAddress = "127.0.0.1";  // what the network step assigns
    int controlPort = 11111;
    int dataPort = 11112;
    int supervisorPort = 9999;
};

AppConfig& appConfig();

} // namespace h2
