// A press on the tester window: refusals, the dialog for each machine, and the window that
// serves the accepted mode, with the settings sent, the frames re-numbered and stored.

#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "dialogs/settings_dialog_choice.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/engine_link.h"
#include "support/press_answer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"
#include "support/window_probe.h"
#include "tester/frame.h"
#include "tester/mainwindow.h"

#include <QAbstractButton>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(SettingsDialogKind)

using h2test::EngineLink;

namespace {

// The windows start-up makes for a machine, with the tester window shown and running.
struct Machine {
    Machine(int ports, int type, int variant, int mode = 0) : bed(ports, type, variant) {
        SettingRecord r = snapshotSetting();
        r.mode = mode;
        commitSetting(r);
        tester = std::make_unique<MainWindow>(nullptr, ports);
        mainWindow = tester.get();
        if (type != 0) {
            copier = std::make_unique<MainWindowCopy>(nullptr, ports);
            copyWindow = copier.get();
        } else if (variant != 1) {
            burnin = std::make_unique<MainWindowBurnin>(nullptr, ports);
            burnin->setPause([](unsigned) {});
            burninWindow = burnin.get();
        }
        tester->setGeometry(0, 0, 1920, 1080);
        tester->show();
        tester->start();
    }
    ~Machine() {
        mainWindow = nullptr;
        copyWindow = nullptr;
        burninWindow = nullptr;
    }
    DialogBed bed;
    std::unique_ptr<MainWindow> tester;
    std::unique_ptr<MainWindowCopy> copier;
    std::unique_ptr<MainWindowBurnin> burnin;
};

void setWriting(int port) {
    TesterPortRecord r{};
    r.state = 1;
    Info.write(testerPortOffset(port), &r, sizeof(r));
}

int linesWith(const StdoutCapture& log, const QString& text) {
    return QString::fromUtf8(log.text()).count(text);
}

} // namespace

class ModeSwitching : public QObject {
    Q_OBJECT
private slots:
    void init();

    void dialogTables_data();
    void dialogTables();
    void refusedWhileWorking();
    void refusedWhileBoardsDown();
    void dialogByMachine_data();
    void dialogByMachine();
    void copyModeHandsOverToTheCopier();
    void protocolModeKeepsTheTester();
    void cancelLeavesEverythingAlone();
    void burninModeHandsOverToBurnin_data();
    void burninModeHandsOverToBurnin();
    void tfDialogRetitlesWithoutRestart();

private:
    TempRoot mRoot;
};

void ModeSwitching::init() {
    Info.clear();
}

void ModeSwitching::dialogTables_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("ports");
    QTest::addColumn<SettingsDialogKind>("dialog");
    using K = SettingsDialogKind;
    QTest::newRow("tester 0") << "tester" << 0 << 0 << 48 << K::Tester;
    QTest::newRow("tester 1") << "tester" << 0 << 1 << 51 << K::Tf;
    QTest::newRow("tester 4") << "tester" << 0 << 4 << 16 << K::H2bn;
    QTest::newRow("tester, negative variant") << "tester" << 0 << -1 << 16 << K::H2bn;
    QTest::newRow("copier 2") << "tester" << 2 << 2 << 32 << K::Ssd;
    QTest::newRow("copier 3, 12 ports") << "tester" << 2 << 3 << 12 << K::Ssd;
    QTest::newRow("copier 3, 16 ports") << "tester" << 2 << 3 << 16 << K::Copier;
    QTest::newRow("copier type 1, variant 2") << "tester" << 1 << 2 << 32 << K::Ssd;
    QTest::newRow("copier window, type 1 variant 2") << "copier" << 1 << 2 << 32 << K::Copier;
    QTest::newRow("copier window, type 2 variant 3") << "copier" << 2 << 3 << 8 << K::Ssd;
    QTest::newRow("burn-in window, variant 0") << "burnin" << 0 << 0 << 32 << K::Tester;
    QTest::newRow("burn-in window, variant 3") << "burnin" << 0 << 3 << 32 << K::H2bn;
}

void ModeSwitching::dialogTables() {
    QFETCH(QString, window);
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(int, ports);
    QFETCH(SettingsDialogKind, dialog);
    if (window == QLatin1String("tester"))
        QCOMPARE(testerPressDialog(type, variant, ports), dialog);
    else if (window == QLatin1String("copier"))
        QCOMPARE(copierPressDialog(type, variant, ports), dialog);
    else
        QCOMPARE(burninPressDialog(variant), dialog);
}

void ModeSwitching::refusedWhileWorking() {
    Machine m(48, 0, 0);
    setWriting(7);
    m.tester->update();
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, cancel()), QString());
    QCOMPARE(linesWith(log, QStringLiteral("working count 1")), 1);
    // The port finished: the next tick lets presses through again.
    Info.clear();
    m.tester->update();
    QCOMPARE(pressAndAnswer(*m.tester, cancel()), QStringLiteral("SettingDialog"));
}

void ModeSwitching::refusedWhileBoardsDown() {
    Machine m(51, 2, 0, 0);
    FakePower power;
    power.state = 2;
    m.tester->setBoardPower(&power);
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, cancel()), QString());
    QCOMPARE(linesWith(log, QStringLiteral("board down")), 1);
    power.state = 1;
    QCOMPARE(pressAndAnswer(*m.tester, cancel()), QStringLiteral("SettingDlg"));
}

