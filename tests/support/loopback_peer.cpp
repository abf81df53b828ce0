#include "support/loopback_peer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace h2test {

namespace {
// Receives wait at most this long, all of a MSG_WAITALL receive together.
void setTimeout(int fd, int ms) {
    timeval tv{ms / 1000, std::max(ms % 1000, 1) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
}
} // namespace

bool LoopbackPeer::connectTo(const std::string& bindAddress, int port) {
    close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    inet_pton(AF_INET, bindAddress.c_str(), &local.sin_addr);
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    remote.sin_port = htons(uint16_t(port));
    if (mFd >= 0 && bind(mFd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == 0 &&
        ::connect(mFd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) == 0)
        return true;
    close();
    return false;
}

bool LoopbackPeer::sendAll(const QByteArray& bytes) {
    for (int at = 0; at < bytes.size();) {
        const ssize_t n =
            ::send(mFd, bytes.constData() + at, size_t(bytes.size() - at), MSG_NOSIGNAL);
        if (n <= 0 && errno != EINTR)
            return false;
        at += int(std::max<ssize_t>(n, 0));
    }
    return true;
}

QByteArray LoopbackPeer::readExact(size_t length, int timeoutMs) {
    QByteArray out(int(length), '\0');
    setTimeout(mFd, timeoutMs);
    out.resize(int(std::max<ssize_t>(recv(mFd, out.data(), length, MSG_WAITALL), 0)));
    return out;
}

bool LoopbackPeer::waitClosed(int timeoutMs) {
    char buf[65536];
    setTimeout(mFd, timeoutMs);
    ssize_t n;
    while ((n = recv(mFd, buf, sizeof(buf), 0)) > 0) {
    }
    return n == 0 || errno != EAGAIN;
}

bool LoopbackPeer::staysQuiet(int ms) {
    pollfd p{mFd, POLLIN, 0};
    return poll(&p, 1, ms) == 0;
}

void LoopbackPeer::close() {
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
}

QByteArray words(std::initializer_list<uint32_t> values) {
    return QByteArray(reinterpret_cast<const char*>(values.begin()), int(values.size() * 4));
}

QByteArray message(uint32_t length, char fill) {
    return (words({length}) + QByteArray(int(length), fill)).left(int(length));
}

} // namespace h2test
