#include "tester/frame_logic.h"

#include "base/percent.h"
#include "base/size_text.h"
#include "settings/capacity_grade.h"

#include <QCoreApplication>

namespace tester {

const char* const kOrange = "background:#FF6100";

namespace {

// Status texts go through the catalogue under the frame's context (a name lupdate does
// not take for tr(), so it still sees the QT_TRANSLATE_NOOP texts).
QString translated(const char* text) {
    return QCoreApplication::translate("Frame", text);
}

QString size(double bytes) {
    return getUnitAndValueString(bytes);
}

// Sector counts are shown as bytes (64-bit shift, as the engine's counters wrap).
uint64_t sectorBytes(uint64_t sectors) {
    return sectors << 9;
}

void blankLines(FrameDraw& d) {
    d.line = QString();
    d.line1 = QString();
    d.line2 = QString();
    d.line3 = QString();
}

// Only the status on a blank frame without a bar.
void statusOnly(FrameDraw& d, const QString& status, const char* style) {
    d.cover = Cover::Hide;
    d.status = status;
    blankLines(d);
    d.bar = Bar::Hide;
    d.style = style;
}

// The capacity on the first line and a bar at `barValue`, the other lines blank.
void capacityOnly(FrameDraw& d, const TesterPortRecord& r, int barValue) {
    d.line = size(double(r.capacityBytes));
    d.line1 = QString();
    d.line2 = QString();
    d.line3 = QString();
    d.bar = Bar::Show;
    d.barValue = barValue;
}

void showProgress(FrameDraw& d, const TesterPortRecord& r) {
    d.bar = Bar::Show;
    d.barValue = clampPercent(r.progress);
}

// A finished state is drawn once; later ticks only count it.
bool alreadyShown(FrameDraw& d, uint32_t lastState, int mode) {
    d.outcome = finishedOutcome(mode, d.state);
    d.skipped = lastState == d.state;
    return d.skipped;
}

void finishedLines(FrameDraw& d, int mode, const TesterPortRecord& r) {
    d.line2 = writeLine(mode, r);
    if (mode != kModeH2Verify && r.writeTimeMs > 1000)
        d.writeSpeed = double(r.writeSpeed);
    d.line3 = readLine(r);
}

void drawTestMode(FrameDraw& d, const TesterPortRecord& r, const SettingRecord& s,
                  uint32_t lastState) {
    const int mode = s.mode;
    switch (d.state) {
    case StateReady:
        // Small machines keep their last result on screen.
        if (s.port_count >= 9) {
            d.cover = Cover::Show;
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "就绪"));
        }
        return;
    case StateBusy: {
        d.outcome = Outcome::Working;
        d.cover = Cover::Hide;
        d.style = kGrey;
        d.line = QStringLiteral(" ");
        if (r.writeTimeMs >= 1000) {
            uint64_t total = r.totalBytes;
            if (r.doneBytes != 0 && r.doneBytes <= total)
                total = r.doneBytes;
            d.line1 = total == 0 ? QString() : size(double(total));
            d.line2 = runningWriteTime(r.writeTimeMs);
            d.line3 = size(double(r.writeSpeed)) + QStringLiteral("/s");
            d.writeSpeed = double(r.writeSpeed);
        }
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "写入:")) +
                   (r.doneBytes ? size(double(r.doneBytes)) : QString());
        showProgress(d, r);
        return;
    }
    case StateVerifying:
        d.outcome = Outcome::Working;
        // A port that skipped the writing state must not stay under the ready cover.
        d.cover = Cover::Hide;
        if (mode == kModeH2Write || mode == kModeErase) {
            blankLines(d);
        } else {
            if (mode == kModeH2Verify && r.badSectors == 0)
                d.style = kGrey;
            d.line = QStringLiteral(" ");
            d.line1 = size(double(sectorBytes(r.totalSectors)));
            d.line2 = runningReadTime(r.readTimeSec);
            d.line3 = size(double(r.readSpeed)) + QStringLiteral("/s");
            const QString done = r.doneBytes ? size(double(r.doneBytes)) : QString();
            if (r.badSectors != 0) {
                d.style = kRed;
                d.status = translated(QT_TRANSLATE_NOOP("Frame", "丢失:")) +
                           size(double(sectorBytes(r.badSectors))) +
                           (done.isEmpty() ? QString() : QStringLiteral(" ") + done);
            } else {
                d.status = translated(QT_TRANSLATE_NOOP("Frame", "校验:")) + done;
            }
        }
        showProgress(d, r);
        return;
    case StatePassed:
        if (alreadyShown(d, lastState, mode))
            return;
        d.cover = Cover::Hide;
        d.barValue = clampPercent(r.progress);
        if (mode == kModeErase) {
            d.style = kGreen;
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "擦除完成"));
            return;
        }
        {
            d.style = gradeStyle(s, s.capfil_test_enable != 0, r.capacityBytes);
            bool strange = false;
            const QString tag = fileSystemTag(s.after_format, r.fsType, &strange);
            if (strange)
                d.strangeFsType = r.fsType;
            if (r.doneBytes)
                d.line1 = size(double(r.doneBytes));
            d.line = size(double(r.testedBytes)) + tag;
            finishedLines(d, mode, r);
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "没发现问题"));
        }
        return;
    case StateWriteError:
        if (alreadyShown(d, lastState, mode))
            return;
        d.cover = Cover::Hide;
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "写入错误"));
        d.line1 = QString();
        d.line2 = QString();
        d.line3 = QString();
        d.style = kRed;
        return;
    case StateCapacityLow:
        if (alreadyShown(d, lastState, mode))
            return;
        d.cover = Cover::Hide;
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "容量未达标"));
        d.style = kOrange;
        return;
    case StateUsb2:
        if (alreadyShown(d, lastState, mode))
            return;
        statusOnly(d, QStringLiteral(" USB2.0"), kRed);
        return;
    case StateError:
    case StateWriteErrorFigures:
    case StateCorrupted:
    case StateReadSlow:
    case StateWriteSlow:
        if (alreadyShown(d, lastState, mode))
            return;
        d.cover = Cover::Hide;
        d.barValue = clampPercent(r.progress);
        d.style = kRed;
        if (d.state == StateError)
            d.status = errorIsRead(mode, r.progress)
                           ? translated(QT_TRANSLATE_NOOP("Frame", "读取错误"))
                           : translated(QT_TRANSLATE_NOOP("Frame", "写入错误"));
        else if (d.state == StateWriteErrorFigures)
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "写入错误"));
        else if (d.state == StateCorrupted)
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "损坏:")) +
                       size(double(sectorBytes(r.badSectors)));
        else if (d.state == StateReadSlow)
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "读速度未达标"));
        else
            d.status = translated(QT_TRANSLATE_NOOP("Frame", "写速度未达标"));
        if (r.doneBytes)
            d.line1 = size(double(r.doneBytes));
        d.line = size(double(r.testedBytes));
        finishedLines(d, mode, r);
        return;
    default:
        d.cover = Cover::Hide;
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "状态未知"));
        return;
    }
}

