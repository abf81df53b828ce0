// The copier window: its forms, titles and numbering, the counters and the slowest target,
// the board power-off after a job, the lowest-speed button and a press on the window.

#include "copier/frame_dd.h"
#include "copier/frame_dst.h"
#include "copier/mainwindowcopy.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/engine_link.h"
#include "support/press_answer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"
#include "support/window_probe.h"
#include "tester/mainwindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace copier;

using h2test::EngineLink;

namespace {

void setMachine(int ports, int mode = kModeFullCopy, int variant = 0, int type = 2) {
    SettingRecord r{};
    settings::loadDefaults(r);
    r.port_count = ports;
    r.mode = mode;
    r.machine_variant = variant;
    r.machine_type = type;
    commitSetting(r);
}

void setDisk(int port, uint32_t connect, uint32_t status, uint64_t copied = 0,
             uint64_t compared = 0) {
    CopierPortRecord r{};
    r.connectState = connect;
    r.portStatus = status;
    r.copiedBytes = copied;
    r.comparedBytes = compared;
    Info.write(copierPortOffset(port), &r, sizeof(r));
}

void setJob(uint64_t bytes) {
    CopierJobArea job{};
    job.jobBytes = bytes;
    Info.write(32, &job, sizeof(job));
}

int linesWith(const StdoutCapture& log, const char* text) {
    return QString::fromUtf8(log.text()).count(QLatin1String(text));
}

// The tester and copier windows of one copier machine, shown as start-up shows them.
struct Machine {
    Machine(int ports, int variant = 0, int type = 2)
        : bed(ports, type, variant), tester(nullptr, ports), copier(nullptr, ports) {
        mainWindow = &tester;
        copyWindow = &copier;
        copier.setGeometry(0, 0, 1920, 1080);
        copier.show();
        copier.start();
    }
    ~Machine() {
        mainWindow = nullptr;
        copyWindow = nullptr;
    }
    DialogBed bed;
    MainWindow tester;
    MainWindowCopy copier;
};

} // namespace

class CopierWindow : public QObject {
    Q_OBJECT
private slots:
    void init();

    void forms_data();
    void forms();
    void masterInsideTheStripOn121();
    void fiftyOnePorts();
    void twentyFourPorts();
    void titlesAndNumbers_data();
    void titlesAndNumbers();
    void brandOnlyAboveEightPorts_data();
    void brandOnlyAboveEightPorts();
    void counters();
    void generalFormHasNoCounters();
    void slowestTargetOnTheButton();
    void powerOffOnceAfterAJob();
    void noPowerOffWhileBoardsAreOff();

    void pressRefused_data();
    void pressRefused();
    void dialogByMachine_data();
    void dialogByMachine();
    void acceptedModeChoosesTheWindow_data();
    void acceptedModeChoosesTheWindow();
    void cancelStillSendsTheSettings();

private:
    TempRoot mRoot;
};

void CopierWindow::init() {
    Info.clear();
    setMachine(32);
}

void CopierWindow::forms_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<bool>("button");
    QTest::newRow("4") << 4 << "MainWindowCopy_4" << 4 << true << false;
    QTest::newRow("6") << 6 << "MainWindowCopy_6" << 6 << true << false;
    QTest::newRow("8") << 8 << "MainWindowCopy_8" << 8 << true << false;
    QTest::newRow("10") << 10 << "MainWindowCopy_10" << 10 << true << false;
    QTest::newRow("12") << 12 << "MainWindowCopy_12" << 12 << true << false;
    QTest::newRow("16") << 16 << "MainWindowCopy_16" << 16 << true << false;
    QTest::newRow("20 takes the general form") << 20 << "MainWindowCopy" << 32 << false << false;
    QTest::newRow("24") << 24 << "MainWindowCopy_24" << 24 << true << false;
    QTest::newRow("32") << 32 << "MainWindowCopy_32" << 32 << true << false;
    QTest::newRow("40") << 40 << "MainWindowCopy_40" << 40 << true << false;
    QTest::newRow("48") << 48 << "MainWindowCopy_48" << 48 << true << false;
    QTest::newRow("51") << 51 << "MainWindowCopy_51" << 51 << true << true;
    QTest::newRow("64") << 64 << "MainWindowCopy_64" << 64 << true << false;
    QTest::newRow("121") << 121 << "MainWindowCopy_121" << 121 << true << true;
    QTest::newRow("96 takes the general form") << 96 << "MainWindowCopy" << 32 << false << false;
}

