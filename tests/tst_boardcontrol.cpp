// Board power: the switching sequence, init, one polling pass with its confirmation reads over
// a virtual clock and the switch-on decision from the windows, and the polling thread.

#include "hardware/boardcontrol.h"
#include "hardware/window_activity.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"

#include <QThread>
#include <QtTest>

namespace {
// The events without the pin reads; "on" and "off" stand for the power sequence at 1 or 0.
QString events(const FakeGpio& gpio) {
    return gpio.events({"cfg", "set", "wait", "cmd"})
        .join(',')
        .replace(QRegularExpression("set PD13 (\\d),wait 500,set PD1 \\1,wait 700,set PD6 \\1,"
                                    "wait 700,set PD16 \\1,wait 500,set PD17 \\1,wait 700"),
                 "power \\1")
        .replace("power 1", "on")
        .replace("power 0", "off");
}

// The log's messages without their prefix ("date time:[D]:file:line thread ").
QString messages(const StdoutCapture& out) {
    QStringList lines = QString(out.text()).split("\n\r", Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(' ', 3);
    return lines.join(',');
}

// "running,workingLast,connected", or "-" for a window that does not exist.
const WindowActivity* window(WindowActivity& w, const QString& text) {
    const QStringList f = text.split(',');
    w.mRunning = f.value(0).toInt();
    w.mWorkingLast = f.value(1).toInt();
    w.mConnected = f.value(2).toInt();
    return f.size() == 3 ? &w : nullptr;
}
} // namespace

class TestBoardControl : public QObject {
    Q_OBJECT

private slots:
    void initAndPowerSequence() {
        FakeGpio gpio;
        gpio.setLevel({PD, 5}, 1);
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        QCOMPARE(board.boardState(), 0);
        StdoutCapture out;
        QCOMPARE(board.init(), 0);
        QCOMPARE(board.boardState(), 1);
        for (int level : {1, 2, 0}) {
            board.powerBoard(level);
            QCOMPARE(board.powerLevel(), level ? 1 : 0); // 2 drives on but is not stored
        }
        QCOMPARE(events(gpio), "cfg PD13 out,cfg PD1 out,cfg PD6 out,cfg PD16 out,cfg PD17 out,"
                               "cfg PD5 in,off,on,power 2,off");
        QCOMPARE(messages(out), "set PD 1 0,current Board status 1,set PD 1 1,set PD 1 2,unknown "
                                "parameter 2,set PD 1 0");
    }

    // "PD5|tester/copier|events|state|log" for one pass after init: PD5 at init, then from the
    // pass's start "level" or "level@ms"; each window's activity.
    void poll_data() {
        QTest::addColumn<QString>("row");
        const QString down = "|wait 1000,wait 1000|1|Board down detect";
        const QString on = "|wait 1000,wait 1000,cmd 10,on|2|Board down detect,";
        QTest::newRow("copier idle")
            << "1 0|-/1,0,0" + on + "copy running 0,will power on,set PD 1 1";
        QTest::newRow("no windows yet") << "1 0|-/-" + down;
        QTest::newRow("both stopped") << "1 0|0,0,0/0,0,0" + down;
        QTest::newRow("copier with a connected target")
            << "1 0|0,0,0/1,0,1" + down + ",copy running 0,connect Count 1 work count 0";
        QTest::newRow("copier working")
            << "1 0|-/1,2,0" + down + ",copy running 0,connect Count 0 work count 2";
        QTest::newRow("tester idle, copier working")
            << "1 0|1,0,0/1,3,4" + on +
                   "test running,copy running 1,connect Count 4 work count 3,will power on,set PD "
                   "1 1";
        QTest::newRow("tester idle")
            << "1 0|1,0,0/-" + on + "test running,will power on,set PD 1 1";
        QTest::newRow("tester working") << "1 0|1,1,0/-" + down + ",test running";
        QTest::newRow("tester with a device connected")
            << "1 0|1,0,1/0,0,0" + down + ",test running";
        QTest::newRow("tester working, copier idle")
            << "1 0|1,5,5/1,0,0" + on + "test running,copy running 0,will power on,set PD 1 1";
        QTest::newRow("high again within the first second") << "1 0 1@400|-/1,0,0|wait 1000|1|";
        QTest::newRow("high again in the second second")
            << "1 0 1@1500|-/1,0,0|wait 1000,wait 1000|1|Board down detect,board up again";
        QTest::newRow("board up confirmed")
            << "0 1|-/-|wait 500,cmd 9,off|1|Board up detect,set PD 1 0";
        QTest::newRow("high for 300 ms only") << "0 1 0@300|-/-|wait 500|2|";
        QTest::newRow("already off") << "1 1|-/1,0,0||1|";
        QTest::newRow("already on") << "0 0|1,0,0/-||2|";
    }
    void poll() {
        QFETCH(QString, row);
        const QStringList f = row.split('|'), pd5 = f[0].split(' ');
        WindowActivity tester, copier;
        gTesterActivity = window(tester, f[1].section('/', 0, 0));
        gCopierActivity = window(copier, f[1].section('/', 1));
        FakeGpio gpio;
        gpio.setLevel({PD, 5}, pd5[0].toUInt());
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        board.init();
        gpio.clearEvents();
        const qint64 t0 = gpio.now();
        gpio.setScript({PD, 5}, [pd5, t0](qint64 now) {
            unsigned level = 0;
            for (const QString& step : pd5.mid(1))
                if (now - t0 >= step.section('@', 1).toLongLong())
                    level = step.section('@', 0, 0).toUInt();
            return level;
        });
        StdoutCapture out;
        board.pollOnce();
        gTesterActivity = gCopierActivity = nullptr;
        QCOMPARE(QStringList(
                     {f[0], f[1], events(gpio), QString::number(board.boardState()), messages(out)})
                     .join('|'),
                 row);
    }

    void threadPollsUntilStopped() {
        FakeGpio gpio;
        const h2::PauseFn recorded = gpio.pause();
        BoardControl board(gpio, gpio.commands(), [recorded](unsigned ms) {
            recorded(ms);
            QThread::usleep(200);
        });
        board.init(); // PD5 low: boards on, nothing to do but poll
        gpio.clearEvents();
        QCOMPARE(board.start(), 0);
        QTRY_VERIFY(gpio.events().count("wait 500") >= 2);
        board.stop();
        QVERIFY(!board.running());
    }
};

QTEST_GUILESS_MAIN(TestBoardControl)
#include "tst_boardcontrol.moc"
