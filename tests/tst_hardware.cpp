// Register arithmetic and the unmapped behaviour of the GPIO layer, against a register file
// in a scratch root; port PL through the sysfs files under that root.

#include "hardware/led_control.h"
#include "hardware/hardware.h"
#include "platform/desktop_platform.h"
#include "settings/settings.h"
#include "support/stdout_capture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(PORT)

namespace {
size_t pageSize() {
    return size_t(sysconf(_SC_PAGESIZE));
}

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<none>");
}
} // namespace

class TestHardware : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mRoot;
    std::string mMemPath;

    // The register at a physical address.
    uint32_t word(uint32_t address) {
        uint32_t value = 0;
        int fd = open(mMemPath.c_str(), O_RDONLY);
        if (pread(fd, &value, 4, off_t(address)) != 4)
            value = 0xDEADBEEF;
        close(fd);
        return value;
    }
    uint32_t reg(PORT port, unsigned index) {
        return word(uint32_t(kPioBase + pioRegisterOffset(port, index)));
    }
    void setReg(PORT port, unsigned index, uint32_t value) {
        int fd = open(mMemPath.c_str(), O_WRONLY);
        QCOMPARE(pwrite(fd, &value, 4, off_t(kPioBase + pioRegisterOffset(port, index))), 4);
        close(fd);
    }
    // Every register of the block, for "nothing else changed" checks.
    QVector<uint32_t> block() {
        QVector<uint32_t> all;
        for (unsigned p = 0; p < kPortsMapped; ++p)
            for (unsigned r = 0; r < kPortRegisters; ++r)
                all << reg(PORT(p), r);
        return all;
    }
    void fillBlock(uint32_t pattern) {
        for (unsigned p = 0; p < kPortsMapped; ++p)
            for (unsigned r = 0; r < kPortRegisters; ++r)
                setReg(PORT(p), r, pattern ^ (p * 0x01010101u) ^ r);
    }

