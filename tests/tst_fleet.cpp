// The fleet publisher against a real mosquitto on loopback: its settings, its status payload,
// results delivered once acknowledged, and the panel's online flag with its last will.

#include "fleet/fleet_config.h"
#include "fleet/fleet_status.h"
#include "fleet/publisher.h"
#include "results/result_source.h"
#include "support/built_program.h"
#include "support/temp_root.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTest>
#include <map>
#include <mosquitto.h>
#include <mutex>
#include <signal.h>

namespace {
const char* const kUser = "fleet";
const char* const kPassword = "s3cret";

// A broker of the test's own on 127.0.0.1 with a password file. Its persistence keeps the
// subscriber's session across a restart, so nothing published meanwhile misses it.
class Broker {
public:
    bool start() {
        if (!mPort) {
            mPort = unusedPort();
            QProcess::execute("mosquitto_passwd",
                              {"-b", "-c", mDir.filePath("passwd"), kUser, kPassword});
            writeAll(mDir.filePath("conf"),
                     QString("listener %1 127.0.0.1\nallow_anonymous false\n"
                             "password_file %2\nuser root\npersistence true\n"
                             "persistence_location %3/\nlog_dest file %3/log\n")
                         .arg(mPort)
                         .arg(mDir.filePath("passwd"), mDir.path())
                         .toUtf8());
        }
        mProcess.setProcessChannelMode(QProcess::MergedChannels);
        mProcess.start("mosquitto", {"-c", mDir.filePath("conf")});
        for (int i = 0; i < 200 && mProcess.state() != QProcess::NotRunning; ++i) {
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", mPort);
            if (probe.waitForConnected(100))
                return true;
            QTest::qWait(50);
        }
        return false;
    }
    void stop() {
        mProcess.terminate();
        mProcess.waitForFinished(10000);
    }
    void signal(int sig) { ::kill(pid_t(mProcess.processId()), sig); }
    int port() const { return mPort; }
    QByteArray log() { return readAll(mDir.filePath("log")); }
    ~Broker() { stop(); }

private:
    QTemporaryDir mDir;
    QProcess mProcess;
    int mPort = 0;
};

// Everything under h2/# as it arrives, on a persistent session.
class Subscriber {
public:
    explicit Subscriber(int port) {
        mosquitto_lib_init();
        mMosq = mosquitto_new("fleet-test-viewer", false, this);
        mosquitto_username_pw_set(mMosq, kUser, kPassword);
        mosquitto_reconnect_delay_set(mMosq, 1, 1, false);
        mosquitto_connect_callback_set(mMosq, [](mosquitto* m, void*, int rc) {
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, "h2/#", 1);
        });
        mosquitto_message_callback_set(mMosq, [](mosquitto*, void* self,
                                                 const mosquitto_message* m) {
            auto* s = static_cast<Subscriber*>(self);
            std::lock_guard<std::mutex> lock(s->mMutex);
            s->mLast[m->topic] = QByteArray(static_cast<const char*>(m->payload), m->payloadlen);
            if (QByteArray(m->topic).endsWith("/results"))
                s->mIds.insert(QJsonDocument::fromJson(s->mLast[m->topic])["id"].toInt());
        });
        mosquitto_connect_async(mMosq, "127.0.0.1", port, 30);
        mosquitto_loop_start(mMosq);
    }
    ~Subscriber() {
        mosquitto_disconnect(mMosq);
        mosquitto_loop_stop(mMosq, false);
        mosquitto_destroy(mMosq);
    }
    QByteArray last(const QByteArray& topic) {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLast[topic];
    }
    QSet<qint64> ids() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mIds;
    }

private:
    mosquitto* mMosq;
    std::mutex mMutex;
    std::map<QByteArray, QByteArray> mLast;
    QSet<qint64> mIds;
};

