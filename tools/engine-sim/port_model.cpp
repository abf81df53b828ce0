#include "port_model.h"

#include "copier/copier_logic.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

// Usable sizes of common sticks and cards, each inside the default capacity grade of its
// nominal size (8, 16, 32, 64 and 128 GB).
constexpr uint64_t kCapacities[] = {7600000000ull, 15500000000ull, 31000000000ull, 62000000000ull,
                                    124000000000ull};

// How each tester failure shows, and where in the run it happens.
constexpr uint32_t kEarlyFailures[] = {4, 5, 6};     // right after the device is recognised
constexpr uint32_t kWriteFailures[] = {11, 14};      // at the end of writing
constexpr uint32_t kVerifyFailures[] = {10, 12, 13}; // at the end of verifying
constexpr uint32_t kShownFailures[] = {4, 5, 6, 10, 11, 12, 13, 14};

bool writes(int mode) {
    return mode != 9 && mode != 1 && mode != 11;
}
bool verifies(int mode) {
    return mode != 8 && mode != 10 && mode != 1 && mode != 11;
}
bool copyOnly(int mode) {
    return mode == 4 || mode == 6;
}
bool contains(const uint32_t* begin, const uint32_t* end, uint32_t code) {
    return std::find(begin, end, code) != end;
}

template <typename T> void put(StatusBlock& block, size_t offset, const T& record) {
    memcpy(block.bytes + offset, &record, sizeof(record));
}

} // namespace

Family familyForMode(int mode) {
    if (copier::isCopyMode(mode))
        return Family::Copier;
    switch (mode) {
    case 1:
        return Family::Format;
    case 7:
        return Family::Burnin;
    default:
        return Family::Tester;
    }
}

const char* familyName(Family family) {
    switch (family) {
    case Family::Idle:
        return "idle";
    case Family::Tester:
        return "tester";
    case Family::Format:
        return "format";
    case Family::Copier:
        return "copier";
    case Family::Burnin:
        return "burnin";
    }
    return "?";
}

bool familyForScenario(const std::string& name, Family* family) {
    for (Family f :
         {Family::Idle, Family::Tester, Family::Format, Family::Copier, Family::Burnin}) {
        if (name == familyName(f)) {
            *family = f;
            return true;
        }
    }
    return false;
}

int defaultModeFor(Family family) {
    switch (family) {
    case Family::Format:
        return 1;
    case Family::Copier:
        return 3;
    case Family::Burnin:
        return 7;
    default:
        return 0;
    }
}

PortModel::PortModel(uint32_t seed) : mRandom(seed) {}

int PortModel::range(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(mRandom);
}

uint64_t PortModel::pickCapacity() {
    return kCapacities[range(0, int(std::size(kCapacities)) - 1)];
}

void PortModel::configure(Family family, int mode, int ports, int burninCycles) {
    mFamily = family;
    mMode = mode;
    mPorts = std::clamp(ports, 1, kTesterPorts);
    mCycles = burninCycles > 0 ? burninCycles : 3;
    mPort.assign(size_t(mPorts), Port{});
    for (int i = 0; i < mPorts; ++i)
        startPort(mPort[size_t(i)], i);
    mJob = Job{};
    mJob.bytes = uint64_t(range(3000, 9000)) * kMiB;
    mJob.phase = copier::isCompareOnly(mode) ? Phase::Work2 : Phase::Work1;
    mJob.length = range(20, 30);
    mJob.tick = mJob.length / 3;
}