// A finished format: its status, the capacity, the file system and the cluster size.
void formatResult(FrameDraw& d, const TesterPortRecord& r, const QString& status,
                  const QString& style) {
    d.cover = Cover::Hide;
    d.status = status;
    d.style = style;
    d.barValue = 100;
    d.line = size(double(r.capacityBytes));
    d.line1 = r.doneBytes ? size(double(r.doneBytes)) : QString();
    d.bar = Bar::Show;
    d.line2 = formatFileSystemName(r.fsType);
    // The engine reports the cluster size as two factors; their product is a 32-bit value.
    const int32_t cluster = int32_t(uint32_t(r.clusterFactorA) * uint32_t(r.clusterFactorB));
    d.line3 = cluster > 0 ? size(double(cluster)) : QStringLiteral("0");
    d.line3Red = true;
}

void drawFormatMode(FrameDraw& d, const TesterPortRecord& r, const SettingRecord& s,
                    uint32_t lastState) {
    switch (d.state) {
    case StateReady:
        d.cover = Cover::Show;
        d.clearFirstLineIfCovered = true;
        return;
    case StateBusy:
        d.outcome = Outcome::Working;
        d.cover = Cover::Hide;
        d.style = kGrey;
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "正在格式化"));
        capacityOnly(d, r, 0);
        return;
    case StatePassed:
        if (alreadyShown(d, lastState, kModeFormat))
            return;
        formatResult(d, r, translated(QT_TRANSLATE_NOOP("Frame", "格式化成功")),
                     gradeStyle(s, s.capfil_format_enable != 0, r.capacityBytes));
        return;
    case StateWriteError:
        if (alreadyShown(d, lastState, kModeFormat))
            return;
        d.cover = Cover::Hide;
        d.status = translated(QT_TRANSLATE_NOOP("Frame", "格式化错误"));
        d.style = kRed;
        capacityOnly(d, r, 100);
        return;
    case StateCapacityLow:
        if (alreadyShown(d, lastState, kModeFormat))
            return;
        formatResult(d, r, translated(QT_TRANSLATE_NOOP("Frame", "容量未达标")), kOrange);
        return;
    default:
        return;
    }
}

