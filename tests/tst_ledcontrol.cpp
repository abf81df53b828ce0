// Port lamps: the lamp tables over real status records, the three wirings with their
// latches, the lamp tests, and the pass loop on the process's settings and status block.

#include "hardware/led_control.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"

#include <QThread>
#include <QtTest>

Q_DECLARE_METATYPE(Wiring)

namespace {
template <typename T> void put(StatusBlock& b, size_t offset, T value) {
    memcpy(b.bytes + offset, &value, sizeof(T));
}
StatusBlock emptyBlock() {
    StatusBlock b;
    memset(b.bytes, 0, sizeof(b.bytes));
    return b;
}
void setCopier(StatusBlock& b, int port, uint32_t connectState, uint32_t portStatus) {
    const size_t at = copierPortOffset(port - 1);
    put(b, at + offsetof(CopierPortRecord, connectState), connectState);
    put(b, at + offsetof(CopierPortRecord, portStatus), portStatus);
}
void setTester(StatusBlock& b, int port, uint32_t state, uint64_t badSectors = 0) {
    const size_t at = testerPortOffset(port);
    put(b, at + offsetof(TesterPortRecord, state), state);
    put(b, at + offsetof(TesterPortRecord, badSectors), badSectors);
}
void setBurnin(StatusBlock& b, int port, uint32_t status, uint32_t e1, uint32_t e2, uint32_t e3) {
    const size_t at = burninPortOffset(port - 1);
    put(b, at + offsetof(BurninPortRecord, bnStatus), status);
    put(b, at + offsetof(BurninPortRecord, errorCount1), e1);
    put(b, at + offsetof(BurninPortRecord, errorCount2), e2);
    put(b, at + offsetof(BurninPortRecord, errorCount3), e3);
}
SettingRecord profile(int ports, int model, int variant, int mode) {
    SettingRecord r{};
    r.port_count = ports;
    r.board_model = model;
    r.machine_variant = variant;
    r.mode = mode;
    return r;
}
QString text(Lamp lamp) {
    switch (lamp) {
    case Lamp::Off:
        return "off";
    case Lamp::On:
        return "on";
    case Lamp::Blink:
        return "blink";
    case Lamp::Keep:
        break;
    }
    return "keep";
}
QString text(LampPair p) {
    return text(p.pass) + "/" + text(p.fail);
}
QMap<QString, unsigned> lines(std::initializer_list<std::pair<const char*, unsigned>> levels) {
    QMap<QString, unsigned> m;
    for (const auto& l : levels)
        m[l.first] = l.second;
    return m;
}
using Captures = QList<QMap<QString, unsigned>>;
const QList<GpioPin> kAllSharedLines = {{PA, 0},  {PA, 1},  {PA, 2},  {PA, 3},
                                        {PA, 14}, {PA, 15}, {PA, 17}, {PA, 18}};
constexpr int kCopierMode = 5;
constexpr int kTestMode = 0;
constexpr int kBurninMode = 7;
} // namespace

