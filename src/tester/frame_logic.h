#pragma once
// What a tester port frame draws for one port record: pure functions and tables, so the
// drawing rules are testable without widgets. Frame applies the result to its labels.

#include "forms/frame_styles.h"
#include "link/status_block.h"
#include "settings/setting_record.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

namespace tester {

// Work modes the tester window shows that change how a frame draws.
constexpr int kModeFormat = 1;
constexpr int kModeH2Write = 8;
constexpr int kModeH2Verify = 9;
constexpr int kModeErase = 10;
constexpr int kModeProtocol = 11;

// Port states of the tester record.
enum PortState : uint32_t {
    StateReady = 0,
    StateBusy = 1, // writing, formatting, protocol probe
    StateVerifying = 2,
    StatePassed = 3,
    StateWriteError = 4,
    StateCapacityLow = 5,
    StateUsb2 = 6,
    StateInitialising = 9,
    StateError = 10,
    StateWriteErrorFigures = 11,
    StateCorrupted = 12,
    StateReadSlow = 13,
    StateWriteSlow = 14,
};

// Frame background style sheets.
using frame_styles::kGreen;
using frame_styles::kGrey;
using frame_styles::kRed;
extern const char* const kOrange;

// Which per-tick counter a frame adds itself to.
enum class Outcome { None, Working, Passed, Failed };

enum class Cover { Keep, Show, Hide };
enum class Bar { Keep, Show, Hide };

// The changes one refresh makes to a frame; unset fields are left as they are.
struct FrameDraw {
    bool untouched = false; // nothing changes, not even the remembered state
    bool skipped = false;   // the state is already on screen: only counted
    uint32_t state = 0;
    Outcome outcome = Outcome::None;
    Cover cover = Cover::Keep;
    bool clearFirstLineIfCovered =
        false; // with Cover::Show: blank `label` when the cover was hidden
    Bar bar = Bar::Keep;
    std::optional<int> barValue;
    std::optional<QString> style;
    std::optional<QString> line;   // `label`
    std::optional<QString> line1;  // `label_1_1`
    std::optional<QString> line2;  // `label_1_2`
    std::optional<QString> line3;  // `label_1_3`
    std::optional<QString> status; // `label_status`
    bool line3Red = false;
    std::optional<double> writeSpeed;      // new value of the frame's last shown write speed
    std::optional<uint32_t> strangeFsType; // an unknown file-system code to log
};

// The counter a result state goes to in the work mode in force: Passed or Failed, or None for
// a state that is no result in that mode.
Outcome finishedOutcome(int mode, uint32_t state);
// Whether state 10 reads as a read error: only verifying, or late in the run.
bool errorIsRead(int mode, double progress);
// On copiers the first port is the master disk, which the tester display leaves alone.
bool leavesPortAlone(int port, const SettingRecord& setting);
// On these machines port 1 belongs to the board controller, not to the tester: the window
// numbers the ports from the second one, as 1.
bool skipsFirstPort(int portCount);

// One refresh of port `port` from its record; `lastState` is the state drawn last time.
FrameDraw drawFrame(int port, const TesterPortRecord& record, const SettingRecord& setting,
                    uint32_t lastState);

// Time texts of the finished write and read lines.
QString finishedWriteTime(int64_t ms);
QString finishedReadTime(int32_t seconds);
// Time texts while writing and verifying (the hour form carries seconds).
QString runningWriteTime(int64_t ms);
QString runningReadTime(int32_t seconds);
// "写:..." and "读:..." lines of the finished states.
QString writeLine(int mode, const TesterPortRecord& record);
QString readLine(const TesterPortRecord& record);

// Background of a passed port: the first enabled grade whose bounds (whole MiB, both ends
// included) hold the capacity, else green. `gradingOn` is the switch of the mode in force.
QString gradeStyle(const SettingRecord& setting, bool gradingOn, uint64_t capacityBytes);

// File-system tag behind the tested capacity; `strange` is set for an unknown code.
QString fileSystemTag(int afterFormat, uint32_t fsType, bool* strange);
// File-system name of the format result.
QString formatFileSystemName(uint32_t fsType);

// Point size of the frame's texts by port count.
int frameFontPointSize(int portCount);
// Size of the cover and of the title over it; frameFixed is set when the frame itself is
// fixed to that size. An empty height means as high as the frame.
struct CoverGeometry {
    QSize cover;
    QSize title;
    bool frameFixed = false;
    bool followFrameHeight = false;
};
CoverGeometry coverGeometry(int portCount, int machineVariant);
QString titleStyle(int portCount);

} // namespace tester
