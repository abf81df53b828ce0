// The engine simulator against the panel's real link: it is adopted as the engine, follows
// the work mode of the settings messages, and plays the engine's side of log export and
// upgrade.

#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "link/wire.h"
#include "settings/settings.h"
#include "support/built_program.h"
#include "support/simulator_run.h"
#include "support/temp_root.h"

#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

namespace {

constexpr uint32_t kSimVersion = 0x24061501;

StatusBlock snapshot() {
    StatusBlock block;
    Info.snapshot(block);
    return block;
}

void setMode(int mode, int ports = 48) {
    SettingRecord record = snapshotSetting();
    record.mode = mode;
    record.port_count = ports;
    record.burnin_cycle = 4;
    commitSetting(record);
}

bool inDefaultGrade(uint64_t capacityBytes) {
    const SettingRecord record = snapshotSetting();
    const uint64_t mib = capacityBytes >> 20;
    for (int n = 0; n < 9; ++n) {
        if (mib >= uint32_t(record.capfil_low[n]) && mib <= uint32_t(record.capfil_high[n]))
            return true;
    }
    return false;
}

QSet<uint32_t> testerStates(const StatusBlock& block, int ports) {
    QSet<uint32_t> states;
    for (int p = 1; p <= ports; ++p)
        states << block.testerPort(p).state;
    return states;
}

} // namespace

class TestEngineSim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusesUnsafeOptions_data();
    void refusesUnsafeOptions();
    void testerModesShowEveryKindOfPort_data();
    void testerModesShowEveryKindOfPort();
    void followsWorkMode_data();
    void followsWorkMode();
    void logExport_data();
    void logExport();
    void upgrade_data();
    void upgrade();
    void reconnectsWhenThePanelComesBack();
    void badLengthWordDropsOnlyThatConnection_data();
    void badLengthWordDropsOnlyThatConnection();

private:
    // Waits until the simulator has applied `mode` and sent a block of it.
    bool waitForMode(int mode);
    uint32_t waitForStatus(const QList<uint32_t>& finals, QList<uint32_t>* seen);

    std::unique_ptr<TempRoot> mRoot;
    std::unique_ptr<DataServer> mServer;
    SimulatorRun mSim;
};

void TestEngineSim::initTestCase() {
    QVERIFY2(QFile::exists(SimulatorRun::binary()), qPrintable(SimulatorRun::binary()));
    mRoot = std::make_unique<TempRoot>();
    SettingRecord record{};
    settings::loadDefaults(record);
    commitSetting(record);
}

void TestEngineSim::init() {
    Info.clear();
    firstRecv = 0;
    mSim.clear();
    setMode(0);
    mServer = std::make_unique<DataServer>(LinkEndpoints{"127.0.0.2", 0, 0});
    mServer->init(server_receive_callback, server_connect_callback);
    mDataServer = mServer.get(); // before the link thread can call back
    QCOMPARE(mServer->start(), 0);
}

void TestEngineSim::cleanup() {
    mSim.stop();
    mServer.reset(); // joins the link thread, the only other reader of mDataServer
    mDataServer = nullptr;
}

bool TestEngineSim::waitForMode(int mode) {
    const QString line = QStringLiteral("engine-sim: work mode %1 ").arg(mode);
    QElapsedTimer timer;
    timer.start();
    while (!mSim.output().contains(line) && timer.elapsed() < 5000)
        QTest::qWait(20);
    if (!mSim.output().contains(line))
        return false;
    QTest::qWait(350); // a few blocks of the new work
    return snapshot().header().engineVersion == kSimVersion;
}

uint32_t TestEngineSim::waitForStatus(const QList<uint32_t>& finals, QList<uint32_t>* seen) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 8000) {
        const uint32_t status = Info.engineStatus();
        if (seen->isEmpty() || seen->last() != status)
            seen->append(status);
        if (finals.contains(status))
            return status;
        QTest::qWait(10);
    }
    return 0;
}

