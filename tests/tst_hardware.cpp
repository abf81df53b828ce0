// The GPIO layer against a register file in a scratch root (physical address = file offset),
// port PL through sysfs under that root, and the machine profile from the pin straps.

#include "hardware/hardware.h"
#include "hardware/led_control.h"
#include "hardware/pin_straps.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

class TestHardware : public QObject {
    Q_OBJECT

    TempRoot mRoot;
    std::string mMem = h2::platform().prepareRegisterFile(32 << 20);

    quint32 word(quint32 address) {
        quint32 value = 0xDEADBEEF;
        const int fd = open(mMem.c_str(), O_RDONLY);
        (void)!pread(fd, &value, 4, off_t(address));
        close(fd);
        return value;
    }
    void setWord(quint32 address, quint32 value) {
        const int fd = open(mMem.c_str(), O_WRONLY);
        QCOMPARE(pwrite(fd, &value, 4, off_t(address)), 4);
        close(fd);
    }
    void fillBlock(quint32 value) { // PA's first register to PG's data register
        for (quint32 at = 0x01C20800; at <= 0x01C208E8; at += 4)
            setWord(at, value);
    }

private slots:
    // "op pin fill address value": in/out configure, "set N" writes N; afterwards the register
    // at address holds value and every other one still holds fill. "get N" expects N once
    // value is at address.
    void registers() {
        for (QString row :
             {"in PG13 FFFFFFFF 01C208DC FF8FFFFF", "out PG13 0 01C208DC 100000",
              "out PA0 5A5A5A5A 01C20800 5A5A5A59", "out PB7 0 01C20824 10000000",
              "out PD17 0 01C20874 10", "in PD31 FFFFFFFF 01C20878 8FFFFFFF",
              "in PE8 77777777 01C20894 77777770", "set 1 PD1 A5A5A5A5 01C2087C A5A5A5A7",
              "set 0 PD31 A5A5A5A5 01C2087C 25A5A5A5", "set 7 PG13 0 01C208E8 2000",
              "set 0 PA0 FFFFFFFF 01C20810 FFFFFFFE", "set 1 PB32 0 0 0", "out PB40 0 0 0",
              "get 1 PG13 FFFFDFFF 01C208E8 2000", "get 0 PG12 FFFFDFFF 01C208E8 2000",
              "get 1 PD5 FFFFFFDF 01C2087C 20", "get 0 PB32 FFFFFFFF 0 0"}) {
            QStringList f = row.split(' ');
            const unsigned arg = f[0] == "set" || f[0] == "get" ? f.takeAt(1).toUInt() : 0;
            const GpioPin pin = pinNamed(f[1]);
            const quint32 fill = f[2].toUInt(nullptr, 16), address = f[3].toUInt(nullptr, 16),
                          value = f[4].toUInt(nullptr, 16);
            fillBlock(fill);
            Hardware hw(mMem);
            QVERIFY(hw.mapped());
            if (f[0] == "get") {
                if (address)
                    setWord(address, value);
                QVERIFY2(hw.getPin(pin) == arg, qPrintable(row));
                continue;
            }
            if (f[0] == "set")
                hw.setPin(pin, arg);
            else
                hw.configPin(pin, f[0] == "out" ? PIN_OUTPUT : PIN_INPUT);
            for (quint32 at = 0x01C20800; at <= 0x01C208E8; at += 4)
                QVERIFY2(word(at) == (at == address ? value : fill),
                         qPrintable(row + QString(" at %1").arg(at, 0, 16)));
        }
    }

    void unmappedIgnoresWritesAndReadsZero() {
        mRoot.writeFile("/dev/short", QByteArray(0x01C20810, '\0')); // too short for the block
        for (const char* file : {"/missing/mem", "/dev/short"}) {
            StdoutCapture out;
            Hardware hw(mRoot.path(file).toStdString());
            QVERIFY(!hw.mapped());
            QCOMPARE(out.text().contains("open error\r"), file[1] == 'm');
            hw.GPIO_ConfigPin(PG, 13, PIN_OUTPUT);
            hw.GPIO_SetPin(PG, 13, 1);
            QCOMPARE(out.text().count("gpio_map == NULL"), 1);
            QCOMPARE(hw.GPIO_GetPin(PG, 13), 0u);
        }
    }

