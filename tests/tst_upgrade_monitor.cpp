// The USB upgrade: device events, the checks on the panel package and its installation, and
// the monitor end to end on the desktop platform: device events on ROOT/run/uevent.sock,
// sticks as directories under ROOT/dev, a loopback engine that reads the upgrade and answers
// with its status, and the build's panel package installed under ROOT.

#include "base/globals.h"
#include "base/log_file.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "results/reader.h"
#include "settings/settings.h"
#include "support/built_program.h"
#include "support/loopback_peer.h"
#include "support/results_journal.h"
#include "support/stdout_capture.h"
#include "support/tar_writer.h"
#include "support/temp_root.h"
#include "upgrade/device_event.h"
#include "upgrade/upgrade.h"
#include "upgrade/upgrade_package.h"
#include "upgrade/upgradedialog.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QtTest>
#include <cerrno>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using h2test::words;

namespace {
const QByteArray kDisk =
    "/devices/platform/soc/1c1a000.usb/usb1/1-1/1-1:1.0/host0/target0:0:0/0:0:0:0/block/sda";

QByteArray listing(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(dir.size() + 1);
    out.sort();
    return out.join(',').toUtf8();
}

// The link server with the monitor and its dialog, and an engine on 127.0.0.2 to connect.
struct Rig {
    TempRoot root;
    TempWorkDir work;
    StdoutCapture out;
    DataServer server{LinkEndpoints{"127.0.0.2", 0, 0}};
    UpgradeDialog dialog{nullptr};
    std::mutex mutex;
    // "percent,state" as reported, the monitor's pauses ("wait N") and the mount table while
    // the engine file goes out.
    QStringList steps;
    h2test::LoopbackPeer control, data;
    // The global server goes only after the monitor has ended: a last event may still send
    // the settings through it.
    struct ServerGone {
        ~ServerGone() { mDataServer = nullptr; }
    } serverGone;
    UpgradeThread monitor; // ends, and hands its descriptors back, before anything above goes

