// The SSD copier's settings dialog, driven through its widgets: the stored record on
// opening, OK's forced speed and block, the countdown, master reset and Cancel.

#include "dialogs/settingdlg_ssd.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/modal_answer.h"
#include "support/stdout_capture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

namespace {

const QStringList kModes = {"fullcopycompare", "fullcopy", "datacopycompare", "datacopy",
                            "wipemode"};
const QStringList kCaps = {"copycap0",  "copycap5",  "copycap10", "copycap15",
                           "copycap20", "copycap30", "copycap00"};

} // namespace

class TestSsdDialog : public QObject {
    Q_OBJECT
private slots:
    void storedModeChoosesButtonAndPage_data();
    void storedModeChoosesButtonAndPage();
    void modeButtonsStoreModeAndTurnPage_data();
    void modeButtonsStoreModeAndTurnPage();
    void capacityDifference_data();
    void capacityDifference();
    void okForcesSpeedAndTestBlock_data();
    void okForcesSpeedAndTestBlock();
    void countdown_data();
    void countdown();
    void wipePattern();
    void masterResetOpensUncheckedAndSendsOnce();
    void cancelStoresNothing();
    void exportButtonRunsTheExport();
};

void TestSsdDialog::storedModeChoosesButtonAndPage_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::newRow("H2 test") << 0 << ""
                             << "tab_h2";
    QTest::newRow("format") << 1 << ""
                            << "tab_h2";
    QTest::newRow("full copy and compare") << 3 << "fullcopycompare"
                                           << "tab_copy";
    QTest::newRow("full copy") << 4 << "fullcopy"
                               << "tab_copy";
    QTest::newRow("data copy") << 6 << "datacopy"
                               << "tab_copy";
    QTest::newRow("wipe") << 10 << "wipemode"
                          << "tab_h2";
    QTest::newRow("analysis") << 11 << ""
                              << "tab_h2";
    QTest::newRow("full compare") << 12 << ""
                                  << "tab_copy";
}

void TestSsdDialog::storedModeChoosesButtonAndPage() {
    QFETCH(int, mode);
    QFETCH(QString, button);
    QFETCH(QString, page);
    DialogBed bed(8, 2, 2);
    editSetting([&](SettingRecord& r) { r.mode = mode; });
    acceptWith<SettingDlg_ssd>([&](SettingDlg_ssd& d) {
        QCOMPARE(child<QTabWidget>(&d, "tabCopy")->currentWidget()->objectName(), page);
        QCOMPARE(checkedButtons(&d, kModes), button);
    });
    QCOMPARE(mSetting.mode, mode);
}

void TestSsdDialog::modeButtonsStoreModeAndTurnPage_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("page");
    QTest::newRow("wipe") << QByteArray("wipemode") << 10 << "tab_h2";
    QTest::newRow("data copy and compare") << QByteArray("datacopycompare") << 5 << "tab_copy";
    QTest::newRow("full copy") << QByteArray("fullcopy") << 4 << "tab_copy";
}

void TestSsdDialog::modeButtonsStoreModeAndTurnPage() {
    QFETCH(QByteArray, button);
    QFETCH(int, mode);
    QFETCH(QString, page);
    DialogBed bed(8, 2, 2);
    editSetting([](SettingRecord& r) { r.mode = 0; });
    acceptWith<SettingDlg_ssd>([&](SettingDlg_ssd& d) {
        clickBox(child<QRadioButton>(&d, button.constData()));
        QCOMPARE(child<QTabWidget>(&d, "tabCopy")->currentWidget()->objectName(), page);
        QCOMPARE(mSetting.mode, 0);
    });
    QCOMPARE(mSetting.mode, mode);
}

void TestSsdDialog::capacityDifference_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("click"); // "" leaves the group alone
    QTest::addColumn<int>("saved");
    QTest::newRow("30 shows -30%~30%") << 30 << "copycap30" << QByteArray() << 30;
    QTest::newRow("-1 shows 0%~0%") << -1 << "copycap00" << QByteArray() << -1;
    QTest::newRow("0 shows >0%") << 0 << "copycap0" << QByteArray() << 0;
    QTest::newRow("unknown shows none, survives") << 7 << "" << QByteArray() << 7;
    QTest::newRow("pick 0%~0%") << 15 << "copycap15" << QByteArray("copycap00") << -1;
    QTest::newRow("pick >0%") << -1 << "copycap00" << QByteArray("copycap0") << 0;
    QTest::newRow("pick -5%~5%") << 7 << "" << QByteArray("copycap5") << 5;
}

void TestSsdDialog::capacityDifference() {
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(QByteArray, click);
    QFETCH(int, saved);
    DialogBed bed(8, 2, 2);
    editSetting([&](SettingRecord& r) {
        r.copy_cap = stored;
        r.mode = 4;
    });
    acceptWith<SettingDlg_ssd>([&](SettingDlg_ssd& d) {
        QCOMPARE(checkedButtons(&d, kCaps), shown);
        if (!click.isEmpty())
            clickBox(child<QRadioButton>(&d, click.constData()));
    });
    QCOMPARE(mSetting.copy_cap, saved);
}

void TestSsdDialog::okForcesSpeedAndTestBlock_data() {
    QTest::addColumn<int>("copyBlock");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("click");
    QTest::addColumn<int>("saved");
    QTest::newRow("stored 256K") << 262144 << "copy_256k" << QByteArray() << 262144;
    QTest::newRow("pick 1M") << 262144 << "copy_256k" << QByteArray("copy_1m") << 1048576;
    QTest::newRow("pick 4K") << 4194304 << "copy_4m" << QByteArray("copy_4k") << 4096;
    QTest::newRow("unlisted survives") << 524288 << "" << QByteArray() << 524288;
}

