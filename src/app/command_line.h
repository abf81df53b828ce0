#pragma once
// The panel's own options; anything else on the command line is left for Qt.

#include "base/app_config.h"

#include <string>
#include <vector>

namespace h2 {

struct Options {
    std::string platform; // "device" or "desktop"
    std::string root;     // empty: the platform's default
    AppConfig config;
    std::string screenshot;
    int screenshotAfterMs = 3000;
    int quitAfterMs = -1;
    std::string fleetBroker; // HOST[:PORT]; overrides the fleet file's broker
    bool help = false;
    // The program name and every argument that is not ours, for QApplication: Qt reads
    // "--platform" as its own "-platform", so it must never see the panel's options.
    std::vector<std::string> qtArgs;
};

// Defaults for a build whose default platform is `defaultPlatform`; addresses follow the
// platform unless given.
Options parseCommandLine(const std::vector<std::string>& args, const std::string& defaultPlatform,
                         std::string* error);

std::string defaultDesktopRoot();
const char* usageText();

} // namespace h2