    void mappingAndPortPl() {
        StdoutCapture out;
        Hardware* hw = Hardware::getInstance(); // maps ROOT/dev/mem
        QCOMPARE(Hardware::getInstance(), hw);
        const long page = sysconf(_SC_PAGESIZE);
        QVERIFY(out.text().contains(
            QString::asprintf("PageSize:%ld,PageMask:%.8X\r\n", page, unsigned(-page)).toUtf8()));
        setWord(0x01C208E8, 0);
        hw->GPIO_SetPin(PG, 13, 1);
        QCOMPARE(word(0x01C208E8), 0x2000u);

        hw->GPIO_ConfigPinPL(11);
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/export")), QByteArray("363\n"));
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/gpio363/direction")), QByteArray("out\n"));
        hw->GPIO_ConfigPinPL(3);
        hw->GPIO_SetPinPL(3, 1);
        QVERIFY(out.text().contains("cmd=echo 1 >/sys/class/gpio/gpio355/value\n"));
        QCOMPARE(readAll(mRoot.path("/sys/class/gpio/gpio355/value")), QByteArray("1\n"));
    }

    // Direct wiring outside variant 3 ("8 0 3 0") runs the grouped lamp test; port 1's lamps
    // PD1 and PD5 must still end up outputs and be driven.
    void directLampPinsAreOutputs() {
        fillBlock(0);
        Hardware hw(mMem);
        SettingRecord s{};
        s.port_count = 8;
        s.board_model = 3;
        commitSetting(s);
        LedControl led(hw, [](unsigned) {});
        QCOMPARE(word(0x01C2086C), 0x11111111u); // PD0..PD7 all outputs
        StatusBlock b{};
        const uint32_t passed = 3;
        memcpy(b.bytes + testerPortOffset(1) + offsetof(TesterPortRecord, state), &passed, 4);
        led.checkdiskin(s, b);
        QCOMPARE(word(0x01C2087C) & 0x22u, 0x20u); // PD1 lit (low), PD5 dark
    }

    // "pins read high | S | ports type model variant" over the fixed machine file "24 2 5 1";
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
                gpio.setLevel(pinNamed(pin), 1);
            const int strap = readPinStraps(gpio, gpio.pause());
            const QString want =
                "cfg PG13 in,cfg PG10 in,cfg PG8 in,cfg PA2 in,cfg PG9 in,cfg PA18 in,cfg PA17 in,"
                "cfg PA14 in,cfg PA3 in,cfg PG6 out,cfg PG12 out,cfg PG11 out,cfg PG7 out,cfg PA1 "
                "out,cfg PA0 out,cfg PA13 out,cfg PA15 out,cfg PA20 out,set PG12 1,set PG11 1,set "
                "PG6 1,set PG7 1,set PA1 1,set PA0 1,set PA13 1,set PA15 1,set PA20 1,wait 100,get "
                "PG13";
            QCOMPARE(gpio.events().mid(0, 29).join(','), want);
            QCOMPARE(gpio.events().size(), strap < 0 ? 29 : 35); // straps read only when fitted
            mSetting.port_count = 99;                            // changed since the file was read
            settleProfileFromStraps(gpio, gpio.pause());
            const SettingRecord r = snapshotSetting();
            QCOMPARE(row.section('|', 0, 0) + QString::asprintf("|%d|%d %d %d %d", strap,
                                                                r.port_count, r.machine_type,
                                                                r.board_model, r.machine_variant),
                     row);
        }
    }
};

QTEST_GUILESS_MAIN(TestHardware)
#include "tst_hardware.moc"
