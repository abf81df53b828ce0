// The messages between panel and engine: the settings message on connect, the command
// messages, status blocks into Info and the clock, the power notices of SIGUSR1/SIGUSR2.

#include "base/globals.h"
#include "base/user_signals.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "platform/desktop_platform.h"
#include "settings/settings.h"
#include "support/loopback_peer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QPointer>
#include <QWidget>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <memory>

using h2test::LoopbackPeer;
using h2test::words;

namespace {

bool logged(const StdoutCapture& log, const QString& line) {
    return QString::fromUtf8(log.text()).contains(line);
}

const char* const kEngine = "127.0.0.2";

QByteArray blockAt(uint32_t engineTime, uint32_t version, char fill) {
    QByteArray block(kStatusBlockSize, fill);
    const uint32_t header[4] = {uint32_t(kStatusBlockSize), 0, version, engineTime};
    memcpy(block.data(), header, sizeof(header));
    return block;
}

QByteArray infoBytes() {
    StatusBlock block;
    Info.snapshot(block);
    return QByteArray(reinterpret_cast<const char*>(block.bytes), kStatusBlockSize);
}

// A region of Info: [from, to) filled with `fill`.
struct Region {
    int from;
    int to;
    char fill;
};

} // namespace

Q_DECLARE_METATYPE(Region)

class TestEngineMessages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void settingsMessageOnConnect();
    void startDialogClosedWhenBoardConnects();
    void sendSettingWithoutBoard();
    void receiveIntoInfo_data();
    void receiveIntoInfo();
    void clockSetOnceFromFirstBlock_data();
    void clockSetOnceFromFirstBlock();
    void commands_data();
    void commands();
    void commandsWithoutBoard();
    void userSignalsSendPowerNotices();
    void blockInPiecesLandsInInfo();

private:
    bool connectEngine(LoopbackPeer& peer);

    TempRoot mRoot;
    std::unique_ptr<DataServer> mServer;
};

void TestEngineMessages::initTestCase() {
    SettingRecord record{};
    settings::loadDefaults(record);
    commitSetting(record);
}

void TestEngineMessages::init() {
    Info.clear();
    mServer = std::make_unique<DataServer>(LinkEndpoints{kEngine, 0, 0});
    mServer->init(server_receive_callback, server_connect_callback);
    mDataServer = mServer.get(); // before the link thread can call back
    QCOMPARE(mServer->start(), 0);
}

void TestEngineMessages::cleanup() {
    mServer.reset(); // joins the link thread, the only other reader of mDataServer
    mDataServer = nullptr;
    delete startDialog;
    startDialog = nullptr;
}

bool TestEngineMessages::connectEngine(LoopbackPeer& peer) {
    return peer.connectTo(kEngine, mServer->thread()->controlPort()) &&
           peer.readExact(kSettingMessageSize, 2000).size() == int(kSettingMessageSize);
}

void TestEngineMessages::settingsMessageOnConnect() {
    SettingRecord record = snapshotSetting();
    record.length = 0;
    record.command = 0;
    record.mode = 9;
    record.port_count = 48;
    record.COPYTIMECOUNT = 0x01020304;
    record.MASTERCLEAR = 77; // behind the message: never sent
    commitSetting(record);
    alreadySendSetting = 0;

    LoopbackPeer peer;
    QVERIFY(peer.connectTo(kEngine, mServer->thread()->controlPort()));
    const QByteArray got = peer.readExact(kSettingMessageSize + 1, 1000);

    record.length = 124;
    record.command = 2;
    QCOMPARE(got, QByteArray(reinterpret_cast<const char*>(&record), kSettingMessageSize));
    QCOMPARE(alreadySendSetting.load(), 1);
    const SettingRecord after = snapshotSetting();
    QCOMPARE(after.length, 124);
    QCOMPARE(after.command, 2);
}

void TestEngineMessages::startDialogClosedWhenBoardConnects() {
    startDialog = new QWidget;
    startDialog->show();
    QPointer<QWidget> dialog(startDialog);
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(startDialog == nullptr);
}

