// Start-up: the window choice, the command line, the platform guards, programs without a
// shell, the address step, and the panel process end to end.

#include "app/command_line.h"
#include "app/window_choice.h"
#include "link/address.h"
#include "platform/desktop_platform.h"
#include "support/built_program.h"
#include "support/temp_root.h"

#include <QProcess>
#include <QtTest>

using h2::MainKind;
using h2::ShowAs;

Q_DECLARE_METATYPE(h2::MainKind)
Q_DECLARE_METATYPE(h2::ShowAs)

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void windowChoice_data();
    void windowChoice();
    void commandLine();
    void commandLineErrors_data();
    void commandLineErrors();
    void allwinnerGuard_data();
    void allwinnerGuard();
    void desktopRefusesRealRoot();
    void programsNeverSeeAShell();
    void addressStep();
    void panelProcessEndToEnd();
    void stopRequestEndsCleanly();
};

void TestStartup::windowChoice_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("mode");
    QTest::addColumn<MainKind>("shown");
    QTest::addColumn<ShowAs>("show");
    QTest::addColumn<bool>("copier");
    QTest::addColumn<bool>("burnin");
    // Testers: burn-in window on variants 0, 2, 3, 4 only.
    QTest::newRow("tester mode 0")
        << 0 << 0 << 0 << MainKind::Tester << ShowAs::Maximized << false << true;
    QTest::newRow("tester burn-in")
        << 0 << 3 << 7 << MainKind::Burnin << ShowAs::Maximized << false << true;
    QTest::newRow("tester v1 mode 7")
        << 0 << 1 << 7 << MainKind::Tester << ShowAs::Maximized << false << false;
    QTest::newRow("tester v5 mode 7")
        << 0 << 5 << 7 << MainKind::Tester << ShowAs::Maximized << false << false;
    QTest::newRow("tester copy mode")
        << 0 << 0 << 3 << MainKind::Tester << ShowAs::Maximized << false << true;
    // Copier type 2.
    QTest::newRow("ssd v3 mode 5")
        << 2 << 3 << 5 << MainKind::Copier << ShowAs::FullScreen << true << false;
    QTest::newRow("ssd v2 mode 10")
        << 2 << 2 << 10 << MainKind::Tester << ShowAs::Maximized << true << false;
    QTest::newRow("ssd v2 mode 11")
        << 2 << 2 << 11 << MainKind::Tester << ShowAs::Maximized << true << false;
    QTest::newRow("ssd negative variant")
        << 2 << -1 << 4 << MainKind::Copier << ShowAs::FullScreen << true << false;
    QTest::newRow("type 2 v1 mode 5")
        << 2 << 1 << 5 << MainKind::Copier << ShowAs::Maximized << true << false;
    QTest::newRow("type 2 v1 mode 10")
        << 2 << 1 << 10 << MainKind::Copier << ShowAs::Maximized << true << false;
    QTest::newRow("type 2 v1 mode 11")
        << 2 << 1 << 11 << MainKind::Tester << ShowAs::Maximized << true << false;
    QTest::newRow("type 2 v0 mode 2")
        << 2 << 0 << 2 << MainKind::Tester << ShowAs::Maximized << true << false;
    QTest::newRow("type 2 v0 negative mode")
        << 2 << 0 << -1 << MainKind::Copier << ShowAs::Maximized << true << false;
    // Other copier types.
    QTest::newRow("type 1 mode 10")
        << 1 << 0 << 10 << MainKind::Tester << ShowAs::Maximized << true << false;
    QTest::newRow("type 1 mode 3")
        << 1 << 0 << 3 << MainKind::Copier << ShowAs::FullScreen << true << false;
    QTest::newRow("type 1 mode 7")
        << 1 << 0 << 7 << MainKind::Copier << ShowAs::FullScreen << true << false;
    QTest::newRow("type 1 negative mode")
        << 1 << 0 << -3 << MainKind::Copier << ShowAs::FullScreen << true << false;
}

void TestStartup::windowChoice() {
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(int, mode);
    QFETCH(MainKind, shown);
    QFETCH(ShowAs, show);
    QFETCH(bool, copier);
    QFETCH(bool, burnin);
    const h2::WindowChoice c = h2::chooseMainWindow(type, variant, mode);
    QCOMPARE(c.shown, shown);
    QCOMPARE(c.show, show);
    QCOMPARE(c.createCopier, copier);
    QCOMPARE(c.createBurnin, burnin);
}