private slots:
    void initTestCase() {
        QVERIFY(mRoot.isValid());
        h2::setPlatform(h2::makeDesktopPlatform(mRoot.path().toStdString()));
        mMemPath = h2::platform().prepareRegisterFile(pioFileSizeNeeded(pageSize()));
    }

    void configureChangesOnlyThePinsField_data() {
        QTest::addColumn<PORT>("port");
        QTest::addColumn<unsigned>("pin");
        QTest::addColumn<int>("mode");
        QTest::addColumn<unsigned>("reg");
        QTest::addColumn<unsigned>("shift");
        QTest::newRow("PG13 input: bits 20-22 of PG's second register")
            << PG << 13u << 0 << 1u << 20u;
        QTest::newRow("PG13 output") << PG << 13u << 1 << 1u << 20u;
        QTest::newRow("PA0 output: lowest field") << PA << 0u << 1 << 0u << 0u;
        QTest::newRow("PD17 output: third register") << PD << 17u << 1 << 2u << 4u;
        QTest::newRow("PD31 input: top field of the fourth") << PD << 31u << 0 << 3u << 28u;
    }
    void configureChangesOnlyThePinsField() {
        QFETCH(PORT, port);
        QFETCH(unsigned, pin);
        QFETCH(int, mode);
        QFETCH(unsigned, reg);
        QFETCH(unsigned, shift);
        Hardware hw(mMemPath);
        QVERIFY(hw.mapped());
        for (uint32_t pattern : {0xFFFFFFFFu, 0x00000000u, 0x5A5A5A5Au}) {
            fillBlock(pattern);
            QVector<uint32_t> expected = block();
            const int index = int(port) * int(kPortRegisters) + int(reg);
            expected[index] = (expected[index] & ~(7u << shift)) | (uint32_t(mode) << shift);
            hw.GPIO_ConfigPin(port, pin, PIN_MODE(mode));
            QCOMPARE(block(), expected);
        }
    }

    void levelsAreSingleBitsOfTheDataRegister() {
        Hardware hw(mMemPath);
        fillBlock(0);
        setReg(PD, kDataRegister, 0xA5A5A5A5);
        const QVector<uint32_t> before = block();

        hw.GPIO_SetPin(PD, 1, 1);
        QCOMPARE(reg(PD, kDataRegister), 0xA5A5A5A7u);
        hw.GPIO_SetPin(PD, 31, 0);
        QCOMPARE(reg(PD, kDataRegister), 0x25A5A5A7u);
        hw.GPIO_SetPin(PD, 0, 7); // any non-zero value sets
        QCOMPARE(reg(PD, kDataRegister), 0x25A5A5A7u);
        hw.GPIO_SetPin(PD, 3, 1);
        hw.GPIO_SetPin(PD, 3, 0);
        QCOMPARE(reg(PD, kDataRegister), 0x25A5A5A7u);

        QVector<uint32_t> after = block();
        after[int(PD) * int(kPortRegisters) + int(kDataRegister)] = before[int(PD) * 9 + 4];
        QCOMPARE(after, before); // no other register touched

        setReg(PG, kDataRegister, 1u << 13);
        QCOMPARE(hw.GPIO_GetPin(PG, 13), 1u);
        QCOMPARE(hw.GPIO_GetPin(PG, 12), 0u);
        QCOMPARE(hw.GPIO_GetPin(PD, 5), 1u);
        QCOMPARE(hw.GPIO_GetPin(PD, 30), 0u);
    }

    void pinsFrom32AreIgnored() {
        Hardware hw(mMemPath);
        fillBlock(0x12345678);
        const QVector<uint32_t> before = block();
        hw.GPIO_ConfigPin(PB, 32, PIN_OUTPUT);
        hw.GPIO_ConfigPin(PB, 40, PIN_OUTPUT);
        hw.GPIO_SetPin(PB, 32, 1);
        hw.GPIO_SetPin(PB, 63, 0);
        QCOMPARE(block(), before);
        setReg(PB, kDataRegister, 0xFFFFFFFF);
        QCOMPARE(hw.GPIO_GetPin(PB, 32), 0u);
        QCOMPARE(hw.GPIO_GetPin(PB, 33), 0u);
    }

    void unmappedIgnoresWritesAndReadsZero_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("openMessage");
        QTest::newRow("no register file") << mRoot.filePath("missing/mem") << "open error\r";
        QTest::newRow("file too short to hold the block") << mRoot.filePath("short-mem") << "";
    }
    void unmappedIgnoresWritesAndReadsZero() {
        QFETCH(QString, path);
        QFETCH(QString, openMessage);
        QFile shortFile(mRoot.filePath("short-mem"));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.resize(qint64(pioMapOffset(pageSize())) + 16);
        shortFile.close();

        StdoutCapture out;
        Hardware hw(path.toStdString());
        QVERIFY(!hw.mapped());
        if (!openMessage.isEmpty())
            QVERIFY(out.text().contains(openMessage.toUtf8()));
        hw.GPIO_ConfigPin(PG, 13, PIN_OUTPUT);
        hw.GPIO_SetPin(PG, 13, 1);
        QCOMPARE(out.text().count("gpio_map == NULL"), 1);
        QCOMPARE(hw.GPIO_GetPin(PG, 13), 0u);
    }

    // Direct wiring outside variant 3 ("8 0 3 0") runs the grouped lamp test; port 1's lamps
    // PD1 and PD5 must still end up outputs and be driven.
    void directLampPinsAreOutputs() {
        fillBlock(0);
        Hardware hw(mMemPath);
        SettingRecord s{};
        s.port_count = 8;
        s.board_model = 3;
        commitSetting(s);
        LedControl led(hw, [](unsigned) {});
        QCOMPARE(word(0x01C2086C), 0x11111111u); // PD0..PD7 all outputs
        StatusBlock b;
        memset(b.bytes, 0, sizeof b.bytes);
        const uint32_t passed = 3;
        memcpy(b.bytes + testerPortOffset(1) + offsetof(TesterPortRecord, state), &passed, 4);
        led.checkdiskin(s, b);
        QCOMPARE(word(0x01C2087C) & 0x22u, 0x20u); // PD1 lit (low), PD5 dark
    }

    void mappingReportsThePageSize() {
        StdoutCapture out;
        Hardware hw(mMemPath);
        QVERIFY(hw.mapped());
        const QString mask =
            QString::number(uint(~(pageSize() - 1)), 16).toUpper().rightJustified(8, '0');
        const QString expected =
            QStringLiteral("PageSize:%1,PageMask:%2\r\n").arg(pageSize()).arg(mask);
        QVERIFY2(out.text().contains(expected.toUtf8()), out.text().constData());
    }

    void portPlGoesThroughSysfs() {
        Hardware unmapped; // PL does not need the register mapping
        const QString gpio = mRoot.filePath("sys/class/gpio/");
        unmapped.GPIO_ConfigPinPL(11);
        QCOMPARE(readText(gpio + "export").trimmed(), QStringLiteral("363"));
        QCOMPARE(readText(gpio + "gpio363/direction").trimmed(), QStringLiteral("out"));

        unmapped.GPIO_ConfigPinPL(3);
        StdoutCapture out;
        unmapped.GPIO_SetPinPL(3, 1);
        QVERIFY(out.text().contains("cmd=echo 1 >/sys/class/gpio/gpio355/value\n"));
        QCOMPARE(readText(gpio + "gpio355/value").trimmed(), QStringLiteral("1"));
        unmapped.GPIO_SetPinPL(3, 0);
        QCOMPARE(readText(gpio + "gpio355/value").trimmed(), QStringLiteral("0"));
    }

    void instanceMapsTheRootsRegisterFile() {
        QTemporaryDir fresh;
        h2::setPlatform(h2::makeDesktopPlatform(fresh.path().toStdString()));
        Hardware* hw = Hardware::getInstance();
        QVERIFY(hw->mapped());
        QCOMPARE(Hardware::getInstance(), hw);
        QFileInfo mem(fresh.filePath("dev/mem"));
        QVERIFY(mem.exists());
        QVERIFY(mem.size() >= qint64(pioFileSizeNeeded(pageSize())));
        hw->GPIO_SetPin(PG, 13, 1);
        QFile f(mem.filePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.seek(qint64(kPioBase + pioRegisterOffset(PG, kDataRegister))));
        uint32_t data = 0;
        QCOMPARE(f.read(reinterpret_cast<char*>(&data), 4), qint64(4));
        QCOMPARE(data, 1u << 13);
        h2::setPlatform(h2::makeDesktopPlatform(mRoot.path().toStdString()));
    }
};

QTEST_GUILESS_MAIN(TestHardware)
#include "tst_hardware.moc"
