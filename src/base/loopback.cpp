#include "base/loopback.h"

#include <arpa/inet.h>

namespace h2 {

bool isLoopbackAddress(const std::string& address) {
    in_addr addr{};
    return inet_pton(AF_INET, address.c_str(), &addr) == 1 && (ntohl(addr.s_addr) >> 24) == 127;
}

} // namespace h2