void TestEngineSim::refusesUnsafeOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("panel off loopback")
        << QStringList{"--panel-address", "192.168.0.3"} << "not a loopback address";
    QTest::newRow("engine off loopback")
        << QStringList{"--engine-address", "10.0.0.2"} << "not a loopback address";
    QTest::newRow("slower than the silence rule")
        << QStringList{"--interval", "3000"} << "--interval takes a number";
    QTest::newRow("unknown scenario") << QStringList{"--scenario", "party"} << "unknown scenario";
}

void TestEngineSim::refusesUnsafeOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    startProgram(sim, SimulatorRun::binary(), arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY2(QString::fromUtf8(sim.readAll()).contains(message), qPrintable(message));
}

void TestEngineSim::testerModesShowEveryKindOfPort_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<uint32_t>>("required"); // states every block shows
    QTest::addColumn<QList<uint32_t>>("failures"); // at least one of these
    QTest::addColumn<QList<uint32_t>>("allowed");  // nothing else

    const QList<uint32_t> failures{4, 5, 6, 10, 11, 12, 13, 14};
    const QList<uint32_t> test = QList<uint32_t>{0, 1, 2, 3, 9} + failures;
    QTest::newRow("H2 test") << 0 << QList<uint32_t>{0, 1, 2, 3} << failures << test;
    QTest::newRow("H5 test") << 2 << QList<uint32_t>{0, 1, 2, 3} << failures << test;
    QTest::newRow("H2 write") << 8 << QList<uint32_t>{0, 1, 3} << failures << test;
    QTest::newRow("H2 verify") << 9 << QList<uint32_t>{0, 2, 3} << failures << test;
    QTest::newRow("erase") << 10 << QList<uint32_t>{0, 1, 3} << QList<uint32_t>{4}
                           << QList<uint32_t>{0, 1, 3, 4, 9};
    QTest::newRow("protocol analysis") << 11 << QList<uint32_t>{0, 1, 3} << QList<uint32_t>{4, 5}
                                       << QList<uint32_t>{0, 1, 3, 4, 5, 9};
}

void TestEngineSim::testerModesShowEveryKindOfPort() {
    QFETCH(int, mode);
    QFETCH(QList<uint32_t>, required);
    QFETCH(QList<uint32_t>, failures);
    QFETCH(QList<uint32_t>, allowed);

    setMode(mode);
    QVERIFY(mSim.start(*mServer, {"--scenario", "tester"}));
    QVERIFY(waitForMode(mode));
    const StatusBlock block = snapshot();
    const QSet<uint32_t> states = testerStates(block, 48);
    for (uint32_t state : required)
        QVERIFY2(states.contains(state), qPrintable(QString::number(state)));
    QVERIFY(states.intersects(QSet<uint32_t>(failures.begin(), failures.end())));
    for (uint32_t state : states)
        QVERIFY2(allowed.contains(state), qPrintable(QString::number(state)));
    for (int p = 1; p <= 48; ++p) {
        const TesterPortRecord r = block.testerPort(p);
        QCOMPARE(r.connected, r.state == 0 ? 0u : 1u);
        QVERIFY(r.progress >= 0.0 && r.progress <= 100.0);
        if (r.state == 3 && mode != 11)
            QVERIFY2(inDefaultGrade(r.capacityBytes), qPrintable(QString::number(p)));
    }
    for (int p = 49; p <= kTesterPorts; ++p)
        QCOMPARE(block.testerPort(p).state, 0u);
}

void TestEngineSim::followsWorkMode_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("mode");
    QTest::newRow("format") << "tester" << 1;
    QTest::newRow("copy and compare") << "tester" << 3;
    QTest::newRow("copy only") << "format" << 4;
    QTest::newRow("compare only") << "burnin" << 12;
    QTest::newRow("burn-in") << "copier" << 7;
}

