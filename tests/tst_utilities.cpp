// Log lines, the event primitive, the mount table and the size texts.

#include "base/log_file.h"
#include "base/size_text.h"
#include "base/util_thread.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QtTest>
#include <atomic>
#include <cerrno>
#include <thread>

class TestUtilities : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void logLineFormat();
    void logLineCut();
    void logPrintfWritesWholeLines();
    void logSourceNames();

    void eventDeadline_data();
    void eventDeadline();
    void eventAutoReset();
    void eventManualResetBroadcast();
    void eventInfiniteWaitWakes();
    void eventTimesOut();

    void mountTable_data();
    void mountTable();

    void shortLadder_data();
    void shortLadder();
    void longLadder_data();
    void longLadder();
};

void TestUtilities::initTestCase() {
    // Log lines carry local time; pin the zone so expectations are exact.
    qputenv("TZ", "UTC");
    tzset();
}

void TestUtilities::logLineFormat() {
    char buf[2048];
    // 2023-11-14 22:13:20 UTC, 7 ms and 999 us into the second.
    const int n = Log_FormatLine(buf, 1700000000, 7999, "%s:%s:%u %d hello %d\n\r", "[D]",
                                 "../main.cpp", 42u, 1234, 5);
    QCOMPARE(QByteArray(buf, n),
             QByteArray("2023-11-14 22:13:20.007:[D]:../main.cpp:42 1234 hello 5\n\r"));
}

void TestUtilities::logLineCut() {
    char buf[2048];
    const QByteArray longMessage(5000, 'x');
    const int n = Log_FormatLine(buf, 0, 999999, "%s", longMessage.constData());
    QCOMPARE(n, 24 + 2020);
    QCOMPARE(QByteArray(buf, 24), QByteArray("1970-01-01 00:00:00.999:"));
    QCOMPARE(QByteArray(buf + 24, 2020), QByteArray(2020, 'x'));
    QCOMPARE(buf[n], '\0');
}

void TestUtilities::logPrintfWritesWholeLines() {
    StdoutCapture capture;
    constexpr int kThreads = 4, kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i)
                LOGD("thread %d line %d %s\n", t, i, "payload-payload-payload");
        });
    }
    for (auto& th : threads)
        th.join();
    const QList<QByteArray> lines = capture.text().split('\n');
    int count = 0;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        ++count;
        // Each line is whole: one prefix, one payload, nothing of another line inside it.
        QVERIFY2(line.count("[D]") == 1 && line.endsWith("payload-payload-payload"), line);
        QVERIFY(line.contains(":../tst_utilities.cpp:"));
    }
    QCOMPARE(count, kThreads * kLines);
}

void TestUtilities::logSourceNames() {
    QCOMPARE(QByteArray(logSourceName("/a/b/src/app/main.cpp")), QByteArray("main.cpp"));
    QCOMPARE(QByteArray(logSourceName("main.cpp")), QByteArray("main.cpp"));
}

void TestUtilities::eventDeadline_data() {
    QTest::addColumn<qlonglong>("nowSec");
    QTest::addColumn<int>("nowUsec");
    QTest::addColumn<uint>("timeout");
    QTest::addColumn<qlonglong>("sec");
    QTest::addColumn<qlonglong>("nsec");
    QTest::newRow("carry") << 12LL << 600000 << 1500u << 14LL << 100000000LL;
    QTest::newRow("no carry") << 12LL << 100000 << 1500u << 13LL << 600000000LL;
    QTest::newRow("exact carry") << 5LL << 500000 << 500u << 6LL << 0LL;
    QTest::newRow("whole seconds") << 5LL << 999999 << 3000u << 8LL << 999999000LL;
    QTest::newRow("largest finite") << 0LL << 999999 << 0xFFFFFFFEu << 4294968LL << 293999000LL;
}

void TestUtilities::eventDeadline() {
    QFETCH(qlonglong, nowSec);
    QFETCH(int, nowUsec);
    QFETCH(uint, timeout);
    QFETCH(qlonglong, sec);
    QFETCH(qlonglong, nsec);
    const timespec d = Util_EventDeadline(time_t(nowSec), nowUsec, timeout);
    QCOMPARE(qlonglong(d.tv_sec), sec);
    QCOMPARE(qlonglong(d.tv_nsec), nsec);
}

