// The burn-in port frame: pass and phase, errors, the two bars, the time texts, the SMART
// view and the counters, status by status.

#include "burnin/framebn.h"
#include "settings/setting_record.h"
#include "support/status_fill.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

using namespace burnin;

Q_DECLARE_METATYPE(burnin::Counter)

namespace {

constexpr uint64_t kGiB = uint64_t(1) << 30;

SettingRecord setting(int variant = 0, int cycles = 0, int hours = 0) {
    SettingRecord s;
    memset(&s, 0, sizeof(s));
    s.mode = kModeBurnin;
    s.port_count = 32;
    s.machine_variant = variant;
    s.burnin_cycle = cycles;
    s.burnin_time = hours;
    return s;
}

BurninPortRecord port(uint32_t status) {
    BurninPortRecord r;
    memset(&r, 0, sizeof(r));
    r.bnStatus = status;
    return r;
}

StatusBlock blockWith(int index, const BurninPortRecord& record) {
    StatusBlock block = emptyBlock();
    putBurninPort(block, index, record);
    return block;
}

QLabel* label(const QWidget& frame, const char* name) {
    return frame.findChild<QLabel*>(QLatin1String(name));
}

QProgressBar* progressBar(const QWidget& frame, const char* name = "progressBar") {
    return frame.findChild<QProgressBar*>(QLatin1String(name));
}

} // namespace

class BurninFrame : public QObject {
    Q_OBJECT
private slots:
    void timeTexts_data();
    void timeTexts();
    void passProgress_data();
    void passProgress();

    void writingPass();
    void errorsTurnTheFrameRed();
    void passBarOnlyWhileGated_data();
    void passBarOnlyWhileGated();
    void remainingTime_data();
    void remainingTime();
    void firstErrorKinds_data();
    void firstErrorKinds();
    void results_data();
    void results();
    void smartView();
    void readyResetsTheFrame();
    void emptyPortCovered();
    void ignoredStatusesChangeNothing_data();
    void ignoredStatusesChangeNothing();
    void recordOfItsOwnPort();
};

void BurninFrame::timeTexts_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0 s";
    QTest::newRow("59") << qint64(59) << "59 s";
    QTest::newRow("60") << qint64(60) << "1:0m";
    QTest::newRow("75") << qint64(75) << "1:15m";
    QTest::newRow("3599") << qint64(3599) << "59:59m";
    QTest::newRow("3600") << qint64(3600) << "1:0:0h";
    QTest::newRow("3725") << qint64(3725) << "1:2:5h";
    QTest::newRow("a week") << qint64(7 * 24 * 3600 + 61) << "168:1:1h";
    QTest::newRow("overrun") << qint64(-5) << "-5 s";
}

void BurninFrame::timeTexts() {
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(timeText(seconds), text);
}

void BurninFrame::passProgress_data() {
    QTest::addColumn<quint64>("written");
    QTest::addColumn<quint64>("capacity");
    QTest::addColumn<quint64>("percent");
    QTest::newRow("2.5 capacities") << quint64(5 * kGiB) << quint64(2 * kGiB) << quint64(50);
    QTest::newRow("whole passes") << quint64(6 * kGiB) << quint64(2 * kGiB) << quint64(0);
    QTest::newRow("4 TB disk, 64-bit product")
        << quint64(4000000000000 * 3 + 3999999999999) << quint64(4000000000000) << quint64(99);
    QTest::newRow("capacity 0 shows 0") << quint64(12345) << quint64(0) << quint64(0);
    QTest::newRow("half of the largest") << (quint64(1) << 63) << ~quint64(0) << quint64(50);
}

void BurninFrame::passProgress() {
    QFETCH(quint64, written);
    QFETCH(quint64, capacity);
    QFETCH(quint64, percent);
    QCOMPARE(quint64(burnin::passProgress(written, capacity)), percent);
}

