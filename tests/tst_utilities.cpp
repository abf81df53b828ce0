// Log lines and the log file, the supervisor registration, the event primitive and the size
// texts.

#include "base/app_config.h"
#include "base/log_file.h"
#include "base/size_text.h"
#include "base/util_thread.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QtTest>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

namespace {
// What the log directory's mount entry is (0 none, 1 read-write, 2 read-only) and becomes
// during the second's wait, whether the file can be written, and what Log_Init makes of it.
// clang-format off
struct LogInit { QByteArray mtab; int mounted; bool mountedMeanwhile, unwritable; int result; QByteArray console; };
// clang-format on
std::atomic<unsigned> gSlept{0};
std::function<void()> gDuringSleep;
} // namespace
Q_DECLARE_METATYPE(LogInit)

// The waits of the log and of the registration take no time here; they are counted, and a
// test may change the world while one lasts.
extern "C" unsigned int sleep(unsigned int seconds) {
    gSlept += seconds;
    if (gDuringSleep)
        gDuringSleep();
    return 0;
}

class TestUtilities : public QObject {
    Q_OBJECT
private slots:
    void logLine() {
        qputenv("TZ", "UTC"); // log lines carry local time
        tzset();
        char buf[2048];
        const char* format = "%s:%s:%u %d %s";
        int n = Log_FormatLine(buf, 1700000000, 7999, format, "[D]", "../main.cpp", 42u, 1234,
                               "hello\n\r");
        QCOMPARE(QByteArray(buf, n), "2023-11-14 22:13:20.007:[D]:../main.cpp:42 1234 hello\n\r");
        n = Log_FormatLine(buf, 0, 999999, format, "[E]", "../a.cpp", 1u, 2,
                           QByteArray(5000, 'x').constData());
        // The message, its prefix included, is cut at 2020 characters.
        QCOMPARE(QByteArray(buf, n + 1),
                 "1970-01-01 00:00:00.999:[E]:../a.cpp:1 2 " + QByteArray(2003, 'x') + '\0');
    }

    void logInit_data() {
        QTest::addColumn<LogInit>("row");
        const QByteArray ro = "/dev/a /home/orangepi/log ext4 ro,relatime 0 0\n";
        // clang-format off
        QTest::newRow("no mount table") << LogInit{"", 0, false, false, -1, "log not mount\nwill not save log\n"};
        QTest::newRow("a neighbour mounted") << LogInit{"/dev/b /home/orangepi/logs vfat rw 0 0\n", 0, false, false, -1, "will not save log\n"};
        QTest::newRow("mounted during the wait") << LogInit{"", 0, true, false, 0, "log not mount\n"};
        QTest::newRow("read-only") << LogInit{ro, 2, false, true, -1, "this is the read only sys\n\rcould not open log file\n"};
        QTest::newRow("last entry decides") << LogInit{ro + "/dev/a /home/orangepi/log ext4 rw 0 0\n", 1, false, false, 0, ""};
        // clang-format on
    }

    void logInit() {
        QFETCH(LogInit, row);
        TempRoot root;
        root.writeFile("/etc/mtab", row.mtab);
        const QString file = root.path("/home/orangepi/log/oxalogs.log");
        writeAll(file, "the last run's log\n");
        if (row.unwritable) // what a read-only directory is to everyone but root
            QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        QCOMPARE(is_mounted("/home/orangepi/log"), row.mounted);
        gSlept = 0;
        gDuringSleep = [&] {
            if (row.mountedMeanwhile)
                root.writeFile("/etc/mtab", "/dev/a /home/orangepi/log ext4 rw 0 0\n");
        };
        StdoutCapture out;
        QCOMPARE(Log_Init(), row.result);
        gDuringSleep = nullptr;
        QVERIFY(out.text().contains(row.console));
        QCOMPARE(gSlept.load(), row.mounted > 0 ? 0u : 1u);
        LOGD("first line\n"); // an opened file starts afresh and takes every line
        const QRegularExpression line("^[-0-9]{10} [:0-9]{8}\\.\\d{3}:\\[D\\]:\\.\\./"
                                      "tst_utilities\\.cpp:\\d+ \\d+ first line\n$");
        QCOMPARE(line.match(readAll(file)).hasMatch(), row.result == 0);
    }

    void registration_data() {
        QTest::addColumn<bool>("comesUp");
        QTest::newRow("supervisor comes up after the first attempt") << true;
        QTest::newRow("no supervisor") << false;
    }