void TestEngineSim::followsWorkMode() {
    QFETCH(QString, scenario);
    QFETCH(int, mode);

    QVERIFY(mSim.start(*mServer, {"--scenario", scenario}));
    QVERIFY(waitForMode(0));
    // A settings message while the engine runs switches its work.
    setMode(mode, 24);
    QCOMPARE(sendSetting(), 0);
    QVERIFY(waitForMode(mode));
    const StatusBlock block = snapshot();
    switch (mode) {
    case 1: {
        const QSet<uint32_t> states = testerStates(block, 24);
        QVERIFY(states.contains(1) && states.contains(3));
        for (uint32_t s : states)
            QVERIFY(QList<uint32_t>({0, 1, 3, 4, 5, 9}).contains(s));
        for (int p = 1; p <= 24; ++p) {
            if (block.testerPort(p).state == 3)
                QVERIFY(block.testerPort(p).fsType >= 2 && block.testerPort(p).clusterFactorA > 0);
        }
        break;
    }
    case 3:
    case 4:
    case 12: {
        const CopierJobArea job = block.copierJob();
        QVERIFY(job.jobBytes > 0);
        QCOMPARE(job.twoPass, mode == 3 ? 1u : 0u);
        QCOMPARE(block.copierPort(0).connectState, 1u);
        int present = 0;
        for (int p = 1; p < 24; ++p)
            present += block.copierPort(p).connectState == 1 ? 1 : 0;
        QVERIFY(present > 12 && present < 23);
        QCOMPARE(block.copierPort(24).connectState, 0u);
        break;
    }
    case 7: {
        QSet<uint32_t> statuses;
        for (int i = 0; i < 24; ++i) {
            const BurninPortRecord r = block.burninPort(i);
            statuses << r.bnStatus;
            QCOMPARE(r.busy, (r.bnStatus == 11 || r.bnStatus == 12) ? 1u : 0u);
        }
        QVERIFY(statuses.contains(11) && statuses.contains(12));
        QVERIFY(statuses.contains(14) || statuses.contains(17));
        QVERIFY(statuses.contains(13) || statuses.contains(15));
        break;
    }
    }
}

void TestEngineSim::logExport_data() {
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<uint32_t>("result");
    QTest::newRow("succeeds") << QStringList{} << 110u;
    QTest::newRow("fails on request") << QStringList{"--export-fail"} << 111u;
}

void TestEngineSim::logExport() {
    QFETCH(QStringList, extra);
    QFETCH(uint32_t, result);
    QVERIFY(mSim.start(*mServer, extra));
    QVERIFY(waitForMode(0));
    QCOMPARE(sendExportLogCmd(), 0);
    QList<uint32_t> seen;
    QCOMPARE(waitForStatus({110, 111}, &seen), result);
    seen.removeAll(0);
    QList<uint32_t> expected;
    for (uint32_t s = 100; s <= 109; ++s)
        expected << s;
    expected << result;
    QCOMPARE(seen, expected);
    QTRY_VERIFY(mSim.output().contains("received command 12 (export log)"));
}

void TestEngineSim::upgrade_data() {
    QTest::addColumn<QList<int>>("payloads");
    QTest::addColumn<QList<int>>("offsetErrors"); // added to each message's offset
    QTest::addColumn<int>("totalError");          // added to the total of the last message
    QTest::addColumn<uint32_t>("status");

    QTest::newRow("three pieces") << QList<int>{1048576, 1048576, 402848} << QList<int>{0, 0, 0}
                                  << 0 << 3u;
    QTest::newRow("one small piece") << QList<int>{1000} << QList<int>{0} << 0 << 3u;
    QTest::newRow("a piece missing")
        << QList<int>{1000, 1000, 1000} << QList<int>{0, 1000, 1000} << 0 << 4u;
    QTest::newRow("total changes") << QList<int>{1000, 1000} << QList<int>{0, 0} << 1 << 4u;
}