// Ports start spread over their cycle, so that the very first block shows every kind of
// port: empty, starting, writing, verifying, passed and failed.
void PortModel::startPort(Port& port, int index) {
    port = Port{};
    port.capacity = pickCapacity();
    port.writeSpeed = uint64_t(range(12, 90)) * kMiB;
    port.readSpeed = uint64_t(range(60, 220)) * kMiB;
    if (mFamily == Family::Copier) {
        // Targets follow the job; a few slots stay empty.
        port.phase = (index % 7 == 3) ? Phase::Empty : Phase::Work1;
        port.outcome = (index % 9 == 5) ? 7 : (index % 13 == 8) ? 9 : 6;
        port.length = port.outcome == 7 ? range(20, 80) : 100; // percent where it stops
        return;
    }
    // A verify-only run has no write phase; single-phase work repeats its one phase.
    const bool verifyOnly = mFamily == Family::Tester && !writes(mMode) && mMode != 11;
    const Phase first = verifyOnly ? Phase::Work2 : Phase::Work1;
    const bool hasSecondPhase = mFamily == Family::Burnin ||
                                (mFamily == Family::Tester && writes(mMode) && verifies(mMode));
    const Phase second = hasSecondPhase ? Phase::Work2 : first;
    switch (index % 8) {
    case 0:
        enter(port, Phase::Empty);
        break;
    case 1:
        enter(port, Phase::Ready);
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        enter(port, index % 8 < 4 ? first : second);
        // Somewhere in the phase, but never about to leave it.
        port.tick = port.length >= 10 ? range(0, port.length / 2) : 0;
        break;
    case 6:
        enter(port, Phase::Done);
        port.length = range(25, 40); // results of the first screen stay a while
        finish(port, true);
        break;
    default: {
        enter(port, Phase::Done);
        port.length = range(25, 40);
        if (mFamily == Family::Tester && mMode == 10)
            port.outcome = 4;
        else if (mFamily == Family::Tester && mMode != 11)
            port.outcome = kShownFailures[(index / 8) % std::size(kShownFailures)];
        else if (mFamily == Family::Burnin)
            port.outcome = (index / 8) % 2 ? 15 : 13;
        else
            port.outcome = (index / 8) % 2 ? 4 : 5;
        port.errors = port.outcome == 3 ? 0 : uint32_t(range(1, 40));
        finish(port, false);
        break;
    }
    }
    if (mFamily == Family::Burnin && port.phase != Phase::Empty)
        port.pass = range(0, std::max(0, mCycles - 1));
}

void PortModel::enter(Port& port, Phase phase) {
    port.phase = phase;
    port.tick = 0;
    switch (phase) {
    case Phase::Empty:
        port.length = range(2, 6);
        port.capacity = pickCapacity();
        port.outcome = 0;
        port.errors = 0;
        port.pass = 0;
        break;
    case Phase::Ready:
        port.length = range(1, 2);
        break;
    case Phase::Work1:
    case Phase::Work2:
        port.length = (mFamily == Family::Burnin)                  ? range(4, 6)
                      : (mFamily == Family::Format || mMode == 11) ? range(3, 8)
                                                                   : range(15, 30);
        break;
    case Phase::Done:
        port.length = range(10, 20);
        if (port.outcome == 0)
            port.outcome = 3;
        break;
    }
}

void PortModel::finish(Port& port, bool passed) {
    ++mTotals.worked;
    if (passed)
        ++mTotals.success;
    else
        ++mTotals.fail;
    if (passed)
        port.outcome = mFamily == Family::Burnin ? (range(0, 7) == 0 ? 17 : 14) : 3;
}

// Decided when a device arrives: 0 passes, anything else is the failure it will show.
uint32_t PortModel::testerFailure() {
    if (range(0, 99) < 72)
        return 0;
    if (mFamily == Family::Format || mMode == 11)
        return uint32_t(range(4, 5));
    if (mMode == 10)
        return 4;
    return kShownFailures[range(0, int(std::size(kShownFailures)) - 1)];
}

double PortModel::fraction(const Port& port) const {
    return std::min(1.0, double(port.tick + 1) / double(port.length));
}

void PortModel::tick() {
    if (mFamily == Family::Copier) {
        tickCopier();
        return;
    }
    for (Port& port : mPort) {
        if (mFamily == Family::Burnin)
            tickBurnin(port);
        else if (mFamily != Family::Idle)
            tickTester(port);
    }
}

void PortModel::tickTester(Port& port) {
    if (++port.tick < port.length)
        return;
    const uint32_t failure = port.outcome;
    const bool early = contains(std::begin(kEarlyFailures), std::end(kEarlyFailures), failure);
    const bool atWriteEnd =
        contains(std::begin(kWriteFailures), std::end(kWriteFailures), failure) ||
        (!verifies(mMode) && failure != 0);
    switch (port.phase) {
    case Phase::Empty:
        enter(port, Phase::Ready);
        port.outcome = testerFailure();
        break;
    case Phase::Ready:
        if (early && mFamily == Family::Tester && mMode != 11) {
            enter(port, Phase::Done);
            finish(port, false);
        } else {
            enter(port, writes(mMode) || mFamily == Family::Format || mMode == 11 ? Phase::Work1
                                                                                  : Phase::Work2);
        }
        break;
    case Phase::Work1:
        if (verifies(mMode) && !atWriteEnd) {
            enter(port, Phase::Work2);
        } else {
            enter(port, Phase::Done);
            finish(port, failure == 0);
        }
        break;
    case Phase::Work2:
        enter(port, Phase::Done);
        finish(port, failure == 0);
        break;
    case Phase::Done:
        enter(port, Phase::Empty);
        break;
    }
}

