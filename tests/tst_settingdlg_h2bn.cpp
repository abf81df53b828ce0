// The burn-in machine's settings dialog, driven through its widgets.

#include "dialogs/dialog_commands.h"
#include "dialogs/log_export.h"
#include "dialogs/settingdlg_h2bn.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/modal_answer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

SettingRecord burninRecord(int ports = 48, int variant = 1) {
    SettingRecord r = machineRecord(ports, 1, variant);
    r.mode = 7;
    return r;
}

QStringList pageNames(QTabWidget* tabs) {
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i)
        names << tabs->widget(i)->objectName() + ':' + tabs->tabText(i);
    return names;
}

const QStringList kModeButtons{"testmode", "burnin_mode", "wipemode"};
const QStringList kBurnBlocks{"burn_block_4k",     "burn_block_64k",  "burnin_block_128k",
                              "burnin_block_256k", "burnin_block_1m", "burnin_block_2m",
                              "burnin_block_4m"};

} // namespace

class TestSettingDlgH2bn : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LogExport::setTiming(20, 200); }
    void cleanup() { mBed.reset(); }
    void init() {
        mBed = std::make_unique<DialogBed>(48, 1, 1);
        commitSetting(burninRecord());
    }

    void opensOnThePageOfTheStoredMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("checked");
        QTest::newRow("burn-in") << 7 << "tab_burn"
                                 << "burnin_mode";
        QTest::newRow("H2 test") << 0 << "tab_h2"
                                 << "testmode";
        QTest::newRow("wipe") << 10 << "tab_h2"
                              << "wipemode";
        QTest::newRow("copy mode: first page, no button") << 5 << "tab_h2"
                                                          << "";
    }
    void opensOnThePageOfTheStoredMode() {
        QFETCH(int, mode);
        QFETCH(QString, page);
        QFETCH(QString, checked);
        SettingRecord r = burninRecord();
        r.mode = mode;
        commitSetting(r);
        SettingDlg_h2bn dlg;
        QCOMPARE(currentPage(&dlg), page);
        QCOMPARE(checkedButtons(&dlg, kModeButtons), checked);
        checkDialogSize(dlg);
    }

    void modeButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page");
        QTest::newRow("H2 test") << "testmode" << 0 << "tab_h2";
        QTest::newRow("wipe") << "wipemode" << 10 << "tab_h2";
    }
    void modeButtons() {
        QFETCH(QString, button);
        QFETCH(int, mode);
        QFETCH(QString, page);
        QString shown;
        openEditClose<SettingDlg_h2bn>(burninRecord(), [&](SettingDlg_h2bn& d) {
            clickBox(child<QRadioButton>(&d, qPrintable(button)));
            shown = currentPage(&d);
        });
        QCOMPARE(shown, page);
        QCOMPARE(mSetting.mode, mode);
    }

    void burninModeButtonTurnsToTheBurnPage() {
        SettingRecord r = burninRecord();
        r.mode = 0;
        QString shown;
        StdoutCapture out;
        openEditClose<SettingDlg_h2bn>(r, [&](SettingDlg_h2bn& d) {
            clickBox(child<QRadioButton>(&d, "burnin_mode"));
            shown = currentPage(&d);
        });
        QCOMPARE(shown, QStringLiteral("tab_burn"));
        QCOMPARE(mSetting.mode, 7);
        QVERIFY(out.text().contains("settingdlg_h2bn.cpp:"));
        QVERIFY(out.text().contains(" here\n\r"));
    }

    // Only the 8-port machine of variant 3 goes without burn-in.
    void burninPageByMachine_data() {
        QTest::addColumn<int>("ports");
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("burnin");
        QTest::newRow("8 ports, variant 3") << 8 << 3 << false;
        QTest::newRow("8 ports, variant 2") << 8 << 2 << true;
        QTest::newRow("16 ports, variant 3") << 16 << 3 << true;
        QTest::newRow("48 ports, variant 0") << 48 << 0 << true;
    }
    void burninPageByMachine() {
        QFETCH(int, ports);
        QFETCH(int, variant);
        QFETCH(bool, burnin);
        SettingRecord r = burninRecord(ports, variant);
        r.mode = 0;
        commitSetting(r);
        SettingDlg_h2bn dlg;
        dlg.show();
        const QStringList pages = pageNames(child<QTabWidget>(&dlg, "tabCopy"));
        QStringList expected{QStringLiteral("tab_h2:H2检测")};
        if (burnin)
            expected << QStringLiteral("tab_burn:BurnIn");
        QCOMPARE(pages, expected);
        QCOMPARE(child<QRadioButton>(&dlg, "burnin_mode")->isVisible(), burnin);
        QVERIFY(child<QRadioButton>(&dlg, "testmode")->isVisible());
        QVERIFY(child<QRadioButton>(&dlg, "wipemode")->isVisible());
    }

    void writeSpeedListByVariant_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("picked");
        QTest::addColumn<int>("saved");
        QTest::newRow("variant 0, 5MB/s") << 0 << 18 << "120MB/s" << 1 << 5;
        QTest::newRow("variant 0, 10MB/s") << 0 << 18 << "120MB/s" << 6 << 10;
        QTest::newRow("variant 0, last") << 0 << 18 << "120MB/s" << 17 << 120;
        QTest::newRow("variant 1, 200MB/s") << 1 << 28 << "550MB/s" << 20 << 200;
        QTest::newRow("variant 1, 250MB/s") << 1 << 28 << "550MB/s" << 21 << 250;
        QTest::newRow("variant 3, last") << 3 << 28 << "550MB/s" << 27 << 550;
    }
    void writeSpeedListByVariant() {
        QFETCH(int, variant);
        QFETCH(int, items);
        QFETCH(QString, last);
        QFETCH(int, picked);
        QFETCH(int, saved);
        int count = 0;
        QString lastText;
        openEditClose<SettingDlg_h2bn>(burninRecord(48, variant), [&](SettingDlg_h2bn& d) {
            auto* box = child<QComboBox>(&d, "comboBox_2");
            count = box->count();
            lastText = box->itemText(box->count() - 1);
            box->setCurrentIndex(picked);
        });
        QCOMPARE(count, items);
        QCOMPARE(lastText, last);
        QCOMPARE(mSetting.write_speed, saved);
    }

    // Stored values no item stands for leave the box on its first item and survive OK.
    void unlistedValuesSurvive_data() {
        QTest::addColumn<int>("writeSpeed");
        QTest::addColumn<int>("readSpeed");
        QTest::addColumn<QString>("writeShown");
        QTest::addColumn<QString>("readShown");
        QTest::newRow("listed") << 250 << 160 << "250MB/s"
                                << "160MB/s";
        QTest::newRow("unlisted") << 260 << 170 << "0"
                                  << "0";
    }
    void unlistedValuesSurvive() {
        QFETCH(int, writeSpeed);
        QFETCH(int, readSpeed);
        QFETCH(QString, writeShown);
        QFETCH(QString, readShown);
        SettingRecord r = burninRecord();
        r.write_speed = writeSpeed;
        r.read_speed = readSpeed;
        r.test_block = 1048576; // no test-block button
        r.burnin_block = 8192;  // no burn-in block button
        r.burnin_data = 5;
        r.wipe_mode = 4;
        QString w, rd, checked;
        openEditClose<SettingDlg_h2bn>(r, [&](SettingDlg_h2bn& d) {
            w = child<QComboBox>(&d, "comboBox_2")->currentText();
            rd = child<QComboBox>(&d, "comboBox_3")->currentText();
            checked = checkedButtons(
                &d, kBurnBlocks + QStringList{"test_4k", "test_64k", "test_2m", "test_autoblk",
                                              "random_data", "all_0", "all_1", "random_data_2",
                                              "all_2", "all_3", "all_4"});
        });
        QCOMPARE(w, writeShown);
        QCOMPARE(rd, readShown);
        QCOMPARE(checked, QString());
        QCOMPARE(mSetting.write_speed, writeSpeed);
        QCOMPARE(mSetting.read_speed, readSpeed);
        QCOMPARE(mSetting.test_block, 1048576);
        QCOMPARE(mSetting.burnin_block, 8192);
        QCOMPARE(mSetting.burnin_data, 5);
        QCOMPARE(mSetting.wipe_mode, 4);
    }

    void buttonGroups_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("saved");
        QTest::newRow("burn-in 4K") << "burn_block_4k"
                                    << "burnin_block" << 4096;
        QTest::newRow("burn-in 128K") << "burnin_block_128k"
                                      << "burnin_block" << 131072;
        QTest::newRow("burn-in 4M") << "burnin_block_4m"
                                    << "burnin_block" << 4194304;
        QTest::newRow("test 2M") << "test_2m"
                                 << "test_block" << 2097152;
        QTest::newRow("test AUTO") << "test_autoblk"
                                   << "test_block" << 0;
        QTest::newRow("test 64K") << "test_64k"
                                  << "test_block" << 65536;
        QTest::newRow("data all ones") << "all_1"
                                       << "burnin_data" << 2;
        QTest::newRow("data all zeros") << "all_0"
                                        << "burnin_data" << 1;
        QTest::newRow("wipe quick") << "all_4"
                                    << "wipe_mode" << 3;
        QTest::newRow("wipe all ones") << "all_3"
                                       << "wipe_mode" << 2;
    }
    void buttonGroups() {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(int, saved);
        const QMap<QString, int32_t SettingRecord::*> fields{
            {"burnin_block", &SettingRecord::burnin_block},
            {"test_block", &SettingRecord::test_block},
            {"burnin_data", &SettingRecord::burnin_data},
            {"wipe_mode", &SettingRecord::wipe_mode}};
        SettingRecord r = burninRecord();
        r.burnin_block = 65536;
        r.test_block = 4096;
        r.burnin_data = 0;
        r.wipe_mode = 0;
        openEditClose<SettingDlg_h2bn>(
            r, [&](SettingDlg_h2bn& d) { clickBox(child<QRadioButton>(&d, qPrintable(button))); });
        QCOMPARE(mSetting.*fields.value(field), saved);
    }

    void burninNumbers() {
        SettingRecord r = burninRecord();
        r.burnin_cycle = 12;
        r.burnin_time = 1000; // beyond the box: shows 240 and is saved so
        r.burnin_content = 30;
        int cycles = 0, hours = 0, share = 0;
        openEditClose<SettingDlg_h2bn>(r, [&](SettingDlg_h2bn& d) {
            cycles = child<QSpinBox>(&d, "test_cycle")->value();
            hours = child<QSpinBox>(&d, "test_time")->value();
            share = child<QSpinBox>(&d, "test_content")->value();
            child<QSpinBox>(&d, "test_cycle")->setValue(3);
        });
        QCOMPARE(cycles, 12);
        QCOMPARE(hours, 240);
        QCOMPARE(share, 30);
        QCOMPARE(mSetting.burnin_cycle, 3);
        QCOMPARE(mSetting.burnin_time, 240);
        QCOMPARE(mSetting.burnin_content, 30);
    }

    // A test share the operator picks wins on OK, whatever test-size mode the file holds;
    // a box left alone changes nothing.
    void testShare_data() {
        QTest::addColumn<int>("sizeMode");
        QTest::addColumn<int>("picked"); // index, -1: untouched
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("savedMode");
        QTest::addColumn<int>("savedPercent");
        QTest::newRow("megabytes, 15% picked") << 1 << 10 << 15 << 0 << 15;
        QTest::newRow("no mode, 100% picked") << -1 << 27 << 100 << 0 << 100;
        QTest::newRow("no mode, 3% picked") << -1 << 2 << 3 << 0 << 3;
        QTest::newRow("megabytes, untouched") << 1 << -1 << 10 * 1024 << 1 << 50;
        QTest::newRow("no mode, untouched") << -1 << -1 << 20 << -1 << 50;
    }
    void testShare() {
        QFETCH(int, sizeMode);
        QFETCH(int, picked);
        QFETCH(int, capacity);
        QFETCH(int, savedMode);
        QFETCH(int, savedPercent);
        SettingRecord r = burninRecord();
        r.testSizeMode = sizeMode;
        r.testSizePercent = 50;
        r.testSizeM = 10;
        r.capacity_test = 20;
        QString shown;
        openEditClose<SettingDlg_h2bn>(r, [&](SettingDlg_h2bn& d) {
            auto* box = child<QComboBox>(&d, "comboBox");
            shown = box->currentText();
            if (picked >= 0)
                box->setCurrentIndex(picked);
        });
        QCOMPARE(shown, QStringLiteral("20%"));
        QCOMPARE(mSetting.capacity_test, capacity);
        QCOMPARE(mSetting.testSizeMode, savedMode);
        QCOMPARE(mSetting.testSizePercent, savedPercent);
        QVERIFY(mBed->storedFile().contains(
            QStringLiteral("testSizeMode = %1\n").arg(savedMode).toUtf8()));
    }

    void masterReset_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("commands");
        QTest::newRow("ticked, OK") << 0 << true << true << 1;
        QTest::newRow("ticked, Cancel") << 0 << true << false << 0;
        QTest::newRow("stored 1 opens unticked, OK") << 1 << false << true << 0;
    }
    void masterReset() {
        QFETCH(int, stored);
        QFETCH(bool, tick);
        QFETCH(bool, ok);
        QFETCH(int, commands);
        SettingRecord r = burninRecord();
        r.MASTERCLEAR = stored;
        bool openedTicked = true;
        openEditClose<SettingDlg_h2bn>(
            r,
            [&](SettingDlg_h2bn& d) {
                openedTicked = child<QCheckBox>(&d, "master_reset")->isChecked();
                if (tick)
                    clickBox(child<QCheckBox>(&d, "master_reset"));
            },
            ok);
        QVERIFY(!openedTicked);
        QCOMPARE(DialogBed::masterClears(), commands);
        if (ok)
            QCOMPARE(mSetting.MASTERCLEAR, commands);
    }

    void cancelLeavesTheRecordAlone() {
        SettingRecord r = burninRecord();
        StdoutCapture out;
        const int result = openEditClose<SettingDlg_h2bn>(
            r,
            [](SettingDlg_h2bn& d) {
                clickBox(child<QRadioButton>(&d, "wipemode"));
                clickBox(child<QRadioButton>(&d, "burnin_block_4m"));
                child<QComboBox>(&d, "comboBox")->setCurrentIndex(3);
                child<QComboBox>(&d, "comboBox_2")->setCurrentIndex(3);
                child<QSpinBox>(&d, "test_cycle")->setValue(7);
            },
            false);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(memcmp(&mSetting, &r, sizeof r), 0);
        QVERIFY(out.text().contains(" reject\n\r"));
    }

    void acceptLogsTheModeItReplaces() {
        SettingRecord r = burninRecord();
        r.mode = 7;
        StdoutCapture out;
        openEditClose<SettingDlg_h2bn>(
            r, [](SettingDlg_h2bn& d) { clickBox(child<QRadioButton>(&d, "wipemode")); });
        QCOMPARE(mSetting.mode, 10);
        QVERIFY(out.text().contains(" mode 7\n\r"));
        QVERIFY(out.text().contains(" button accepted\n\r"));
    }

    // An engine that never answers ends the export with the failure box; the dialog stays.
    void exportLogWithSilentEngine() {
        const uint32_t idle = 0;
        Info.write(4, &idle, sizeof idle);
        QString title;
        openEditClose<SettingDlg_h2bn>(burninRecord(), [&](SettingDlg_h2bn& d) {
            auto answered = acceptMessageBox(&title);
            QTest::mouseClick(child<QPushButton>(&d, "export_log"), Qt::LeftButton);
            QTRY_VERIFY(*answered);
            QVERIFY(d.isVisible());
        });
        QCOMPARE(DialogBed::exportLogs(), 1);
        QCOMPARE(title, QStringLiteral("FAIL"));
        QCOMPARE(mSetting.mode, 7);
    }

    // The catalogue is loaded and installed again only when the language changed.
    void language_data() { addLanguageRows(); }
    void language() {
        QFETCH(int, stored);
        QFETCH(int, picked);
        QFETCH(int, installs);
        checkLanguagePick<SettingDlg_h2bn>(*mBed, burninRecord(), stored, picked, installs);
    }

private:
    std::unique_ptr<DialogBed> mBed;
};

QTEST_MAIN(TestSettingDlgH2bn)
#include "tst_settingdlg_h2bn.moc"