void TestEngineMessages::sendSettingWithoutBoard() {
    StdoutCapture log;
    SettingRecord record = snapshotSetting();
    record.length = 0;
    record.command = 0;
    commitSetting(record);
    startDialog = new QWidget;
    QPointer<QWidget> dialog(startDialog);
    alreadySendSetting = 0;

    QCOMPARE(sendSetting(), 0);
    QVERIFY(dialog.isNull()); // on the GUI thread it goes at once
    QCOMPARE(alreadySendSetting.load(), 1);
    QCOMPARE(snapshotSetting().length, 124);
    QCOMPARE(snapshotSetting().command, 2);
    QVERIFY(logged(log, QStringLiteral("h2  send setting -1")));
    QVERIFY(logged(log, QStringLiteral("send to 1 fail")));

    mDataServer = nullptr;
    QCOMPARE(server_connect_callback(1), -1);
}

void TestEngineMessages::receiveIntoInfo_data() {
    QTest::addColumn<QList<QByteArray>>("deliveries");
    QTest::addColumn<QList<Region>>("expected");
    QTest::addColumn<int>("superseded");

    const int n = kStatusBlockSize;
    auto whole = [](char fill) { return blockAt(0, 0, fill); }; // header words 16488, 0, 0, 0
    QTest::newRow("whole block") << QList<QByteArray>{whole(1)} << QList<Region>{{16, n, 1}} << 0;
    QTest::newRow("two blocks in one read: the newer one")
        << QList<QByteArray>{whole(5) + whole(6)} << QList<Region>{{16, n, 6}} << 1;
    QTest::newRow("export result is no block") << QList<QByteArray>{whole(4), words({8, 110})}
                                               << QList<Region>{{4, 16, 0}, {16, n, 4}} << 0;
    QTest::newRow("message before a block")
        << QList<QByteArray>{words({8, 3}) + whole(7)} << QList<Region>{{16, n, 7}} << 0;
    QTest::newRow("bad length behind a block")
        << QList<QByteArray>{whole(2) + words({0xFFFF, 1})} << QList<Region>{{16, n, 2}} << 0;
    QTest::newRow("no length word at all")
        << QList<QByteArray>{QByteArray(100, 2)} << QList<Region>{{0, n, 0}} << 0;
}

void TestEngineMessages::receiveIntoInfo() {
    QFETCH(QList<QByteArray>, deliveries);
    QFETCH(QList<Region>, expected);
    QFETCH(int, superseded);

    StdoutCapture log;
    firstRecv = 0;
    const uint64_t dropped = statusBlocksDropped;
    for (QByteArray d : deliveries)
        QCOMPARE(server_receive_callback(d.data(), d.size(), 1), 0);

    const QByteArray info = infoBytes();
    for (const Region& r : expected)
        QCOMPARE(info.mid(r.from, r.to - r.from), QByteArray(r.to - r.from, r.fill));
    QCOMPARE(int(statusBlocksDropped - dropped), superseded);
    if (superseded)
        QVERIFY(logged(log, QStringLiteral("Error get 32976 should 16488")));
}

void TestEngineMessages::clockSetOnceFromFirstBlock_data() {
    QTest::addColumn<QList<QByteArray>>("deliveries");
    QTest::addColumn<qint64>("clock"); // -1: not set

    const QByteArray plausible = blockAt(1700000000u, 0, 0);
    QTest::newRow("first block, once")
        << QList<QByteArray>{plausible, blockAt(1800000000u, 0, 0)} << qint64(1700000000);
    QTest::newRow("command message first")
        << QList<QByteArray>{words({8, 110}), plausible} << qint64(1700000000);
    QTest::newRow("time 0 waits for a plausible block")
        << QList<QByteArray>{blockAt(0, 0, 0), plausible} << qint64(1700000000);
    QTest::newRow("2020-01-01") << QList<QByteArray>{blockAt(1577836800u, 0, 0)}
                                << qint64(1577836800);
    QTest::newRow("before 2020") << QList<QByteArray>{blockAt(1577836799u, 0, 0)} << qint64(-1);
    QTest::newRow("all ones") << QList<QByteArray>{blockAt(0xFFFFFFFFu, 0, 0)} << qint64(-1);
}

