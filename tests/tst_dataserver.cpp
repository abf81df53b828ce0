// The board link server over loopback: adoption of the engine address, framing by the
// length word, the time bounds, strangers and the two send operations.

#include "link/dataserver.h"
#include "link/wire.h"
#include "platform/desktop_platform.h"
#include "support/loopback_peer.h"
#include "support/stdout_capture.h"
#include "support/temp_root.h"

#include <QtTest>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using h2test::LoopbackPeer;
using h2test::message;
using h2test::words;

namespace {

bool logged(const StdoutCapture& log, const QString& line) {
    return QString::fromUtf8(log.text()).contains(line);
}

const char* const kEngine = "127.0.0.2";
const char* const kStranger = "127.0.0.7";
const QByteArray kGreeting = words({12, 99, 7});

// What the link thread handed to the callbacks, in order.
struct Recorder {
    std::mutex mutex;
    QStringList events;
    QList<QByteArray> deliveries;
    DataServer* server = nullptr;

    void reset(DataServer* s) {
        std::lock_guard<std::mutex> lock(mutex);
        events.clear();
        deliveries.clear();
        server = s;
    }
    QStringList eventList() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    QList<QByteArray> received() {
        std::lock_guard<std::mutex> lock(mutex);
        return deliveries;
    }
    int connects() { return eventList().filter(QStringLiteral("connect")).size(); }
} gRecorder;

int recordReceive(void* data, int length, int board) {
    std::lock_guard<std::mutex> lock(gRecorder.mutex);
    gRecorder.events << QStringLiteral("receive %1 board %2").arg(length).arg(board);
    gRecorder.deliveries << QByteArray(static_cast<const char*>(data), length);
    return 0;
}

// Greets the board the way the panel does: a send from inside the callback.
int recordConnect(int board) {
    DataServer* server;
    {
        std::lock_guard<std::mutex> lock(gRecorder.mutex);
        gRecorder.events << QStringLiteral("connect %1").arg(board);
        server = gRecorder.server;
    }
    return server->send(board, kGreeting.constData(), kGreeting.size());
}

QList<int> lengths(const QList<QByteArray>& deliveries) {
    QList<int> out;
    for (const QByteArray& d : deliveries)
        out << d.size();
    return out;
}

} // namespace

class TestDataServer : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectCallbackComesBeforeFirstRead();
    void wholeMessages_data();
    void wholeMessages();
    void framedLength_data();
    void framedLength();
    void framing_data();
    void framing();
    void badLengthWordClosesConnection_data();
    void badLengthWordClosesConnection();
    void strangerAcceptedAndClosedOnFirstData();
    void strangersAreBounded();
    void dataPortServesOnlyTheEngine();
    void sendWithoutBoard();
    void newerConnectionReplacesOlder();
    void peerCloseDropsDataConnection();
    void silenceDropsBothConnections();
    void incompleteMessageIsBounded();
    void slowMessageWithinBoundIsDelivered();

private:
    // Connects the engine peer and reads its greeting.
    bool connectEngine(LoopbackPeer& peer);

    TempRoot mRoot;
    std::unique_ptr<DataServer> mServer;
};

void TestDataServer::init() {
    mServer = std::make_unique<DataServer>(LinkEndpoints{kEngine, 0, 0});
    gRecorder.reset(mServer.get());
    mServer->init(recordReceive, recordConnect);
    QCOMPARE(mServer->start(), 0);
    QVERIFY(mServer->thread()->controlPort() > 0);
    QVERIFY(mServer->thread()->dataPort() > 0);
}

void TestDataServer::cleanup() {
    mServer.reset();
}

bool TestDataServer::connectEngine(LoopbackPeer& peer) {
    return peer.connectTo(kEngine, mServer->thread()->controlPort()) &&
           peer.readExact(size_t(kGreeting.size()), 2000) == kGreeting;
}

void TestDataServer::connectCallbackComesBeforeFirstRead() {
    StdoutCapture log;
    LoopbackPeer peer;
    QVERIFY(peer.connectTo(kEngine, mServer->thread()->controlPort()));
    // The block is on its way before the server has even accepted.
    QVERIFY(peer.sendAll(message(16488, 'a')));
    QCOMPARE(peer.readExact(size_t(kGreeting.size()), 2000), kGreeting);
    QTRY_COMPARE(gRecorder.eventList().size(), 2);
    QCOMPARE(gRecorder.eventList(),
             QStringList({QStringLiteral("connect 1"), QStringLiteral("receive 16488 board 1")}));
    const QString text = QString::fromUtf8(log.text());
    const int sent = text.indexOf(QStringLiteral("control send"));
    QVERIFY(sent >= 0);
    QVERIFY(sent < text.indexOf(QStringLiteral("client 1 connected ")));
    QVERIFY(text.contains(QStringLiteral("对方IP：127.0.0.2")));
}

