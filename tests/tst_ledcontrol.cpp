// Port lamps: the lamp tables over real status records, the wirings with their latches, the
// lamp tests, and the pass loop on the process's settings and status block. Lamp lines are
// lit at 0; latches show the shared lines as pass/fail pairs PA1/PA2 PA0/PA14 PA15/PA3 PA17/PA18.

#include "hardware/led_control.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"

#include <QThread>
#include <QtTest>

namespace {
const QStringList kPairs = QString("PA1 PA2 PA0 PA14 PA15 PA3 PA17 PA18").split(' ');
const QStringList kStrobes = QString("PA19 PD16 PD7 PD3 PD17 PD10 PD6 PD2 PD4 PD12 PD8 PD0 PD15 "
                                     "PD9 PA20 PA13 PG11 PG12 PG13 PG6 PG7 PG9 PG10 PG8")
                                 .split(' ');

// "p=s" or "p=s/x,y,z": port p's status s; x is the connect state (copier), the bad sectors
// (tester) or, with y and z, the three error counts (burn-in).
void setPort(StatusBlock& b, int mode, const QString& rec) {
    const int p = rec.section('=', 0, 0).toInt();
    const uint32_t status = rec.section('=', 1).section('/', 0, 0).toUInt();
    const QStringList x = rec.section('/', 1).split(',');
    auto put = [&](size_t at, auto v) { memcpy(b.bytes + at, &v, sizeof v); };
    if (QList<int>{3, 4, 5, 6, 12, 13}.contains(mode)) {
        put(copierPortOffset(p - 1) + 48, x[0].toUInt());
        put(copierPortOffset(p - 1) + 52, status);
    } else if (QList<int>{0, 1, 2, 8, 9, 10, 11}.contains(mode)) {
        put(testerPortOffset(p) + 96, status);
        put(testerPortOffset(p) + 32, x[0].toULongLong());
    } else {
        put(burninPortOffset(p - 1) + 4, status);
        for (int i = 0; i < 3; ++i)
            put(burninPortOffset(p - 1) + 96 + 4 * i, x.value(i).toUInt());
    }
}

SettingRecord profile(const QString& text) { // "ports model variant mode"
    const QStringList f = text.split(' ');
    SettingRecord r{};
    r.port_count = f[0].toInt();
    r.board_model = f[1].toInt();
    r.machine_variant = f[2].toInt();
    r.mode = f[3].toInt();
    return r;
}

QString lamps(LampPair p) {
    const char* names[] = {"off", "on", "blink", "keep"};
    return QString(names[int(p.pass)]) + "/" + names[int(p.fail)];
}
} // namespace

class TestLedControl : public QObject {
    Q_OBJECT

private slots:
    // "mode record wiring lamps": D direct, P paired, G grouped, with the port count.
    void lampTables() {
        for (QString row :
             {// copier
              "5 7=0 D8 off/off", "3 7=19 D8 off/off", "4 7=1 D8 on/off", "6 7=6 D8 on/off",
              "12 7=2 D8 blink/off", "13 7=5 D8 blink/off", "5 7=7 D8 off/on", "5 7=10 D8 off/on",
              "5 7=11 D8 keep/keep", "5 7=18 D8 keep/keep", "5 7=20 D8 keep/keep",
              "5 9=6/1 G48 on/off", "5 9=6/0 G48 off/off", "5 9=6/2 G48 keep/keep",
              "5 9=6/0 G51 on/off", "5 9=6/3 G51 keep/keep", "5 9=6/0 P48 on/off",
              // tester; H2 write (8) fills the tester records too
              "0 7=1 D8 blink/off", "0 7=2 D8 blink/off", "0 7=2/1 D8 off/blink",
              "2 7=2/4294967296 D8 off/blink", "9 7=3 D8 on/off", "10 7=3/5 D8 on/off",
              "11 7=4 D8 off/on", "1 7=6 D8 off/on", "0 7=9 D8 off/blink", "0 7=10 D8 off/on",
              "0 7=14 D8 off/on", "0 7=7 D8 off/off", "0 7=8 D8 off/off", "0 7=15 D8 off/off",
              "8 7=3 D8 on/off",
              // burn-in
              "7 7=13 D8 off/on", "14 7=15 D8 off/on", "7 7=14 D8 on/off", "7 7=18 D8 on/off",
              "7 7=11 D8 blink/off", "7 7=12/0,0,1 D8 off/blink",
              "7 7=11/4294967295,1 D8 off/blink", "7 7=10/1 D8 off/off", "7 7=0/5,5,5 D8 off/off",
              "7 7=19 D8 off/off"}) {
            const QStringList f = row.split(' ');
            const int mode = f[0].toInt(), port = f[1].section('=', 0, 0).toInt();
            const Wiring wiring = f[2][0] == 'D'   ? Wiring::Direct
                                  : f[2][0] == 'P' ? Wiring::Paired
                                                   : Wiring::Grouped;
            const int ports = f[2].mid(1).toInt();
            StatusBlock b{};
            setPort(b, mode, f[1]);
            const QString got = lamps(portLamps(b, mode, port, wiring, ports));
            QCOMPARE(f.mid(0, 3).join(' ') + " " + got, row);
        }
    }