void TestStartup::commandLine() {
    std::string error;
    h2::Options o = h2::parseCommandLine({"h2", "-platform", "offscreen", "--root", "/tmp/r",
                                          "--control-port=2000", "--data-port", "2001",
                                          "--quit-after", "1500", "--screenshot", "/tmp/a.png"},
                                         "desktop", &error);
    QVERIFY(error.empty());
    QCOMPARE(QString::fromStdString(o.platform), QString("desktop"));
    QCOMPARE(QString::fromStdString(o.root), QString("/tmp/r"));
    QCOMPARE(o.config.controlPort, 2000);
    QCOMPARE(o.config.dataPort, 2001);
    QCOMPARE(o.config.supervisorPort, 9999);
    QCOMPARE(o.quitAfterMs, 1500);
    QCOMPARE(QString::fromStdString(o.screenshot), QString("/tmp/a.png"));
    // Qt sees only its own options: it would take "--platform desktop" for its "-platform".
    QCOMPARE(o.qtArgs, (std::vector<std::string>{"h2", "-platform", "offscreen"}));
    o = h2::parseCommandLine({"h2", "--platform", "desktop", "-style", "fusion", "--root=/tmp/r",
                              "--platform=desktop", "-reverse"},
                             "device", &error);
    QVERIFY(error.empty());
    QCOMPARE(QString::fromStdString(o.platform), QString("desktop"));
    QCOMPARE(o.qtArgs, (std::vector<std::string>{"h2", "-style", "fusion", "-reverse"}));
    // Desktop addresses stay on loopback.
    QCOMPARE(QString::fromStdString(o.config.engineAddress), QString("127.0.0.2"));
    QCOMPARE(QString::fromStdString(o.config.panelAddress), QString("127.0.0.1"));

    o = h2::parseCommandLine({"h2", "--engine-address", "127.0.0.9"}, "desktop", &error);
    QCOMPARE(QString::fromStdString(o.config.engineAddress), QString("127.0.0.9"));
    QVERIFY(!o.root.empty() && o.root != "/");

    // A board build defaults to the device platform and its root.
    o = h2::parseCommandLine({"h2"}, "device", &error);
    QCOMPARE(QString::fromStdString(o.platform), QString("device"));
    QCOMPARE(QString::fromStdString(o.root), QString("/"));
    QCOMPARE(o.config.controlPort, 11111);
    QCOMPARE(o.config.dataPort, 11112);
}

void TestStartup::commandLineErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("bad platform") << QStringList{"--platform", "board"};
    QTest::newRow("port too large") << QStringList{"--control-port", "65536"};
    QTest::newRow("port junk") << QStringList{"--data-port", "12ab"};
    QTest::newRow("missing value") << QStringList{"--root"};
    QTest::newRow("negative delay") << QStringList{"--quit-after", "-5"};
}

void TestStartup::commandLineErrors() {
    QFETCH(QStringList, args);
    std::vector<std::string> argv{"h2"};
    for (const QString& a : args)
        argv.push_back(a.toStdString());
    std::string error;
    h2::parseCommandLine(argv, "desktop", &error);
    QVERIFY(!error.empty());
}

