// The TF tester's settings dialog, driven through its widgets: modes that leave the page
// alone, block and range buttons sharing one slot, what OK rewrites and what it keeps,
// master reset, the MBR box and Cancel.

#include "dialogs/settingdialog_tf.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {

const QStringList kBlocks = {"test_4k", "test_64k", "test_2m", "test_autoblk"};

} // namespace

class TestTfDialog : public QObject {
    Q_OBJECT
private slots:
    void modesNeverTurnThePage_data();
    void modesNeverTurnThePage();
    void blockAndRangeButtons_data();
    void blockAndRangeButtons();
    void okRewritesBoxesAndKeepsSlotFields();
    void writeSpeedIndexes_data();
    void writeSpeedIndexes();
    void createMbrEditsTheStoredFlag_data();
    void createMbrEditsTheStoredFlag();
    void masterResetOpensUncheckedAndSendsOnce();
    void languageSwitch_data();
    void languageSwitch();
    void gradingAndCancel();
};

void TestTfDialog::modesNeverTurnThePage_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("click");
    QTest::addColumn<int>("saved");
    QTest::newRow("H2 test, pick format") << 0 << "testmode" << QByteArray("formatmode") << 1;
    QTest::newRow("format, pick H5") << 1 << "formatmode" << QByteArray("h5testmode") << 2;
    QTest::newRow("H5, pick H2") << 2 << "h5testmode" << QByteArray("testmode") << 0;
    QTest::newRow("copy mode shows none, survives") << 5 << "" << QByteArray() << 5;
}

void TestTfDialog::modesNeverTurnThePage() {
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(QByteArray, click);
    QFETCH(int, saved);
    DialogBed bed;
    editSetting([&](SettingRecord& r) { r.mode = stored; });
    acceptWith<SettingDialog_tf>([&](SettingDialog_tf& d) {
        QCOMPARE(currentPage(&d, "tabWidget"), QStringLiteral("tab_2"));
        QCOMPARE(checkedButtons(&d, {"testmode", "formatmode", "h5testmode"}), shown);
        if (!click.isEmpty()) {
            showPage(&d, "tab");
            clickBox(child<QRadioButton>(&d, click.constData()));
            QCOMPARE(currentPage(&d, "tabWidget"), QStringLiteral("tab"));
            showPage(&d, "tab_3");
            clickBox(child<QRadioButton>(&d, click.constData()));
            QCOMPARE(currentPage(&d, "tabWidget"), QStringLiteral("tab_3"));
        }
    });
    QCOMPARE(mSetting.mode, saved);
}

void TestTfDialog::blockAndRangeButtons_data() {
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("rangeMode");
    QTest::addColumn<QString>("shownBlock");
    QTest::addColumn<QByteArray>("quietlyCheck"); // checked without a click beforehand
    QTest::addColumn<QByteArray>("click");
    QTest::addColumn<int>("savedBlock");
    QTest::addColumn<int>("savedMode");
    QTest::newRow("range click, unlisted block kept")
        << 1048576 << 0 << "" << QByteArray() << QByteArray("test_m") << 1048576 << 1;
    QTest::newRow("range click, 64K kept")
        << 65536 << 2 << "test_64k" << QByteArray() << QByteArray("test_m") << 65536 << 1;
    QTest::newRow("range click re-reads the block group")
        << 65536 << 0 << "test_64k" << QByteArray("test_2m") << QByteArray("test_regular")
        << 2097152 << 2;
    QTest::newRow("block click re-reads the range group")
        << 4096 << 2 << "test_4k" << QByteArray("test_percent") << QByteArray("test_autoblk") << 0
        << 0;
    QTest::newRow("block click without range")
        << 0 << -1 << "test_autoblk" << QByteArray() << QByteArray("test_4k") << 4096 << 0;
    QTest::newRow("untouched keeps both")
        << 1048576 << -1 << "" << QByteArray() << QByteArray() << 1048576 << -1;
}

void TestTfDialog::blockAndRangeButtons() {
    QFETCH(int, block);
    QFETCH(int, rangeMode);
    QFETCH(QString, shownBlock);
    QFETCH(QByteArray, quietlyCheck);
    QFETCH(QByteArray, click);
    QFETCH(int, savedBlock);
    QFETCH(int, savedMode);
    DialogBed bed;
    editSetting([&](SettingRecord& r) {
        r.test_block = block;
        r.testSizeMode = rangeMode;
    });
    acceptWith<SettingDialog_tf>([&](SettingDialog_tf& d) {
        QCOMPARE(checkedButtons(&d, kBlocks), shownBlock);
        showPage(&d, "tab");
        if (!quietlyCheck.isEmpty())
            child<QRadioButton>(&d, quietlyCheck.constData())->setChecked(true);
        if (!click.isEmpty())
            clickBox(child<QRadioButton>(&d, click.constData()));
    });
    QCOMPARE(mSetting.test_block, savedBlock);
    QCOMPARE(mSetting.testSizeMode, savedMode);
}

