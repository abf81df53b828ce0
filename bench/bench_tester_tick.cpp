// Cost of one refresh tick of the 121-port tester window with every port busy and every
// figure changing from tick to tick, and the window's resident memory.
//
//   bench_tester_tick [--ticks N] [--ports N] [--png FILE]
//
// Runs on the offscreen platform unless told otherwise. Prints the figures; judges nothing.

#include "forms/screen.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// Resident set size of this process in KiB.
long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Every port writing or verifying, with figures that differ from the previous tick.
void fillBusyBlock(StatusBlock& block, int tick) {
    memset(block.bytes, 0, sizeof(block.bytes));
    StatusHeader h{};
    h.length = kStatusBlockSize;
    h.engineVersion = 0x20240101;
    h.totalWorked = 1000 + tick;
    h.totalSuccess = 900 + tick;
    h.totalFail = 100;
    memcpy(block.bytes, &h, sizeof(h));
    constexpr uint64_t MiB = 1u << 20;
    for (int p = 1; p <= kTesterPorts; ++p) {
        TesterPortRecord r{};
        r.state = ((p + tick / 5) % 2) ? 1 : 2;
        r.writeTimeMs = 61000 + 1000 * int64_t(tick + p) * 37;
        r.totalBytes = 32768 * MiB;
        r.doneBytes = uint64_t(tick + 1) * uint64_t(p) * 37 * MiB;
        r.writeSpeed = (20 + (tick + p) % 30) * MiB;
        r.readSpeed = (30 + (tick * 3 + p) % 40) * MiB;
        r.progress = (tick * 7 + p) % 100 + 0.5;
        r.readTimeSec = 3000 + tick * 13 + p;
        r.totalSectors = (uint64_t(tick + 1) * p * MiB) >> 9;
        r.badSectors = p % 17 == 0 ? uint64_t(tick) : 0;
        r.connected = 1;
        r.capacityBytes = 32768 * MiB;
        memcpy(block.bytes + testerPortOffset(p), &r, sizeof(r));
    }
}

// CPU time of this thread in nanoseconds: other processes on the machine do not count.
int64_t threadNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Figures {
    double median, mean, p95, max;
};

Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    return {ms[ms.size() / 2], sum / double(ms.size()), ms[ms.size() * 95 / 100], ms.back()};
}

void print(const char* what, const Figures& f) {
    printf("%-28s median %7.3f ms  mean %7.3f ms  p95 %7.3f ms  max %7.3f ms\n", what, f.median,
           f.mean, f.p95, f.max);
}

} // namespace

int main(int argc, char** argv) {
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i)
        platformGiven |= strcmp(argv[i], "-platform") == 0;
    if (!platformGiven && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int ticks = 300;
    int ports = 121;
    QString png;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--ticks")
            ticks = std::max(10, args[i + 1].toInt());
        else if (args[i] == "--ports")
            ports = args[i + 1].toInt();
        else if (args[i] == "--png")
            png = args[i + 1];
    }

    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = ports;
    mSetting.mode = 0;
    const long before = residentKiB();
    auto* window = new MainWindow(nullptr, ports);
    showMainWindow(window, h2::ShowAs::Maximized);
    window->start();
    window->stop(); // ticks are driven by hand below
    app.processEvents();
    StatusBlock block;
    fillBusyBlock(block, 0);
    Info.write(0, block.bytes, sizeof(block.bytes));
    window->update();
    app.processEvents();
    const long after = residentKiB();

    std::vector<double> tickMs, paintMs, totalMs, wallMs;
    QElapsedTimer clock;
    for (int tick = 1; tick <= ticks; ++tick) {
        fillBusyBlock(block, tick);
        Info.write(0, block.bytes, sizeof(block.bytes));
        clock.start();
        const int64_t start = threadNs();
        window->update();
        const int64_t ticked = threadNs();
        // Layout and painting that the tick caused, as the event loop would run them.
        app.processEvents();
        const int64_t painted = threadNs();
        wallMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        tickMs.push_back(double(ticked - start) / 1e6);
        paintMs.push_back(double(painted - ticked) / 1e6);
        totalMs.push_back(double(painted - start) / 1e6);
    }
    printf("tester window, %d ports, %d ticks, every port busy, platform %s\n", ports, ticks,
           qPrintable(QGuiApplication::platformName()));
    printf("CPU time of the GUI thread:\n");
    print("tick (update)", figures(tickMs));
    print("layout and paint after it", figures(paintMs));
    print("tick with painting", figures(totalMs));
    print("wall clock, tick with paint", figures(wallMs));
    printf("resident memory: %ld KiB before the window, %ld KiB with it (window %ld KiB), "
           "%ld KiB after the ticks\n",
           before, after, after - before, residentKiB());
    if (!png.isEmpty())
        window->grab().save(png, "PNG");
    return 0;
}
