// The machine profile from the pin straps: the pins set up and driven, the settling pause,
// PG13 deciding whether straps are fitted, and the strap table.

#include "hardware/pin_straps.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/temp_root.h"

#include <QtTest>

namespace {
// Strap bits, lowest first: PA3, PA14, PA2, PG8, PG10, PG9.
void wireStraps(FakeGpio& gpio, int strap) {
    const GpioPin bits[] = {{PA, 3}, {PA, 14}, {PA, 2}, {PG, 8}, {PG, 10}, {PG, 9}};
    for (int b = 0; b < 6; ++b)
        gpio.setLevel(bits[b], (strap >> b) & 1);
}
} // namespace

class TestPinStraps : public QObject {
    Q_OBJECT

private:
    TempRoot mRoot;

private slots:

    void strapTable_data() {
        QTest::addColumn<int>("strap");
        QTest::addColumn<QVector<int>>("profile"); // ports, type, model, variant
        // The record starts as 32 ports, type 1, model 7, variant 2.
        QTest::newRow("0: 8-port tester") << 0 << QVector<int>{8, 0, 0, 3};
        QTest::newRow("1: 4-port SSD copier") << 1 << QVector<int>{4, 2, 0, 3};
        QTest::newRow("2: 4-port, model 1") << 2 << QVector<int>{4, 2, 1, 3};
        QTest::newRow("3: 6-port") << 3 << QVector<int>{6, 2, 1, 3};
        QTest::newRow("4: 48-port tester keeps model and variant")
            << 4 << QVector<int>{48, 0, 7, 2};
        QTest::newRow("5: first of the copier rest") << 5 << QVector<int>{8, 2, 0, 3};
        QTest::newRow("37") << 37 << QVector<int>{8, 2, 0, 3};
        QTest::newRow("63: all straps") << 63 << QVector<int>{8, 2, 0, 3};
    }
    void strapTable() {
        QFETCH(int, strap);
        QFETCH(QVector<int>, profile);
        SettingRecord r{};
        r.port_count = 32;
        r.machine_type = 1;
        r.board_model = 7;
        r.machine_variant = 2;
        r.mode = 9;
        applyStrapValue(r, strap);
        QCOMPARE((QVector<int>{r.port_count, r.machine_type, r.board_model, r.machine_variant}),
                 profile);
        QCOMPARE(r.mode, 9); // nothing but the profile
    }

    void setsUpPinsInOrderThenReadsAfterSettling_data() {
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<int>("strap");
        QTest::addColumn<int>("expected");
        QTest::newRow("fitted, S = 0") << true << 0 << 0;
        QTest::newRow("fitted, S = 4") << true << 4 << 4;
        QTest::newRow("fitted, S = 37") << true << 37 << 37;
        QTest::newRow("fitted, S = 26: PA14, PG8, PG10") << true << 26 << 26;
        QTest::newRow("not fitted") << false << 37 << -1;
    }
    void setsUpPinsInOrderThenReadsAfterSettling() {
        QFETCH(bool, fitted);
        QFETCH(int, strap);
        QFETCH(int, expected);
        FakeGpio gpio;
        wireStraps(gpio, strap);
        gpio.setLevel({PA, 17}, 1); // inputs outside the strap value do not count
        gpio.setLevel({PA, 18}, 1);
        // Straps only read valid once the outputs have been high for the settling time.
        gpio.setScript({PG, 13}, [&gpio, fitted](qint64 now) {
            return fitted && now >= 100 && gpio.level({PA, 20}) ? 1u : 0u;
        });
        gpio.recordReads = true;
        QCOMPARE(readPinStraps(gpio, gpio.pause()), expected);

        QStringList want;
        for (const char* in : {"PG13", "PG10", "PG8", "PA2", "PG9", "PA18", "PA17", "PA14", "PA3"})
            want << QStringLiteral("cfg %1 in").arg(in);
        for (const char* out : {"PG6", "PG12", "PG11", "PG7", "PA1", "PA0", "PA13", "PA15", "PA20"})
            want << QStringLiteral("cfg %1 out").arg(out);
        for (const char* high :
             {"PG12", "PG11", "PG6", "PG7", "PA1", "PA0", "PA13", "PA15", "PA20"})
            want << QStringLiteral("set %1 1").arg(high);
        want << "wait 100"
             << "get PG13";
        const QStringList events = gpio.events();
        QCOMPARE(events.mid(0, want.size()), want);
        if (!fitted)
            QCOMPARE(events.size(), want.size()); // no strap pin read without straps
    }

    void startupStepTakesStrapsOrRereadsTheFile_data() {
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<int>("strap");
        QTest::addColumn<QVector<int>>("profile");
        QTest::newRow("S = 4 keeps the file's model and variant")
            << true << 4 << QVector<int>{48, 0, 5, 1};
        QTest::newRow("S = 0") << true << 0 << QVector<int>{8, 0, 0, 3};
        QTest::newRow("not fitted: the file again") << false << 0 << QVector<int>{24, 2, 5, 1};
    }
    void startupStepTakesStrapsOrRereadsTheFile() {
        QFETCH(bool, fitted);
        QFETCH(int, strap);
        QFETCH(QVector<int>, profile);
        mRoot.writeFile("/usr/share/.h2fixconfig", "24 2 5 1\n");
        readFixSetting();
        {
            // Something changed the profile since the file was read.
            std::lock_guard<std::recursive_mutex> lock(settingMutex());
            mSetting.port_count = 99;
            mSetting.machine_type = 7;
        }
        FakeGpio gpio;
        wireStraps(gpio, strap);
        gpio.setLevel({PG, 13}, fitted ? 1 : 0);
        settleProfileFromStraps(gpio, gpio.pause());
        const SettingRecord r = snapshotSetting();
        QCOMPARE((QVector<int>{r.port_count, r.machine_type, r.board_model, r.machine_variant}),
                 profile);
    }
};

QTEST_GUILESS_MAIN(TestPinStraps)
#include "tst_pinstraps.moc"