void TestDataServer::wholeMessages_data() {
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<int>("whole");
    const QByteArray command = words({8, 9});
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("part of a length word") << QByteArray("\x08\x00\x00", 3) << 0;
    QTest::newRow("one message") << command << 8;
    QTest::newRow("one message and a bit") << command + "abc" << 8;
    QTest::newRow("two messages") << command + words({12, 11, 5}) << 20;
    QTest::newRow("message and a cut block") << command + message(16488, 'x').left(100) << 8;
    QTest::newRow("message and a bad word") << command + words({3, 0}) << 8;
    QTest::newRow("first one incomplete") << message(16488, 'y').left(16487) << 0;
    QTest::newRow("zero length") << words({0, 0}) << 0;
}

void TestDataServer::wholeMessages() {
    QFETCH(QByteArray, held);
    QFETCH(int, whole);
    QCOMPARE(wire::wholeMessagesLength(reinterpret_cast<const unsigned char*>(held.constData()),
                                       held.size()),
             whole);
}

// What a read leaves the link to do: wait (0), drop the connection (-1) or hand on bytes.
void TestDataServer::framedLength_data() {
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<int>("result");
    const QByteArray command = words({8, 9});
    QTest::newRow("nothing yet") << QByteArray() << 0;
    QTest::newRow("length word cut") << QByteArray("\x07\x00\x00", 3) << 0;
    QTest::newRow("too short a length") << words({7}) << -1;
    QTest::newRow("longer than the buffer") << words({1024 * 1024 + 1}) << -1;
    QTest::newRow("first message cut") << message(16488, 'a').left(16000) << 0;
    QTest::newRow("one whole message") << command << 8;
    QTest::newRow("whole messages and a cut one")
        << command + message(16488, 'a') + message(16488, 'b').left(9) << 16496;
    QTest::newRow("whole message and a bad word") << command + words({2, 0}) << 8;
}

void TestDataServer::framedLength() {
    QFETCH(QByteArray, held);
    QFETCH(int, result);
    QCOMPARE(
        wire::framedLength(reinterpret_cast<const unsigned char*>(held.constData()), held.size()),
        result);
}

// The engine's writes as the panel's reads may see them: how the kernel splits or joins
// them varies with load, so the hand-overs are checked against the messages, not the reads.
// How whole messages in one read are grouped is the pure functions' business above.
void TestDataServer::framing_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("writes");
    QTest::addColumn<QList<int>>("messages");

    const QByteArray block = message(16488, 'b');
    QTest::newRow("block in one write") << block << QList<int>{16488} << QList<int>{16488};
    QTest::newRow("block in many pieces")
        << block << QList<int>{1, 3, 100, 4000, 5000, 7000, 384} << QList<int>{16488};
    QTest::newRow("length word split") << block << QList<int>{2, 2, 16484} << QList<int>{16488};
    QTest::newRow("two blocks in one write")
        << block + message(16488, 'c') << QList<int>{32976} << QList<int>{16488, 16488};
    QTest::newRow("block and a half, then the rest")
        << block + message(16488, 'c') << QList<int>{24732, 8244} << QList<int>{16488, 16488};
    QTest::newRow("two blocks and a half, then the rest")
        << block + block + message(16488, 'e') << QList<int>{41220, 8244}
        << QList<int>{16488, 16488, 16488};
    QTest::newRow("command then block")
        << words({8, 77}) + block << QList<int>{8, 16488} << QList<int>{8, 16488};
    QTest::newRow("largest length accepted")
        << message(1024 * 1024, 'd') << QList<int>{1024 * 1024} << QList<int>{1024 * 1024};
}

