// The tester window: its forms, frames, counters, titles and the board power-off latch.

#include "forms/tester_forms.h"
#include "hardware/boardcontrol.h"
#include "link/status_block.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "support/fake_gpio.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"
#include "support/window_probe.h"
#include "tester/frame.h"
#include "tester/mainwindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

void setMachine(int ports, int mode = 0, int variant = 0, int type = 0) {
    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = ports;
    mSetting.mode = mode;
    mSetting.machine_variant = variant;
    mSetting.machine_type = type;
}

void setPort(int port, uint32_t state, uint32_t connected = 0,
             void (*fill)(TesterPortRecord&) = nullptr) {
    TesterPortRecord r;
    memset(&r, 0, sizeof(r));
    r.state = state;
    r.connected = connected;
    r.progress = 30;
    if (fill)
        fill(r);
    Info.write(testerPortOffset(port), &r, sizeof(r));
}

std::unique_ptr<MainWindow> makeWindow(int ports, int variant = 0, int mode = 0) {
    setMachine(ports, mode, variant);
    return std::make_unique<MainWindow>(nullptr, ports);
}

Frame* frame(QWidget& w, int port) {
    return w.findChild<Frame*>(QStringLiteral("frame_%1").arg(port));
}

QRect frameRect(const MainWindow& w, const Frame* f) {
    return QRect(f->mapTo(&w, QPoint(0, 0)), f->size());
}

void showLaidOut(MainWindow& w) {
    w.setGeometry(0, 0, 1920, 1080);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
}

} // namespace

class TesterWindow : public QObject {
    Q_OBJECT
private slots:
    void init();

    void forms_data();
    void forms();
    void gridOrder_data();
    void gridOrder();
    void framesFitTheScreen_data();
    void framesFitTheScreen();
    void firstPortSkippedOnLargeMachines();
    void fiftyOnePortGap();
    void countWithoutOwnForm();

    void countersAndTotals();
    void finishedStateDrawnOnce();
    void masterFrameNeverRedrawn();
    void coverComesAndGoes();
    void formatReadyClearsFirstLine();
    void formatRedSpeedLineResetByGo();
    void fontsByPortCount();
    void coverTitleOnGrey();

    void titles_data();
    void titles();
    void engineVersionArrivesAfterStart();
    void engineVersionLabelFollowsTenTicks();
    void brandLabelsOnLargerMachines();
    void startStopRunningFlag();

    void powerOffLatch_data();
    void powerOffLatch();
    void windowSwitchesBoardsOffOnce();
    void boardsSwitchedOffThroughTheController();

private:
    TempRoot mRoot;
};

void TesterWindow::init() {
    Info.clear();
    setMachine(48);
}

void TesterWindow::forms_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("4") << 4 << 0 << "MainWindow_4"
                       << "SSD TESTER" << 1 << 4;
    QTest::newRow("6") << 6 << 0 << "MainWindow_6"
                       << "SSD TESTER" << 1 << 6;
    QTest::newRow("8") << 8 << 0 << "MainWindow_8"
                       << "SSD TESTER" << 1 << 8;
    QTest::newRow("10") << 10 << 0 << "MainWindow_10"
                        << "SSD TESTER" << 1 << 10;
    QTest::newRow("12") << 12 << 0 << "MainWindow_12"
                        << "SSD TESTER" << 1 << 12;
    QTest::newRow("16") << 16 << 0 << "MainWindow_16"
                        << "SSD TESTER" << 1 << 16;
    QTest::newRow("16 variant 4") << 16 << 4 << "MainWindow_162"
                                  << "SSD TESTER" << 1 << 16;
    QTest::newRow("20") << 20 << 0 << "MainWindow_20"
                        << "SSD TESTER" << 1 << 20;
    QTest::newRow("24") << 24 << 0 << "MainWindow_24"
                        << "SSD TESTER" << 1 << 24;
    QTest::newRow("32") << 32 << 0 << "MainWindow_32"
                        << "USB3.X TESTER" << 1 << 32;
    QTest::newRow("40") << 40 << 0 << "MainWindow_40"
                        << "USB3.X TESTER" << 1 << 40;
    QTest::newRow("48") << 48 << 3 << "MainWindow_48"
                        << "USB3.X TESTER" << 1 << 48;
    QTest::newRow("51") << 51 << 0 << "MainWindow_51"
                        << "TF3.X TESTER" << 2 << 51;
    QTest::newRow("64") << 64 << 0 << "MainWindow_64"
                        << "USB3.X TESTER" << 1 << 64;
    QTest::newRow("80") << 80 << 0 << "MainWindow_80"
                        << "H2 TESTER" << 1 << 80;
    QTest::newRow("96") << 96 << 0 << "MainWindow_96"
                        << "USB3.X TESTER" << 1 << 96;
    QTest::newRow("121") << 121 << 0 << "MainWindow_121"
                         << "H2 TESTER" << 2 << 121;
    QTest::newRow("28 has no form") << 28 << 0 << "MainWindow"
                                    << "USB3.X TESTER" << 1 << 32;
    QTest::newRow("3 is below the range") << 3 << 0 << "MainWindow"
                                          << "USB3.X TESTER" << 1 << 32;
    QTest::newRow("200 is above the range") << 200 << 0 << "MainWindow"
                                            << "USB3.X TESTER" << 1 << 32;
}