void CopierWindow::forms() {
    QFETCH(int, ports);
    QFETCH(QString, form);
    QFETCH(int, frames);
    QFETCH(bool, strip);
    QFETCH(bool, button);
    setMachine(ports);
    MainWindowCopy w(nullptr, ports);
    QCOMPARE(QString::fromLatin1(w.form().name), form);
    QCOMPARE(w.size(), QSize(1920, 1080));
    QVERIFY(w.findChild<Frame_dd*>(QStringLiteral("frame_1")));
    QCOMPARE(w.findChildren<Frame_dd*>().size(), 1);
    QCOMPARE(w.findChildren<Frame_dst*>().size(), frames - 1);
    for (int port = 2; port <= frames; ++port)
        QVERIFY2(w.findChild<Frame_dst*>(QStringLiteral("frame_%1").arg(port)),
                 qPrintable(QString::number(port)));
    QCOMPARE(w.findChild<QWidget*>(QStringLiteral("StatusWidget")) != nullptr, strip);
    QVERIFY(
        w.findChild<QWidget*>(strip ? QStringLiteral("StatusWidget") : QStringLiteral("widget")));
    QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("lowest_speed")) != nullptr, button);
}

void CopierWindow::masterInsideTheStripOn121() {
    setMachine(121);
    MainWindowCopy w(nullptr, 121);
    auto* strip = w.findChild<QWidget*>(QStringLiteral("StatusWidget"));
    auto* master = w.findChild<Frame_dd*>(QStringLiteral("frame_1"));
    QVERIFY(strip && master);
    QCOMPARE(master->parentWidget(), strip);
    QCOMPARE(master->geometry(), QRect(0, 0, 126, 118));
    auto* button = w.findChild<QPushButton*>(QStringLiteral("lowest_speed"));
    QCOMPARE(button->parentWidget(), strip);
    QCOMPARE(button->geometry(), QRect(1490, 10, 71, 51));
    // Targets by columns from the bottom: 2 to 9 in the first column, 121 at the top right.
    QCOMPARE(cellName(w, 8, 0), QStringLiteral("frame_2"));
    QCOMPARE(cellName(w, 1, 0), QStringLiteral("frame_9"));
    QCOMPARE(cellName(w, 8, 1), QStringLiteral("frame_10"));
    QCOMPARE(cellName(w, 1, 14), QStringLiteral("frame_121"));
    QCOMPARE(cellName(w, 0, 0), QStringLiteral("StatusWidget"));
}

void CopierWindow::fiftyOnePorts() {
    setMachine(51);
    MainWindowCopy w(nullptr, 51);
    QCOMPARE(cellName(w, 0, 0), QStringLiteral("frame_1"));
    QCOMPARE(cellName(w, 0, 1), QStringLiteral("StatusWidget"));
    QCOMPARE(cellName(w, 1, 0), QStringLiteral("frame_2"));
    QCOMPARE(cellName(w, 4, 9), QStringLiteral("frame_41"));
    QCOMPARE(cellName(w, 5, 0), QString());
    QCOMPARE(cellName(w, 6, 0), QString());
    QCOMPARE(cellName(w, 7, 0), QStringLiteral("frame_42"));
    QCOMPARE(cellName(w, 7, 9), QStringLiteral("frame_51"));
}

void CopierWindow::twentyFourPorts() {
    setMachine(24);
    MainWindowCopy w(nullptr, 24);
    QCOMPARE(cellName(w, 0, 0), QStringLiteral("frame_1"));
    QCOMPARE(cellName(w, 4, 3), QStringLiteral("frame_20"));
    QCOMPARE(cellName(w, 5, 0), QString());
    QCOMPARE(cellName(w, 6, 0), QStringLiteral("frame_21"));
    QCOMPARE(cellName(w, 6, 3), QStringLiteral("frame_24"));
}

