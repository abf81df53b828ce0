// The settings file and the fixed machine file: parsing rules, derived fields, the stored
// form, factory reset and durable stores.

#include "settings/settings.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
SettingRecord loaded(const QByteArray& file, QByteArray* output = nullptr, int ports = 32,
                     int variant = 0) {
    TempWorkDir work;
    writeAll(work.file(".h2config"), file);
    SettingRecord r{};
    r.port_count = ports;
    r.machine_variant = variant;
    settings::loadDefaults(r);
    StdoutCapture capture;
    settings::parseFile(r, ".h2config");
    if (output)
        *output = capture.text();
    return r;
}

QList<QByteArray> keysOf(const QByteArray& stored) {
    QList<QByteArray> keys;
    for (const QByteArray& line : stored.split('\n')) {
        if (!line.isEmpty())
            keys << line.left(line.indexOf(' '));
    }
    return keys;
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void lineSyntax_data();
    void lineSyntax();
    void valueConversion_data();
    void valueConversion();
    void capacityTestDerivation_data();
    void capacityTestDerivation();
    void loadDefaultsDependOnProfile_data();
    void loadDefaultsDependOnProfile();
    void missingFileKeepsDefaultsAndWritesNothing();
    void storedFormAndOrder();
    void storeRoundTrip();
    void masterClearResetsAndKeepsColours();
    void factoryResetIsTheDefaultsButModeBlocksAndColours_data();
    void factoryResetIsTheDefaultsButModeBlocksAndColours();
    void fixedMachineFile_data();
    void fixedMachineFile();
    void interruptedStoreKeepsOldFile();
    void failingStoreKeepsOldFileAndRecord();
};

void TestSettings::lineSyntax_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("spaced") << QByteArray("mode = 3\n") << 3
                            << QByteArray("Loading.....name= mode val 3");
    QTest::newRow("value glued") << QByteArray("mode =3\n") << 3
                                 << QByteArray("Loading.....name= mode val 3");
    QTest::newRow("key glued") << QByteArray("mode=3\n") << 5
                               << QByteArray("Can not parse ret=1 mode=3");
    QTest::newRow("no equals") << QByteArray("mode 3\n") << 5
                               << QByteArray("Can not parse ret=1 mode 3");
    QTest::newRow("blank line") << QByteArray("\n") << 5 << QByteArray("Can not parse ret=-1");
    QTest::newRow("blanks only") << QByteArray("   \n") << 5 << QByteArray("Can not parse ret=-1");
    QTest::newRow("comment") << QByteArray("#mode = 3\n") << 5 << QByteArray();
    QTest::newRow("case matters") << QByteArray("MODE = 3\n") << 5
                                  << QByteArray("Loading.....name= MODE val 3");
    QTest::newRow("key over 31") << QByteArray("m" + QByteArray(31, 'x') + " = 3\nmode = 2\n") << 2
                                 << QByteArray("Can not parse ret=2 m" + QByteArray(31, 'x'));
    QTest::newRow("value over 31") << QByteArray("mode = 1" + QByteArray(31, '0') + "\n") << 5
                                   << QByteArray("Can not parse ret=2 mode = 1");
    // A line longer than 127 characters is read in pieces; the tail piece is a line of its own.
    QTest::newRow("long line") << QByteArray("#" + QByteArray(126, 'c') + "mode = 4\n") << 4
                               << QByteArray("Loading.....name= mode val 4");
}

void TestSettings::lineSyntax() {
    QFETCH(QByteArray, line);
    QFETCH(int, mode);
    QFETCH(QByteArray, message);
    QByteArray output;
    const SettingRecord r = loaded(line, &output);
    QCOMPARE(r.mode, mode);
    if (message.isEmpty())
        QVERIFY2(!output.contains("Can not parse") && !output.contains("Loading"), output);
    else
        QVERIFY2(output.contains(message), output);
}

