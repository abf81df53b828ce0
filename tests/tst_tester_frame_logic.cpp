// Drawing rules of a tester port frame, without widgets.

#include "tester/frame_logic.h"

#include <QtTest>
#include <cstring>

using namespace tester;

Q_DECLARE_METATYPE(tester::Outcome)

namespace {

SettingRecord setting(int mode, int ports = 48) {
    SettingRecord s;
    memset(&s, 0, sizeof(s));
    s.mode = mode;
    s.port_count = ports;
    return s;
}

TesterPortRecord record(uint32_t state) {
    TesterPortRecord r;
    memset(&r, 0, sizeof(r));
    r.state = state;
    return r;
}

QString orNone(const std::optional<QString>& text) {
    return text ? *text : QStringLiteral("<unset>");
}

} // namespace

class TesterFrameLogic : public QObject {
    Q_OBJECT
private slots:
    void timeTexts_data();
    void timeTexts();
    void finishedLines_data();
    void finishedLines();
    void grades_data();
    void grades();
    void testModeStatus_data();
    void testModeStatus();
    void writingFigures_data();
    void writingFigures();
    void verifyingLines_data();
    void verifyingLines();
    void finishedDrawnOnceCountedAlways_data();
    void finishedDrawnOnceCountedAlways();
    void resultBlockAndTag_data();
    void resultBlockAndTag();
    void formatMode_data();
    void formatMode();
    void clusterSize_data();
    void clusterSize();
    void protocolMode_data();
    void protocolMode();
    void masterPortLeftAlone();
    void progressOfNonsense();
};

void TesterFrameLogic::timeTexts_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("finished write 60000 ms") << "fw" << qint64(60000) << "60 s";
    QTest::newRow("finished write 60001 ms") << "fw" << qint64(60001) << "1:0m";
    QTest::newRow("finished write 1 h") << "fw" << qint64(3600000) << "60:0m";
    QTest::newRow("finished write past 1 h") << "fw" << qint64(3601000) << "1:0h";
    QTest::newRow("finished write 2:02:02") << "fw" << qint64(7322000) << "2:2h";
    QTest::newRow("finished read 60 s") << "fr" << qint64(60) << "60s";
    QTest::newRow("finished read 61 s") << "fr" << qint64(61) << "1:1m";
    QTest::newRow("finished read 3600 s") << "fr" << qint64(3600) << "60:0m";
    QTest::newRow("finished read 3601 s") << "fr" << qint64(3601) << "1:0h";
    QTest::newRow("running write 60000 ms") << "rw" << qint64(60000) << "60 s";
    QTest::newRow("running write 60001 ms") << "rw" << qint64(60001) << "1:0m";
    QTest::newRow("running write 3601000 ms") << "rw" << qint64(3601000) << "1:0:1h";
    QTest::newRow("running write 2:02:02") << "rw" << qint64(7322000) << "2:2:2h";
    QTest::newRow("running read 60 s") << "rr" << qint64(60) << "60s";
    QTest::newRow("running read 61 s") << "rr" << qint64(61) << "1:1m";
    QTest::newRow("running read 3600 s") << "rr" << qint64(3600) << "60:0m";
    QTest::newRow("running read 3601 s") << "rr" << qint64(3601) << "1:0:1h";
}

void TesterFrameLogic::timeTexts() {
    QFETCH(QString, kind);
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QString got;
    if (kind == "fw")
        got = finishedWriteTime(value);
    else if (kind == "fr")
        got = finishedReadTime(int32_t(value));
    else if (kind == "rw")
        got = runningWriteTime(value);
    else
        got = runningReadTime(int32_t(value));
    QCOMPARE(got, text);
}

void TesterFrameLogic::finishedLines_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<qint64>("writeMs");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("read");
    // 20 MiB/s written, 30 MiB/s read, 75 s verify.
    QTest::newRow("test mode") << 0 << qint64(125000) << "写:20M/s 2:5m"
                               << "读:30M 1:15m";
    QTest::newRow("write just over a second") << 0 << qint64(1001) << "写:20M/s 1 s"
                                              << "读:30M 1:15m";
    QTest::newRow("write of exactly a second") << 0 << qint64(1000) << "写: 0"
                                               << "读:30M 1:15m";
    QTest::newRow("verify-only mode") << kModeH2Verify << qint64(125000) << "写: 0"
                                      << "读:30M 1:15m";
}

