#include "burnin/burnin_logic.h"

#include "base/percent.h"
#include "base/version.h"

#include <QtGlobal>

namespace burnin {

const char* const kWhite = "background:#fff";

PortLook portLook(const BurninPortRecord& record) {
    const Counter counter = statusCounter(record.bnStatus);
    switch (record.bnStatus) {
    case StatusEmpty:
    case StatusReady:
        return {kWhite, counter};
    case StatusWriting:
    case StatusVerifying:
        return {errorSum(record) != 0 ? copier::kRed : kWhite, counter};
    case StatusStoppedWithErrors:
    case StatusWriteStopped:
        return {copier::kRed, counter};
    case StatusPassed:
    case StatusComplete:
        return {copier::kGreen, counter};
    default:
        return {nullptr, counter};
    }
}

QString coverTitle(uint32_t engineVersion) {
    if (engineVersion == 0)
        return QStringLiteral("BURNIN\n\nV%L1\n\n").arg(hexVersion(kPanelVersion));
    return QStringLiteral("BURNIN\n\nV%L1\nV%L2\n")
        .arg(hexVersion(kPanelVersion), hexVersion(engineVersion));
}

Counter statusCounter(uint32_t status) {
    switch (status) {
    case StatusWriting:
    case StatusVerifying:
        return Counter::Working;
    case StatusStoppedWithErrors:
    case StatusWriteStopped:
        return Counter::Fail;
    case StatusPassed:
        return Counter::Success;
    default:
        return Counter::None;
    }
}

QString timeText(int64_t seconds) {
    if (seconds < 60)
        return QString::number(seconds) + QStringLiteral(" s");
    if (seconds < 3600)
        return QStringLiteral("%1:%2m").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1:%2:%3h")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60)
        .arg(seconds % 3600 % 60);
}

QString remainingText(int hours, int64_t elapsedSeconds) {
    int64_t seconds = 0;
    if (__builtin_sub_overflow(3600 * int64_t(hours), elapsedSeconds, &seconds))
        return QString();
    return timeText(seconds);
}

int passProgress(uint64_t writtenBytes, uint64_t capacityBytes) {
    if (capacityBytes == 0)
        return 0;
    return percentOf(writtenBytes % capacityBytes, capacityBytes);
}

uint64_t errorSum(const BurninPortRecord& record) {
    return uint64_t(record.errorCount1) + record.errorCount2 + record.errorCount3;
}

QString passText(uint32_t pass, int cycles, const QString& phase) {
    const QString number = QString::number(uint64_t(pass) + 1);
    if (cycles == 0)
        return number + phase;
    return number + QLatin1Char('/') + QString::number(cycles) + phase;
}

const char* firstErrorKindText(uint32_t kind) {
    switch (kind) {
    case 1:
        return QT_TRANSLATE_NOOP("FrameBn", "写错误");
    case 2:
        return QT_TRANSLATE_NOOP("FrameBn", "读错误");
    case 3:
        return QT_TRANSLATE_NOOP("FrameBn", "校验错误");
    default:
        return "";
    }
}

copier::CoverSizes burninCover(int portCount, int machineVariant) {
    auto same = [](int w, int h) { return copier::CoverSizes{{w, h}, {w, h}, {}}; };
    switch (portCount) {
    case 8:
        return same(480, 600);
    case 10:
        return same(380, 600);
    case 12:
        return same(480, 400);
    case 16:
        return machineVariant == 4 ? same(231, 600) : same(480, 265);
    case 20:
        return same(480, 207);
    case 24:
        return same(480, 172);
    case 32:
        return same(231, 250);
    case 48:
        return same(220, 170);
    case 64:
        return {{232, 112}, {233, 128}, {232, 112}};
    case 80:
        return {{185, 113}, {185, 113}, {185, 113}};
    case 96:
        return same(159, 119);
    default:
        return {};
    }
}

} // namespace burnin
