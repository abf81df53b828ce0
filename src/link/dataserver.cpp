#include "link/dataserver.h"

#include "base/app_config.h"
#include "base/log_file.h"
#include "link/address.h"
#include "link/wire.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kEngineBoard = 1;
constexpr int kMaxEvents = 20;
constexpr int kBacklog = 20;

long long nowMs() {
    struct timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

uint32_t lengthWord(const unsigned char* buffer) {
    uint32_t length;
    memcpy(&length, buffer, sizeof(length));
    return length;
}

// Sends on `fd` until all `len` bytes are out, each time the part not yet sent, and returns
// the bytes sent. A failed send is logged by `failed`; an error other than EINTR and EAGAIN
// by `fatal`, and it ends the send. A full send buffer is waited for, but the send ends when
// no byte has gone out for `stallMs`. Every send is non-blocking, so that even a blocking
// socket cannot hold the caller beyond the bound; with `quietWait` a full buffer is no
// error of its own and is not logged (the wait a blocking socket would do).
int sendAll(int fd, int board, const void* buf, int len, int stallMs, bool quietWait,
            void (*failed)(int, int), void (*fatal)(int)) {
    const char* bytes = static_cast<const char*>(buf);
    long long deadline = nowMs() + stallMs;
    int sent = 0;
    while (sent < len) {
        const ssize_t n = ::send(fd, bytes + sent, size_t(len - sent),
                                 MSG_DONTROUTE | MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            sent += int(n);
            if (n > 0)
                deadline = nowMs() + stallMs;
            continue;
        }
        // The log lines below may change errno; the decision rests on the send's own.
        const int error = errno;
        const bool full = error == EAGAIN || error == EWOULDBLOCK;
        if (!(full && quietWait)) {
            failed(board, int(n));
            errno = error;
            if (!full && error != EINTR) {
                fatal(board);
                errno = error;
                perror("data error");
                break;
            }
            perror("EEerror ");
        }
        if (error == EINTR)
            continue;
        // Full send buffer: wait for room instead of spinning, but not for ever.
        int ready = 0;
        do {
            const long long left = deadline - nowMs();
            struct pollfd p {
                fd, POLLOUT, 0
            };
            ready = left > 0 ? poll(&p, 1, int(left)) : 0;
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            LOGE("client %d send stalled\n\r", board);
            break;
        }
    }
    if (sent == len)
        return len;
    LOGD("client %d data send %d %d %p ret %d\n\r", board, fd, len, buf, sent);
    return sent;
}

// A listening TCP socket on all local addresses; its port in *boundPort.
int openListener(int port, bool reportOptionError, int* boundPort) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        perror("socket");
        return -1;
    }
    int one = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one)) < 0 && reportOptionError)
        LOGD("setsockopt error\n\r");
    struct sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(uint16_t(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) < 0 ||
        listen(fd, kBacklog) < 0) {
        LOGE("cannot listen on port %d: %s\n\r", port, strerror(errno));
        close(fd);
        return -1;
    }
    // Non-blocking, so that a connection reset between the poll and accept cannot block.
    setnonblocking(fd);
    socklen_t len = sizeof(addr);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        *boundPort = ntohs(addr.sin_port);
    return fd;
}

// The peer's dotted address, or an empty text when it cannot be read.
void peerText(const sockaddr_in& peer, char (&text)[INET_ADDRSTRLEN]) {
    if (peer.sin_family != AF_INET || !inet_ntop(AF_INET, &peer.sin_addr, text, sizeof(text)))
        text[0] = '\0';
}

} // namespace

LinkEndpoints configuredEndpoints() {
    const h2::AppConfig& config = h2::appConfig();
    return LinkEndpoints{config.engineAddress, config.controlPort, config.dataPort};
}

int setnonblocking(int fd) {
    int opts = fcntl(fd, F_GETFL);
    if (opts < 0) {
        perror("fcntl(sock,GETFL)");
        return -1;
    }
    if (fcntl(fd, F_SETFL, opts | O_NONBLOCK) < 0) {
        perror("fcntl(sock,SETFL,opts)");
        return -1;
    }
    return 0;
}

DataThread::DataThread(LinkEndpoints endpoints)
    : Util_Thread(0), mEndpoints(std::move(endpoints)),
      mBuffer(new unsigned char[wire::kReceiveBufferSize]) {}

