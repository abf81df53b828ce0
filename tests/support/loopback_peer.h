#pragma once
// A plain TCP peer for link tests: it binds its side to a chosen loopback address (the
// engine's, or a stranger's) and talks to the panel on 127.0.0.1.

#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace h2test {

class LoopbackPeer {
public:
    LoopbackPeer() = default;
    ~LoopbackPeer() { close(); }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    // Binds to bindAddress (port 0) and connects to 127.0.0.1:port; false on failure.
    bool connectTo(const std::string& bindAddress, int port);
    bool sendAll(const QByteArray& bytes);
    // Exactly `length` bytes, or fewer when the connection ends or the time runs out.
    QByteArray readExact(size_t length, int timeoutMs);
    // True when the other side closes within timeoutMs; bytes that arrive meanwhile are skipped.
    bool waitClosed(int timeoutMs);
    // True when, for `ms`, nothing arrives and the connection stays open.
    bool staysQuiet(int ms);
    void close();

private:
    int mFd = -1;
};

// 32-bit little-endian words as bytes.
QByteArray words(std::initializer_list<uint32_t> values);
// A message of `length` bytes: its length word, then `fill`.
QByteArray message(uint32_t length, char fill);

} // namespace h2test
