#pragma once
// What the simulated engine is doing on its ports, tick by tick, written into a status block
// in the layout of the work (tester, format, copier or burn-in).

#include "link/status_block.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace sim {

enum class Family { Idle, Tester, Format, Copier, Burnin };

// The family the engine works in for a work mode of the settings record.
Family familyForMode(int mode);
const char* familyName(Family family);
// Scenario names of the command line: idle, tester, format, copier, burnin.
bool familyForScenario(const std::string& name, Family* family);
// A work mode that belongs to the family (the first one), for a scenario before any settings.
int defaultModeFor(Family family);

struct Totals {
    int32_t worked = 0;
    int32_t success = 0;
    int32_t fail = 0;
};

class PortModel {
public:
    explicit PortModel(uint32_t seed = 1);

    // What the settings message says; ports restart when the work changes.
    void configure(Family family, int mode, int ports, int burninCycles);
    Family family() const { return mFamily; }
    int mode() const { return mMode; }
    int ports() const { return mPorts; }

    // One interval of work on every port.
    void tick();
    // Writes the port area and the totals of the header (the rest of the header is the
    // caller's).
    void fill(StatusBlock& block) const;

    Totals totals() const { return mTotals; }
    void clearTotals() { mTotals = Totals{}; }

private:
    enum class Phase { Empty, Ready, Work1, Work2, Done };
    struct Port {
        Phase phase = Phase::Empty;
        int tick = 0;   // ticks spent in the phase
        int length = 1; // ticks the phase lasts
        uint32_t outcome = 0;
        uint64_t capacity = 0;
        uint64_t writeSpeed = 0; // bytes per second
        uint64_t readSpeed = 0;
        int pass = 0; // burn-in
        uint32_t errors = 0;
    };
    struct Job { // copier: the master drives every target
        Phase phase = Phase::Empty;
        int tick = 0;
        int length = 1;
        uint64_t bytes = 0;
        uint32_t prep = 0;
    };

    int range(int low, int high); // inclusive
    uint64_t pickCapacity();
    void startPort(Port& port, int index);
    void enter(Port& port, Phase phase);
    void finish(Port& port, bool passed);
    void tickTester(Port& port);
    void tickBurnin(Port& port);
    void tickCopier();
    uint32_t testerFailure();
    double fraction(const Port& port) const;

    void fillTester(StatusBlock& block) const;
    void fillFormat(StatusBlock& block) const;
    void fillCopier(StatusBlock& block) const;
    void fillBurnin(StatusBlock& block) const;

    std::mt19937 mRandom;
    Family mFamily = Family::Idle;
    int mMode = 0;
    int mPorts = 48;
    int mCycles = 3;
    std::vector<Port> mPort;
    Job mJob;
    Totals mTotals;
};

} // namespace sim
