// The tester's settings dialog, driven through its widgets: what it shows for a stored
// record, what OK stores, what Cancel leaves alone, the master-clear command and the
// language switch.

#include "dialogs/settingdialog.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/modal_answer.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

class TestSettingDialog : public QObject {
    Q_OBJECT
private slots:
    void speedItemsStoreTheirValues_data();
    void speedItemsStoreTheirValues();
    void speedListsShowStoredValues_data();
    void speedListsShowStoredValues();
    void testRangeRoundTrip_data();
    void testRangeRoundTrip();
    void storedModeChoosesButtonAndPage_data();
    void storedModeChoosesButtonAndPage();
    void modeButtonsStoreModeAndTurnPage_data();
    void modeButtonsStoreModeAndTurnPage();
    void blockButtons_data();
    void blockButtons();
    void storedBlocksShowTheirButtons_data();
    void storedBlocksShowTheirButtons();
    void flagFollowsStoredValueNotTheBox_data();
    void flagFollowsStoredValueNotTheBox();
    void masterResetSendsOnceAfterStoring();
    void cancelLeavesEverythingAlone();
    void languageSwitchOnlyOnChange_data();
    void languageSwitchOnlyOnChange();
    void formatAndBurnPagesRoundTrip();
    void gradingEditsReachTheRecordOnOk();
};

void TestSettingDialog::speedItemsStoreTheirValues_data() {
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("stored");
    QTest::newRow("write 18") << QByteArray("comboBox_2") << 18 << 130;
    QTest::newRow("write 37 (last)") << QByteArray("comboBox_2") << 37 << 320;
    QTest::newRow("write 1") << QByteArray("comboBox_2") << 1 << 5;
    QTest::newRow("write 5") << QByteArray("comboBox_2") << 5 << 9;
    QTest::newRow("write 6") << QByteArray("comboBox_2") << 6 << 10;
    QTest::newRow("read 1") << QByteArray("comboBox_3") << 1 << 10;
    QTest::newRow("read 32 (last)") << QByteArray("comboBox_3") << 32 << 320;
}

void TestSettingDialog::speedItemsStoreTheirValues() {
    QFETCH(QByteArray, box);
    QFETCH(int, index);
    QFETCH(int, stored);
    DialogBed bed;
    editSetting([](SettingRecord& r) {
        r.write_speed = 40;
        r.read_speed = 40;
    });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        showPage(&d, "tab_h2");
        auto* combo = child<QComboBox>(&d, box.constData());
        QCOMPARE(combo->count(), box == "comboBox_2" ? 38 : 33);
        combo->setCurrentIndex(index);
    });
    const int other = box == "comboBox_2" ? mSetting.read_speed : mSetting.write_speed;
    QCOMPARE(box == "comboBox_2" ? mSetting.write_speed : mSetting.read_speed, stored);
    QCOMPARE(other, 40);
}

void TestSettingDialog::speedListsShowStoredValues_data() {
    QTest::addColumn<int>("write");
    QTest::addColumn<int>("read");
    QTest::addColumn<QString>("writeText");
    QTest::addColumn<QString>("readText");
    QTest::newRow("in the lists") << 7 << 160 << "7MB/s"
                                  << "160MB/s";
    QTest::newRow("top of the lists") << 320 << 320 << "320MB/s"
                                      << "320MB/s";
    QTest::newRow("not in the lists") << 33 << 15 << "0"
                                      << "0";
}

void TestSettingDialog::speedListsShowStoredValues() {
    QFETCH(int, write);
    QFETCH(int, read);
    QFETCH(QString, writeText);
    QFETCH(QString, readText);
    DialogBed bed;
    editSetting([&](SettingRecord& r) {
        r.write_speed = write;
        r.read_speed = read;
    });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        QCOMPARE(child<QComboBox>(&d, "comboBox_2")->currentText(), writeText);
        QCOMPARE(child<QComboBox>(&d, "comboBox_3")->currentText(), readText);
    });
    // Only the boxes' own slots write the speeds: an unlisted value survives an untouched OK.
    QCOMPARE(mSetting.write_speed, write);
    QCOMPARE(mSetting.read_speed, read);
}

void TestSettingDialog::testRangeRoundTrip_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("reg");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("storedMode");
    QTest::addColumn<int>("storedReg");
    QTest::addColumn<int>("capacity");
    QTest::newRow("megabytes") << 1 << 819200 << "test_m" << 1 << 819200 << 250 * 1024;
    QTest::newRow("percent") << 0 << 102400 << "test_percent" << 0 << 102400 << 40;
    QTest::newRow("preset") << 2 << 4194304 << "test_regular" << 2 << 4194304 << 4194304;
    QTest::newRow("no mode saves percent, odd preset saves first")
        << -1 << 12345 << "" << 0 << 102400 << 40;
}

