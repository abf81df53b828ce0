// The copier's settings dialog, driven through its widgets.

#include "dialogs/dialog_commands.h"
#include "dialogs/log_export.h"
#include "dialogs/settingdlg.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/modal_answer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

void setEngineStatus(uint32_t code) {
    Info.write(4, &code, sizeof code);
}

SettingRecord copierRecord() {
    return machineRecord(16, 1, 0);
}

const QStringList kModeButtons{"testmode",        "formatmode",  "h5testmode",
                               "fullcopycompare", "fullcopy",    "datacopycompare",
                               "datacopy",        "fullcompare", "datacompare"};
const QStringList kCapButtons{"copycap00", "copycap0",  "copycap5", "copycap10",
                              "copycap15", "copycap20", "copycap30"};

} // namespace

class TestSettingDlg : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LogExport::setTiming(20, 2000); }
    void cleanup() { mBed.reset(); }
    void init() {
        mBed = std::make_unique<DialogBed>(16, 1, 0);
        commitSetting(copierRecord());
    }

    void opensOnThePageOfTheStoredMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("checked");
        QTest::newRow("H2 test") << 0 << "tab_h2"
                                 << "testmode";
        QTest::newRow("format") << 1 << "tab_format"
                                << "formatmode";
        QTest::newRow("H5 test") << 2 << "tab_h2"
                                 << "h5testmode";
        QTest::newRow("full copy") << 4 << "tab_copy"
                                   << "fullcopy";
        QTest::newRow("data compare") << 13 << "tab_copy"
                                      << "datacompare";
        QTest::newRow("protocol analysis: page, no button") << 11 << "tab_h2"
                                                            << "";
        QTest::newRow("burn-in: first page, no button") << 7 << "tab_copy"
                                                        << "";
    }
    void opensOnThePageOfTheStoredMode() {
        QFETCH(int, mode);
        QFETCH(QString, page);
        QFETCH(QString, checked);
        SettingRecord r = copierRecord();
        r.mode = mode;
        commitSetting(r);
        SettingDlg dlg;
        auto* tabs = child<QTabWidget>(&dlg, "tabCopy");
        QCOMPARE(tabs->currentWidget()->objectName(), page);
        QCOMPARE(checkedButtons(&dlg, kModeButtons), checked);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Setting"));
        checkDialogSize(dlg);
    }

    void modeButtonStoresModeAndTurnsPage_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page");
        QTest::newRow("format") << "formatmode" << 1 << "tab_format";
        QTest::newRow("H5 test") << "h5testmode" << 2 << "tab_h2";
        QTest::newRow("data copy") << "datacopy" << 6 << "tab_copy";
        QTest::newRow("full compare") << "fullcompare" << 12 << "tab_copy";
    }
    void modeButtonStoresModeAndTurnsPage() {
        QFETCH(QString, button);
        QFETCH(int, mode);
        QFETCH(QString, page);
        SettingRecord r = copierRecord();
        r.mode = 0;
        QString shown;
        QCOMPARE(openEditClose<SettingDlg>(r,
                                           [&](SettingDlg& d) {
                                               clickBox(
                                                   child<QRadioButton>(&d, qPrintable(button)));
                                               shown = currentPage(&d);
                                           }),
                 int(QDialog::Accepted));
        QCOMPARE(shown, page);
        QCOMPARE(mSetting.mode, mode);
    }

    void capacityDifference_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tapped");
        QTest::addColumn<int>("saved");
        QTest::newRow("0%~0% opens, >0% stores 0") << -1 << "copycap00"
                                                   << "copycap0" << 0;
        QTest::newRow("-30%~30% stores 30") << -1 << "copycap00"
                                            << "copycap30" << 30;
        QTest::newRow("0%~0% stores -1") << 15 << "copycap15"
                                         << "copycap00" << -1;
        QTest::newRow("30 opens on -30%~30%") << 30 << "copycap30"
                                              << "" << 30;
        QTest::newRow("unknown 7 shows none, survives OK") << 7 << ""
                                                           << "" << 7;
    }
    void capacityDifference() {
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(QString, tapped);
        QFETCH(int, saved);
        SettingRecord r = copierRecord();
        r.copy_cap = stored;
        QString opened;
        openEditClose<SettingDlg>(r, [&](SettingDlg& d) {
            opened = checkedButtons(&d, kCapButtons);
            if (!tapped.isEmpty())
                clickBox(child<QRadioButton>(&d, qPrintable(tapped)));
        });
        QCOMPARE(opened, shown);
        QCOMPARE(mSetting.copy_cap, saved);
    }

    // Lists whose shown item is written back on OK, so a stored value without an item
    // becomes the value of the item shown.
    void listsRewrittenOnOk_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("saved");
        QTest::newRow("countdown 7 -> 30") << "COPYTIMECOUNT" << 7 << "30" << 30;
        QTest::newRow("countdown 3") << "COPYTIMECOUNT" << 3 << "3" << 3;
        QTest::newRow("countdown 25") << "COPYTIMECOUNT" << 25 << "25" << 25;
        QTest::newRow("block 2M") << "copy_block" << 2097152 << "2MB" << 2097152;
        QTest::newRow("block 123 -> 2M") << "copy_block" << 123 << "2MB" << 2097152;
        QTest::newRow("block 512K") << "copy_block" << 524288 << "512KB" << 524288;
        QTest::newRow("block 4K") << "copy_block" << 4096 << "4KB" << 4096;
        QTest::newRow("preset 8G") << "testSizeReg" << 8388608 << "8G" << 8388608;
        QTest::newRow("preset unknown -> 100M") << "testSizeReg" << 1000 << "100M" << 102400;
    }
    void listsRewrittenOnOk() {
        QFETCH(QString, field);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, saved);
        struct Binding {
            const char* combo;
            int32_t SettingRecord::*member;
        };
        const QMap<QString, Binding> bindings{
            {"COPYTIMECOUNT", {"copy_time_count", &SettingRecord::COPYTIMECOUNT}},
            {"copy_block", {"copy_block_size", &SettingRecord::copy_block}},
            {"testSizeReg", {"comboBox_test_number", &SettingRecord::testSizeReg}},
        };
        const Binding b = bindings.value(field);
        SettingRecord r = copierRecord();
        r.*b.member = stored;
        QString opened;
        openEditClose<SettingDlg>(
            r, [&](SettingDlg& d) { opened = child<QComboBox>(&d, b.combo)->currentText(); });
        QCOMPARE(opened, shown);
        QCOMPARE(mSetting.*b.member, saved);
        QVERIFY(mBed->storedFile().contains(
            QStringLiteral("%1 = %2\n").arg(field).arg(saved).toUtf8()));
    }

    void pickedListItemsAreSaved() {
        openEditClose<SettingDlg>(copierRecord(), [](SettingDlg& d) {
            child<QComboBox>(&d, "copy_block_size")->setCurrentIndex(2);
            child<QComboBox>(&d, "copy_time_count")->setCurrentIndex(1);
            child<QComboBox>(&d, "comboBox_test_number")->setCurrentIndex(5);
        });
        QCOMPARE(mSetting.copy_block, 262144);
        QCOMPARE(mSetting.COPYTIMECOUNT, 5);
        QCOMPARE(mSetting.testSizeReg, 1048576);
    }

    void volumeLabel_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shownIndex");
        QTest::addColumn<int>("picked"); // -1: untouched
        QTest::addColumn<int>("saved");
        QTest::newRow("copy label shown, none picked") << 2 << 2 << 0 << 0;
        QTest::newRow("keep label picked") << 0 << 0 << 1 << 1;
        QTest::newRow("unknown 5 shows none, survives") << 5 << 0 << -1 << 5;
    }
    void volumeLabel() {
        QFETCH(int, stored);
        QFETCH(int, shownIndex);
        QFETCH(int, picked);
        QFETCH(int, saved);
        SettingRecord r = copierRecord();
        r.volumekeep = stored;
        int opened = -1;
        QString text;
        openEditClose<SettingDlg>(r, [&](SettingDlg& d) {
            auto* box = child<QComboBox>(&d, "comboBox_volume");
            opened = box->currentIndex();
            text = box->itemText(2);
            if (picked >= 0)
                box->setCurrentIndex(picked);
        });
        QCOMPARE(opened, shownIndex);
        QCOMPARE(text, QStringLiteral("拷贝卷标"));
        QCOMPARE(mSetting.volumekeep, saved);
    }

    // A click on a test-range button also re-reads the test-block group.
    void testRangeClickRereadsTestBlock_data() {
        QTest::addColumn<int>("storedBlock");
        QTest::addColumn<QString>("shownBlock");
        QTest::addColumn<QString>("tapped");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("sizeMode");
        QTest::newRow("1M shown as AUTO becomes 0") << 1048576 << "test_autoblk"
                                                    << "test_m" << 0 << 1;
        QTest::newRow("64K kept") << 65536 << "test_64k"
                                  << "test_m" << 65536 << 1;
        QTest::newRow("preset range") << 4096 << "test_4k"
                                      << "test_regular" << 4096 << 2;
        QTest::newRow("2M button") << 4096 << "test_4k"
                                   << "test_2m" << 2097152 << 0;
    }
    void testRangeClickRereadsTestBlock() {
        QFETCH(int, storedBlock);
        QFETCH(QString, shownBlock);
        QFETCH(QString, tapped);
        QFETCH(int, block);
        QFETCH(int, sizeMode);
        SettingRecord r = copierRecord();
        r.test_block = storedBlock;
        r.testSizeMode = -1; // no range button checked
        QString opened;
        openEditClose<SettingDlg>(r, [&](SettingDlg& d) {
            opened = checkedButtons(&d, {"test_4k", "test_64k", "test_2m", "test_autoblk"});
            clickBox(child<QRadioButton>(&d, qPrintable(tapped)));
        });
        QCOMPARE(opened, shownBlock);
        QCOMPARE(mSetting.test_block, block);
        QCOMPARE(mSetting.testSizeMode, sizeMode);
    }

    void testSizeInMegabytesRoundTrips() {
        SettingRecord r = copierRecord();
        r.testSizeMode = 1;
        r.testSizePercent = 40;
        r.testSizeM = 300;
        int percent = 0, megabytes = 0;
        bool mChecked = false;
        openEditClose<SettingDlg>(r, [&](SettingDlg& d) {
            percent = child<QSpinBox>(&d, "spinBox")->value();
            megabytes = child<QSpinBox>(&d, "spinBox_test_m")->value();
            mChecked = child<QRadioButton>(&d, "test_m")->isChecked();
        });
        QCOMPARE(percent, 40);
        QCOMPARE(megabytes, 300);
        QVERIFY(mChecked);
        QCOMPARE(mSetting.testSizeMode, 1);
        QCOMPARE(mSetting.testSizePercent, 40);
        QCOMPARE(mSetting.testSizeM, 300);
        QCOMPARE(mSetting.capacity_test, 300 * 1024);
    }

    void speedsShowClampedAndSaveWhatIsShown() {
        SettingRecord r = copierRecord();
        r.write_speed = 150;
        r.read_speed = 35;
        openEditClose<SettingDlg>(
            r, [](SettingDlg& d) { QCOMPARE(child<QSpinBox>(&d, "spinBox_2")->value(), 100); });
        QCOMPARE(mSetting.write_speed, 100);
        QCOMPARE(mSetting.read_speed, 35);
    }

    void formatChoices() {
        SettingRecord r = copierRecord();
        r.format_type = 9; // no button
        r.createMBR = 0;
        openEditClose<SettingDlg>(r, [](SettingDlg& d) {
            clickBox(child<QRadioButton>(&d, "formatfat32_2"));
            clickBox(child<QCheckBox>(&d, "create_mbr"));
            clickBox(child<QCheckBox>(&d, "format_capfil_en"));
        });
        QCOMPARE(mSetting.format_type, 5);
        QCOMPARE(mSetting.createMBR, 1);
        QCOMPARE(mSetting.capfil_format_enable, 1);
        QCOMPARE(mSetting.capfil_test_enable, 0);
    }

    // The stored flag decides what a click on "检测后格式化" does, not the box.
    void afterFormatFlipsTheStoredFlag() {
        SettingRecord r = copierRecord();
        r.after_format = 1;
        bool before = false, after = true;
        openEditClose<SettingDlg>(r, [&](SettingDlg& d) {
            auto* box = child<QCheckBox>(&d, "after_format");
            before = box->isChecked();
            clickBox(box);
            after = box->isChecked();
        });
        QVERIFY(before);
        QVERIFY(!after);
        QCOMPARE(mSetting.after_format, 0);
    }

    void masterReset_data() {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("commands");
        QTest::newRow("ticked, OK") << true << true << 1;
        QTest::newRow("ticked, Cancel") << true << false << 0;
        QTest::newRow("unticked, OK") << false << true << 0;
    }
    void masterReset() {
        QFETCH(bool, tick);
        QFETCH(bool, ok);
        QFETCH(int, commands);
        int sentWhileOpen = -1;
        const int result = openEditClose<SettingDlg>(
            copierRecord(),
            [&](SettingDlg& d) {
                if (tick)
                    clickBox(child<QCheckBox>(&d, "master_reset"));
                sentWhileOpen = DialogBed::masterClears();
            },
            ok);
        QCOMPARE(result, int(ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(sentWhileOpen, 0);
        QCOMPARE(DialogBed::masterClears(), commands);
        QCOMPARE(mSetting.MASTERCLEAR, commands);
        // The file is stored before the command goes out, so the reset survives a restart.
        if (commands)
            QVERIFY(DialogBed::lastMasterClearAfterStore());
    }

    void cancelLeavesTheRecordAlone() {
        SettingRecord r = copierRecord();
        r.mode = 3;
        r.copy_cap = 15;
        StdoutCapture out;
        const int result = openEditClose<SettingDlg>(
            r,
            [](SettingDlg& d) {
                clickBox(child<QRadioButton>(&d, "datacopy"));
                clickBox(child<QRadioButton>(&d, "copycap30"));
                child<QComboBox>(&d, "copy_block_size")->setCurrentIndex(0);
                child<QComboBox>(&d, "language")->setCurrentIndex(1);
            },
            false);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(memcmp(&mSetting, &r, sizeof r), 0);
        QVERIFY(out.text().contains(" reject\n\r"));
        QVERIFY(!mBed->storedFile().contains("copy_cap = 30"));
    }

    void acceptLogsTheStoredChoice() {
        SettingRecord r = copierRecord();
        r.mode = 5;
        r.copy_cap = 20;
        r.copy_err = 15;
        r.copy_block = 65536;
        StdoutCapture out;
        openEditClose<SettingDlg>(r, [](SettingDlg&) {});
        const QByteArray log = out.text();
        QVERIFY2(log.contains("settingdlg.cpp:"), log.constData());
        QVERIFY(log.contains(" mode 5 cap 20 err 15 65536\n\r"));
        QVERIFY(log.contains(" button accepted\n\r"));
        QVERIFY(log.contains(" copyBlock 65536 test_m 10\n\r"));
    }

    // The grading page edits the dialog's working copy: OK stores it, Cancel drops it.
    void capacityGrades_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void capacityGrades() {
        QFETCH(bool, ok);
        SettingRecord r = copierRecord();
        r.capfil_enable[2] = 0;
        r.capfil_high[2] = 36800;
        bool openedTicked = true, boundsGreyed = false;
        std::shared_ptr<bool> answered;
        openEditClose<SettingDlg>(
            r,
            [&](SettingDlg& d) {
                auto* box = child<QCheckBox>(&d, "capfil_en3");
                openedTicked = box->isChecked();
                boundsGreyed = !child<QSpinBox>(&d, "capfil_high3")->isEnabled();
                clickBox(box);
                child<QSpinBox>(&d, "capfil_high3")->setValue(40000);
                answered = answerModal<QColorDialog>([](QColorDialog* c) {
                    c->setCurrentColor(QColor(0, 0, 255));
                    c->accept();
                });
                QTest::mouseClick(child<QToolButton>(&d, "capfil_color2"), Qt::LeftButton);
            },
            ok);
        QVERIFY(*answered);
        QVERIFY(!openedTicked);
        QVERIFY(boundsGreyed);
        QCOMPARE(mSetting.capfil_enable[2], ok ? 1 : 0);
        QCOMPARE(mSetting.capfil_high[2], ok ? 40000 : 36800);
        QCOMPARE(mSetting.capfil_color[1], ok ? 0x0000FF : 0xFFFF00);
    }

    void exportLogRunsFromTheDialog() {
        setEngineStatus(103);
        int progressShown = -1;
        QString title;
        const int result = openEditClose<SettingDlg>(copierRecord(), [&](SettingDlg& d) {
            auto answered = acceptMessageBox(&title);
            QTest::mouseClick(child<QPushButton>(&d, "export_log"), Qt::LeftButton);
            auto* progress = d.findChild<QProgressDialog*>();
            QVERIFY(progress);
            QTRY_COMPARE(progress->value(), 30);
            progressShown = progress->value();
            setEngineStatus(110);
            QTRY_VERIFY(*answered);
            QVERIFY(d.isVisible()); // the settings dialog stays open behind the export
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(progressShown, 30);
        QCOMPARE(DialogBed::exportLogs(), 1);
        QCOMPARE(title, QStringLiteral("SUCCESS"));
    }

    // The catalogue is loaded and installed again only when the language changed.
    void language_data() { addLanguageRows(); }
    void language() {
        QFETCH(int, stored);
        QFETCH(int, picked);
        QFETCH(int, installs);
        checkLanguagePick<SettingDlg>(*mBed, copierRecord(), stored, picked, installs);
    }

private:
    std::unique_ptr<DialogBed> mBed;
};

QTEST_MAIN(TestSettingDlg)
#include "tst_settingdlg.moc"