void TestDataServer::framing() {
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, writes);
    QFETCH(QList<int>, messages);

    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    int at = 0;
    for (int size : writes) {
        QVERIFY(peer.sendAll(stream.constData() + at, size_t(size)));
        at += size;
        QTest::qWait(20); // usually separate reads on the panel's side
    }
    QCOMPARE(at, stream.size());
    QTRY_COMPARE(gRecorder.received().join().size(), stream.size());
    QCOMPARE(gRecorder.received().join(), stream);
    // Every hand-over is a run of whole messages: none cut, none lost, none out of order.
    int next = 0;
    for (const QByteArray& handed : gRecorder.received()) {
        int length = 0;
        while (length < handed.size() && next < messages.size())
            length += messages.at(next++);
        QCOMPARE(length, handed.size());
    }
    QCOMPARE(next, messages.size());
    QVERIFY(peer.staysQuiet(50)); // still connected
}

void TestDataServer::badLengthWordClosesConnection_data() {
    QTest::addColumn<QByteArray>("before"); // good messages in the same write
    QTest::addColumn<quint32>("length");
    QTest::newRow("zero") << QByteArray() << quint32(0);
    QTest::newRow("length only") << QByteArray() << quint32(4);
    QTest::newRow("one short of a command") << QByteArray() << quint32(7);
    QTest::newRow("one past the buffer") << QByteArray() << quint32(1024 * 1024 + 1);
    QTest::newRow("all ones") << QByteArray() << quint32(0xFFFFFFFFu);
    QTest::newRow("zero behind a command") << words({8, 10}) << quint32(0);
    QTest::newRow("huge behind a block") << message(16488, 'h') << quint32(0x7FFFFFFFu);
}

void TestDataServer::badLengthWordClosesConnection() {
    QFETCH(QByteArray, before);
    QFETCH(quint32, length);
    StdoutCapture log;
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    QVERIFY(peer.sendAll(before + words({length, 2, 0, 0})));
    QVERIFY(peer.waitClosed(2000));
    QCOMPARE(gRecorder.received(),
             before.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{before});
    QVERIFY(logged(log, QStringLiteral("client 1 bad length %1").arg(length)));
    QTRY_COMPARE(mServer->send(1, "x", 1), -1);
    // The board is welcome again.
    LoopbackPeer again;
    QVERIFY(connectEngine(again));
}

void TestDataServer::strangerAcceptedAndClosedOnFirstData() {
    StdoutCapture log;
    LoopbackPeer engine;
    QVERIFY(connectEngine(engine));
    LoopbackPeer stranger;
    QVERIFY(stranger.connectTo(kStranger, mServer->thread()->controlPort()));
    QVERIFY(stranger.staysQuiet(200)); // accepted, nothing sent to it, not closed
    QVERIFY(stranger.sendAll(message(16488, 's')));
    QVERIFY(stranger.waitClosed(2000));
    QCOMPARE(gRecorder.connects(), 1);
    QVERIFY(gRecorder.received().isEmpty());
    QVERIFY(logged(log, QStringLiteral("strange here socketfd exceed board")));
    // The board's connection is untouched.
    QCOMPARE(mServer->send(1, "ping", 4), 4);
    QCOMPARE(engine.readExact(4, 2000), QByteArray("ping"));
}

void TestDataServer::strangersAreBounded() {
    const int extra = 4;
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    for (int i = 0; i < DataThread::kMaxStrangers + extra; ++i) {
        peers.push_back(std::make_unique<LoopbackPeer>());
        QVERIFY(peers.back()->connectTo("127.0.1." + std::to_string(i + 1),
                                        mServer->thread()->controlPort()));
        QTest::qWait(10); // accepted in this order
    }
    for (int i = 0; i < extra; ++i)
        QVERIFY2(peers[size_t(i)]->waitClosed(2000), qPrintable(QString::number(i)));
    for (size_t i = extra; i < peers.size(); ++i)
        QVERIFY2(peers[i]->staysQuiet(i == extra ? 200 : 0), qPrintable(QString::number(i)));
    // The engine still gets in.
    LoopbackPeer engine;
    QVERIFY(connectEngine(engine));
}

void TestDataServer::dataPortServesOnlyTheEngine() {
    LoopbackPeer stranger;
    QVERIFY(stranger.connectTo(kStranger, mServer->thread()->dataPort()));
    QVERIFY(stranger.waitClosed(2000));

    LoopbackPeer control, data;
    QVERIFY(connectEngine(control));
    QVERIFY(data.connectTo(kEngine, mServer->thread()->dataPort()));
    const QByteArray payload(300000, 'u'); // more than a socket buffer holds
    QByteArray got;
    std::thread reader([&] { got = data.readExact(size_t(payload.size()), 5000); });
    QTRY_COMPARE(mServer->dataSend(1, payload.constData(), payload.size()), payload.size());
    reader.join();
    QCOMPARE(got, payload);
}