void PortModel::tickBurnin(Port& port) {
    if (++port.tick < port.length)
        return;
    switch (port.phase) {
    case Phase::Empty:
        enter(port, Phase::Ready);
        port.outcome = range(0, 99) < 78 ? 0 : (range(0, 1) ? 13 : 15);
        break;
    case Phase::Ready:
        enter(port, Phase::Work1);
        break;
    case Phase::Work1:
        if (port.outcome == 15 && port.pass >= 1) {
            enter(port, Phase::Done);
            finish(port, false);
        } else {
            enter(port, Phase::Work2);
        }
        if (port.outcome == 13 && port.pass >= 1)
            port.errors += uint32_t(range(1, 6));
        break;
    case Phase::Work2:
        if (++port.pass < mCycles) {
            enter(port, Phase::Work1);
        } else {
            enter(port, Phase::Done);
            finish(port, port.outcome == 0);
        }
        break;
    case Phase::Done:
        enter(port, Phase::Empty);
        break;
    }
}

void PortModel::tickCopier() {
    if (++mJob.tick < mJob.length) {
        if (mJob.phase == Phase::Ready)
            ++mJob.prep;
        return;
    }
    auto done = [this] {
        mJob.phase = Phase::Done;
        mJob.length = 10;
        for (size_t i = 1; i < mPort.size(); ++i) {
            if (mPort[i].phase != Phase::Empty)
                finish(mPort[i], mPort[i].outcome == 6);
        }
    };
    mJob.tick = 0;
    switch (mJob.phase) {
    case Phase::Empty: // idle between jobs
        mJob.phase = Phase::Ready;
        mJob.length = 5;
        mJob.prep = 1;
        mJob.bytes = uint64_t(range(3000, 9000)) * kMiB;
        for (size_t i = 1; i < mPort.size(); ++i) {
            Port& target = mPort[i];
            if (target.phase == Phase::Empty)
                continue;
            target.capacity = pickCapacity();
            const int roll = range(0, 99);
            target.outcome = roll < 84 ? 6 : roll < 94 ? 7 : roll < 97 ? 9 : 10;
            target.length = target.outcome == 7 ? range(10, 90) : 100;
        }
        break;
    case Phase::Ready:
        mJob.phase = copier::isCompareOnly(mMode) ? Phase::Work2 : Phase::Work1;
        mJob.length = range(20, 30);
        break;
    case Phase::Work1:
        if (copyOnly(mMode)) {
            done();
        } else {
            mJob.phase = Phase::Work2;
            mJob.length = range(15, 25);
        }
        break;
    case Phase::Work2:
        done();
        break;
    case Phase::Done:
        mJob.phase = Phase::Empty;
        mJob.length = 3;
        break;
    }
}

void PortModel::fill(StatusBlock& block) const {
    memset(block.bytes + sizeof(StatusHeader), 0, sizeof(block.bytes) - sizeof(StatusHeader));
    StatusHeader header = block.header();
    header.totalWorked = mTotals.worked;
    header.totalSuccess = mTotals.success;
    header.totalFail = mTotals.fail;
    put(block, 0, header);
    switch (mFamily) {
    case Family::Idle:
        break;
    case Family::Tester:
        fillTester(block);
        break;
    case Family::Format:
        fillFormat(block);
        break;
    case Family::Copier:
        fillCopier(block);
        break;
    case Family::Burnin:
        fillBurnin(block);
        break;
    }
}

