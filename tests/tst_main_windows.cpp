// The three main windows: titles and numbers, what each tick counts and shows, the refresh
// timer, the board power-off after a run, the lowest-speed button, and a press: refused, or
// the settings dialog of the machine and then the window of the chosen mode.

#include "hardware/boardcontrol.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/engine_link.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"
#include "support/window_probe.h"
#include "tester/frame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using h2test::EngineLink;

class MainWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { Info.clear(); }
    void titles();
    void counters();
    void testerFrameDrawing();
    void boardsOffAfterARun();
    void lowestSpeedButton();
    void press();

private:
    TempRoot mRoot;
};

// Window, ports, mode and the engine version reported once the window is built; then the
// cover title as built and once started, the mode name in the strip, the number of the first
// and the last frame.
void MainWindows::titles() {
    const char* rows[] = {"T 48 0 2a;H2test   \nV312504\n\n|H2测试\nV312504\nV2a\n|H2测试|1|48",
                          "T 48 11 0;协议分析\nV312504\n\n|协议分析\nV312504\n\n|协议分析|1|48",
                          "T 51 5 0;H2test   \nV312504\n\n|H2测试\nV312504\n\n|H2测试|<missing>|50",
                          "T 121 9 0;H2校验\nV312504\n\n|H2校验\nV312504\n\n|H2校验|<missing>|120",
                          "C 32 4 20;|全盘拷贝\nV312504\nV20\n|全盘拷贝|源|32",
                          "C 32 1 0;|格式化\nV312504\n\n|Unknown|源|32",
                          "C 32 9 20;||Unknown|源|32",
                          "C 51 6 0;|数据拷贝\nV312504\n\n|数据拷贝|源|50",
                          "C 121 5 0;|数据拷贝比较\nV312504\n\n|数据拷贝比较|源|120",
                          "B 32 7 20;BURNIN\n\nV312504\n\n|BURNIN\n\nV312504\n\n|BURNIN|1|32"};
    for (const char* row : rows) {
        const QStringList m = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        const int ports = m[1].toInt();
        Info.clear();
        setMachine(ports, m[2].toInt(), m[0] == "C" ? 2 : 0);
        Machine w(m[0][0].toLatin1());
        const QString built = w.title(ports);
        setHeader(m[3].toUInt(nullptr, 16));
        w.start();
        QCOMPARE(
            QStringList({built, w.title(ports), labelText(w.shown, "workingMode"),
                         labelText(w.frame(1), "label_no"), labelText(w.frame(ports), "label_no")})
                .join('|'),
            QString::fromUtf8(row).section(';', 1));
        if (m[0] != "B") // the tester and copier strips turn grey on start
            QCOMPARE(w.shown->findChild<QWidget*>("StatusWidget")->styleSheet(),
                     QStringLiteral("background:#dad7d3"));
    }
}

// Window, ports and records (index:status:connected); then the strip (this tick's working,
// passed, failed, the engine's totals), the working ports and the connected ones as the board
// power thread reads them. Two ticks count the same; frames read their own records.
void MainWindows::counters() {
    const char* rows[] = {
        "T 48 1:1:1 2:2:1 3:9:1 4:3:1 5:3:0 6:12:0 7:0:1 8:7:1;3 2 1 100 80 20|3 6",
        "T 121 1:1:1 2:4:1;0 0 1 100 80 20|0 1",
        "T 60 32:1:0 33:1:1;1 0 0 100 80 20|1 0",
        "C 8 0:4:1 1:4:1 2:5:1 3:6:1 4:7:1 5:9:1 6:10:0 7:0:0;2 1 3 100 80 20|2 5",
        "C 32 1:4:0 31:4:1;1 0 0 100 80 20|1 1",
        "C 20 5:4:1 20:4:1;0 0 0 0 0 0|1 1",
        "B 32 0:11 1:12 2:14 3:14 4:13 5:15 6:17 7:1 8:5 31:13;2 2 3 100 80 20|"};
    for (const char* row : rows) {
        QStringList records = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        const char kind = records.takeFirst()[0].toLatin1();
        const int mode = kind == 'C' ? 4 : kind == 'B' ? 7 : 0;
        setMachine(records.takeFirst().toInt(), mode, kind == 'C' ? 2 : 0);
        Info.clear();
        Machine w(kind);
        w.start();
        setHeader(0, 100, 80, 20);
        for (const QString& r : records)
            setRecord(kind, r.section(':', 0, 0).toInt(), r.section(':', 1, 1).toUInt(),
                      r.section(':', 2).toUInt());
        const WindowActivity* a = kind == 'T'   ? &w.tester.activity()
                                  : kind == 'C' ? &w.copier->activity()
                                                : nullptr;
        for (int tick = 0; tick < 2; ++tick) {
            w.tick();
            QCOMPARE(
                stripCounters(*w.shown) + '|' +
                    (a ? QString::asprintf("%d %d", a->mWorkingLast.load(), a->mConnected.load())
                       : ""),
                QString::fromUtf8(row).section(';', 1));
        }
    }
}

