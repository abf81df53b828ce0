// The pure parts of the USB upgrade: device events, the checks on the panel package and its
// installation.

#include "support/built_program.h"
#include "support/tar_writer.h"
#include "support/temp_root.h"
#include "upgrade/device_event.h"
#include "upgrade/upgrade_package.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

namespace {
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
    // "datagram|action port disk": $ is a whole disk on usb3/, ~ a NUL byte.
    void deviceEvents() {
        const QByteArray disk = "/devices/platform/soc/1c1b000.usb/usb3/3-1/3-1:1.0/host0/"
                                "target0:0:0/0:0:0:0/block/sda";
        for (const QByteArray row : {"add@$|add 2 /sda",
                                     "remove@$|remove 2 /sda",
                                     "add@/devices/usb1/1-1/block/sda|add 0 /sda",
                                     "add@/usb4/x/block/sdb|add 3 /sdb",
                                     "add@$~ACTION=add~DEVPATH=x|add 2 /sda",
                                     "add@$/sda1|none",
                                     "remove@$/sda1|none",
                                     "add@/usb7/x/block/sda|none",
                                     "add@/devices/platform/usb2/2-1/2-1:1.0|none",
                                     "@$|add 2 /sda",
                                     "a@$|add 2 /sda",
                                     "rem@$|remove 2 /sda",
                                     "addx@$|none",
                                     "change@$|none",
                                     "$|none",
                                     "change@x~add@$|none",
                                     "libudev~\xfe\xed\xca\xfe add@/usb1/block/sda|none",
                                     "add@/usb2/x/usb1/block/sdc|add 0 /sdc",
                                     "add@/usb1/x/block|none",
                                     "add@$;reboot|none",
                                     "add@/usb1/block/../../etc|none",
                                     "|none"}) {
            QByteArray datagram = row.left(row.lastIndexOf('|')).replace('$', disk);
            datagram.replace('~', '\0');
            // Exactly the datagram's bytes on the heap: an over-read shows under ASan.
            std::unique_ptr<char[]> exact(new char[size_t(datagram.size()) + 1]);
            memcpy(exact.get(), datagram.constData(), size_t(datagram.size()));
            const DeviceEvent e = parseDeviceEvent(exact.get(), size_t(datagram.size()));
            const char* actions[] = {"none", "add", "remove"};
            QString got = actions[e.action];
            if (e.action != DeviceEvent::None)
                got += QString(" %1 %2").arg(e.port).arg(QString::fromStdString(e.disk));
            QCOMPARE(row.left(row.lastIndexOf('|') + 1) + got.toUtf8(), row);
        }
        QCOMPARE(parseDeviceEvent(nullptr, 10).action, DeviceEvent::None);
    }

