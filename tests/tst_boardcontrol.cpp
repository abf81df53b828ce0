// Board power: the switching sequence, init, the polling state machine with its
// confirmation reads over a virtual clock, and the switch-on decision.

#include "hardware/boardcontrol.h"
#include "hardware/window_activity.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"

#include <QThread>
#include <QtTest>

namespace {
constexpr GpioPin kPd5{PD, 5};

QStringList powerSequence(int level) {
    const QString l = QString::number(uint(level)); // as written to the data register
    return {"set PD13 " + l, "wait 500",      "set PD1 " + l, "wait 700",      "set PD6 " + l,
            "wait 700",      "set PD16 " + l, "wait 500",     "set PD17 " + l, "wait 700"};
}

// PD5 follows a list of (from ms, level) steps over the virtual clock.
FakeGpio::Script steps(QVector<QPair<qint64, unsigned>> changes) {
    return [changes](qint64 now) {
        unsigned level = 0;
        for (const auto& c : changes) {
            if (now >= c.first)
                level = c.second;
        }
        return level;
    };
}

struct Windows {
    WindowActivity tester;
    WindowActivity copier;
    Windows() {
        gTesterActivity = nullptr;
        gCopierActivity = nullptr;
    }
    ~Windows() {
        gTesterActivity = nullptr;
        gCopierActivity = nullptr;
    }
    static void set(WindowActivity& w, int running, int workingLast, int connected) {
        w.mRunning = running;
        w.mWorkingLast = workingLast;
        w.mConnected = connected;
    }
};
} // namespace

class TestBoardControl : public QObject {
    Q_OBJECT

private:
    // A controller after init with PD5 as given; only what follows is recorded.
    std::unique_ptr<BoardControl> initialised(FakeGpio& gpio, unsigned pd5) {
        gpio.setLevel(kPd5, pd5);
        auto board = std::make_unique<BoardControl>(gpio, gpio.commands(), gpio.pause());
        board->init();
        gpio.clearEvents();
        return board;
    }

private slots:
    void switchOnDecision_data() {
        QTest::addColumn<QVector<int>>(
            "tester"); // running, workingLast, connected; empty: no window
        QTest::addColumn<QVector<int>>("copier");
        QTest::addColumn<bool>("switchOn");
        QTest::addColumn<bool>("testerIdle");
        QTest::newRow("no windows yet") << QVector<int>{} << QVector<int>{} << false << false;
        QTest::newRow("both stopped")
            << QVector<int>{0, 0, 0} << QVector<int>{0, 0, 0} << false << false;
        QTest::newRow("copier idle")
            << QVector<int>{0, 0, 0} << QVector<int>{1, 0, 0} << true << false;
        QTest::newRow("copier idle, no tester window")
            << QVector<int>{} << QVector<int>{1, 0, 0} << true << false;
        QTest::newRow("copier with a connected target")
            << QVector<int>{0, 0, 0} << QVector<int>{1, 0, 1} << false << false;
        QTest::newRow("copier working")
            << QVector<int>{0, 0, 0} << QVector<int>{1, 2, 0} << false << false;
        QTest::newRow("copier stopped with zero counts")
            << QVector<int>{} << QVector<int>{0, 0, 0} << false << false;
        QTest::newRow("tester idle") << QVector<int>{1, 0, 0} << QVector<int>{} << true << true;
        QTest::newRow("tester idle, copier working")
            << QVector<int>{1, 0, 0} << QVector<int>{1, 3, 4} << true << true;
        QTest::newRow("tester working")
            << QVector<int>{1, 1, 0} << QVector<int>{} << false << false;
        QTest::newRow("tester with a device connected")
            << QVector<int>{1, 0, 1} << QVector<int>{0, 0, 0} << false << false;
        QTest::newRow("tester working, copier idle")
            << QVector<int>{1, 5, 5} << QVector<int>{1, 0, 0} << true << false;
        QTest::newRow("tester stopped with zero counts")
            << QVector<int>{0, 0, 0} << QVector<int>{} << false << false;
    }
    void switchOnDecision() {
        QFETCH(QVector<int>, tester);
        QFETCH(QVector<int>, copier);
        QFETCH(bool, switchOn);
        QFETCH(bool, testerIdle);
        Windows w;
        if (!tester.isEmpty()) {
            Windows::set(w.tester, tester[0], tester[1], tester[2]);
            gTesterActivity = &w.tester;
        }
        if (!copier.isEmpty()) {
            Windows::set(w.copier, copier[0], copier[1], copier[2]);
            gCopierActivity = &w.copier;
        }
        const PowerOnDecision d = decidePowerOn(viewOf(gTesterActivity), viewOf(gCopierActivity));
        QCOMPARE(d.switchOn, switchOn);
        QCOMPARE(d.testerIdle, testerIdle);

        // The same decision drives a confirmed "Board down".
        FakeGpio gpio;
        auto board = initialised(gpio, 1);
        gpio.setLevel(kPd5, 0);
        board->pollOnce();
        QCOMPARE(board->boardState(), switchOn ? 2 : 1);
        QCOMPARE(gpio.events({"cmd"}), switchOn ? QStringList{"cmd 10"} : QStringList{});
    }