void BurninFrame::writingPass() {
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(StatusWriting);
    r.bnPass = 2;
    r.bnProgress = 41;
    r.bnSpeed = 3.0f * 1024 * 1024;
    r.bnWrittenBytes = 20480;
    r.bnVerifiedBytes = 20 * kGiB;
    r.bnElapsedSec = 75;
    QCOMPARE(frame.update(blockWith(0, r), setting(0, 5)), Counter::Working);
    QVERIFY(!frame.covered());
    QVERIFY(!progressBar(frame)->isHidden());
    QCOMPARE(label(frame, "status")->text(), QStringLiteral("3/5 写入"));
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kWhite));
    QCOMPARE(label(frame, "error")->text(), QStringLiteral("错误:0"));
    QCOMPARE(label(frame, "smart")->text(), QString());
    QCOMPARE(progressBar(frame, "progress_cycle")->value(), 41);
    QCOMPARE(label(frame, "speed")->text(), QStringLiteral("3M/s"));
    QCOMPARE(label(frame, "writeContent")->text(), QStringLiteral("W:20KB"));
    QCOMPARE(label(frame, "readContent")->text(), QStringLiteral("V:20G"));
    QCOMPARE(label(frame, "time")->text(), QStringLiteral("1:15m"));
    QCOMPARE(label(frame, "testRequiredTime")->text(), QStringLiteral("剩余时间:"));

    // Without a set number of passes only the pass is named; verifying says so.
    r.bnStatus = StatusVerifying;
    QCOMPARE(frame.update(blockWith(0, r), setting(0, 0)), Counter::Working);
    QCOMPARE(label(frame, "status")->text(), QStringLiteral("3 校验"));
}

void BurninFrame::errorsTurnTheFrameRed() {
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(StatusVerifying);
    r.errorCount1 = 1;
    r.errorCount3 = 2;
    frame.update(blockWith(0, r), setting(0, 5));
    QCOMPARE(frame.styleSheet(), QStringLiteral("background:#FFB3B3"));
    QCOMPARE(label(frame, "error")->text(), QStringLiteral("错误:3"));
    // Counters near their limit add up without wrapping.
    r.errorCount1 = r.errorCount2 = r.errorCount3 = 0xFFFFFFFFu;
    frame.update(blockWith(0, r), setting(0, 5));
    QCOMPARE(label(frame, "error")->text(), QStringLiteral("错误:12884901885"));
    r.errorCount1 = r.errorCount2 = r.errorCount3 = 0;
    frame.update(blockWith(0, r), setting(0, 5));
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kWhite));
}

void BurninFrame::passBarOnlyWhileGated_data() {
    QTest::addColumn<uint>("status");
    QTest::addColumn<quint64>("gate");
    QTest::addColumn<quint64>("capacity");
    QTest::addColumn<int>("bar");
    QTest::newRow("writing, gate open")
        << uint(StatusWriting) << quint64(1) << quint64(2 * kGiB) << 50;
    QTest::newRow("writing, gate shut")
        << uint(StatusWriting) << quint64(0) << quint64(2 * kGiB) << 7;
    QTest::newRow("verifying keeps the bar")
        << uint(StatusVerifying) << quint64(1) << quint64(2 * kGiB) << 7;
    QTest::newRow("13, gate open")
        << uint(StatusStoppedWithErrors) << quint64(1) << quint64(2 * kGiB) << 50;
    QTest::newRow("13, gate shut")
        << uint(StatusStoppedWithErrors) << quint64(0) << quint64(2 * kGiB) << 7;
    QTest::newRow("17 without gate")
        << uint(StatusComplete) << quint64(0) << quint64(2 * kGiB) << 50;
    QTest::newRow("17 with capacity 0") << uint(StatusComplete) << quint64(0) << quint64(0) << 0;
    QTest::newRow("14 keeps the bar") << uint(StatusPassed) << quint64(1) << quint64(2 * kGiB) << 7;
    QTest::newRow("15 keeps the bar")
        << uint(StatusWriteStopped) << quint64(1) << quint64(2 * kGiB) << 7;
}

void BurninFrame::passBarOnlyWhileGated() {
    QFETCH(uint, status);
    QFETCH(quint64, gate);
    QFETCH(quint64, capacity);
    QFETCH(int, bar);
    FrameBn frame(nullptr, 32, 0);
    progressBar(frame)->setValue(7);
    BurninPortRecord r = port(status);
    r.bnPassGate = gate;
    r.bnCapacityBytes = capacity;
    r.bnWrittenBytes = 5 * kGiB;
    frame.update(blockWith(0, r), setting());
    QCOMPARE(progressBar(frame)->value(), bar);
}

void BurninFrame::remainingTime_data() {
    QTest::addColumn<int>("hours");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("time");
    QTest::newRow("200 s left of 2 h") << 2 << qint64(7000) << "3:20m"
                                       << "1:56:40h";
    QTest::newRow("overrun by 5 s") << 2 << qint64(7205) << "-5 s"
                                    << "2:0:5h";
    QTest::newRow("no duration set") << 0 << qint64(30) << "剩余时间:"
                                     << "30 s";
    // Nothing elapsed yet: the time keeps the form's text.
    QTest::newRow("just started") << 1 << qint64(0) << "1:0:0h"
                                  << "时间";
    QTest::newRow("remainder past 64 bits") << 2 << std::numeric_limits<qint64>::min() << ""
                                            << "时间";
}

