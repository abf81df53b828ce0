// The copier's master and target frames: progress, time texts, the status tables, empty
// ports, once-per-change log lines and the counters the window collects.

#include "copier/copier_logic.h"
#include "copier/frame_dd.h"
#include "copier/frame_dst.h"
#include "settings/setting_record.h"
#include "support/status_fill.h"
#include "support/stdout_capture.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

using namespace copier;

Q_DECLARE_METATYPE(copier::Counter)

namespace {

SettingRecord setting(int mode, int ports, int variant = 0) {
    SettingRecord s;
    memset(&s, 0, sizeof(s));
    s.mode = mode;
    s.port_count = ports;
    s.machine_type = 2;
    s.machine_variant = variant;
    return s;
}

CopierPortRecord disk(uint32_t connect, uint32_t status) {
    CopierPortRecord r;
    memset(&r, 0, sizeof(r));
    r.connectState = connect;
    r.portStatus = status;
    return r;
}

StatusBlock jobBlock(uint64_t jobBytes, int port, const CopierPortRecord& record,
                     uint32_t twoPass = 0) {
    StatusBlock block = emptyBlock();
    CopierJobArea job{};
    job.jobBytes = jobBytes;
    job.twoPass = twoPass;
    putCopierJob(block, job);
    putCopierPort(block, port, record);
    return block;
}

QString text(const QWidget& frame, const char* name) {
    const QLabel* label = frame.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

const QProgressBar* bar(const QWidget& frame) {
    return frame.findChild<QProgressBar*>(QStringLiteral("progressBar"));
}

int occurrences(const StdoutCapture& log, const char* line) {
    return QString::fromUtf8(log.text()).count(QLatin1String(line));
}

} // namespace

class CopierFrames : public QObject {
    Q_OBJECT
private slots:
    void workModeKinds_data();
    void workModeKinds();
    void progress_data();
    void progress();
    void timeTexts_data();
    void timeTexts();
    void emptyPortRule_data();
    void emptyPortRule();
    void slowestTarget_data();
    void slowestTarget();

    void targetFigures();
    void targetStatusTable_data();
    void targetStatusTable();
    void successCountedEveryTickLoggedOnce();
    void newDiskPaintedAgain();
    void finishedShownAgainAfterUnknownStatus();
    void compareOnlyTarget();
    void bareStatusByMachine_data();
    void bareStatusByMachine();

    void masterProgress_data();
    void masterProgress();
    void masterGoneByMachine_data();
    void masterGoneByMachine();
    void masterBackShowsBar();
    void masterStatusTexts_data();
    void masterStatusTexts();
    void masterStrangeConnectChangesNothing();
    void fontsByMachine();
};

// The copy modes decide the settings page, the lamp table and the simulator's records.
void CopierFrames::workModeKinds_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("copy");
    QTest::addColumn<bool>("compareOnly");
    QTest::addColumn<bool>("twoPass");
    const QList<int> copies{3, 4, 5, 6, 12, 13};
    for (int mode = -1; mode <= 14; ++mode) {
        QTest::addRow("mode %d", mode) << mode << copies.contains(mode)
                                       << (mode == 12 || mode == 13) << (mode == 3 || mode == 5);
    }
}

void CopierFrames::workModeKinds() {
    QFETCH(int, mode);
    QFETCH(bool, copy);
    QFETCH(bool, compareOnly);
    QFETCH(bool, twoPass);
    QCOMPARE(isCopyMode(mode), copy);
    QCOMPARE(isCompareOnly(mode), compareOnly);
    QCOMPARE(isTwoPassMode(mode), twoPass);
}

void CopierFrames::progress_data() {
    QTest::addColumn<quint64>("copied");
    QTest::addColumn<quint64>("compared");
    QTest::addColumn<quint64>("job");
    QTest::addColumn<bool>("twoPass");
    QTest::addColumn<quint64>("percent");
    QTest::newRow("mode 4 half way")
        << quint64(8000000000) << quint64(0) << quint64(16000000000) << false << quint64(50);
    QTest::newRow("mode 3 copied, half compared") << quint64(16000000000) << quint64(8000000000)
                                                  << quint64(16000000000) << true << quint64(75);
    // Terabytes times 100 do not fit 32 bits, and not even 2^53 for a double.
    QTest::newRow("8 TB job, 64-bit products")
        << quint64(4000000000000) << quint64(0) << quint64(8000000000000) << false << quint64(50);
    QTest::newRow("truncated, never rounded")
        << quint64(999) << quint64(0) << quint64(1000) << false << quint64(99);
    QTest::newRow("empty job, no division")
        << quint64(5) << quint64(5) << quint64(0) << true << quint64(0);
    // Modes 3 and 5: a job of 2^63 doubles to 0, with nothing to divide by.
    QTest::newRow("doubled job wraps")
        << quint64(1) << quint64(0) << (quint64(1) << 63) << true << quint64(0);
    QTest::newRow("past 64-bit products")
        << (quint64(1) << 62) << quint64(0) << (quint64(1) << 63) << false << quint64(50);
    QTest::newRow("more than the job")
        << quint64(3) << quint64(0) << quint64(2) << false << quint64(100);
}