void TesterWindow::forms() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(int, first);
    QFETCH(int, last);
    auto w = makeWindow(ports, variant);
    QTEST(QString::fromLatin1(w->form().name), "form");
    QTEST(w->windowTitle(), "title");
    QCOMPARE(w->size(), QSize(1920, 1080));
    QVERIFY(w->centralWidget());
    QCOMPARE(w->centralWidget()->objectName(), QStringLiteral("centralWidget"));

    const QList<Frame*> frames = w->findChildren<Frame*>();
    QCOMPARE(frames.size(), last - first + 1);
    QSet<QPair<int, int>> cells;
    auto* grid = w->findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    QVERIFY(grid);
    for (int port = first; port <= last; ++port) {
        Frame* f = frame(*w, port);
        QVERIFY2(f, qPrintable(QStringLiteral("frame_%1").arg(port)));
        QCOMPARE(f->styleSheet(), QStringLiteral("background:#fff"));
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(f), &row, &column, &rowSpan, &columnSpan);
        QVERIFY(!cells.contains({row, column}));
        cells.insert({row, column});
    }
    QVERIFY(!frame(*w, first - 1));
    QVERIFY(!frame(*w, last + 1));

    // Every tester strip carries the counters under the name the window looks for.
    QWidget* strip = w->findChild<QWidget*>(QStringLiteral("StatusWidget"));
    QVERIFY(strip);
    for (const char* name : {"workingMode", "totalWorked", "totalSuccess", "totalFail",
                             "currentWorking", "currentSuccess", "currentFail"})
        QVERIFY2(strip->findChild<QLabel*>(QString::fromLatin1(name)), name);
    QCOMPARE(labelText(strip, "label_2"), QStringLiteral("成功总数"));
    QCOMPARE(labelText(strip, "label_6"), QStringLiteral("当前失败"));
    QCOMPARE(labelText(strip, "currentFail"), QStringLiteral("0"));
}

void TesterWindow::gridOrder_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("frame");
    QTest::newRow("4: second row starts at 3") << 4 << 0 << 1 << 0 << "frame_3";
    QTest::newRow("16 variant 4: first row ends at 8") << 16 << 4 << 0 << 7 << "frame_8";
    QTest::newRow("16 variant 4: second row starts at 9") << 16 << 4 << 1 << 0 << "frame_9";
    QTest::newRow("48: second frame row") << 48 << 0 << 2 << 0 << "frame_9";
    QTest::newRow("48: bottom right") << 48 << 0 << 6 << 7 << "frame_48";
    QTest::newRow("51: top left") << 51 << 0 << 1 << 0 << "frame_2";
    QTest::newRow("51: fourth row end") << 51 << 0 << 4 << 9 << "frame_41";
    QTest::newRow("51: row 5 empty") << 51 << 0 << 5 << 0 << "";
    QTest::newRow("51: last row start") << 51 << 0 << 7 << 0 << "frame_42";
    QTest::newRow("51: last row end") << 51 << 0 << 7 << 9 << "frame_51";
    QTest::newRow("80: top of the first column") << 80 << 0 << 1 << 0 << "frame_1";
    QTest::newRow("80: top of the second column") << 80 << 0 << 1 << 1 << "frame_9";
    QTest::newRow("80: bottom right") << 80 << 0 << 8 << 9 << "frame_80";
    QTest::newRow("96: top of the second column") << 96 << 0 << 1 << 1 << "frame_9";
    QTest::newRow("121: bottom left") << 121 << 0 << 8 << 0 << "frame_2";
    QTest::newRow("121: bottom of the second column") << 121 << 0 << 8 << 1 << "frame_10";
    QTest::newRow("121: top right") << 121 << 0 << 1 << 14 << "frame_121";
    QTest::newRow("generic: 32 frames") << 60 << 0 << 4 << 7 << "frame_32";
}

