// The engine link over loopback: the server's adoption of the engine address, framing by the
// length word and its time bounds, and the messages that cross it: the settings message,
// commands and power notices, status blocks into Info and the clock.

#include "base/globals.h"
#include "base/user_signals.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/loopback_peer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QPointer>
#include <QWidget>
#include <QtTest>
#include <csignal>
#include <thread>

using h2test::LoopbackPeer;
using h2test::message;
using h2test::words;
// clang-format off
// A sender, what it returns and what the board gets (empty: no board) or the log says.
struct Command { std::function<int()> send; int result; QByteArray message; QByteArray log; };
// Deliveries to the receive callback, the Info they leave, the clock they set (-1: none) and
// the blocks a newer one in the same delivery supersedes.
struct Receive { QList<QByteArray> deliveries; QByteArray info; qint64 clock; int dropped; };
// The engine's stream in writes of the given sizes with a pause (ms) between them; the blocks
// counted, whether the connection is dropped, and Info after it.
struct Framing { QByteArray stream; QList<int> writes; int blocks; bool dropped; QByteArray info; int pause; };
// clang-format on
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Receive)
Q_DECLARE_METATYPE(Framing)

namespace {

const char* const kEngine = "127.0.0.2";

// A status block: length, status 0, version 0 and the engine's time, then `fill`.
QByteArray block(uint32_t engineTime, char fill) {
    return words({16488, 0, 0, engineTime}) + QByteArray(16488 - 16, fill);
}

QByteArray infoBytes() {
    StatusBlock b;
    Info.snapshot(b);
    return QByteArray(reinterpret_cast<const char*>(b.bytes), sizeof(b.bytes));
}

uint64_t blocksCounted() {
    return statusBlocksTaken + statusBlocksDropped;
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT
    TempRoot mRoot;
    UserSignalRelay mRelay;
    SettingRecord mRecord{};
    std::unique_ptr<DataServer> mServer;

    int port(bool data = false) const {
        return data ? mServer->thread()->dataPort() : mServer->thread()->controlPort();
    }
    bool connectEngine(LoopbackPeer& peer) {
        return peer.connectTo(kEngine, port()) && peer.readExact(124, 2000).size() == 124;
    }

private slots:
    void initTestCase() {
        QVERIFY(mRelay.install());
        UserSignalRelay::setAction(sendPowerNotice);
        settings::loadDefaults(mRecord);
        mRecord.mode = 9;
        mRecord.COPYTIMECOUNT = 0x01020304;
        mRecord.MASTERCLEAR = 77; // behind the message: never sent
        commitSetting(mRecord);
    }
    void init() {
        Info.clear();
        mServer = std::make_unique<DataServer>(LinkEndpoints{kEngine, 0, 0});
        mServer->init(server_receive_callback, server_connect_callback);
        mDataServer = mServer.get(); // before the link thread can call back
        QCOMPARE(mServer->start(), 0);
    }
    void cleanup() {
        mServer.reset(); // joins the link thread, the only other reader of mDataServer
        mDataServer = nullptr;
    }

    void boardConnectsWhileTheStartDialogShows() {
        startDialog = new QWidget;
        QPointer<QWidget> dialog(startDialog);
        alreadySendSetting = 0;
        LoopbackPeer peer;
        QVERIFY(peer.connectTo(kEngine, port()));
        QCOMPARE(peer.readExact(125, 1000),
                 words({124, 2}) + QByteArray(reinterpret_cast<const char*>(&mRecord) + 8, 116));
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(alreadySendSetting.load(), 1);
    }

    void commands_data() {
        QTest::addColumn<Command>("row");
        const QByteArray setting =
            words({124, 2}) + QByteArray(reinterpret_cast<const char*>(&mRecord) + 8, 116);
        // clang-format off
        QTest::newRow("power off") << Command{[] { return sendCmd(9); }, 8, words({8, 9}), {}};
        QTest::newRow("power on") << Command{[] { return sendCmd(10); }, 8, words({8, 10}), {}};
        QTest::newRow("low speed, port 5") << Command{[] { return sendCmdWithPara(11, 5); }, 12, words({12, 11, 5}), {}};
        QTest::newRow("export log") << Command{sendExportLogCmd, 0, words({8, 12}), {}};
        QTest::newRow("master clear") << Command{sendMasterClearCmd, 0, words({8, 13}), {}};
        QTest::newRow("settings") << Command{sendSetting, 0, setting, {}};
        QTest::newRow("SIGUSR1") << Command{[] { return raise(SIGUSR1); }, 0, words({8, 10}), "Caught signal "};
        QTest::newRow("SIGUSR2") << Command{[] { return raise(SIGUSR2); }, 0, words({8, 9}), {}};
        QTest::newRow("power off, no board") << Command{[] { return sendCmd(9); }, -1, {}, "error to send cmd 9 to 1"};
        QTest::newRow("power on, no board") << Command{[] { return sendCmd(10); }, -1, {}, "client 1 no socket"};
        QTest::newRow("low speed, no board") << Command{[] { return sendCmdWithPara(11, 3); }, -1, {}, "error to send upgrade cmd 1"};
        // The export dialog must not wait for the answer to a command that never went out.
        QTest::newRow("export log, no board") << Command{sendExportLogCmd, -1, {}, "error to send Export CMD cmd 1"};
        QTest::newRow("master clear, no board") << Command{sendMasterClearCmd, 0, {}, "[E]"};
        QTest::newRow("settings, no board") << Command{sendSetting, 0, {}, "h2  send setting -1"};
        QTest::newRow("settings, no board: failed") << Command{sendSetting, 0, {}, "send to 1 fail"};
        // clang-format on
    }

    void commands() {
        QFETCH(Command, row);
        const QByteArray& message = row.message;
        LoopbackPeer peer;
        QVERIFY(message.isEmpty() || connectEngine(peer));
        StdoutCapture out;
        QCOMPARE(row.send(), row.result);
        QByteArray got; // a signal is handled on the event loop
        QTRY_COMPARE(got += peer.readExact(size_t(message.size() - got.size()), 10), message);
        QVERIFY(message.isEmpty() ? !mServer->connected(1) : peer.staysQuiet(50));
        QVERIFY2(out.text().contains(row.log), out.text());
        QCOMPARE(out.text().contains("[E]"), message.isEmpty()); // errors only without a board
    }

    void receive_data() {
        QTest::addColumn<Receive>("row");
        const uint32_t t = 1700000000u;
        // clang-format off
        QTest::newRow("whole block") << Receive{{block(0, 1)}, block(0, 1), -1, 0};
        QTest::newRow("two in one read: the newer") << Receive{{block(0, 5) + block(0, 6)}, block(0, 6), -1, 1};
        QTest::newRow("export result is no block") << Receive{{block(0, 4), words({8, 110})}, block(0, 4), -1, 0};
        QTest::newRow("message before a block") << Receive{{words({8, 3}) + block(0, 7)}, block(0, 7), -1, 0};
        QTest::newRow("bad length behind a block") << Receive{{block(0, 2) + words({0xFFFF, 1})}, block(0, 2), -1, 0};
        QTest::newRow("no length word") << Receive{{QByteArray(100, 2)}, QByteArray(16488, 0), -1, 0};
        QTest::newRow("clock from the first block") << Receive{{block(t, 0), block(2 * t, 0)}, block(2 * t, 0), t, 0};
        QTest::newRow("command message first") << Receive{{words({8, 110}), block(t, 0)}, block(t, 0), t, 0};
        QTest::newRow("time 0 waits for a plausible one") << Receive{{block(0, 0), block(t, 0)}, block(t, 0), t, 0};
        QTest::newRow("2020-01-01") << Receive{{block(1577836800u, 0)}, block(1577836800u, 0), 1577836800, 0};
        QTest::newRow("before 2020") << Receive{{block(1577836799u, 0)}, block(1577836799u, 0), -1, 0};
        QTest::newRow("all ones") << Receive{{block(0xFFFFFFFFu, 0)}, block(0xFFFFFFFFu, 0), -1, 0};
        // clang-format on
    }

    void receive() {
        QFETCH(Receive, row);
        const qint64 clock = row.clock;
        firstRecv = 1;
        const uint64_t droppedBefore = statusBlocksDropped;
        const size_t clocksBefore = mRoot.platform().clockRequests().size();
        StdoutCapture log;
        for (QByteArray d : row.deliveries)
            QCOMPARE(server_receive_callback(d.data(), d.size(), 1), 0);
        QCOMPARE(infoBytes(), row.info);
        QCOMPARE(int(statusBlocksDropped - droppedBefore), row.dropped);
        QCOMPARE(log.text().contains("Error get 32976 should 16488"), row.dropped > 0);
        const std::vector<time_t> clocks = mRoot.platform().clockRequests();
        QCOMPARE(clocks.size() - clocksBefore, size_t(clock < 0 ? 0 : 1));
        QCOMPARE(firstRecv.load(), clock < 0 ? 1 : 0);
        QVERIFY(clock < 0 ||
                (clocks.back() == clock &&
                 log.text().contains("time " + QByteArray::number(clock) + " change to ") &&
                 log.text().contains(" 0x" + QByteArray::number(clock, 16))));
    }

    // The engine's writes as the panel's reads may see them: how the kernel splits or joins
    // them varies with load, so the outcome is checked, not the reads: every block counted
    // once, the last one in Info, and nothing behind a length word no message can have.
    void framing_data() {
        QTest::addColumn<Framing>("row");
        const QByteArray b = block(0, 'b'), c = block(0, 'c'), cmd = words({8, 77}), none(16488, 0);
        // clang-format off
        QTest::newRow("block in one write") << Framing{b, {16488}, 1, false, b, 20};
        QTest::newRow("block in many pieces") << Framing{b, {1, 3, 100, 4000, 5000, 7000, 384}, 1, false, b, 20};
        QTest::newRow("length word split") << Framing{b, {2, 2, 16484}, 1, false, b, 20};
        QTest::newRow("slow block within 3 s") << Framing{b, {4122, 4122, 4122, 4122}, 1, false, b, 400};
        QTest::newRow("two blocks in one write") << Framing{b + c, {32976}, 2, false, c, 20};
        QTest::newRow("block and a half, the rest") << Framing{b + c, {24732, 8244}, 2, false, c, 20};
        QTest::newRow("two and a half, the rest") << Framing{b + b + c, {41220, 8244}, 3, false, c, 20};
        QTest::newRow("command then block") << Framing{cmd + b, {8, 16488}, 1, false, b, 20};
        QTest::newRow("largest length") << Framing{message(1 << 20, 'd'), {1 << 20}, 0, false, none, 20};
        QTest::newRow("zero length") << Framing{words({0, 2, 0, 0}), {16}, 0, true, none, 20};
        QTest::newRow("one short of a command") << Framing{words({7, 2, 0, 0}), {16}, 0, true, none, 20};
        QTest::newRow("one past the buffer") << Framing{words({(1 << 20) + 1, 2}), {8}, 0, true, none, 20};
        QTest::newRow("huge behind a block") << Framing{b + words({0x7FFFFFFF, 2}), {16496}, 1, true, b, 20};
        // clang-format on
    }

    void framing() {
        QFETCH(Framing, row);
        const bool dropped = row.dropped;
        StdoutCapture log;
        const uint64_t before = blocksCounted();
        LoopbackPeer peer;
        QVERIFY(peer.connectTo(kEngine, port()));
        for (int at = 0, i = 0; i < row.writes.size(); at += row.writes[i++]) {
            QVERIFY(peer.sendAll(row.stream.mid(at, row.writes[i])));
            QTest::qWait(row.pause); // usually separate reads on the panel's side
        }
        // The settings went out on the connect, before anything was read.
        QCOMPARE(peer.readExact(124, 2000).left(8), words({124, 2}));
        const int sent = log.text().indexOf("control send ");
        QVERIFY(sent >= 0 && sent < log.text().indexOf("client 1 connected "));
        QVERIFY(!dropped || peer.waitClosed(2000));
        QTRY_COMPARE(blocksCounted() - before, uint64_t(row.blocks));
        QCOMPARE(infoBytes(), row.info);
        QVERIFY(!log.text().contains("bad message length"));
        QCOMPARE(log.text().contains("client 1 bad length"), dropped);
        QVERIFY(dropped || peer.staysQuiet(50)); // still connected
    }

    void connectionEnds_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("peer closes") << "close" << QByteArray("client 1 has shut off");
        QTest::newRow("3 s of silence")
            << "silence" << QByteArray("network issue close data connection 1");
        QTest::newRow("message incomplete for 3 s") << "trickle" << QByteArray("incomplete");
        QTest::newRow("newer connection")
            << "newer" << QByteArray("strange that client 1 had socket");
    }