void TestSettingDialog::testRangeRoundTrip() {
    QFETCH(int, mode);
    QFETCH(int, reg);
    QFETCH(QString, checked);
    QFETCH(int, storedMode);
    QFETCH(int, storedReg);
    QFETCH(int, capacity);
    DialogBed bed;
    editSetting([&](SettingRecord& r) {
        r.testSizeMode = mode;
        r.testSizePercent = 40;
        r.testSizeM = 250;
        r.testSizeReg = reg;
    });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        QCOMPARE(child<QSpinBox>(&d, "spinBox")->value(), 40);
        QCOMPARE(child<QSpinBox>(&d, "spinBox_test_m")->value(), 250);
        for (const char* name : {"test_percent", "test_m", "test_regular"})
            QCOMPARE(child<QRadioButton>(&d, name)->isChecked(), checked == name);
    });
    QCOMPARE(mSetting.testSizeMode, storedMode);
    QCOMPARE(mSetting.testSizePercent, 40);
    QCOMPARE(mSetting.testSizeM, 250);
    QCOMPARE(mSetting.testSizeReg, storedReg);
    QCOMPARE(mSetting.capacity_test, capacity); // derived by the store
    QVERIFY(bed.storedFile().contains("testSizeM = 250\n"));
}

void TestSettingDialog::storedModeChoosesButtonAndPage_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::newRow("H2 test") << 0 << "testmode"
                             << "tab_h2";
    QTest::newRow("format") << 1 << "formatmode"
                            << "tab_format";
    QTest::newRow("H5 test") << 2 << "h5testmode"
                             << "tab_h2";
    QTest::newRow("burn-in") << 7 << "burnin_mode"
                             << "tab_burn";
    QTest::newRow("H2 verify") << 9 << "testcmode"
                               << "tab_h2";
    QTest::newRow("protocol analysis") << 11 << "panalysis"
                                       << "tab_h2";
    // A copier mode: the form's own state, burn-in checked on its second page.
    QTest::newRow("copy mode") << 5 << "burnin_mode"
                               << "tab_burn";
}

void TestSettingDialog::storedModeChoosesButtonAndPage() {
    QFETCH(int, mode);
    QFETCH(QString, button);
    QFETCH(QString, page);
    DialogBed bed;
    editSetting([&](SettingRecord& r) { r.mode = mode; });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        QCOMPARE(currentPage(&d), page);
        for (const char* name :
             {"testmode", "formatmode", "h5testmode", "burnin_mode", "testcmode", "panalysis"})
            QCOMPARE(child<QRadioButton>(&d, name)->isChecked(), button == name);
    });
    QCOMPARE(mSetting.mode, mode);
}

void TestSettingDialog::modeButtonsStoreModeAndTurnPage_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("page");
    QTest::newRow("format") << QByteArray("formatmode") << 1 << "tab_format";
    QTest::newRow("H5") << QByteArray("h5testmode") << 2 << "tab_h2";
    QTest::newRow("burn-in") << QByteArray("burnin_mode") << 7 << "tab_burn";
    QTest::newRow("H2 verify") << QByteArray("testcmode") << 9 << "tab_h2";
    QTest::newRow("analysis") << QByteArray("panalysis") << 11 << "tab_h2";
}

void TestSettingDialog::modeButtonsStoreModeAndTurnPage() {
    QFETCH(QByteArray, button);
    QFETCH(int, mode);
    QFETCH(QString, page);
    DialogBed bed;
    editSetting([](SettingRecord& r) { r.mode = 0; });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        clickBox(child<QRadioButton>(&d, button.constData()));
        QCOMPARE(currentPage(&d), page);
        QCOMPARE(d.workingCopy().mode, mode);
        QCOMPARE(mSetting.mode, 0); // nothing reaches the record before OK
    });
    QCOMPARE(mSetting.mode, mode);
}

void TestSettingDialog::blockButtons_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("testBlock");
    QTest::addColumn<int>("burninBlock");
    // Stored before: test_block 1048576 (no button), burnin_block 65536.
    QTest::newRow("4K") << QByteArray("tab_h2") << QByteArray("test_4k") << 4096 << 65536;
    QTest::newRow("2M") << QByteArray("tab_h2") << QByteArray("test_2m") << 2097152 << 65536;
    QTest::newRow("AUTO") << QByteArray("tab_h2") << QByteArray("test_autoblk") << 0 << 65536;
    QTest::newRow("burn 4K") << QByteArray("tab_burn") << QByteArray("burn_block_4k") << 1048576
                             << 4096;
    QTest::newRow("burn 128K") << QByteArray("tab_burn") << QByteArray("burnin_block_128k")
                               << 1048576 << 131072;
    QTest::newRow("burn 4M") << QByteArray("tab_burn") << QByteArray("burnin_block_4m") << 1048576
                             << 4194304;
    QTest::newRow("untouched") << QByteArray() << QByteArray() << 1048576 << 65536;
}

