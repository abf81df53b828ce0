// Status blocks per second through the panel's receive path (link thread, framing, receive
// callback into Info) while engine-sim sends back to back over loopback, beside the raw
// loopback TCP throughput of the same sender in the same run, and the allocations made on
// the receive path meanwhile.
//
//   bench_receive [--seconds S] [--rounds N] [--engine-sim PATH]

#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QProcess>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <new>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#ifndef ENGINE_SIM
#define ENGINE_SIM "engine-sim"
#endif

// Every operator new on the link thread is counted while counting is on.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<unsigned long> gLinkThread{0};

void countAllocation() {
    if (gCounting.load(std::memory_order_relaxed) &&
        pthread_self() == gLinkThread.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

void* operator new(size_t size) {
    countAllocation();
    if (void* p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    countAllocation();
    return malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

struct Result {
    double seconds = 0;
    long long bytes = 0;
    double blocksPerSecond() const {
        return seconds > 0 ? bytes / double(kStatusBlockSize) / seconds : 0;
    }
    double megabytesPerSecond() const { return seconds > 0 ? bytes / 1e6 / seconds : 0; }
};

std::string gSim = ENGINE_SIM;
int gSeconds = 3;

// engine-sim sending back to back to 127.0.0.1:port from the engine address.
bool startSender(QProcess& sim, int port) {
    sim.setProcessChannelMode(QProcess::ForwardedChannels);
    sim.start(QString::fromStdString(gSim),
              {"--back-to-back", "--seconds", QString::number(gSeconds), "--control-port",
               QString::number(port)});
    return sim.waitForStarted(5000);
}

// The same sender into a plain blocking receive loop with a 1 MiB buffer.
Result measureRaw() {
    Result result;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        perror("raw listener");
        return result;
    }
    QProcess sim;
    if (!startSender(sim, ntohs(addr.sin_port)))
        return result;
    const int fd = accept(listener, nullptr, nullptr);
    std::vector<char> buffer(1 << 20);
    Clock::time_point first{}, last{};
    for (;;) {
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0)
            break;
        last = Clock::now();
        if (result.bytes == 0)
            first = last;
        result.bytes += n;
    }
    close(fd);
    close(listener);
    sim.waitForFinished(10000);
    result.seconds = std::chrono::duration<double>(last - first).count();
    return result;
}

// What the link thread hands over, counted around the panel's own callback.
std::atomic<long long> gDelivered{0};
std::atomic<long long> gFirstNs{0};
std::atomic<long long> gLastNs{0};

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

int countingReceive(void* data, int length, int board) {
    const long long now = nowNs();
    if (gDelivered.load(std::memory_order_relaxed) == 0) {
        gFirstNs = now;
        gLinkThread = pthread_self();
        gCounting = true; // from the first block on
    }
    gLastNs = now;
    gDelivered.fetch_add(length, std::memory_order_relaxed);
    return server_receive_callback(data, length, board);
}

struct PanelResult : Result {
    long stored = 0;
    long dropped = 0;
    long allocations = 0;
};

PanelResult measurePanel() {
    PanelResult result;
    gDelivered = 0;
    const uint64_t takenBefore = statusBlocksTaken;
    const uint64_t droppedBefore = statusBlocksDropped;
    gAllocations = 0;
    firstRecv = 0;
    DataServer server(LinkEndpoints{"127.0.0.2", 0, 0});
    server.init(countingReceive, server_connect_callback);
    mDataServer = &server;
    if (server.start() != 0)
        return result;
    QProcess sim;
    if (!startSender(sim, server.thread()->controlPort()))
        return result;
    sim.waitForFinished(gSeconds * 1000 + 10000);
    // The sender is done; let the link thread drain what is still in flight.
    long long seen = -1;
    while (seen != gDelivered.load()) {
        seen = gDelivered.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    gCounting = false;
    server.stop();
    mDataServer = nullptr;
    result.bytes = gDelivered;
    result.seconds = (gLastNs - gFirstNs) / 1e9;
    result.stored = long(statusBlocksTaken - takenBefore);
    result.dropped = long(statusBlocksDropped - droppedBefore);
    result.allocations = gAllocations;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rounds = 2;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--seconds") && i + 1 < argc)
            gSeconds = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--engine-sim") && i + 1 < argc)
            gSim = argv[++i];
        else {
            fprintf(stderr, "usage: %s [--seconds S] [--rounds N] [--engine-sim PATH]\n", argv[0]);
            return 2;
        }
    }
    char root[] = "/tmp/h2-bench-XXXXXX";
    if (!mkdtemp(root))
        return 1;
    h2::setPlatform(h2::makeDesktopPlatform(root));

    // The panel logs every over-long delivery; its log goes to a scratch file, not the console.
    const int console = dup(STDOUT_FILENO);
    const std::string logPath = std::string(root) + "/bench.log";
    const int logFile = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Result raw;
    PanelResult panel;
    for (int round = 0; round < rounds; ++round) {
        fflush(stdout);
        dup2(logFile, STDOUT_FILENO);
        const Result r = measureRaw();
        const PanelResult p = measurePanel();
        fflush(stdout);
        dup2(console, STDOUT_FILENO);
        printf("round %d: raw %.0f blocks/s, panel %.0f blocks/s\n", round + 1, r.blocksPerSecond(),
               p.blocksPerSecond());
        if (r.blocksPerSecond() > raw.blocksPerSecond())
            raw = r;
        if (p.blocksPerSecond() > panel.blocksPerSecond())
            panel = p;
    }
    const double ratio =
        raw.blocksPerSecond() > 0 ? panel.blocksPerSecond() / raw.blocksPerSecond() : 0;
    printf("raw loopback TCP     %10.0f blocks/s  %8.1f MB/s\n", raw.blocksPerSecond(),
           raw.megabytesPerSecond());
    printf("panel receive path   %10.0f blocks/s  %8.1f MB/s\n", panel.blocksPerSecond(),
           panel.megabytesPerSecond());
    printf("ratio                %10.2f (goal: at least 0.50)\n", ratio);
    printf("status blocks        %ld taken, %ld superseded in multi-block reads\n", panel.stored,
           panel.dropped);
    printf("allocations          %ld operator new calls on the receive path\n", panel.allocations);
    printf("(best of %d rounds of %d s; panel log in %s)\n", rounds, gSeconds, logPath.c_str());
    return 0;
}