void TestEngineSim::upgrade() {
    QFETCH(QList<int>, payloads);
    QFETCH(QList<int>, offsetErrors);
    QFETCH(int, totalError);
    QFETCH(uint32_t, status);

    QVERIFY(mSim.start(*mServer));
    QVERIFY(waitForMode(0));
    QTRY_VERIFY(mServer->dataSend(1, "", 0) == 0); // the data connection is there
    QCOMPARE(sendCmd(wire::kCmdUpgrade), 8);

    int total = 0;
    for (int size : payloads)
        total += size;
    std::vector<unsigned char> buffer(sizeof(wire::UpgradeDataHeader) + wire::kMaxUpgradePayload);
    int offset = 0;
    for (int i = 0; i < payloads.size(); ++i) {
        const int size = payloads[i];
        const bool last = i == payloads.size() - 1;
        const wire::UpgradeDataHeader header =
            wire::upgradeDataHeader(uint32_t(size), uint32_t(total + (last ? totalError : 0)),
                                    uint32_t(offset + offsetErrors[i]));
        memcpy(buffer.data(), &header, sizeof(header));
        for (int b = 0; b < size; ++b)
            buffer[sizeof(header) + size_t(b)] = static_cast<unsigned char>((offset + b) * 7);
        const int length = int(sizeof(header)) + size;
        QCOMPARE(mServer->dataSend(1, buffer.data(), length), length);
        offset += size;
    }
    QList<uint32_t> seen;
    QCOMPARE(waitForStatus({3, 4}, &seen), status);
    // The console line may trail the block that carries the status.
    if (status == 3)
        QTRY_VERIFY(
            mSim.output().contains(QStringLiteral("upgrade complete: %1 bytes").arg(total)));
    else
        QTRY_VERIFY(mSim.output().contains("upgrade refused"));
}

void TestEngineSim::reconnectsWhenThePanelComesBack() {
    const LinkEndpoints endpoints{"127.0.0.2", mServer->thread()->controlPort(),
                                  mServer->thread()->dataPort()};
    QVERIFY(mSim.start(*mServer));
    QVERIFY(waitForMode(0));
    mServer.reset(); // the panel goes away
    mDataServer = nullptr;
    Info.clear();
    QTest::qWait(500);
    mServer = std::make_unique<DataServer>(endpoints);
    mServer->init(server_receive_callback, server_connect_callback);
    mDataServer = mServer.get(); // before the link thread can call back
    QCOMPARE(mServer->start(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Info.read<uint32_t>(offsetof(StatusHeader, engineVersion)),
                              kSimVersion, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(mServer->dataSend(1, "", 0), 0, 5000);
}

void TestEngineSim::badLengthWordDropsOnlyThatConnection_data() {
    QTest::addColumn<bool>("control");
    QTest::newRow("control") << true;
    QTest::newRow("data") << false;
}

// A length word below the smallest message drops the connection it came on; the simulator
// says so and connects again, while the other connection stays.
void TestEngineSim::badLengthWordDropsOnlyThatConnection() {
    QFETCH(bool, control);
    QTcpServer controlPanel, dataPanel;
    QVERIFY(controlPanel.listen(QHostAddress::LocalHost, 0));
    QVERIFY(dataPanel.listen(QHostAddress::LocalHost, 0));
    QVERIFY(mSim.start(controlPanel.serverPort(), dataPanel.serverPort()));
    QVERIFY(controlPanel.waitForNewConnection(5000));
    QVERIFY(dataPanel.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> controlLink(controlPanel.nextPendingConnection());
    std::unique_ptr<QTcpSocket> dataLink(dataPanel.nextPendingConnection());
    QTcpSocket& bad = control ? *controlLink : *dataLink;
    QTcpSocket& other = control ? *dataLink : *controlLink;

    bad.write(QByteArray("\x01\x00\x00\x00", 4));
    QVERIFY(bad.waitForBytesWritten(2000));
    const QString line = QStringLiteral("%1: bad length word, dropping the connection")
                             .arg(control ? "control" : "data");
    QTRY_VERIFY_WITH_TIMEOUT(mSim.output().contains(line), 5000);
    QVERIFY(bad.state() == QAbstractSocket::UnconnectedState || bad.waitForDisconnected(3000));
    QTcpServer& panel = control ? controlPanel : dataPanel;
    QVERIFY(panel.waitForNewConnection(5000));
    QCOMPARE(other.state(), QAbstractSocket::ConnectedState);
    QVERIFY(!mSim.output().contains(control ? "data: bad length" : "control: bad length"));
}

QTEST_GUILESS_MAIN(TestEngineSim)
#include "tst_engine_sim.moc"