DataThread::~DataThread() {
    stop();
    closeAll();
}

void DataThread::setDataStallMs(int ms) {
    mDataStallMs = ms;
}

void DataThread::setCallbacks(ReceiveCallback receive, ConnectCallback connect) {
    mReceive = receive;
    mConnect = connect;
}

int DataThread::openListeners() {
    if (mEpoll < 0) {
        mEpoll = epoll_create(256);
        mWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        struct epoll_event ev {};
        ev.events = EPOLLIN;
        ev.data.fd = mWake;
        epoll_ctl(mEpoll, EPOLL_CTL_ADD, mWake, &ev);
    }
    int port = 0;
    if (mControlListen < 0) {
        mControlListen = openListener(mEndpoints.controlPort, true, &port);
        mControlPort = port;
    }
    if (mDataListen < 0) {
        mDataListen = openListener(mEndpoints.dataPort, false, &port);
        mDataPort = port;
    }
    for (int fd : {mControlListen, mDataListen}) {
        struct epoll_event ev {};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        if (fd >= 0)
            epoll_ctl(mEpoll, EPOLL_CTL_ADD, fd, &ev); // EEXIST on a restart: harmless
    }
    return (mEpoll >= 0 && mControlListen >= 0 && mDataListen >= 0) ? 0 : -1;
}

int DataThread::start() {
    if (running())
        return 0;
    const int opened = openListeners();
    mStop = 0;
    const int ret = Util_Thread::start();
    return ret != 0 ? -1 : opened;
}

void DataThread::stop() {
    mStop = 1;
    if (mWake >= 0) {
        const uint64_t one = 1;
        (void)!write(mWake, &one, sizeof(one));
    }
    join();
}

int DataThread::pollTimeout(long long now) const {
    long long wait = kPollMs - (now - mLastEventMs);
    if (mHeld > 0)
        wait = std::min(wait, kPollMs - (now - mMessageStartMs));
    return int(std::max(0LL, std::min(wait, (long long)kPollMs)));
}

void DataThread::run() {
    LOGD("DataThread started\n\r");
    struct epoll_event events[kMaxEvents];
    mLastEventMs = nowMs();
    while (!mStop) {
        const int n = epoll_wait(mEpoll, events, kMaxEvents, pollTimeout(nowMs()));
        if (mStop)
            break;
        if (n < 0) {
            LOGD("select <0 errro %d\n\r", errno);
            if (errno != EINTR)
                usleep(50 * 1000); // a broken poll set must not spin
            continue;
        }
        long long now = nowMs();
        if (n == 0) {
            if (mHeld > 0 && now - mMessageStartMs >= kPollMs)
                handleIncomplete(now);
            if (now - mLastEventMs >= kPollMs) {
                handleSilence();
                mLastEventMs = nowMs();
            }
            continue;
        }
        mLastEventMs = now;
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == mWake) {
                uint64_t count;
                (void)!read(mWake, &count, sizeof(count));
            } else if (fd == mControlListen) {
                acceptControl();
            } else if (fd == mDataListen) {
                acceptData();
            } else if (events[i].events & (EPOLLIN | EPOLLERR | EPOLLHUP)) {
                if (fd == mControl[kEngineBoard]) {
                    receive(kEngineBoard);
                } else if (isStranger(fd)) {
                    LOGE("strange here socketfd exceed board %d\n\r", fd);
                    closeStranger(fd);
                }
            }
        }
        // Bytes trickling in keep the loop busy, so the bound is checked here as well.
        now = nowMs();
        if (mHeld > 0 && now - mMessageStartMs >= kPollMs)
            handleIncomplete(now);
    }
}