void CopierFrames::progress() {
    QFETCH(quint64, copied);
    QFETCH(quint64, compared);
    QFETCH(quint64, job);
    QFETCH(bool, twoPass);
    QFETCH(quint64, percent);
    QCOMPARE(quint64(copyProgress(copied, compared, job, twoPass)), percent);
}

void CopierFrames::timeTexts_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("read");
    QTest::newRow("999 ms") << qint64(999) << " "
                            << "";
    QTest::newRow("1000 ms") << qint64(1000) << " 1 s"
                             << "1s";
    QTest::newRow("60000 ms") << qint64(60000) << " 60 s"
                              << "60s";
    QTest::newRow("60001 ms") << qint64(60001) << " 1:0m"
                              << "1:0m";
    QTest::newRow("75 s") << qint64(75000) << " 1:15m"
                          << "1:15m";
    QTest::newRow("one hour") << qint64(3600000) << " 60:0m"
                              << "60:0m";
    QTest::newRow("3725 s") << qint64(3725000) << " 1:2:5h"
                            << "1:2:5h";
    QTest::newRow("negative") << qint64(-5000) << " "
                              << "";
}

void CopierFrames::timeTexts() {
    QFETCH(qint64, ms);
    QFETCH(QString, write);
    QFETCH(QString, read);
    QCOMPARE(writeTimeText(ms), write);
    QCOMPARE(readTimeText(ms), read);
}

void CopierFrames::emptyPortRule_data() {
    QTest::addColumn<uint>("connect");
    QTest::addColumn<uint>("status");
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("empty");
    QTest::newRow("no disk, no status") << 0u << 0u << 8 << true;
    QTest::newRow("32 ports: status without disk") << 0u << 4u << 32 << true;
    QTest::newRow("8 ports: status without disk") << 0u << 4u << 8 << false;
    QTest::newRow("9 ports: status without disk") << 0u << 4u << 9 << true;
    QTest::newRow("51 ports: status without disk") << 0u << 6u << 51 << false;
    QTest::newRow("121 ports: status without disk") << 0u << 7u << 121 << false;
    QTest::newRow("disk present") << 1u << 0u << 32 << false;
    QTest::newRow("gone is not empty by itself") << 19u << 4u << 32 << false;
}

void CopierFrames::emptyPortRule() {
    QFETCH(uint, connect);
    QFETCH(uint, status);
    QFETCH(int, ports);
    QFETCH(bool, empty);
    QCOMPARE(targetIsEmpty(connect, status, ports), empty);
}

void CopierFrames::slowestTarget_data() {
    // Per target: status and done amount (copied, compared).
    QTest::addColumn<int>("ports");
    QTest::addColumn<QVector<uint>>("statuses");
    QTest::addColumn<QVector<quint64>>("copied");
    QTest::addColumn<QVector<quint64>>("compared");
    QTest::addColumn<int>("slowest");
    QTest::newRow("2 ports, port 1 copying")
        << 2 << QVector<uint>{4} << QVector<quint64>{100} << QVector<quint64>{0} << 1;
    QTest::newRow("least done wins, compare counted")
        << 4 << QVector<uint>{4, 5, 4} << QVector<quint64>{500, 300, 450}
        << QVector<quint64>{0, 300, 0} << 3;
    QTest::newRow("tie: lower port") << 4 << QVector<uint>{6, 4, 4} << QVector<quint64>{0, 700, 700}
                                     << QVector<quint64>{0, 0, 0} << 2;
    QTest::newRow("finished and failed ports take no part")
        << 4 << QVector<uint>{6, 7, 1} << QVector<quint64>{0, 0, 0} << QVector<quint64>{0, 0, 0}
        << -1;
    QTest::newRow("1 port: no target")
        << 1 << QVector<uint>{} << QVector<quint64>{} << QVector<quint64>{} << -1;
    QTest::newRow("64-bit amounts compared whole")
        << 3 << QVector<uint>{4, 4} << QVector<quint64>{quint64(1) << 33, (quint64(1) << 32) + 1}
        << QVector<quint64>{0, 0} << 2;
}

