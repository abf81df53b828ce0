#pragma once
// What the pass and fail lamp of a port show, and on which lines and strobes they sit.
// Pure functions over the profile and one status block, so every table is testable alone.

#include "hardware/hardware.h"
#include "link/status_block.h"

#include <cstdint>

enum class Lamp : uint8_t { Off, On, Blink, Keep };

struct LampPair {
    Lamp pass;
    Lamp fail;
};
inline bool operator==(LampPair a, LampPair b) {
    return a.pass == b.pass && a.fail == b.fail;
}

// Which record layout, and so which lamp table, a work mode reads.
enum class LampTable { Copier, Tester, Burnin };
LampTable lampTableFor(int mode);

LampPair copierLamps(uint32_t portStatus);
LampPair testerLamps(uint32_t state, uint64_t badSectors);
LampPair burninLamps(uint32_t bnStatus, uint64_t errorSum);

enum class Wiring {
    Direct,  // one pin per lamp, up to 8 ports
    Paired,  // direct boards with more ports: two line pairs latched per pair of ports
    Grouped, // four line pairs latched per group of four ports
};
bool usesDirectWiring(int boardModel, int machineVariant);
Wiring lampWiring(int boardModel, int machineVariant, int portCount);

// The lamp state of port p (1-based; it reads record p - 1 of the layout in force).
LampPair portLamps(const StatusBlock& block, int mode, int port, Wiring wiring, int portCount);

struct LampLines {
    GpioPin pass;
    GpioPin fail;
};
LampLines lampLines(Wiring wiring, int port);

// Ports 1 to servedPorts(wiring) have lines, strobes and a blink flag; the rest are not wired.
constexpr int kBlinkFlags = 96;
int servedPorts(Wiring wiring);

constexpr int kStrobeGroups = 24;
GpioPin strobePin(int group); // group 1..kStrobeGroups

// The strobe group to pulse once port p has been driven, or 0. A partial last group is
// latched after the last port (on the 51-port machine: group 13 after port 51).
int latchGroupAfter(Wiring wiring, int port, int lastPort);

// Line sets of the lamp tests.
constexpr GpioPin kSharedLines[8] = {{PA, 0},  {PA, 1},  {PA, 2},  {PA, 3},
                                     {PA, 14}, {PA, 15}, {PA, 17}, {PA, 18}};
constexpr GpioPin kSharedPassLines[4] = {{PA, 1}, {PA, 0}, {PA, 15}, {PA, 17}};
constexpr GpioPin kSharedFailLines[4] = {{PA, 2}, {PA, 14}, {PA, 3}, {PA, 18}};