void PortModel::fillTester(StatusBlock& block) const {
    const bool both = writes(mMode) && verifies(mMode);
    for (int i = 0; i < mPorts; ++i) {
        const Port& port = mPort[size_t(i)];
        if (port.phase == Phase::Empty)
            continue;
        TesterPortRecord r{};
        r.connected = 1;
        r.capacityBytes = port.capacity;
        const uint64_t total = port.capacity;
        const double writeMs = double(total) / double(port.writeSpeed) * 1000.0;
        const double readSec = double(total) / double(port.readSpeed);
        const double f = fraction(port);
        r.totalBytes = total;
        r.writeSpeed = port.writeSpeed;
        r.readSpeed = port.readSpeed;
        switch (port.phase) {
        case Phase::Ready:
            r.state = 9;
            break;
        case Phase::Work1:
            r.state = 1;
            if (mMode == 11)
                break;
            r.doneBytes = uint64_t(f * double(total));
            r.writeTimeMs = int64_t(f * writeMs);
            r.progress = (both ? 50.0 : 100.0) * f;
            break;
        case Phase::Work2:
            r.state = 2;
            r.writeTimeMs = writes(mMode) ? int64_t(writeMs) : 0;
            r.doneBytes = uint64_t(f * double(total));
            r.totalSectors = total / 512;
            r.readTimeSec = int32_t(f * readSec);
            r.progress = (writes(mMode) ? 50.0 + 50.0 * f : 100.0 * f);
            if (port.outcome == 12 && f > 0.4)
                r.badSectors = uint64_t(port.capacity / 512 / 997);
            break;
        default: { // Done
            r.state = port.outcome;
            const bool writeFailure = port.outcome == 11 || port.outcome == 14 ||
                                      (port.outcome == 10 && !verifies(mMode));
            r.progress = port.outcome == 3 ? 100.0 : writeFailure ? 35.0 : 80.0;
            r.doneBytes = port.outcome == 3 ? total : uint64_t(r.progress / 100.0 * double(total));
            r.testedBytes = port.outcome == 3 ? total - total % (1 << 20) : r.doneBytes;
            r.writeTimeMs = writes(mMode) ? int64_t(writeMs) : 0;
            r.readTimeSec = verifies(mMode) && !writeFailure ? int32_t(readSec) : 0;
            r.totalSectors = total / 512;
            r.fsType = port.capacity > 32 * 1024 * kMiB ? 3 : 2;
            r.clusterFactorA = r.fsType == 3 ? 256 : 64;
            r.clusterFactorB = 512;
            if (port.outcome == 12)
                r.badSectors = uint64_t(port.capacity / 512 / 997);
            if (port.outcome == 13)
                r.readSpeed = 3 * kMiB;
            if (port.outcome == 14)
                r.writeSpeed = 2 * kMiB;
            break;
        }
        }
        put(block, testerPortOffset(i + 1), r);
    }
}

void PortModel::fillFormat(StatusBlock& block) const {
    for (int i = 0; i < mPorts; ++i) {
        const Port& port = mPort[size_t(i)];
        if (port.phase == Phase::Empty)
            continue;
        TesterPortRecord r{};
        r.connected = 1;
        r.capacityBytes = port.capacity;
        if (port.phase == Phase::Ready) {
            r.state = 9;
        } else if (port.phase == Phase::Done) {
            r.state = port.outcome;
            r.progress = 100.0;
            r.doneBytes = port.outcome == 4 ? 0 : port.capacity - port.capacity / 200;
            r.fsType = port.capacity > 32 * 1024 * kMiB ? 3 : 2;
            r.clusterFactorA = r.fsType == 3 ? 256 : 64;
            r.clusterFactorB = 512;
        } else {
            r.state = 1;
            r.progress = 100.0 * fraction(port);
        }
        put(block, testerPortOffset(i + 1), r);
    }
}