void CopierFrames::slowestTarget() {
    QFETCH(int, ports);
    QFETCH(QVector<uint>, statuses);
    QFETCH(QVector<quint64>, copied);
    QFETCH(QVector<quint64>, compared);
    QFETCH(int, slowest);
    StatusBlock block = emptyBlock();
    for (int i = 0; i < statuses.size(); ++i) {
        CopierPortRecord r = disk(1, statuses[i]);
        r.copiedBytes = copied[i];
        r.comparedBytes = compared[i];
        putCopierPort(block, i + 1, r);
    }
    QCOMPARE(copier::slowestTarget(block, ports), slowest);
}

void CopierFrames::targetFigures() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(3);
    CopierPortRecord r = disk(1, 4);
    r.copiedBytes = 8000000000;
    r.capacityBytes = 16000000000;
    r.writeSpeed = 2048.0f;
    r.readSpeed = 0.5f;
    r.writeTimeMs = 75000;
    r.readTimeMs = 999;
    QCOMPARE(frame.update(jobBlock(16000000000, 3, r), setting(kModeFullCopy, 32)),
             Counter::Working);
    QVERIFY(!frame.covered());
    QVERIFY(!bar(frame)->isHidden());
    QCOMPARE(bar(frame)->value(), 50);
    QCOMPARE(text(frame, "dataCloned"), QStringLiteral(" 7629M"));
    QCOMPARE(text(frame, "dataCompared"), QString());
    QCOMPARE(text(frame, "capacity"), QStringLiteral("15258M"));
    QCOMPARE(text(frame, "copySize"), QStringLiteral("15258M"));
    QCOMPARE(text(frame, "label_3_2"), QStringLiteral(" 拷贝 "));
    QCOMPARE(text(frame, "write_speed"), QStringLiteral(" 2KB/s"));
    QCOMPARE(text(frame, "read_speed"), QString());
    QCOMPARE(text(frame, "measure_time_wr_ms"), QStringLiteral(" 1:15m"));
    QCOMPARE(text(frame, "measure_time_rd_ms"), QString());
    QCOMPARE(text(frame, "label_status"), QStringLiteral("  正在拷贝"));

    // Mode 3 copies and compares: the same port half compared stands at 75.
    r.copiedBytes = 16000000000;
    r.comparedBytes = 8000000000;
    r.portStatus = 5;
    r.readSpeed = 4096.0f;
    QCOMPARE(frame.update(jobBlock(16000000000, 3, r), setting(kModeFullCopyCompare, 32)),
             Counter::Working);
    QCOMPARE(bar(frame)->value(), 75);
    QCOMPARE(text(frame, "read_speed"), QStringLiteral("4KB/s"));
    QCOMPARE(text(frame, "dataCompared"), QStringLiteral("7629M"));
}

void CopierFrames::targetStatusTable_data() {
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("style");
    QTest::addColumn<Counter>("counter");
    QTest::addColumn<QString>("log");
    QTest::newRow("1 idle") << 1u << "  就绪" << kGrey << Counter::None << "port 2 idle";
    QTest::newRow("4 copying") << 4u << "  正在拷贝" << kGrey << Counter::Working << "port 2 copy";
    QTest::newRow("5 comparing") << 5u << "  正在比对" << kGrey << Counter::Working
                                 << "port 2 compare";
    QTest::newRow("6 success") << 6u << "  成功" << kGreen << Counter::Success << "port 2 success";
    QTest::newRow("7 fail") << 7u << "  失败" << kRed << Counter::Fail << "port 2 fail";
    QTest::newRow("9 capacity") << 9u << "  容量超限" << kRed << Counter::Fail << "port 2 cap fail";
    QTest::newRow("10 data") << 10u << "  数据超限" << kRed << Counter::Fail << "port 2 cap exceed";
    QTest::newRow("2 unknown") << 2u << "状态未知" << kGrey << Counter::None
                               << "num 2 Error to here 2";
    QTest::newRow("11 unknown") << 11u << "状态未知" << kGrey << Counter::None
                                << "num 2 Error to here 11";
}