// Test double of the journal: unsent records in memory, handed out on the caller's thread.
class MemoryJournal : public results::ResultSource {
public:
    void add(qint64 id) {
        std::lock_guard<std::mutex> lock(mMutex);
        mUnsent[id] = QJsonObject{{"port", int(id)}, {"verdict", "pass"}};
    }
    void fetchUnsent(int limit, QObject* context,
                     std::function<void(std::vector<results::StoredResult>)> done) override {
        std::vector<results::StoredResult> out;
        std::lock_guard<std::mutex> lock(mMutex);
        ++mFetches;
        for (auto it = mUnsent.begin(); it != mUnsent.end() && int(out.size()) < limit; ++it)
            out.push_back({it.key(), it.value()});
        QMetaObject::invokeMethod(
            context, [done, out] { done(out); }, Qt::QueuedConnection);
    }
    void markSent(std::vector<qint64> ids) override {
        std::lock_guard<std::mutex> lock(mMutex);
        for (qint64 id : ids) {
            mSent.insert(id);
            mUnsent.remove(id);
        }
    }
    void setKeepUnsent(bool) override {}
    QSet<qint64> sent() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mSent;
    }
    int fetches() {
        std::lock_guard<std::mutex> lock(mMutex);
        return mFetches;
    }

private:
    std::mutex mMutex;
    QMap<qint64, QJsonObject> mUnsent;
    QSet<qint64> mSent;
    int mFetches = 0;
};

void put(StatusBlock& block, size_t offset, const void* data, size_t size) {
    memcpy(block.bytes + offset, data, size);
}
// The status of the 48-port tester with the simulator, as the viewer received it.
void checkPublished(Subscriber& viewer) {
    QTRY_COMPARE_WITH_TIMEOUT(viewer.last("h2/line3-a/online"), QByteArray("true"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(viewer.last("h2/line3-a/status").contains("\"connected\":true"),
                             20000);
    const QJsonObject s = QJsonDocument::fromJson(viewer.last("h2/line3-a/status")).object();
    QCOMPARE(s["cabinet"].toString() + s["layout"].toString() + s["panel_version"].toString(),
             "line3-atester312504");
    QCOMPARE(s["profile"].toObject()["ports"].toInt(), 48);
    QCOMPARE(s["ports"].toArray().size(), 48);
    QCOMPARE(s["ports"].toArray()[47].toArray()[0].toInt(), 48);
    QVERIFY(s["engine_time"].toDouble() > 1e9 && !s["engine_version"].toString().isEmpty());
    QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$")
                .match(s["time"].toString())
                .hasMatch());
    QVERIFY(s["counters"].toObject().contains("working") &&
            s["totals"].toObject().contains("worked"));
}
} // namespace