    // "members|mangle|refusal": members as tarStream takes them ({90p}: 90 times p), "tar:FORMAT
    // [-P]" for an archive made by tar itself or "built" for the build's panel package; mangle
    // spoils the archive; refusal is part of the reason given, empty when it is accepted.
    void packageMembers_data() {
        QTest::addColumn<QString>("row");
        QTest::newRow("program only") << "0:h2=x||";
        QTest::newRow("files") << "5:lib/ 0:lib/a.so=x 0:... 0:a..b/c.. 0:h2||";
        QTest::newRow("long name") << "L:={150n} 0:short 0:h2||";
        QTest::newRow("ustar prefix") << "0:{90p}/{60f}||";
        QTest::newRow("pax by tar") << "tar:pax||";
        QTest::newRow("gnu by tar") << "tar:gnu||";
        QTest::newRow("the build's panel package") << "built||";
        QTest::newRow("parent") << "0:h2 0:../evil||leaves the directory";
        QTest::newRow("parent at the end") << "0:a/..||leaves the directory";
        QTest::newRow("absolute") << "0:/etc/cron.d/evil 0:h2||absolute";
        QTest::newRow("absolute by tar") << "tar:pax -P||absolute";
        QTest::newRow("absolute prefix") << "0:/{90p}/{60f}||absolute";
        QTest::newRow("parent in prefix") << "0:../{90p}/{60f}||leaves the directory";
        QTest::newRow("symbolic link") << "2:lib=/etc 0:h2||link member";
        QTest::newRow("hard link") << "0:h2 1:passwd=/etc/passwd||link member";
        QTest::newRow("fifo") << "6:pipe 0:h2||special file";
        // The names tar really uses come from these records, not from the member's own header.
        QTest::newRow("pax path leaving")
            << "0:h2 x:path=../../h2 0:harmless||leaves the directory";
        QTest::newRow("pax path absolute") << "x:path=/bin/sh 0:harmless||absolute";
        QTest::newRow("pax sparse name absolute")
            << "x:GNU.sparse.name=/etc/cron.d/x 0:x||absolute";
        QTest::newRow("long name leaving") << "L:=a/../../{120n} 0:short||leaves the directory";
        QTest::newRow("oversized long name") << "L:={2097152n} 0:x||oversized";
        QTest::newRow("plain tar, not gzip") << "0:h2|plain|cannot list";
        QTest::newRow("bad checksum") << "0:h2|sum|cannot list";
        QTest::newRow("truncated in the data") << "0:h2=program|515|cannot list";
        QTest::newRow("truncated header") << "0:h2|100|truncated archive";
        QTest::newRow("missing") << "0:h2|missing|cannot list";
    }
    void packageMembers() {
        QFETCH(QString, row);
        QString members = row.section('|', 0, 0);
        const QString mangle = row.section('|', 1, 1), refusal = row.section('|', 2);
        QTemporaryDir dir;
        QString archive = dir.filePath("oxa_updates");
        static const QRegularExpression repeat("\\{(\\d+)(\\w)\\}");
        for (auto m = repeat.match(members); m.hasMatch(); m = repeat.match(members))
            members.replace(m.captured(0), QString(m.captured(1).toInt(), m.captured(2)[0]));
        QByteArray stream = tarStream(members);
        if (mangle == "sum")
            stream[0] = 'g'; // name changed behind the checksum
        if (mangle.toInt())
            stream.truncate(mangle.toInt());
        if (members == "built") {
            archive = builtProgram("oxa_updates");
        } else if (members.startsWith("tar:")) {
            writeAll(dir.filePath("src/h2"), "program");
            writeAll(dir.filePath("src/share/" + QString(80, 'x') + "/" + QString(60, 'y')), "d");
            QStringList args = {"--format=" + members.mid(4, 3),
                                "-czf",
                                archive,
                                "-C",
                                dir.filePath("src"),
                                "share"};
            if (members.endsWith("-P"))
                args << "-P" << dir.filePath("src/h2");
            QCOMPARE(QProcess::execute("tar", args), 0);
        } else if (mangle != "missing") {
            writeAll(archive, mangle == "plain" ? stream : gzipped(stream));
        }
        std::string why;
        const int result = upgrade::checkPackageMembers(archive.toStdString(), &why);
        QCOMPARE(result, refusal.isEmpty() ? 0 : -1);
        QVERIFY2(QString::fromStdString(why).contains(refusal), why.c_str());
    }

    void extractedTreeAndEmptying() {
        QTemporaryDir dir;
        const QString tree = dir.filePath("tmp");
        writeAll(tree + "/h2", "x");
        writeAll(tree + "/lib/.hidden", "y");
        std::string why;
        QCOMPARE(upgrade::checkExtractedTree(tree.toStdString(), &why), 0);
        QVERIFY(QFile::link(dir.filePath("keep"), tree + "/lib/link"));
        QCOMPARE(upgrade::checkExtractedTree(tree.toStdString(), &why), -1);
        QVERIFY(QString::fromStdString(why).contains("lib/link"));
        QVERIFY(QFile::remove(tree + "/lib/link"));
        QCOMPARE(mkfifo(QFile::encodeName(tree + "/fifo").constData(), 0644), 0);
        QCOMPARE(upgrade::checkExtractedTree(tree.toStdString(), &why), -1);

        writeAll(dir.filePath("keep/precious"), "data"); // a link's target stays
        QVERIFY(QFile::link(dir.filePath("keep"), tree + "/link"));
        QCOMPARE(upgrade::emptyDirectory(tree.toStdString()), 0);
        QCOMPARE(listing(tree), QByteArray());
        QCOMPARE(readAll(dir.filePath("keep/precious")), QByteArray("data"));
        QCOMPARE(upgrade::emptyDirectory(dir.filePath("new").toStdString()), 0);
        QVERIFY(QDir(dir.filePath("new")).exists());
    }

