// The cabinet hardware: the GPIO layer against a register file in a scratch root (physical
// address = file offset) and PL through sysfs under it, the machine profile from the pin
// straps, the port lamps and the board power over a recording pin double.
// Lamp lines are lit at 0; latches show the shared lamp lines as pass/fail pairs
// PA1/PA2 PA0/PA14 PA15/PA3 PA17/PA18.

#include "hardware/boardcontrol.h"
#include "hardware/led_control.h"
#include "hardware/pin_straps.h"
#include "hardware/window_activity.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QThread>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

namespace {
const QStringList kPairs = QString("PA1 PA2 PA0 PA14 PA15 PA3 PA17 PA18").split(' ');
const QStringList kStrobes = QString("PA19 PD16 PD7 PD3 PD17 PD10 PD6 PD2 PD4 PD12 PD8 PD0 PD15 "
                                     "PD9 PA20 PA13 PG11 PG12 PG13 PG6 PG7 PG9 PG10 PG8")
                                 .split(' ');

SettingRecord profile(const QString& text) { // "ports model variant mode", made current
    SettingRecord r{};
    sscanf(text.toLatin1().constData(), "%d %d %d %d", &r.port_count, &r.board_model,
           &r.machine_variant, &r.mode);
    commitSetting(r);
    return r;
}

// "p=s" or "p=s/x,y,z": port p's status s; x is the connect state (copier), the bad sectors
// (tester) or, with y and z, the three error counts (burn-in).
void setPort(StatusBlock& b, int mode, const QString& rec) {
    const int p = rec.section('=', 0, 0).toInt();
    const uint32_t status = rec.section('=', 1).section('/', 0, 0).toUInt();
    const QStringList x = rec.section('/', 1).split(',');
    auto put = [&](size_t at, auto v) { memcpy(b.bytes + at, &v, sizeof v); };
    const size_t record = 32 + 136 * size_t(p - 1); // tester and burn-in; copier after the master
    if (QList<int>{3, 4, 5, 6, 12, 13}.contains(mode))
        put(56 * size_t(p) + 48, x[0].toUInt()), put(56 * size_t(p) + 52, status);
    else if (QList<int>{0, 1, 2, 8, 9, 10, 11}.contains(mode))
        put(record + 96, status), put(record + 32, x[0].toULongLong());
    else
        for (int i = 0; i < 4; ++i) // status, then the three error counts
            put(record + (i ? 92 + 4 * i : 4), i ? x.value(i - 1).toUInt() : status);
}

// The events as runs of one kind and level: "set 1: PD1 PD5" drives both high.
QString runs(const QStringList& events) {
    QStringList seen;
    QString last;
    for (const QString& e : events) {
        const QString kind = (e.section(' ', 0, 0) + " " + e.section(' ', 2)).trimmed();
        if (kind == last)
            seen.last() += " " + e.section(' ', 1, 1);
        else
            seen << kind + ": " + e.section(' ', 1, 1);
        last = kind;
    }
    return seen.join('|');
}

// Log messages, without their prefix "date time:[D]:file:line thread ".
QString messages(const StdoutCapture& out) {
    static const QRegularExpression line("\\S+ \\S+ \\d+ (.*)\\n\\r");
    return QString(out.text()).replace(line, "\\1,").section(',', 0, -2);
}

} // namespace

class TestHardware : public QObject {
    Q_OBJECT

    TempRoot mRoot;
    std::string mMem = h2::platform().prepareRegisterFile(32 << 20);
    int mFd = ::open(mMem.c_str(), O_RDWR);

    quint32 word(quint32 address) {
        quint32 value = 0xDEADBEEF;
        return pread(mFd, &value, 4, off_t(address)), value;
    }
    void fillBlock(quint32 value) { // PA's first register to PG's data register
        for (quint32 at = 0x01C20800; at <= 0x01C208E8; at += 4)
            QCOMPARE(pwrite(mFd, &value, 4, off_t(at)), 4);
    }

private slots:
    // "op pin fill address value": in/out configure the pin, a number is written as its level;
    // afterwards the register at address holds value, every other one of the block still fill.
    void registers() {
        for (QString row : {"in PG13 FFFFFFFF 01C208DC FF8FFFFF", "out PG13 0 01C208DC 100000",
                            "out PA0 5A5A5A5A 01C20800 5A5A5A59", "out PB7 0 01C20824 10000000",
                            "out PD17 0 01C20874 10", "in PD31 FFFFFFFF 01C20878 8FFFFFFF",
                            "in PE8 77777777 01C20894 77777770", "1 PD1 A5A5A5A5 01C2087C A5A5A5A7",
                            "0 PD31 A5A5A5A5 01C2087C 25A5A5A5", "7 PG13 0 01C208E8 2000",
                            "0 PA0 FFFFFFFF 01C20810 FFFFFFFE", "1 PB32 0 0 0", "out PB40 0 0 0"}) {
            const QStringList f = row.split(' ');
            const quint32 fill = f[2].toUInt(nullptr, 16), address = f[3].toUInt(nullptr, 16);
            fillBlock(fill);
            Hardware hw(mMem);
            if (f[0][0].isDigit())
                hw.setPin(FakeGpio::pin(f[1]), f[0].toUInt());
            else
                hw.configPin(FakeGpio::pin(f[1]), f[0] == "out" ? PIN_OUTPUT : PIN_INPUT);
            for (quint32 at = 0x01C20800; at <= 0x01C208E8; at += 4)
                QVERIFY2(word(at) == (at == address ? f[4].toUInt(nullptr, 16) : fill),
                         qPrintable(row));
        }
    }