void TestUtilities::eventAutoReset() {
    Util_Event event(0);
    QCOMPARE(event.wait(0), ETIMEDOUT);
    QCOMPARE(event.signal(), 1);
    QCOMPARE(event.signal(), 0);
    QCOMPARE(event.wait(0), 0);
    QCOMPARE(event.wait(0), ETIMEDOUT); // consumed by the first wait
    event.signal();
    event.clear();
    QCOMPARE(event.wait(0), ETIMEDOUT);
}

void TestUtilities::eventManualResetBroadcast() {
    Util_Event event(1);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (event.wait(Util_Event::kInfinite) == 0)
                ++woken;
        });
    QTest::qWait(50);
    QCOMPARE(event.signalBroadcast(), 1);
    for (auto& w : waiters)
        w.join();
    QCOMPARE(woken.load(), 3);
    QCOMPARE(event.signalBroadcast(), 0); // still signalled
    QCOMPARE(event.wait(0), 0);
    QCOMPARE(event.wait(0), 0);
}

void TestUtilities::eventInfiniteWaitWakes() {
    Util_Event event(0);
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = event.wait(Util_Event::kInfinite); });
    QTest::qWait(50);
    QCOMPARE(result.load(), -1);
    event.signal();
    waiter.join();
    QCOMPARE(result.load(), 0);
    QCOMPARE(event.wait(0), ETIMEDOUT);
}

void TestUtilities::eventTimesOut() {
    Util_Event event(0);
    QCOMPARE(event.wait(30), ETIMEDOUT);
    std::thread signaller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.signal();
    });
    QCOMPARE(event.wait(10000), 0);
    signaller.join();
}

void TestUtilities::mountTable_data() {
    QTest::addColumn<QByteArray>("mtab");
    QTest::addColumn<int>("result");
    const QByteArray other = "/dev/sda1 /home/orangepi/logs vfat rw 0 0\n";
    QTest::newRow("no table") << QByteArray() << 0;
    QTest::newRow("not listed") << other << 0;
    QTest::newRow("read-write") << other +
                                       "/dev/mmcblk0p3 /home/orangepi/log ext4 rw,relatime 0 0\n"
                                << 1;
    QTest::newRow("read-only") << QByteArray(
                                      "/dev/mmcblk0p3 /home/orangepi/log ext4 ro,relatime 0 0\n")
                               << 2;
    QTest::newRow("last entry decides") << QByteArray("a /home/orangepi/log ext4 ro,noatime 0 0\n"
                                                      "b /home/orangepi/log ext4 rw,noatime 0 0\n")
                                        << 1;
}

void TestUtilities::mountTable() {
    QFETCH(QByteArray, mtab);
    QFETCH(int, result);
    TempRoot root;
    if (!mtab.isEmpty())
        root.writeFile("/etc/mtab", mtab);
    StdoutCapture quiet;
    QCOMPARE(is_mounted("/home/orangepi/log"), result);
}

void TestUtilities::shortLadder_data() {
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0Byte";
    QTest::newRow("1000") << 1000.0 << "1000Byte";
    QTest::newRow("1023") << 1023.0 << "1023Byte";
    QTest::newRow("1024") << 1024.0 << "1KB";
    QTest::newRow("2048") << 2048.0 << "2KB";
    QTest::newRow("just under 1 MiB") << 1048575.0 << "1023KB";
    QTest::newRow("1 GiB stays in M") << 1073741824.0 << "1024M";
    QTest::newRow("16e9") << 16e9 << "15258M";
    QTest::newRow("negative") << -5.7 << "-5Byte";
    QTest::newRow("exponent beyond 8 digits") << 1024.0 * 1024.0 * 123456789.0 << "1.2345679e+08M";
}

void TestUtilities::shortLadder() {
    QFETCH(double, bytes);
    QFETCH(QString, text);
    QCOMPARE(getUnitAndValueString(bytes), text);
}

void TestUtilities::longLadder_data() {
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0Byte";
    QTest::newRow("1024") << 1024.0 << "1024Byte";
    QTest::newRow("10239") << 10239.0 << "10239Byte";
    QTest::newRow("10240") << 10240.0 << "10KB";
    QTest::newRow("12000") << 12000.0 << "11KB";
    QTest::newRow("5000 KB") << 5000.0 * 1024 << "5000KB";
    QTest::newRow("16e9") << 16e9 << "14G";
    QTest::newRow("PB is the top") << 20000.0 * 1125899906842624.0 << "20000PB";
}

void TestUtilities::longLadder() {
    QFETCH(double, bytes);
    QFETCH(QString, text);
    QCOMPARE(getUnitAndValueString2(bytes), text);
}

QTEST_GUILESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
