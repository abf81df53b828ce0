#include "copier/copier_logic.h"

#include "base/percent.h"
#include "base/version.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <cstddef>

namespace copier {

const char* const kMasterBlue = "background:#caE6ff";

void TickCounts::add(Counter counter) {
    switch (counter) {
    case Counter::Working:
        ++working;
        break;
    case Counter::Success:
        ++success;
        break;
    case Counter::Fail:
        ++fail;
        break;
    case Counter::None:
        break;
    }
}

bool isCopyMode(int mode) {
    return mode == kModeFullCopyCompare || mode == kModeFullCopy || mode == kModeDataCopyCompare ||
           mode == kModeDataCopy || isCompareOnly(mode);
}

bool isCompareOnly(int mode) {
    return mode == kModeFullCompare || mode == kModeDataCompare;
}

bool isTwoPassMode(int mode) {
    return mode == kModeFullCopyCompare || mode == kModeDataCopyCompare;
}

const char* modeName(int mode) {
    switch (mode) {
    case kModeFormat:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "格式化");
    case kModeFullCopyCompare:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "全盘拷贝比较");
    case kModeFullCopy:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "全盘拷贝");
    case kModeDataCopyCompare:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "数据拷贝比较");
    case kModeDataCopy:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "数据拷贝");
    case kModeFullCompare:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "全盘比较");
    case kModeDataCompare:
        return QT_TRANSLATE_NOOP("MainWindowCopy", "数据比较");
    default:
        return nullptr;
    }
}

QString coverTitle(int mode, uint32_t engineVersion) {
    const char* name = modeName(mode);
    if (!name)
        return QString();
    const QString text = QCoreApplication::translate("MainWindowCopy", name);
    if (engineVersion == 0)
        return (text + QStringLiteral("\nV%L1\n\n")).arg(hexVersion(kPanelVersion));
    return (text + QStringLiteral("\nV%L1\nV%L2\n"))
        .arg(hexVersion(kPanelVersion), hexVersion(engineVersion));
}

QString stripModeName(int mode) {
    if (mode == kModeFormat || !modeName(mode))
        return QCoreApplication::translate("MainWindowCopy", "Unknown");
    return QCoreApplication::translate("MainWindowCopy", modeName(mode));
}

int copyProgress(uint64_t copied, uint64_t compared, uint64_t jobBytes, bool twoPass) {
    // A job too large to double has no share to show.
    if (twoPass && jobBytes > UINT64_MAX / 2)
        return 0;
    const uint64_t done = copied + compared < copied ? UINT64_MAX : copied + compared;
    return percentOf(done, twoPass ? 2 * jobBytes : jobBytes);
}

int compareProgress(uint64_t compared, uint64_t jobBytes) {
    return percentOf(compared, jobBytes);
}

namespace {
// Seconds from 1000 ms up to the minute, minutes up to the hour, then hours.
QString timeText(int64_t ms, const char* secondsUnit) {
    if (ms < 1000)
        return QString();
    const int64_t s = ms / 1000;
    if (ms <= 60000)
        return QString::number(s) + QLatin1String(secondsUnit);
    if (ms <= 3600000)
        return QStringLiteral("%1:%2m").arg(ms / 60000).arg(s % 60);
    return QStringLiteral("%1:%2:%3h").arg(ms / 3600000).arg(s % 3600 / 60).arg(s % 3600 % 60);
}
} // namespace

QString writeTimeText(int64_t ms) {
    return QStringLiteral(" ") + timeText(ms, " s");
}

QString readTimeText(int64_t ms) {
    return timeText(ms, "s");
}

namespace {
// clang-format off
const TargetStatusRow kTargetRows[] = {
    {0,  QT_TRANSLATE_NOOP("Frame_dst", "  就绪"),     kGrey,  Counter::None,    "port %d none",       false},
    {1,  QT_TRANSLATE_NOOP("Frame_dst", "  就绪"),     kGrey,  Counter::None,    "port %d idle",       false},
    {4,  QT_TRANSLATE_NOOP("Frame_dst", "  正在拷贝"), kGrey,  Counter::Working, "port %d copy",       false},
    {5,  QT_TRANSLATE_NOOP("Frame_dst", "  正在比对"), kGrey,  Counter::Working, "port %d compare",    false},
    {6,  QT_TRANSLATE_NOOP("Frame_dst", "  成功"),     kGreen, Counter::Success, "port %d success",    true},
    {7,  QT_TRANSLATE_NOOP("Frame_dst", "  失败"),     kRed,   Counter::Fail,    "port %d fail",       true},
    {9,  QT_TRANSLATE_NOOP("Frame_dst", "  容量超限"), kRed,   Counter::Fail,    "port %d cap fail",   true},
    {10, QT_TRANSLATE_NOOP("Frame_dst", "  数据超限"), kRed,   Counter::Fail,    "port %d cap exceed", true},
};

const MasterStatusRow kMasterRows[] = {
    {0, nullptr,                                          "None status %d",  true,  false, false},
    {1, QT_TRANSLATE_NOOP("Frame_dd", "  就绪"),          "port %d idle",    false, false, false},
    {2, QT_TRANSLATE_NOOP("Frame_dd", "  准备中 "),       nullptr,           false, true,  false},
    {3, QT_TRANSLATE_NOOP("Frame_dd", "  准备中 "),       nullptr,           false, true,  false},
    {4, QT_TRANSLATE_NOOP("Frame_dd", "  正在拷贝"),      "port %d copy",    false, false, false},
    {5, QT_TRANSLATE_NOOP("Frame_dd", "  正在对比  "),    "port %d compare", false, false, false},
    {6, QT_TRANSLATE_NOOP("Frame_dd", "  完成"),          "port %d success", false, false, true},
    {7, QT_TRANSLATE_NOOP("Frame_dd", "  失败"),          "port %d fail",    false, false, false},
};
// clang-format on

template <typename Row, size_t N> const Row* findRow(const Row (&rows)[N], uint32_t status) {
    for (const Row& row : rows) {
        if (row.status == status)
            return &row;
    }
    return nullptr;
}
} // namespace