    void unmappedAndPortPl() {
        StdoutCapture out;
        Hardware unmapped(mRoot.path("/missing/mem").toStdString());
        QVERIFY(out.text().contains("open error\r"));
        unmapped.GPIO_ConfigPin(PG, 13, PIN_OUTPUT);
        unmapped.GPIO_SetPin(PG, 13, 1);
        QCOMPARE(out.text().count("gpio_map == NULL"), 1);
        QCOMPARE(unmapped.GPIO_GetPin(PG, 13), 0u);

        Hardware* hw = Hardware::getInstance(); // maps ROOT/dev/mem
        fillBlock(0);
        hw->GPIO_SetPin(PG, 13, 1);
        QCOMPARE(word(0x01C208E8), 0x2000u);
        QCOMPARE(hw->GPIO_GetPin(PG, 13) * 100 + hw->GPIO_GetPin(PG, 12) * 10 +
                     hw->GPIO_GetPin(PG, 45),
                 100u);
        hw->GPIO_ConfigPinPL(11);
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/export")), "363\n");
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/gpio363/direction")), "out\n");
        hw->GPIO_ConfigPinPL(3);
        hw->GPIO_SetPinPL(3, 1);
        QVERIFY(out.text().contains("cmd=echo 1 >/sys/class/gpio/gpio355/value\n"));
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/gpio355/value")), "1\n");
    }

    // "pins read high|S|ports type model variant" over the fixed machine file "24 2 5 1";
    // PG13 high means straps fitted, S -1 none.
    void pinStraps() {
        mRoot.writeFile("/usr/share/.h2fixconfig", "24 2 5 1\n");
        for (QString row :
             {"PG13|0|8 0 0 3", "PG13 PA3|1|4 2 0 3", "PG13 PA14|2|4 2 1 3",
              "PG13 PA3 PA14|3|6 2 1 3", "PG13 PA2 PA17 PA18|4|48 0 5 1", "PG13 PG8|8|8 2 0 3",
              "PG13 PG10|16|8 2 0 3", "PG13 PA3 PA2 PG9|37|8 2 0 3", "PA3|-1|24 2 5 1"}) {
            readFixSetting();
            FakeGpio gpio;
            for (const QString& pin : row.section('|', 0, 0).split(' '))
                gpio.setLevel(FakeGpio::pin(pin), 1);
            const int strap = readPinStraps(gpio, gpio.pause());
            QCOMPARE(runs(gpio.events()),
                     "cfg in: PG13 PG10 PG8 PA2 PG9 PA18 PA17 PA14 PA3|cfg out: PG6 PG12 PG11 PG7 "
                     "PA1 PA0 PA13 PA15 PA20|set 1: PG12 PG11 PG6 PG7 PA1 PA0 PA13 PA15 PA20|wait: "
                     "100|get: PG13" +
                         QString(strap < 0 ? "" : " PA3 PA14 PA2 PG8 PG10 PG9"));
            mSetting.port_count = 99; // changed since the file was read
            settleProfileFromStraps(gpio, gpio.pause());
            const SettingRecord r = snapshotSetting();
            QCOMPARE(row.section('|', 0, 0) + QString::asprintf("|%d|%d %d %d %d", strap,
                                                                r.port_count, r.machine_type,
                                                                r.board_model, r.machine_variant),
                     row);
        }
    }

