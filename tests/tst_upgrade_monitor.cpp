// The USB upgrade monitor end to end on the desktop platform: device events on
// ROOT/run/uevent.sock, sticks simulated as directories under ROOT/dev, the engine simulator
// reassembling the upgrade (a plain loopback peer where the engine must refuse it), and the
// panel package installed under ROOT.

#include "base/globals.h"
#include "base/log_file.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "platform/desktop_platform.h"
#include "settings/settings.h"
#include "support/built_program.h"
#include "support/loopback_peer.h"
#include "support/simulator_run.h"
#include "support/stdout_capture.h"
#include "support/tar_writer.h"
#include "support/temp_root.h"
#include "upgrade/upgrade.h"
#include "upgrade/upgradedialog.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QtTest>
#include <chrono>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using h2test::LoopbackPeer;
using Step = std::pair<int, int>;
using Steps = std::vector<Step>;
Q_DECLARE_METATYPE(Steps)

namespace {

const char* const kEngine = "127.0.0.2";
const QByteArray kUsb1Disk =
    "/devices/platform/soc/1c1a000.usb/usb1/1-1/1-1:1.0/host0/target0:0:0/0:0:0:0/block/sda";

QByteArray randomBytes(int size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator rng(4242);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(rng.bounded(256));
    return bytes;
}

// The checksum the simulator prints for a reassembled file (FNV-1a).
QString fnv1a(const QByteArray& bytes) {
    uint32_t hash = 2166136261u;
    for (char c : bytes) {
        hash ^= uint8_t(c);
        hash *= 16777619u;
    }
    return QString::asprintf("%08x", hash);
}

} // namespace

class TestUpgradeMonitor : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void eventRules_data();
    void eventRules();
    void engineAndPanelUpgrade();
    void agingModeWithTheSimulator();
    void outcomes_data();
    void outcomes();
    void hostileNamesRunNothing();
    void refusedPackages_data();
    void refusedPackages();
    void failedInstallKeepsTheOldProgram();

private:
    void sendEvent(const QByteArray& datagram);
    bool waitHandled(int events = 1);
    bool connectRefusingEngine();
    bool startSimulator();
    Steps steps() const;
    std::vector<unsigned> pauses() const;
    QString log() const { return QString::fromUtf8(mLog->text()); }
    void writeStick(const QString& name, const QByteArray& contents);
    bool mounted() const { return is_mounted(upgrade::kMountPoint) != 0; }

    std::unique_ptr<TempRoot> mRoot;
    std::unique_ptr<TempWorkDir> mWorkDir;
    std::unique_ptr<StdoutCapture> mLog;
    std::unique_ptr<DataServer> mServer;
    LoopbackPeer mRefusingControl;
    LoopbackPeer mRefusingData;
    SimulatorRun mSim;
    std::unique_ptr<UpgradeDialog> mDialog;
    std::unique_ptr<UpgradeThread> mMonitor;
    mutable std::mutex mMutex;
    Steps mSteps;
    std::vector<unsigned> mPauses;
    QByteArray mMtabAtTransfer;
};

