// The fleet publisher against a real mosquitto on loopback: its settings, its status payload,
// results delivered once acknowledged, and the panel's online flag with its last will.

#include "fleet/fleet_config.h"
#include "fleet/fleet_status.h"
#include "fleet/mosquitto_api.h"
#include "fleet/mqtt_client.h"
#include "fleet/publisher.h"
#include "results/result_source.h"
#include "support/built_program.h"
#include "support/local_broker.h"
#include "support/temp_root.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <mutex>
#include <set>
#include <signal.h>

namespace {
// The retained payload of a topic, as a subscriber that comes now receives it.
QByteArray retained(int port, const QString& topic) {
    QProcess sub;
    sub.start("mosquitto_sub",
              QString::asprintf("-h 127.0.0.1 -p %d -u fleet -P s3cret -C 1 -W 1 -t %s", port,
                                qPrintable(topic))
                  .split(' '));
    sub.waitForFinished();
    return sub.readAllStandardOutput().trimmed();
}

// id -> "port verdict layout sent|unsent" of every record in the journal's database.
QMap<qint64, QString> journalRows(const QString& file) {
    QMap<qint64, QString> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
        db.setDatabaseName(file);
        QSqlQuery q(db);
        if (db.open() && q.exec("SELECT id, port, verdict, layout, sent FROM results")) {
            while (q.next())
                rows[q.value(0).toLongLong()] =
                    QString("%1 %2 %3 %4")
                        .arg(q.value(1).toInt())
                        .arg(q.value(2).toString(), q.value(3).toString(),
                             q.value(4).toInt() ? "sent" : "unsent");
        }
    }
    QSqlDatabase::removeDatabase("reader");
    return rows;
}

// Test double of the results journal: unsent records in memory.
struct MemoryJournal : results::ResultSource {
    void fetchUnsent(int limit, QObject*,
                     std::function<void(std::vector<results::StoredResult>)> done) override {
        std::vector<results::StoredResult> out;
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++fetches;
            for (qint64 id : unsent) {
                if (int(out.size()) < limit && !sent.count(id))
                    out.push_back({id, QJsonObject{{"port", id}}});
            }
        }
        done(out); // on the caller's thread, which is the context's
    }
    void markSent(std::vector<qint64> ids) override {
        std::lock_guard<std::mutex> lock(mutex);
        sent.insert(ids.begin(), ids.end());
    }
    void setKeepUnsent(bool) override {}
    void add(std::initializer_list<qint64> ids) {
        std::lock_guard<std::mutex> lock(mutex);
        unsent << ids;
    }
    template <typename T> T get(T& field) {
        std::lock_guard<std::mutex> lock(mutex);
        return field;
    }
    std::mutex mutex;
    QList<qint64> unsent;
    std::set<qint64> sent; // no shared copies across threads
    int fetches = 0;
};
} // namespace