void CopierWindow::titlesAndNumbers_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("engineVersion");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("workingMode");
    QTest::addColumn<QString>("frame2Number");
    QTest::newRow("mode 4, engine reported")
        << 32 << kModeFullCopy << 0x20u << "全盘拷贝\nV312504\nV20\n"
        << "全盘拷贝"
        << "2";
    QTest::newRow("mode 3, no engine yet")
        << 32 << kModeFullCopyCompare << 0u << "全盘拷贝比较\nV312504\n\n"
        << "全盘拷贝比较"
        << "2";
    QTest::newRow("mode 13") << 16 << kModeDataCompare << 0u << "数据比较\nV312504\n\n"
                             << "数据比较"
                             << "2";
    QTest::newRow("format: named title, unknown strip")
        << 32 << kModeFormat << 0u << "格式化\nV312504\n\n"
        << "Unknown"
        << "2";
    QTest::newRow("mode without a name") << 32 << 9 << 0x20u << ""
                                         << "Unknown"
                                         << "2";
    QTest::newRow("121 numbers targets from 1")
        << 121 << kModeDataCopy << 0u << "数据拷贝\nV312504\n\n"
        << "数据拷贝"
        << "1";
    QTest::newRow("51 numbers targets from 1")
        << 51 << kModeDataCopy << 0u << "数据拷贝\nV312504\n\n"
        << "数据拷贝"
        << "1";
}

void CopierWindow::titlesAndNumbers() {
    QFETCH(int, ports);
    QFETCH(int, mode);
    QFETCH(uint, engineVersion);
    QFETCH(QString, title);
    QFETCH(QString, workingMode);
    QFETCH(QString, frame2Number);
    setMachine(ports, mode);
    setHeader(engineVersion);
    MainWindowCopy w(nullptr, ports);
    w.start();
    auto* master = w.findChild<Frame_dd*>(QStringLiteral("frame_1"));
    auto* second = w.findChild<Frame_dst*>(QStringLiteral("frame_2"));
    auto* last = w.findChild<Frame_dst*>(QStringLiteral("frame_%1").arg(ports));
    QCOMPARE(master->title(), title);
    QCOMPARE(second->title(), title);
    QCOMPARE(last->title(), title);
    QCOMPARE(labelText(master, QStringLiteral("label_no")), QStringLiteral("源"));
    QCOMPARE(labelText(second, QStringLiteral("label_no")), frame2Number);
    QCOMPARE(master->port(), 0);
    QCOMPARE(second->port(), 1);
    QCOMPARE(last->port(), ports - 1);
    QCOMPARE(labelText(&w, QStringLiteral("workingMode")), workingMode);
    QCOMPARE(w.activity().mRunning.load(), 1);
    w.stop();
    QCOMPARE(w.activity().mRunning.load(), 0);
}

void CopierWindow::brandOnlyAboveEightPorts_data() {
    QTest::addColumn<int>("ports");
    for (int ports : {8, 12, 32, 51, 121})
        QTest::addRow("%d", ports) << ports;
}

// Above eight ports the brand lines sit inside the laid-out strip, clear of its other labels
// and the lowest-speed button; started twice, they are there once.
void CopierWindow::brandOnlyAboveEightPorts() {
    QFETCH(int, ports);
    setMachine(ports);
    MainWindowCopy w(nullptr, ports);
    w.setGeometry(0, 0, 1920, 1080);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.start();
    w.start();
    auto* strip = w.findChild<QWidget*>(QStringLiteral("StatusWidget"));
    QVERIFY(strip);
    QList<QWidget*> brands;
    for (QLabel* label : w.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Tervan拷贝机") ||
            label->text() == QStringLiteral("-KALMO技术-"))
            brands << label;
    }
    QCOMPARE(brands.size(), ports > 8 ? 2 : 0);
    for (QWidget* brand : brands) {
        QCOMPARE(brand->parentWidget(), strip);
        auto* label = static_cast<QLabel*>(brand);
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QVERIFY2(strip->rect().contains(brand->geometry()),
                 qPrintable(QStringLiteral("%1 wide strip").arg(strip->width())));
        for (QWidget* other :
             strip->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!brands.contains(other) && other->isVisible() && !qobject_cast<Frame_dd*>(other))
                QVERIFY2(!other->geometry().intersects(brand->geometry()),
                         qPrintable(other->objectName()));
        }
    }
}

