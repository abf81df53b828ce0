#include "hardware/lamp_tables.h"

#include "copier/copier_logic.h"

namespace {
constexpr LampPair kOffOff{Lamp::Off, Lamp::Off};
constexpr LampPair kOnOff{Lamp::On, Lamp::Off};
constexpr LampPair kOffOn{Lamp::Off, Lamp::On};
constexpr LampPair kBlinkOff{Lamp::Blink, Lamp::Off};
constexpr LampPair kOffBlink{Lamp::Off, Lamp::Blink};
constexpr LampPair kKeep{Lamp::Keep, Lamp::Keep};

// Copier portStatus 0 to 19; anything else keeps the lamps.
constexpr LampPair kCopierTable[] = {
    kOffOff,   kOnOff, kBlinkOff, kBlinkOff, kBlinkOff, // 0..4
    kBlinkOff, kOnOff, kOffOn,    kOffOn,    kOffOn,    // 5..9
    kOffOn,    kKeep,  kKeep,     kKeep,     kKeep,     // 10..14
    kKeep,     kKeep,  kKeep,     kKeep,     kOffOff,   // 15..19
};

// Tester state 0 to 14; 15 and above are off. State 2 depends on the bad sectors.
constexpr LampPair kTesterTable[] = {
    kOffOff, kBlinkOff, kBlinkOff, kOnOff,  kOffOn,    // 0..4
    kOffOn,  kOffOn,    kOffOff,   kOffOff, kOffBlink, // 5..9
    kOffOn,  kOffOn,    kOffOn,    kOffOn,  kOffOn,    // 10..14
};

// Burn-in bnStatus 0 to 18; 11 and 12 depend on the error counts.
constexpr LampPair kBurninTable[] = {
    kOffOff, kOffOff, kOffOff, kOffOff, kOffOff,   kOffOff,   kOffOff, // 0..6
    kOffOff, kOffOff, kOffOff, kOffOff, kBlinkOff, kBlinkOff,          // 7..12
    kOffOn,  kOnOff,  kOffOn,  kOnOff,  kOnOff,    kOnOff,             // 13..18
};

template <typename T, size_t N> constexpr size_t countOf(const T (&)[N]) {
    return N;
}

constexpr LampLines kDirectLines[8] = {
    {{PD, 1}, {PD, 5}}, {{PD, 9}, {PD, 0}},  {{PD, 15}, {PD, 8}}, {{PD, 2}, {PD, 12}},
    {{PD, 6}, {PD, 4}}, {{PD, 10}, {PD, 3}}, {{PD, 17}, {PD, 7}}, {{PD, 16}, {PA, 19}},
};
// Paired wiring: odd ports, then even ports.
constexpr LampLines kPairedLines[2] = {{{PA, 1}, {PA, 2}}, {{PA, 15}, {PA, 3}}};
// Grouped wiring by port number modulo 4.
constexpr LampLines kGroupedLines[4] = {
    {{PA, 17}, {PA, 18}}, {{PA, 1}, {PA, 2}}, {{PA, 0}, {PA, 14}}, {{PA, 15}, {PA, 3}}};

constexpr GpioPin kStrobes[kStrobeGroups] = {
    {PA, 19}, {PD, 16}, {PD, 7},  {PD, 3}, {PD, 17}, {PD, 10}, {PD, 6},  {PD, 2},
    {PD, 4},  {PD, 12}, {PD, 8},  {PD, 0}, {PD, 15}, {PD, 9},  {PA, 20}, {PA, 13},
    {PG, 11}, {PG, 12}, {PG, 13}, {PG, 6}, {PG, 7},  {PG, 9},  {PG, 10}, {PG, 8},
};

int min(int a, int b) {
    return a < b ? a : b;
}
} // namespace

LampTable lampTableFor(int mode) {
    if (copier::isCopyMode(mode))
        return LampTable::Copier;
    switch (mode) {
    case 0:
    case 1:
    case 2:
    case 8: // H2 write fills the tester records like the other test modes
    case 9:
    case 10:
    case 11:
        return LampTable::Tester;
    default:
        return LampTable::Burnin;
    }
}

LampPair copierLamps(uint32_t portStatus) {
    return portStatus < countOf(kCopierTable) ? kCopierTable[portStatus] : kKeep;
}

LampPair testerLamps(uint32_t state, uint64_t badSectors) {
    if (state == 2 && badSectors != 0)
        return kOffBlink;
    return state < countOf(kTesterTable) ? kTesterTable[state] : kOffOff;
}

LampPair burninLamps(uint32_t bnStatus, uint64_t errorSum) {
    if ((bnStatus == 11 || bnStatus == 12) && errorSum >= 1)
        return kOffBlink;
    return bnStatus < countOf(kBurninTable) ? kBurninTable[bnStatus] : kOffOff;
}

bool usesDirectWiring(int boardModel, int machineVariant) {
    switch (boardModel) {
    case 3:
    case 4:
    case 5:
    case 12:
    case 17:
        return true;
    default:
        break;
    }
    return (boardModel == 10 && machineVariant == 0) || machineVariant == 3;
}

Wiring lampWiring(int boardModel, int machineVariant, int portCount) {
    if (!usesDirectWiring(boardModel, machineVariant))
        return Wiring::Grouped;
    return portCount <= 8 ? Wiring::Direct : Wiring::Paired;
}

LampPair portLamps(const StatusBlock& block, int mode, int port, Wiring wiring, int portCount) {
    switch (lampTableFor(mode)) {
    case LampTable::Copier: {
        const CopierPortRecord r = block.copierPort(port - 1);
        if (wiring == Wiring::Grouped) {
            // The 51-port board lights its lamps for ports that report no connection too.
            const bool gateOpen = r.connectState == 1 || (r.connectState == 0 && portCount == 51);
            if (!gateOpen)
                return r.connectState == 0 ? kOffOff : kKeep;
        }
        return copierLamps(r.portStatus);
    }
    case LampTable::Tester: {
        const TesterPortRecord r = block.testerPort(port);
        return testerLamps(r.state, r.badSectors);
    }
    case LampTable::Burnin:
        break;
    }
    const BurninPortRecord r = block.burninPort(port - 1);
    return burninLamps(r.bnStatus, uint64_t(r.errorCount1) + r.errorCount2 + r.errorCount3);
}

LampLines lampLines(Wiring wiring, int port) {
    switch (wiring) {
    case Wiring::Direct:
        return kDirectLines[port - 1];
    case Wiring::Paired:
        return kPairedLines[port % 2 == 0 ? 1 : 0];
    case Wiring::Grouped:
        break;
    }
    return kGroupedLines[port % 4];
}

int servedPorts(Wiring wiring) {
    switch (wiring) {
    case Wiring::Direct:
        return int(countOf(kDirectLines));
    case Wiring::Paired:
        return min(kStrobeGroups * 2, kBlinkFlags);
    case Wiring::Grouped:
        break;
    }
    return min(kStrobeGroups * 4, kBlinkFlags);
}

GpioPin strobePin(int group) {
    return kStrobes[group - 1];
}

int latchGroupAfter(Wiring wiring, int port, int lastPort) {
    switch (wiring) {
    case Wiring::Direct:
        return 0;
    case Wiring::Paired:
        return port % 2 == 0 || port == lastPort ? (port + 1) / 2 : 0;
    case Wiring::Grouped:
        break;
    }
    return port % 4 == 0 || port == lastPort ? (port + 3) / 4 : 0;
}