void TestDataServer::sendWithoutBoard() {
    StdoutCapture log;
    char buf[8] = {};
    QCOMPARE(mServer->send(1, buf, 8), -1);
    QCOMPARE(mServer->dataSend(1, buf, 8), -1);
    QCOMPARE(mServer->send(5, buf, 8), -1);
    QCOMPARE(mServer->dataSend(-1, buf, 8), -1);
    QVERIFY(logged(log, QStringLiteral("client 1 no socket")));
    // A connected control connection says nothing about the data connection.
    LoopbackPeer control;
    QVERIFY(connectEngine(control));
    QCOMPARE(mServer->dataSend(1, buf, 8), -1);
}

void TestDataServer::newerConnectionReplacesOlder() {
    LoopbackPeer first, second;
    QVERIFY(connectEngine(first));
    QVERIFY(connectEngine(second));
    QVERIFY(first.waitClosed(2000));
    QCOMPARE(gRecorder.connects(), 2);
    QCOMPARE(mServer->send(1, "hi", 2), 2);
    QCOMPARE(second.readExact(2, 2000), QByteArray("hi"));
}

void TestDataServer::peerCloseDropsDataConnection() {
    LoopbackPeer control, data;
    QVERIFY(connectEngine(control));
    QVERIFY(data.connectTo(kEngine, mServer->thread()->dataPort()));
    QTRY_COMPARE(mServer->dataSend(1, "d", 1), 1);
    control.close();
    QVERIFY(data.waitClosed(2000));
    QCOMPARE(mServer->send(1, "x", 1), -1);
    // The peer sees the shutdown a moment before the slot is cleared.
    QTRY_COMPARE(mServer->dataSend(1, "x", 1), -1);
}

void TestDataServer::silenceDropsBothConnections() {
    StdoutCapture log;
    LoopbackPeer control, data;
    QVERIFY(connectEngine(control));
    QVERIFY(data.connectTo(kEngine, mServer->thread()->dataPort()));
    QTRY_COMPARE(mServer->dataSend(1, "d", 1), 1);
    QVERIFY(data.readExact(1, 1000) == "d");
    const size_t assignedBefore = mRoot.platform().addressRequests().size();

    QVERIFY(control.waitClosed(5000));
    QVERIFY(data.waitClosed(1000));
    QCOMPARE(mServer->send(1, "x", 1), -1);
    QTRY_VERIFY(mRoot.platform().addressRequests().size() > assignedBefore);
    QCOMPARE(mRoot.platform().addressRequests().back(), std::string("eth0 127.0.0.1"));
    const QString text = QString::fromUtf8(log.text());
    QVERIFY(text.contains(QStringLiteral("select timeout")));
    QVERIFY(text.contains(QStringLiteral("network issue close connection 1")));
    QVERIFY(text.contains(QStringLiteral("network issue close data connection 1")));
}

// A board that stops in the middle of a message, while bytes keep trickling in so that the
// silence rule never fires, is still dropped.
void TestDataServer::incompleteMessageIsBounded() {
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    QVERIFY(peer.sendAll(words({16488, 0})));
    const int stepMs = 250;
    int step = 0;
    while (step < 24 && !peer.waitClosed(stepMs)) {
        peer.sendAll("z", 1);
        ++step;
    }
    QVERIFY2(step < 24, "still connected after 6 s");
    QVERIFY2(step * stepMs >= 2000, "dropped long before the bound");
    QVERIFY(gRecorder.received().isEmpty());
}

void TestDataServer::slowMessageWithinBoundIsDelivered() {
    LoopbackPeer peer;
    QVERIFY(connectEngine(peer));
    const QByteArray block = message(16488, 'w');
    const int pieces = 6;
    const int size = block.size() / pieces;
    for (int i = 0; i < pieces; ++i) {
        QVERIFY(peer.sendAll(block.constData() + i * size, size_t(size)));
        QTest::qWait(200);
    }
    QTRY_COMPARE(lengths(gRecorder.received()), QList<int>{16488});
    QCOMPARE(gRecorder.received().first(), block);
}

QTEST_GUILESS_MAIN(TestDataServer)
#include "tst_dataserver.moc"