void TesterWindow::gridOrder() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(int, row);
    QFETCH(int, column);
    auto w = makeWindow(ports, variant);
    QTEST(cellName(*w, row, column), "frame");
}

void TesterWindow::framesFitTheScreen_data() {
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    for (const forms::WindowForm& f : forms::testerForms()) {
        const int ports = f.portCount ? f.portCount : 28;
        QTest::newRow(f.name) << ports << (f.variant < 0 ? 0 : f.variant);
    }
}

void TesterWindow::framesFitTheScreen() {
    QFETCH(int, ports);
    QFETCH(int, variant);
    auto w = makeWindow(ports, variant);
    showLaidOut(*w);
    QWidget* strip = w->findChild<QWidget*>(QStringLiteral("StatusWidget"));
    const QRect stripRect(strip->mapTo(w.get(), QPoint(0, 0)), strip->size());
    // The 64- and 80-port frames have a fixed width that overruns the screen by at most
    // two pixels in total; nothing else may leave it.
    const QRect screen = QRect(0, 0, 1920, 1080).adjusted(0, 0, 2, 0);
    const QList<Frame*> frames = w->findChildren<Frame*>();
    for (Frame* f : frames) {
        const QRect r = frameRect(*w, f);
        QVERIFY2(screen.contains(r), qPrintable(f->objectName()));
        QVERIFY2(r.top() > stripRect.bottom(), qPrintable(f->objectName()));
        QVERIFY2(r.height() >= 100 && r.width() >= 120, qPrintable(f->objectName()));
        for (Frame* other : frames) {
            if (other != f)
                QVERIFY(!r.intersects(frameRect(*w, other)));
        }
    }
}

void TesterWindow::firstPortSkippedOnLargeMachines() {
    auto w = makeWindow(121);
    showLaidOut(*w);
    w->start();
    const QList<Frame*> frames = w->findChildren<Frame*>();
    QCOMPARE(frames.size(), 120);
    Frame* bottomLeft = frames.first();
    Frame* topRight = frames.first();
    for (Frame* f : frames) {
        const QRect r = frameRect(*w, f);
        if (r.x() <= bottomLeft->x() && r.y() >= bottomLeft->y())
            bottomLeft = f;
        if (r.x() >= topRight->x() && r.y() <= topRight->y())
            topRight = f;
        QVERIFY(f->width() <= 126 && f->height() <= 118);
    }
    QCOMPARE(bottomLeft->objectName(), QStringLiteral("frame_2"));
    QCOMPARE(labelText(bottomLeft, "label_no"), QStringLiteral("1"));
    QCOMPARE(topRight->objectName(), QStringLiteral("frame_121"));
    QCOMPARE(labelText(topRight, "label_no"), QStringLiteral("120"));

    // Port 1's record is the controller's: whatever it says is not counted.
    setPort(1, 1, 1);
    setPort(2, 4, 1);
    w->update();
    QCOMPARE(w->activity().mWorkingLast.load(), 0);
    QCOMPARE(w->activity().mConnected.load(), 1);
    QCOMPARE(labelText(w.get(), "currentFail"), QStringLiteral("1"));
    QCOMPARE(frame(*w, 2)->port(), 2); // frame i reads record i
}