void TestSettingDialog::blockButtons() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, button);
    QFETCH(int, testBlock);
    QFETCH(int, burninBlock);
    DialogBed bed;
    editSetting([](SettingRecord& r) {
        r.test_block = 1048576;
        r.burnin_block = 65536;
    });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        QVERIFY(child<QRadioButton>(&d, "test_autoblk")->isChecked());
        if (!button.isEmpty()) {
            showPage(&d, page.constData());
            clickBox(child<QRadioButton>(&d, button.constData()));
        }
    });
    QCOMPARE(mSetting.test_block, testBlock);
    QCOMPARE(mSetting.burnin_block, burninBlock);
}

void TestSettingDialog::storedBlocksShowTheirButtons_data() {
    QTest::addColumn<int>("testBlock");
    QTest::addColumn<int>("burninBlock");
    QTest::addColumn<QString>("testButton");
    QTest::addColumn<QString>("burnButton"); // "" none
    QTest::newRow("64K and 256K") << 65536 << 262144 << "test_64k"
                                  << "burnin_block_256k";
    QTest::newRow("4K and 2M") << 4096 << 2097152 << "test_4k"
                               << "burnin_block_2m";
    QTest::newRow("automatic and unknown") << 0 << 12345 << "test_autoblk"
                                           << "";
}

void TestSettingDialog::storedBlocksShowTheirButtons() {
    QFETCH(int, testBlock);
    QFETCH(int, burninBlock);
    QFETCH(QString, testButton);
    QFETCH(QString, burnButton);
    DialogBed bed;
    editSetting([&](SettingRecord& r) {
        r.test_block = testBlock;
        r.burnin_block = burninBlock;
    });
    SettingDialog d;
    QVERIFY(child<QRadioButton>(&d, testButton.toLatin1().constData())->isChecked());
    for (const char* name :
         {"burn_block_4k", "burn_block_64k", "burnin_block_128k", "burnin_block_256k",
          "burnin_block_1m", "burnin_block_2m", "burnin_block_4m"})
        QCOMPARE(child<QRadioButton>(&d, name)->isChecked(), burnButton == name);
}

void TestSettingDialog::flagFollowsStoredValueNotTheBox_data() {
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("flag");
    QTest::addColumn<bool>("shown"); // what the box shows just before the click
    QTest::addColumn<int>("after");
    QTest::newRow("after format on")
        << QByteArray("after_format") << QByteArray("tab_h2") << 1 << true << 0;
    QTest::newRow("after format off")
        << QByteArray("after_format") << QByteArray("tab_h2") << 0 << false << 1;
    QTest::newRow("after format disagreeing")
        << QByteArray("after_format") << QByteArray("tab_h2") << 1 << false << 0;
    QTest::newRow("volume keep disagreeing")
        << QByteArray("volumekeep") << QByteArray("tab_format") << 0 << true << 1;
    QTest::newRow("analysis on") << QByteArray("analysis_pre") << QByteArray("tab_h2") << 1 << true
                                 << 0;
    QTest::newRow("analysis disagreeing")
        << QByteArray("analysis_pre") << QByteArray("tab_h2") << 0 << true << 1;
}

void TestSettingDialog::flagFollowsStoredValueNotTheBox() {
    QFETCH(QByteArray, box);
    QFETCH(QByteArray, page);
    QFETCH(int, flag);
    QFETCH(bool, shown);
    QFETCH(int, after);
    DialogBed bed;
    editSetting([&](SettingRecord& r) {
        r.after_format = flag;
        r.volumekeep = flag;
        r.analysisPre = flag;
    });
    acceptWith<SettingDialog>([&](SettingDialog& d) {
        showPage(&d, page.constData());
        auto* check = child<QCheckBox>(&d, box.constData());
        QCOMPARE(check->isChecked(), flag != 0);
        check->setChecked(shown); // a box out of step with its flag
        clickBox(check);
        QCOMPARE(check->isChecked(), after != 0);
    });
    const int stored = box == "after_format" ? mSetting.after_format
                       : box == "volumekeep" ? mSetting.volumekeep
                                             : mSetting.analysisPre;
    QCOMPARE(stored, after);
}

void TestSettingDialog::masterResetSendsOnceAfterStoring() {
    DialogBed bed;
    // The tester dialog shows the stored flag.
    checkMasterReset<SettingDialog>(bed, true);
}

