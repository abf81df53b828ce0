// The pure parts of the USB upgrade: device events, the checks on the panel package and
// its installation.

#include "support/tar_writer.h"
#include "support/temp_root.h"
#include "upgrade/device_event.h"
#include "upgrade/upgrade_package.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// What udev itself multicasts: a binary header, never an action.
const char kUdevMessage[] = "libudev\0\xfe\xed\xca\xfe add@/usb1/block/sda";
const QByteArray kDisk =
    "/devices/platform/soc/1c1b000.usb/usb3/3-1/3-1:1.0/host0/target0:0:0/0:0:0:0/block/sda";

QByteArray listing(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(dir.size() + 1);
    out.sort();
    return out.join(',').toUtf8();
}
} // namespace

class TestUpgradePackage : public QObject {
    Q_OBJECT
private slots:
    void deviceEvents_data();
    void deviceEvents();
    void deviceEventsNeverReadPastTheDatagram();
    void memberNames_data();
    void memberNames();
    void packageMembers_data();
    void packageMembers();
    void refusedFilesAreNotArchives_data();
    void refusedFilesAreNotArchives();
    void archivesMadeByTar_data();
    void archivesMadeByTar();
    void extractedTree();
    void emptyDirectoryKeepsLinkTargets();
    void install_data();
    void install();
    void failedInstallKeepsTheOldProgram_data();
    void failedInstallKeepsTheOldProgram();
};

void TestUpgradePackage::deviceEvents_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("disk");
    const int none = DeviceEvent::None, add = DeviceEvent::Add, remove = DeviceEvent::Remove;
    const QByteArray usb1 = QByteArray(kDisk).replace("usb3/", "usb1/");
    QTest::newRow("add whole disk") << "add@" + kDisk << add << 2 << "/sda";
    QTest::newRow("remove whole disk") << "remove@" + kDisk << remove << 2 << "/sda";
    QTest::newRow("port usb1") << "add@" + usb1 << add << 0 << "/sda";
    QTest::newRow("port usb4 sdb")
        << "add@" + QByteArray(kDisk).replace("usb3/", "usb4/").replace("/sda", "/sdb") << add << 3
        << "/sdb";
    QTest::newRow("kernel key lines follow")
        << "add@" + kDisk + "\0ACTION=add\0DEVPATH=x\0SUBSYSTEM=block" << add << 2 << "/sda";
    QTest::newRow("partition ignored") << "add@" + kDisk + "/sda1" << none << -1 << "";
    QTest::newRow("partition removal ignored") << "remove@" + kDisk + "/sda1" << none << -1 << "";
    QTest::newRow("hub port ignored")
        << "add@" + QByteArray(kDisk).replace("usb3/", "usb7/") << none << -1 << "";
    QTest::newRow("not a block device")
        << QByteArray("add@/devices/platform/usb2/2-1/2-1:1.0") << none << -1 << "";
    QTest::newRow("at sign first counts as add") << "@" + kDisk << add << 2 << "/sda";
    QTest::newRow("action compared over its length") << "a@" + kDisk << add << 2 << "/sda";
    QTest::newRow("short remove") << "rem@" + kDisk << remove << 2 << "/sda";
    QTest::newRow("longer action") << "addx@" + kDisk << none << -1 << "";
    QTest::newRow("change ignored") << "change@" + kDisk << none << -1 << "";
    QTest::newRow("no at sign") << QByteArray(kDisk) << none << -1 << "";
    QTest::newRow("only the first text counts")
        << "change@x" + QByteArray(1, '\0') + "add@" + kDisk << none << -1 << "";
    QTest::newRow("udev monitor message")
        << QByteArray(kUdevMessage, sizeof(kUdevMessage) - 1) << none << -1 << "";
    QTest::newRow("first port in table order")
        << QByteArray("add@/usb2/x/usb1/block/sdc") << add << 0 << "/sdc";
    QTest::newRow("block alone") << QByteArray("add@/usb1/x/block") << none << -1 << "";
    QTest::newRow("disk name with a shell word") << "add@" + kDisk + ";reboot" << none << -1 << "";
    QTest::newRow("disk name leaving /dev")
        << QByteArray("add@/usb1/block/../../etc") << none << -1 << "";
    QTest::newRow("empty") << QByteArray() << none << -1 << "";
}