void DataThread::acceptControl() {
    struct sockaddr_in peer {};
    socklen_t len = sizeof(peer);
    const int fd = accept4(mControlListen, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (fd < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            perror("connfd<0");
        return;
    }
    setnonblocking(fd);
    char ip[INET_ADDRSTRLEN];
    peerText(peer, ip);
    if (ip[0])
        LOGD("对方IP：%s\n\r", ip);
    if (ip[0] && mEndpoints.engineAddress == ip) {
        if (mControl[kEngineBoard] >= 0) {
            LOGD("strange that client %d had socket\n\r", kEngineBoard);
            dropControl(kEngineBoard);
        }
        {
            std::lock_guard<std::mutex> lock(mControlLock);
            mControl[kEngineBoard] = fd;
        }
        mHeld = 0;
        if (ConnectCallback connect = mConnect)
            connect(kEngineBoard);
        LOGD("client %d connected %d\n\r", kEngineBoard, fd);
    } else {
        addStranger(fd);
    }
    struct epoll_event ev {};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    epoll_ctl(mEpoll, EPOLL_CTL_ADD, fd, &ev);
}

void DataThread::acceptData() {
    struct sockaddr_in peer {};
    socklen_t len = sizeof(peer);
    // Data connections stay blocking: the upgrade writes whole files through them.
    const int fd = accept4(mDataListen, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (fd < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            perror("connfd<0");
        return;
    }
    char ip[INET_ADDRSTRLEN];
    peerText(peer, ip);
    if (ip[0])
        LOGD("对方IP：%s\n\r", ip);
    if (!ip[0] || mEndpoints.engineAddress != ip) {
        LOGE("data connection from %s refused\n\r", ip[0] ? ip : "unknown peer");
        close(fd);
        return;
    }
    if (mData[kEngineBoard] >= 0) {
        LOGD("strange that client %d had socken\n\r", kEngineBoard);
        dropData(kEngineBoard);
    }
    std::lock_guard<std::mutex> lock(mDataLock);
    mData[kEngineBoard] = fd;
    LOGD("client  %d data connected %d\n\r", kEngineBoard, fd);
}

void DataThread::receive(int board) {
    const int fd = mControl[board];
    unsigned char* buffer = mBuffer.get();
    for (;;) {
        const ssize_t got = recv(fd, buffer + mHeld, size_t(wire::kReceiveBufferSize - mHeld), 0);
        if (got > 0) {
            if (mHeld == 0)
                mMessageStartMs = nowMs();
            mHeld += int(got);
            const int whole = wire::framedLength(buffer, mHeld);
            if (whole < 0) {
                dropBadLength(board);
                return;
            }
            if (whole > 0) {
                deliver(board, whole);
                return;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // The rest of the message comes with a later event; the time bound is in run().
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (got == 0)
            LOGD("client %d has shut off\n\r", board);
        else if (errno == ECONNRESET)
            LOGD("client %d send out RST\n\r", board);
        else
            LOGD("client %d unrecovable error\n\r", board);
        dropBoard(board);
        return;
    }
}

// A length word below a command message or beyond the buffer can never be satisfied.
void DataThread::dropBadLength(int board) {
    LOGE("client %d bad length %u, close connection\n\r", board, lengthWord(mBuffer.get()));
    dropBoard(board);
}

// Every whole message of the read goes out in one call; a message cut by the end of the
// read stays in the buffer as the start of the next one.
void DataThread::deliver(int board, int whole) {
    unsigned char* buffer = mBuffer.get();
    const int rest = mHeld - whole;
    mHeld = 0;
    if (ReceiveCallback callback = mReceive)
        callback(buffer, whole, board);
    if (rest > 0) {
        memmove(buffer, buffer + whole, size_t(rest));
        mHeld = rest;
        mMessageStartMs = nowMs();
        if (wire::framedLength(buffer, mHeld) < 0)
            dropBadLength(board);
    }
}

void DataThread::handleIncomplete(long long now) {
    const int length = mHeld >= 4 ? int(lengthWord(mBuffer.get())) : 0;
    LOGE("client %d message incomplete after %lld ms (%d of %d bytes), close connection\n\r",
         kEngineBoard, now - mMessageStartMs, mHeld, length);
    dropBoard(kEngineBoard);
}

void DataThread::handleSilence() {
    LOGD("select timeout\n\r");
    usleep(50 * 1000);
    get_client_ip(0);
    if (mControl[kEngineBoard] >= 0) {
        LOGD("network issue close connection %d\n\r", kEngineBoard);
        dropControl(kEngineBoard);
    }
    if (mData[kEngineBoard] >= 0) {
        LOGD("network issue close data connection %d\n\r", kEngineBoard);
        dropData(kEngineBoard);
    }
}

void DataThread::addStranger(int fd) {
    if (mStrangerCount == kMaxStrangers) {
        const int oldest = mStrangers[0];
        LOGE("too many connections from other peers, close %d\n\r", oldest);
        closeStranger(oldest);
    }
    mStrangers[mStrangerCount++] = fd;
}

bool DataThread::isStranger(int fd) const {
    return std::find(mStrangers, mStrangers + mStrangerCount, fd) != mStrangers + mStrangerCount;
}

bool DataThread::closeStranger(int fd) {
    for (int i = 0; i < mStrangerCount; ++i) {
        if (mStrangers[i] != fd)
            continue;
        memmove(mStrangers + i, mStrangers + i + 1, sizeof(int) * size_t(mStrangerCount - i - 1));
        --mStrangerCount;
        epoll_ctl(mEpoll, EPOLL_CTL_DEL, fd, nullptr);
        close(fd);
        return true;
    }
    return false;
}

// Shutting down first wakes a sender that waits on the socket, so the lock comes free.
void DataThread::dropControl(int board) {
    const int fd = mControl[board];
    if (fd < 0)
        return;
    epoll_ctl(mEpoll, EPOLL_CTL_DEL, fd, nullptr);
    shutdown(fd, SHUT_RDWR);
    std::lock_guard<std::mutex> lock(mControlLock);
    close(fd);
    mControl[board] = -1;
    mHeld = 0;
}

void DataThread::dropData(int board) {
    const int fd = mData[board];
    if (fd < 0)
        return;
    shutdown(fd, SHUT_RDWR);
    std::lock_guard<std::mutex> lock(mDataLock);
    close(fd);
    mData[board] = -1;
}

void DataThread::dropBoard(int board) {
    dropControl(board);
    dropData(board);
}

void DataThread::closeAll() {
    dropBoard(kEngineBoard);
    while (mStrangerCount > 0)
        closeStranger(mStrangers[0]);
    for (int* fd : {&mControlListen, &mDataListen, &mWake, &mEpoll}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

int DataThread::send(int board, const void* buf, int len) {
    if (board < 0 || board >= kBoards) {
        LOGD("client %d no socket\n\r", board);
        return -1;
    }
    std::lock_guard<std::mutex> lock(mControlLock);
    const int fd = mControl[board];
    if (fd < 0) {
        LOGD("client %d no socket\n\r", board);
        return -1;
    }
    LOGD("control send %d %d %p\n\r", fd, len, buf);
    return sendAll(
        fd, board, buf, len, kSendStallMs, false, [](int, int n) { LOGE("len<0 %d\n\r", n); },
        [](int) { LOGD("Error %d\n\r", errno); });
}

int DataThread::dataSend(int board, const void* buf, int len) {
    if (board < 0 || board >= kBoards) {
        LOGE("client %d no socket\n\r", board);
        return -1;
    }
    std::lock_guard<std::mutex> lock(mDataLock);
    const int fd = mData[board];
    if (fd < 0) {
        LOGE("client %d no socket\n\r", board);
        return -1;
    }
    return sendAll(
        fd, board, buf, len, mDataStallMs, true,
        [](int b, int n) { LOGE("n %d len<0 %d\n\r", b, n); },
        [](int b) { LOGD("Error %d n %d\n\r", errno, b); });
}

DataServer::DataServer() : DataServer(configuredEndpoints()) {}

DataServer::DataServer(LinkEndpoints endpoints) : mThread(new DataThread(std::move(endpoints))) {}

DataServer::~DataServer() {
    mThread->stop();
    delete mThread;
}

bool DataThread::connected(int board) {
    if (board < 0 || board >= kBoards)
        return false;
    std::lock_guard<std::mutex> lock(mControlLock);
    return mControl[board] >= 0;
}

int DataServer::init(ReceiveCallback receive, ConnectCallback connect) {
    mThread->setCallbacks(receive, connect);
    return 0;
}

int DataServer::start() {
    LOGD("DataThread::start() Starting...\n\r");
    return mThread->start();
}

void DataServer::stop() {
    mThread->stop();
}

int DataServer::send(int board, const void* buf, int len) {
    return mThread->send(board, buf, len);
}

int DataServer::dataSend(int board, const void* buf, int len) {
    return mThread->dataSend(board, buf, len);
}

bool DataServer::connected(int board) {
    return mThread->connected(board);
}