void TestSsdDialog::okForcesSpeedAndTestBlock() {
    QFETCH(int, copyBlock);
    QFETCH(QString, shown);
    QFETCH(QByteArray, click);
    QFETCH(int, saved);
    DialogBed bed(8, 2, 2);
    editSetting([&](SettingRecord& r) {
        r.mode = 3;
        r.copy_block = copyBlock;
        r.write_speed = 50;
        r.test_block = 65536;
    });
    acceptWith<SettingDlg_ssd>([&](SettingDlg_ssd& d) {
        QCOMPARE(checkedButtons(&d, {"copy_4k", "copy_64k", "copy_128k", "copy_256k", "copy_1m",
                                     "copy_2m", "copy_4m"}),
                 shown);
        if (!click.isEmpty())
            clickBox(child<QRadioButton>(&d, click.constData()));
    });
    QCOMPARE(mSetting.copy_block, saved);
    QCOMPARE(mSetting.test_block, saved);
    QCOMPARE(mSetting.write_speed, 0);
    QVERIFY(bed.storedFile().contains("write_speed = 0\n"));
    QVERIFY(bed.storedFile().contains(QByteArray("test_block = ") + QByteArray::number(saved)));
}

void TestSsdDialog::countdown_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("pick"); // -1 leaves the box alone
    QTest::addColumn<int>("saved");
    QTest::newRow("15") << 15 << "15" << -1 << 15;
    QTest::newRow("3") << 3 << "3" << -1 << 3;
    QTest::newRow("7 shows 30, saved 30") << 7 << "30" << -1 << 30;
    QTest::newRow("pick first") << 30 << "30" << 0 << 3;
    QTest::newRow("pick 25") << 30 << "30" << 5 << 25;
}

void TestSsdDialog::countdown() {
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, pick);
    QFETCH(int, saved);
    DialogBed bed(8, 2, 2);
    editSetting([&](SettingRecord& r) { r.COPYTIMECOUNT = stored; });
    acceptWith<SettingDlg_ssd>([&](SettingDlg_ssd& d) {
        auto* box = child<QComboBox>(&d, "copy_time_count");
        QCOMPARE(box->count(), 7);
        QCOMPARE(box->currentText(), shown);
        if (pick >= 0)
            box->setCurrentIndex(pick);
    });
    QCOMPARE(mSetting.COPYTIMECOUNT, saved);
}

void TestSsdDialog::wipePattern() {
    DialogBed bed(8, 2, 2);
    editSetting([](SettingRecord& r) {
        r.wipe_mode = 2;
        r.mode = 10;
    });
    acceptWith<SettingDlg_ssd>([](SettingDlg_ssd& d) {
        QCOMPARE(checkedButtons(&d, {"random_data_2", "all_2", "all_3", "all_4"}),
                 QStringLiteral("all_3"));
        clickBox(child<QRadioButton>(&d, "all_4"));
    });
    QCOMPARE(mSetting.wipe_mode, 3);
}

void TestSsdDialog::masterResetOpensUncheckedAndSendsOnce() {
    DialogBed bed(8, 2, 2);
    editSetting([](SettingRecord& r) { r.mode = 10; });
    checkMasterReset<SettingDlg_ssd>(bed, false);
}

void TestSsdDialog::cancelStoresNothing() {
    DialogBed bed(8, 2, 2);
    bed.writeCatalogues();
    editSetting([](SettingRecord& r) { r.mode = 4; });
    const SettingRecord before = snapshotSetting();
    SettingDlg_ssd d;
    StdoutCapture out;
    const int result = execWith(d, [&] {
        clickBox(child<QRadioButton>(&d, "copycap00"));
        clickBox(child<QRadioButton>(&d, "copy_2m"));
        child<QComboBox>(&d, "copy_time_count")->setCurrentIndex(0);
        child<QComboBox>(&d, "language")->setCurrentIndex(1);
        clickBox(child<QRadioButton>(&d, "wipemode"));
        clickBox(child<QCheckBox>(&d, "master_reset"));
        pressCancel(d);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(out.text().contains(" reject\n"));
    QCOMPARE(d.workingCopy().copy_cap, -1);
    QVERIFY(memcmp(&mSetting, &before, sizeof before) == 0);
    QVERIFY(bed.storedFile().isEmpty());
    QCOMPARE(bed.languageChanges(), 0);
    QCOMPARE(DialogBed::masterClears(), 0);
}

void TestSsdDialog::exportButtonRunsTheExport() {
    DialogBed bed(8, 2, 2);
    Info.clear();
    SettingDlg_ssd d;
    QString title;
    auto answered = acceptMessageBox(&title);
    execWith(d, [&] {
        QTest::mouseClick(child<QPushButton>(&d, "export_log"), Qt::LeftButton);
        QCOMPARE(DialogBed::exportLogs(), 1);
        const uint32_t done = 111;
        Info.write(offsetof(StatusHeader, engineStatus), &done, sizeof done);
        QTRY_VERIFY_WITH_TIMEOUT(*answered, 10000);
        pressCancel(d);
    });
    QCOMPARE(title, QStringLiteral("FAIL"));
    QCOMPARE(DialogBed::exportLogs(), 1);
    Info.clear();
}

QTEST_MAIN(TestSsdDialog)
#include "tst_ssd_dialog.moc"