void TestUpgradePackage::deviceEvents() {
    QFETCH(QByteArray, datagram);
    QFETCH(int, action);
    QFETCH(int, port);
    QFETCH(QString, disk);
    const DeviceEvent e = parseDeviceEvent(datagram.constData(), size_t(datagram.size()));
    QCOMPARE(int(e.action), action);
    QCOMPARE(e.port, port);
    QCOMPARE(QString::fromStdString(e.disk), disk);
}

// Each datagram lives in a heap block of exactly its size, so an over-read shows under
// AddressSanitizer; without it the accepted events must still be plausible.
void TestUpgradePackage::deviceEventsNeverReadPastTheDatagram() {
    QRandomGenerator rng(20240601);
    const QByteArray pieces[] = {"add",
                                 "remove",
                                 "@",
                                 "/block",
                                 "/sda",
                                 "usb1/",
                                 "usb4/",
                                 "/",
                                 "1",
                                 "a",
                                 QByteArray(1, '\0'),
                                 "\xff"};
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray text;
        const int parts = int(rng.bounded(12));
        for (int i = 0; i < parts; ++i)
            text += pieces[rng.bounded(int(std::size(pieces)))];
        if (rng.bounded(4) == 0)
            text += QByteArray(int(rng.bounded(2048)), char(rng.bounded(256)));
        text.truncate(2048);
        std::unique_ptr<char[]> exact(new char[size_t(text.size()) + (text.isEmpty() ? 1 : 0)]);
        memcpy(exact.get(), text.constData(), size_t(text.size()));
        const DeviceEvent e = parseDeviceEvent(exact.get(), size_t(text.size()));
        if (e.action == DeviceEvent::None)
            continue;
        ++accepted;
        QVERIFY(e.port >= 0 && e.port < 4);
        QVERIFY(e.disk.size() >= 2 && e.disk.size() <= kDiskNameMax);
        QCOMPARE(e.disk.find('/', 1), std::string::npos);
    }
    QVERIFY(accepted > 0);
    QCOMPARE(int(parseDeviceEvent(nullptr, 10).action), int(DeviceEvent::None));
}

void TestUpgradePackage::memberNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("program") << "h2" << true;
    QTest::newRow("dot slash") << "./h2" << true;
    QTest::newRow("nested") << "lib/plugins/x.so" << true;
    QTest::newRow("three dots") << "..." << true;
    QTest::newRow("dots inside") << "a..b/c.." << true;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("parent") << "../h2" << false;
    QTest::newRow("parent in the middle") << "a/../../b" << false;
    QTest::newRow("parent at the end") << "a/.." << false;
    QTest::newRow("empty") << "" << false;
}

void TestUpgradePackage::memberNames() {
    QFETCH(QString, name);
    QFETCH(bool, safe);
    std::string why;
    QCOMPARE(upgrade::memberNameIsSafe(name.toStdString(), &why), safe);
    QCOMPARE(why.empty(), safe);
}

using Members = std::vector<TarMember>;
Q_DECLARE_METATYPE(Members)