const TargetStatusRow* targetStatusRow(uint32_t status) {
    return findRow(kTargetRows, status);
}

const MasterStatusRow* masterStatusRow(uint32_t status) {
    return findRow(kMasterRows, status);
}

bool numbersTargetsFromOne(int portCount) {
    return portCount == 51 || portCount == 121;
}

bool targetIsEmpty(uint32_t connectState, uint32_t status, int portCount) {
    if (connectState != kConnectNone)
        return false;
    const bool showsBareStatus = portCount <= 8 || numbersTargetsFromOne(portCount);
    return status == 0 || !showsBareStatus;
}

Counter targetCounter(const CopierPortRecord& record, int portCount) {
    const uint32_t status = record.portStatus;
    if (targetIsEmpty(record.connectState, status, portCount) || status == kConnectGone)
        return Counter::None;
    const TargetStatusRow* row = targetStatusRow(status);
    return row ? row->counter : Counter::None;
}

int slowestTarget(const StatusBlock& block, int portCount) {
    int slowest = -1;
    uint64_t least = 0;
    for (int port = 1; port < portCount; ++port) {
        const CopierPortRecord record = block.copierPort(port);
        if (record.portStatus != 4 && record.portStatus != 5)
            continue;
        const uint64_t done = record.copiedBytes + record.comparedBytes;
        if (slowest < 0 || done < least) {
            slowest = port;
            least = done;
        }
    }
    return slowest;
}

namespace {
struct CoverRow {
    int ports;
    QSize masterMask;
    QSize masterTitle;
    QSize targetMask;
    QSize targetTitle;
};
// An empty size: as large as the frame.
const CoverRow kCoverRows[] = {
    {4, {946, 526}, {946, 526}, {946, 526}, {946, 526}},
    {6, {629, 526}, {629, 526}, {629, 526}, {629, 526}},
    {8, {480, 600}, {480, 600}, {480, 600}, {480, 600}},
    {10, {380, 600}, {380, 600}, {380, 600}, {380, 600}},
    {12, {460, 335}, {460, 335}, {460, 335}, {460, 335}},
    {16, {460, 245}, {460, 245}, {460, 245}, {460, 245}},
    {20, {460, 207}, {460, 207}, {460, 207}, {460, 207}},
    {24, {460, 172}, {460, 172}, {460, 172}, {460, 172}},
    {32, {244, 250}, {232, 250}, {232, 260}, {232, 260}},
    {40, {232, 208}, {232, 208}, {232, 208}, {232, 208}},
    {48, {232, 173}, {232, 173}, {232, 173}, {232, 173}},
    {51, {185, 172}, {185, 172}, {185, 172}, {185, 172}},
    {64, {232, 112}, {232, 112}, {232, 112}, {232, 112}},
    {121, {}, {121, 123}, {127, 123}, {126, 118}},
};

const CoverRow* coverRow(int portCount) {
    for (const CoverRow& row : kCoverRows) {
        if (row.ports == portCount)
            return &row;
    }
    return nullptr;
}

QSize fixedFrame(int portCount) {
    return portCount == 64 ? QSize(232, 112) : QSize();
}
} // namespace

CoverSizes masterCover(int portCount) {
    const CoverRow* row = coverRow(portCount);
    if (!row)
        return {};
    return {row->masterMask, row->masterTitle, fixedFrame(portCount)};
}

CoverSizes targetCover(int portCount) {
    const CoverRow* row = coverRow(portCount);
    if (!row)
        return {};
    return {row->targetMask, row->targetTitle, fixedFrame(portCount)};
}

bool compactFrames(int portCount) {
    return portCount >= 64;
}

QString coverTitleStyle(int portCount) {
    const int pixels = (portCount == 4 || portCount == 8) ? 36 : 16;
    return QStringLiteral("color:rgba(0, 0, 0, 200);font-size:%1px;text-align:left;").arg(pixels);
}

} // namespace copier