    // "model variant ports wiring".
    void wiringChoice() {
        for (QString row :
             {"3 0 8 D", "4 1 4 D", "5 2 6 D", "12 0 8 D", "17 0 32 P", "10 0 8 D", "10 1 8 G",
              "0 3 48 P", "3 0 9 P", "0 0 48 G", "1 1 51 G", "11 2 4 G"}) {
            const QStringList f = row.split(' ');
            const Wiring w = lampWiring(f[0].toInt(), f[1].toInt(), f[2].toInt());
            QCOMPARE(f.mid(0, 3).join(' ') + " " + QString("DPG")[int(w)], row);
        }
    }

    // "profile | records, passes separated by ';' | watched pins or latches | what they saw".
    void passes() {
        for (QString row :
             {"8 0 3 5|3=6;|set PD15,set PD8|set PD15 0,set PD8 1,set PD15 0,set PD8 1",
              "8 0 3 0|2=2;|set PD9,set PD0|set PD9 1,set PD0 1,set PD9 0,set PD0 1",
              "8 0 3 0|2=2/1;|set PD9,set PD0|set PD9 1,set PD0 1,set PD9 1,set PD0 0",
              // 48-port direct wiring: two ports per strobe
              "48 3 0 5|4=1 5=6 6=7 48=8|latch PD16,latch PD7,latch PG8|latch PD16 11 11 01 11,"
              "latch PD7 01 11 10 11,latch PG8 11 11 10 11",
              // 51-port grouped wiring: ports 49 to 51 latched by PD15 after port 51
              "51 1 1 5|45=1/1 48=9/1 49=6/1 50=7/1 51=3/0;|latch PD0,latch PD15|latch PD0 "
              "01 11 11 10,latch PD15 01 10 11 10,latch PD0 01 11 11 10,latch PD15 01 10 01 10",
              // a port that keeps its lamps drives its own last levels again
              "8 0 0 5|1=7/1 5=6/1;5=11/1;|latch PD16|latch PD16 01 11 11 11,latch PD16 01 11 "
              "11 11,latch PD16 01 11 11 11",
              "10 0 0 0|9=3 10=3|latch PD7|latch PD7 01 01 11 11"}) { // partial last group
            const QStringList f = row.split('|');
            FakeGpio gpio;
            const SettingRecord s = profile(f[0]);
            commitSetting(s);
            LedControl led(gpio, gpio.pause());
            gpio.clearEvents();
            gpio.watchLatch(kStrobes, kPairs);
            StatusBlock b{};
            for (const QString& pass : f[1].split(';')) {
                for (const QString& rec : pass.split(' ', Qt::SkipEmptyParts))
                    setPort(b, s.mode, rec);
                led.checkdiskin(s, b);
            }
            QStringList seen;
            for (const QString& e : gpio.events())
                if (f[2].split(',').contains(e.section(' ', 0, 1)))
                    seen << e;
            QCOMPARE(QStringList(f.mid(0, 3) << seen.join(',')).join('|'), row);
        }
    }