void TestUpgradePackage::packageMembers_data() {
    QTest::addColumn<Members>("members");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const TarMember h2{TarMember::File, "h2", "new program", 0755};
    const TarMember dir{TarMember::Directory, "lib/", {}, 0755};
    QTest::newRow("program only") << Members{h2} << "";
    QTest::newRow("program and files")
        << Members{dir, {TarMember::File, "lib/a.so", QByteArray(3000, 'x')}, h2} << "";
    QTest::newRow("long name") << Members{{TarMember::GnuLongName, {}, QByteArray(150, 'n')},
                                          {TarMember::File, "short"},
                                          h2}
                               << "";
    QTest::newRow("parent member")
        << Members{h2, {TarMember::File, "../evil", "x"}} << "leaves the directory";
    QTest::newRow("absolute member")
        << Members{{TarMember::File, "/etc/cron.d/evil", "x"}, h2} << "absolute";
    QTest::newRow("symbolic link")
        << Members{{TarMember::Symlink, "lib", "/etc"}, h2} << "link member";
    QTest::newRow("hard link") << Members{h2, {TarMember::Hardlink, "passwd", "/etc/passwd"}}
                               << "link member";
    QTest::newRow("ustar prefix")
        << Members{{TarMember::File, QByteArray(90, 'p') + "/" + QByteArray(60, 'f')}, h2} << "";
    QTest::newRow("absolute prefix")
        << Members{{TarMember::File, "/" + QByteArray(90, 'p') + "/" + QByteArray(60, 'f')}}
        << "absolute";
    QTest::newRow("parent in prefix")
        << Members{{TarMember::File, "../" + QByteArray(90, 'p') + "/" + QByteArray(60, 'f')}}
        << "leaves the directory";
    QTest::newRow("fifo") << Members{{TarMember::Fifo, "pipe"}, h2} << "special file";
    // The names tar really uses come from these records, not from the member's own header.
    QTest::newRow("pax path leaving")
        << Members{h2, {TarMember::PaxPath, {}, "../../h2"}, {TarMember::File, "harmless", "x"}}
        << "leaves the directory";
    QTest::newRow("pax path absolute")
        << Members{{TarMember::PaxPath, {}, "/bin/sh"}, {TarMember::File, "harmless", "x"}}
        << "absolute";
    QTest::newRow("pax sparse name absolute")
        << Members{{TarMember::PaxPath, "GNU.sparse.name", "/etc/cron.d/x"},
                   {TarMember::File, "harmless", "x"}}
        << "absolute";
    QTest::newRow("long name leaving")
        << Members{{TarMember::GnuLongName, {}, "a/../../" + QByteArray(120, 'n')},
                   {TarMember::File, "short"}}
        << "leaves the directory";
}

void TestUpgradePackage::packageMembers() {
    QFETCH(Members, members);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString archive = dir.filePath("oxa_updates");
    QVERIFY(writeTarGz(archive, members));
    std::string why;
    const int result = upgrade::checkPackageMembers(archive.toStdString(), &why);
    if (refusal.isEmpty()) {
        QCOMPARE(result, 0);
    } else {
        QCOMPARE(result, -1);
        QVERIFY2(QString::fromStdString(why).contains(refusal), why.c_str());
    }
}

void TestUpgradePackage::refusedFilesAreNotArchives_data() {
    QTest::addColumn<QByteArray>("raw");     // written as is
    QTest::addColumn<QByteArray>("gzipped"); // written gzip-compressed
    QByteArray stream = tarStream({{TarMember::File, "h2", "program"}});
    QByteArray badSum = stream;
    badSum[0] = 'g'; // name changed behind the checksum
    QTest::newRow("plain tar, not gzip") << stream << QByteArray();
    QTest::newRow("bad checksum") << QByteArray() << badSum;
    QTest::newRow("truncated in the data") << QByteArray() << stream.left(512 + 3);
    QTest::newRow("truncated header") << QByteArray() << stream.left(100);
    QTest::newRow("text file") << QByteArray("#!/bin/sh\nreboot\n") << QByteArray();
    QTest::newRow("oversized long name")
        << QByteArray()
        << tarStream({{TarMember::GnuLongName, {}, QByteArray(2 * 1024 * 1024, 'n')},
                      {TarMember::File, "x"}});
}

