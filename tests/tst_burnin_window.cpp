// The burn-in window: its forms, the title made once, the frames' ports, the counters,
// start and stop with the pause, and a press on the window.

#include "burnin/framebn.h"
#include "burnin/mainwindowburnin.h"
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
#include <QtTest>

using namespace burnin;

using h2test::EngineLink;

namespace {

void setMachine(int ports, int variant = 0, int type = 0) {
    SettingRecord r{};
    settings::loadDefaults(r);
    r.port_count = ports;
    r.mode = kModeBurnin;
    r.machine_variant = variant;
    r.machine_type = type;
    commitSetting(r);
}

void setPort(int index, uint32_t status, uint32_t busy = 0) {
    BurninPortRecord r{};
    r.bnStatus = status;
    r.busy = busy;
    Info.write(burninPortOffset(index), &r, sizeof(r));
}

FrameBn* frame(const QWidget& w, int number) {
    return w.findChild<FrameBn*>(QStringLiteral("frame_%1").arg(number));
}

// A tester machine with its burn-in window shown and running, the pauses recorded.
struct Machine {
    Machine(int ports, int variant) : bed(ports, 0, variant), tester(nullptr, ports) {
        SettingRecord r = snapshotSetting();
        r.mode = kModeBurnin;
        commitSetting(r);
        burnin = std::make_unique<MainWindowBurnin>(nullptr, ports);
        burnin->setPause([this](unsigned ms) { pauses.push_back(int(ms)); });
        mainWindow = &tester;
        burninWindow = burnin.get();
        burnin->start();
    }
    ~Machine() {
        mainWindow = nullptr;
        burninWindow = nullptr;
    }
    DialogBed bed;
    MainWindow tester;
    std::unique_ptr<MainWindowBurnin> burnin;
    std::vector<int> pauses;
};

} // namespace

class BurninWindow : public QObject {
    Q_OBJECT
private slots:
    void init();

    void forms_data();
    void forms();
    void eightyPortsByColumns();
    void titleMadeOnce();
    void framesReadTheirOwnRecords();
    void counters();
    void startAndStop();

    void busyPortRefusesPress();
    void dialogByVariant_data();
    void dialogByVariant();
    void acceptedBurninStays();
    void acceptedTestModeHandsOver();
    void cancelChangesNothing();

private:
    TempRoot mRoot;
};

void BurninWindow::init() {
    Info.clear();
    setMachine(32);
}

void BurninWindow::forms_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("strip");
    QTest::newRow("8") << 8 << 0 << 0 << "MainWindowBurnin_8" << 8 << true;
    QTest::newRow("8, variant 3 tester") << 8 << 3 << 0 << "MainWindowBurnin_8" << 8 << true;
    QTest::newRow("8, variant 3 copier") << 8 << 3 << 2 << "MainWindowBurnin_n8" << 8 << false;
    QTest::newRow("10") << 10 << 0 << 0 << "MainWindowBurnin_10" << 10 << true;
    QTest::newRow("12") << 12 << 0 << 0 << "MainWindowBurnin_12" << 12 << true;
    QTest::newRow("16") << 16 << 0 << 0 << "MainWindowBurnin_16" << 16 << true;
    QTest::newRow("16, variant 4") << 16 << 4 << 0 << "MainWindowBurnin_162" << 16 << false;
    QTest::newRow("20") << 20 << 0 << 0 << "MainWindowBurnin_20" << 20 << true;
    QTest::newRow("24") << 24 << 0 << 0 << "MainWindowBurnin_24" << 24 << true;
    QTest::newRow("32") << 32 << 0 << 0 << "MainWindowBurnin_32" << 32 << true;
    QTest::newRow("48") << 48 << 2 << 0 << "MainWindowBurnin_48" << 48 << true;
    QTest::newRow("64") << 64 << 0 << 0 << "MainWindowBurnin_64" << 64 << true;
    QTest::newRow("80") << 80 << 0 << 0 << "MainWindowBurnin_80" << 80 << true;
    QTest::newRow("96") << 96 << 0 << 0 << "MainWindowBurnin_96" << 96 << true;
    QTest::newRow("40 takes the general form") << 40 << 0 << 0 << "MainWindowBurnin" << 32 << false;
}

