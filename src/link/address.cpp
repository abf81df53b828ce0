#include "link/address.h"

#include "base/app_config.h"
#include "platform/platform.h"

#include <cstring>

const char ETH0_NAME[8][20] = {"eth0",   "eno1",   "enp0s31f6", "enp17s0",
                               "enp7s0", "enp6s0", "enp12s0",   "enp14s0"};

namespace {
const char* const kSpareAddresses[14] = {
    "192.168.0.5",  "192.168.0.6",  "192.168.0.7",  "192.168.0.8",  "192.168.0.9",
    "192.168.0.10", "192.168.0.21", "192.168.0.22", "192.168.0.23", "192.168.0.24",
    "192.168.0.25", "192.168.0.26", "192.168.0.27", "192.168.0.28"};
}

std::string clientAddress(int index) {
    if (index == 0)
        return h2::appConfig().panelAddress;
    if (index == 1)
        return h2::appConfig().engineAddress;
    if (index >= 2 && index < 16)
        return kSpareAddresses[index - 2];
    return std::string();
}

std::string pickInterface(const std::vector<std::string>& systemOrder) {
    for (const std::string& name : systemOrder) {
        for (const auto& known : ETH0_NAME) {
            if (name == known)
                return name;
        }
    }
    return std::string();
}

int get_client_ip(int index) {
    h2::Platform& p = h2::platform();
    const std::string interface = pickInterface(p.interfaceNames());
    if (interface.empty())
        return -1;
    p.assignAddress(interface, clientAddress(index));
    return 0;
}

int get_server_ip() {
    return get_client_ip(0);
}