// A tester frame applies what it draws: the cover (its title lets the grey through), the bar,
// the colour and texts, the red cluster line and the fonts, all reset by a new numbering,
// which also forgets a finished state. The window refreshes once a second until stopped.
void MainWindows::testerFrameDrawing() {
    setMachine(48, 1);
    Machine w('T');
    w.shown->setGeometry(0, 0, 1920, 1080);
    w.shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.shown));
    w.start();
    auto* f = static_cast<Frame*>(w.frame(2));
    auto* bar = f->findChild<QProgressBar*>();
    auto* speed = f->findChild<QLabel*>(QStringLiteral("label_1_3"));
    QCOMPARE(QColor(f->grab().toImage().pixel(f->width() / 2, 8)), QColor(0xda, 0xd7, 0xd3));
    QCOMPARE(speed->font().pointSize(), 12);
    const QColor normal = speed->palette().color(QPalette::WindowText);
    setRecord('T', 2, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!f->covered() && !bar->isHidden(), 3000);
    QCOMPARE(labelText(f, "label") + f->styleSheet(), QStringLiteral("1024Mbackground:#dad7d3"));
    w.tester.stop();
    QCOMPARE(w.tester.activity().mRunning.load(), 0);
    setRecord('T', 2, 0);
    QTest::qWait(1100);
    QVERIFY(!f->covered());
    w.tick();
    QVERIFY(f->covered() && bar->isHidden() && labelText(f, "label").isEmpty());
    setRecord('T', 2, 3);
    w.tick();
    QCOMPARE(speed->text(), QStringLiteral("4KB"));
    QCOMPARE(speed->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(Qt::red));
    w.tester.updateSetting();
    QCOMPARE(speed->palette().color(QPalette::WindowText), normal);
    QCOMPARE(f->lastState(), 0u);
}

// After the last working port of a run the tester and copier windows tell the engine
// (command 9) and switch the boards off through the controller, once.
void MainWindows::boardsOffAfterARun() {
    FakeGpio gpio;
    gpio.setLevel({PD, 5}, 0); // boards reported down: the controller powers them
    BoardControl controller(gpio, gpio.commands(), gpio.pause());
    controller.init();
    mBoardControl = &controller;
    EngineLink engine;
    QVERIFY(engine.open());
    for (char kind : {'T', 'C'}) {
        setMachine(121, kind == 'C' ? 4 : 0, kind == 'C' ? 2 : 0);
        Machine w(kind);
        w.start();
        w.tester.setBoardPower(processBoardPower());
        if (w.copier)
            w.copier->setBoardPower(processBoardPower());
        controller.powerBoard(1);
        setRecord(kind, 30, kind == 'T' ? 2 : 4, 1); // verifying, copying
        w.tick();
        gpio.clearEvents();
        setRecord(kind, 30, kind == 'T' ? 3 : 6, 1); // passed
        for (int i = 0; i < 3; ++i)
            w.tick();
        QCOMPARE(engine.next(), (QVector<uint32_t>{8, 9}));
        QVERIFY(engine.quiet(100));
        QCOMPARE(gpio.events({"set"}),
                 (QStringList{"set PD13 0", "set PD1 0", "set PD6 0", "set PD16 0", "set PD17 0"}));
    }
    mBoardControl = nullptr;
}

