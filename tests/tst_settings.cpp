// The settings file and the fixed machine file: defaults, parsing rules, the stored form,
// factory reset and durable stores.

#include "settings/settings.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

constexpr int J = 0x5A5A5A5A; // what the record held before: a default leaves it alone

// clang-format off
// The load defaults, word by word (byte offset = 4 x index).
const int kLoadDefaults[75] = {
    300, J, 5, 0, 100, 0, 0, 0, 0, J, 15, 15, J, J, J, J,          // length .. machine_variant
    4096, 4096, 0, 0, 100, 1000, 1, 65536, 0, 0, 0, 0, 0, 0, J,    // .. COPYTIMECOUNT (by rule)
    0, -1, 100, 10, 102400, J, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // MASTERCLEAR .. enables
    6800, 13600, 27200, 54400, 108800, 217600, 435200, 870400, 1740800,   // lower bounds
    9200, 18400, 36800, 73600, 147200, 294400, 588800, 1177600, 2355200,  // upper bounds
    0x0000FF, 0xFFFF00, 0x00FF00, 0x6565AA, 0xFFE1A4, 0xB2EF98, 0xE6D8EF, 0xEFE6B8, 0xE8EFE0,
    0, 0};

// Stored keys in file order, each with the index of its word (byte offset / 4).
const QList<QPair<QByteArray, int>> kStoredKeys = [] {
    QList<QPair<QByteArray, int>> keys;
    const QByteArray named =
        "format_type:3 mode:2 need_format:8 write_speed:6 read_speed:7 copy_cap:10 copy_err:11 "
        "test_block:16 copy_block:17 pre_format:18 after_format:19 analysisPre:28 volumekeep:27 "
        "burnin_block:23 burnin_cycle:20 burnin_data:24 burnin_content:22 burnin_time:21 "
        "language:25 wipe_mode:26 createMBR:29 MASTERCLEAR:31 testSizeMode:32 testSizePercent:33 "
        "testSizeM:34 testSizeReg:35 COPYTIMECOUNT:30 capfil_test_enable:73 capfil_format_enable:74";
    for (const QByteArray& key : named.split(' '))
        keys.append({key.split(':')[0], key.split(':')[1].toInt()});
    for (const auto& [group, first] : {std::pair<QByteArray, int>{"capfil_enable_", 37},
                                       {"capfil_low_", 46}, {"capfil_high_", 55}, {"capfil_color_", 64}})
        for (int n = 1; n <= 9; ++n)
            keys.append({group + QByteArray::number(n), first + n - 1});
    return keys;
}();

// A settings file (null: none) and a word it must leave in the record; `output` is a part of
// what is printed (empty: nothing at all; null: anything).
struct Parse { const char* file; int offset; int value; const char* output; };
const QMap<QString, Parse> kParse = {
    {"spaced", {"mode = 3\n", 8, 3, "Loading.....name= mode val 3\n"}},
    {"value glued", {"mode =3\n", 8, 3, nullptr}},
    {"key glued", {"mode=3\n", 8, 5, "Can not parse ret=1 mode=3\n"}},
    {"no equals", {"mode 3\n", 8, 5, "Can not parse ret=1 mode 3\n"}},
    {"blank line", {"\n", 8, 5, "Can not parse ret=-1"}},
    {"comment", {"#mode = 3\n", 8, 5, ""}},
    {"case matters", {"MODE = 3\n", 8, 5, "Loading.....name= MODE val 3"}},
    {"key over 31", {"m234567890123456789012345678901x = 3\nmode = 2\n", 8, 2, "Can not parse ret=2 m2"}},
    // A line longer than 127 characters is read in pieces; the tail piece is a line of its own.
    {"long line", {"#12345678901234567890123456789012345678901234567890123456789012345678901234567890"
                   "1234567890123456789012345678901234567890123456mode = 4\n", 8, 4, nullptr}},
    {"no file", {nullptr, 8, 5, "Fail to open .h2config\n"}},
    {"speed truncated", {"write_speed = 12.9\n", 24, 12, nullptr}},
    {"speed toward zero", {"read_speed = -3.7\n", 28, -3, nullptr}},
    {"digits then junk", {"copy_cap = 7x\n", 40, 7, nullptr}},
    {"no digits", {"copy_cap = x\n", 40, 0, nullptr}},
    {"integer key", {"copy_err = 12.9\n", 44, 12, nullptr}},
    {"huge saturates", {"copy_cap = 99999999999\n", 40, 2147483647, nullptr}},
    {"profile not from the file", {"port_count = 99\n", 36, 0, nullptr}},
    {"test size percent", {"testSizeMode = 0\ntestSizePercent = 80\ncapacity_test = 55\n", 16, 80, nullptr}},
    {"test size megabytes", {"testSizeMode = 1\ntestSizeM = 10\n", 16, 10240, nullptr}},
    {"test size preset", {"testSizeMode = 2\ntestSizeReg = 2048\n", 16, 2048, nullptr}},
    {"test size line", {"testSizeMode = -1\ncapacity_test = 55\n", 16, 55, nullptr}},
    {"unknown test size mode", {"testSizeMode = 9\ncapacity_test = 56\n", 16, 56, nullptr}},
};
// clang-format on