    // "obstacle|renames|installed": obstacle stands in the install directory ("none": there is
    // no install directory); renames "EXDEV" fails every rename(2), "EIO N" the Nth; installed
    // lists the result, empty when the install fails and must leave everything as it was. The
    // package's top-level dot files stay behind; the install directory's own stay as they are.
    void install_data() {
        QTest::addColumn<QString>("row");
        const QString all = "|.h2config,h2,lib,lib/old.so,lib/plugins,lib/plugins/.p.conf,"
                            "lib/plugins/p.so";
        QTest::newRow("same file system") << "|" + all;
        QTest::newRow("other file system") << "|EXDEV" + all;
        QTest::newRow("first install")
            << "none||h2,lib,lib/plugins,lib/plugins/.p.conf,lib/plugins/p.so";
        QTest::newRow("file where a directory goes") << "lib/plugins||";
        QTest::newRow("directory where a file goes") << "lib/plugins/p.so/||";
        QTest::newRow("first move fails") << "|EIO 1|";
        QTest::newRow("second move fails") << "|EIO 2|";
    }
    void install() {
        QFETCH(QString, row);
        const QString obstacle = row.section('|', 0, 0), renames = row.section('|', 1, 1);
        const QByteArray installed = row.section('|', 2).toUtf8();
        QTemporaryDir dir;
        const QString from = dir.filePath("tmp"), to = dir.filePath("h2dir");
        writeAll(from + "/h2", "new program");
        QVERIFY(QFile::setPermissions(from + "/h2", QFile::ReadOwner | QFile::ExeOwner));
        writeAll(from + "/lib/plugins/p.so", "plugin");
        writeAll(from + "/lib/plugins/.p.conf", "moves with its directory");
        writeAll(from + "/.h2config", "mode = 9");
        if (obstacle != "none") {
            writeAll(to + "/h2", "old program");
            writeAll(to + "/.h2config", "mode = 3");
            writeAll(to + "/lib/old.so", "stays");
        }
        if (obstacle.endsWith('/'))
            QVERIFY(QDir().mkpath(to + "/" + obstacle));
        else if (obstacle.contains('/'))
            writeAll(to + "/" + obstacle, "a file");
        const QByteArray before = listing(to);
        int count = 0;
        const upgrade::RenameFn rename = [&](const char* a, const char* b) {
            errno = renames == "EXDEV" ? EXDEV : EIO;
            const bool fails = renames == "EXDEV" || renames == QString("EIO %1").arg(++count);
            return fails ? -1 : ::rename(a, b);
        };
        std::string why;
        QCOMPARE(upgrade::installTree(from.toStdString(), to.toStdString(), &why, rename),
                 installed.isEmpty() ? -1 : 0);
        QCOMPARE(listing(to), installed.isEmpty() ? before : installed);
        QCOMPARE(readAll(to + "/h2"), installed.isEmpty() ? "old program" : "new program");
        QCOMPARE(QFileInfo(to + "/h2").isExecutable(), !installed.isEmpty());
        QCOMPARE(readAll(to + "/.h2config"), obstacle == "none" ? "" : "mode = 3");
    }
};

QTEST_GUILESS_MAIN(TestUpgradePackage)
#include "tst_upgrade_package.moc"