void TesterFrameLogic::finishedLines() {
    QFETCH(int, mode);
    QFETCH(qint64, writeMs);
    TesterPortRecord r = record(StatePassed);
    r.writeTimeMs = writeMs;
    r.writeSpeed = 20u << 20;
    r.readSpeed = 30u << 20;
    r.readTimeSec = 75;
    QTEST(writeLine(mode, r), "write");
    QTEST(readLine(r), "read");
}

void TesterFrameLogic::grades_data() {
    QTest::addColumn<bool>("gradingOn");
    QTest::addColumn<quint64>("capacity");
    QTest::addColumn<QString>("style");
    QTest::newRow("grading off") << false << quint64(1500) << kGreen;
    QTest::newRow("grade 1 disabled, grade 2 covers")
        << true << quint64(1500) << "background:#00ff00";
    QTest::newRow("grades 2 and 3 match, first wins")
        << true << quint64(2500) << "background:#00ff00";
    QTest::newRow("only grade 3 matches") << true << quint64(3500) << "background:#000012";
    QTest::newRow("low bound included") << true << quint64(1000) << "background:#00ff00";
    QTest::newRow("high bound included") << true << quint64(3000) << "background:#00ff00";
    QTest::newRow("below every grade") << true << quint64(999) << kGreen;
    QTest::newRow("bound above 2^31 MiB") << true << quint64(0x90000000u) << "background:#abcdef";
    QTest::newRow("above every grade") << true << quint64(0xA0000001u) << kGreen;
}

void TesterFrameLogic::grades() {
    QFETCH(bool, gradingOn);
    QFETCH(quint64, capacity);
    SettingRecord s = setting(0);
    s.capfil_enable[0] = 0; // would cover everything
    s.capfil_low[0] = 0;
    s.capfil_high[0] = 100000;
    s.capfil_color[0] = 0xff0000;
    s.capfil_enable[1] = 1;
    s.capfil_low[1] = 1000;
    s.capfil_high[1] = 3000;
    s.capfil_color[1] = 0x00ff00;
    s.capfil_enable[2] = 1;
    s.capfil_low[2] = 2000;
    s.capfil_high[2] = 4000;
    s.capfil_color[2] = 0x12;
    // Bounds are unsigned: a "negative" high bound is a large one.
    s.capfil_enable[3] = 1;
    s.capfil_low[3] = int32_t(0x80000000u);
    s.capfil_high[3] = int32_t(0xA0000000u);
    s.capfil_color[3] = 0xabcdef;
    QTEST(gradeStyle(s, gradingOn, capacity << 20), "style");
}

void TesterFrameLogic::testModeStatus_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("ports");
    QTest::addColumn<uint>("state");
    QTest::addColumn<double>("progress");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("style");
    QTest::addColumn<Outcome>("outcome");
    const QString unset = "<unset>";
    QTest::newRow("ready, large machine")
        << 0 << 48 << 0u << 0.0 << "就绪" << unset << Outcome::None;
    QTest::newRow("ready, small machine keeps its result")
        << 0 << 8 << 0u << 0.0 << unset << unset << Outcome::None;
    QTest::newRow("ready, 9 ports") << 0 << 9 << 0u << 0.0 << "就绪" << unset << Outcome::None;
    QTest::newRow("initialising") << 0 << 48 << 9u << 0.0 << "正在初始化..." << kRed
                                  << Outcome::Working;
    QTest::newRow("initialising in format mode")
        << kModeFormat << 48 << 9u << 0.0 << "正在初始化..." << kRed << Outcome::Working;
    QTest::newRow("passed, erase")
        << kModeErase << 48 << 3u << 100.0 << "擦除完成" << kGreen << Outcome::Passed;
    QTest::newRow("passed") << 0 << 48 << 3u << 100.0 << "没发现问题" << kGreen << Outcome::Passed;
    QTest::newRow("write error") << 0 << 48 << 4u << 0.0 << "写入错误" << kRed << Outcome::Failed;
    QTest::newRow("capacity low") << 0 << 48 << 5u << 0.0 << "容量未达标" << kOrange
                                  << Outcome::Failed;
    QTest::newRow("USB 2.0 link") << 0 << 48 << 6u << 0.0 << " USB2.0" << kRed << Outcome::Failed;
    QTest::newRow("error at 50.0 is a write error")
        << 0 << 48 << 10u << 50.0 << "写入错误" << kRed << Outcome::Failed;
    QTest::newRow("error past 50 is a read error")
        << 0 << 48 << 10u << 50.01 << "读取错误" << kRed << Outcome::Failed;
    QTest::newRow("error in verify mode is a read error")
        << kModeH2Verify << 48 << 10u << 5.0 << "读取错误" << kRed << Outcome::Failed;
    QTest::newRow("write error with figures")
        << 0 << 48 << 11u << 90.0 << "写入错误" << kRed << Outcome::Failed;
    QTest::newRow("corrupted") << 0 << 48 << 12u << 90.0 << "损坏:1KB" << kRed << Outcome::Failed;
    QTest::newRow("read slow") << 0 << 48 << 13u << 90.0 << "读速度未达标" << kRed
                               << Outcome::Failed;
    QTest::newRow("write slow") << 0 << 48 << 14u << 90.0 << "写速度未达标" << kRed
                                << Outcome::Failed;
    QTest::newRow("state 7 unknown")
        << 0 << 48 << 7u << 0.0 << "状态未知" << unset << Outcome::None;
    QTest::newRow("state 8 unknown")
        << 0 << 48 << 8u << 0.0 << "状态未知" << unset << Outcome::None;
    QTest::newRow("state 15 unknown")
        << 0 << 48 << 15u << 0.0 << "状态未知" << unset << Outcome::None;
    QTest::newRow("unknown mode draws as a test mode")
        << 57 << 48 << 4u << 0.0 << "写入错误" << kRed << Outcome::Failed;
}

