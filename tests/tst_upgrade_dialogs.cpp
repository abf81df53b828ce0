// The start dialog and the upgrade progress dialog.

#include "settings/settings.h"
#include "upgrade/startdialog.h"
#include "upgrade/upgradedialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QtTest>

class TestUpgradeDialogs : public QObject {
    Q_OBJECT
private slots:
    void stateTexts_data();
    void stateTexts();
    void startDialog_data();
    void startDialog();
    void upgradeDialogForm();
    void upgradeDialogFollowsTheMonitorThread();
};

void TestUpgradeDialogs::stateTexts_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::newRow("idle") << 0 << "......";
    QTest::newRow("preparing") << 1 << "升级准备中...";
    QTest::newRow("upgrading") << 2 << "升级中...";
    QTest::newRow("finished") << 3 << "升级成功，请重起机";
    QTest::newRow("failed") << 4 << "升级失败";
    QTest::newRow("no file") << 5 << "升级文件没准备好";
    QTest::newRow("above the table") << 6 << "警告";
    QTest::newRow("negative") << -1 << "警告";
}

void TestUpgradeDialogs::stateTexts() {
    QFETCH(int, state);
    QFETCH(QString, text);
    QCOMPARE(upgradeStateText(state), text);
}

void TestUpgradeDialogs::startDialog_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("kalmo");
    QTest::newRow("4 ports") << 4 << " "
                             << " ";
    QTest::newRow("8 ports") << 8 << " "
                             << " ";
    QTest::newRow("9 ports") << 9 << "Tervan拷贝机"
                             << "-KALMO技术-";
    QTest::newRow("48 ports") << 48 << "Tervan拷贝机"
                              << "-KALMO技术-";
}

void TestUpgradeDialogs::startDialog() {
    QFETCH(int, ports);
    QFETCH(QString, company);
    QFETCH(QString, kalmo);
    mSetting.port_count = ports;
    StartDialog dialog(nullptr);
    QCOMPARE(dialog.objectName(), QString("StartDialog"));
    QCOMPARE(dialog.size(), QSize(400, 300));
    QCOMPARE(dialog.font().pointSize(), 19);
    QVERIFY(dialog.font().bold());
    QCOMPARE(dialog.styleSheet(), QString("background:#c2ffd1"));
    QVERIFY(!dialog.isSizeGripEnabled());
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.windowTitle(), QString("PREPARE"));
    QVERIFY(!dialog.isVisible());

    auto* words = dialog.findChild<QLabel*>("startWords");
    auto* companyLabel = dialog.findChild<QLabel*>("company_name");
    auto* kalmoLabel = dialog.findChild<QLabel*>("kalmo_name");
    QVERIFY(words && companyLabel && kalmoLabel);
    QCOMPARE(words->text(), QString("系统准备中，请稍候..."));
    QCOMPARE(words->geometry(), QRect(60, 100, 331, 81));
    QCOMPARE(words->font().pointSize(), 18);
    QCOMPARE(companyLabel->font().pointSize(), 10);
    QCOMPARE(kalmoLabel->font().pointSize(), 6);
    // The brand lines sit in the top right corner, inside the dialog, and the longer one
    // (the Chinese) is shown whole.
    for (QLabel* brand : {companyLabel, kalmoLabel}) {
        QVERIFY(dialog.rect().contains(brand->geometry()));
        QVERIFY2(brand->geometry().right() >= 380, qPrintable(brand->objectName()));
        QVERIFY(brand->alignment() & Qt::AlignRight);
    }
    QCOMPARE(companyLabel->y(), 0);
    QCOMPARE(kalmoLabel->y(), 20);
    const struct {
        QLabel* label;
        const char* text;
    } brands[] = {{companyLabel, "Tervan拷贝机"}, {kalmoLabel, "-KALMO技术-"}};
    for (const auto& b : brands) {
        const int wanted = b.label->fontMetrics().horizontalAdvance(QString::fromUtf8(b.text));
        QVERIFY2(wanted <= b.label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 needs %2 px").arg(b.text).arg(wanted)));
    }
    QCOMPARE(companyLabel->text(), company);
    QCOMPARE(kalmoLabel->text(), kalmo);
}

void TestUpgradeDialogs::upgradeDialogForm() {
    UpgradeDialog dialog(nullptr);
    QCOMPARE(dialog.objectName(), QString("UpgradeDialog"));
    QCOMPARE(dialog.size(), QSize(400, 300));
    QCOMPARE(dialog.windowTitle(), QString("Dialog"));
    QVERIFY(!dialog.isVisible());
    auto* bar = dialog.findChild<QProgressBar*>("progressBar");
    auto* line = dialog.findChild<QLabel*>("upgrading");
    QVERIFY(bar && line);
    QCOMPARE(bar->geometry(), QRect(40, 200, 291, 21));
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->format(), QString("%p%"));
    QCOMPARE(line->geometry(), QRect(60, 100, 281, 41));
    QCOMPARE(line->font().pointSize(), 15);
    QCOMPARE(line->text(), QString("TextLabel"));

    dialog.setStep(100, 3);
    dialog.displayui();
    QCOMPARE(bar->value(), 100);
    QCOMPARE(bar->text(), QString("100%"));
    QCOMPARE(line->text(), QString("升级成功，请重起机"));
}

// The monitor writes the two fields and emits the signals from its own thread; the dialog
// opens, refreshes once a second and closes on the GUI thread.
void TestUpgradeDialogs::upgradeDialogFollowsTheMonitorThread() {
    UpgradeDialog dialog(nullptr);
    auto* bar = dialog.findChild<QProgressBar*>("progressBar");
    auto* line = dialog.findChild<QLabel*>("upgrading");

    QSignalSpy stops(&dialog, &UpgradeDialog::stopU);
    std::unique_ptr<QThread> monitor(QThread::create([&dialog] {
        emit dialog.startU();
        dialog.setStep(20, 4);
    }));
    monitor->start();
    QVERIFY(monitor->wait(5000));
    QTRY_VERIFY(dialog.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(line->text(), QString("升级失败"), 3000);
    QCOMPARE(bar->value(), 20);

    monitor.reset(QThread::create([&dialog] { emit dialog.stopU(); }));
    monitor->start();
    QVERIFY(monitor->wait(5000));
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(stops.count(), 1);

    // Reopened for the next stick: the last values show until the next tick.
    dialog.setStep(30, 2);
    emit dialog.startU();
    QTRY_VERIFY(dialog.isVisible());
    QCOMPARE(line->text(), QString("升级失败"));
    QCOMPARE(bar->value(), 20);
    QTRY_COMPARE_WITH_TIMEOUT(line->text(), QString("升级中..."), 3000);
    QCOMPARE(bar->value(), 30);

    // No refresh while hidden.
    dialog.stop();
    dialog.setStep(60, 2);
    QTest::qWait(1300);
    QCOMPARE(bar->value(), 30);
}

QTEST_MAIN(TestUpgradeDialogs)
#include "tst_upgrade_dialogs.moc"