void TesterWindow::fiftyOnePortGap() {
    auto w = makeWindow(51);
    showLaidOut(*w);
    const QRect above = frameRect(*w, frame(*w, 41));
    const QRect last = frameRect(*w, frame(*w, 42));
    QVERIFY(!frame(*w, 1));
    // Two empty rows of about a frame's height each sit above the last row.
    QVERIFY2(last.top() - above.bottom() >= 2 * above.height(),
             qPrintable(QStringLiteral("%1 %2").arg(above.bottom()).arg(last.top())));
    QCOMPARE(last.height(), above.height());
    QCOMPARE(labelText(frame(*w, 42), "label_no"), QStringLiteral("41"));
}

void TesterWindow::countWithoutOwnForm() {
    auto w = makeWindow(60);
    setPort(10, 1);
    setPort(40, 1); // no frame: not counted
    StdoutCapture log;
    w->start();
    w->update();
    const QString lines = log.text();
    QVERIFY(lines.contains(" 33 is null\n"));
    QVERIFY(lines.contains(" 60 is null\n"));
    QVERIFY(!lines.contains(" 32 is null\n"));
    QCOMPARE(w->activity().mWorkingLast.load(), 1);
    QCOMPARE(labelText(w.get(), "currentWorking"), QStringLiteral("1"));
}

void TesterWindow::countersAndTotals() {
    auto w = makeWindow(48);
    w->start();
    // Before the first block everything reads zero.
    w->update();
    for (const char* name : {"currentWorking", "currentSuccess", "currentFail", "totalWorked",
                             "totalSuccess", "totalFail"})
        QCOMPARE(labelText(w.get(), name), QStringLiteral("0"));
    QCOMPARE(labelText(frame(*w, 5), "label_status"), QStringLiteral("就绪"));

    setHeader(0, 100, 80, 20);
    setPort(1, 1, 1);
    setPort(2, 2, 1);
    setPort(3, 9, 1);
    setPort(4, 3, 1);
    setPort(5, 3);
    setPort(6, 12);
    setPort(7, 0, 1);
    setPort(8, 7, 1); // unknown: not counted, but connected
    for (int tick = 0; tick < 3; ++tick) {
        w->update();
        QCOMPARE(labelText(w.get(), "currentWorking"), QStringLiteral("3"));
        QCOMPARE(labelText(w.get(), "currentSuccess"), QStringLiteral("2"));
        QCOMPARE(labelText(w.get(), "currentFail"), QStringLiteral("1"));
        QCOMPARE(labelText(w.get(), "totalWorked"), QStringLiteral("100"));
        QCOMPARE(labelText(w.get(), "totalSuccess"), QStringLiteral("80"));
        QCOMPARE(labelText(w.get(), "totalFail"), QStringLiteral("20"));
        QCOMPARE(w->activity().mWorkingLast.load(), 3);
        QCOMPARE(w->activity().mConnected.load(), 6);
    }
    Info.clear();
    w->update();
    QCOMPARE(labelText(w.get(), "currentWorking"), QStringLiteral("0"));
    QCOMPARE(w->activity().mConnected.load(), 0);
}

void TesterWindow::finishedStateDrawnOnce() {
    auto w = makeWindow(48);
    w->start();
    setPort(6, 12, 0, [](TesterPortRecord& r) { r.badSectors = 2; });
    w->update();
    QCOMPARE(labelText(frame(*w, 6), "label_status"), QStringLiteral("损坏:1KB"));
    QCOMPARE(frame(*w, 6)->styleSheet(), QString(tester::kRed));
    setPort(6, 12, 0, [](TesterPortRecord& r) { r.badSectors = 4; });
    for (int tick = 0; tick < 5; ++tick) {
        w->update();
        QCOMPARE(labelText(frame(*w, 6), "label_status"), QStringLiteral("损坏:1KB"));
        QCOMPARE(labelText(w.get(), "currentFail"), QStringLiteral("1"));
    }
    // A restart forgets what was shown, so the new figures appear.
    w->start();
    w->update();
    QCOMPARE(labelText(frame(*w, 6), "label_status"), QStringLiteral("损坏:2KB"));
}

void TesterWindow::masterFrameNeverRedrawn() {
    setMachine(48, 0, 0, 2);
    MainWindow w(nullptr, 48);
    w.start();
    setPort(1, 4);
    setPort(2, 4);
    w.update();
    QCOMPARE(labelText(frame(w, 1), "label_status"), QStringLiteral("测试容量"));
    QCOMPARE(labelText(frame(w, 2), "label_status"), QStringLiteral("写入错误"));
    QCOMPARE(labelText(&w, "currentFail"), QStringLiteral("1"));
}