void TestSettingDialog::cancelLeavesEverythingAlone() {
    DialogBed bed;
    const SettingRecord before = snapshotSetting();
    SettingDialog d;
    auto picked = answerModal<QColorDialog>([](QColorDialog* c) {
        c->setCurrentColor(Qt::red);
        c->accept();
    });
    const int result = execWith(d, [&] {
        clickBox(child<QRadioButton>(&d, "formatmode"));
        showPage(&d, "tab_h2");
        child<QComboBox>(&d, "comboBox_2")->setCurrentIndex(20);
        clickBox(child<QCheckBox>(&d, "after_format"));
        child<QSpinBox>(&d, "spinBox")->setValue(12);
        child<QComboBox>(&d, "language")->setCurrentIndex(1);
        showPage(&d, "tab");
        QTest::mouseClick(child<QToolButton>(&d, "capfil_color4"), Qt::LeftButton);
        pressCancel(d);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(*picked);
    QCOMPARE(d.workingCopy().capfil_color[3], 0xFF0000);
    QVERIFY(memcmp(&mSetting, &before, sizeof before) == 0);
    QVERIFY(bed.storedFile().isEmpty());
    QCOMPARE(bed.languageChanges(), 0);
}

void TestSettingDialog::languageSwitchOnlyOnChange_data() {
    addLanguageRows();
}

void TestSettingDialog::languageSwitchOnlyOnChange() {
    QFETCH(int, stored);
    QFETCH(int, picked);
    QFETCH(int, installs);
    DialogBed bed;
    checkLanguagePick<SettingDialog>(bed, snapshotSetting(), stored, picked, installs);
}

void TestSettingDialog::formatAndBurnPagesRoundTrip() {
    DialogBed bed;
    editSetting([](SettingRecord& r) {
        r.format_type = 3;
        r.burnin_data = 2;
        r.burnin_cycle = 7;
        r.burnin_time = 24;
        r.burnin_content = 50;
        r.createMBR = 1;
    });
    acceptWith<SettingDialog>([](SettingDialog& d) {
        QVERIFY(child<QRadioButton>(&d, "formatfat32")->isChecked());
        QVERIFY(child<QRadioButton>(&d, "all_1")->isChecked());
        QVERIFY(child<QCheckBox>(&d, "create_mbr")->isChecked());
        QCOMPARE(child<QSpinBox>(&d, "test_cycle")->value(), 7);
        QCOMPARE(child<QSpinBox>(&d, "test_time")->value(), 24);
        QCOMPARE(child<QSpinBox>(&d, "test_content")->value(), 50);
        showPage(&d, "tab_format");
        clickBox(child<QRadioButton>(&d, "formatfat64"));
        clickBox(child<QCheckBox>(&d, "create_mbr"));
        showPage(&d, "tab_burn");
        clickBox(child<QRadioButton>(&d, "all_0"));
        child<QSpinBox>(&d, "test_time")->setValue(240);
        child<QSpinBox>(&d, "test_content")->setValue(100);
    });
    QCOMPARE(mSetting.format_type, 4);
    QCOMPARE(mSetting.createMBR, 0);
    QCOMPARE(mSetting.burnin_data, 1);
    QCOMPARE(mSetting.burnin_cycle, 7);
    QCOMPARE(mSetting.burnin_time, 240);
    QCOMPARE(mSetting.burnin_content, 100);
}

void TestSettingDialog::gradingEditsReachTheRecordOnOk() {
    DialogBed bed;
    editSetting([](SettingRecord& r) { r.capfil_format_enable = 1; });
    auto picked = answerModal<QColorDialog>([](QColorDialog* c) {
        c->setCurrentColor(QColor(0x12, 0x34, 0x56));
        c->accept();
    });
    acceptWith<SettingDialog>([](SettingDialog& d) {
        QVERIFY(child<QCheckBox>(&d, "format_capfil_en")->isChecked());
        QVERIFY(!child<QCheckBox>(&d, "test_capfil_en")->isChecked());
        showPage(&d, "tab_h2");
        clickBox(child<QCheckBox>(&d, "test_capfil_en"));
        showPage(&d, "tab");
        clickBox(child<QCheckBox>(&d, "capfil_en2"));
        child<QSpinBox>(&d, "capfil_low2")->setValue(100);
        QTest::mouseClick(child<QToolButton>(&d, "capfil_color2"), Qt::LeftButton);
    });
    QVERIFY(*picked);
    QCOMPARE(mSetting.capfil_test_enable, 1);
    QCOMPARE(mSetting.capfil_format_enable, 1);
    QCOMPARE(mSetting.capfil_enable[1], 1);
    QCOMPARE(mSetting.capfil_low[1], 100);
    QCOMPARE(mSetting.capfil_color[1], 0x123456);
    QVERIFY(bed.storedFile().contains("capfil_color_2 = 1193046\n"));
}

QTEST_MAIN(TestSettingDialog)
#include "tst_setting_dialog.moc"