void ModeSwitching::dialogByMachine_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("tester") << 48 << 0 << 0 << "SettingDialog";
    QTest::newRow("TF tester") << 51 << 0 << 1 << "SettingDialog_tf";
    QTest::newRow("burn-in tester") << 16 << 0 << 2 << "SettingDlg_h2bn";
    QTest::newRow("variant-3 copier, 12 ports") << 12 << 2 << 3 << "SettingDlg_ssd";
    QTest::newRow("variant-3 copier, 16 ports") << 16 << 2 << 3 << "SettingDlg";
}

void ModeSwitching::dialogByMachine() {
    QFETCH(int, ports);
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(QString, dialog);
    Machine m(ports, type, variant);
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, cancel()), dialog);
    QCOMPARE(linesWith(log, QStringLiteral("mousePress %1 %2").arg(type).arg(variant)), 1);
}

void ModeSwitching::copyModeHandsOverToTheCopier() {
    Machine m(16, 2, 0);
    EngineLink engine;
    QVERIFY(engine.open());
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, chooseAndAccept("fullcopycompare")),
             QStringLiteral("SettingDlg"));
    QCOMPARE(mSetting.mode, 3);
    QCOMPARE(linesWith(log, QStringLiteral("will change  copymode 3")), 1);
    QVERIFY(!m.tester->isVisible());
    QCOMPARE(m.tester->activity().mRunning.load(), 0);
    QVERIFY(m.copier->isVisible());
    QCOMPARE(m.copier->activity().mRunning.load(), 1);
    const QVector<uint32_t> message = engine.next();
    QCOMPARE(message.value(1), 2u);
    QCOMPARE(message.value(2), 3u);
    QVERIFY(m.bed.storedFile().contains("mode = 3\n"));
}

void ModeSwitching::protocolModeKeepsTheTester() {
    // Mode 11 is kept by the copier dialog when no mode is picked.
    Machine m(16, 2, 0, 11);
    EngineLink engine;
    QVERIFY(engine.open());
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, chooseAndAccept("")), QStringLiteral("SettingDlg"));
    QCOMPARE(mSetting.mode, 11);
    QCOMPARE(linesWith(log, QStringLiteral("will change to H2")), 1);
    QCOMPARE(linesWith(log, QStringLiteral("mainwindow start")), 1);
    QVERIFY(m.tester->isVisible());
    QCOMPARE(m.tester->activity().mRunning.load(), 1);
    QVERIFY(!m.copier->isVisible());
    QCOMPARE(engine.next().value(2), 11u);
}

void ModeSwitching::cancelLeavesEverythingAlone() {
    Machine m(48, 0, 0);
    EngineLink engine;
    QVERIFY(engine.open());
    const SettingRecord before = snapshotSetting();
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester,
                            [](QDialog& d) {
                                clickBox(
                                    d.findChild<QAbstractButton*>(QStringLiteral("formatmode")));
                                pressCancel(d);
                            }),
             QStringLiteral("SettingDialog"));
    QCOMPARE(memcmp(&mSetting, &before, sizeof(before)), 0);
    QVERIFY(engine.quiet(200));
    QVERIFY(m.bed.storedFile().isEmpty());
    QCOMPARE(linesWith(log, QStringLiteral("dialog accepted")), 0);
    QVERIFY(m.tester->isVisible());
}

void ModeSwitching::burninModeHandsOverToBurnin_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("tester dialog") << 0 << "SettingDialog";
    QTest::newRow("burn-in dialog") << 2 << "SettingDlg_h2bn";
}

void ModeSwitching::burninModeHandsOverToBurnin() {
    QFETCH(int, variant);
    QFETCH(QString, dialog);
    Machine m(32, 0, variant);
    EngineLink engine;
    QVERIFY(engine.open());
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, chooseAndAccept("burnin_mode")), dialog);
    QCOMPARE(mSetting.mode, 7);
    QCOMPARE(linesWith(log, QStringLiteral("will change to burnin test")), 1);
    QVERIFY(!m.tester->isVisible());
    QCOMPARE(m.tester->activity().mRunning.load(), 0);
    QVERIFY(m.burnin->isVisible());
    QVERIFY(m.burnin->running());
    QCOMPARE(engine.next().value(2), 7u);
}

void ModeSwitching::tfDialogRetitlesWithoutRestart() {
    Machine m(51, 0, 1);
    EngineLink engine;
    QVERIFY(engine.open());
    // A finished port is forgotten by the re-numbering after the change.
    TesterPortRecord r{};
    r.state = 4;
    Info.write(testerPortOffset(2), &r, sizeof(r));
    m.tester->update();
    auto* port2 = m.tester->findChild<Frame*>(QStringLiteral("frame_2"));
    QCOMPARE(port2->lastState(), 4u);
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.tester, chooseAndAccept("formatmode")),
             QStringLiteral("SettingDialog_tf"));
    QCOMPARE(mSetting.mode, 1);
    QCOMPARE(port2->title(), QStringLiteral("Format\nV312504\n\n"));
    QCOMPARE(m.tester->modeTitle(), QStringLiteral("Format\nV312504\n\n"));
    QCOMPARE(port2->lastState(), 0u);
    QCOMPARE(linesWith(log, QStringLiteral("mainwindow start")), 0);
    QCOMPARE(linesWith(log, QStringLiteral("dialog accepted")), 1);
    QCOMPARE(engine.next().value(2), 1u);
    QVERIFY(m.bed.storedFile().contains("mode = 1\n"));
}

QTEST_MAIN(ModeSwitching)
#include "tst_mode_switching.moc"