void TestStartup::allwinnerGuard_data() {
    QTest::addColumn<QByteArray>("compatible");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("orange pi h3") << QByteArray("xunlong,orangepi-pc\0allwinner,sun8i-h3\0", 39)
                                  << true;
    QTest::newRow("h616") << QByteArray("xunlong,orangepi-zero2\0allwinner,sun50i-h616\0", 45)
                          << true;
    QTest::newRow("raspberry pi") << QByteArray("raspberrypi,4-model-b\0brcm,bcm2711\0", 35)
                                  << false;
    QTest::newRow("vendor only in a model name")
        << QByteArray("acme,allwinner-like\0", 20) << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestStartup::allwinnerGuard() {
    QFETCH(QByteArray, compatible);
    QFETCH(bool, allowed);
    QTemporaryDir dir;
    const QString file = dir.path() + "/compatible";
    writeAll(file, compatible);
    std::string why;
    QCOMPARE(h2::deviceGuard(file.toStdString(), &why), allowed);
    QCOMPARE(why.empty(), allowed);
    QVERIFY(!h2::deviceGuard((dir.path() + "/absent").toStdString(), &why));
}

void TestStartup::desktopRefusesRealRoot() {
    std::string why;
    QVERIFY(!h2::desktopRootAllowed("/", &why));
    QVERIFY(!h2::desktopRootAllowed("/tmp/..", &why));
    QVERIFY(!h2::desktopRootAllowed("//", &why));
    QTemporaryDir dir;
    QVERIFY(h2::desktopRootAllowed(dir.path().toStdString(), &why));
}

void TestStartup::programsNeverSeeAShell() {
    TempRoot root;
    const QString marker = root.root() + "/HACKED";
    // Shell syntax in an argument must stay one inert word.
    const std::vector<std::string> hostile{"ls", "oxa_updates;touch " + marker.toStdString(),
                                           "$(touch " + marker.toStdString() + ")",
                                           "`touch " + marker.toStdString() + "`"};
    QVERIFY(h2::platform().runProgram(hostile) != 0); // ls finds no such files
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(h2::spawnAndWait({"touch", marker.toStdString()}), 0);
    QVERIFY(QFile::exists(marker));
    // User-mode emulation (the cross build's suites) runs posix_spawn's child as a separate
    // process, so a missing program shows as the child's exit status 127.
    QCOMPARE(h2::spawnAndWait({"/nonexistent/program"}), emulatorCommand().isEmpty() ? -1 : 127);
    QCOMPARE(h2::spawnAndWait({"false"}), 1);
    // The desktop platform never runs ifconfig.
    QCOMPARE(h2::platform().runProgram({"ifconfig", "eth0", "127.0.0.1"}), 0);
}

void TestStartup::addressStep() {
    TempRoot root;
    auto& desktop = static_cast<h2::DesktopPlatform&>(h2::platform());
    desktop.setInterfaceNames({"lo", "wlan0", "enp7s0", "eth0"});
    QCOMPARE(get_server_ip(), 0);
    QCOMPARE(desktop.addressRequests(), (std::vector<std::string>{"enp7s0 127.0.0.1"}));
    desktop.setInterfaceNames({"lo", "wlan0"});
    QCOMPARE(get_server_ip(), -1);
    QCOMPARE(desktop.addressRequests().size(), size_t(1));
    QCOMPARE(pickInterface({"docker0", "enp14s0"}), std::string("enp14s0"));
}

void TestStartup::panelProcessEndToEnd() {
    const QString binary = builtProgram("h2");
    if (!QFile::exists(binary))
        QSKIP("h2 binary not built");
    QTemporaryDir root, work;
    writeAll(root.path() + "/usr/share/.h2fixconfig", "# test cabinet\n48 0 3 0\n");
    writeAll(work.path() + "/.h2config",
             "MASTERCLEAR = 1\nmode = 4\ncapfil_color_2 = 4660\ncapacity_test = 55\n");
    QProcess panel;
    panel.setWorkingDirectory(work.path());
    panel.setProcessChannelMode(QProcess::MergedChannels);
    // Free ports: the panel binds them and suites run side by side.
    startPanel(panel, binary, root.path(),
               {"--quit-after", "1500", "--control-port", "0", "--data-port", "0",
                "--supervisor-port", "1"});
    QVERIFY(panel.waitForFinished(30000));
    const QByteArray log = panel.readAll();
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QVERIFY2(panel.exitCode() == 0, log);
    QVERIFY2(log.contains("current 48 0 3 0"), log);
    QVERIFY(log.contains("type 0"));
    QVERIFY(log.contains("resetting 30"));
    // The upgrade dialog and monitor follow the link server; no board: the start dialog shows.
    const int link = log.indexOf("DataThread::start()"), dialog = log.indexOf("dialog init"),
              monitor = log.indexOf("uevent ret "), type = log.indexOf("type 0"),
              start = log.indexOf("will show Start");
    QVERIFY2(link >= 0 && link < dialog && dialog < monitor && monitor < type && type < start, log);
    QVERIFY(!log.contains("uevent ret 0"));
    QVERIFY(log.contains("new StartDialog"));
    const QByteArray stored = readAll(work.path() + "/.h2config");
    QVERIFY(stored.startsWith("format_type = 0\nmode = 0\n"));
    QVERIFY(stored.contains("\nMASTERCLEAR = 0\n"));
    QVERIFY(stored.contains("\ncapfil_color_2 = 4660\n"));
    QVERIFY(stored.contains("\ntest_block = 65536\n"));
    QVERIFY(!stored.contains("capacity_test"));
    QVERIFY(!stored.contains("profile") && !stored.contains("port_count"));
}

// SIGTERM ends the event loop: the threads stop in order and the status-block counts are
// reported, instead of the process dying where it stands.
void TestStartup::stopRequestEndsCleanly() {
    const QString binary = builtProgram("h2");
    if (!QFile::exists(binary))
        QSKIP("h2 binary not built");
    QTemporaryDir root, work;
    writeAll(root.path() + "/usr/share/.h2fixconfig", "121 0 3 0\n");
    QProcess panel;
    panel.setWorkingDirectory(work.path());
    panel.setProcessChannelMode(QProcess::MergedChannels);
    startPanel(panel, binary, root.path(),
               {"--control-port", "0", "--data-port", "0", "--supervisor-port", "1"});
    QVERIFY(panel.waitForStarted(10000));
    // Up once it has shown its window's start: the type line comes right before.
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += panel.readAll()).contains("type 0"), 30000);
    panel.terminate();
    QVERIFY(panel.waitForFinished(30000));
    log += panel.readAll();
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QVERIFY2(panel.exitCode() == 0, log);
    QVERIFY2(log.contains("status blocks taken 0, dropped 0"), log);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