    // Up to ten attempts, five seconds apart; a connection that succeeds is held open.
    void registration() {
        QFETCH(bool, comesUp);
        // A bound port that does not listen refuses connections until listen() is called.
        const int supervisor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof(addr);
        QCOMPARE(bind(supervisor, reinterpret_cast<sockaddr*>(&addr), size), 0);
        QCOMPARE(getsockname(supervisor, reinterpret_cast<sockaddr*>(&addr), &size), 0);
        h2::appConfig().supervisorPort = ntohs(addr.sin_port);
        gSlept = 0;
        gDuringSleep = [&] {
            if (comesUp)
                listen(supervisor, 1);
        };
        StdoutCapture out;
        QCOMPARE(registerClient(), 0);
        QTRY_VERIFY(out.text().contains(comesUp ? "connect to the server fd "
                                                : "cannot connect will exit thread\n"));
        gDuringSleep = nullptr;
        QCOMPARE(gSlept.load(), comesUp ? 5u : 45u);
        QVERIFY(out.text().startsWith("client thread "));
        const int panel = comesUp ? accept(supervisor, nullptr, nullptr) : -1;
        pollfd p{panel, POLLIN, 0};
        QCOMPARE(poll(&p, 1, 100), 0); // nothing sent, not closed
        close(panel);
        close(supervisor);
    }

    void event() {
        const timespec deadline = Util_EventDeadline(12, 600000, 1500); // a carry into seconds
        QCOMPARE(deadline.tv_sec * 1000000000LL + deadline.tv_nsec, 14100000000LL);
        Util_Event autoReset(0);
        QCOMPARE(autoReset.wait(0), 110);
        QCOMPARE(autoReset.signal(), 1);
        QCOMPARE(autoReset.signal(), 0);
        QCOMPARE(autoReset.wait(0), 0);
        QCOMPARE(autoReset.wait(30), 110); // consumed by the first wait
        // A manual-reset event wakes every waiter and stays signalled.
        Util_Event manual(1);
        std::atomic<int> woken{0};
        std::vector<std::thread> waiters;
        for (int i = 0; i < 3; ++i)
            waiters.emplace_back([&] { woken += manual.wait(0xFFFFFFFFu) == 0; });
        QTest::qWait(50);
        QCOMPARE(woken.load(), 0);
        QCOMPARE(manual.signalBroadcast(), 1);
        for (auto& w : waiters)
            w.join();
        QCOMPARE(woken.load() + manual.signalBroadcast() + manual.wait(0), 3);
    }

    void sizeTexts_data() {
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("shortLadder"); // empty: outside its range
        QTest::addColumn<QString>("longLadder");
        // clang-format off
        QTest::newRow("0") << 0.0 << "0Byte" << "0Byte";
        QTest::newRow("1023") << 1023.0 << "1023Byte" << "1023Byte";
        QTest::newRow("1024") << 1024.0 << "1KB" << "1024Byte";
        QTest::newRow("10239") << 10239.0 << "9KB" << "10239Byte";
        QTest::newRow("10240") << 10240.0 << "10KB" << "10KB";
        QTest::newRow("12000") << 12000.0 << "11KB" << "11KB";
        QTest::newRow("just under 1 MiB") << 1048575.0 << "1023KB" << "1023KB";
        QTest::newRow("1 MiB") << 1048576.0 << "1M" << "1024KB";
        QTest::newRow("10 MiB") << 10485760.0 << "10M" << "10M";
        QTest::newRow("5000 KB") << 5120000.0 << "4M" << "5000KB";
        QTest::newRow("1 GiB") << 1073741824.0 << "1024M" << "1024M";
        QTest::newRow("16e9") << 16e9 << "15258M" << "14G";
        QTest::newRow("negative") << -5.7 << "-5Byte" << "-5Byte";
        QTest::newRow("beyond 8 digits") << 1024.0 * 1024.0 * 123456789.0 << "1.2345679e+08M" << "117TB";
        QTest::newRow("PB is the top") << 20000.0 * 1125899906842624.0 << "" << "20000PB";
        QTest::newRow("beyond 6 digits") << 2e6 * 1125899906842624.0 << "" << "2e+06PB";
        // clang-format on
    }

    void sizeTexts() {
        QFETCH(double, bytes);
        QFETCH(QString, shortLadder);
        QFETCH(QString, longLadder);
        QVERIFY(shortLadder.isEmpty() || getUnitAndValueString(bytes) == shortLadder);
        QCOMPARE(getUnitAndValueString2(bytes), longLadder);
    }
};

QTEST_GUILESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
