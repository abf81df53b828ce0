// The panel package the build makes ("oxa_updates"): what it holds, and that it goes through
// the panel's own USB upgrade on the desktop platform and leaves a panel that runs.

#include "support/built_program.h"
#include "support/temp_root.h"
#include "upgrade/upgrade_package.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kUsb1Disk =
    "/devices/platform/soc/1c1a000.usb/usb1/1-1/1-1:1.0/host0/target0:0:0/0:0:0:0/block/sda";

QString packagePath() {
    return builtProgram("oxa_updates");
}

// The catalogues the build made, which the package must carry.
QStringList builtCatalogues() {
    QStringList names;
    for (const char* name : {"en.qm", "ch.qm"})
        if (QFileInfo::exists(builtProgram(name)))
            names << name;
    return names;
}

// ELF machine field: the package must carry a program for the build's own target.
int elfMachine(const QByteArray& head) {
    if (head.size() < 20 || !head.startsWith("\x7f"
                                             "ELF"))
        return -1;
    return uchar(head[18]) | uchar(head[19]) << 8;
}

// One device event, as the kernel's netlink socket would deliver it on the board.
bool sendEvent(const QString& socketPath, const QByteArray& datagram) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    if (size_t(path.size()) >= sizeof(addr.sun_path)) {
        ::close(fd);
        return false;
    }
    memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const ssize_t sent = sendto(fd, datagram.constData(), size_t(datagram.size()), 0,
                                reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    ::close(fd);
    return sent == ssize_t(datagram.size());
}

} // namespace

class TestPanelPackage : public QObject {
    Q_OBJECT

private slots:
    void holdsTheProgramAndCataloguesAtItsTop();
    void upgradeByStickInstallsARunnablePanel();
};

void TestPanelPackage::holdsTheProgramAndCataloguesAtItsTop() {
    QVERIFY2(QFileInfo::exists(packagePath()), qPrintable(packagePath()));
    QVERIFY(builtCatalogues().size() == 2);

    // The upgrade monitor's own check of every member.
    std::string why;
    QVERIFY2(upgrade::checkPackageMembers(packagePath().toStdString(), &why) == 0, why.c_str());

    QProcess tar;
    tar.start("tar", {"--list", "--verbose", "--numeric-owner", "--gzip", "--file", packagePath()});
    QVERIFY(tar.waitForFinished(30000));
    QCOMPARE(tar.exitCode(), 0);
    QStringList members;
    for (const QString& line : QString::fromUtf8(tar.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        QCOMPARE(fields.size(), 6);
        QVERIFY2(fields[0].startsWith('-'), qPrintable(line)); // plain files only
        QCOMPARE(fields[1], QString("0/0"));
        members << fields[5];
        if (fields[5] == "h2")
            QCOMPARE(fields[0], QString("-rwxr-xr-x"));
    }
    members.sort();
    QStringList expected = builtCatalogues() << "h2";
    expected.sort();
    QCOMPARE(members, expected);
}

void TestPanelPackage::upgradeByStickInstallsARunnablePanel() {
    QVERIFY2(QFileInfo::exists(packagePath()), qPrintable(packagePath()));
    TempRoot root;
    QTemporaryDir work;
    const quint16 control = unusedPort();
    const quint16 data = unusedPort();
    QVERIFY(control != 0 && data != 0 && control != data);

    // The stick: an engine image and the package the build made.
    QByteArray engineImage(300000, '\0');
    QRandomGenerator rng(10);
    for (char& c : engineImage)
        c = char(rng.bounded(256));
    root.writeFile("/dev/sda1/oxa_updatex", engineImage);
    QVERIFY(QFile::copy(packagePath(), root.path("/dev/sda1/oxa_updates")));
    root.writeFile("/home/orangepi/h2/h2", "the program before the upgrade");

    QProcess panel;
    QByteArray panelLog;
    panel.setWorkingDirectory(work.path());
    panel.setProcessChannelMode(QProcess::MergedChannels);
    startPanel(panel, builtProgram("h2"), root.root(),
               {"--control-port", QString::number(control), "--data-port", QString::number(data),
                "--supervisor-port", "1", "--quit-after", "600000"});
    QVERIFY2(!waitForOutput(panel, panelLog, "will check device").isEmpty(), panelLog);

    QProcess engine;
    QByteArray engineLog;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    startProgram(engine, builtProgram("tools/engine-sim/engine-sim"),
                 {"--control-port", QString::number(control), "--data-port", QString::number(data),
                  "--interval", "100", "--scenario", "idle"});
    QVERIFY2(!waitForOutput(panel, panelLog, "data connected").isEmpty(), panelLog);

    QVERIFY(sendEvent(root.path("/run/uevent.sock"), "add@" + kUsb1Disk));
    const QString outcome =
        waitForOutput(panel, panelLog, "(upgrade finish|error to upgrade file)");
    QVERIFY2(outcome == "upgrade finish", panelLog);
    QVERIFY2(!waitForOutput(panel, panelLog, " here\n").isEmpty(),
             panelLog); // handled as a success
    QVERIFY(!waitForOutput(engine, engineLog, "upgrade complete: 300000 bytes").isEmpty());
    panel.kill();
    engine.kill();
    panel.waitForFinished();
    engine.waitForFinished();

    // Installed: the package's files, nothing left of the old program.
    const QString installDir = root.path("/home/orangepi/h2");
    QStringList installed = QDir(installDir).entryList(QDir::Files | QDir::Hidden);
    installed.sort();
    QStringList expected = builtCatalogues() << "h2";
    expected.sort();
    QCOMPARE(installed, expected);
    for (const QString& catalogue : builtCatalogues())
        QCOMPARE(readAll(installDir + "/" + catalogue), readAll(builtProgram(catalogue)));
    const QString program = installDir + "/h2";
    QVERIFY(QFileInfo(program).isExecutable());
    QCOMPARE(elfMachine(readAll(program).left(20)),
             elfMachine(readAll(builtProgram("h2")).left(20)));

    // It runs from its install directory, as the board's service starts it.
    TempRoot freshRoot;
    QProcess upgraded;
    QByteArray upgradedLog;
    upgraded.setWorkingDirectory(installDir);
    upgraded.setProcessChannelMode(QProcess::MergedChannels);
    startPanel(upgraded, program, freshRoot.root(),
               {"--quit-after", "1500", "--control-port", "0", "--data-port", "0",
                "--supervisor-port", "1"});
    QVERIFY(upgraded.waitForFinished(60000));
    upgradedLog = upgraded.readAll();
    QCOMPARE(upgraded.exitStatus(), QProcess::NormalExit);
    QVERIFY2(upgraded.exitCode() == 0, upgradedLog);
    QVERIFY2(upgradedLog.contains("will check device"), upgradedLog);
}

QTEST_GUILESS_MAIN(TestPanelPackage)
#include "tst_panel_package.moc"
