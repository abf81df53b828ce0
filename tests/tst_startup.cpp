// Start-up: the window choice, the command line, the platform guards, the panel process end to
// end with its supervisor, and an engine simulator that stays on loopback.

#include "app/command_line.h"
#include "app/window_choice.h"
#include "base/loopback.h"
#include "link/address.h"
#include "support/built_program.h"
#include "support/temp_root.h"

#include <QtTest>

using h2::MainKind;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void windowChoice() {
        // clang-format off
        struct { int type, variant, mode; MainKind shown; bool fullScreen, copier, burnin; } choices[] = {
            {0, 0, 0, MainKind::Tester, false, false, true},
            {0, 3, 7, MainKind::Burnin, false, false, true},
            {0, 1, 7, MainKind::Tester, false, false, false}, // no burn-in window on variant 1
            {2, 3, 5, MainKind::Copier, true, true, false},
            {2, 2, 10, MainKind::Tester, false, true, false},
            {2, -1, 4, MainKind::Copier, true, true, false},  // variants compare as unsigned
            {2, 1, 10, MainKind::Copier, false, true, false},
            {2, 1, 11, MainKind::Tester, false, true, false},
            {2, 0, -1, MainKind::Copier, false, true, false}, // and so do modes
            {1, 0, 10, MainKind::Tester, false, true, false},
            {1, 0, 7, MainKind::Copier, true, true, false},
        };
        // clang-format on
        for (const auto& c : choices) {
            const h2::WindowChoice got = h2::chooseMainWindow(c.type, c.variant, c.mode);
            QVERIFY2(got.shown == c.shown && (got.show == h2::ShowAs::FullScreen) == c.fullScreen &&
                         got.createCopier == c.copier && got.createBurnin == c.burnin,
                     qPrintable(QString("%1 %2 %3").arg(c.type).arg(c.variant).arg(c.mode)));
        }
    }

    void commandLine() {
        std::string error;
        // Desktop runs stay on loopback; Qt sees only its own options.
        h2::Options o = h2::parseCommandLine({"h2", "-platform", "offscreen", "--platform",
                                              "desktop", "--control-port=2000", "--root", "/r"},
                                             "device", &error);
        QVERIFY(error.empty());
        QCOMPARE(o.qtArgs, (std::vector<std::string>{"h2", "-platform", "offscreen"}));
        QCOMPARE(o.config.engineAddress + " " + o.config.panelAddress, "127.0.0.2 127.0.0.1");
        QCOMPARE(o.config.controlPort, 2000);
        // A board build defaults to the device platform, the real root and the cabinet's link
        // (parsing only: no socket is made here, and no desktop run may name that link).
        o = h2::parseCommandLine({"h2"}, "device", &error);
        QCOMPARE(o.platform + " " + o.root, "device /");
        QCOMPARE(o.config.engineAddress, kCabinetEngineAddress);
        QVERIFY(!h2::isLoopbackAddress(o.config.engineAddress));
        QCOMPARE((QList<int>{o.config.controlPort, o.config.dataPort, o.config.supervisorPort}),
                 (QList<int>{11111, 11112, 9999}));
        for (const char* bad :
             {"--platform=board", "--data-port=65536", "--quit-after=-5", "--root",
              "--engine-address=203.0.113.3", "--panel-address=203.0.113.3",
              "--fleet-broker=203.0.113.3:1883", "--fleet-broker=mq.example"}) {
            error.clear();
            h2::parseCommandLine({"h2", bad}, "desktop", &error);
            QVERIFY2(!error.empty(), bad);
        }
    }

    // The device platform starts only on an Allwinner board, the desktop one never on the real
    // root, and the address step picks the first known interface in the system's order.
    void guards() {
        QTemporaryDir dir;
        const QString compatible = dir.path() + "/compatible";
        std::string why;
        QVERIFY(!h2::deviceGuard(compatible.toStdString(), &why));
        writeAll(compatible, QByteArray("xunlong,orangepi-pc\0allwinner,sun8i-h3\0", 39));
        QVERIFY(h2::deviceGuard(compatible.toStdString(), &why));
        writeAll(compatible, QByteArray("acme,allwinner-like\0brcm,bcm2711\0", 33));
        QVERIFY(!h2::deviceGuard(compatible.toStdString(), &why));
        for (const char* root : {"/", "/tmp/..", "//"})
            QVERIFY2(!h2::desktopRootAllowed(root, &why), root);
        QVERIFY(h2::desktopRootAllowed(dir.path().toStdString(), &why));
        TempRoot root;
        root.platform().setInterfaceNames({"lo", "wlan0", "enp7s0", "eth0"});
        QCOMPARE(get_server_ip(), 0);
        root.platform().setInterfaceNames({"lo", "wlan0"});
        QCOMPARE(get_server_ip(), -1);
        QCOMPARE(root.platform().addressRequests(), (std::vector<std::string>{"enp7s0 127.0.0.1"}));
    }

    void panelProcess_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("ports");
        QTest::addColumn<int>("copyTimeCount");
        QTest::newRow("quits, 48-port tester") << "quit" << 48 << 30;
        // The threads end in order, lamps and board power among them, not where they stand.
        QTest::newRow("stop request, 51 ports") << "terminate" << 51 << 3;
        QTest::newRow("killed, 121 ports") << "kill" << 121 << 3;
    }

    // The panel on the desktop platform: its start-up order, the master clear of its settings
    // file, its registration with the supervisor, and how its end reaches the supervisor.
    void panelProcess() {
        QFETCH(QString, end);
        QFETCH(int, ports);
        QFETCH(int, copyTimeCount);
        QProcess supervisor, panel;
        QByteArray supervisorLog, log;
        supervisor.setProcessChannelMode(QProcess::MergedChannels);
        startProgram(supervisor, builtProgram("tools/supervisor/h2-supervisor"), {"--port", "0"});
        const QString port =
            waitForOutput(supervisor, supervisorLog, "listening on 127.0.0.1:(\\d+)$");
        QVERIFY2(!port.isEmpty(), supervisorLog);
        QTemporaryDir root, work;
        writeAll(root.path() + "/usr/share/.h2fixconfig", QByteArray::number(ports) + " 0 3 0\n");
        writeAll(work.path() + "/.h2config", "MASTERCLEAR = 1\nmode = 4\ncapfil_color_2 = 4660\n");
        panel.setWorkingDirectory(work.path());
        panel.setProcessChannelMode(QProcess::MergedChannels);
        startPanel(panel, builtProgram("h2"), root.path(),
                   {"--quit-after", end == "quit" ? "3000" : "600000", "--control-port", "0",
                    "--data-port", "0", "--supervisor-port", port});
        QVERIFY2(!waitForOutput(panel, log, "will show Start").isEmpty(), log);
        QVERIFY2(!waitForOutput(supervisor, supervisorLog, "panel registered: connection 1 from")
                      .isEmpty(),
                 supervisorLog);
        if (end == "terminate")
            panel.terminate();
        if (end == "kill")
            panel.kill();
        QVERIFY(panel.waitForFinished(30000));
        log += panel.readAll();
        QVERIFY2(!waitForOutput(supervisor, supervisorLog, "panel connection 1 closed").isEmpty(),
                 supervisorLog);
        if (end == "kill")
            return;
        QVERIFY2(panel.exitStatus() == QProcess::NormalExit && panel.exitCode() == 0, log);
        // Profile, settings, link server, upgrade dialog and monitor, main window, start dialog.
        const QString order =
            QString("current %1 0 3 0.*resetting %2.*DataThread::start\\(\\).*dialog"
                    " init.*uevent ret [1-9].*type 0.*will show Start.*status "
                    "blocks taken 0, dropped 0")
                .arg(ports)
                .arg(copyTimeCount);
        QVERIFY2(QRegularExpression(order, QRegularExpression::DotMatchesEverythingOption)
                     .match(log)
                     .hasMatch(),
                 log);
        QVERIFY(log.contains("connect to the server fd "));
        const QByteArray stored = readAll(work.path() + "/.h2config");
        QVERIFY(stored.startsWith("format_type = 0\nmode = 0\n"));
        QVERIFY(stored.contains("\nMASTERCLEAR = 0\n") &&
                stored.contains("\ncapfil_color_2 = 4660\n"));
    }

    // The simulator refuses any address outside 127.0.0.0/8 before it makes a socket. The
    // refused address is a documentation one (RFC 5737), never a cabinet's link, so that even
    // a broken refusal could not reach a board.
    void simulatorRefusesUnsafeOptions() {
        for (const QStringList& options : {QStringList{"--panel-address", "203.0.113.3"},
                                           {"--engine-address", "10.0.0.2"},
                                           {"--interval", "3000"}}) {
            QProcess sim;
            sim.setProcessChannelMode(QProcess::MergedChannels);
            startProgram(sim, builtProgram("tools/engine-sim/engine-sim"), options);
            QVERIFY(sim.waitForFinished(5000));
            QCOMPARE(sim.exitCode(), 2);
            QVERIFY(sim.readAll().contains(options[0] == "--interval" ? "--interval takes a number"
                                                                      : "not a loopback address"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