void TesterFrameLogic::testModeStatus() {
    QFETCH(int, mode);
    QFETCH(int, ports);
    QFETCH(uint, state);
    QFETCH(double, progress);
    QFETCH(Outcome, outcome);
    TesterPortRecord r = record(state);
    r.progress = progress;
    r.badSectors = 2;
    const FrameDraw d = drawFrame(5, r, setting(mode, ports), 0);
    QVERIFY(!d.untouched);
    QVERIFY(!d.skipped);
    QCOMPARE(d.state, uint32_t(state));
    QTEST(orNone(d.status), "status");
    QTEST(orNone(d.style), "style");
    QCOMPARE(d.outcome, outcome);
    // Every drawn state other than ready takes the cover away, so a result never hides
    // under the ready cover.
    if (state != 0 && d.status)
        QCOMPARE(int(d.cover), int(Cover::Hide));
}

void TesterFrameLogic::writingFigures_data() {
    QTest::addColumn<qint64>("writeMs");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("done");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("line3");
    QTest::addColumn<QString>("status");
    const QString unset = "<unset>";
    QTest::newRow("first second: status only")
        << qint64(999) << quint64(4u << 20) << quint64(1u << 20) << unset << unset << unset
        << "写入:1M";
    QTest::newRow("done within total shows done")
        << qint64(61000) << quint64(4u << 20) << quint64(1u << 20) << "1M"
        << "1:1m"
        << "8M/s"
        << "写入:1M";
    QTest::newRow("done beyond total shows total")
        << qint64(5000) << quint64(1u << 20) << quint64(4u << 20) << "1M"
        << "5 s"
        << "8M/s"
        << "写入:4M";
    QTest::newRow("nothing done yet") << qint64(5000) << quint64(4u << 20) << quint64(0) << "4M"
                                      << "5 s"
                                      << "8M/s"
                                      << "写入:";
    QTest::newRow("no total") << qint64(5000) << quint64(0) << quint64(0) << ""
                              << "5 s"
                              << "8M/s"
                              << "写入:";
}

void TesterFrameLogic::writingFigures() {
    QFETCH(qint64, writeMs);
    QFETCH(quint64, total);
    QFETCH(quint64, done);
    TesterPortRecord r = record(StateBusy);
    r.writeTimeMs = writeMs;
    r.totalBytes = total;
    r.doneBytes = done;
    r.writeSpeed = 8u << 20;
    r.progress = 42.9;
    // Busy states are redrawn on every tick, even when already shown.
    const FrameDraw d = drawFrame(3, r, setting(0), StateBusy);
    QVERIFY(!d.skipped);
    QCOMPARE(d.outcome, Outcome::Working);
    QCOMPARE(orNone(d.line), QStringLiteral(" "));
    QTEST(orNone(d.line1), "line1");
    QTEST(orNone(d.line2), "line2");
    QTEST(orNone(d.line3), "line3");
    QTEST(orNone(d.status), "status");
    QCOMPARE(int(d.bar), int(Bar::Show));
    QCOMPARE(d.barValue.value_or(-1), 42);
    QCOMPARE(orNone(d.style), QString(kGrey));
    QCOMPARE(d.writeSpeed.has_value(), writeMs >= 1000);
}

