#pragma once
// The burn-in frame's rules as pure functions: time texts, the pass progress, the error sum
// and texts, and the cover sizes.

#include "copier/copier_logic.h"
#include "link/status_block.h"

#include <QString>
#include <cstdint>

namespace burnin {

constexpr int kModeBurnin = 7;
// The machines whose frames show SMART counters instead of amounts when a test ends.
constexpr int kSmartVariant = 2;

enum Status : uint32_t {
    StatusEmpty = 0,
    StatusReady = 1,
    StatusWriting = 11,
    StatusVerifying = 12,
    StatusStoppedWithErrors = 13,
    StatusPassed = 14,
    StatusWriteStopped = 15,
    StatusComplete = 17,
};

extern const char* const kWhite;

using Counter = copier::Counter;

// The per-tick counter a status goes to: 11 and 12 work, 13 and 15 fail, 14 passes; the
// others (17, test complete, among them) count nowhere.
Counter statusCounter(uint32_t status);

// Seconds as "5 s", "1:15m" or "1:2:5h"; negative values read as negative seconds.
QString timeText(int64_t seconds);
// Time left of a test of `hours`: negative once overrun; empty when it cannot be computed.
QString remainingText(int hours, int64_t elapsedSeconds);
// Progress of the current pass: the part of the last capacity written, in percent; 0 for a
// capacity of 0.
int passProgress(uint64_t writtenBytes, uint64_t capacityBytes);
uint64_t errorSum(const BurninPortRecord& record);
// Pass counter and phase: "3/5" + phase, or "3" + phase without a set number of passes.
QString passText(uint32_t pass, int cycles, const QString& phase);
// Kind of the first error: 1 write, 2 read, 3 verify; empty for anything else.
const char* firstErrorKindText(uint32_t kind);

// Background and counter of a port in its status; a null style where the frame keeps what it
// shows (an unknown status).
struct PortLook {
    const char* style;
    Counter counter;
};
PortLook portLook(const BurninPortRecord& record);

// Title on every frame's cover: "BURNIN", the panel version and, once the engine has
// reported one, the engine version, in hexadecimal.
QString coverTitle(uint32_t engineVersion);

// Cover sizes by port count and variant (the SMART variant's 16-port form is tall).
copier::CoverSizes burninCover(int portCount, int machineVariant);

} // namespace burnin