void TestUpgradePackage::refusedFilesAreNotArchives() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, gzipped);
    QTemporaryDir dir;
    const QString archive = dir.filePath("oxa_updates");
    if (gzipped.isEmpty())
        writeAll(archive, raw);
    else
        QVERIFY(writeGz(archive, gzipped));
    std::string why;
    QCOMPARE(upgrade::checkPackageMembers(archive.toStdString(), &why), -1);
    QVERIFY(!why.empty());
    QCOMPARE(upgrade::checkPackageMembers(dir.filePath("missing").toStdString(), &why), -1);
}

void TestUpgradePackage::archivesMadeByTar_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("gnu") << "gnu" << false << true;
    QTest::newRow("pax") << "pax" << false << true;
    QTest::newRow("ustar") << "ustar" << false << true;
    QTest::newRow("gnu absolute names") << "gnu" << true << false;
    QTest::newRow("pax absolute names") << "pax" << true << false;
}

void TestUpgradePackage::archivesMadeByTar() {
    QFETCH(QString, format);
    QFETCH(bool, absolute);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString src = dir.filePath("src");
    writeAll(src + "/h2", "program");
    // Long enough for the ustar prefix field, GNU long names and pax paths.
    writeAll(src + "/share/" + QString(80, 'x') + "/" + QString(60, 'y'), "deep");
    const QString archive = dir.filePath("oxa_updates");
    QStringList args = {"--format=" + format, "-czf", archive};
    if (absolute)
        args << "-P" << src + "/h2";
    else
        args << "-C" << src << "h2"
             << "share";
    QCOMPARE(QProcess::execute("tar", args), 0);
    std::string why;
    QCOMPARE(upgrade::checkPackageMembers(archive.toStdString(), &why) == 0, accepted);
    if (!accepted)
        QVERIFY2(QString::fromStdString(why).contains("absolute"), why.c_str());
}

void TestUpgradePackage::extractedTree() {
    QTemporaryDir dir;
    writeAll(dir.filePath("h2"), "x");
    writeAll(dir.filePath("lib/a.so"), "y");
    std::string why;
    QCOMPARE(upgrade::checkExtractedTree(dir.path().toStdString(), &why), 0);

    QVERIFY(QFile::link("/etc/passwd", dir.filePath("lib/passwd")));
    QCOMPARE(upgrade::checkExtractedTree(dir.path().toStdString(), &why), -1);
    QVERIFY(QString::fromStdString(why).contains("lib/passwd"));
    QVERIFY(QFile::remove(dir.filePath("lib/passwd")));
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath("lib/fifo")).constData(), 0644) == 0);
    QCOMPARE(upgrade::checkExtractedTree(dir.path().toStdString(), &why), -1);
}

void TestUpgradePackage::emptyDirectoryKeepsLinkTargets() {
    QTemporaryDir dir;
    const QString target = dir.filePath("keep");
    writeAll(target + "/precious", "data");
    const QString extract = dir.filePath("tmp");
    writeAll(extract + "/old/file", "x");
    writeAll(extract + "/.hidden", "x");
    QVERIFY(QFile::link(target, extract + "/link"));
    QCOMPARE(upgrade::emptyDirectory(extract.toStdString()), 0);
    QVERIFY(QDir(extract).exists());
    QCOMPARE(listing(extract), QByteArray());
    QCOMPARE(readAll(target + "/precious"), QByteArray("data"));
    // A missing directory is created.
    QCOMPARE(upgrade::emptyDirectory(dir.filePath("new").toStdString()), 0);
    QVERIFY(QDir(dir.filePath("new")).exists());
}

void TestUpgradePackage::install_data() {
    QTest::addColumn<bool>("crossDevice");
    QTest::addColumn<bool>("firstInstall"); // no install directory yet
    QTest::newRow("same file system") << false << false;
    QTest::newRow("other file system") << true << false;
    QTest::newRow("first install") << false << true;
}