void TesterWindow::coverComesAndGoes() {
    auto w = makeWindow(48);
    w->start();
    Frame* f = frame(*w, 3);
    auto* bar = f->findChild<QProgressBar*>(QStringLiteral("progressBar"));
    QVERIFY(f->covered());
    setPort(3, 1, 1, [](TesterPortRecord& r) {
        r.writeTimeMs = 5000;
        r.doneBytes = 3u << 20;
        r.totalBytes = 8u << 20;
        r.writeSpeed = 1u << 20;
    });
    w->update();
    QVERIFY(!f->covered());
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->value(), 30);
    QCOMPARE(f->styleSheet(), QString(tester::kGrey));
    QCOMPARE(labelText(f, "label_status"), QStringLiteral("写入:3M"));
    QCOMPARE(labelText(f, "label_1_2"), QStringLiteral("5 s"));
    setPort(3, 0);
    w->update();
    QVERIFY(f->covered());
    QVERIFY(bar->isHidden());
    QCOMPARE(labelText(f, "label_status"), QStringLiteral("就绪"));

    // A port found finished (the panel restarted mid-run) is not hidden under the cover.
    setPort(4, 10, 0, [](TesterPortRecord& r) { r.progress = 80; });
    w->update();
    QVERIFY(!frame(*w, 4)->covered());
    QCOMPARE(labelText(frame(*w, 4), "label_status"), QStringLiteral("读取错误"));
}

void TesterWindow::formatReadyClearsFirstLine() {
    auto w = makeWindow(48, 0, 1);
    w->start();
    Frame* f = frame(*w, 2);
    setPort(2, 1, 1, [](TesterPortRecord& r) { r.capacityBytes = 1ull << 30; });
    w->update();
    QCOMPARE(labelText(f, "label"), QStringLiteral("1024M"));
    QCOMPARE(labelText(f, "label_status"), QStringLiteral("正在格式化"));
    setPort(2, 0);
    w->update();
    QVERIFY(f->covered());
    QCOMPARE(labelText(f, "label"), QString());
}

void TesterWindow::formatRedSpeedLineResetByGo() {
    auto w = makeWindow(48, 0, 1);
    w->start();
    Frame* f = frame(*w, 2);
    auto* speed = f->findChild<QLabel*>(QStringLiteral("label_1_3"));
    const QColor normal = speed->palette().color(QPalette::WindowText);
    setPort(2, 3, 1, [](TesterPortRecord& r) {
        r.clusterFactorA = 8;
        r.clusterFactorB = 512;
        r.fsType = 2;
    });
    w->update();
    QCOMPARE(speed->text(), QStringLiteral("4KB"));
    QCOMPARE(labelText(f, "label_1_2"), QStringLiteral("FAT32 "));
    QCOMPARE(speed->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(speed->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(Qt::red));
    w->updateSetting();
    QCOMPARE(speed->palette().color(QPalette::WindowText), normal);
}

void TesterWindow::fontsByPortCount() {
    for (auto [ports, points] : {std::pair{8, 20}, {48, 12}, {121, 10}}) {
        auto w = makeWindow(ports);
        w->start();
        Frame* f = frame(*w, 2);
        for (const char* name : {"label_status", "label", "label_1_3", "label_no"})
            QCOMPARE(f->findChild<QWidget*>(QString::fromLatin1(name))->font().pointSize(), points);
        QCOMPARE(f->findChild<QWidget*>(QStringLiteral("progressBar"))->font().pointSize(), points);
    }
}

void TesterWindow::coverTitleOnGrey() {
    auto w = makeWindow(48);
    showLaidOut(*w);
    w->start();
    w->update();
    Frame* f = frame(*w, 10);
    QVERIFY(f->covered());
    const QImage picture = f->grab().toImage();
    // Corners are the cover's grey; the title over it must not paint a white box.
    QCOMPARE(QColor(picture.pixel(10, 10)), QColor(0xda, 0xd7, 0xd3));
    QCOMPARE(QColor(picture.pixel(f->width() / 2, 8)), QColor(0xda, 0xd7, 0xd3));
}

void TesterWindow::titles_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("engine");
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("modeName");
    QTest::newRow("H2 test, no engine yet") << 0 << 0u << "H2test   \nV312504\n\n"
                                            << "H2测试\nV312504\n\n"
                                            << "H2测试";
    QTest::newRow("H2 test") << 0 << 0x2au << "H2test   \nV312504\nV2a\n"
                             << "H2测试\nV312504\nV2a\n"
                             << "H2测试";
    QTest::newRow("format") << 1 << 0x2au << "Format\nV312504\nV2a\n"
                            << "格式化\nV312504\nV2a\n"
                            << "格式化";
    QTest::newRow("H5 test") << 2 << 0u << "H5test   \nV312504\n\n"
                             << "H5测试\nV312504\n\n"
                             << "H5测试";
    QTest::newRow("H2 write") << 8 << 0x10u << "H2写入\nV312504\nV10\n"
                              << "H2写入\nV312504\nV10\n"
                              << "H2写入";
    QTest::newRow("H2 verify") << 9 << 0u << "H2校验\nV312504\n\n"
                               << "H2校验\nV312504\n\n"
                               << "H2校验";
    QTest::newRow("erase") << 10 << 0xabcu << "擦除\nV312504\nVabc\n"
                           << "擦除\nV312504\nVabc\n"
                           << "擦除";
    QTest::newRow("protocol analysis") << 11 << 0u << "协议分析\nV312504\n\n"
                                       << "协议分析\nV312504\n\n"
                                       << "协议分析";
    QTest::newRow("unlisted mode") << 5 << 0u << "H2test   \nV312504\n\n"
                                   << "H2测试\nV312504\n\n"
                                   << "H2测试";
}