    // "mode record wiring lamps": D direct, P paired, G grouped wiring, with the port count.
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
            const Wiring wiring = Wiring(QString("DPG").indexOf(f[2][0]));
            StatusBlock b{};
            setPort(b, mode, f[1]);
            const LampPair lamps = portLamps(b, mode, port, wiring, f[2].mid(1).toInt());
            const QStringList names = {"off", "on", "blink", "keep"};
            QCOMPARE(f.mid(0, 3).join(' ') + " " + names[int(lamps.pass)] + "/" +
                         names[int(lamps.fail)],
                     row);
        }
        for (QString row :
             {"3 0 8 D", "4 1 4 D", "5 2 6 D", "12 0 8 D", "17 0 32 P", "10 0 8 D", "10 1 8 G",
              "0 3 48 P", "3 0 9 P", "0 0 48 G", "1 1 51 G", "11 2 4 G"}) {
            const QStringList f = row.split(' '); // "model variant ports wiring"
            const Wiring w = lampWiring(f[0].toInt(), f[1].toInt(), f[2].toInt());
            QCOMPARE(f.mid(0, 3).join(' ') + " " + QString("DPG")[int(w)], row);
        }
    }

    // "profile|records, passes separated by ';'|watched pins or latches|what they saw".
    void lampPasses() {
        for (QString row :
             {"8 0 3 0|2=2;|set PD9,set PD0|set PD9 1,set PD0 1,set PD9 0,set PD0 1",
              "8 3 0 0|1=3|set PD1,set PD5|set PD1 0,set PD5 1", // direct outside variant 3
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

    // The lamp test at construction, as runs of events.
    void lampTest_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("runs");
        const QString grouped =
            QString(
                "cfg out: PA0 PA1 PA2 PA3 PA14 PA15 PA17 PA18 $S|wait: 1000|set 0: %1|set 1: %2 "
                "$S|wait: 1000|set 0: $S|wait: 1000|set 1: %1|set 0: %2|set 1: $S|wait: 1000|"
                "set 0: $S|wait: 1000|set 1: PA0 PA1 PA2 PA3 PA14 PA15 PA17 PA18 $S|set 0: $S")
                .arg("PA1 PA0 PA15 PA17", "PA2 PA14 PA3 PA18"); // pass lines, fail lines
        const QString both =
            "PD1 PD5 PD9 PD0 PD15 PD8 PD2 PD12 PD6 PD4 PD10 PD3 PD17 PD7 PD16 PA19";
        QTest::newRow("direct, 8 ports or fewer")
            << "4 0 3 0"
            << QString("cfg out: %3|plcfg: 11|wait: 1000|plset 0: 11|set 1: %3|wait: 1000|plset 1: "
                       "11|set 0: %1|wait: 1000|plset 1: 11|set 1: %1|wait: 1000|set 0: %2|wait: "
                       "1000|set 1: %2")
                   .arg("PD1 PD9 PD15 PD2 PD6 PD10 PD17 PD16", "PD5 PD0 PD8 PD12 PD4 PD3 PD7 PA19",
                        both);
        QTest::newRow("grouped: every group latches pass lamps, fail lamps, then none")
            << "48 0 0 0" << grouped;
        QTest::newRow("direct outside variant 3: grouped, then its own lamps made outputs")
            << "8 3 0 0" << grouped + "|cfg out: " + both;
    }
    void lampTest() {
        QFETCH(QString, profile);
        QFETCH(QString, runs);
        FakeGpio gpio;
        ::profile(profile);
        LedControl led(gpio, gpio.pause());
        QCOMPARE(::runs(gpio.events()), runs.replace("$S", kStrobes.join(' ')));
    }

    void boardPowerSequence() {
        FakeGpio gpio;
        gpio.setLevel({PD, 5}, 1);
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        StdoutCapture out;
        QCOMPARE(board.init(), 0);
        QCOMPARE(board.boardState(), 1);
        for (int level : {1, 2, 0}) {
            board.powerBoard(level);
            QCOMPARE(board.powerLevel(), level ? 1 : 0); // 2 drives on but is not stored
        }
        const QString power = "set PD13 %1,wait 500,set PD1 %1,wait 700,set PD6 %1,wait 700,set "
                              "PD16 %1,wait 500,set PD17 %1,wait 700";
        QCOMPARE(gpio.events({"cfg", "set", "wait"}).join(','),
                 "cfg PD13 out,cfg PD1 out,cfg PD6 out,cfg PD16 out,cfg PD17 out,cfg PD5 in," +
                     power.arg(0) + "," + power.arg(1) + "," + power.arg(2) + "," + power.arg(0));
        QCOMPARE(messages(out), "set PD 1 0,current Board status 1,set PD 1 1,set PD 1 2,unknown "
                                "parameter 2,set PD 1 0");
    }

    // "PD5|tester/copier|events|state|log" for one pass after init: PD5 at init, at the pass's
    // start and maybe "level@ms" later; each window "running,workingLast,connected" or "-"
    // when it does not exist. The power sequence is left out: its log line tells the level.
    void boardPoll_data() {
        QTest::addColumn<QString>("row");
        const QString down = "|wait 1000,wait 1000|1|Board down detect";
        const QString on = "|wait 1000,wait 1000,cmd 10|2|Board down detect,";
        QTest::newRow("copier idle")
            << "1 0|-/1,0,0" + on + "copy running 0,will power on,set PD 1 1";
        QTest::newRow("no windows yet") << "1 0|-/-" + down;
        QTest::newRow("copier with a connected target")
            << "1 0|0,0,0/1,0,1" + down + ",copy running 0,connect Count 1 work count 0";
        QTest::newRow("copier working")
            << "1 0|-/1,2,0" + down + ",copy running 0,connect Count 0 work count 2";
        QTest::newRow("tester idle, copier working")
            << "1 0|1,0,0/1,3,4" + on +
                   "test running,copy running 1,connect Count 4 work count 3,will power on,set PD "
                   "1 1";
        QTest::newRow("tester working") << "1 0|1,1,0/-" + down + ",test running";
        QTest::newRow("tester with a device connected")
            << "1 0|1,0,1/0,0,0" + down + ",test running";
        QTest::newRow("tester working, copier idle")
            << "1 0|1,5,5/1,0,0" + on + "test running,copy running 0,will power on,set PD 1 1";
        QTest::newRow("high again within the first second") << "1 0 1@400|-/1,0,0|wait 1000|1|";
        QTest::newRow("high again in the second second")
            << "1 0 1@1500|-/1,0,0|wait 1000,wait 1000|1|Board down detect,board up again";
        QTest::newRow("board up confirmed")
            << "0 1|-/-|wait 500,cmd 9|1|Board up detect,set PD 1 0";
        QTest::newRow("high for 300 ms only") << "0 1 0@300|-/-|wait 500|2|";
        QTest::newRow("already off") << "1 1|-/1,0,0||1|";
        QTest::newRow("already on") << "0 0|1,0,0/-||2|";
    }
    void boardPoll() {
        QFETCH(QString, row);
        const QStringList f = row.split('|'), pd5 = f[0].split(' ');
        WindowActivity windows[2];
        for (int i = 0; i < 2; ++i) {
            const QStringList w = f[1].section('/', i, i).split(',');
            windows[i].mRunning = w.value(0).toInt();
            windows[i].mWorkingLast = w.value(1).toInt();
            windows[i].mConnected = w.value(2).toInt();
            (i ? gCopierActivity : gTesterActivity) = w.size() == 3 ? &windows[i] : nullptr;
        }
        FakeGpio gpio;
        gpio.setLevel({PD, 5}, pd5[0].toUInt());
        BoardControl board(gpio, gpio.commands(), gpio.pause());
        board.init();
        gpio.clearEvents();
        const unsigned first = pd5[1].toUInt(), later = pd5.value(2).section('@', 0, 0).toUInt();
        const qint64 at = pd5.size() > 2 ? pd5[2].section('@', 1).toLongLong() : 1 << 30;
        gpio.setScript({PD, 5}, [=](qint64 now) { return now < at ? first : later; });
        StdoutCapture out;
        board.pollOnce();
        gTesterActivity = gCopierActivity = nullptr;
        const QString events = gpio.events({"wait", "cmd", "set"}).join(',').section(",set", 0, 0);
        QCOMPARE(
            QStringList({f[0], f[1], events, QString::number(board.boardState()), messages(out)})
                .join('|'),
            row);
    }

    // Both threads on the process's settings and status block, until stopped.
    void threads() {
        FakeGpio lamps, power;
        auto slowly = [](FakeGpio& gpio) { // and let real time pass
            return [pause = gpio.pause()](unsigned ms) { pause(ms), QThread::usleep(200); };
        };
        profile("8 0 3 0");
        LedControl led(lamps, slowly(lamps));
        BoardControl board(power, power.commands(), slowly(power));
        board.init(); // PD5 low: boards on, nothing to do but poll
        StatusBlock b{};
        setPort(b, 0, "1=3");
        Info.write(0, b.bytes, sizeof(b.bytes));
        lamps.clearEvents();
        power.clearEvents();
        StdoutCapture out;
        QVERIFY(led.start() == 0 && board.start() == 0);
        QTRY_VERIFY(lamps.events().mid(0, 3) ==
                        QStringList({"set PD1 0", "set PD5 1", "set PD9 1"}) &&
                    lamps.events().contains("wait 200") &&
                    power.events().mid(0, 2) == QStringList({"get PD5", "wait 500"}));
        led.stop();
        board.stop();
        QCOMPARE(messages(out), "led starting...,led mstop...");
        Info.clear();
    }
};

QTEST_GUILESS_MAIN(TestHardware)
#include "tst_hardware.moc"