void TesterFrameLogic::verifyingLines_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<quint64>("bad");
    QTest::addColumn<quint64>("done");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("style");
    const QString unset = "<unset>";
    QTest::newRow("clean") << 0 << quint64(0) << quint64(3u << 20) << "2M"
                           << "1:0:1h"
                           << "校验:3M" << unset;
    QTest::newRow("clean, nothing done") << 0 << quint64(0) << quint64(0) << "2M"
                                         << "1:0:1h"
                                         << "校验:" << unset;
    QTest::newRow("lost data") << 0 << quint64(4) << quint64(3u << 20) << "2M"
                               << "1:0:1h"
                               << "丢失:2KB 3M" << kRed;
    QTest::newRow("lost data, nothing done") << 0 << quint64(4) << quint64(0) << "2M"
                                             << "1:0:1h"
                                             << "丢失:2KB" << kRed;
    QTest::newRow("verify mode clean turns grey")
        << kModeH2Verify << quint64(0) << quint64(0) << "2M"
        << "1:0:1h"
        << "校验:" << kGrey;
    QTest::newRow("write mode blanks the lines")
        << kModeH2Write << quint64(4) << quint64(3u << 20) << ""
        << "" << unset << unset;
    QTest::newRow("erase mode blanks the lines")
        << kModeErase << quint64(0) << quint64(3u << 20) << ""
        << "" << unset << unset;
}

void TesterFrameLogic::verifyingLines() {
    QFETCH(int, mode);
    QFETCH(quint64, bad);
    QFETCH(quint64, done);
    TesterPortRecord r = record(StateVerifying);
    r.badSectors = bad;
    r.doneBytes = done;
    r.totalSectors = 4096; // 2 MiB
    r.readTimeSec = 3601;
    r.readSpeed = 5u << 20;
    r.progress = 70.5;
    const FrameDraw d = drawFrame(3, r, setting(mode), StateVerifying);
    QCOMPARE(d.outcome, Outcome::Working);
    QTEST(orNone(d.line1), "line1");
    QTEST(orNone(d.line2), "line2");
    QTEST(orNone(d.status), "status");
    QTEST(orNone(d.style), "style");
    QCOMPARE(d.barValue.value_or(-1), 70);
}

void TesterFrameLogic::finishedDrawnOnceCountedAlways_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("state");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("passed") << 0 << 3u << Outcome::Passed;
    QTest::newRow("write error") << 0 << 4u << Outcome::Failed;
    QTest::newRow("capacity low") << 0 << 5u << Outcome::Failed;
    QTest::newRow("USB 2.0") << 0 << 6u << Outcome::Failed;
    QTest::newRow("error") << 0 << 10u << Outcome::Failed;
    QTest::newRow("corrupted") << 0 << 12u << Outcome::Failed;
    QTest::newRow("write slow") << 0 << 14u << Outcome::Failed;
    QTest::newRow("format passed") << kModeFormat << 3u << Outcome::Passed;
    QTest::newRow("format error") << kModeFormat << 4u << Outcome::Failed;
    QTest::newRow("format capacity low") << kModeFormat << 5u << Outcome::Failed;
    QTest::newRow("USB 3.0 link") << kModeProtocol << 3u << Outcome::Passed;
    QTest::newRow("USB 2.0 link") << kModeProtocol << 4u << Outcome::Failed;
    QTest::newRow("USB 3.0 on a red frame") << kModeProtocol << 5u << Outcome::Failed;
}

void TesterFrameLogic::finishedDrawnOnceCountedAlways() {
    QFETCH(int, mode);
    QFETCH(uint, state);
    QFETCH(Outcome, outcome);
    const TesterPortRecord r = record(state);
    const FrameDraw first = drawFrame(7, r, setting(mode), StateBusy);
    QVERIFY(!first.skipped);
    QVERIFY(first.style.has_value());
    QCOMPARE(first.outcome, outcome);
    const FrameDraw again = drawFrame(7, r, setting(mode), state);
    QVERIFY(again.skipped);
    QVERIFY(!again.style && !again.status && !again.line && !again.line1);
    QCOMPARE(int(again.cover), int(Cover::Keep));
    QCOMPARE(again.outcome, outcome);
}