void BurninWindow::forms() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(int, type);
    QFETCH(QString, form);
    QFETCH(int, frames);
    QFETCH(bool, strip);
    setMachine(ports, variant, type);
    MainWindowBurnin w(nullptr, ports);
    QCOMPARE(QString::fromLatin1(w.form().name), form);
    QCOMPARE(w.findChildren<FrameBn*>().size(), frames);
    QVERIFY(frame(w, frames));
    QCOMPARE(w.findChild<QWidget*>(QStringLiteral("StatusWidget")) != nullptr, strip);
    if (strip)
        QCOMPARE(labelText(&w, "workingMode"), QStringLiteral("BURNIN"));
}

void BurninWindow::eightyPortsByColumns() {
    setMachine(80);
    StdoutCapture log;
    MainWindowBurnin w(nullptr, 80);
    QCOMPARE(cellName(w, 0, 0), QStringLiteral("StatusWidget"));
    QCOMPARE(cellName(w, 1, 0), QStringLiteral("frame_1"));
    QCOMPARE(cellName(w, 8, 0), QStringLiteral("frame_8"));
    QCOMPARE(cellName(w, 1, 1), QStringLiteral("frame_9"));
    QCOMPARE(cellName(w, 8, 9), QStringLiteral("frame_80"));
    QCOMPARE(frame(w, 9)->size(), QSize(185, 113));
    QCOMPARE(QString::fromUtf8(log.text()).count(QStringLiteral("80 port")), 80);
}

void BurninWindow::titleMadeOnce() {
    MainWindowBurnin before(nullptr, 32);
    setHeader(0x20);
    MainWindowBurnin after(nullptr, 32);
    before.start();
    QCOMPARE(before.titleText(), QStringLiteral("BURNIN\n\nV312504\n\n"));
    QCOMPARE(frame(before, 32)->title(), QStringLiteral("BURNIN\n\nV312504\n\n"));
    QCOMPARE(frame(after, 1)->title(), QStringLiteral("BURNIN\n\nV312504\nV20\n"));
    before.stopslot();
}

void BurninWindow::framesReadTheirOwnRecords() {
    MainWindowBurnin w(nullptr, 32);
    QCOMPARE(labelText(frame(w, 1), "label_no"), QStringLiteral("1"));
    QCOMPARE(labelText(frame(w, 32), "label_no"), QStringLiteral("32"));
    QCOMPARE(frame(w, 1)->port(), 0);
    setPort(31, StatusPassed);
    w.JobUiChange();
    QVERIFY(!frame(w, 32)->covered());
    QVERIFY(frame(w, 31)->covered());
}

void BurninWindow::counters() {
    MainWindowBurnin w(nullptr, 32);
    setHeader(0, 40, 30, 10);
    const uint32_t statuses[] = {StatusWriting,
                                 StatusVerifying,
                                 StatusPassed,
                                 StatusPassed,
                                 StatusStoppedWithErrors,
                                 StatusWriteStopped,
                                 StatusComplete,
                                 StatusReady,
                                 5};
    for (int i = 0; i < int(sizeof(statuses) / sizeof(statuses[0])); ++i)
        setPort(i, statuses[i]);
    w.JobUiChange();
    w.JobUiChange();
    QCOMPARE(labelText(&w, "currentWorking"), QStringLiteral("2"));
    QCOMPARE(labelText(&w, "currentSuccess"), QStringLiteral("2"));
    QCOMPARE(labelText(&w, "currentFail"), QStringLiteral("2"));
    QCOMPARE(labelText(&w, "totalWorked"), QStringLiteral("40"));
    QCOMPARE(labelText(&w, "totalSuccess"), QStringLiteral("30"));
    QCOMPARE(labelText(&w, "totalFail"), QStringLiteral("10"));
    QCOMPARE(w.findChild<QWidget*>(QStringLiteral("StatusWidget"))->styleSheet(),
             QStringLiteral("background:#dad7d3"));
}