void TesterWindow::titles() {
    QFETCH(int, mode);
    QFETCH(uint, engine);
    setHeader(engine);
    auto w = makeWindow(48, 0, mode);
    QTEST(w->modeTitle(), "built");
    QTEST(frame(*w, 7)->title(), "built");
    w->start();
    QTEST(w->modeTitle(), "started");
    QTEST(frame(*w, 48)->title(), "started");
    QTEST(labelText(w.get(), "workingMode"), "modeName");
    QCOMPARE(w->findChild<QWidget*>(QStringLiteral("StatusWidget"))->styleSheet(),
             QString(tester::kGrey));
}

void TesterWindow::engineVersionArrivesAfterStart() {
    auto w = makeWindow(48);
    w->start();
    w->update();
    const auto versionLabels = [&w] {
        int n = 0;
        for (QLabel* l : w->findChildren<QLabel*>())
            n += l->text() == QStringLiteral("V77") ? 1 : 0;
        return n;
    };
    QCOMPARE(versionLabels(), 0);
    setHeader(0x77);
    w->update();
    QCOMPARE(versionLabels(), 1);
    QCOMPARE(frame(*w, 1)->title(), QStringLiteral("H2测试\nV312504\n\n"));
    w->start();
    QCOMPARE(frame(*w, 1)->title(), QStringLiteral("H2测试\nV312504\nV77\n"));
}

void TesterWindow::engineVersionLabelFollowsTenTicks() {
    auto w = makeWindow(48);
    w->start();
    QLabel* label = nullptr;
    for (uint32_t version = 1; version <= 12; ++version) {
        setHeader(version);
        w->update();
        if (!label) {
            for (QLabel* l : w->findChildren<QLabel*>()) {
                if (l->text() == QStringLiteral("V1"))
                    label = l;
            }
            QVERIFY(label);
            QCOMPARE(label->geometry(), QRect(1750, 70, 150, 12));
        }
        QCOMPARE(label->text(), QStringLiteral("V%1").arg(qMin(version, 10u), 0, 16));
    }
}