void TesterFrameLogic::resultBlockAndTag_data() {
    QTest::addColumn<uint>("state");
    QTest::addColumn<int>("afterFormat");
    QTest::addColumn<uint>("fsType");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("strange");
    QTest::newRow("passed, no format") << 3u << 0 << 2u << "15258M " << false;
    QTest::newRow("passed, FAT16") << 3u << 1 << 1u << "15258M FAT16" << false;
    QTest::newRow("passed, FAT32") << 3u << 1 << 2u << "15258M FAT32" << false;
    QTest::newRow("passed, code 4 is FAT32") << 3u << 1 << 4u << "15258M FAT32" << false;
    QTest::newRow("passed, exFAT") << 3u << 1 << 3u << "15258M EXFAT" << false;
    QTest::newRow("passed, unknown code") << 3u << 1 << 9u << "15258M " << true;
    QTest::newRow("failed, no tag") << 13u << 1 << 2u << "15258M" << false;
}

void TesterFrameLogic::resultBlockAndTag() {
    QFETCH(uint, state);
    QFETCH(int, afterFormat);
    QFETCH(uint, fsType);
    QFETCH(bool, strange);
    TesterPortRecord r = record(state);
    r.fsType = fsType;
    r.testedBytes = 16000000000ull;
    r.doneBytes = 1u << 20;
    r.writeTimeMs = 90000;
    r.writeSpeed = 10u << 20;
    r.readSpeed = 20u << 20;
    r.readTimeSec = 45;
    SettingRecord s = setting(0);
    s.after_format = afterFormat;
    const FrameDraw d = drawFrame(4, r, s, 0);
    QTEST(orNone(d.line), "line");
    QCOMPARE(orNone(d.line1), QStringLiteral("1M"));
    QCOMPARE(orNone(d.line2), QStringLiteral("写:10M/s 1:30m"));
    QCOMPARE(orNone(d.line3), QStringLiteral("读:20M 45s"));
    QCOMPARE(d.strangeFsType.has_value(), strange);
    QCOMPARE(d.writeSpeed.value_or(0), double(10u << 20));
}

void TesterFrameLogic::formatMode_data() {
    QTest::addColumn<uint>("state");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("bar");
    QTest::addColumn<Outcome>("outcome");
    const QString unset = "<unset>";
    QTest::newRow("ready") << 0u << unset << unset << unset << unset << -1 << Outcome::None;
    QTest::newRow("formatting") << 1u << "正在格式化"
                                << "1024M"
                                << "" << kGrey << 0 << Outcome::Working;
    QTest::newRow("succeeded") << 3u << "格式化成功"
                               << "1024M"
                               << "exFAT " << kGreen << 100 << Outcome::Passed;
    QTest::newRow("failed") << 4u << "格式化错误"
                            << "1024M"
                            << "" << kRed << 100 << Outcome::Failed;
    QTest::newRow("capacity low") << 5u << "容量未达标"
                                  << "1024M"
                                  << "exFAT " << kOrange << 100 << Outcome::Failed;
    QTest::newRow("verifying is not a format state")
        << 2u << unset << unset << unset << unset << -1 << Outcome::None;
    QTest::newRow("unknown state")
        << 12u << unset << unset << unset << unset << -1 << Outcome::None;
}

void TesterFrameLogic::formatMode() {
    QFETCH(uint, state);
    QFETCH(int, bar);
    QFETCH(Outcome, outcome);
    TesterPortRecord r = record(state);
    r.capacityBytes = 1ull << 30;
    r.fsType = 3;
    SettingRecord s = setting(kModeFormat);
    s.capfil_test_enable = 1; // the test switch does not grade formats
    s.capfil_enable[0] = 1;
    s.capfil_high[0] = 100000;
    s.capfil_color[0] = 0x123456;
    const FrameDraw d = drawFrame(2, r, s, 0);
    QTEST(orNone(d.status), "status");
    QTEST(orNone(d.line), "line");
    QTEST(orNone(d.line2), "line2");
    QTEST(orNone(d.style), "style");
    QCOMPARE(d.barValue.value_or(-1), bar);
    QCOMPARE(d.outcome, outcome);
    if (state == 0) {
        QCOMPARE(int(d.cover), int(Cover::Show));
        QVERIFY(d.clearFirstLineIfCovered);
    }
}