void BurninWindow::startAndStop() {
    MainWindowBurnin w(nullptr, 32);
    std::vector<int> pauses;
    bool hiddenDuringPause = false;
    w.setPause([&](unsigned ms) {
        pauses.push_back(int(ms));
        hiddenDuringPause = !w.isVisible() && !w.running();
    });
    QVERIFY(!w.isVisible());
    QVERIFY(!w.running());
    w.start();
    QVERIFY(w.isVisible());
    QVERIFY(w.running());
    QVERIFY(pauses.empty());
    w.stop();
    QVERIFY(!w.isVisible());
    QVERIFY(!w.running());
    QCOMPARE(pauses, std::vector<int>{2000});
    QVERIFY(hiddenDuringPause);
}

void BurninWindow::busyPortRefusesPress() {
    Machine m(32, 2);
    setPort(3, StatusWriting, 1);
    QCOMPARE(pressAndAnswer(*m.burnin, cancel()), QString());
    // Busy beyond the window's ports does not count.
    setPort(3, StatusWriting, 0);
    setPort(40, StatusWriting, 1);
    QCOMPARE(pressAndAnswer(*m.burnin, cancel()), QStringLiteral("SettingDlg_h2bn"));
}

void BurninWindow::dialogByVariant_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("variant 0") << 0 << "SettingDialog";
    QTest::newRow("variant 2") << 2 << "SettingDlg_h2bn";
    QTest::newRow("variant 4") << 4 << "SettingDlg_h2bn";
}

void BurninWindow::dialogByVariant() {
    QFETCH(int, variant);
    QFETCH(QString, dialog);
    Machine m(16, variant);
    QCOMPARE(pressAndAnswer(*m.burnin, cancel()), dialog);
}

void BurninWindow::acceptedBurninStays() {
    Machine m(32, 2);
    EngineLink engine;
    QVERIFY(engine.open());
    StdoutCapture log;
    QCOMPARE(pressAndAnswer(*m.burnin, chooseAndAccept("burnin_mode")),
             QStringLiteral("SettingDlg_h2bn"));
    const QString lines = QString::fromUtf8(log.text());
    QVERIFY(lines.contains(QStringLiteral("will change to burnin test")));
    QVERIFY(lines.contains(QStringLiteral("accept ok")));
    QVERIFY(m.burnin->isVisible());
    QVERIFY(m.burnin->running());
    QVERIFY(m.pauses.empty());
    const QVector<uint32_t> message = engine.next();
    QCOMPARE(message.value(1), 2u);
    QCOMPARE(message.value(2), 7u);
    QVERIFY(m.bed.storedFile().contains("mode = 7\n"));
}

void BurninWindow::acceptedTestModeHandsOver() {
    Machine m(32, 0);
    EngineLink engine;
    QVERIFY(engine.open());
    QCOMPARE(pressAndAnswer(*m.burnin, chooseAndAccept("testmode")),
             QStringLiteral("SettingDialog"));
    QCOMPARE(mSetting.mode, 0);
    QVERIFY(!m.burnin->isVisible());
    QVERIFY(!m.burnin->running());
    QCOMPARE(m.pauses, std::vector<int>{2000});
    QVERIFY(m.tester.isVisible());
    QCOMPARE(m.tester.activity().mRunning.load(), 1);
    QCOMPARE(engine.next().value(2), 0u);
    QVERIFY(m.bed.storedFile().contains("mode = 0\n"));
}

void BurninWindow::cancelChangesNothing() {
    Machine m(32, 2);
    EngineLink engine;
    QVERIFY(engine.open());
    const SettingRecord before = snapshotSetting();
    QCOMPARE(pressAndAnswer(*m.burnin,
                            [](QDialog& d) {
                                clickBox(d.findChild<QAbstractButton*>(QStringLiteral("testmode")));
                                pressCancel(d);
                            }),
             QStringLiteral("SettingDlg_h2bn"));
    QCOMPARE(memcmp(&mSetting, &before, sizeof(before)), 0);
    QVERIFY(m.burnin->isVisible());
    QVERIFY(engine.quiet(200));
    QVERIFY(m.bed.storedFile().isEmpty());
}

QTEST_MAIN(BurninWindow)
#include "tst_burnin_window.moc"