void drawProtocolMode(FrameDraw& d, uint32_t lastState) {
    switch (d.state) {
    case StateReady:
        d.cover = Cover::Show;
        return;
    case StateBusy:
        d.outcome = Outcome::Working;
        d.cover = Cover::Hide;
        d.bar = Bar::Hide;
        d.style = kGrey;
        return;
    case StatePassed: // linked at USB 3.0
        if (alreadyShown(d, lastState, kModeProtocol))
            return;
        statusOnly(d, QStringLiteral(" USB3.0"), kGreen);
        return;
    case StateWriteError: // linked at USB 2.0
        if (alreadyShown(d, lastState, kModeProtocol))
            return;
        statusOnly(d, QStringLiteral(" USB2.0"), kRed);
        return;
    case StateCapacityLow:
        if (alreadyShown(d, lastState, kModeProtocol))
            return;
        d.cover = Cover::Hide;
        d.line = QStringLiteral(" USB3.0");
        d.style = kRed;
        return;
    default:
        return;
    }
}

} // namespace

Outcome finishedOutcome(int mode, uint32_t state) {
    struct Row {
        uint32_t state;
        Outcome test; // the test and erase modes
        Outcome format;
        Outcome protocol;
    };
    constexpr Outcome P = Outcome::Passed, F = Outcome::Failed, N = Outcome::None;
    // clang-format off
    static const Row kRows[] = {
        {StatePassed,            P, P, P}, // protocol analysis: linked at USB 3.0
        {StateWriteError,        F, F, F}, // protocol analysis: linked at USB 2.0
        {StateCapacityLow,       F, F, F}, // protocol analysis: USB 3.0 on a red frame
        {StateUsb2,              F, N, N},
        {StateError,             F, N, N},
        {StateWriteErrorFigures, F, N, N},
        {StateCorrupted,         F, N, N},
        {StateReadSlow,          F, N, N},
        {StateWriteSlow,         F, N, N},
    };
    // clang-format on
    for (const Row& row : kRows) {
        if (row.state == state)
            return mode == kModeFormat     ? row.format
                   : mode == kModeProtocol ? row.protocol
                                           : row.test;
    }
    return N;
}

bool errorIsRead(int mode, double progress) {
    return mode == kModeH2Verify || progress > 50.0;
}

bool leavesPortAlone(int port, const SettingRecord& setting) {
    return port == 1 && setting.machine_type != 0;
}

bool skipsFirstPort(int portCount) {
    return portCount == 121 || portCount == 51;
}

FrameDraw drawFrame(int port, const TesterPortRecord& record, const SettingRecord& setting,
                    uint32_t lastState) {
    FrameDraw d;
    if (leavesPortAlone(port, setting)) {
        d.untouched = true;
        return d;
    }
    d.state = record.state;
    if (d.state == StateInitialising) {
        statusOnly(d, translated(QT_TRANSLATE_NOOP("Frame", "正在初始化...")), kRed);
        d.outcome = Outcome::Working;
        return d;
    }
    if (setting.mode == kModeFormat)
        drawFormatMode(d, record, setting, lastState);
    else if (setting.mode == kModeProtocol)
        drawProtocolMode(d, lastState);
    else
        drawTestMode(d, record, setting, lastState);
    return d;
}

QString finishedWriteTime(int64_t t) {
    if (t <= 60000)
        return QString::number(t / 1000) + QStringLiteral(" s");
    if (t <= 3600000)
        return QStringLiteral("%1:%2m").arg(t / 60000).arg(t / 1000 % 60);
    return QStringLiteral("%1:%2h").arg(t / 3600000).arg(t / 1000 % 3600 / 60);
}

QString finishedReadTime(int32_t s) {
    if (s <= 60)
        return QString::number(s) + QStringLiteral("s");
    if (s <= 3600)
        return QStringLiteral("%1:%2m").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1:%2h").arg(s / 3600).arg(s % 3600 / 60);
}