void CopierFrames::targetStatusTable() {
    QFETCH(uint, status);
    QFETCH(QString, text);
    QFETCH(QString, style);
    QFETCH(Counter, counter);
    QFETCH(QString, log);
    Frame_dst frame(nullptr, 16);
    frame.setPort(2);
    StdoutCapture capture;
    QCOMPARE(frame.update(jobBlock(1000, 2, disk(1, status)), setting(kModeFullCopy, 16)), counter);
    QCOMPARE(::text(frame, "label_status"), text);
    QCOMPARE(frame.styleSheet(), style);
    QVERIFY2(QString::fromUtf8(capture.text()).contains(log), capture.text().constData());
    QCOMPARE(bar(frame)->value(), status == 6 ? 100 : 0);
}

void CopierFrames::successCountedEveryTickLoggedOnce() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(5);
    CopierPortRecord r = disk(1, 6);
    r.copiedBytes = 600;
    const StatusBlock block = jobBlock(1000, 5, r);
    StdoutCapture capture;
    for (int tick = 0; tick < 4; ++tick) {
        QCOMPARE(frame.update(block, setting(kModeFullCopy, 32)), Counter::Success);
        // The bar is held at 100 although the amounts say 60.
        QCOMPARE(bar(frame)->value(), 100);
    }
    QCOMPARE(occurrences(capture, "port 5 success"), 1);
    QCOMPARE(occurrences(capture, "port 5 connect"), 1);
    QCOMPARE(text(frame, "label_status"), QStringLiteral("  成功"));
}

void CopierFrames::newDiskPaintedAgain() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(1);
    const SettingRecord s = setting(kModeFullCopy, 32);
    StdoutCapture capture;
    frame.update(jobBlock(1000, 1, disk(1, 6)), s);
    frame.update(jobBlock(1000, 1, disk(0, 0)), s);
    QVERIFY(frame.covered());
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kGrey));
    // The next disk finishes too: painted green and logged again.
    QCOMPARE(frame.update(jobBlock(1000, 1, disk(1, 6)), s), Counter::Success);
    QVERIFY(!frame.covered());
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kGreen));
    QCOMPARE(occurrences(capture, "port 1 success"), 2);
    QCOMPARE(occurrences(capture, "port 1 disconnect"), 1);
}

void CopierFrames::finishedShownAgainAfterUnknownStatus() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(1);
    const SettingRecord s = setting(kModeFullCopy, 32);
    frame.update(jobBlock(1000, 1, disk(1, 7)), s);
    frame.update(jobBlock(1000, 1, disk(1, 8)), s);
    QCOMPARE(text(frame, "label_status"), QStringLiteral("状态未知"));
    QCOMPARE(frame.update(jobBlock(1000, 1, disk(1, 7)), s), Counter::Fail);
    QCOMPARE(text(frame, "label_status"), QStringLiteral("  失败"));
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kRed));
}

void CopierFrames::compareOnlyTarget() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(4);
    CopierPortRecord r = disk(1, 5);
    r.copiedBytes = 900; // not part of a compare job
    r.comparedBytes = 250;
    r.writeTimeMs = 5000;
    r.readTimeMs = 61000;
    QCOMPARE(frame.update(jobBlock(1000, 4, r), setting(kModeDataCompare, 32)), Counter::Working);
    QCOMPARE(bar(frame)->value(), 25);
    QCOMPARE(text(frame, "label_3_2"), QStringLiteral(" 比对 "));
    QCOMPARE(text(frame, "measure_time_wr_ms"), QStringLiteral(" "));
    QCOMPARE(text(frame, "measure_time_rd_ms"), QStringLiteral("1:1m"));
    // No job size: 0 rather than a division, in both kinds of mode.
    frame.update(jobBlock(0, 4, r), setting(kModeFullCompare, 32));
    QCOMPARE(bar(frame)->value(), 0);
    frame.update(jobBlock(0, 4, r), setting(kModeDataCopy, 32));
    QCOMPARE(bar(frame)->value(), 0);
}

void CopierFrames::bareStatusByMachine_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("shownEmpty");
    QTest::newRow("32 ports") << 32 << true;
    QTest::newRow("8 ports") << 8 << false;
    QTest::newRow("51 ports") << 51 << false;
    QTest::newRow("121 ports") << 121 << false;
}

