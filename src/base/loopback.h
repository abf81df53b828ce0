#pragma once
// Development machines talk to nothing but themselves: every address a desktop run, a tool or
// a test connects to or serves must be on 127.0.0.0/8.

#include <string>

namespace h2 {

// True for a dotted IPv4 literal in 127.0.0.0/8; host names and anything else are false.
bool isLoopbackAddress(const std::string& address);

} // namespace h2