class TestFleet : public QObject {
    Q_OBJECT
private slots:
    void config_data() {
        QTest::addColumn<QByteArray>("ini"); // "-": no file; "/": a directory in its place
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected"); // host port cabinet user, or the error
        QTest::newRow("host only") << QByteArray("host = 10.1.2.3\n") << ""
                                   << "10.1.2.3 1883 vm ";
        QTest::newRow("all") << QByteArray("host=b.lan\nport=8883\ncabinet=line3-a\nuser=u\n"
                                           "password=a,b\nca_file=/ca.pem\n")
                             << ""
                             << "b.lan 8883 line3-a u";
        QTest::newRow("option over file")
            << QByteArray("host=b\nport=1884\ncabinet=c\n") << "127.0.0.1:1999"
            << "127.0.0.1 1999 c ";
        QTest::newRow("option alone") << QByteArray("-") << "127.0.0.1"
                                      << "127.0.0.1 1883 vm ";
        QTest::newRow("v6 option") << QByteArray("-") << "[::1]:2000"
                                   << "::1 2000 vm ";
        QTest::newRow("nothing") << QByteArray("-") << ""
                                 << "off";
        QTest::newRow("no host") << QByteArray("port=1884\n") << ""
                                 << "no host";
        QTest::newRow("bad port") << QByteArray("host=b\nport=70000\n") << ""
                                  << "bad port \"70000\"";
        QTest::newRow("port text") << QByteArray("host=b\nport=x\n") << ""
                                   << "bad port \"x\"";
        QTest::newRow("wildcard cabinet") << QByteArray("host=b\ncabinet=a/#\n") << ""
                                          << "bad cabinet name \"a/#\"";
        QTest::newRow("unreadable") << QByteArray("/") << ""
                                    << "cannot read the file";
        QTest::newRow("bad option") << QByteArray("-") << "h:99999"
                                    << "bad broker \"h:99999\"";
    }
    void config() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, option);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath("fleet.ini");
        if (ini == "/")
            QDir().mkpath(file);
        else if (ini != "-")
            writeAll(file, ini);
        const fleet::ConfigResult r = fleet::readConfig(file, option, "vm");
        const fleet::BrokerConfig& c = r.config;
        QCOMPARE(r.enabled ? QString("%1 %2 %3 %4").arg(c.host).arg(c.port).arg(c.cabinet, c.user)
                 : r.error.isEmpty() ? QString("off")
                                     : r.error,
                 expected);
        if (ini.contains("password"))
            QCOMPARE(c.password + " " + c.caFile, QString("a,b /ca.pem"));
    }

    void status_data() {
        QTest::addColumn<int>("machineType");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<QByteArray>("expected"); // layout, counters, ports
        QTest::newRow("tester") << 0 << 0 << QList<int>{1, 3, 4, 5}
                                << QByteArray("tester {\"failed\":2,\"passed\":1,\"working\":1} "
                                              "[[1,1,42,\"grey\"],[2,3,42,\"green\"],"
                                              "[3,4,42,\"red\"],[4,5,42,\"orange\"]]");
        QTest::newRow("copier") << 1 << 4 << QList<int>{4, 6, 7}
                                << QByteArray("copier {\"failed\":1,\"passed\":1,\"working\":1} "
                                              "[[2,4,25,\"grey\"],[3,6,100,\"green\"],"
                                              "[4,7,25,\"red\"]]");
        QTest::newRow("burnin") << 0 << 7 << QList<int>{11, 14, 13, 0}
                                << QByteArray("burnin {\"failed\":1,\"passed\":1,\"working\":1} "
                                              "[[1,11,42,\"white\"],[2,14,100,\"green\"],"
                                              "[3,13,42,\"red\"],[4,0,42,\"white\"]]");
    }
    void status() {
        QFETCH(int, machineType);
        QFETCH(int, mode);
        QFETCH(QList<int>, states);
        QFETCH(QByteArray, expected);
        SettingRecord s{};
        s.machine_type = machineType;
        s.mode = mode;
        s.port_count = 4;
        StatusBlock block{};
        const CopierJobArea job{0, 0, 1000, 0, 0};
        put(block, 32, &job, sizeof(job));
        for (int i = 0; i < states.size(); ++i) {
            TesterPortRecord t{};
            t.state = uint32_t(states[i]);
            t.progress = 42.9;
            CopierPortRecord c{};
            c.connectState = 1;
            c.portStatus = uint32_t(states[i]);
            c.copiedBytes = 250;
            BurninPortRecord b{};
            b.bnStatus = uint32_t(states[i]);
            b.bnProgress = 42;
            if (machineType == 1)
                put(block, copierPortOffset(i + 1), &c, sizeof(c));
            else if (mode == 7)
                put(block, burninPortOffset(i), &b, sizeof(b));
            else
                put(block, testerPortOffset(i + 1), &t, sizeof(t));
        }
        const QJsonObject o = fleet::statusJson("c1", block, s, true);
        QCOMPARE(o["layout"].toString().toUtf8() + " " +
                     QJsonDocument(o["counters"].toObject()).toJson(QJsonDocument::Compact) + " " +
                     QJsonDocument(o["ports"].toArray()).toJson(QJsonDocument::Compact),
                 expected);
        QCOMPARE(o["engine_version"].toString() + o["panel_version"].toString(), "312504");
    }

    void localTime() {
        const QDate day(2026, 12, 7);
        QCOMPARE(fleet::isoLocalTime(QDateTime(day, QTime(10, 0), Qt::OffsetFromUTC, 28800)),
                 "2026-12-07T10:00:00+08:00");
        QCOMPARE(fleet::isoLocalTime(QDateTime(day, QTime(1, 2, 3), Qt::OffsetFromUTC, -16200)),
                 "2026-12-07T01:02:03-04:30");
        QCOMPARE(fleet::isoLocalTime(QDateTime(day, QTime(0, 0), Qt::UTC)),
                 "2026-12-07T00:00:00+00:00");
    }

    // Marked sent only once the broker acknowledged; a broker that is frozen or restarted
    // loses nothing.
    void results() {
        Broker broker;
        QVERIFY(broker.start());
        Subscriber viewer(broker.port());
        MemoryJournal journal;
        for (qint64 id : {1, 2, 3})
            journal.add(id);
        fleet::Publisher publisher({"127.0.0.1", broker.port(), "cab-1", kUser, kPassword, {}},
                                   &journal, [] { return false; });
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(journal.sent(), (QSet<qint64>{1, 2, 3}), 20000);

        broker.signal(SIGSTOP); // takes the bytes, acknowledges nothing
        journal.add(4);
        const int fetches = journal.fetches();
        QTRY_VERIFY_WITH_TIMEOUT(journal.fetches() >= fetches + 3, 20000);
        QVERIFY(!journal.sent().contains(4));
        broker.signal(SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(journal.sent().contains(4), 20000);

        broker.stop();
        journal.add(5);
        journal.add(6);
        QVERIFY(broker.start());
        QTRY_COMPARE_WITH_TIMEOUT(journal.sent(), (QSet<qint64>{1, 2, 3, 4, 5, 6}), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(viewer.ids(), (QSet<qint64>{1, 2, 3, 4, 5, 6}), 20000);
    }

    // The panel with the simulator: online, its status, and the last will when it is killed;
    // with a wrong password it logs the refusal once and runs on.
    void panel_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("accepted") << kPassword;
        QTest::newRow("refused") << "wrong";
    }
    void panel() {
        QFETCH(QString, password);
        Broker broker;
        QVERIFY(broker.start());
        Subscriber viewer(broker.port());
        QTemporaryDir root, work;
        writeAll(root.path() + "/usr/share/.h2fixconfig", "48 0 3 0\n");
        writeAll(root.path() + "/etc/h2/fleet.ini",
                 "cabinet = line3-a\nuser = fleet\npassword = " + password.toUtf8() + "\n");
        writeAll(work.path() + "/.h2config", "mode = 0\n");
        const QString control = QString::number(unusedPort()), data = QString::number(unusedPort());
        QProcess panel, sim;
        QByteArray log;
        panel.setWorkingDirectory(work.path());
        panel.setProcessChannelMode(QProcess::MergedChannels);
        startPanel(panel, builtProgram("h2"), root.path(),
                   {"--control-port", control, "--data-port", data, "--supervisor-port",
                    QString::number(unusedPort()), "--fleet-broker",
                    QString("127.0.0.1:%1").arg(broker.port())});
        QVERIFY2(!waitForOutput(panel, log, "DataThread::start").isEmpty(), log);
        startProgram(sim, builtProgram("tools/engine-sim/engine-sim"),
                     {"--control-port", control, "--data-port", data, "--interval", "100"});
        if (password != kPassword) {
            QVERIFY2(!waitForOutput(panel, log, "refused the connection: .*, retrying").isEmpty(),
                     log);
            QTRY_VERIFY_WITH_TIMEOUT(broker.log().count("not authorised") >= 3, 30000);
            log += panel.readAll();
            QCOMPARE(log.count("fleet: "), 1);
            QCOMPARE(panel.state(), QProcess::Running);
            QCOMPARE(viewer.last("h2/line3-a/online"), QByteArray());
        } else {
            checkPublished(viewer);
            panel.kill();
            QTRY_COMPARE_WITH_TIMEOUT(viewer.last("h2/line3-a/online"), QByteArray("false"), 20000);
        }
        panel.kill();
        sim.kill();
        panel.waitForFinished();
        sim.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
