#pragma once
// The panel's own address on the private link, and the engine board's.

#include <string>
#include <vector>

// The cabinet's private link: the panel's address and the engine board's. Only the device
// platform uses them; desktop runs stay on loopback.
constexpr const char* kCabinetPanelAddress = "192.168.0.3";
constexpr const char* kCabinetEngineAddress = "192.168.0.2";

// Known interface names, in the order they are preferred.
extern const char ETH0_NAME[8][20];

// Address of entry `index`: 0 the panel, 1 engine board 1 (both from the command line),
// 2.. the spare entries of the address table.
std::string clientAddress(int index);

// The first interface, in the system's order, whose name is in ETH0_NAME; empty if none.
std::string pickInterface(const std::vector<std::string>& systemOrder);

// Assigns address `index` to the first known interface; 0, or -1 when none exists.
int get_client_ip(int index);
int get_server_ip();
