#pragma once
// The copier's rules as data and pure functions: work modes, progress, time texts, the
// master and target status tables, which ports count as empty and the slowest target.
// The frames and the window apply them to widgets.

#include "forms/frame_styles.h"
#include "link/status_block.h"

#include <QSize>
#include <QString>
#include <cstdint>

namespace copier {

constexpr int kModeFormat = 1;
constexpr int kModeFullCopyCompare = 3;
constexpr int kModeFullCopy = 4;
constexpr int kModeDataCopyCompare = 5;
constexpr int kModeDataCopy = 6;
constexpr int kModeFullCompare = 12;
constexpr int kModeDataCompare = 13;

// Connect states of a copier record.
constexpr uint32_t kConnectNone = 0;
constexpr uint32_t kConnectPresent = 1;
constexpr uint32_t kConnectGone = 19;

// Style sheets of the copier frames.
using frame_styles::kGreen;
using frame_styles::kGrey;
using frame_styles::kRed;
extern const char* const kMasterBlue;

// The copier's work modes: the copies, the copies with compare and the compares.
bool isCopyMode(int mode);
bool isCompareOnly(int mode);
// Modes that copy and then compare, so a target's job is two passes.
bool isTwoPassMode(int mode);

// Untranslated work-mode name (tr() it in the MainWindowCopy context); null for a mode
// without a name.
const char* modeName(int mode);
// Cover title: translated mode name, panel version and, once the engine has reported one,
// the engine version, in hexadecimal; empty for a mode without a name.
QString coverTitle(int mode, uint32_t engineVersion);
// Name on the status strip: the copy and compare modes by name, any other "Unknown".
QString stripModeName(int mode);

// Percent of the job done, 0 to 100, truncated; 0 for an empty job or one too large to double.
int copyProgress(uint64_t copied, uint64_t compared, uint64_t jobBytes, bool twoPass);
int compareProgress(uint64_t compared, uint64_t jobBytes);

// Copy time (" 12 s") and compare time ("12s") of a target; below a second the copy time is
// a blank and the compare time empty.
QString writeTimeText(int64_t ms);
QString readTimeText(int64_t ms);

// Which per-tick counter of the window a target adds itself to.
enum class Counter { None, Working, Success, Fail };

// The ports of one tick by their counters.
struct TickCounts {
    int working = 0;
    int success = 0;
    int fail = 0;
    void add(Counter counter);
};

struct TargetStatusRow {
    uint32_t status;
    const char* text;  // tr() in the Frame_dst context
    const char* style; // frame background
    Counter counter;
    const char* log;    // logged once when the status changes
    bool paintOnChange; // text and colour only when the status changes
};
// The row of a target status; null for a status the table does not know.
const TargetStatusRow* targetStatusRow(uint32_t status);

struct MasterStatusRow {
    uint32_t status;
    const char* text; // tr() in the Frame_dd context; null keeps the text
    const char* log;  // logged once when the status changes; null logs nothing
    bool logAsError;  // an error line that carries the status instead of the port
    bool preparing;   // the text carries the preparation counter
    bool full;        // the bar shows 100
};
const MasterStatusRow* masterStatusRow(uint32_t status);

// A target with no disk: connect state 0 and either status 0 or a machine that shows such a
// port empty (more than 8 ports, except the 51- and 121-port machines).
bool targetIsEmpty(uint32_t connectState, uint32_t status, int portCount);
// The counter a target goes to this tick: none while it is empty or gone, else its status row's.
Counter targetCounter(const CopierPortRecord& record, int portCount);
// The 51- and 121-port machines number their targets from 1 and show no counter while the
// master prepares.
bool numbersTargetsFromOne(int portCount);

// Index of the working target (status 4 or 5) with the least done, lowest index on a tie;
// -1 when none is working.
int slowestTarget(const StatusBlock& block, int portCount);

// Cover and title sizes by port count; an empty size means the frame's own size.
struct CoverSizes {
    QSize mask;
    QSize title;
    QSize frame; // the frame itself is fixed to this size when it is set
};
CoverSizes masterCover(int portCount);
CoverSizes targetCover(int portCount);
QString coverTitleStyle(int portCount);
// Frames of the 64- and 121-port machines are about 120 pixels high for ten rows: they take
// the window's 6-point font and no spacing.
bool compactFrames(int portCount);

} // namespace copier