class TestLedControl : public QObject {
    Q_OBJECT

private:
    // A controller whose lamp test has run; only the passes are recorded afterwards.
    std::unique_ptr<LedControl> make(FakeGpio& gpio, const SettingRecord& setting) {
        commitSetting(setting);
        auto led = std::make_unique<LedControl>(gpio, gpio.pause());
        gpio.clearEvents();
        return led;
    }

private slots:
    void lampsFollowTheRecords_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<quint64>>("fields"); // status, then bad sectors or error counts
        QTest::addColumn<QString>("lamps");
        struct Row {
            const char* name;
            int mode;
            QVector<quint64> fields;
            const char* lamps;
        };
        const Row rows[] = {
            {"copier 0 idle", kCopierMode, {0}, "off/off"},
            {"copier 19 removed", 3, {19}, "off/off"},
            {"copier 1 passed", 4, {1}, "on/off"},
            {"copier 6 passed", 6, {6}, "on/off"},
            {"copier 2 working", 12, {2}, "blink/off"},
            {"copier 5 working", 13, {5}, "blink/off"},
            {"copier 7 failed", kCopierMode, {7}, "off/on"},
            {"copier 10 failed", kCopierMode, {10}, "off/on"},
            {"copier 11 keeps", kCopierMode, {11}, "keep/keep"},
            {"copier 18 keeps", kCopierMode, {18}, "keep/keep"},
            {"copier 20 keeps", kCopierMode, {20}, "keep/keep"},
            {"copier huge keeps", kCopierMode, {0xFFFFFFFF}, "keep/keep"},
            {"test 1 writing", kTestMode, {1, 0}, "blink/off"},
            {"test 2 verifying", kTestMode, {2, 0}, "blink/off"},
            {"test 2 with bad sectors", kTestMode, {2, 1}, "off/blink"},
            {"test 2 with bad sectors in the high word", 2, {2, quint64(1) << 32}, "off/blink"},
            {"test 3 passed", 9, {3, 0}, "on/off"},
            {"test 3 passed with bad sectors", 10, {3, 5}, "on/off"},
            {"test 4 write error", 11, {4, 0}, "off/on"},
            {"test 6 USB2", 1, {6, 0}, "off/on"},
            {"test 9 initialising", kTestMode, {9, 0}, "off/blink"},
            {"test 10 error", kTestMode, {10, 0}, "off/on"},
            {"test 14 slow write", kTestMode, {14, 0}, "off/on"},
            {"test 7 unknown", kTestMode, {7, 0}, "off/off"},
            {"test 8 unknown", kTestMode, {8, 0}, "off/off"},
            {"test 15 unknown", kTestMode, {15, 0}, "off/off"},
            {"H2 write reads the tester records", 8, {3, 0}, "on/off"},
            {"burn-in 13 failed", kBurninMode, {13, 0, 0, 0}, "off/on"},
            {"burn-in 15 failed", 14, {15, 0, 0, 0}, "off/on"},
            {"burn-in 14 passed", kBurninMode, {14, 0, 0, 0}, "on/off"},
            {"burn-in 18 passed", kBurninMode, {18, 0, 0, 0}, "on/off"},
            {"burn-in 11 running clean", kBurninMode, {11, 0, 0, 0}, "blink/off"},
            {"burn-in 12 with an error", kBurninMode, {12, 0, 0, 1}, "off/blink"},
            {"burn-in 11 errors summed wide", kBurninMode, {11, 0xFFFFFFFF, 1, 0}, "off/blink"},
            {"burn-in 0", kBurninMode, {0, 5, 5, 5}, "off/off"},
            {"burn-in 19 unknown", kBurninMode, {19, 0, 0, 0}, "off/off"},
        };
        for (const Row& r : rows)
            QTest::newRow(r.name) << r.mode << r.fields << QString(r.lamps);
    }
    void lampsFollowTheRecords() {
        QFETCH(int, mode);
        QFETCH(QVector<quint64>, fields);
        QFETCH(QString, lamps);
        const int port = 7;
        StatusBlock b = emptyBlock();
        switch (lampTableFor(mode)) {
        case LampTable::Copier:
            setCopier(b, port, 0, uint32_t(fields[0]));
            break;
        case LampTable::Tester:
            setTester(b, port, uint32_t(fields[0]), fields[1]);
            break;
        case LampTable::Burnin:
            setBurnin(b, port, uint32_t(fields[0]), uint32_t(fields[1]), uint32_t(fields[2]),
                      uint32_t(fields[3]));
            break;
        }
        // Direct wiring: the copier table does not look at the connect state.
        QCOMPARE(text(portLamps(b, mode, port, Wiring::Direct, 8)), lamps);
        // The neighbouring records are idle and read so.
        QCOMPARE(text(portLamps(b, mode, port - 1, Wiring::Direct, 8)), QString("off/off"));
        QCOMPARE(text(portLamps(b, mode, port + 1, Wiring::Direct, 8)), QString("off/off"));
    }

    void groupedCopierNeedsAConnection_data() {
        QTest::addColumn<int>("ports");
        QTest::addColumn<uint>("connectState");
        QTest::addColumn<QString>("lamps");
        QTest::newRow("connected") << 48 << 1u << "on/off";
        QTest::newRow("not connected") << 48 << 0u << "off/off";
        QTest::newRow("other connect state keeps") << 48 << 2u << "keep/keep";
        QTest::newRow("51 ports, not connected") << 51 << 0u << "on/off";
        QTest::newRow("51 ports, connected") << 51 << 1u << "on/off";
        QTest::newRow("51 ports, other state keeps") << 51 << 3u << "keep/keep";
    }
    void groupedCopierNeedsAConnection() {
        QFETCH(int, ports);
        QFETCH(uint, connectState);
        QFETCH(QString, lamps);
        StatusBlock b = emptyBlock();
        setCopier(b, 9, connectState, 6);
        QCOMPARE(text(portLamps(b, kCopierMode, 9, Wiring::Grouped, ports)), lamps);
        QCOMPARE(text(portLamps(b, kCopierMode, 9, Wiring::Paired, ports)), QString("on/off"));
    }

    void wiringChoice_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("ports");
        QTest::addColumn<Wiring>("wiring");
        QTest::newRow("model 3, 8 ports") << 3 << 0 << 8 << Wiring::Direct;
        QTest::newRow("model 4") << 4 << 1 << 4 << Wiring::Direct;
        QTest::newRow("model 5") << 5 << 2 << 6 << Wiring::Direct;
        QTest::newRow("model 12") << 12 << 0 << 8 << Wiring::Direct;
        QTest::newRow("model 17, 32 ports") << 17 << 0 << 32 << Wiring::Paired;
        QTest::newRow("model 10 variant 0") << 10 << 0 << 8 << Wiring::Direct;
        QTest::newRow("model 10 variant 1") << 10 << 1 << 8 << Wiring::Grouped;
        QTest::newRow("variant 3 on any model") << 0 << 3 << 48 << Wiring::Paired;
        QTest::newRow("model 3, 48 ports") << 3 << 0 << 48 << Wiring::Paired;
        QTest::newRow("model 0, 48 ports") << 0 << 0 << 48 << Wiring::Grouped;
        QTest::newRow("model 1, 51 ports") << 1 << 1 << 51 << Wiring::Grouped;
        QTest::newRow("model 11, 4 ports") << 11 << 2 << 4 << Wiring::Grouped;
    }
    void wiringChoice() {
        QFETCH(int, model);
        QFETCH(int, variant);
        QFETCH(int, ports);
        QFETCH(Wiring, wiring);
        QCOMPARE(lampWiring(model, variant, ports), wiring);
    }

    void directCopierLampIsSteady() {
        FakeGpio gpio;
        const SettingRecord s = profile(8, 0, 3, kCopierMode);
        auto led = make(gpio, s);
        StatusBlock b = emptyBlock();
        setCopier(b, 3, 0, 6);
        for (int pass = 0; pass < 3; ++pass) {
            led->checkdiskin(s, b);
            QCOMPARE(gpio.level({PD, 15}), 0u);
            QCOMPARE(gpio.level({PD, 8}), 1u);
            QCOMPARE(gpio.level({PD, 1}), 1u); // port 1 idle: dark
        }
        // One write per lamp per pass, and no strobe on the direct board.
        QCOMPARE(gpio.events({"set"}).size(), 3 * 16);
        QVERIFY(!gpio.events().contains("set PA20 1"));
    }

    void verifyingPortBlinksTheLampForItsOutcome_data() {
        QTest::addColumn<quint64>("badSectors");
        QTest::addColumn<QString>("blinking");
        QTest::addColumn<QString>("dark");
        QTest::newRow("no bad sectors: pass lamp") << quint64(0) << "PD9"
                                                   << "PD0";
        QTest::newRow("bad sectors: fail lamp") << quint64(1) << "PD0"
                                                << "PD9";
    }
    void verifyingPortBlinksTheLampForItsOutcome() {
        QFETCH(quint64, badSectors);
        QFETCH(QString, blinking);
        QFETCH(QString, dark);
        FakeGpio gpio;
        const SettingRecord s = profile(8, 0, 3, kTestMode);
        auto led = make(gpio, s);
        StatusBlock b = emptyBlock();
        setTester(b, 2, 2, badSectors);
        QStringList seen;
        for (int pass = 0; pass < 4; ++pass)
            led->checkdiskin(s, b);
        for (const QString& e : gpio.events({"set"})) {
            if (e.startsWith("set " + blinking + " ") || e.startsWith("set " + dark + " "))
                seen << e;
        }
        const QString b1 = "set " + blinking + " 1", b0 = "set " + blinking + " 0";
        const QString d1 = "set " + dark + " 1";
        const bool passFirst = blinking == "PD9";
        QStringList want;
        for (const QString& level : {b1, b0, b1, b0})
            want << (passFirst ? level : d1) << (passFirst ? d1 : level);
        QCOMPARE(seen, want);
    }

    void pairedWiringLatchesTwoPortsPerStrobe() {
        FakeGpio gpio;
        const SettingRecord s = profile(48, 3, 0, kCopierMode);
        auto led = make(gpio, s);
        const QList<GpioPin> pairLines = {{PA, 1}, {PA, 2}, {PA, 15}, {PA, 3}};
        gpio.watchLatch({PD, 7}, pairLines);  // group 3: ports 5 and 6
        gpio.watchLatch({PD, 16}, pairLines); // group 2: ports 3 and 4
        gpio.watchLatch({PG, 8}, pairLines);  // group 24: ports 47 and 48
        StatusBlock b = emptyBlock();
        setCopier(b, 4, 0, 1);
        setCopier(b, 5, 0, 6);
        setCopier(b, 6, 0, 7);
        setCopier(b, 48, 0, 8);
        led->checkdiskin(s, b);

        QCOMPARE(gpio.latches({PD, 7}),
                 (Captures{lines({{"PA1", 0}, {"PA2", 1}, {"PA15", 1}, {"PA3", 0}})}));
        QCOMPARE(gpio.latches({PD, 16}),
                 (Captures{lines({{"PA1", 1}, {"PA2", 1}, {"PA15", 0}, {"PA3", 1}})}));
        QCOMPARE(gpio.latches({PG, 8}),
                 (Captures{lines({{"PA1", 1}, {"PA2", 1}, {"PA15", 1}, {"PA3", 0}})}));

        // Ports 5 and 6 are both driven before their one pulse.
        const QStringList sets = gpio.events({"set"});
        const int pulse = sets.indexOf("set PD7 1");
        QVERIFY(pulse >= 4);
        QCOMPARE(sets.mid(pulse - 4, 6), (QStringList{"set PA1 0", "set PA2 1", "set PA15 1",
                                                      "set PA3 0", "set PD7 1", "set PD7 0"}));
        QCOMPARE(sets.count("set PD7 1"), 1);
        QCOMPARE(sets.size(), 48 * 2 + 24 * 2);
    }

    void groupedWiringLatchesGroupsOfFourAndThe51stPort() {
        FakeGpio gpio;
        const SettingRecord s = profile(51, 1, 1, kCopierMode);
        auto led = make(gpio, s);
        gpio.watchLatch({PD, 15}, kAllSharedLines); // group 13: ports 49 to 51
        gpio.watchLatch({PD, 0}, kAllSharedLines);  // group 12: ports 45 to 48
        StatusBlock b = emptyBlock();
        setCopier(b, 45, 1, 1);
        setCopier(b, 48, 1, 9);
        setCopier(b, 49, 1, 6);
        setCopier(b, 50, 1, 7);
        setCopier(b, 51, 0, 3); // the 51-port board lights unconnected ports as well
        led->checkdiskin(s, b);
        led->checkdiskin(s, b);

        const auto group13 = gpio.latches({PD, 15});
        QCOMPARE(group13.size(), 2);
        QCOMPARE(group13[0].value("PA1"), 0u); // port 49 passed
        QCOMPARE(group13[0].value("PA2"), 1u);
        QCOMPARE(group13[0].value("PA0"), 1u); // port 50 failed
        QCOMPARE(group13[0].value("PA14"), 0u);
        QCOMPARE(group13[0].value("PA3"), 1u); // port 51 working: pass lamp blinks
        QCOMPARE(group13[0].value("PA15") + group13[1].value("PA15"), 1u);

        const auto group12 = gpio.latches({PD, 0});
        QCOMPARE(group12.size(), 2);
        QCOMPARE(group12[0].value("PA1"), 0u);  // port 45 passed
        QCOMPARE(group12[0].value("PA18"), 0u); // port 48 failed
        QCOMPARE(group12[0].value("PA17"), 1u);

        // The extra latch closes the pass.
        const QStringList sets = gpio.events({"set"});
        QCOMPARE(sets.mid(sets.size() - 2), (QStringList{"set PD15 1", "set PD15 0"}));
        QCOMPARE(sets.count("set PD15 1"), 2);
    }

    void keptStateDrivesThePortsOwnLevels() {
        FakeGpio gpio;
        const SettingRecord s = profile(8, 0, 0, kCopierMode);
        auto led = make(gpio, s);
        gpio.watchLatch({PD, 16}, kAllSharedLines); // group 2: ports 5 to 8
        StatusBlock b = emptyBlock();
        setCopier(b, 1, 1, 7); // port 1 failed, on the same lines as port 5
        setCopier(b, 5, 1, 6);
        led->checkdiskin(s, b);
        setCopier(b, 5, 1, 11); // status 11: port 5 keeps its lamps
        led->checkdiskin(s, b);
        led->checkdiskin(s, b);

        const auto group2 = gpio.latches({PD, 16});
        QCOMPARE(group2.size(), 3);
        for (const auto& capture : group2) {
            QCOMPARE(capture.value("PA1"), 0u);
            QCOMPARE(capture.value("PA2"), 1u);
        }
    }

    void portsBeyondTheWiringAreSkipped_data() {
        QTest::addColumn<int>("ports");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("served");
        QTest::addColumn<int>("groups");
        QTest::newRow("grouped, 100 ports") << 100 << 0 << 0 << 96 << 24;
        QTest::newRow("grouped, 96 ports") << 96 << 0 << 0 << 96 << 24;
        QTest::newRow("paired, 60 ports") << 60 << 3 << 0 << 48 << 24;
        QTest::newRow("paired, 51 ports") << 51 << 0 << 3 << 48 << 24;
        QTest::newRow("grouped, 10 ports: partial group latched") << 10 << 0 << 0 << 10 << 3;
    }
    void portsBeyondTheWiringAreSkipped() {
        QFETCH(int, ports);
        QFETCH(int, model);
        QFETCH(int, variant);
        QFETCH(int, served);
        QFETCH(int, groups);
        FakeGpio gpio;
        const SettingRecord s = profile(ports, model, variant, kTestMode);
        auto led = make(gpio, s);
        StatusBlock b = emptyBlock();
        for (int p = 1; p <= 121; ++p)
            setTester(b, p, 3);
        StdoutCapture out;
        led->checkdiskin(s, b);
        led->checkdiskin(s, b);
        QCOMPARE(out.text().count("have no lamp lines"), ports > served ? 1 : 0);

        QSet<QString> lineNames;
        for (const GpioPin& line : kAllSharedLines)
            lineNames << pinName(line);
        QSet<QString> strobes;
        int lampWrites = 0;
        for (const QString& e : gpio.events({"set"})) {
            const QString pin = e.section(' ', 1, 1);
            if (lineNames.contains(pin))
                ++lampWrites;
            else
                strobes << pin;
        }
        QCOMPARE(lampWrites, 2 * 2 * served);
        QCOMPARE(strobes.size(), groups);
    }

    void directLampTestSequence() {
        FakeGpio gpio;
        commitSetting(profile(4, 0, 3, kTestMode));
        LedControl led(gpio, gpio.pause());
        const QStringList pass = {"PD1", "PD9", "PD15", "PD2", "PD6", "PD10", "PD17", "PD16"};
        const QStringList fail = {"PD5", "PD0", "PD8", "PD12", "PD4", "PD3", "PD7", "PA19"};
        QStringList want;
        for (int i = 0; i < 8; ++i)
            want << "cfg " + pass[i] + " out"
                 << "cfg " + fail[i] + " out";
        want << "plcfg 11"
             << "wait 1000"
             << "plset 11 0";
        for (int i = 0; i < 8; ++i)
            want << "set " + pass[i] + " 1"
                 << "set " + fail[i] + " 1";
        want << "wait 1000"
             << "plset 11 1";
        for (const QString& p : pass)
            want << "set " + p + " 0";
        want << "wait 1000"
             << "plset 11 1";
        for (const QString& p : pass)
            want << "set " + p + " 1";
        want << "wait 1000";
        for (const QString& f : fail)
            want << "set " + f + " 0";
        want << "wait 1000";
        for (const QString& f : fail)
            want << "set " + f + " 1";
        QCOMPARE(gpio.events(), want);
    }

    void groupedLampTestLatchesEveryGroupThreeTimes() {
        FakeGpio gpio;
        QList<GpioPin> strobes;
        for (int g = 1; g <= kStrobeGroups; ++g) {
            strobes << strobePin(g);
            gpio.watchLatch(strobePin(g), kAllSharedLines);
        }
        commitSetting(profile(48, 0, 0, kTestMode));
        LedControl led(gpio, gpio.pause());

        const auto passOn = lines({{"PA1", 0},
                                   {"PA0", 0},
                                   {"PA15", 0},
                                   {"PA17", 0},
                                   {"PA2", 1},
                                   {"PA14", 1},
                                   {"PA3", 1},
                                   {"PA18", 1}});
        const auto failOn = lines({{"PA1", 1},
                                   {"PA0", 1},
                                   {"PA15", 1},
                                   {"PA17", 1},
                                   {"PA2", 0},
                                   {"PA14", 0},
                                   {"PA3", 0},
                                   {"PA18", 0}});
        const auto dark = lines({{"PA1", 1},
                                 {"PA0", 1},
                                 {"PA15", 1},
                                 {"PA17", 1},
                                 {"PA2", 1},
                                 {"PA14", 1},
                                 {"PA3", 1},
                                 {"PA18", 1}});
        for (const GpioPin& strobe : strobes) {
            QCOMPARE(gpio.latches(strobe), (Captures{passOn, failOn, dark}));
            QCOMPARE(gpio.level(strobe), 0u);
        }
        // Everything is set up before the first pause; five seconds in all.
        const QStringList events = gpio.events();
        const int firstWait = events.indexOf("wait 1000");
        QCOMPARE(firstWait, 8 + 24);
        for (int i = 0; i < firstWait; ++i)
            QVERIFY2(events[i].startsWith("cfg ") && events[i].endsWith(" out"),
                     qPrintable(events[i]));
        QCOMPARE(gpio.pausedMs(), qint64(5000));
        QCOMPARE(events.last(), QStringLiteral("set PG8 0"));
        QVERIFY(!events.contains("plcfg 11"));
    }

    void threadFollowsTheStatusBlock() {
        FakeGpio gpio;
        commitSetting(profile(8, 0, 3, kTestMode));
        h2::PauseFn recorded = gpio.pause();
        LedControl led(gpio, [recorded](unsigned ms) {
            recorded(ms);
            QThread::msleep(1);
        });
        StatusBlock b = emptyBlock();
        setTester(b, 1, 3);
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