void PortModel::fillCopier(StatusBlock& block) const {
    CopierJobArea job{};
    job.prepCounter = mJob.prep;
    job.jobBytes = mJob.bytes;
    job.twoPass = copier::isTwoPassMode(mMode) ? 1 : 0;
    put(block, sizeof(StatusHeader), job);

    const double f = std::min(1.0, double(mJob.tick + 1) / double(mJob.length));
    double copied = 0, compared = 0;
    uint32_t masterStatus = 1;
    switch (mJob.phase) {
    case Phase::Empty:
        break;
    case Phase::Ready:
        masterStatus = 2;
        break;
    case Phase::Work1:
        masterStatus = 4;
        copied = f;
        break;
    case Phase::Work2:
        masterStatus = 5;
        copied = copier::isCompareOnly(mMode) ? 0 : 1;
        compared = f;
        break;
    case Phase::Done:
        masterStatus = 6;
        copied = copier::isCompareOnly(mMode) ? 0 : 1;
        compared = copyOnly(mMode) ? 0 : 1;
        break;
    }
    const int ports = std::min<int>(mPorts, int((sizeof(block.bytes) - 56) / 56));
    for (int p = 0; p < ports; ++p) {
        const Port& port = mPort[size_t(p)];
        CopierPortRecord r{};
        if (p > 0 && port.phase == Phase::Empty) {
            put(block, copierPortOffset(p), r);
            continue;
        }
        r.connectState = 1;
        r.capacityBytes = port.capacity;
        double c = copied, k = compared;
        uint32_t status = masterStatus == 2 ? 1 : masterStatus;
        if (p == 0) {
            status = masterStatus;
        } else if (port.outcome == 9 || port.outcome == 10) {
            c = k = 0;
            status = mJob.phase == Phase::Empty ? 1 : port.outcome;
        } else if (port.outcome == 7) {
            // Stops where it failed, on the copy or on the compare.
            const double stop = port.length / 100.0;
            const double progress = (c + k) / 2.0;
            if (mJob.phase != Phase::Empty && mJob.phase != Phase::Ready && progress >= stop) {
                c = std::min(c, stop * 2);
                k = std::max(0.0, stop * 2 - 1);
                status = 7;
            }
        }
        if (p > 0 && status == 6 && masterStatus == 6)
            status = port.outcome == 6 ? 6 : port.outcome;
        r.portStatus = status;
        r.copiedBytes = uint64_t(c * double(mJob.bytes));
        r.comparedBytes = uint64_t(k * double(mJob.bytes));
        r.writeSpeed = status == 4 ? float(port.writeSpeed) : 0.0f;
        r.readSpeed = status == 5 || (p == 0 && status == 4) ? float(port.readSpeed) : 0.0f;
        r.writeTimeMs = int64_t(double(r.copiedBytes) / double(port.writeSpeed) * 1000.0);
        r.readTimeMs = int64_t(double(r.comparedBytes) / double(port.readSpeed) * 1000.0);
        put(block, copierPortOffset(p), r);
    }
}

void PortModel::fillBurnin(StatusBlock& block) const {
    for (int i = 0; i < mPorts; ++i) {
        const Port& port = mPort[size_t(i)];
        BurninPortRecord r{};
        const uint64_t cap = port.capacity;
        const double f = fraction(port);
        const int halfPasses = port.pass * 2 + (port.phase == Phase::Work2 ? 1 : 0);
        const double secondsPerHalf = double(cap) / double(port.writeSpeed);
        switch (port.phase) {
        case Phase::Empty:
            r.bnStatus = 0;
            break;
        case Phase::Ready:
            r.bnStatus = 1;
            break;
        case Phase::Work1:
        case Phase::Work2:
            r.busy = 1;
            r.bnStatus = port.phase == Phase::Work1 ? 11 : 12;
            r.bnProgress = int32_t((halfPasses + f) * 100.0 / (2.0 * mCycles));
            r.bnWrittenBytes = uint64_t(port.pass) * cap +
                               (port.phase == Phase::Work1 ? uint64_t(f * double(cap)) : cap);
            r.bnVerifiedBytes = uint64_t(port.pass) * cap +
                                (port.phase == Phase::Work2 ? uint64_t(f * double(cap)) : 0);
            r.bnElapsedSec = int64_t((halfPasses + f) * secondsPerHalf);
            break;
        case Phase::Done:
            r.bnStatus = port.outcome;
            r.bnProgress = port.outcome == 14 || port.outcome == 17
                               ? 100
                               : int32_t(port.pass * 100 / std::max(1, mCycles));
            r.bnWrittenBytes = uint64_t(std::max(1, port.pass)) * cap;
            r.bnVerifiedBytes = r.bnWrittenBytes - (port.outcome == 15 ? cap / 2 : 0);
            r.bnElapsedSec = int64_t(2.0 * std::max(1, port.pass) * secondsPerHalf);
            break;
        }
        if (r.bnStatus >= 11) {
            r.bnCapacityBytes = cap;
            r.bnSpeed = float(port.phase == Phase::Work2 ? port.readSpeed : port.writeSpeed);
            r.bnPass = uint32_t(port.pass);
            r.bnPassGate = 1;
            r.errorCount1 = port.outcome == 15 ? 1 : 0;
            r.errorCount3 = port.outcome == 13 ? port.errors : 0;
            r.firstErrorKind = port.outcome == 15 ? 1 : port.errors ? 3 : 0;
            r.smartC5 = port.outcome == 13 ? port.errors : 0;
            r.smart05 = port.outcome == 15 ? 8 : 0;
        }
        put(block, burninPortOffset(i), r);
    }
}

} // namespace sim