class TestFleet : public QObject {
    Q_OBJECT
private slots:
    void config() {
        const struct {
            const char* ini; // "-": no file; "/": a directory in its place
            const char* option;
            const char* expected; // host port cabinet user password, or the error
        } rows[] = {
            {"host=b\nport=8883\ncabinet=l3\nuser=u\npassword=a,b\n", "", "b 8883 l3 u a,b"},
            {"host=b\nport=1884\n", "127.0.0.1:1999", "127.0.0.1 1999 vm  "},
            {"-", "[::1]", "::1 1883 vm  "},
            {"-", "", ""}, // nothing configured: no error either
            {"port=1884\n", "", "no host"},
            {"host=b\ncabinet=a/#\n", "", "bad cabinet name \"a/#\""},
            {"/", "", "cannot read the file"},
            {"-", "h:99999", "bad broker \"h:99999\""},
        };
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const QString file = dir.filePath("fleet.ini");
            if (row.ini == QString("/"))
                QDir().mkpath(file);
            else if (row.ini != QString("-"))
                writeAll(file, row.ini);
            const fleet::ConfigResult r = fleet::readConfig(file, row.option, "vm");
            const fleet::BrokerConfig& c = r.config;
            const QStringList got{c.host, QString::number(c.port), c.cabinet, c.user, c.password};
            QCOMPARE(r.enabled ? got.join(' ') : r.error, QString(row.expected));
        }
    }

    void status_data() {
        QTest::addColumn<int>("machineType");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("states");   // of ports 1..
        QTest::addColumn<QByteArray>("expected"); // layout, counters, ports
        QTest::newRow("tester")
            << 0 << 0 << QList<int>{1, 3, 4, 5}
            << QByteArray(R"(tester{"failed":2,"passed":1,"working":1}[[1,1,42,"grey"],)"
                          R"([2,3,42,"green"],[3,4,42,"red"],[4,5,42,"orange"]])");
        QTest::newRow("copier")
            << 1 << 4 << QList<int>{4, 6, 7}
            << QByteArray(R"(copier{"failed":1,"passed":1,"working":1}[[2,4,25,"grey"],)"
                          R"([3,6,100,"green"],[4,7,25,"red"]])");
        QTest::newRow("burnin")
            << 0 << 7 << QList<int>{11, 14, 13, 0}
            << QByteArray(R"(burnin{"failed":1,"passed":1,"working":1}[[1,11,42,"white"],)"
                          R"([2,14,100,"green"],[3,13,42,"red"],[4,0,42,"white"]])");
    }
    void status() {
        QFETCH(int, machineType);
        QFETCH(int, mode);
        QFETCH(QList<int>, states);
        SettingRecord s{};
        s.machine_type = machineType;
        s.mode = mode;
        s.port_count = 4;
        StatusBlock b{};
        const auto put = [&b](size_t offset, auto value) {
            memcpy(b.bytes + offset, &value, sizeof(value));
        };
        put(32 + offsetof(CopierJobArea, jobBytes), uint64_t(1000));
        for (int i = 0; i < states.size(); ++i) {
            const uint32_t state = uint32_t(states[i]);
            if (machineType == 1) {
                put(copierPortOffset(i + 1) + offsetof(CopierPortRecord, portStatus), state);
                put(copierPortOffset(i + 1) + offsetof(CopierPortRecord, copiedBytes), 250ull);
            } else if (mode == 7) {
                put(burninPortOffset(i) + offsetof(BurninPortRecord, bnStatus), state);
                put(burninPortOffset(i) + offsetof(BurninPortRecord, bnProgress), 42);
            } else {
                put(testerPortOffset(i + 1) + offsetof(TesterPortRecord, state), state);
                put(testerPortOffset(i + 1) + offsetof(TesterPortRecord, progress), 42.9);
            }
        }
        const QJsonObject o = fleet::statusJson("c1", b, s, true);
        QFETCH(QByteArray, expected);
        const auto json = [](const auto& v) {
            return QJsonDocument(v).toJson(QJsonDocument::Compact);
        };
        QCOMPARE(o["layout"].toString().toUtf8() + json(o["counters"].toObject()) +
                     json(o["ports"].toArray()),
                 expected);
        QCOMPARE(o["engine_version"].toString() + o["panel_version"].toString(),
                 "312504"); // "" for 0
        QCOMPARE(fleet::isoLocalTime(
                     QDateTime(QDate(2026, 12, 7), QTime(1, 2, 3), Qt::OffsetFromUTC, -16200)),
                 "2026-12-07T01:02:03-04:30");
    }

    // The library opened by name: a missing file or function is an error that says which.
    void library() {
        const struct {
            const char* file;
            const char* why; // the end of the error; "" when loaded
        } rows[] = {
            {"libmosquitto.so.1", ""},
            {"libh2-absent.so.1", "cannot open shared object file: No such file or directory"},
            {"libz.so.1", "undefined symbol: mosquitto_lib_init"},
        };
        for (const auto& row : rows) {
            fleet::MosquittoApi api;
            QString error;
            if (fleet::loadMosquittoApi(row.file, &api, &error)) {
                QCOMPARE(QString(row.why), QString());
                QCOMPARE(api.mosquitto_connack_string(5), "Connection Refused: not authorised.");
                continue;
            }
            QVERIFY2(error.startsWith(QString("cannot load %1: ").arg(row.file)),
                     qPrintable(error));
            QVERIFY2(error.endsWith(row.why) && *row.why, qPrintable(error));
        }
        // Off the board a broker off this machine is refused before any socket is made.
        fleet::MqttClient client({"203.0.113.3", 1883, "t", {}, {}, {}, {}, {}});
        QString error;
        QVERIFY(!client.start(&error));
        QCOMPARE(error, "broker 203.0.113.3 refused: only 127.0.0.0/8 here");
    }

    // Marked sent only once the broker acknowledged: a frozen broker takes the bytes and
    // acknowledges nothing.
    void results() {
        LocalBroker broker;
        broker.setUser("fleet", "s3cret");
        QVERIFY(broker.start());
        MemoryJournal journal;
        journal.unsent = {1, 2, 3};
        fleet::Publisher publisher({"127.0.0.1", broker.port(), "cab-1", "fleet", "s3cret", {}},
                                   &journal, [] { return false; });
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(journal.get(journal.sent), (std::set<qint64>{1, 2, 3}), 20000);
        ::kill(pid_t(broker.pid()), SIGSTOP);
        journal.add({4});
        const int fetches = journal.get(journal.fetches);
        QTRY_VERIFY_WITH_TIMEOUT(journal.get(journal.fetches) >= fetches + 3, 20000);
        QVERIFY(!journal.get(journal.sent).count(4));
        ::kill(pid_t(broker.pid()), SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(journal.get(journal.sent).count(4), 20000);
    }

    // The panel with the simulator: a refused password is logged once however often it is
    // retried and the panel runs on; with the right one it is online and publishes its status
    // and the journal's results, marked sent once delivered; the broker stopped and started
    // again loses none; its last will marks the panel offline when it is killed.
    void panel() {
        LocalBroker broker;
        broker.setUser("fleet", "other");
        broker.setUser("viewer", "s3cret");
        QVERIFY(broker.start());
        QTemporaryDir root; // also the working directory
        writeAll(root.path() + "/usr/share/.h2fixconfig", "48 0 3 0\n");
        writeAll(root.path() + "/etc/h2/fleet.ini", "cabinet=l3\nuser=fleet\npassword=s3cret\n");
        writeAll(root.path() + "/.h2config", "mode = 0\n");
        const QString control = QString::number(unusedPort()), data = QString::number(unusedPort());
        const QString port = QString::number(broker.port());
        // A subscriber whose session the broker keeps while either of them is away.
        QProcess panel, sim, sub;
        sub.start("mosquitto_sub",
                  {"-h", "127.0.0.1", "-p", port, "-u", "viewer", "-P", "s3cret", "-i",
                   "results-test", "-c", "-q", "1", "-v", "-t", "h2/l3/results"});
        QTRY_VERIFY_WITH_TIMEOUT(broker.log().contains(" as results-test "), 20000);
        QByteArray log, lines;
        panel.setWorkingDirectory(root.path());
        panel.setProcessChannelMode(QProcess::MergedChannels);
        startPanel(panel, builtProgram("h2"), root.path(),
                   {"--control-port", control, "--data-port", data, "--supervisor-port",
                    QString::number(unusedPort()), "--fleet-broker", "127.0.0.1:" + port});
        startProgram(sim, builtProgram("tools/engine-sim/engine-sim"),
                     {"--control-port", control, "--data-port", data, "--interval", "100"});
        QVERIFY2(!waitForOutput(panel, log, "refused the connection: .*, retrying").isEmpty(), log);
        QTRY_VERIFY_WITH_TIMEOUT(broker.log().count("not authorised") >= 2, 30000);
        QCOMPARE((log + panel.readAll()).count("fleet: "), 1);
        broker.setUser("fleet", "s3cret");
        QTRY_COMPARE_WITH_TIMEOUT(retained(broker.port(), "h2/l3/online"), "true", 60000);
        QByteArray status;
        QTRY_VERIFY_WITH_TIMEOUT(
            (status = retained(broker.port(), "h2/l3/status")).contains("\"connected\":true"),
            20000);
        const QJsonObject s = QJsonDocument::fromJson(status).object();
        QCOMPARE(s["cabinet"].toString() + s["layout"].toString() + s["panel_version"].toString() +
                     QString::number(s["profile"]["ports"].toInt() + s["ports"][47][0].toInt()),
                 "l3tester31250496");
        QVERIFY(s["engine_time"].toDouble() > 1e9 && s["time"].toString().size() == 25);

        // id -> "port verdict layout" and whether sent, as the journal and the subscriber see it.
        const QString file = root.path() + "/home/orangepi/results/results.sqlite";
        const auto received = [&] {
            QMap<qint64, QString> ids;
            lines += sub.readAllStandardOutput();
            for (const QByteArray& line : lines.split('\n')) {
                const QJsonObject m = QJsonDocument::fromJson(line.mid(line.indexOf(' '))).object();
                const QJsonObject r = m["record"].toObject();
                if (r.size() == 36) // every column of the journal
                    ids[qint64(m["id"].toDouble())] =
                        QString("%1 %2 %3 sent")
                            .arg(r["port"].toInt())
                            .arg(r["verdict"].toString(), r["layout"].toString());
            }
            return ids;
        };
        QTRY_VERIFY_WITH_TIMEOUT(received().size() >= 3, 60000);
        broker.stop();
        const qint64 last = journalRows(file).lastKey();
        QTRY_VERIFY_WITH_TIMEOUT(journalRows(file).lastKey() >= last + 3, 60000);
        QVERIFY(broker.start());
        sim.kill(); // no more results: the journal's rows are final
        QTRY_COMPARE_WITH_TIMEOUT(received(), journalRows(file), 60000);

        panel.kill();
        QTRY_COMPARE_WITH_TIMEOUT(retained(broker.port(), "h2/l3/online"), "false", 20000);
        for (QProcess* p : {&panel, &sim, &sub}) {
            p->kill();
            p->waitForFinished();
        }
    }
};

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