void TestSettings::valueConversion_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    const int writeSpeed = offsetof(SettingRecord, write_speed);
    const int readSpeed = offsetof(SettingRecord, read_speed);
    const int copyCap = offsetof(SettingRecord, copy_cap);
    QTest::newRow("speed truncated") << QByteArray("write_speed = 12.9\n") << writeSpeed << 12;
    QTest::newRow("negative speed toward zero")
        << QByteArray("read_speed = -3.7\n") << readSpeed << -3;
    QTest::newRow("digits then junk") << QByteArray("copy_cap = 7x\n") << copyCap << 7;
    QTest::newRow("no digits") << QByteArray("copy_cap = x\n") << copyCap << 0;
    QTest::newRow("integer key ignores fraction")
        << QByteArray("copy_cap = 12.9\n") << copyCap << 12;
    QTest::newRow("negative") << QByteArray("copy_cap = -1\n") << copyCap << -1;
    QTest::newRow("huge saturates")
        << QByteArray("copy_cap = 99999999999\n") << copyCap << INT32_MAX;
    QTest::newRow("colour key") << QByteArray("capfil_color_9 = 255\n")
                                << int(offsetof(SettingRecord, capfil_color) + 32) << 255;
    QTest::newRow("grade bound") << QByteArray("capfil_low_2 = 77\n")
                                 << int(offsetof(SettingRecord, capfil_low) + 4) << 77;
    QTest::newRow("profile never from file")
        << QByteArray("port_count = 99\n") << int(offsetof(SettingRecord, port_count)) << 32;
}

void TestSettings::valueConversion() {
    QFETCH(QByteArray, line);
    QFETCH(int, offset);
    QFETCH(int, value);
    const SettingRecord r = loaded(line);
    int32_t field;
    memcpy(&field, reinterpret_cast<const char*>(&r) + offset, 4);
    QCOMPARE(field, value);
}

void TestSettings::capacityTestDerivation_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("capacityTest");
    QTest::newRow("percent") << QByteArray(
                                    "testSizeMode = 0\ntestSizePercent = 80\ncapacity_test = 55\n")
                             << 80;
    QTest::newRow("megabytes") << QByteArray("testSizeMode = 1\ntestSizeM = 10\n") << 10240;
    QTest::newRow("preset") << QByteArray("testSizeMode = 2\ntestSizeReg = 2048\n") << 2048;
    QTest::newRow("none keeps the line")
        << QByteArray("testSizeMode = -1\ncapacity_test = 55\n") << 55;
    QTest::newRow("unknown mode keeps the line")
        << QByteArray("testSizeMode = 9\ncapacity_test = 56\n") << 56;
    QTest::newRow("default") << QByteArray("mode = 1\n") << 100;
}

void TestSettings::capacityTestDerivation() {
    QFETCH(QByteArray, file);
    QFETCH(int, capacityTest);
    SettingRecord r = loaded(file);
    QCOMPARE(r.capacity_test, capacityTest);
    // A store recomputes it the same way.
    TempWorkDir work;
    r.capacity_test = -5;
    QCOMPARE(settings::storeFile(r, ".h2config"), 0);
    if (r.testSizeMode >= 0 && r.testSizeMode <= 2)
        QCOMPARE(r.capacity_test, capacityTest);
    else
        QCOMPARE(r.capacity_test, -5);
    QVERIFY(!readAll(work.file(".h2config")).contains("capacity_test"));
}

void TestSettings::loadDefaultsDependOnProfile_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("copyTimeCount");
    QTest::newRow("121 ports") << 121 << 0 << 3;
    QTest::newRow("51 ports") << 51 << 2 << 3;
    QTest::newRow("8 ports variant 3") << 8 << 3 << 15;
    QTest::newRow("8 ports variant 0") << 8 << 0 << 30;
    QTest::newRow("48 ports variant 3") << 48 << 3 << 30;
}

void TestSettings::loadDefaultsDependOnProfile() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(int, copyTimeCount);
    SettingRecord r{};
    r.port_count = ports;
    r.machine_variant = variant;
    settings::loadDefaults(r);
    QCOMPARE(r.COPYTIMECOUNT, copyTimeCount);
    settings::factoryReset(r);
    QCOMPARE(r.COPYTIMECOUNT, copyTimeCount);
    QCOMPARE(r.port_count, ports);
}

void TestSettings::missingFileKeepsDefaultsAndWritesNothing() {
    TempWorkDir work;
    SettingRecord r{};
    settings::loadDefaults(r);
    r.capacity_test = 77;
    r.testSizeMode = 1;
    StdoutCapture capture;
    QCOMPARE(settings::parseFile(r, ".h2config"), -1);
    QVERIFY(capture.text().contains("Fail to open .h2config"));
    QCOMPARE(r.capacity_test, 77); // not recomputed
    QVERIFY(!QFile::exists(work.file(".h2config")));
}