    // "ports model variant writes logged": lamp and strobe writes of one pass; ports beyond
    // the wiring are skipped with one log line.
    void servedPorts() {
        for (QString row : {"100 0 0 240 1", "96 0 0 240 0", "60 3 0 144 1", "51 1 1 128 0",
                            "10 0 0 26 0", "8 0 3 16 0", "12 0 3 36 0"}) {
            FakeGpio gpio;
            const SettingRecord s = profile(row.section(' ', 0, 2) + " 0");
            commitSetting(s);
            LedControl led(gpio, gpio.pause());
            gpio.clearEvents();
            StatusBlock b{};
            StdoutCapture out;
            led.checkdiskin(s, b);
            const int writes = gpio.events().size();
            led.checkdiskin(s, b);
            QCOMPARE(QString("%1 %2 %3")
                         .arg(row.section(' ', 0, 2))
                         .arg(writes)
                         .arg(out.text().count("have no lamp lines")),
                     row);
        }
    }

    // The lamp test at construction, as runs of events: "set 1: PD1 PD5" drives both high.
    void lampTest_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("runs");
        const QString pass = "PD1 PD9 PD15 PD2 PD6 PD10 PD17 PD16",
                      fail = "PD5 PD0 PD8 PD12 PD4 PD3 PD7 PA19",
                      both =
                          "PD1 PD5 PD9 PD0 PD15 PD8 PD2 PD12 PD6 PD4 PD10 PD3 PD17 PD7 PD16 PA19";
        QTest::newRow("direct, 8 ports or fewer")
            << "4 0 3 0"
            << "cfg out: " + both + "|plcfg: 11|wait: 1000|plset 0: 11|set 1: " + both +
                   "|wait: 1000|plset 1: 11|set 0: " + pass +
                   "|wait: 1000|plset 1: 11|set 1: " + pass + "|wait: 1000|set 0: " + fail +
                   "|wait: 1000|set 1: " + fail;
        const QString lines = "PA1 PA0 PA15 PA17", others = "PA2 PA14 PA3 PA18";
        QTest::newRow("grouped: every group latches pass lamps, fail lamps, then none")
            << "48 0 0 0"
            << "cfg out: PA0 PA1 PA2 PA3 PA14 PA15 PA17 PA18 " + kStrobes.join(' ') +
                   "|wait: 1000|set 0: " + lines + "|set 1: " + others +
                   " $S|wait: 1000|set 0: $S|"
                   "wait: 1000|set 1: " +
                   lines + "|set 0: " + others +
                   "|set 1: $S|wait: 1000|set "
                   "0: $S|wait: 1000|set 1: PA0 PA1 PA2 PA3 PA14 PA15 PA17 PA18 $S|set 0: $S";
    }
    void lampTest() {
        QFETCH(QString, profile);
        QFETCH(QString, runs);
        FakeGpio gpio;
        commitSetting(::profile(profile));
        LedControl led(gpio, gpio.pause());
        QStringList seen;
        QString last;
        for (const QString& e : gpio.events()) {
            const QString kind =
                e.section(' ', 0, 0) + (e.count(' ') == 2 ? " " + e.section(' ', 2) : "");
            const QString what = e.section(' ', 1, 1);
            if (kind == last)
                seen.last() += " " + what;
            else
                seen << kind + ": " + what;
            last = kind;
        }
        QCOMPARE(seen.join('|'), runs.replace("$S", kStrobes.join(' ')));
    }

    void threadFollowsTheStatusBlock() {
        FakeGpio gpio;
        commitSetting(profile("8 0 3 0"));
        const h2::PauseFn recorded = gpio.pause();
        LedControl led(gpio, [recorded](unsigned ms) {
            recorded(ms);
            QThread::msleep(1);
        });
        StatusBlock b{};
        setPort(b, 0, "1=3");
        Info.write(0, b.bytes, sizeof(b.bytes));
        StdoutCapture out;
        QCOMPARE(led.start(), 0);
        QTRY_COMPARE(gpio.level({PD, 1}), 0u);
        QCOMPARE(gpio.level({PD, 5}), 1u);
        led.stop();
        QVERIFY(!led.running());
        QCOMPARE(out.text().count("led starting...\n\r"), 1);
        QCOMPARE(out.text().count("led mstop...\n\r"), 1);
        QVERIFY(gpio.events().contains("wait 200"));
        Info.clear();
    }
};

QTEST_GUILESS_MAIN(TestLedControl)
#include "tst_ledcontrol.moc"