void TestEngineMessages::clockSetOnceFromFirstBlock() {
    QFETCH(QList<QByteArray>, deliveries);
    QFETCH(qint64, clock);

    StdoutCapture log;
    firstRecv = 1;
    const size_t before = mRoot.platform().clockRequests().size();
    for (QByteArray d : deliveries)
        server_receive_callback(d.data(), d.size(), 1);

    const std::vector<time_t> requests = mRoot.platform().clockRequests();
    QCOMPARE(requests.size(), before + (clock < 0 ? 0 : 1));
    QCOMPARE(firstRecv.load(), clock < 0 ? 1 : 0);
    if (clock < 0)
        return;
    QCOMPARE(qint64(requests.back()), clock);
    QVERIFY(logged(log, QStringLiteral("time %1 change to ").arg(clock)));
    QVERIFY(logged(log, QStringLiteral(" 0x%1").arg(clock, 0, 16)));
}

enum class Sender { Cmd, CmdWithPara, ExportLog, MasterClear };
Q_DECLARE_METATYPE(Sender)

void TestEngineMessages::commands_data() {
    QTest::addColumn<Sender>("sender");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("parameter");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("power off") << Sender::Cmd << 9 << 0 << 8 << words({8, 9});
    QTest::newRow("power on") << Sender::Cmd << 10 << 0 << 8 << words({8, 10});
    QTest::newRow("low speed on port 5")
        << Sender::CmdWithPara << 11 << 5 << 12 << words({12, 11, 5});
    QTest::newRow("export log") << Sender::ExportLog << 0 << 0 << 0 << words({8, 12});
    QTest::newRow("master clear") << Sender::MasterClear << 0 << 0 << 0 << words({8, 13});
}

void TestEngineMessages::commands() {
    QFETCH(Sender, sender);
    QFETCH(int, command);
    QFETCH(int, parameter);
    QFETCH(int, result);
    QFETCH(QByteArray, wire);

    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    int ret = -100;
    switch (sender) {
    case Sender::Cmd:
        ret = sendCmd(command);
        break;
    case Sender::CmdWithPara:
        ret = sendCmdWithPara(command, parameter);
        break;
    case Sender::ExportLog:
        ret = sendExportLogCmd();
        break;
    case Sender::MasterClear:
        ret = sendMasterClearCmd();
        break;
    }
    QCOMPARE(ret, result);
    QCOMPARE(peer.readExact(size_t(wire.size()) + 1, 500), wire);
}

void TestEngineMessages::commandsWithoutBoard() {
    StdoutCapture log;
    QCOMPARE(sendCmd(9), -1);
    QCOMPARE(sendCmdWithPara(11, 3), -1);
    QCOMPARE(sendExportLogCmd(), -1);
    mDataServer = nullptr;
    QCOMPARE(sendCmd(10), -1);
    const QString text = QString::fromUtf8(log.text());
    QVERIFY(text.contains(QStringLiteral("client 1 no socket")));
    QVERIFY(text.contains(QStringLiteral("error to send cmd 9 to 1")));
    QVERIFY(text.contains(QStringLiteral("error to send cmd 10 to 1")));
    QVERIFY(text.contains(QStringLiteral("error to send upgrade cmd 1")));
    QVERIFY(text.contains(QStringLiteral("error to send Export CMD cmd 1")));
}

void TestEngineMessages::userSignalsSendPowerNotices() {
    UserSignalRelay relay;
    QVERIFY(relay.install());
    UserSignalRelay::setAction(sendPowerNotice);
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));

    raise(SIGUSR1);
    QByteArray got;
    QTRY_VERIFY((got += peer.readExact(8, 10)).size() >= 8);
    QCOMPARE(got, words({8, 10}));
    raise(SIGUSR2);
    got.clear();
    QTRY_VERIFY((got += peer.readExact(8, 10)).size() >= 8);
    QCOMPARE(got, words({8, 9}));
    UserSignalRelay::setAction(nullptr);
}

void TestEngineMessages::blockInPiecesLandsInInfo() {
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    const QByteArray block = blockAt(1700000000u, 0x312504, 'k');
    for (int at = 0; at < block.size(); at += 5000) {
        QVERIFY(peer.sendAll(block.mid(at, 5000)));
        QTest::qWait(10);
    }
    QTRY_COMPARE(Info.read<uint32_t>(offsetof(StatusHeader, engineVersion)), 0x312504u);
    QCOMPARE(infoBytes(), block);
}

QTEST_MAIN(TestEngineMessages)
#include "tst_engine_messages.moc"