    void connectionEnds() {
        QFETCH(QString, end);
        QFETCH(QByteArray, line);
        StdoutCapture log;
        LoopbackPeer control, data, newer;
        QVERIFY(connectEngine(control));
        QVERIFY(data.connectTo(kEngine, port(true)));
        QTRY_COMPARE(mServer->dataSend(1, "d", 1), 1);
        const size_t assigned = mRoot.platform().addressRequests().size();
        QElapsedTimer clock;
        clock.start();
        if (end == "close")
            control.close();
        if (end == "newer")
            QVERIFY(connectEngine(newer));
        // Bytes trickle in, so the silence rule never fires, but the message never completes.
        if (end == "trickle" && control.sendAll(words({16488, 0})))
            while (!control.waitClosed(250) && clock.elapsed() < 6000)
                control.sendAll("z");
        QVERIFY(end == "close" || control.waitClosed(5000));
        QVERIFY(end != "trickle" || clock.elapsed() >= 2000);
        QTRY_VERIFY(log.text().contains(line));
        if (end == "newer") { // sends go to the newer connection; the data connection stays
            QCOMPARE(mServer->send(1, "hi", 2), 2);
            QCOMPARE(newer.readExact(2, 2000), QByteArray("hi"));
            QCOMPARE(mServer->dataSend(1, "d", 1), 1);
        } else {
            QVERIFY(data.waitClosed(2000));
            QTRY_COMPARE(mServer->send(1, "x", 1) + mServer->dataSend(1, "x", 1), -2);
        }
        QVERIFY(end != "silence" || (log.text().contains("select timeout") &&
                                     log.text().contains("network issue close connection 1") &&
                                     mRoot.platform().addressRequests().size() > assigned));
        LoopbackPeer again; // the board is welcome again
        QVERIFY(connectEngine(again));
    }