void TestUpgradeMonitor::init() {
    mRoot = std::make_unique<TempRoot>();
    mWorkDir = std::make_unique<TempWorkDir>();
    mLog = std::make_unique<StdoutCapture>();
    Info.clear();
    SettingRecord record{};
    settings::loadDefaults(record);
    record.mode = 3;
    commitSetting(record);
    mSteps.clear();
    mPauses.clear();

    mServer = std::make_unique<DataServer>(LinkEndpoints{kEngine, 0, 0});
    mServer->init(server_receive_callback, server_connect_callback);
    QCOMPARE(mServer->start(), 0);
    mDataServer = mServer.get();

    mDialog = std::make_unique<UpgradeDialog>(nullptr);
    mMonitor = std::make_unique<UpgradeThread>();
    // One "second" is a few real milliseconds; the wait for the engine's acknowledgement
    // ends as soon as the engine reports anything.
    mMonitor->setPause([this](unsigned ms) {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mPauses.push_back(ms);
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        if (ms < 5000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return;
        }
        while (Info.engineStatus() == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    mMonitor->setStepObserver([this](int percent, int state) {
        std::lock_guard<std::mutex> lock(mMutex);
        mSteps.emplace_back(percent, state);
        if (percent == 20)
            mMtabAtTransfer = readAll(mRoot->path("/etc/mtab"));
    });
    mMonitor->init(mDialog.get(), mServer.get());
    mMonitor->start();
    QVERIFY(QFileInfo::exists(mRoot->path("/run/uevent.sock")));
    QTRY_VERIFY(log().contains("will check device"));
}

void TestUpgradeMonitor::cleanup() {
    mMonitor.reset();
    mRefusingControl.close();
    mRefusingData.close();
    mSim.stop();
    mSim.clear();
    mDataServer = nullptr;
    mServer.reset();
    mDialog.reset();
    mLog.reset();
    mWorkDir.reset();
    mRoot.reset();
}

void TestUpgradeMonitor::sendEvent(const QByteArray& datagram) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    QVERIFY(fd >= 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(mRoot->path("/run/uevent.sock"));
    memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const ssize_t sent = sendto(fd, datagram.constData(), size_t(datagram.size()), 0,
                                reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    ::close(fd);
    QCOMPARE(sent, ssize_t(datagram.size()));
}

// Every handled add ends in one of these two lines, every handled remove in "removed".
bool TestUpgradeMonitor::waitHandled(int events) {
    auto handled = [this] {
        const QString text = log();
        return text.count("error to upgrade file") + text.count(" here\n") +
               text.count(" removed\n");
    };
    QElapsedTimer timer;
    timer.start();
    while (handled() < events && timer.elapsed() < 20000)
        QTest::qWait(10);
    return handled() >= events;
}

// An engine that has refused the upgrade: its one status block says 4.
bool TestUpgradeMonitor::connectRefusingEngine() {
    if (!mRefusingControl.connectTo(kEngine, mServer->thread()->controlPort()) ||
        mRefusingControl.readExact(124, 3000).size() != 124 ||
        !mRefusingData.connectTo(kEngine, mServer->thread()->dataPort()))
        return false;
    QByteArray block(kStatusBlockSize, '\0');
    const uint32_t header[2] = {uint32_t(kStatusBlockSize), 4};
    memcpy(block.data(), header, sizeof(header));
    if (!mRefusingControl.sendAll(block))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (Info.engineStatus() == 4 && log().contains("data connected"))
            return true;
        QTest::qWait(10);
    }
    return false;
}

bool TestUpgradeMonitor::startSimulator() {
    if (!QFile::exists(SimulatorRun::binary()) || !mSim.start(*mServer, {"--scenario", "idle"}))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (mSim.output().contains("work mode") && log().contains("data connected"))
            return true;
        QTest::qWait(10);
    }
    return false;
}

Steps TestUpgradeMonitor::steps() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mSteps;
}

std::vector<unsigned> TestUpgradeMonitor::pauses() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mPauses;
}

void TestUpgradeMonitor::writeStick(const QString& name, const QByteArray& contents) {
    mRoot->writeFile("/dev/sda1/" + name, contents);
}

void TestUpgradeMonitor::eventRules_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("handled");
    QTest::newRow("whole disk") << "add@" + kUsb1Disk << true;
    QTest::newRow("at sign first") << "@" + kUsb1Disk << true;
    QTest::newRow("partition") << "add@" + kUsb1Disk + "/sda1" << false;
    QTest::newRow("hub port") << "add@" + QByteArray(kUsb1Disk).replace("usb1/", "usb9/") << false;
    QTest::newRow("binary garbage") << QByteArray("\0\xff@/block usb1/", 16) << false;
}

// Without a stick behind the event, a handled add fails at the mount.
void TestUpgradeMonitor::eventRules() {
    QFETCH(QByteArray, datagram);
    QFETCH(bool, handled);
    sendEvent(datagram);
    sendEvent("remove@" + kUsb1Disk); // handled after it, in order
    QVERIFY(waitHandled(handled ? 2 : 1));
    if (handled) {
        QCOMPARE(steps(), (Steps{{1, 1}, {1, 1}, {10, 1}, {10, 4}}));
        QVERIFY(log().contains("port 0 added"));
        QVERIFY(log().contains("disk name /sda"));
        QVERIFY(log().contains("fail to mount"));
    } else {
        QCOMPARE(steps(), Steps{});
        QVERIFY(!log().contains("added"));
    }
    QVERIFY(log().contains("0 removed"));
    QCOMPARE(log().count("send setting\n"), 0); // only aging mode resends them
}

