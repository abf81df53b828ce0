// Cost of one refresh tick of a main window with every port busy and every figure changing
// from tick to tick, and the window's resident memory: the tester (121 ports by default), the
// copier (121) or the burn-in window (96).
//
//   bench_tester_tick [--window tester|copier|burnin] [--ticks N] [--ports N] [--png FILE]
//                     [--english]
//
// Runs on the offscreen platform unless told otherwise. Prints the figures; judges nothing.

#include "base/heap_tuning.h"
#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "forms/screen.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
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

// The master and every target copying or comparing, amounts and speeds moving.
void fillCopierBlock(StatusBlock& block, int tick) {
    constexpr uint64_t MiB = 1u << 20;
    CopierJobArea job{};
    job.jobBytes = 16384 * MiB;
    job.twoPass = 1;
    memcpy(block.bytes + 32, &job, sizeof(job));
    for (int p = 0; p < kTesterPorts; ++p) {
        CopierPortRecord r{};
        r.capacityBytes = 32768 * MiB;
        r.copiedBytes = uint64_t((tick * 37 + p * 101) % 16000) * MiB;
        r.comparedBytes = uint64_t((tick * 17 + p * 53) % 16000) * MiB;
        r.readTimeMs = 1000 * int64_t(tick + p) * 3;
        r.writeTimeMs = 1000 * int64_t(tick + p) * 5;
        r.readSpeed = float((30 + (tick * 3 + p) % 40) * MiB);
        r.writeSpeed = float((20 + (tick + p) % 30) * MiB);
        r.connectState = 1;
        r.portStatus = p == 0 ? 3 : ((p + tick / 5) % 2 ? 4 : 5);
        memcpy(block.bytes + copierPortOffset(p), &r, sizeof(r));
    }
}

// Every port writing or verifying its pass, figures moving.
void fillBurninBlock(StatusBlock& block, int tick, int ports) {
    constexpr uint64_t MiB = 1u << 20;
    for (int i = 0; i < ports; ++i) {
        BurninPortRecord r{};
        r.busy = 1;
        r.bnStatus = (i + tick / 5) % 2 ? 11 : 12;
        r.bnProgress = (tick * 7 + i) % 100;
        r.bnCapacityBytes = 32768 * MiB;
        r.bnSpeed = float((20 + (tick + i) % 30) * MiB);
        r.bnElapsedSec = 100 + tick * 13 + i;
        r.bnPass = 1 + tick / 50;
        r.bnPassGate = 1;
        r.bnWrittenBytes = uint64_t(tick + 1) * uint64_t(i + 1) * 11 * MiB;
        r.bnVerifiedBytes = uint64_t(tick) * uint64_t(i + 1) * 5 * MiB;
        r.errorCount1 = i % 23 == 0 ? uint32_t(tick) : 0;
        memcpy(block.bytes + burninPortOffset(i), &r, sizeof(r));
    }
}

enum class Kind { Tester, Copier, Burnin };