int32_t* wordsOf(SettingRecord& r) {
    return reinterpret_cast<int32_t*>(&r);
}

bool cutPower() {
    return false;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaults_data() {
        QTest::addColumn<QList<int>>("row"); // reset, port count, variant, COPYTIMECOUNT
        QTest::newRow("load, 121 ports") << QList<int>{0, 121, 0, 3};
        QTest::newRow("load, 51 ports") << QList<int>{0, 51, 2, 3};
        QTest::newRow("load, 8 ports variant 3") << QList<int>{0, 8, 3, 15};
        QTest::newRow("load, 8 ports variant 0") << QList<int>{0, 8, 0, 30};
        QTest::newRow("load, 48 ports variant 3") << QList<int>{0, 48, 3, 30};
        QTest::newRow("reset, 121 ports") << QList<int>{1, 121, 0, 3};
        QTest::newRow("reset, 8 ports variant 3") << QList<int>{1, 8, 3, 15};
    }

    // Factory values are the load defaults but mode 0 and 64K blocks; the colours stay.
    void defaults() {
        QFETCH(QList<int>, row);
        SettingRecord r;
        memset(&r, 0x5A, sizeof r);
        r.port_count = row[1];
        r.machine_variant = row[2];
        row[0] ? settings::factoryReset(r) : settings::loadDefaults(r);
        int want[75];
        memcpy(want, kLoadDefaults, sizeof want);
        want[9] = row[1];
        want[15] = row[2];
        want[30] = row[3];
        if (row[0]) {
            want[2] = 0;
            want[16] = want[17] = 65536;
            std::fill(want + 64, want + 73, J);
        }
        for (int i = 0; i < 75; ++i)
            QVERIFY2(wordsOf(r)[i] == want[i], qPrintable(QString("offset %1").arg(4 * i)));
    }

    void parse_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : kParse.keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void parse() {
        QFETCH(QString, name);
        const Parse row = kParse[name];
        TempWorkDir work;
        if (row.file)
            writeAll(work.file(".h2config"), row.file);
        SettingRecord r{};
        settings::loadDefaults(r);
        StdoutCapture out;
        QCOMPARE(settings::parseFile(r, ".h2config"), row.file ? 0 : -1);
        QCOMPARE(wordsOf(r)[row.offset / 4], row.value);
        if (row.output)
            QVERIFY2(*row.output ? out.text().contains(row.output) : out.text().isEmpty(),
                     out.text());
        QCOMPARE(QFileInfo::exists(work.file(".h2config")), row.file != nullptr);
    }

    void storedForm() {
        TempWorkDir work;
        SettingRecord r;
        for (int i = 0; i < 75; ++i)
            wordsOf(r)[i] = 1000 + i;
        r.mode = -2;
        r.testSizeMode = 1;
        r.testSizeM = 10;
        QCOMPARE(settings::storeFile(r, ".h2config"), 0);
        QCOMPARE(r.capacity_test, 10240); // recomputed by every store
        QByteArray expected;
        for (const auto& [key, index] : kStoredKeys)
            expected += key + " = " + QByteArray::number(wordsOf(r)[index]) + "\n";
        QCOMPARE(readAll(work.file(".h2config")), expected);
        struct stat st {};
        QCOMPARE(stat(".h2config", &st), 0);
        QCOMPARE(st.st_mode & 0777, 0644u);
        SettingRecord back{};
        StdoutCapture quiet;
        settings::parseFile(back, ".h2config");
        for (const auto& [key, index] : kStoredKeys)
            QVERIFY2(wordsOf(back)[index] == wordsOf(r)[index], key);
    }

    void masterClearOnLoad() {
        TempWorkDir work;
        writeAll(work.file(".h2config"),
                 "MASTERCLEAR = 1\nmode = 4\ncapfil_color_3 = 1234\ncapfil_enable_2 = 1\n");
        SettingRecord profile{};
        profile.port_count = 51;
        commitSetting(profile);
        StdoutCapture log;
        readSetting();
        const SettingRecord r = snapshotSetting();
        QCOMPARE(r.mode, 0);
        QCOMPARE(r.MASTERCLEAR, 0);
        QCOMPARE(r.capfil_enable[1], 0);
        QCOMPARE(r.capfil_color[2], 1234);
        QVERIFY(log.text().contains("resetting 3\n"));
        const QByteArray stored = readAll(work.file(".h2config"));
        for (const char* line :
             {"\nmode = 0\n", "\nMASTERCLEAR = 0\n", "\ncapfil_color_3 = 1234\n"})
            QVERIFY2(stored.contains(line), line);
    }

    void fixedMachineFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("profile");
        QTest::addColumn<QByteArray>("message");
        // clang-format off
        QTest::newRow("comment then profile") << QByteArray("# cabinet\n48 0 3 0\n") << QList<int>{48, 0, 3, 0} << QByteArray();
        QTest::newRow("two numbers") << QByteArray("8 2\n") << QList<int>{8, 2, 3, 0} << QByteArray("Can not parse ret=2 8 2\n");
        QTest::newRow("first full line wins") << QByteArray("121 0 1 2\n8 2 0 3\n") << QList<int>{121, 0, 1, 2} << QByteArray();
        QTest::newRow("missing") << QByteArray() << QList<int>{32, 0, 3, 0} << QByteArray("Fail to open fix\n");
        // clang-format on
    }

    void fixedMachineFile() {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, profile);
        QFETCH(QByteArray, message);
        TempRoot root;
        if (!file.isEmpty())
            root.writeFile(kFixedMachineFile, file);
        SettingRecord r{};
        r.port_count = 7;
        r.machine_variant = 9;
        StdoutCapture out;
        settings::readFixedMachineFile(r, root.path(kFixedMachineFile).toStdString());
        QCOMPARE((QList<int>{r.port_count, r.machine_type, r.board_model, r.machine_variant}),
                 profile);
        QCOMPARE(r.length, 300);
        QCOMPARE(out.text(), message);
        readFixSetting(); // the panel's own reads the file inside the root
        QCOMPARE(snapshotSetting().port_count, profile[0]);
    }

    void failedStoreKeepsTheOldFile_data() {
        QTest::addColumn<bool>("powerCut");
        QTest::newRow("power cut before the rename") << true;
        QTest::newRow("no room for the new file") << false;
    }

    void failedStoreKeepsTheOldFile() {
        QFETCH(bool, powerCut);
        TempWorkDir work;
        writeAll(work.file(".h2config"), "mode = 3\n");
        // A directory in the way of the new file fails the store as a full disk would, for root
        // too.
        QVERIFY(powerCut || QDir(work.path()).mkdir(".h2config.tmp"));
        settings::setStoreInterruption(powerCut ? &cutPower : nullptr);
        SettingRecord r{};
        r.testSizeMode = 1;
        r.capacity_test = 9;
        StdoutCapture log;
        QCOMPARE(settings::storeFile(r, ".h2config"), -1);
        settings::setStoreInterruption(nullptr);
        QCOMPARE(readAll(work.file(".h2config")), QByteArray("mode = 3\n"));
        QCOMPARE(QFileInfo::exists(work.file(".h2config.tmp")), !powerCut);
        QCOMPARE(log.text().contains("Fail to create CONFIG_FILE"), !powerCut);
        QCOMPARE(r.capacity_test, powerCut ? 0 : 9); // recomputed only once written
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