QString runningWriteTime(int64_t t) {
    if (t <= 60000)
        return QString::number(t / 1000) + QStringLiteral(" s");
    if (t <= 3600000)
        return QStringLiteral("%1:%2m").arg(t / 60000).arg(t / 1000 % 60);
    return QStringLiteral("%1:%2:%3h")
        .arg(t / 3600000)
        .arg(t / 1000 % 3600 / 60)
        .arg(t / 1000 % 3600 % 60);
}

QString runningReadTime(int32_t s) {
    if (s < 61)
        return QString::number(s) + QStringLiteral("s");
    if (s <= 3600)
        return QStringLiteral("%1:%2m").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1:%2:%3h").arg(s / 3600).arg(s % 3600 / 60).arg(s % 3600 % 60);
}

QString writeLine(int mode, const TesterPortRecord& r) {
    if (mode == kModeH2Verify || r.writeTimeMs <= 1000)
        return QStringLiteral("写: 0");
    return QStringLiteral("写:") + size(double(r.writeSpeed)) + QStringLiteral("/s ") +
           finishedWriteTime(r.writeTimeMs);
}

QString readLine(const TesterPortRecord& r) {
    return QStringLiteral("读:") + size(double(r.readSpeed)) + QStringLiteral(" ") +
           finishedReadTime(r.readTimeSec);
}

QString gradeStyle(const SettingRecord& s, bool gradingOn, uint64_t capacityBytes) {
    const int grade = gradingOn ? capacityGradeOf(s, capacityBytes) : -1;
    return grade < 0 ? QString(kGreen) : gradeStyleSheet(s.capfil_color[grade]);
}

QString fileSystemTag(int afterFormat, uint32_t fsType, bool* strange) {
    *strange = false;
    if (afterFormat != 1)
        return QStringLiteral(" ");
    switch (fsType) {
    case 1:
        return QStringLiteral(" FAT16");
    case 2:
    case 4:
        return QStringLiteral(" FAT32");
    case 3:
        return QStringLiteral(" EXFAT");
    default:
        *strange = true;
        return QStringLiteral(" ");
    }
}

QString formatFileSystemName(uint32_t fsType) {
    switch (fsType) {
    case 1:
        return QStringLiteral("FAT16 ");
    case 2:
        return QStringLiteral("FAT32 ");
    case 3:
        return QStringLiteral("exFAT ");
    default:
        return QStringLiteral("FAT12 ");
    }
}

int frameFontPointSize(int portCount) {
    switch (portCount) {
    case 4:
    case 6:
    case 8:
        return 20;
    case 10:
    case 12:
    case 16:
        return 16;
    case 20:
    case 24:
    case 32:
    case 40:
        return 14;
    case 48:
        return 12;
    default:
        return 10;
    }
}

CoverGeometry coverGeometry(int portCount, int machineVariant) {
    struct Row {
        int ports;
        int width;
        int height;
    };
    static const Row kCovers[] = {
        {4, 948, 528},  {6, 630, 528},  {8, 480, 600},  {10, 380, 600},  {12, 480, 400},
        {20, 480, 207}, {24, 480, 172}, {32, 231, 250}, {40, 231, 208},  {48, 231, 170},
        {50, 185, 208}, {51, 185, 172}, {96, 159, 119}, {121, 126, 118},
    };
    CoverGeometry g;
    if (portCount == 16) {
        g.cover = machineVariant == 4 ? QSize(231, 600) : QSize(480, 265);
    } else if (portCount == 64) {
        g.cover = QSize(238, 118);
        g.title = QSize(233, 118);
        g.frameFixed = true;
        return g;
    } else if (portCount == 80) {
        g.cover = QSize(191, 119);
        g.frameFixed = true;
    } else {
        g.cover = QSize(153, 0);
        g.followFrameHeight = true;
        for (const Row& row : kCovers) {
            if (row.ports == portCount) {
                g.cover = QSize(row.width, row.height);
                g.followFrameHeight = false;
            }
        }
    }
    g.title = g.cover;
    return g;
}

QString titleStyle(int portCount) {
    const int px = (portCount == 4 || portCount == 8) ? 36 : 16;
    return QStringLiteral("color:rgba(0, 0, 0, 200);font-size:%1px;text-align:left;").arg(px);
}

} // namespace tester