void TestUpgradeMonitor::engineAndPanelUpgrade() {
    QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    const QByteArray engineFile = randomBytes(2500000);
    writeStick("oxa_updatex", engineFile);
    QVERIFY(writeTarGz(mRoot->path("/dev/sda1/oxa_updates"),
                       {{TarMember::File, "h2", "new program", 0755},
                        {TarMember::Directory, "lib/"},
                        {TarMember::File, "lib/libextra.so", "library"}}));
    mRoot->writeFile("/home/orangepi/h2/h2", "old program");
    mRoot->writeFile("/home/orangepi/h2/.h2config", "mode = 4\n");

    sendEvent("add@" + kUsb1Disk);
    QTRY_VERIFY(mDialog->isVisible());
    QVERIFY(waitHandled());
    QVERIFY2(log().contains(" here\n"), qPrintable(log()));

    // The engine: command 3, then three pieces that add up to the file.
    QTRY_VERIFY(mSim.output().contains("upgrade complete"));
    const QString sim = mSim.output();
    QVERIFY(sim.contains("upgrade announced"));
    QCOMPARE(sim.count("received upgrade data"), 3);
    QVERIFY(sim.contains("received upgrade data: length 1048592 total 2500000 offset 0\n"));
    QVERIFY(sim.contains("received upgrade data: length 1048592 total 2500000 offset 1048576\n"));
    QVERIFY(sim.contains("received upgrade data: length 402864 total 2500000 offset 2097152\n"));
    QVERIFY(sim.contains("upgrade complete: 2500000 bytes, checksum " + fnv1a(engineFile)));
    QVERIFY(sim.indexOf("upgrade announced") < sim.indexOf("received upgrade data"));
    QCOMPARE(pauses(), (std::vector<unsigned>{1000, 1000, 1000, 1000, 5000, 1000}));

    // The panel: installed, stick released, every step shown.
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/h2")), QByteArray("new program"));
    QVERIFY(QFileInfo(mRoot->path("/home/orangepi/h2/h2")).isExecutable());
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/lib/libextra.so")), QByteArray("library"));
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/.h2config")), QByteArray("mode = 4\n"));
    QVERIFY(!mounted());
    QVERIFY(QDir(mRoot->path("/home/orangepi/tmp"))
                .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QCOMPARE(
        steps(),
        (Steps{{1, 1}, {1, 1}, {10, 1}, {20, 1}, {30, 2}, {40, 2}, {50, 2}, {60, 2}, {100, 3}}));
    QVERIFY(log().contains("upgrade file len 2500000"));
    QVERIFY(log().contains("mount RO /dev/sda1 vfat ok 1"));
    {
        std::lock_guard<std::mutex> lock(mMutex);
        QCOMPARE(mMtabAtTransfer,
                 QByteArray("/dev/sda1 /home/orangepi/mount vfat ro,nosuid,nodev,noexec 0 0\n"));
    }
    QVERIFY(log().contains("upgrade finish"));

    auto* bar = mDialog->findChild<QProgressBar*>("progressBar");
    auto* line = mDialog->findChild<QLabel*>("upgrading");
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 100, 3000);
    QCOMPARE(line->text(), upgradeStateText(3));

    // The operator pulls the stick: the dialog closes.
    sendEvent("remove@" + kUsb1Disk);
    QVERIFY(waitHandled(2));
    QTRY_VERIFY(!mDialog->isVisible());
}

// A stick with only the aging marker: the engine is told mode 14, the dialog closes without
// a failure, nothing is stored, and pulling the stick tells the engine again.
void TestUpgradeMonitor::agingModeWithTheSimulator() {
    QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    writeStick(".agingtest-1", "");
    QCOMPARE(mSim.output().count("work mode 14 "), 0);
    sendEvent("add@" + kUsb1Disk);
    QVERIFY(waitHandled());
    QVERIFY(log().contains("will in age mode"));
    QTRY_COMPARE(mSim.output().count("work mode 14 "), 1);
    QCOMPARE(snapshotSetting().mode, 14);
    QVERIFY(!mounted());
    QVERIFY(!mSim.output().contains("upgrade announced"));
    QCOMPARE(steps().back(), Step(20, 1));
    QTRY_VERIFY(log().contains("stop display ui"));
    QVERIFY(!mDialog->isVisible());
    QVERIFY(!QFileInfo::exists(mWorkDir->file(".h2config")));

    sendEvent("remove@" + kUsb1Disk);
    QVERIFY(waitHandled(2));
    QTRY_COMPARE(mSim.output().count("work mode 14 "), 2);
}

