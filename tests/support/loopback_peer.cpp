#include "support/loopback_peer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace h2test {

namespace {
using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}
} // namespace

LoopbackPeer::~LoopbackPeer() {
    close();
}

bool LoopbackPeer::connectTo(const std::string& bindAddress, int port) {
    close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (mFd < 0)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, bindAddress.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (bind(mFd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        ::connect(mFd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != 0) {
        close();
        return false;
    }
    return true;
}

bool LoopbackPeer::sendAll(const void* data, size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::send(mFd, p, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= size_t(n);
    }
    return true;
}

QByteArray LoopbackPeer::readExact(size_t length, int timeoutMs) {
    QByteArray out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    while (size_t(out.size()) < length) {
        pollfd p{mFd, POLLIN, 0};
        if (poll(&p, 1, msLeft(deadline)) <= 0)
            break;
        const ssize_t n =
            recv(mFd, buf, std::min(sizeof(buf), length - size_t(out.size())), MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        out.append(buf, int(n));
    }
    return out;
}

bool LoopbackPeer::waitClosed(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        pollfd p{mFd, POLLIN, 0};
        const int ready = poll(&p, 1, msLeft(deadline));
        if (ready <= 0)
            return false;
        const ssize_t n = recv(mFd, buf, sizeof(buf), MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            return true;
    }
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
    QByteArray out;
    for (uint32_t v : values)
        out.append(reinterpret_cast<const char*>(&v), sizeof(v));
    return out;
}

QByteArray message(uint32_t length, char fill) {
    QByteArray out(int(length), fill);
    if (length >= 4)
        memcpy(out.data(), &length, sizeof(length));
    return out;
}

} // namespace h2test
