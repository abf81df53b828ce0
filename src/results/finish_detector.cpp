#include "results/finish_detector.h"

#include "base/version.h"
#include "burnin/burnin_logic.h"
#include "copier/copier_logic.h"
#include "settings/capacity_grade.h"
#include "tester/frame_logic.h"

#include <QSysInfo>

namespace results {

namespace {

template <int N> constexpr int col(const char (&name)[N]) {
    return columnIndex(std::string_view(name, N - 1));
}

// Engine figures are unsigned; SQLite keeps signed 64-bit integers.
QVariant integer(uint64_t value) {
    return QVariant(qint64(value));
}

QVariant fileSystem(const SettingRecord& s, uint32_t fsType) {
    if (s.mode == tester::kModeFormat)
        return tester::formatFileSystemName(fsType).trimmed();
    bool strange = false;
    const QString tag = tester::fileSystemTag(s.after_format, fsType, &strange).trimmed();
    if (tag.isEmpty())
        return QVariant();
    // The frame shows exFAT in capitals; the journal spells it as the format result does.
    return tag == QLatin1String("EXFAT") ? QStringLiteral("exFAT") : tag;
}

void testerFigures(QVector<QVariant>& v, const TesterPortRecord& r, const SettingRecord& s) {
    v[col("capacity_bytes")] = integer(r.capacityBytes);
    v[col("file_system")] = fileSystem(s, r.fsType);
    v[col("write_speed")] = double(r.writeSpeed);
    v[col("read_speed")] = double(r.readSpeed);
    v[col("write_time_ms")] = qint64(r.writeTimeMs);
    v[col("read_time_ms")] = qint64(r.readTimeSec) * 1000;
    v[col("bad_bytes")] = integer(r.badSectors << 9);
    // The grading the frame colours a passed port with, in the mode in force.
    const bool gradingOn =
        s.mode == tester::kModeFormat ? s.capfil_format_enable != 0 : s.capfil_test_enable != 0;
    const int grade = gradingOn ? capacityGradeOf(s, r.capacityBytes) : -1;
    if (grade >= 0) {
        v[col("grade_index")] = grade + 1;
        v[col("grade_colour")] = gradeStyleSheet(s.capfil_color[grade]).section(':', 1);
    }
}

void copierFigures(QVector<QVariant>& v, const CopierPortRecord& r, uint64_t jobBytes) {
    v[col("capacity_bytes")] = integer(r.capacityBytes);
    v[col("job_bytes")] = integer(jobBytes);
    v[col("copied_bytes")] = integer(r.copiedBytes);
    v[col("compared_bytes")] = integer(r.comparedBytes);
    v[col("write_speed")] = double(r.writeSpeed);
    v[col("read_speed")] = double(r.readSpeed);
    v[col("write_time_ms")] = qint64(r.writeTimeMs);
    v[col("read_time_ms")] = qint64(r.readTimeMs);
}

void burninFigures(QVector<QVariant>& v, const BurninPortRecord& r) {
    v[col("capacity_bytes")] = integer(r.bnCapacityBytes);
    v[col("burnin_pass")] = qint64(r.bnPass) + 1; // as the frame counts passes
    v[col("error_count1")] = qint64(r.errorCount1);
    v[col("error_count2")] = qint64(r.errorCount2);
    v[col("error_count3")] = qint64(r.errorCount3);
    v[col("first_error_kind")] = qint64(r.firstErrorKind);
    v[col("write_speed")] = double(r.bnSpeed); // the one speed burn-in reports
    v[col("elapsed_s")] = qint64(r.bnElapsedSec);
    v[col("smart_c5")] = integer(r.smartC5);
    v[col("smart_05")] = integer(r.smart05);
    v[col("smart_c3")] = integer(r.smartC3);
}

} // namespace

PortResult portResult(Layout layout, const StatusBlock& block, int index,
                      const SettingRecord& setting) {
    PortResult result;
    switch (layout) {
    case Layout::Tester: {
        const TesterPortRecord r = block.testerPort(index);
        result.status = r.state;
        if (!tester::leavesPortAlone(index, setting))
            result.finding = findingOf(layout, setting.mode, r.state,
                                       tester::errorIsRead(setting.mode, r.progress));
        break;
    }
    case Layout::Copier: {
        const CopierPortRecord r = block.copierPort(index);
        result.status = r.portStatus;
        if (copier::targetCounter(r, setting.port_count) != copier::Counter::None)
            result.finding = findingOf(layout, setting.mode, r.portStatus);
        break;
    }
    case Layout::Burnin:
        result.status = block.burninPort(index).bnStatus;
        result.finding = findingOf(layout, setting.mode, result.status);
        break;
    }
    return result;
}

void fillFigures(ResultRecord& record, Layout layout, const StatusBlock& block, int index,
                 const SettingRecord& setting) {
    switch (layout) {
    case Layout::Tester:
        testerFigures(record.values, block.testerPort(index), setting);
        break;
    case Layout::Copier:
        copierFigures(record.values, block.copierPort(index), block.copierJob().jobBytes);
        break;
    case Layout::Burnin:
        burninFigures(record.values, block.burninPort(index));
        break;
    }
}

FinishDetector::FinishDetector()
    : mCabinet(QSysInfo::machineHostName()), mNow([] { return QDateTime::currentDateTime(); }) {}

std::vector<ResultRecord> FinishDetector::observe(Layout layout, const StatusBlock& block,
                                                  const SettingRecord& setting,
                                                  const std::vector<PortRef>& ports) {
    const Machine machine{layout, setting.port_count, setting.machine_type, setting.board_model,
                          setting.machine_variant};
    const bool learnOnly = !mKnown || !(machine == mMachine);
    if (learnOnly) {
        mKnown = true;
        mMachine = machine;
        mSeen.assign(mSeen.size(), Seen());
    }
    std::vector<ResultRecord> records;
    for (const PortRef& port : ports) {
        if (port.index < 0 || port.index > kTesterPorts)
            continue;
        if (size_t(port.index) >= mSeen.size())
            mSeen.resize(size_t(port.index) + 1);
        const PortResult now = portResult(layout, block, port.index, setting);
        Seen& seen = mSeen[size_t(port.index)];
        const bool finishedNow = now.finding.has_value();
        if (finishedNow && !seen.finished && !learnOnly) {
            ResultRecord record;
            QVector<QVariant>& v = record.values;
            v[col("status")] = qint64(now.status);
            v[col("verdict")] = QString::fromLatin1(verdictName(now.finding->verdict));
            v[col("result_key")] = QString::fromLatin1(now.finding->key);
            v[col("port")] = port.number;
            fillFigures(record, layout, block, port.index, setting);
            records.push_back(std::move(record));
        }
        seen = {now.status, finishedNow};
    }
    if (records.empty())
        return records;
    // What every record of the tick shares.
    const StatusHeader header = block.header();
    const QDateTime now = mNow();
    struct Shared {
        int column;
        QVariant value;
    };
    const Shared shared[] = {
        {col("panel_time"), now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)},
        {col("engine_time"), qint64(header.engineTime)},
        {col("cabinet"), mCabinet},
        {col("ports"), setting.port_count},
        {col("machine_type"), setting.machine_type},
        {col("board_model"), setting.board_model},
        {col("machine_variant"), setting.machine_variant},
        {col("mode"), setting.mode},
        {col("layout"), QString::fromLatin1(layoutName(layout))},
        {col("engine_version"),
         header.engineVersion ? QVariant(hexVersion(header.engineVersion)) : QVariant()},
        {col("panel_version"), hexVersion(kPanelVersion)},
    };
    for (ResultRecord& record : records) {
        for (const Shared& one : shared)
            record.values[one.column] = one.value;
    }
    return records;
}

} // namespace results