void CopierFrames::bareStatusByMachine() {
    QFETCH(int, ports);
    QFETCH(bool, shownEmpty);
    Frame_dst frame(nullptr, ports);
    frame.setPort(2);
    const Counter counter =
        frame.update(jobBlock(1000, 2, disk(0, 4)), setting(kModeFullCopy, ports));
    QCOMPARE(frame.covered(), shownEmpty);
    QCOMPARE(counter, shownEmpty ? Counter::None : Counter::Working);
    QCOMPARE(bar(frame)->isHidden(), shownEmpty);
    if (!shownEmpty)
        QCOMPARE(text(frame, "label_status"), QStringLiteral("  正在拷贝"));
}

void CopierFrames::masterProgress_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<quint64>("copied");
    QTest::addColumn<quint64>("compared");
    QTest::addColumn<uint>("twoPassFlag");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one pass") << kModeFullCopy << quint64(300) << quint64(0) << 0u << 30
                              << " 拷贝 ";
    QTest::newRow("two-pass mode")
        << kModeDataCopyCompare << quint64(1000) << quint64(500) << 0u << 75 << " 拷贝 ";
    QTest::newRow("two-pass flag of the job")
        << kModeFullCopy << quint64(1000) << quint64(0) << 1u << 50 << " 拷贝 ";
    QTest::newRow("nothing copied yet")
        << kModeFullCopyCompare << quint64(0) << quint64(400) << 1u << 0 << "  拷贝";
    QTest::newRow("compare-only") << kModeFullCompare << quint64(0) << quint64(400) << 0u << 40
                                  << " 比对 ";
}

void CopierFrames::masterProgress() {
    QFETCH(int, mode);
    QFETCH(quint64, copied);
    QFETCH(quint64, compared);
    QFETCH(uint, twoPassFlag);
    QFETCH(int, percent);
    QFETCH(QString, caption);
    Frame_dd frame(nullptr, 32);
    QProgressBar* progressBar = frame.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    progressBar->setValue(17);
    CopierPortRecord r = disk(1, 4);
    r.copiedBytes = copied;
    r.comparedBytes = compared;
    frame.update(jobBlock(1000, 0, r, twoPassFlag), setting(mode, 32));
    QCOMPARE(progressBar->value(), percent);
    QCOMPARE(text(frame, "label_3_2"), caption);
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kMasterBlue));
    QCOMPARE(text(frame, "dataCloned"), QStringLiteral(" ") + QString::number(copied) + "Byte");
}

void CopierFrames::masterGoneByMachine_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<uint>("connect");
    QTest::addColumn<bool>("covered");
    QTest::newRow("19 on 8 ports, variant 3: kept") << 8 << 3 << 19u << false;
    QTest::newRow("0 on 8 ports, variant 3: kept") << 8 << 3 << 0u << false;
    QTest::newRow("19 on 8 ports, variant 0") << 8 << 0 << 19u << true;
    QTest::newRow("19 on 32 ports, variant 3") << 32 << 3 << 19u << true;
}

void CopierFrames::masterGoneByMachine() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(uint, connect);
    QFETCH(bool, covered);
    Frame_dd frame(nullptr, ports);
    const SettingRecord s = setting(kModeFullCopy, ports, variant);
    CopierPortRecord r = disk(1, 4);
    r.copiedBytes = 100;
    frame.update(jobBlock(1000, 0, r), s);
    QVERIFY(!frame.covered());
    StdoutCapture capture;
    frame.update(jobBlock(1000, 0, disk(connect, 0)), s);
    QCOMPARE(frame.covered(), covered);
    QCOMPARE(bar(frame)->isHidden(), covered);
    QCOMPARE(occurrences(capture, "port 0 disconnect"), 1);
    QCOMPARE(occurrences(capture, "port0 disconnect ,won't change"), covered ? 0 : 1);
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kMasterBlue));
    if (covered) {
        QCOMPARE(frame.mask()->styleSheet(), QString::fromLatin1(kMasterBlue));
    } else {
        QCOMPARE(text(frame, "label_status"), QStringLiteral("  正在拷贝"));
    }
}