    void strangers() {
        StdoutCapture log;
        LoopbackPeer engine, stranger, data;
        QVERIFY(connectEngine(engine));
        QVERIFY(stranger.connectTo("127.0.0.7", port()));
        QVERIFY(stranger.staysQuiet(200)); // accepted, nothing sent to it, not closed
        QVERIFY(stranger.sendAll(block(1700000000u, 's')));
        QVERIFY(stranger.waitClosed(2000));
        QVERIFY(log.text().contains("strange here socketfd exceed board"));
        QCOMPARE(infoBytes(), QByteArray(16488, 0));
        QVERIFY(data.connectTo("127.0.0.7", port(true))); // not adopted
        QTest::qWait(100);
        QCOMPARE(mServer->dataSend(1, "x", 1), -1);
        QCOMPARE(mServer->send(1, "ping", 4), 4); // the board's connection is untouched
        QCOMPARE(engine.readExact(4, 2000), QByteArray("ping"));
    }

    // A board that stops reading: the control send gives up within its bound and says so.
    void controlSendStall() {
        LoopbackPeer peer;
        QVERIFY(connectEngine(peer));
        std::atomic<bool> sending{true};
        std::thread keepAlive([&] { // the board stays in touch: no silence rule
            while (sending && peer.sendAll(words({8, 77})))
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
        });
        StdoutCapture log;
        const QByteArray big(32 << 20, 's');
        QElapsedTimer clock;
        clock.start();
        const int sent = mServer->send(1, big.constData(), big.size());
        const qint64 took = clock.elapsed();
        sending = false;
        keepAlive.join();
        QVERIFY2(sent > 0 && sent < big.size() && took >= 2990 && took < 6000,
                 qPrintable(QString("%1 bytes in %2 ms").arg(sent).arg(took)));
        QVERIFY(log.text().contains("client 1 send stalled"));
        QVERIFY(log.text().contains(QString(" 33554432 0x%1 ret %2\n")
                                        .arg(quintptr(big.constData()), 0, 16)
                                        .arg(sent)
                                        .toUtf8()));
        QVERIFY(!log.text().contains("data error"));
    }
};

QTEST_MAIN(TestLink)
#include "tst_dataserver.moc"