void TestUpgradeMonitor::outcomes_data() {
    QTest::addColumn<QString>("stick");  // files on the stick, ';'-separated; "disk:" whole disk
    QTest::addColumn<QString>("engine"); // "sim", "refusing", "stalled" (never reads) or "none"
    QTest::addColumn<Step>("last");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("engine only") << "oxa_updatex"
                                 << "sim" << Step{100, 3} << "no panel package found";
    QTest::newRow("engine file wins over the marker")
        << "oxa_updatex;.agingtest"
        << "sim" << Step{100, 3} << "no panel package found";
    QTest::newRow("neither file") << "readme.txt"
                                  << "sim" << Step{20, 4} << "error to transfer file";
    QTest::newRow("no board") << "oxa_updatex;oxa_updates"
                              << "none" << Step{20, 4} << "error to send file";
    QTest::newRow("board refuses") << "oxa_updatex;oxa_updates"
                                   << "refusing" << Step{20, 4} << "client failed 4";
    QTest::newRow("board stops reading data")
        << "oxa_updatex;oxa_updates"
        << "stalled" << Step{20, 4} << "client 1 send stalled";
    QTest::newRow("unpartitioned stick") << "disk:oxa_updatex"
                                         << "sim" << Step{100, 3} << "mount RO /dev/sda fat ok";
}

void TestUpgradeMonitor::outcomes() {
    QFETCH(QString, stick);
    QFETCH(QString, engine);
    QFETCH(Step, last);
    QFETCH(QString, logLine);
    if (engine == "sim")
        QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    if (engine == "refusing" || engine == "stalled")
        QVERIFY(connectRefusingEngine());
    if (engine == "stalled")
        mServer->thread()->setDataStallMs(200); // well inside the 3 s silence rule
    QString dev = "/dev/sda1/";
    if (stick.startsWith("disk:")) {
        dev = "/dev/sda/";
        stick.remove(0, 5);
    }
    for (const QString& name : stick.split(';')) {
        if (name == "oxa_updates")
            QVERIFY(writeTarGz(mRoot->path(dev + name), {{TarMember::File, "h2", "new"}}));
        else
            mRoot->writeFile(dev + name, QByteArray(engine == "stalled" ? 16 << 20 : 5000, 'e'));
    }
    mRoot->writeFile("/home/orangepi/h2/h2", "old program");

    sendEvent("add@" + kUsb1Disk);
    QVERIFY(waitHandled());
    QVERIFY2(log().contains(logLine), qPrintable(log()));
    QCOMPARE(steps().back(), last);
    QVERIFY(!mounted());
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/h2")), QByteArray("old program"));
    QCOMPARE(mDialog->progress(), last.first);
    QCOMPARE(mDialog->state(), last.second);
    QCOMPARE(snapshotSetting().mode, 3);
    QTRY_VERIFY(mDialog->isVisible()); // open until the stick is pulled
}

