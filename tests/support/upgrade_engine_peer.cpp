#include "support/upgrade_engine_peer.h"

#include "link/status_block.h"
#include "link/wire.h"

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

int connectFrom(const std::string& bindAddress, int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, bindAddress.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const char* p, size_t length) {
    while (length > 0) {
        const ssize_t n = ::send(fd, p, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= size_t(n);
    }
    return true;
}

} // namespace

UpgradeEnginePeer::~UpgradeEnginePeer() {
    stop();
}

bool UpgradeEnginePeer::start(const std::string& engineAddress, int controlPort, int dataPort) {
    mControl = connectFrom(engineAddress, controlPort);
    // The data connection is adopted only while the control connection stands.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    mData = connectFrom(engineAddress, dataPort);
    if (mControl < 0 || mData < 0) {
        stop();
        return false;
    }
    mStop = false;
    mThread = std::thread([this] { loop(); });
    return true;
}

void UpgradeEnginePeer::stop() {
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    for (int* fd : {&mControl, &mData}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void UpgradeEnginePeer::loop() {
    using Clock = std::chrono::steady_clock;
    QByteArray control, data;
    auto nextBlock = Clock::now();
    char buf[64 * 1024];
    while (!mStop) {
        if (Clock::now() >= nextBlock) {
            QByteArray block(kStatusBlockSize, '\0');
            const uint32_t header[4] = {uint32_t(kStatusBlockSize), mStatus.load(), 0x312504,
                                        1700000000};
            memcpy(block.data(), header, sizeof(header));
            if (!sendAll(mControl, block.constData(), size_t(block.size())))
                return;
            nextBlock = Clock::now() + std::chrono::milliseconds(100);
        }
        pollfd fds[2] = {{mControl, POLLIN, 0}, {mData, POLLIN, 0}};
        if (poll(fds, 2, 20) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t n = recv(fds[i].fd, buf, sizeof(buf), MSG_DONTWAIT);
            if (n == 0)
                return;
            if (n < 0)
                continue;
            QByteArray& stream = i == 0 ? control : data;
            stream.append(buf, int(n));
            takeMessages(stream, i == 1);
        }
    }
}

void UpgradeEnginePeer::takeMessages(QByteArray& stream, bool data) {
    while (stream.size() >= 8) {
        uint32_t length = 0;
        memcpy(&length, stream.constData(), 4);
        if (length < 8 || length > uint32_t(2 * 1024 * 1024)) {
            std::lock_guard<std::mutex> lock(mMutex);
            mConsistent = false;
            mStatus = kRefused;
            stream.clear();
            return;
        }
        if (uint32_t(stream.size()) < length)
            return;
        const QByteArray message = stream.left(int(length));
        stream.remove(0, int(length));
        std::lock_guard<std::mutex> lock(mMutex);
        if (!data) {
            mControlMessages.push_back(message);
            continue;
        }
        wire::UpgradeDataHeader header{};
        memcpy(&header, message.constData(), std::min<size_t>(sizeof(header), length));
        const uint32_t payload = length - std::min<uint32_t>(length, sizeof(header));
        if (header.offset == 0)
            mTotal = header.totalSize;
        const bool fits = length >= sizeof(header) && header.command == wire::kCmdUpgrade &&
                          header.length == length && header.offset == mReceived &&
                          header.totalSize == mTotal;
        mConsistent = mConsistent && fits;
        mReceived += payload;
        if (!mConsistent || mReceived > mTotal)
            mStatus = kRefused;
        else if (mReceived == mTotal)
            mStatus = mRefuse ? kRefused : 3;
    }
}

std::vector<QByteArray> UpgradeEnginePeer::controlMessages() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mControlMessages;
}

} // namespace h2test