void TestSettings::storedFormAndOrder() {
    TempWorkDir work;
    SettingRecord r{};
    r.port_count = 48;
    settings::loadDefaults(r);
    r.mode = -2;
    r.capfil_color[8] = 0x123456;
    QCOMPARE(settings::storeFile(r, ".h2config"), 0);
    const QByteArray stored = readAll(work.file(".h2config"));

    QList<QByteArray> expected = {
        "format_type",         "mode",         "need_format",   "write_speed",
        "read_speed",          "copy_cap",     "copy_err",      "test_block",
        "copy_block",          "pre_format",   "after_format",  "analysisPre",
        "volumekeep",          "burnin_block", "burnin_cycle",  "burnin_data",
        "burnin_content",      "burnin_time",  "language",      "wipe_mode",
        "createMBR",           "MASTERCLEAR",  "testSizeMode",  "testSizePercent",
        "testSizeM",           "testSizeReg",  "COPYTIMECOUNT", "capfil_test_enable",
        "capfil_format_enable"};
    for (const char* group : {"capfil_enable_", "capfil_low_", "capfil_high_", "capfil_color_"})
        for (int n = 1; n <= 9; ++n)
            expected << QByteArray(group) + QByteArray::number(n);
    QCOMPARE(keysOf(stored), expected);
    QVERIFY(stored.startsWith("format_type = 0\nmode = -2\n"));
    QVERIFY(stored.contains("\ncapfil_color_9 = 1193046\n"));
    QVERIFY(stored.contains("\ncapfil_high_9 = 2355200\n"));
    QVERIFY(stored.endsWith("\n"));
    struct stat st {};
    QCOMPARE(stat(".h2config", &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0644);
}

void TestSettings::storeRoundTrip() {
    TempWorkDir work;
    SettingRecord original{};
    original.port_count = 16;
    settings::loadDefaults(original);
    original.format_type = 4;
    original.write_speed = 130;
    original.copy_cap = -1;
    original.capfil_enable[3] = 1;
    original.capfil_low[3] = 1;
    original.capfil_color[0] = 0xABCDEF;
    original.COPYTIMECOUNT = 7;
    QCOMPARE(settings::storeFile(original, ".h2config"), 0);
    SettingRecord back{};
    back.port_count = 16;
    settings::loadDefaults(back);
    {
        StdoutCapture quiet;
        settings::parseFile(back, ".h2config");
    }
    QCOMPARE(memcmp(&back, &original, sizeof(SettingRecord)), 0);
}

void TestSettings::masterClearResetsAndKeepsColours() {
    TempRoot root;
    TempWorkDir work;
    writeAll(work.file(".h2config"),
             "MASTERCLEAR = 1\nmode = 4\ntest_block = 512\ncapfil_color_3 = 1234\n"
             "capfil_enable_2 = 1\ncapfil_low_1 = 5\n");
    {
        std::lock_guard<std::recursive_mutex> lock(settingMutex());
        mSetting = SettingRecord{};
        mSetting.port_count = 51;
    }
    StdoutCapture capture;
    readSetting();
    const SettingRecord r = snapshotSetting();
    QCOMPARE(r.mode, 0);
    QCOMPARE(r.MASTERCLEAR, 0);
    QCOMPARE(r.test_block, 65536);
    QCOMPARE(r.copy_block, 65536);
    QCOMPARE(r.capfil_color[2], 1234);
    QCOMPARE(r.capfil_enable[1], 0);
    QCOMPARE(r.capfil_low[0], 6800);
    QCOMPARE(r.COPYTIMECOUNT, 3);
    QVERIFY(capture.text().contains("resetting 3"));
    const QByteArray stored = readAll(work.file(".h2config"));
    QVERIFY(stored.contains("\nmode = 0\n"));
    QVERIFY(stored.contains("\nMASTERCLEAR = 0\n"));
    QVERIFY(stored.contains("\ncapfil_color_3 = 1234\n"));
    QVERIFY(!stored.contains("capacity_test"));
    QVERIFY(!stored.contains("port_count"));
}

void TestSettings::factoryResetIsTheDefaultsButModeBlocksAndColours_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::newRow("121 ports") << 121 << 0;
    QTest::newRow("8 ports, variant 3") << 8 << 3;
    QTest::newRow("48 ports, variant 1") << 48 << 1;
}