void TesterFrameLogic::clusterSize_data() {
    QTest::addColumn<uint>("a");
    QTest::addColumn<uint>("b");
    QTest::addColumn<QString>("line3");
    QTest::newRow("32 KiB clusters") << 64u << 512u << "32KB";
    QTest::newRow("no cluster size") << 0u << 512u << "0";
    QTest::newRow("product of 2^31 is negative") << 0x10000u << 0x8000u << "0";
    QTest::newRow("product wraps to 0") << 0x10000u << 0x10000u << "0";
}

void TesterFrameLogic::clusterSize() {
    QFETCH(uint, a);
    QFETCH(uint, b);
    TesterPortRecord r = record(StatePassed);
    r.clusterFactorA = a;
    r.clusterFactorB = b;
    r.fsType = 7;
    r.doneBytes = 0;
    SettingRecord s = setting(kModeFormat);
    s.capfil_format_enable = 1;
    s.capfil_enable[0] = 1;
    s.capfil_high[0] = 100000;
    s.capfil_color[0] = 0x123456;
    const FrameDraw d = drawFrame(2, r, s, 0);
    QTEST(orNone(d.line3), "line3");
    QVERIFY(d.line3Red);
    QCOMPARE(orNone(d.line2), QStringLiteral("FAT12 "));
    QCOMPARE(orNone(d.line1), QString());
    QCOMPARE(orNone(d.style), QStringLiteral("background:#123456"));
}

void TesterFrameLogic::protocolMode_data() {
    QTest::addColumn<uint>("state");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("bar");
    QTest::addColumn<Outcome>("outcome");
    const QString unset = "<unset>";
    QTest::newRow("ready") << 0u << unset << unset << unset << int(Bar::Keep) << Outcome::None;
    QTest::newRow("probing") << 1u << unset << unset << kGrey << int(Bar::Hide) << Outcome::Working;
    QTest::newRow("USB 3.0") << 3u << " USB3.0"
                             << "" << kGreen << int(Bar::Hide) << Outcome::Passed;
    QTest::newRow("USB 2.0") << 4u << " USB2.0"
                             << "" << kRed << int(Bar::Hide) << Outcome::Failed;
    QTest::newRow("USB 3.0 on red")
        << 5u << unset << " USB3.0" << kRed << int(Bar::Keep) << Outcome::Failed;
    QTest::newRow("other state") << 6u << unset << unset << unset << int(Bar::Keep)
                                 << Outcome::None;
}

void TesterFrameLogic::protocolMode() {
    QFETCH(uint, state);
    QFETCH(int, bar);
    QFETCH(Outcome, outcome);
    const FrameDraw d = drawFrame(2, record(state), setting(kModeProtocol), 0);
    QTEST(orNone(d.status), "status");
    QTEST(orNone(d.line), "line");
    QTEST(orNone(d.style), "style");
    QCOMPARE(int(d.bar), bar);
    QCOMPARE(d.outcome, outcome);
}

void TesterFrameLogic::masterPortLeftAlone() {
    SettingRecord copier = setting(0);
    copier.machine_type = 2;
    const TesterPortRecord failed = record(StateWriteError);
    const FrameDraw master = drawFrame(1, failed, copier, 0);
    QVERIFY(master.untouched);
    QCOMPARE(master.outcome, Outcome::None);
    QVERIFY(!master.status && !master.style);
    QCOMPARE(drawFrame(2, failed, copier, 0).outcome, Outcome::Failed);
    QCOMPARE(drawFrame(1, failed, setting(0), 0).outcome, Outcome::Failed);
}

void TesterFrameLogic::progressOfNonsense() {
    TesterPortRecord r = record(StateBusy);
    const std::pair<double, int> bars[] = {{99.99, 99}, {-0.5, 0}, {std::nan(""), 0}, {1e300, 100}};
    for (const auto& [progress, bar] : bars) {
        r.progress = progress;
        QCOMPARE(drawFrame(3, r, setting(0), 0).barValue.value_or(-1), bar);
    }
}

QTEST_GUILESS_MAIN(TesterFrameLogic)
#include "tst_tester_frame_logic.moc"