void BurninFrame::remainingTime() {
    QFETCH(int, hours);
    QFETCH(qint64, elapsed);
    QFETCH(QString, remaining);
    QFETCH(QString, time);
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(StatusWriting);
    r.bnElapsedSec = elapsed;
    frame.update(blockWith(0, r), setting(0, 3, hours));
    QCOMPARE(label(frame, "testRequiredTime")->text(), remaining);
    QCOMPARE(label(frame, "time")->text(), time);
}

void BurninFrame::firstErrorKinds_data() {
    QTest::addColumn<uint>("status");
    QTest::addColumn<uint>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("writing, write error") << uint(StatusWriting) << 1u << "写错误";
    QTest::newRow("verifying, read error") << uint(StatusVerifying) << 2u << "读错误";
    QTest::newRow("verifying, verify error") << uint(StatusVerifying) << 3u << "校验错误";
    QTest::newRow("unknown kind") << uint(StatusWriting) << 9u << "";
    QTest::newRow("13 names the kind") << uint(StatusStoppedWithErrors) << 2u << "读错误";
    QTest::newRow("15 is a write stop") << uint(StatusWriteStopped) << 2u << "写错误:";
}

void BurninFrame::firstErrorKinds() {
    QFETCH(uint, status);
    QFETCH(uint, kind);
    QFETCH(QString, text);
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(status);
    r.firstErrorKind = kind;
    r.errorCount2 = 1;
    frame.update(blockWith(0, r), setting());
    QCOMPARE(label(frame, "smart")->text(), text);
}

void BurninFrame::results_data() {
    QTest::addColumn<uint>("status");
    QTest::addColumn<Counter>("counter");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("cycleBar");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("time");
    QTest::newRow("13 stopped with errors")
        << uint(StatusStoppedWithErrors) << Counter::Fail << "background:#FFB3B3"
        << "错误:3" << 64 << "状态"
        << "2:0m";
    QTest::newRow("14 passed") << uint(StatusPassed) << Counter::Success << "background:#B3FFE6"
                               << "没有发现问题" << 100 << "状态"
                               << "时间";
    QTest::newRow("15 write stop")
        << uint(StatusWriteStopped) << Counter::Fail << "background:#FFB3B3"
        << "错误:3" << 24 << "状态"
        << "时间";
    QTest::newRow("17 complete, counted nowhere")
        << uint(StatusComplete) << Counter::None << "background:#B3FFE6"
        << "没有发现问题" << 100 << "测试完成"
        << "2:0m";
}

void BurninFrame::results() {
    QFETCH(uint, status);
    QFETCH(Counter, counter);
    QFETCH(QString, style);
    QFETCH(QString, error);
    QFETCH(int, cycleBar);
    QFETCH(QString, statusText);
    QFETCH(QString, time);
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(status);
    r.errorCount1 = 3;
    r.bnProgress = 64;
    r.bnElapsedSec = 120;
    r.bnSpeed = 2048.0f;
    r.bnWrittenBytes = 3 * 1024 * 1024;
    r.bnVerifiedBytes = 2048;
    QCOMPARE(frame.update(blockWith(0, r), setting()), counter);
    QVERIFY(!frame.covered());
    QCOMPARE(frame.styleSheet(), style);
    QCOMPARE(label(frame, "error")->text(), error);
    QCOMPARE(progressBar(frame, "progress_cycle")->value(), cycleBar);
    QCOMPARE(label(frame, "status")->text(), statusText);
    QCOMPARE(label(frame, "time")->text(), time);
    QCOMPARE(label(frame, "speed")->text(), QStringLiteral("2KB/s"));
    QCOMPARE(label(frame, "readContent")->text(), QStringLiteral("校验:2KB"));
    QCOMPARE(label(frame, "writeContent")->text(), QStringLiteral("写入:3M"));
}