void CopierWindow::counters() {
    setMachine(8);
    MainWindowCopy w(nullptr, 8);
    w.start();
    setHeader(0, 120, 100, 20);
    setJob(1000);
    setDisk(0, 1, 4, 300);
    setDisk(1, 1, 4, 300);
    setDisk(2, 1, 5, 1000, 200);
    setDisk(3, 1, 6, 1000);
    setDisk(4, 1, 7);
    setDisk(5, 1, 9);
    setDisk(6, 0, 10); // an 8-port machine shows it although no disk is reported
    setDisk(7, 0, 0);
    for (int tick = 0; tick < 2; ++tick) {
        w.JobUiChange();
        QCOMPARE(labelText(&w, QStringLiteral("currentWorking")), QStringLiteral("2"));
        QCOMPARE(labelText(&w, QStringLiteral("currentSuccess")), QStringLiteral("1"));
        QCOMPARE(labelText(&w, QStringLiteral("currentFail")), QStringLiteral("3"));
    }
    QCOMPARE(labelText(&w, QStringLiteral("totalWorked")), QStringLiteral("120"));
    QCOMPARE(labelText(&w, QStringLiteral("totalSuccess")), QStringLiteral("100"));
    QCOMPARE(labelText(&w, QStringLiteral("totalFail")), QStringLiteral("20"));
    // Targets with a disk; the master is not one.
    QCOMPARE(w.activity().mConnected.load(), 5);
    QCOMPARE(w.activity().mWorkingLast.load(), 2);
}

void CopierWindow::generalFormHasNoCounters() {
    setMachine(20);
    MainWindowCopy w(nullptr, 20);
    w.start();
    setDisk(5, 1, 4);
    setDisk(20, 1, 4); // frame_21 shows no port of this machine
    w.JobUiChange();
    auto* strip = w.findChild<QWidget*>(QStringLiteral("widget"));
    QCOMPARE(labelText(strip, QStringLiteral("currentWorking")), QStringLiteral("0"));
    QVERIFY(!w.findChild<Frame_dst*>(QStringLiteral("frame_6"))->covered());
    QVERIFY(w.findChild<Frame_dst*>(QStringLiteral("frame_21"))->covered());
    // Work is still known to the press handler and the power thread.
    QCOMPARE(w.activity().mWorkingLast.load(), 1);
}

void CopierWindow::slowestTargetOnTheButton() {
    Machine m(51);
    EngineLink engine;
    QVERIFY(engine.open());
    auto* button = m.copier.findChild<QPushButton*>(QStringLiteral("lowest_speed"));
    setDisk(3, 1, 4, 700);
    setDisk(7, 1, 5, 500, 200);
    setDisk(9, 1, 4, 900);
    m.copier.JobUiChange();
    QCOMPARE(m.copier.lowestPort(), 3);
    QCOMPARE(button->text(), QStringLiteral("3"));
    StdoutCapture log;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(engine.next(), (QVector<uint32_t>{12, 11, 3}));
    QCOMPARE(linesWith(log, "button clicked 0"), 1);

    // The last targets finish: no port is named and the button sends nothing.
    setDisk(3, 1, 6, 1000);
    setDisk(7, 1, 6, 1000, 1000);
    setDisk(9, 1, 7, 900);
    m.copier.JobUiChange();
    QCOMPARE(m.copier.lowestPort(), -1);
    QCOMPARE(button->text(), QString());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(engine.quiet(200));
}

void CopierWindow::powerOffOnceAfterAJob() {
    setMachine(121);
    MainWindowCopy w(nullptr, 121);
    FakePower power;
    w.setBoardPower(&power);
    w.start();
    setDisk(4, 1, 4);
    w.JobUiChange();
    w.JobUiChange();
    QCOMPARE(power.switchedOff, 0);
    setDisk(4, 1, 6);
    StdoutCapture log;
    for (int tick = 0; tick < 4; ++tick)
        w.JobUiChange();
    QCOMPARE(power.switchedOff, 1);
    QCOMPARE(linesWith(log, "will power off board"), 1);
}

void CopierWindow::noPowerOffWhileBoardsAreOff() {
    setMachine(121);
    MainWindowCopy w(nullptr, 121);
    FakePower power;
    power.level = 0;
    w.setBoardPower(&power);
    w.start();
    setDisk(4, 1, 4);
    w.JobUiChange();
    // The boards come on later: the latch was cleared, this job's end switches nothing.
    power.level = 1;
    setDisk(4, 1, 6);
    w.JobUiChange();
    QCOMPARE(power.switchedOff, 0);
}

void CopierWindow::pressRefused_data() {
    QTest::addColumn<QString>("why");
    QTest::addColumn<QString>("log");
    QTest::newRow("a target worked at the last tick") << "working"
                                                      << "";
    QTest::newRow("a master disk is in") << "master"
                                         << "someone on";
    QTest::newRow("boards down") << "boards"
                                 << "board down";
}