void CopierFrames::masterBackShowsBar() {
    Frame_dd frame(nullptr, 48);
    const SettingRecord s = setting(kModeFullCopy, 48);
    CopierPortRecord r = disk(1, 4);
    r.copiedBytes = 250;
    frame.update(jobBlock(1000, 0, r), s);
    frame.update(jobBlock(1000, 0, disk(0, 0)), s);
    QVERIFY(bar(frame)->isHidden());
    QVERIFY(frame.covered());
    frame.update(jobBlock(1000, 0, r), s);
    QVERIFY(!bar(frame)->isHidden());
    QVERIFY(!frame.covered());
    QCOMPARE(bar(frame)->value(), 25);
}

void CopierFrames::masterStatusTexts_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("logsOverThreeTicks");
    QTest::newRow("0 keeps the text") << 32 << 0u << "  状态"
                                      << "None status 0" << 1;
    QTest::newRow("1 idle") << 32 << 1u << "  就绪"
                            << "port 0 idle" << 1;
    QTest::newRow("2 preparing") << 32 << 2u << "  准备中 7"
                                 << "port 0 connect" << 1;
    QTest::newRow("3 preparing, 51 ports") << 51 << 3u << "  准备中 "
                                           << "port 0 connect" << 1;
    QTest::newRow("4 copying") << 32 << 4u << "  正在拷贝"
                               << "port 0 copy" << 1;
    QTest::newRow("5 comparing") << 32 << 5u << "  正在对比  "
                                 << "port 0 compare" << 1;
    QTest::newRow("6 done") << 32 << 6u << "  完成"
                            << "port 0 success" << 1;
    QTest::newRow("7 failed") << 32 << 7u << "  失败"
                              << "port 0 fail" << 1;
    QTest::newRow("12 unknown, every tick") << 32 << 12u << "  状态未知"
                                            << "Error to here 12" << 3;
}

void CopierFrames::masterStatusTexts() {
    QFETCH(int, ports);
    QFETCH(uint, status);
    QFETCH(QString, text);
    QFETCH(QString, log);
    QFETCH(int, logsOverThreeTicks);
    Frame_dd frame(nullptr, ports);
    StatusBlock block = jobBlock(1000, 0, disk(1, status));
    CopierJobArea job = block.copierJob();
    job.prepCounter = 7;
    putCopierJob(block, job);
    StdoutCapture capture;
    for (int tick = 0; tick < 3; ++tick)
        frame.update(block, setting(kModeFullCopy, ports));
    QCOMPARE(::text(frame, "label_status"), text);
    QCOMPARE(occurrences(capture, log.toUtf8().constData()), logsOverThreeTicks);
    QCOMPARE(bar(frame)->value(), status == 6 ? 100 : 0);
}

void CopierFrames::masterStrangeConnectChangesNothing() {
    Frame_dd frame(nullptr, 32);
    const SettingRecord s = setting(kModeFullCopy, 32);
    frame.update(jobBlock(1000, 0, disk(1, 4)), s);
    StdoutCapture capture;
    frame.update(jobBlock(1000, 0, disk(5, 6)), s);
    QVERIFY(!frame.covered());
    QCOMPARE(text(frame, "label_status"), QStringLiteral("  正在拷贝"));
    QCOMPARE(occurrences(capture, "Error disk connect state 5"), 1);
}

void CopierFrames::fontsByMachine() {
    Frame_dd master(nullptr, 8);
    Frame_dst target(nullptr, 8);
    Frame_dst large(nullptr, 9);
    for (const char* name : {"label_status", "capacity", "label_no"}) {
        QCOMPARE(master.findChild<QLabel*>(name)->font().pointSize(), 20);
        QCOMPARE(target.findChild<QLabel*>(name)->font().pointSize(), 20);
        QCOMPARE(large.findChild<QLabel*>(name)->font().pointSize(), 8);
    }
    QCOMPARE(master.findChild<QLabel*>("copyData")->font().pointSize(), 8);
    QCOMPARE(master.findChild<QLabel*>("label_4_3")->font().pointSize(), 8);
    QCOMPARE(target.findChild<QLabel*>("label_4_3")->font().pointSize(), 8);
    // Ten rows in about 120 pixels: the large machines' frames take 6 points.
    for (int ports : {64, 121}) {
        Frame_dd compactMaster(nullptr, ports);
        Frame_dst compactTarget(nullptr, ports);
        QCOMPARE(compactMaster.findChild<QLabel*>("dataCloned")->font().pointSize(), 6);
        QCOMPARE(compactTarget.findChild<QLabel*>("label_status")->font().pointSize(), 6);
    }
}

QTEST_MAIN(CopierFrames)
#include "tst_copier_frames.moc"