void TestUpgradeMonitor::hostileNamesRunNothing() {
    // Stand-ins that would leave a mark if a shell ever ran the names.
    const QString bin = mWorkDir->file("bin");
    for (const char* tool : {"reboot", "touch"}) {
        writeAll(bin + "/" + tool, QByteArray("#!/bin/sh\necho ran > ") +
                                       QFile::encodeName(mWorkDir->file(QString("ran-") + tool)) +
                                       "\n");
        QVERIFY(QFile::setPermissions(bin + "/" + tool, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ":" + oldPath);

    QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    writeStick("oxa_updatex$(reboot)", QByteArray(3000, 'e'));
    QVERIFY(writeTarGz(mRoot->path("/dev/sda1/oxa_updates;touch HACKED"),
                       {{TarMember::File, "h2", "new program", 0755}}));
    sendEvent("add@" + kUsb1Disk + "`reboot`"); // refused: not a plain disk name
    sendEvent("add@" + kUsb1Disk);
    QVERIFY(waitHandled());
    qputenv("PATH", oldPath);

    QCOMPARE(steps().back(), Step(100, 3));
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/h2")), QByteArray("new program"));
    QVERIFY(!QFileInfo::exists(mWorkDir->file("ran-reboot")));
    QVERIFY(!QFileInfo::exists(mWorkDir->file("ran-touch")));
    QDirIterator it(mRoot->root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QVERIFY2(!it.next().endsWith("/HACKED"), qPrintable(it.filePath()));
    QVERIFY(!QFileInfo::exists(mWorkDir->file("HACKED")));
    // The name reached tar as one argument.
    auto* desktop = dynamic_cast<h2::DesktopPlatform*>(&h2::platform());
    QVERIFY(desktop);
    QStringList programs;
    for (const auto& argv : desktop->programRequests()) {
        QStringList words;
        for (const std::string& word : argv)
            words << QString::fromStdString(word);
        programs << words.join('|');
    }
    const QString archive = mRoot->path("/home/orangepi/mount/oxa_updates;touch HACKED");
    QCOMPARE(programs,
             QStringList({"tar|-tzf|" + archive + "|--quoting-style=escape",
                          "tar|zmxf|" + archive + "|-C|" + mRoot->path("/home/orangepi/tmp") +
                              "|--no-same-owner|--no-same-permissions"}));
}

using Members = std::vector<TarMember>;
Q_DECLARE_METATYPE(Members)

void TestUpgradeMonitor::refusedPackages_data() {
    QTest::addColumn<Members>("members");
    QTest::addColumn<QString>("logLine");
    const TarMember h2{TarMember::File, "h2", "evil program", 0755};
    QTest::newRow("parent member") << Members{h2, {TarMember::File, "../../evil", "x"}}
                                   << "package refused: member name leaves the directory";
    QTest::newRow("absolute member") << Members{{TarMember::File, "/home/orangepi/evil", "x"}, h2}
                                     << "package refused: absolute member name";
    QTest::newRow("link member") << Members{{TarMember::Symlink, "lib", "/home/orangepi"}, h2}
                                 << "package refused: link member";
    QTest::newRow("no program") << Members{{TarMember::File, "readme", "x"}}
                                << "no exe file /home/orangepi/tmp/h2";
    QTest::newRow("program is a directory")
        << Members{{TarMember::Directory, "h2/"}} << "no exe file /home/orangepi/tmp/h2";
}

void TestUpgradeMonitor::refusedPackages() {
    QFETCH(Members, members);
    QFETCH(QString, logLine);
    QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    writeStick("oxa_updatex", QByteArray(3000, 'e'));
    QVERIFY(writeTarGz(mRoot->path("/dev/sda1/oxa_updates"), members));
    mRoot->writeFile("/home/orangepi/h2/h2", "old program");
    mRoot->writeFile("/home/orangepi/tmp/stale", "left over");

    sendEvent("add@" + kUsb1Disk);
    QVERIFY(waitHandled());
    QVERIFY2(log().contains(logLine), qPrintable(log()));
    QCOMPARE(steps().back(), Step(40, 4));
    QVERIFY(!mounted());
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/h2")), QByteArray("old program"));
    QVERIFY(!QFileInfo::exists(mRoot->path("/home/orangepi/evil")));
    QVERIFY(!QFileInfo::exists(mRoot->path("/home/evil")));
    QVERIFY(!QFileInfo::exists(mRoot->path("/home/orangepi/tmp/stale")));
}

void TestUpgradeMonitor::failedInstallKeepsTheOldProgram() {
    QVERIFY2(startSimulator(), qPrintable(mSim.output()));
    writeStick("oxa_updatex", QByteArray(3000, 'e'));
    QVERIFY(writeTarGz(
        mRoot->path("/dev/sda1/oxa_updates"),
        {{TarMember::File, "h2", "new program", 0755}, {TarMember::File, "conf/panel.ini", "x"}}));
    mRoot->writeFile("/home/orangepi/h2/h2", "old program");
    mRoot->writeFile("/home/orangepi/h2/conf", "a file where the package has a directory");

    sendEvent("add@" + kUsb1Disk);
    QVERIFY(waitHandled());
    QVERIFY(log().contains("install failed"));
    QCOMPARE(steps().back(), Step(50, 4));
    QVERIFY(!mounted());
    QCOMPARE(readAll(mRoot->path("/home/orangepi/h2/h2")), QByteArray("old program"));
}

QTEST_MAIN(TestUpgradeMonitor)
#include "tst_upgrade_monitor.moc"