void TestUpgradePackage::install() {
    QFETCH(bool, crossDevice);
    QFETCH(bool, firstInstall);
    QTemporaryDir dir;
    const QString from = dir.filePath("tmp"), to = dir.filePath("h2dir");
    writeAll(from + "/h2", "new program");
    QVERIFY(QFile::setPermissions(from + "/h2",
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeAll(from + "/lib/plugins/p.so", "plugin");
    writeAll(from + "/lib/plugins/.p.conf", "moves with its directory");
    writeAll(from + "/.h2config", "mode = 9"); // never matched by "*": stays behind
    if (!firstInstall) {
        writeAll(to + "/h2", "old program");
        writeAll(to + "/.h2config", "mode = 3");
        writeAll(to + "/lib/old.so", "stays");
    }

    int renames = 0;
    upgrade::RenameFn rename = [&](const char* a, const char* b) {
        ++renames;
        if (crossDevice) {
            errno = EXDEV;
            return -1;
        }
        return ::rename(a, b);
    };
    std::string why;
    QCOMPARE(upgrade::installTree(from.toStdString(), to.toStdString(), &why, rename), 0);
    QCOMPARE(renames, 3);
    QCOMPARE(readAll(to + "/h2"), QByteArray("new program"));
    QVERIFY(QFileInfo(to + "/h2").isExecutable());
    QCOMPARE(readAll(to + "/lib/plugins/p.so"), QByteArray("plugin"));
    if (firstInstall) {
        QCOMPARE(listing(to),
                 QByteArray("h2,lib,lib/plugins,lib/plugins/.p.conf,lib/plugins/p.so"));
        return;
    }
    QCOMPARE(readAll(to + "/lib/old.so"), QByteArray("stays"));
    QCOMPARE(readAll(to + "/.h2config"), QByteArray("mode = 3"));
    QCOMPARE(listing(to), QByteArray(".h2config,h2,lib,lib/old.so,lib/plugins,lib/plugins/.p.conf,"
                                     "lib/plugins/p.so"));
}

void TestUpgradePackage::failedInstallKeepsTheOldProgram_data() {
    QTest::addColumn<QString>("obstacle");  // what stands in the way in the install directory
    QTest::addColumn<int>("failingRename"); // 1-based; 0 none
    QTest::newRow("file where a directory goes") << "file lib" << 0;
    QTest::newRow("directory where a file goes") << "dir notes.txt" << 0;
    QTest::newRow("second move fails") << "" << 2;
    QTest::newRow("first move fails") << "" << 1;
}

void TestUpgradePackage::failedInstallKeepsTheOldProgram() {
    QFETCH(QString, obstacle);
    QFETCH(int, failingRename);
    QTemporaryDir dir;
    const QString from = dir.filePath("tmp"), to = dir.filePath("h2dir");
    writeAll(from + "/h2", "new program");
    writeAll(from + "/lib/new.so", "new");
    writeAll(from + "/notes.txt", "notes");
    writeAll(to + "/h2", "old program");
    if (obstacle == "file lib")
        writeAll(to + "/lib", "a file");
    if (obstacle == "dir notes.txt")
        QVERIFY(QDir().mkpath(to + "/notes.txt"));
    const QByteArray before = listing(to);

    int renames = 0;
    upgrade::RenameFn rename = [&](const char* a, const char* b) {
        if (++renames == failingRename) {
            errno = EIO;
            return -1;
        }
        return ::rename(a, b);
    };
    std::string why;
    QCOMPARE(upgrade::installTree(from.toStdString(), to.toStdString(), &why, rename), -1);
    QVERIFY(!why.empty());
    QCOMPARE(readAll(to + "/h2"), QByteArray("old program"));
    QCOMPARE(listing(to), before); // nothing staged is left behind
}

QTEST_GUILESS_MAIN(TestUpgradePackage)
#include "tst_upgrade_package.moc"