    Rig() {
        Info.clear();
        mSetting.mode = 3; // the work mode before the stick
        server.init(server_receive_callback, server_connect_callback);
        server.start();
        mDataServer = &server;
        // A "second" is a few real milliseconds; the wait for the engine's answer ends when
        // the engine has answered.
        monitor.setPause([this](unsigned ms) {
            note(QString("wait %1").arg(ms));
            for (int i = 0; i < (ms < 5000 ? 1 : 1000) && (i == 0 || Info.engineStatus() == 0); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        monitor.setStepObserver(
            [this](int percent, int state) { note(QString("%1,%2").arg(percent).arg(state)); });
        monitor.init(&dialog, &server);
        monitor.start();
        (void)QTest::qWaitFor([this] { return log().contains("will check device"); });
    }
    ~Rig() { // what the monitor and the test said goes to stderr when the test failed
        if (QTest::currentTestFailed())
            fputs(out.text().constData(), stderr);
    }

    void note(const QString& step) {
        std::lock_guard<std::mutex> lock(mutex);
        steps << step;
        if (step == "20,1" || step == "10,6") // the engine file's mount, the export's
            steps << readAll(root.path("/etc/mtab"));
    }
    QString log() const { return QString::fromUtf8(out.text()); }
    void plug(const QByteArray& datagram) {
        const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{AF_UNIX, {}};
        const QByteArray path = QFile::encodeName(root.path("/run/uevent.sock"));
        memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        sendto(fd, datagram.constData(), size_t(datagram.size()), 0,
               reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        ::close(fd);
    }
    // Every handled add ends in one of these lines, every handled remove in "removed".
    bool handled(int events) {
        const QRegularExpression done("error to upgrade file| here\n| removed\n");
        return QTest::qWaitFor([&] { return log().count(done) >= events; }, 30000);
    }
    bool connectEngine() {
        return control.connectTo("127.0.0.2", server.thread()->controlPort()) &&
               control.readExact(124, 3000).size() == 124 && // the settings on connect
               data.connectTo("127.0.0.2", server.thread()->dataPort()) &&
               QTest::qWaitFor([this] { return log().contains("data connected"); });
    }
    bool answer(uint32_t engineStatus) { // a status block with that engine status
        return control.sendAll(words({16488, engineStatus}) + QByteArray(16480, '\0'));
    }
};
} // namespace

class TestUpgradeMonitor : public QObject {
    Q_OBJECT

private slots:
    // "datagram|action port disk": $ is a whole disk on usb1/, # 61 letters, ~ a NUL byte.
    void deviceEvents() {
        for (const QByteArray row :
             {"add@$|add 0 /sda", "remove@$|remove 0 /sda", "add@/usb4/x/block/sdb|add 3 /sdb",
              "add@$/sda1|none", "add@/usb1/block/sda1|none", "add@/usb7/x/block/sda|none",
              "add@/devices/usb2/2-1:1.0|none", "@$|add 0 /sda", "a@$|add 0 /sda", "addx@$|none",
              "$|none", "change@x~add@$|none", "add@/usb2/x/usb1/block/sdc|add 0 /sdc",
              "add@/usb1/x/block|none", "add@$;reboot|none", "add@/usb1/block/../../etc|none",
              "|none", "add@/usb1/block/a#|add 0 /a#", "add@/usb1/block/aa#|none"}) {
            const QByteArray expanded =
                QByteArray(row).replace('$', kDisk).replace('#', QByteArray(61, 'a'));
            QByteArray datagram = expanded.left(expanded.lastIndexOf('|')).replace('~', '\0');
            // Exactly the datagram's bytes on the heap: an over-read shows under ASan.
            std::unique_ptr<char[]> exact(new char[size_t(datagram.size()) + 1]);
            memcpy(exact.get(), datagram.constData(), size_t(datagram.size()));
            const DeviceEvent e = parseDeviceEvent(exact.get(), size_t(datagram.size()));
            QString got = QStringList({"none", "add", "remove"})[e.action];
            if (e.action != DeviceEvent::None)
                got += QString(" %1 %2").arg(e.port).arg(QString::fromStdString(e.disk));
            QCOMPARE(expanded.left(expanded.lastIndexOf('|') + 1) + got.toUtf8(), expanded);
        }
    }

    // "members|mangle|refusal": members as tarStream takes them; mangle spoils the archive;
    // refusal is part of the reason given, empty when the archive is accepted.
    void packageMembers_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("files") << "5:lib/ 0:lib/a.so=x 0:... 0:a..b/c.. 0:h2=x||";
        QTest::newRow("long name") << "L:=" + QString(150, 'n') + " 0:short 0:h2||";
        QTest::newRow("parent") << "0:h2 0:../evil||leaves the directory";
        QTest::newRow("absolute") << "0:/etc/cron.d/evil 0:h2||absolute";
        QTest::newRow("symbolic link") << "2:lib=/etc 0:h2||link member";
        QTest::newRow("hard link") << "0:h2 1:passwd=/etc/passwd||link member";
        QTest::newRow("fifo") << "6:pipe 0:h2||special file";
        // The names tar really uses come from these records, not from the member's own header.
        QTest::newRow("pax path renames") << "x:path=h2 0:../h2||"; // tar extracts it as h2
        QTest::newRow("pax path leaving")
            << "0:h2 x:path=../../h2 0:harmless||leaves the directory";
        QTest::newRow("pax sparse name absolute")
            << "x:GNU.sparse.name=/etc/cron.d/x 0:x||absolute";
        QTest::newRow("long name leaving")
            << "L:=a/../../" + QString(120, 'n') + " 0:short||leaves the directory";
        QTest::newRow("oversized long name") << "L:=" + QString(2 << 20, 'n') + " 0:x||oversized";
        QTest::newRow("plain tar, not gzip") << "0:h2|plain|cannot list";
        QTest::newRow("bad checksum") << "0:h2|sum|cannot list";
        QTest::newRow("truncated header") << "0:h2|100|truncated archive";
        QTest::newRow("missing") << "0:h2|missing|cannot list";
    }
    void packageMembers() {
        QFETCH(QString, row);
        const QStringList f = row.split('|');
        QTemporaryDir dir;
        QByteArray stream = tarStream(f[0]);
        if (f[1] == "sum")
            stream[0] = 'g'; // name changed behind the checksum
        if (f[1].toInt())
            stream.truncate(f[1].toInt());
        const QString archive = dir.filePath("oxa_updates");
        if (f[1] != "missing")
            writeAll(archive, f[1] == "plain" ? stream : gzipped(stream));
        std::string why;
        QCOMPARE(upgrade::checkPackageMembers(archive.toStdString(), &why),
                 f[2].isEmpty() ? 0 : -1);
        QVERIFY2(QString::fromStdString(why).contains(f[2]), why.c_str());
    }

    // "renames|installed": renames "EXDEV" fails every rename(2), as from another file system
    // (and that install is the first one), "EIO N" the Nth; installed lists the result, empty
    // when the install fails and must leave everything as it was. The package's top-level dot
    // files stay behind; the install directory's own stay as they are.
    void install_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("same file system")
            << "|.h2config,h2,lib,lib/old.so,lib/plugins,lib/plugins/.p.conf,lib/plugins/p.so";
        QTest::newRow("first install, from another file system")
            << "EXDEV|h2,lib,lib/plugins,lib/plugins/.p.conf,lib/plugins/p.so";
        QTest::newRow("second move fails") << "EIO 2|";
    }
    void install() {
        QFETCH(QString, row);
        const QString renames = row.section('|', 0, 0);
        const QByteArray installed = row.section('|', 1).toUtf8();
        QTemporaryDir dir;
        const QString from = dir.filePath("tmp"), to = dir.filePath("h2dir");
        for (QString file :
             {"tmp/h2=new program", "tmp/lib/plugins/p.so=plugin",
              "tmp/lib/plugins/.p.conf=moves with its directory", "tmp/.h2config=mode = 9",
              "h2dir/h2=old program", "h2dir/.h2config=mode = 3", "h2dir/lib/old.so=stays"})
            if (renames != "EXDEV" || file.startsWith("tmp"))
                writeAll(dir.filePath(file.section('=', 0, 0)), file.section('=', 1).toUtf8());
        QVERIFY(QFile::setPermissions(from + "/h2", QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray before = listing(to);
        int count = 0;
        const upgrade::RenameFn rename = [&](const char* a, const char* b) {
            errno = renames == "EXDEV" ? EXDEV : EIO;
            return renames == "EXDEV" || renames == QString("EIO %1").arg(++count) ? -1
                                                                                   : ::rename(a, b);
        };
        std::string why;
        QCOMPARE(upgrade::installTree(from.toStdString(), to.toStdString(), &why, rename),
                 installed.isEmpty() ? -1 : 0);
        QCOMPARE(listing(to), installed.isEmpty() ? before : installed);
        QCOMPARE(readAll(to + "/h2"), installed.isEmpty() ? "old program" : "new program");
        QCOMPARE(QFileInfo(to + "/h2").isExecutable(), !installed.isEmpty());
        QCOMPARE(readAll(to + "/.h2config"), renames == "EXDEV" ? "" : "mode = 3");
    }

    void engineAndPanelUpgrade() {
        Rig rig;
        QVERIFY(rig.connectEngine());
        QByteArray engineFile(2500000, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(engineFile.data()), 625000);
        // Names a shell would run; they must reach the tools as plain arguments.
        rig.root.writeFile("/dev/sda1/oxa_updatex$(reboot)", engineFile);
        const QString package = "/oxa_updates;touch HACKED";
        QVERIFY(QFile::copy(builtProgram("oxa_updates"), rig.root.path("/dev/sda1" + package)));
        rig.root.writeFile("/home/orangepi/h2/h2", "old program");
        rig.root.writeFile("/home/orangepi/h2/.h2config", "mode = 4\n");

        rig.plug("add@" + kDisk + "`reboot`"); // refused: not a plain disk name
        rig.plug("add@" + kDisk);
        QCOMPARE(rig.control.readExact(8, 10000), words({8, 3}));
        QByteArray sent; // three pieces of at most 1 MiB, each behind its header
        for (const uint32_t length : {1048592, 1048592, 402864})
            sent += rig.data.readExact(length, 10000);
        QCOMPARE(sent.left(16) + sent.mid(1048592, 16) + sent.mid(2097184, 16),
                 words({1048592, 3, 2500000, 0, 1048592, 3, 2500000, 1048576, 402864, 3, 2500000,
                        2097152}));
        QVERIFY(sent.mid(16, 1048576) + sent.mid(1048608, 1048576) + sent.mid(2097200) ==
                engineFile);
        QVERIFY(rig.answer(3));
        QVERIFY(rig.handled(1));
        {
            std::lock_guard<std::mutex> lock(rig.mutex);
            QCOMPARE(rig.steps.join(' '),
                     "1,1 1,1 10,1 20,1 /dev/sda1 /home/orangepi/mount vfat "
                     "ro,nosuid,nodev,noexec 0 0\n wait 1000 wait 1000 wait "
                     "1000 wait 1000 wait 5000 30,2 40,2 50,2 60,2 wait 1000 100,3");
        }
        const std::string archive = rig.root.path("/home/orangepi/mount" + package).toStdString();
        const std::string extract = rig.root.path("/home/orangepi/tmp").toStdString();
        QVERIFY(rig.root.platform().programRequests() ==
                std::vector<std::vector<std::string>>(
                    {{"tar", "-tzf", archive, "--quoting-style=escape"},
                     {"tar", "zmxf", archive, "-C", extract, "--no-same-owner",
                      "--no-same-permissions"}}));

        // The package's program and catalogues replace the old program; the rest stays.
        const QString installed = rig.root.path("/home/orangepi/h2/");
        QCOMPARE(QDir(installed).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({".h2config", "ch.qm", "en.qm", "h2"}));
        QCOMPARE(readAll(installed + "h2").left(20), readAll(builtProgram("h2")).left(20));
        QVERIFY(QFileInfo(installed + "h2").isExecutable());
        QCOMPARE(is_mounted(upgrade::kMountPoint), 0);

        rig.plug("remove@" + kDisk); // the operator pulls the stick: the dialog closes
        QVERIFY(rig.handled(2));
        QTRY_VERIFY(!rig.dialog.isVisible());
    }

    // "stick|engine|last step|log line": files on the stick (';'-separated, "name=members" a
    // package, "disk:" an unpartitioned stick); the engine is absent, connected ("c"), reads
    // the upgrade and answers 3 or 4, or stops reading data ("stall").
    void sticks_data() {
        QTest::addColumn<QString>("row");
        const QString both = "oxa_updatex;oxa_updates=";
        QTest::newRow("no stick behind the event") << "||10,4|fail to mount";
        QTest::newRow("engine only") << "oxa_updatex|3|100,3|no panel package found";
        QTest::newRow("engine file wins over the marker")
            << "oxa_updatex;.agingtest|3|100,3|no panel package found";
        QTest::newRow("unpartitioned stick") << "disk:oxa_updatex|3|100,3|mount RO /dev/sda fat ok";
        QTest::newRow("neither file") << "readme.txt||20,4|error to transfer file";
        QTest::newRow("aging marker") << ".agingtest-1|c|20,1|will in age mode";
        QTest::newRow("no board") << both + "0:h2||20,4|error to send file";
        QTest::newRow("board refuses") << both + "0:h2|4|20,4|client failed 4";
        QTest::newRow("board stops reading data") << both + "0:h2|stall|20,4|client 1 send stalled";
        QTest::newRow("parent member")
            << both + "0:h2 0:../../evil|3|40,4|refused: member name leaves";
        QTest::newRow("no program") << both + "0:readme|3|40,4|no exe file /home/orangepi/tmp/h2";
        QTest::newRow("install fails") << both + "0:h2 0:conf/panel.ini|3|50,4|install failed";
    }
    void sticks() {
        QFETCH(QString, row);
        const QStringList f = row.split('|');
        Rig rig;
        if (!f[1].isEmpty())
            QVERIFY(rig.connectEngine());
        if (f[1] == "stall")
            rig.server.thread()->setDataStallMs(200); // well inside the 3 s silence rule
        const QString dev = f[0].startsWith("disk:") ? "/dev/sda/" : "/dev/sda1/";
        for (const QString& file : QString(f[0]).remove("disk:").split(';', Qt::SkipEmptyParts))
            rig.root.writeFile(dev + file.section('=', 0, 0),
                               file.contains('=')
                                   ? gzipped(tarStream(file.section('=', 1)))
                                   : QByteArray(f[1] == "stall" ? 16 << 20 : 5000, 'e'));
        rig.root.writeFile("/home/orangepi/h2/h2", "old program");
        rig.root.writeFile("/home/orangepi/h2/conf", "a file where the package has a directory");

        rig.plug("add@" + kDisk);
        if ((f[1] == "3" || f[1] == "4") && rig.data.readExact(5016, 10000).size() == 5016)
            QVERIFY(rig.answer(f[1].toUInt()));
        QVERIFY(rig.handled(1));
        QVERIFY2(rig.log().contains(f[3]), qPrintable(rig.log()));
        QCOMPARE(QString("%1,%2").arg(rig.dialog.progress()).arg(rig.dialog.state()), f[2]);
        QCOMPARE(is_mounted(upgrade::kMountPoint), 0);
        QCOMPARE(readAll(rig.root.path("/home/orangepi/h2/h2")), "old program");
        const bool aging = f[1] == "c";
        QCOMPARE(snapshotSetting().mode, aging ? 14 : 3);
        QTRY_COMPARE(rig.dialog.isVisible(), !aging); // a failure stays shown until the stick goes

        rig.plug("remove@" + kDisk);
        QVERIFY(rig.handled(2));
        QTRY_VERIFY(!rig.dialog.isVisible());
        if (aging) { // the engine is told mode 14 at once and again when the stick goes; not stored
            const QByteArray settings = rig.control.readExact(248, 10000);
            QCOMPARE(settings.mid(8, 4) + settings.mid(132, 4), words({14, 14}));
            QVERIFY(!QFileInfo::exists(rig.work.file(".h2config")));
        }
    }

    // "stick|engine|fault|last step|log line": a journal of 10001 records (two full pages
    // and one more) and the stick's files as above; the engine as above; the fault a
    // write-protected stick, a full one after 100 bytes, or one pulled (writes fail, the
    // remove event waits) once the first page is out.
    void resultsExport_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("marker only") << "h2-results|||100,6|exported 10001 records";
        QTest::newRow("then the engine upgrade")
            << "h2-results;oxa_updatex|3||100,3|no panel package found";
        QTest::newRow("then aging") << "h2-results.txt;.agingtest|c||20,1|will in age mode";
        QTest::newRow("marker a directory")
            << "h2-results/readme||dir|10,4|/home/orangepi/mount/h2-results is not a file";
        QTest::newRow("write-protected") << "h2-results||ro|10,4|the stick is read-only";
        QTest::newRow("full") << "h2-results||full|10,4|the stick is full (No space left";
        QTest::newRow("pulled") << "h2-results||pulled|14,4|the stick was removed or failed";
    }
    void resultsExport() {
        QFETCH(QString, row);
        const QStringList f = row.split('|');
        Rig rig;
        const QString journal = results::databaseFile();
        QVERIFY(makeJournal(
            journal,
            {"INSERT INTO results (panel_time, cabinet, port, verdict, result_key, write_speed) "
             "VALUES ('2025-03-04T10:00:00+08:00', 'cab \"7\", east', 3, 'fail', 'usb2', 1.5)",
             "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 10001) "
             "INSERT INTO results (panel_time, port, verdict, capacity_bytes) SELECT "
             "'2025-03-04T11:00:00+08:00', i % 121, 'pass', i * 1000000000 FROM n"}));
        const QByteArray before = readAll(journal);
        if (!f[1].isEmpty())
            QVERIFY(rig.connectEngine());
        for (const QString& file : f[0].split(';'))
            rig.root.writeFile("/dev/sda1/" + file, QByteArray(5000, 'e'));
        if (f[2] == "ro")
            rig.root.platform().setWriteProtectedSticks(true);
        if (f[2] == "full" || f[2] == "pulled") // header and first page: 404755 bytes
            rig.root.platform().failStickWritesAfter(f[2] == "full" ? 100 : 600000,
                                                     f[2] == "full" ? ENOSPC : EIO);

        rig.plug("add@" + kDisk);
        if (f[2] == "pulled")
            rig.plug("remove@" + kDisk);
        if (f[1] == "3" && rig.data.readExact(5016, 10000).size() == 5016)
            QVERIFY(rig.answer(3));
        QVERIFY(rig.handled(1));
        QVERIFY2(rig.log().contains(f[4]), qPrintable(rig.log()));
        QCOMPARE(QString("%1,%2").arg(rig.dialog.progress()).arg(rig.dialog.state()), f[3]);
        QCOMPARE(is_mounted(upgrade::kMountPoint), 0);
        QCOMPARE(readAll(journal), before);
        QCOMPARE(snapshotSetting().mode, f[1] == "c" ? 14 : 3);

        const QStringList written =
            QDir(rig.root.path("/dev/sda1")).entryList(QDir::Files | QDir::Hidden);
        const bool exported = f[3] != "10,4" && f[3] != "14,4";
        QCOMPARE(written.size(), f[0].count(';') + (f[2] == "dir" ? 0 : 1) + int(exported));
        if (exported) {
            std::unique_lock<std::mutex> lock(rig.mutex); // mounted writable for the export
            QVERIFY(rig.steps.join(' ').contains("10,6 /dev/sda1 /home/orangepi/mount vfat "
                                                 "rw,nosuid,nodev,noexec 0 0\n 14,6 18,6 19,6 "));
            lock.unlock();
            const QRegularExpression name("^results-" + QSysInfo::machineHostName() +
                                          "-20\\d{6}-\\d{6}\\.csv$");
            const QStringList csv = written.filter(name);
            QCOMPARE(csv.size(), 1);
            const QStringList records = readCsv(rig.root.path("/dev/sda1/" + csv[0]));
            QCOMPARE(records.value(0), "10002"); // the header and every record
            QVERIFY(records.value(1).startsWith("panel_time|engine_time|cabinet|ports|"));
            QVERIFY(records.value(1).endsWith("|engine_version|panel_version"));
            QCOMPARE(records.value(2),
                     "2025-03-04T10:00:00+08:00||cab \"7\", east|||||||3||fail|usb2|||1.5" +
                         QString(20, '|'));
            QCOMPARE(records.value(10002),
                     "2025-03-04T11:00:00+08:00|||||||||79||pass||10001000000000" +
                         QString(22, '|'));
        }
        rig.plug("remove@" + kDisk);
        QVERIFY(rig.handled(f[2] == "pulled" ? 3 : 2));
        QTRY_VERIFY(!rig.dialog.isVisible());
    }
};

QTEST_MAIN(TestUpgradeMonitor)
#include "tst_upgrade_monitor.moc"
