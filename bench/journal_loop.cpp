// Driver of the journal durability run (bench/journal_kill.py): ports of a 121-port tester
// keep finishing through the real journal under ROOT until the process is killed. After each
// commit it prints "committed ID ID ...", one line in one write.
//
//   bench_journal_loop ROOT

#include "platform/platform.h"
#include "results/journal.h"
#include "results/reader.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace results;

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bench_journal_loop ROOT\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    h2::setPlatform(h2::makeDesktopPlatform(argv[1]));
    QString error;
    auto journal = Journal::open(databaseFile(), &error);
    if (!journal) {
        fprintf(stderr, "no journal: %s\n", qPrintable(error));
        return 1;
    }
    journal->setCap(100000000);
    QObject::connect(
        journal.get(), &Journal::committed, journal.get(),
        [](const QVector<qint64>& ids) {
            QByteArray line = "committed";
            for (qint64 id : ids)
                line += ' ' + QByteArray::number(id);
            line += '\n';
            if (write(STDOUT_FILENO, line.constData(), size_t(line.size())) != line.size())
                _exit(3);
        },
        Qt::DirectConnection);
    SettingRecord s{};
    s.port_count = 121;
    std::vector<PortRef> ports;
    for (int i = 1; i <= kTesterPorts; ++i)
        ports.push_back({i, i});
    StatusBlock block{};
    std::mt19937 pick{unsigned(getpid())};
    QTimer tick;
    // Every 10 ms a few ports start or finish.
    QObject::connect(&tick, &QTimer::timeout, [&] {
        for (int n = 0; n < 20; ++n) {
            const int port = 1 + int(pick() % kTesterPorts);
            const size_t at = testerPortOffset(port) + offsetof(TesterPortRecord, state);
            uint32_t state = 0;
            memcpy(&state, block.bytes + at, sizeof(state));
            state = state == 1 ? uint32_t(3 + pick() % 12) : 1;
            memcpy(block.bytes + at, &state, sizeof(state));
        }
        journal->observeTick(Layout::Tester, block, s, ports);
    });
    tick.start(10);
    return app.exec();
}