void fillBlock(Kind kind, StatusBlock& block, int tick, int ports) {
    fillBusyBlock(block, tick); // header and tester area; the others write over the ports
    if (kind == Kind::Copier)
        fillCopierBlock(block, tick);
    else if (kind == Kind::Burnin)
        fillBurninBlock(block, tick, ports);
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
    fixHeapThresholds(); // as the panel does
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i)
        platformGiven |= strcmp(argv[i], "-platform") == 0;
    if (!platformGiven && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int ticks = 300;
    int ports = 0;
    Kind kind = Kind::Tester;
    QString png;
    const QStringList args = app.arguments();
    QTranslator english;
    if (args.contains(QStringLiteral("--english"))) {
        // The catalogue the build made, beside the program's own folder.
        const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
        if (!english.load(QStringLiteral("en.qm"), dir))
            fprintf(stderr, "no en.qm in %s\n", qPrintable(dir));
        QCoreApplication::installTranslator(&english);
    }
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--ticks")
            ticks = std::max(10, args[i + 1].toInt());
        else if (args[i] == "--ports")
            ports = args[i + 1].toInt();
        else if (args[i] == "--png")
            png = args[i + 1];
        else if (args[i] == "--window")
            kind = args[i + 1] == "copier"   ? Kind::Copier
                   : args[i + 1] == "burnin" ? Kind::Burnin
                                             : Kind::Tester;
    }
    if (ports <= 0)
        ports = kind == Kind::Burnin ? 96 : 121;
    const char* name = kind == Kind::Copier   ? "copier"
                       : kind == Kind::Burnin ? "burn-in"
                                              : "tester";

    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = ports;
    mSetting.machine_type = kind == Kind::Copier ? 1 : 0;
    mSetting.mode = kind == Kind::Copier ? 3 : kind == Kind::Burnin ? 7 : 0;
    mSetting.burnin_time = 48;
    mSetting.burnin_cycle = 3;
    const long before = residentKiB();
    QMainWindow* window = nullptr;
    std::function<void()> tickOnce;
    if (kind == Kind::Tester) {
        auto* w = new MainWindow(nullptr, ports);
        showMainWindow(w, h2::ShowAs::Maximized);
        w->start();
        w->stop(); // ticks are driven by hand below
        tickOnce = [w] { w->update(); };
        window = w;
    } else if (kind == Kind::Copier) {
        auto* w = new MainWindowCopy(nullptr, ports);
        showMainWindow(w, h2::ShowAs::Maximized);
        w->start();
        for (QTimer* timer : w->findChildren<QTimer*>())
            timer->stop(); // ticks are driven by hand below
        tickOnce = [w] { w->JobUiChange(); };
        window = w;
    } else {
        auto* w = new MainWindowBurnin(nullptr, ports);
        showMainWindow(w, h2::ShowAs::Maximized);
        tickOnce = [w] { w->JobUiChange(); };
        window = w;
    }
    app.processEvents();
    StatusBlock block;
    fillBlock(kind, block, 0, ports);
    Info.write(0, block.bytes, sizeof(block.bytes));
    tickOnce();
    app.processEvents();
    const long after = residentKiB();

    std::vector<double> tickMs, paintMs, totalMs, wallMs;
    QElapsedTimer clock;
    // Under valgrind --tool=callgrind --collect-atstart=no only the ticks are counted, which
    // measures them repeatably on a busy machine.
    CALLGRIND_TOGGLE_COLLECT;
    for (int tick = 1; tick <= ticks; ++tick) {
        fillBlock(kind, block, tick, ports);
        Info.write(0, block.bytes, sizeof(block.bytes));
        clock.start();
        const int64_t start = threadNs();
        tickOnce();
        const int64_t ticked = threadNs();
        // Layout and painting that the tick caused, as the event loop would run them.
        app.processEvents();
        const int64_t painted = threadNs();
        wallMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        tickMs.push_back(double(ticked - start) / 1e6);
        paintMs.push_back(double(painted - ticked) / 1e6);
        totalMs.push_back(double(painted - start) / 1e6);
    }
    CALLGRIND_TOGGLE_COLLECT;
    printf("%s window, %d ports, %d ticks, every port busy, platform %s\n", name, ports, ticks,
           qPrintable(QGuiApplication::platformName()));
    printf("CPU time of the GUI thread:\n");
    print("tick (update)", figures(tickMs));
    print("layout and paint after it", figures(paintMs));
    print("tick with painting", figures(totalMs));
    print("wall clock, tick with paint", figures(wallMs));
    printf("resident memory: %ld KiB before the window, %ld KiB with it (window %ld KiB), "
           "%ld KiB after the ticks\n",
           before, after, after - before, residentKiB());
    // What the screen shows (the backing store after the partial repaints), not a fresh
    // rendering of the widgets, so that a missed repaint shows in the picture.
    if (!png.isEmpty())
        window->screen()->grabWindow(window->winId()).save(png, "PNG");
    return 0;
}
