// GUI-thread time the results journal adds to a tick in which every port of the block
// finishes at once (121 records: tester, copier targets, burn-in), through the real journal
// on a temporary root, and the writer's time to commit such a tick.
//
//   bench_journal_tick [--ticks N]
//
// Prints the figures; judges nothing.

#include "platform/platform.h"
#include "results/journal.h"
#include "results/reader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace results;

namespace {

struct Case {
    const char* name;
    Layout layout;
    int mode, machineType;
    uint32_t working, finished;
    int firstIndex;
};

// Every record of the layout in `status`, with figures.
void fillBlock(StatusBlock& block, const Case& c, uint32_t status) {
    memset(block.bytes, 0, sizeof(block.bytes));
    const StatusHeader h{kStatusBlockSize, 0, 0x20240101, 1714557600, 1000, 900, 100, 0};
    memcpy(block.bytes, &h, sizeof(h));
    for (int i = c.firstIndex; i < c.firstIndex + kTesterPorts; ++i) {
        if (c.layout == Layout::Tester) {
            TesterPortRecord r{};
            r = {12000, 0,      0, {}, 0,   {}, 0, 20000000, 30000000,
                 100,   status, 9, 8,  512, 2,  1, 0,        8ull << 30};
            memcpy(block.bytes + testerPortOffset(i), &r, sizeof(r));
        } else if (c.layout == Layout::Copier) {
            const CopierPortRecord r{4000000000, 3000000000, 0, 0, 120000, 0, 25e6f, 1, status};
            if (i < kTesterPorts)
                memcpy(block.bytes + copierPortOffset(i), &r, sizeof(r));
        } else {
            BurninPortRecord r{};
            r.bnStatus = status;
            r.bnCapacityBytes = 1000000000;
            r.bnElapsedSec = 7200;
            memcpy(block.bytes + burninPortOffset(i - c.firstIndex), &r, sizeof(r));
        }
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int ticks = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--ticks") == 0)
            ticks = atoi(argv[i + 1]);
    }
    QTemporaryDir root;
    h2::setPlatform(h2::makeDesktopPlatform(root.path().toStdString()));
    QString error;
    auto journal = Journal::open(databaseFile(), &error);
    if (!journal) {
        fprintf(stderr, "no journal: %s\n", qPrintable(error));
        return 1;
    }
    const Case cases[] = {
        {"tester", Layout::Tester, 0, 0, 1, 3, 1},
        {"copier", Layout::Copier, 3, 1, 4, 6, 1},
        {"burn-in", Layout::Burnin, 7, 0, 11, 14, 0},
    };
    printf("%d ticks each; every port finishes in the timed tick\n", ticks);
    for (const Case& c : cases) {
        SettingRecord s{};
        s.port_count = 121;
        s.mode = c.mode;
        s.machine_type = c.machineType;
        std::vector<PortRef> ports;
        for (int i = c.firstIndex; i < c.firstIndex + kTesterPorts; ++i) {
            if (c.layout != Layout::Copier || i < kTesterPorts)
                ports.push_back({i, i + 1 - c.firstIndex});
        }
        StatusBlock working, finished;
        fillBlock(working, c, c.working);
        fillBlock(finished, c, c.finished);
        std::vector<double> gui, writer, idle;
        QElapsedTimer t;
        for (int tick = 0; tick < ticks; ++tick) {
            journal->observeTick(c.layout, working, s, ports);
            t.start();
            journal->observeTick(c.layout, working, s, ports); // a tick where nothing finishes
            idle.push_back(t.nsecsElapsed() / 1e3);
            t.start();
            journal->observeTick(c.layout, finished, s, ports);
            gui.push_back(t.nsecsElapsed() / 1e3);
            t.start();
            journal->waitIdle();
            writer.push_back(t.nsecsElapsed() / 1e3);
        }
        printf("%-8s %3zu records: GUI thread median %.0f us, max %.0f us; quiet tick median "
               "%.1f us; writer commit median %.1f ms\n",
               c.name, ports.size(), median(gui), *std::max_element(gui.begin(), gui.end()),
               median(idle), median(writer) / 1e3);
    }
    return 0;
}
