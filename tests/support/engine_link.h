#pragma once
// A link server on free loopback ports with a plain engine connected to it, for window
// tests that check what the panel sends: the settings message and the command messages.
// While it lives, mDataServer points at its server.

#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "support/loopback_peer.h"

#include <QVector>
#include <cstring>
#include <memory>

namespace h2test {

class EngineLink {
public:
    ~EngineLink() { mDataServer = nullptr; }

    // Starts the server and connects the engine; the settings message of the connect is
    // read and dropped. False on failure.
    bool open() {
        mServer = std::make_unique<DataServer>(LinkEndpoints{"127.0.0.2", 0, 0});
        mServer->init(server_receive_callback, server_connect_callback);
        mDataServer = mServer.get(); // before the link thread can call back
        return mServer->start() == 0 &&
               mPeer.connectTo("127.0.0.2", mServer->thread()->controlPort()) &&
               mPeer.readExact(124, 2000).size() == 124;
    }
    // The next whole message as 32-bit words (length, code, ...); empty when none arrives
    // within timeoutMs.
    QVector<uint32_t> next(int timeoutMs = 2000) {
        QByteArray bytes = mPeer.readExact(4, timeoutMs) + QByteArray(4, '\0');
        uint32_t length = 0;
        memcpy(&length, bytes.constData(), 4);
        if (length < 8 || length > 4096)
            return {};
        bytes = bytes.left(4) + mPeer.readExact(length - 4, timeoutMs);
        QVector<uint32_t> out(int(length / 4));
        if (bytes.size() != int(length))
            return {};
        memcpy(out.data(), bytes.constData(), length);
        return out;
    }
    LoopbackPeer& peer() { return mPeer; }
    // True when nothing arrives for `ms`.
    bool quiet(int ms) { return mPeer.staysQuiet(ms); }

private:
    std::unique_ptr<DataServer> mServer;
    LoopbackPeer mPeer;
};

} // namespace h2test