    void powerBoardSwitchesInOrderWithPauses_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("storedLevel");
        QTest::addColumn<bool>("unknown");
        QTest::newRow("off") << 0 << 0 << false;
        QTest::newRow("on") << 1 << 1 << false;
        QTest::newRow("2 drives on but is not stored") << 2 << 1 << true;
        QTest::newRow("-1 drives on but is not stored") << -1 << 1 << true;
    }
    void powerBoardSwitchesInOrderWithPauses() {
        QFETCH(int, level);
        QFETCH(int, storedLevel);
        QFETCH(bool, unknown);
        FakeGpio gpio;
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        board.powerBoard(1);
        gpio.clearEvents();
        StdoutCapture out;
        board.powerBoard(level);
        QCOMPARE(gpio.events(), powerSequence(level));
        for (const GpioPin p : {GpioPin{PD, 13}, {PD, 1}, {PD, 6}, {PD, 16}, {PD, 17}})
            QCOMPARE(gpio.level(p), level ? 1u : 0u);
        QCOMPARE(board.powerLevel(), storedLevel);
        QCOMPARE(out.text().count(QStringLiteral("set PD 1 %1\n\r").arg(level).toUtf8()), 1);
        QCOMPARE(out.text().count(QStringLiteral("unknown parameter %1\n\r").arg(level).toUtf8()),
                 unknown ? 1 : 0);
    }

    void initTakesTheBoardState_data() {
        QTest::addColumn<unsigned>("pd5");
        QTest::addColumn<int>("state");
        QTest::newRow("PD5 high: boards up, switched off") << 1u << 1;
        QTest::newRow("PD5 low") << 0u << 2;
    }
    void initTakesTheBoardState() {
        QFETCH(unsigned, pd5);
        QFETCH(int, state);
        FakeGpio gpio;
        gpio.setLevel(kPd5, pd5);
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        QCOMPARE(board.boardState(), 0);
        StdoutCapture out;
        QCOMPARE(board.init(), 0);
        QStringList want = {"cfg PD13 out", "cfg PD1 out",  "cfg PD6 out",
                            "cfg PD16 out", "cfg PD17 out", "cfg PD5 in"};
        want << powerSequence(0);
        QCOMPARE(gpio.events(), want); // no command to the engine
        QCOMPARE(board.boardState(), state);
        QCOMPARE(board.powerLevel(), 0);
        QCOMPARE(
            out.text().count(QStringLiteral("current Board status %1\n\r").arg(state).toUtf8()), 1);
    }

    void boardDownSwitchesOnWhenTheCopierIsIdle() {
        Windows w;
        Windows::set(w.copier, 1, 0, 0);
        gCopierActivity = &w.copier;
        FakeGpio gpio;
        auto board = initialised(gpio, 1);
        gpio.setScript(kPd5, steps({{0, 0}}));
        StdoutCapture out;
        board->pollOnce();
        QStringList want = {"wait 1000", "wait 1000", "cmd 10"};
        want << powerSequence(1);
        QCOMPARE(gpio.events(), want);
        QCOMPARE(board->boardState(), 2);
        QCOMPARE(board->powerLevel(), 1);
        const QByteArray log = out.text();
        QVERIFY(log.indexOf("Board down detect") < log.indexOf("copy running 0"));
        QVERIFY(log.indexOf("copy running 0") < log.indexOf("will power on"));
        QVERIFY(!log.contains("test running"));
        QVERIFY(!log.contains("connect Count"));

        // Switched on: further low passes change nothing.
        gpio.clearEvents();
        board->pollOnce();
        QCOMPARE(gpio.events(), QStringList{});
    }

    void boardDownWithNothingRunningRepeatsEveryPass() {
        Windows w;
        FakeGpio gpio;
        auto board = initialised(gpio, 1);
        gpio.setLevel(kPd5, 0);
        StdoutCapture out;
        for (int pass = 0; pass < 3; ++pass)
            board->pollOnce();
        QCOMPARE(out.text().count("Board down detect\n\r"), 3);
        QCOMPARE(out.text().count("will power on"), 0);
        QCOMPARE(gpio.events({"set", "cmd"}), QStringList{});
        QCOMPARE(board->boardState(), 1);
    }

    void idleTesterSwitchesOnWhateverTheCopierShows() {
        Windows w;
        Windows::set(w.tester, 1, 0, 0);
        Windows::set(w.copier, 1, 3, 4);
        gTesterActivity = &w.tester;
        gCopierActivity = &w.copier;
        FakeGpio gpio;
        auto board = initialised(gpio, 1);
        gpio.setLevel(kPd5, 0);
        StdoutCapture out;
        board->pollOnce();
        QCOMPARE(board->boardState(), 2);
        QCOMPARE(gpio.events({"cmd"}), QStringList{"cmd 10"});
        QCOMPARE(out.text().count("test running\n\r"), 1);
        QCOMPARE(out.text().count("copy running 1\n\r"), 1);
        QCOMPARE(out.text().count("connect Count 4 work count 3\n\r"), 1);
    }

    void downNotConfirmed_data() {
        QTest::addColumn<qint64>("highAgainAt"); // after the first low read
        QTest::addColumn<bool>("downLogged");
        QTest::addColumn<bool>("upAgainLogged");
        QTest::newRow("high again within the first second") << qint64(400) << false << false;
        QTest::newRow("high again in the second second") << qint64(1500) << true << true;
    }
    void downNotConfirmed() {
        QFETCH(qint64, highAgainAt);
        QFETCH(bool, downLogged);
        QFETCH(bool, upAgainLogged);
        Windows w;
        Windows::set(w.copier, 1, 0, 0);
        gCopierActivity = &w.copier;
        FakeGpio gpio;
        auto board = initialised(gpio, 1);
        const qint64 t0 = gpio.now();
        gpio.setScript(kPd5, steps({{0, 0}, {t0 + highAgainAt, 1}}));
        StdoutCapture out;
        board->pollOnce();
        QCOMPARE(out.text().count("Board down detect"), downLogged ? 1 : 0);
        QCOMPARE(out.text().count("board up again\n\r"), upAgainLogged ? 1 : 0);
        QCOMPARE(gpio.events({"set", "cmd"}), QStringList{});
        QCOMPARE(board->boardState(), 1);
    }

    void boardUpConfirmedSwitchesOff() {
        FakeGpio gpio;
        auto board = initialised(gpio, 0);
        gpio.setLevel(kPd5, 1);
        StdoutCapture out;
        board->pollOnce();
        QStringList want = {"wait 500", "cmd 9"};
        want << powerSequence(0);
        QCOMPARE(gpio.events(), want);
        QCOMPARE(board->boardState(), 1);
        QCOMPARE(out.text().count("Board up detect\n\r"), 1);
        gpio.clearEvents();
        board->pollOnce(); // already off
        QCOMPARE(gpio.events(), QStringList{});
    }

    void shortHighPulseIsIgnored() {
        FakeGpio gpio;
        auto board = initialised(gpio, 0);
        const qint64 t0 = gpio.now();
        gpio.setScript(kPd5, steps({{0, 0}, {t0, 1}, {t0 + 300, 0}}));
        board->pollOnce();
        QCOMPARE(gpio.events(), QStringList{"wait 500"});
        QCOMPARE(board->boardState(), 2);
    }

    void pollingThreadRunsUntilStopped() {
        Windows w;
        Windows::set(w.copier, 1, 0, 0);
        gCopierActivity = &w.copier;
        FakeGpio gpio;
        h2::PauseFn recorded = gpio.pause();
        BoardControl board(gpio, gpio.commands(), [recorded](unsigned ms) {
            recorded(ms);
            QThread::usleep(200);
        });
        gpio.setLevel(kPd5, 1);
        board.init();
        // Down for good a second after start: confirmed, switched on, then steady.
        gpio.setScript(kPd5, steps({{0, 1}, {gpio.now() + 1000, 0}}));
        QCOMPARE(board.start(), 0);
        QTRY_COMPARE(board.boardState(), 2);
        board.stop();
        QVERIFY(!board.running());
        QCOMPARE(gpio.events({"cmd"}), QStringList{"cmd 10"});
        QVERIFY(gpio.events().contains("wait 500"));
    }
};

QTEST_GUILESS_MAIN(TestBoardControl)
#include "tst_boardcontrol.moc"