void TesterWindow::brandLabelsOnLargerMachines() {
    const auto brands = [](MainWindow& w) {
        int n = 0;
        for (QLabel* l : w.findChildren<QLabel*>()) {
            if (l->text() == QStringLiteral("Tervan拷贝机") ||
                l->text() == QStringLiteral("-KALMO技术-") ||
                l->text() == QStringLiteral("V312504"))
                ++n;
        }
        return n;
    };
    auto small = makeWindow(8);
    small->start();
    QCOMPARE(brands(*small), 0);
    auto large = makeWindow(10);
    large->start();
    large->start(); // created once, however often the window starts
    QCOMPARE(brands(*large), 3);
}

void TesterWindow::startStopRunningFlag() {
    auto w = makeWindow(32);
    QCOMPARE(gTesterActivity.load(), &w->activity());
    QCOMPARE(w->activity().mRunning.load(), 0);
    w->start();
    QCOMPARE(w->activity().mRunning.load(), 1);
    setPort(1, 1);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(w.get(), "currentWorking"), QStringLiteral("1"), 3000);
    w->stop();
    QCOMPARE(w->activity().mRunning.load(), 0);
    setPort(1, 0);
    QTest::qWait(1300);
    QCOMPARE(labelText(w.get(), "currentWorking"), QStringLiteral("1"));
    w.reset();
    QCOMPARE(gTesterActivity.load(), nullptr);
}

void TesterWindow::powerOffLatch_data() {
    QTest::addColumn<QList<int>>("working");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("controller");
    QTest::addColumn<int>("switchedOff");
    QTest::addColumn<bool>("armed");
    QTest::newRow("run ends") << QList<int>{2, 1, 0, 0, 0} << 1 << 2 << true << 1 << false;
    QTest::newRow("two runs") << QList<int>{1, 0, 0, 3, 0} << 1 << 2 << true << 2 << false;
    QTest::newRow("still working") << QList<int>{1, 2, 3} << 1 << 2 << true << 0 << true;
    QTest::newRow("never worked") << QList<int>{0, 0, 0} << 1 << 2 << true << 0 << false;
    QTest::newRow("boards reported up") << QList<int>{2, 0, 0} << 1 << 1 << true << 0 << false;
    QTest::newRow("boards already off") << QList<int>{2, 0} << 0 << 2 << true << 0 << false;
    QTest::newRow("no controller") << QList<int>{2, 0, 0} << 1 << 2 << false << 0 << true;
}

void TesterWindow::powerOffLatch() {
    QFETCH(QList<int>, working);
    QFETCH(int, level);
    QFETCH(int, state);
    QFETCH(bool, controller);
    FakePower power;
    PowerOffLatch latch;
    power.level = level;
    power.state = state;
    for (int n : working)
        latch.tick(n, controller ? &power : nullptr);
    QTEST(power.switchedOff, "switchedOff");
    QTEST(latch.armed(), "armed");
}

void TesterWindow::windowSwitchesBoardsOffOnce() {
    auto w = makeWindow(121);
    FakePower power;
    w->setBoardPower(&power);
    w->start();
    setPort(5, 1);
    w->update();
    QCOMPARE(power.switchedOff, 0);
    StdoutCapture log;
    setPort(5, 3);
    w->update();
    QCOMPARE(power.switchedOff, 1);
    QVERIFY(log.text().contains("will power off board"));
    for (int tick = 0; tick < 3; ++tick)
        w->update();
    QCOMPARE(power.switchedOff, 1);
}

void TesterWindow::boardsSwitchedOffThroughTheController() {
    QCOMPARE(processBoardPower(), nullptr); // machines without a controller
    FakeGpio gpio;
    gpio.setLevel({PD, 5}, 0); // boards reported down: the controller powers them
    BoardControl controller(gpio, gpio.commands(), gpio.pause());
    controller.init();
    controller.powerBoard(1);
    QCOMPARE(controller.boardState(), 2);
    mBoardControl = &controller;
    auto w = makeWindow(121);
    w->setBoardPower(processBoardPower());
    w->start();
    setPort(30, 2);
    w->update();
    gpio.clearEvents();
    setPort(30, 3);
    w->update();
    mBoardControl = nullptr;
    QCOMPARE(controller.powerLevel(), 0);
    QCOMPARE(gpio.events({"set"}),
             (QStringList{"set PD13 0", "set PD1 0", "set PD6 0", "set PD16 0", "set PD17 0"}));
}

QTEST_MAIN(TesterWindow)
#include "tst_tester_window.moc"
