#pragma once
// A link server on free loopback ports with a plain engine connected to it, for window
// tests that check what the panel sends: the settings message and the command messages.
// While it lives, mDataServer points at its server.

#include "support/loopback_peer.h"

#include <QByteArray>
#include <QVector>
#include <memory>

class DataServer;

namespace h2test {

class EngineLink {
public:
    EngineLink();
    ~EngineLink();
    EngineLink(const EngineLink&) = delete;
    EngineLink& operator=(const EngineLink&) = delete;

    // Starts the server and connects the engine; the settings message of the connect is
    // read and dropped. False on failure.
    bool open();
    // The next whole message as 32-bit words (length, code, ...); empty when none arrives
    // within timeoutMs.
    QVector<uint32_t> next(int timeoutMs = 2000);
    // True when nothing arrives for `ms`.
    bool quiet(int ms) { return mPeer.staysQuiet(ms); }

private:
    std::unique_ptr<DataServer> mServer;
    LoopbackPeer mPeer;
};

} // namespace h2test