void BurninFrame::smartView() {
    FrameBn frame(nullptr, 32, kSmartVariant);
    BurninPortRecord r = port(StatusPassed);
    r.smartC3 = 4;
    r.smartC5 = 0;
    r.smart05 = 0;
    r.bnCapacityBytes = 256 * kGiB;
    QCOMPARE(frame.update(blockWith(0, r), setting(kSmartVariant)), Counter::Success);
    QCOMPARE(frame.styleSheet(), QStringLiteral("background:#B3FFE6"));
    QCOMPARE(label(frame, "status")->text(), QStringLiteral("C3: 4"));
    QCOMPARE(label(frame, "status")->styleSheet(), QStringLiteral("color:red;"));
    QCOMPARE(label(frame, "speed")->text(), QStringLiteral("05: 0"));
    QCOMPARE(label(frame, "speed")->styleSheet(), QString());
    QCOMPARE(label(frame, "readContent")->text(), QStringLiteral("C5: 0"));
    QCOMPARE(label(frame, "writeContent")->text(), QStringLiteral("256G"));

    // The red mark stays through results and goes with the next writing pass.
    r.smartC3 = 0;
    r.bnStatus = StatusComplete;
    frame.update(blockWith(0, r), setting(kSmartVariant));
    QCOMPARE(label(frame, "status")->styleSheet(), QStringLiteral("color:red;"));
    r.bnStatus = StatusWriting;
    frame.update(blockWith(0, r), setting(kSmartVariant));
    QCOMPARE(label(frame, "status")->styleSheet(), QStringLiteral("color:black;"));
}

void BurninFrame::readyResetsTheFrame() {
    FrameBn frame(nullptr, 32, kSmartVariant);
    BurninPortRecord r = port(StatusStoppedWithErrors);
    r.errorCount2 = 2;
    r.smart05 = 9;
    r.smartC5 = 1;
    r.bnProgress = 80;
    frame.update(blockWith(0, r), setting(kSmartVariant));
    QCOMPARE(frame.update(blockWith(0, port(StatusReady)), setting(kSmartVariant)), Counter::None);
    QVERIFY(!frame.covered());
    QVERIFY(progressBar(frame)->isHidden());
    QCOMPARE(progressBar(frame)->value(), 0);
    QCOMPARE(progressBar(frame, "progress_cycle")->value(), 0);
    QCOMPARE(frame.styleSheet(), QString::fromLatin1(kWhite));
    QCOMPARE(label(frame, "error")->text(), QStringLiteral("错误：0"));
    QCOMPARE(label(frame, "smart")->text(), QString());
    QCOMPARE(label(frame, "speed")->text(), QStringLiteral("当前速度"));
    QCOMPARE(label(frame, "readContent")->text(), QStringLiteral("验证"));
    QCOMPARE(label(frame, "writeContent")->text(), QStringLiteral("写入"));
    QCOMPARE(label(frame, "time")->text(), QStringLiteral("时间"));
    QCOMPARE(label(frame, "testRequiredTime")->text(), QStringLiteral("测试时间"));
    for (const char* name : {"status", "speed", "readContent"})
        QCOMPARE(label(frame, name)->styleSheet(), QStringLiteral("color:black;"));
}

void BurninFrame::emptyPortCovered() {
    FrameBn frame(nullptr, 32, 0);
    QVERIFY(frame.covered());
    frame.update(blockWith(0, port(StatusPassed)), setting());
    QVERIFY(!frame.covered());
    QCOMPARE(frame.update(blockWith(0, port(StatusEmpty)), setting()), Counter::None);
    QVERIFY(frame.covered());
    QVERIFY(progressBar(frame)->isHidden());
    QCOMPARE(frame.mask()->styleSheet(), QString::fromLatin1(kWhite));
}

void BurninFrame::ignoredStatusesChangeNothing_data() {
    QTest::addColumn<uint>("status");
    for (uint status : {2u, 5u, 10u, 16u, 18u, 255u})
        QTest::newRow(qPrintable(QString::number(status))) << status;
}

void BurninFrame::ignoredStatusesChangeNothing() {
    QFETCH(uint, status);
    FrameBn frame(nullptr, 32, 0);
    BurninPortRecord r = port(StatusWriting);
    r.errorCount1 = 1;
    r.bnPass = 1;
    frame.update(blockWith(0, r), setting(0, 4));
    BurninPortRecord other = port(status);
    other.bnPass = 3;
    QCOMPARE(frame.update(blockWith(0, other), setting(0, 4)), Counter::None);
    QCOMPARE(label(frame, "status")->text(), QStringLiteral("2/4 写入"));
    QCOMPARE(frame.styleSheet(), QStringLiteral("background:#FFB3B3"));
    QVERIFY(!frame.covered());
}

void BurninFrame::recordOfItsOwnPort() {
    FrameBn frame(nullptr, 32, 0);
    frame.setPort(5);
    StatusBlock block = emptyBlock();
    putBurninPort(block, 4, port(StatusPassed));
    putBurninPort(block, 5, port(StatusStoppedWithErrors));
    QCOMPARE(frame.update(block, setting()), Counter::Fail);
}

QTEST_MAIN(BurninFrame)
#include "tst_burnin_frame.moc"