void CopierWindow::pressRefused() {
    QFETCH(QString, why);
    QFETCH(QString, log);
    Machine m(121);
    FakePower power;
    power.state = why == QLatin1String("boards") ? 2 : 1;
    m.copier.setBoardPower(&power);
    if (why == QLatin1String("working"))
        setDisk(5, 1, 5);
    if (why == QLatin1String("master"))
        setDisk(0, 1, 1);
    m.copier.JobUiChange();
    const SettingRecord before = snapshotSetting();
    StdoutCapture capture;
    QCOMPARE(pressAndAnswer(m.copier, cancel()), QString());
    if (!log.isEmpty())
        QCOMPARE(linesWith(capture, log.toUtf8().constData()), 1);
    QCOMPARE(snapshotSetting().mode, before.mode);
}

void CopierWindow::dialogByMachine_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("ports");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("SSD copier") << 2 << 2 << 32 << "SettingDlg_ssd";
    QTest::newRow("variant 3, 12 ports") << 2 << 3 << 12 << "SettingDlg_ssd";
    QTest::newRow("variant 3, 16 ports") << 2 << 3 << 16 << "SettingDlg";
    QTest::newRow("variant 0") << 2 << 0 << 8 << "SettingDlg";
    QTest::newRow("other copier type, variant 2") << 1 << 2 << 32 << "SettingDlg";
}

void CopierWindow::dialogByMachine() {
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(int, ports);
    QFETCH(QString, dialog);
    Machine m(ports, variant, type);
    QCOMPARE(pressAndAnswer(m.copier, cancel()), dialog);
}

void CopierWindow::acceptedModeChoosesTheWindow_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("tester");
    QTest::addColumn<QString>("log");
    QTest::newRow("copier dialog, data copy")
        << 0 << QByteArray("datacopy") << 6 << false << "will change  copymode 6";
    QTest::newRow("copier dialog, H2 test")
        << 0 << QByteArray("testmode") << 0 << true << "will change to H2";
    QTest::newRow("SSD dialog, full copy")
        << 2 << QByteArray("fullcopy") << 4 << false << "will change  copymode\n";
    QTest::newRow("SSD dialog, erase belongs to the tester")
        << 2 << QByteArray("wipemode") << 10 << true << "will change to H2";
}

void CopierWindow::acceptedModeChoosesTheWindow() {
    QFETCH(int, variant);
    QFETCH(QByteArray, button);
    QFETCH(int, mode);
    QFETCH(bool, tester);
    QFETCH(QString, log);
    Machine m(16, variant);
    EngineLink engine;
    QVERIFY(engine.open());
    StdoutCapture capture;
    QVERIFY(!pressAndAnswer(m.copier, chooseAndAccept(button.constData())).isEmpty());
    QCOMPARE(mSetting.mode, mode);
    QCOMPARE(linesWith(capture, QStringLiteral("dialog accepted %1").arg(mode).toUtf8()), 1);
    QVERIFY(QString::fromUtf8(capture.text()).contains(log));
    QCOMPARE(m.copier.isVisible(), !tester);
    QCOMPARE(m.copier.activity().mRunning.load(), tester ? 0 : 1);
    QCOMPARE(m.tester.isVisible(), tester);
    QCOMPARE(m.tester.activity().mRunning.load(), tester ? 1 : 0);
    if (!tester)
        QCOMPARE(m.copier.findChild<Frame_dst*>(QStringLiteral("frame_2"))->title(),
                 coverTitle(mode, 0));
    // The engine learns the new mode when the dialog closes.
    const QVector<uint32_t> message = engine.next();
    QCOMPARE(message.value(0), 124u);
    QCOMPARE(message.value(1), 2u);
    QCOMPARE(int(message.value(2)), mode);
}

void CopierWindow::cancelStillSendsTheSettings() {
    Machine m(16);
    EngineLink engine;
    QVERIFY(engine.open());
    const SettingRecord before = snapshotSetting();
    QCOMPARE(pressAndAnswer(m.copier,
                            [](QDialog& d) {
                                clickBox(d.findChild<QAbstractButton*>(QStringLiteral("testmode")));
                                pressCancel(d);
                            }),
             QStringLiteral("SettingDlg"));
    QCOMPARE(memcmp(&mSetting, &before, sizeof(before)), 0);
    QVERIFY(m.copier.isVisible());
    QCOMPARE(m.copier.activity().mRunning.load(), 1);
    const QVector<uint32_t> message = engine.next();
    QCOMPARE(message.value(1), 2u);
    QCOMPARE(int(message.value(2)), before.mode);
    QVERIFY(m.bed.storedFile().isEmpty());
}

QTEST_MAIN(CopierWindow)
#include "tst_copier_window.moc"