void TestSettings::factoryResetIsTheDefaultsButModeBlocksAndColours() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    // Junk in every field, so that a field one of them misses or sets differently shows.
    SettingRecord used;
    memset(&used, 0x5A, sizeof used);
    used.port_count = ports;
    used.machine_variant = variant;
    for (int n = 0; n < 9; ++n)
        used.capfil_color[n] = 0x010203 * (n + 1);
    SettingRecord expected = used;
    settings::loadDefaults(expected);
    expected.mode = 0;
    expected.test_block = 65536;
    expected.copy_block = 65536;
    memcpy(expected.capfil_color, used.capfil_color, sizeof used.capfil_color);

    SettingRecord reset = used;
    settings::factoryReset(reset);
    const auto* got = reinterpret_cast<const unsigned char*>(&reset);
    const auto* want = reinterpret_cast<const unsigned char*>(&expected);
    for (size_t at = 0; at < sizeof reset; ++at)
        QVERIFY2(got[at] == want[at], qPrintable(QStringLiteral("byte %1 differs").arg(at)));
}

void TestSettings::fixedMachineFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("profile");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("comment then profile")
        << QByteArray("# cabinet\n48 0 3 0\n") << QList<int>{48, 0, 3, 0} << QByteArray();
    QTest::newRow("two numbers") << QByteArray("8 2\n") << QList<int>{8, 2, 3, 0}
                                 << QByteArray("Can not parse ret=2 8 2");
    QTest::newRow("first full line wins")
        << QByteArray("121 0 1 2\n8 2 0 3\n") << QList<int>{121, 0, 1, 2} << QByteArray();
    QTest::newRow("missing") << QByteArray() << QList<int>{32, 0, 3, 0}
                             << QByteArray("Fail to open fix");
}

void TestSettings::fixedMachineFile() {
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, profile);
    QFETCH(QByteArray, message);
    TempRoot root;
    if (!file.isEmpty())
        root.writeFile(kFixedMachineFile, file);
    SettingRecord r{};
    r.port_count = 7;
    r.machine_variant = 9;
    StdoutCapture capture;
    settings::readFixedMachineFile(r, root.path(kFixedMachineFile).toStdString());
    QCOMPARE((QList<int>{r.port_count, r.machine_type, r.board_model, r.machine_variant}), profile);
    QCOMPARE(r.length, 300);
    if (!message.isEmpty())
        QVERIFY2(capture.text().contains(message), capture.text());
    else
        QVERIFY(!capture.text().contains("Can not parse"));
}

namespace {
bool cutPower() {
    return false;
}
} // namespace

void TestSettings::interruptedStoreKeepsOldFile() {
    TempWorkDir work;
    writeAll(work.file(".h2config"), "mode = 3\n");
    SettingRecord r{};
    settings::loadDefaults(r);
    settings::setStoreInterruption(&cutPower);
    const int result = settings::storeFile(r, ".h2config");
    settings::setStoreInterruption(nullptr);
    QCOMPARE(result, -1);
    QCOMPARE(readAll(work.file(".h2config")), QByteArray("mode = 3\n"));
    QVERIFY(!QFile::exists(work.file(".h2config.tmp")));
}

void TestSettings::failingStoreKeepsOldFileAndRecord() {
    TempWorkDir work;
    writeAll(work.file(".h2config"), "mode = 3\n");
    // The temporary file cannot be created (a directory stands in its way), as on a full or
    // read-only disk; this fails for root too.
    QVERIFY(QDir(work.path()).mkdir(".h2config.tmp"));
    SettingRecord r{};
    settings::loadDefaults(r);
    r.testSizeMode = 1;
    r.capacity_test = 9;
    StdoutCapture capture;
    const int result = settings::storeFile(r, ".h2config");
    QCOMPARE(result, -1);
    QVERIFY(capture.text().contains("Fail to create CONFIG_FILE"));
    QCOMPARE(r.capacity_test, 9);
    QCOMPARE(readAll(work.file(".h2config")), QByteArray("mode = 3\n"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