// The button names the slowest working target and asks the engine about it (command 11);
// with none working it is blank.
void MainWindows::lowestSpeedButton() {
    setMachine(51, 4, 2);
    Machine w('C');
    w.shown->show();
    w.start();
    EngineLink engine;
    QVERIFY(engine.open());
    auto* button = w.shown->findChild<QPushButton*>(QStringLiteral("lowest_speed"));
    setRecord('C', 9, 4, 1);
    setRecord('C', 3, 4, 1);
    w.tick();
    QCOMPARE(button->text(), QStringLiteral("3"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(engine.next(), (QVector<uint32_t>{12, 11, 3}));
    setRecord('C', 3, 6, 1);
    setRecord('C', 9, 7, 1);
    w.tick();
    QCOMPARE(button->text(), QString());
}

// Window shown, ports, type, variant, mode; what stands in the way (a port working, a master
// disk in, the boards down); the answer: a mode button and OK, "-" for Cancel. Then the
// dialog | the windows (upper case shown, + running, the burn-in window's pause on stop) |
// mode | a line logged | mode sent to the engine | mode stored | name in the tester's title.
void MainWindows::press() {
    const char* rows[] = {
        "T 48 0 0 0;working;-;|T+b|0|working count 1|-|-|H2测试",
        "T 51 2 0 0;boards;-;|T+c|0|board down|-|-|H2测试",
        "T 48 0 0 0;;formatmode-;SettingDialog|T+b|0|mousePress 0 0|-|-|H2测试",
        "T 12 2 3 0;;-;SettingDlg_ssd|T+c|0|mousePress 2 3|-|-|H2测试",
        "T 16 2 3 0;;-;SettingDlg|T+c|0|mousePress 2 3|-|-|H2测试",
        "T 16 2 0 0;;fullcopycompare;SettingDlg|tC+|3|will change  copymode 3|3|3|H2测试",
        "T 16 2 0 11;;;SettingDlg|T+c|11|will change to H2|11|11|协议分析",
        "T 32 0 0 0;;burnin_mode;SettingDialog|tB+|7|will change to burnin test|7|7|H2测试",
        "T 32 0 2 0;;burnin_mode;SettingDlg_h2bn|tB+|7|will change to burnin test|7|7|H2测试",
        "T 51 0 1 0;;formatmode;SettingDialog_tf|T+|1|dialog accepted|1|1|Format",
        "C 121 2 0 4;working;-;|tC+|4||-|-|H2test   ",
        "C 121 2 0 4;master;-;|tC+|4|someone on|-|-|H2test   ",
        "C 121 2 0 4;boards;-;|tC+|4|board down|-|-|H2test   ",
        "C 16 2 0 4;;testmode-;SettingDlg|tC+|4||4|-|H2test   ",
        "C 12 2 3 4;;-;SettingDlg_ssd|tC+|4||4|-|H2test   ",
        "C 16 2 0 4;;datacopy;SettingDlg|tC+|6|will change  copymode 6|6|6|H2test   ",
        "C 16 2 0 4;;testmode;SettingDlg|T+c|0|will change to H2|0|0|H2测试",
        "C 16 2 2 4;;fullcopy;SettingDlg_ssd|tC+|4|will change  copymode\n|4|4|H2test   ",
        "C 16 2 2 4;;wipemode;SettingDlg_ssd|T+c|10|will change to H2|10|10|擦除",
        "B 32 0 2 7;working;-;|tB+|7||-|-|H2test   ",
        "B 32 0 4 7;;burnin_mode;SettingDlg_h2bn|tB+|7|accept ok|7|7|H2test   ",
        "B 32 0 0 7;;testmode;SettingDialog|T+b2000|0|will change to h2 test|0|0|H2测试"};
    for (const char* row : rows) {
        const QString press = QString::fromUtf8(row);
        Info.clear();
        const QStringList m = press.section(';', 0, 0).split(' ');
        const QString before = press.section(';', 1, 1), after = press.section(';', 3);
        const char kind = m[0][0].toLatin1();
        DialogBed bed(m[1].toInt(), m[2].toInt(), m[3].toInt());
        SettingRecord record = snapshotSetting();
        record.mode = m[4].toInt();
        commitSetting(record);
        Machine w(kind);
        FakePower power;
        power.state = before == "boards" ? 2 : 1;
        w.tester.setBoardPower(&power);
        if (w.copier)
            w.copier->setBoardPower(&power);
        w.shown->setGeometry(0, 0, 1920, 1080);
        w.shown->show();
        w.start();
        if (before == "working" || before == "master") {
            setRecord(kind,
                      before == "master" ? 0
                      : kind == 'B'      ? 3
                                         : 5,
                      kind == 'T' ? 1 : 5, 1); // burn-in: busy
            w.tick();
        }
        EngineLink engine;
        QVERIFY(engine.open());
        StdoutCapture log;
        // The dialog is answered from inside its event loop: the mode button, then OK (or
        // Cancel when the answer ends in '-').
        QString dialog;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&, answer = press.section(';', 2, 2)] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                watch.stop();
                dialog = QString::fromLatin1(d->metaObject()->className());
                if (answer.size() > 1)
                    clickBox(d->findChild<QAbstractButton*>(answer.section('-', 0, 0)));
                answer.endsWith('-') ? pressCancel(*d) : pressOk(*d);
            }
        });
        watch.start(10);
        QTest::mouseClick(w.shown, Qt::LeftButton, {}, QPoint(100, 5));
        QString windows;
        for (auto [window, letter, running] :
             {std::tuple<QWidget*, char, bool>{&w.tester, 'T', w.tester.activity().mRunning},
              {w.copier.get(), 'C', w.copier && w.copier->activity().mRunning},
              {w.burnin.get(), 'B', w.burnin && w.burnin->running()}}) {
            if (window)
                windows += QString(QLatin1Char(window->isVisible() ? letter : letter + 32)) +
                           (running ? "+" : "") + (letter == 'B' ? w.pauses : "");
        }
        const QVector<uint32_t> sent = engine.next(300);
        const auto stored =
            QRegularExpression("\\bmode = (\\d+)\n").match(QString::fromUtf8(bed.storedFile()));
        const QString line = after.section('|', 3, 3);
        QVERIFY2(line.isEmpty() || lines(log.text(), line) == 1, qPrintable(line));
        QCOMPARE(QStringList({dialog, windows, QString::number(mSetting.mode), line,
                              sent.isEmpty() ? "-" : QString::number(sent.value(2)),
                              stored.hasMatch() ? stored.captured(1) : "-",
                              w.tester.modeTitle().section('\n', 0, 0)})
                     .join('|'),
                 after);
    }
}

QTEST_MAIN(MainWindows)
#include "tst_main_windows.moc"