void TestTfDialog::okRewritesBoxesAndKeepsSlotFields() {
    DialogBed bed;
    editSetting([](SettingRecord& r) {
        r.testSizeMode = 2;
        r.testSizePercent = 0;  // below the box's range
        r.testSizeM = 5000;     // above it
        r.testSizeReg = 123456; // no preset
        r.format_type = 5;      // no button here
        r.after_format = 1;
        r.write_speed = 33;
    });
    acceptWith<SettingDialog_tf>([](SettingDialog_tf& d) {
        QVERIFY(child<QRadioButton>(&d, "test_regular")->isChecked());
        QCOMPARE(child<QComboBox>(&d, "comboBox_test_number")->currentText(),
                 QStringLiteral("100M"));
        QVERIFY(child<QCheckBox>(&d, "after_format")->isChecked());
        QCOMPARE(checkedButtons(
                     &d, {"formatkeep", "formatauto", "formatfat16", "formatfat32", "formatfat64"}),
                 QString());
    });
    QCOMPARE(mSetting.testSizeMode, 2);
    QCOMPARE(mSetting.testSizePercent, 1);
    QCOMPARE(mSetting.testSizeM, 900);
    QCOMPARE(mSetting.testSizeReg, 102400);
    QCOMPARE(mSetting.capacity_test, 102400);
    QCOMPARE(mSetting.format_type, 5);
    QCOMPARE(mSetting.after_format, 1);
    QCOMPARE(mSetting.write_speed, 33);
}

void TestTfDialog::writeSpeedIndexes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("stored");
    QTest::newRow("18") << 18 << 130;
    QTest::newRow("37") << 37 << 320;
    QTest::newRow("1") << 1 << 5;
}

void TestTfDialog::writeSpeedIndexes() {
    QFETCH(int, index);
    QFETCH(int, stored);
    DialogBed bed;
    acceptWith<SettingDialog_tf>([&](SettingDialog_tf& d) {
        showPage(&d, "tab");
        child<QComboBox>(&d, "comboBox_2")->setCurrentIndex(index);
        QCOMPARE(child<QComboBox>(&d, "comboBox_3")->count(), 33);
    });
    QCOMPARE(mSetting.write_speed, stored);
}

void TestTfDialog::createMbrEditsTheStoredFlag_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("click");
    QTest::addColumn<int>("saved");
    QTest::newRow("shown and kept") << 1 << false << 1;
    QTest::newRow("cleared") << 1 << true << 0;
    QTest::newRow("set") << 0 << true << 1;
}

void TestTfDialog::createMbrEditsTheStoredFlag() {
    QFETCH(int, stored);
    QFETCH(bool, click);
    QFETCH(int, saved);
    DialogBed bed;
    editSetting([&](SettingRecord& r) { r.createMBR = stored; });
    acceptWith<SettingDialog_tf>([&](SettingDialog_tf& d) {
        QCOMPARE(child<QCheckBox>(&d, "create_mbr")->isChecked(), stored != 0);
        if (click)
            clickBox(child<QCheckBox>(&d, "create_mbr"));
    });
    QCOMPARE(mSetting.createMBR, saved);
}

void TestTfDialog::masterResetOpensUncheckedAndSendsOnce() {
    DialogBed bed;
    checkMasterReset<SettingDialog_tf>(bed, false);
}

void TestTfDialog::languageSwitch_data() {
    addLanguageRows();
}

void TestTfDialog::languageSwitch() {
    QFETCH(int, stored);
    QFETCH(int, picked);
    QFETCH(int, installs);
    DialogBed bed;
    checkLanguagePick<SettingDialog_tf>(bed, snapshotSetting(), stored, picked, installs);
}

void TestTfDialog::gradingAndCancel() {
    DialogBed bed;
    const SettingRecord before = snapshotSetting();
    {
        SettingDialog_tf d;
        const int result = execWith(d, [&] {
            showPage(&d, "tab_3");
            clickBox(child<QCheckBox>(&d, "capfil_en9"));
            clickBox(child<QRadioButton>(&d, "formatmode"));
            pressCancel(d);
        });
        QCOMPARE(result, int(QDialog::Rejected));
    }
    QVERIFY(memcmp(&mSetting, &before, sizeof before) == 0);
    QVERIFY(bed.storedFile().isEmpty());

    acceptWith<SettingDialog_tf>([](SettingDialog_tf& d) {
        showPage(&d, "tab_3");
        clickBox(child<QCheckBox>(&d, "capfil_en9"));
        child<QSpinBox>(&d, "capfil_high9")->setValue(999999999);
        showPage(&d, "tab_2");
        clickBox(child<QCheckBox>(&d, "format_capfil_en"));
    });
    QCOMPARE(mSetting.capfil_enable[8], 1);
    QCOMPARE(mSetting.capfil_high[8], 999999999);
    QCOMPARE(mSetting.capfil_format_enable, 1);
    QCOMPARE(mSetting.capfil_test_enable, 0);
}

QTEST_MAIN(TestTfDialog)
#include "tst_tf_dialog.moc"
