// The fleet viewer under a floor of cabinets: a broker of its own on loopback, N cabinets of
// 121 ports, each the panel's own publisher fed by a made-up engine (one status a second,
// the cabinets spread over the second), and one viewer window subscribed. Reports the delay
// from the publisher taking its status to the window's views being told (median, p99), the
// viewer's GUI-thread CPU time per second and the broker's CPU share.
//   bench_fleet_view [--cabinets N] [--seconds S]

#include "fleet/mqtt_client.h"
#include "fleet/publisher.h"
#include "fleet_model.h"
#include "fleet_window.h"
#include "settings/settings.h"
#include "support/local_broker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace fleet;

namespace {

constexpr int kPorts = 121;
constexpr uint32_t kEpoch = 1765080000;

QElapsedTimer gClock; // shared by the publishers and the viewer

// When each cabinet's publisher took the status with a given engine time, by cabinet.
class TakenTimes {
public:
    explicit TakenTimes(int cabinets) : mNs(size_t(cabinets)) {}
    void note(int cabinet, uint32_t engineTime) {
        QMutexLocker lock(&mLock);
        mNs[size_t(cabinet)][engineTime % kKept] = {engineTime, gClock.nsecsElapsed()};
    }
    // -1 when it is no longer kept.
    qint64 at(int cabinet, uint32_t engineTime) {
        QMutexLocker lock(&mLock);
        const auto& [time, ns] = mNs[size_t(cabinet)][engineTime % kKept];
        return time == engineTime ? ns : -1;
    }

private:
    static constexpr uint32_t kKept = 16;
    QMutex mLock;
    std::vector<std::array<std::pair<uint32_t, qint64>, kKept>> mNs;
};

// A cabinet's engine made up: every port cycles through work, a pass or a failure and an
// empty slot; each block is one second on the engine's clock, so every status differs.
class MadeUpEngine {
public:
    MadeUpEngine(int index, TakenTimes* taken) : mIndex(index), mTaken(taken) {}
    StatusBlock next() {
        StatusBlock b{};
        const uint32_t now = kEpoch + ++mSeconds;
        StatusHeader header{};
        header.length = uint32_t(kStatusBlockSize);
        header.engineVersion = 0x312504;
        header.engineTime = now;
        header.totalWorked = int32_t(mSeconds);
        header.totalSuccess = int32_t(mSeconds) - 1;
        header.totalFail = 1;
        memcpy(b.bytes, &header, sizeof header);
        for (int p = 1; p <= kPorts; ++p) {
            const int cycle = int((mSeconds + uint32_t(p * 7 + mIndex)) % 40);
            TesterPortRecord r{};
            r.state = cycle < 30 ? 1 : cycle < 36 ? (p % 10 ? 3 : 4) : 0;
            r.progress = cycle < 30 ? cycle * 100.0 / 30 : 100;
            r.connected = r.state != 0;
            r.capacityBytes = r.totalBytes = 31260000000ull;
            memcpy(b.bytes + testerPortOffset(p), &r, sizeof r);
        }
        mTaken->note(mIndex, now);
        return b;
    }

private:
    const int mIndex;
    TakenTimes* const mTaken;
    uint32_t mSeconds = 0;
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double processCpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> f = stat.readAll().split(')').last().split(' ');
    // After the name: state is field 1 here; utime and stime are fields 12 and 13.
    return (f.value(12).toDouble() + f.value(13).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

// The engine time a status payload carries; 0 when it has none.
uint32_t engineTimeOf(const QByteArray& payload) {
    static const QByteArray key = "\"engine_time\":";
    const int at = payload.indexOf(key);
    if (at < 0)
        return 0;
    const int from = at + key.size();
    int end = from;
    while (end < payload.size() && payload[end] >= '0' && payload[end] <= '9')
        ++end;
    return uint32_t(payload.mid(from, end - from).toULongLong());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int cabinets = 50, seconds = 10;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--cabinets")
            cabinets = args[i + 1].toInt();
        else if (args[i] == "--seconds")
            seconds = args[i + 1].toInt();
    }
    gClock.start();
    LocalBroker broker;
    if (cabinets < 1 || seconds < 1 || !broker.start()) {
        fprintf(stderr, "no broker (or bad options)\n");
        return 1;
    }
    // Every cabinet a 121-port tester in its first work mode.
    SettingRecord setting{};
    settings::factoryReset(setting);
    setting.port_count = kPorts;
    setting.machine_type = 0;
    setting.board_model = 3;
    setting.machine_variant = 0;
    setting.mode = 0;
    commitSetting(setting);

    FleetModel model;
    FleetWindow window(&model, QStringLiteral("127.0.0.1:%1").arg(broker.port()));
    window.show();
    MqttClient viewer({"127.0.0.1", broker.port(), "bench-viewer", {}, {}, {}, {"h2/#"}, {}});
    TakenTimes taken(cabinets);
    std::vector<double> delaysMs;
    bool measuring = false;
    QHash<QString, qint64> pending; // cabinet -> ns its status was taken, until views hear
    QObject::connect(&viewer, &MqttClient::messageArrived, &model,
                     [&](const QString& topic, const QByteArray& payload, qint64 at, bool kept) {
                         model.ingest(topic, payload, at, kept);
                         const auto where = parseTopic(topic);
                         if (!measuring || !where || where->channel != Channel::Status ||
                             pending.contains(where->cabinet))
                             return;
                         const qint64 ns =
                             taken.at(where->cabinet.mid(6).toInt() - 1, engineTimeOf(payload));
                         if (ns >= 0)
                             pending.insert(where->cabinet, ns);
                     });
    // Shown is when the views are told: the window repaints in the same pass of the loop.
    QObject::connect(&model, &FleetModel::dataChanged,
                     [&](const QModelIndex& first, const QModelIndex& last) {
                         const qint64 now = gClock.nsecsElapsed();
                         for (int row = first.row(); row <= last.row(); ++row) {
                             const auto it = pending.constFind(model.cabinetAt(row));
                             if (it != pending.constEnd()) {
                                 delaysMs.push_back((now - *it) / 1e6);
                                 pending.erase(it);
                             }
                         }
                     });
    QString error;
    if (!viewer.start(&error)) {
        fprintf(stderr, "viewer: %s\n", qPrintable(error));
        return 1;
    }

    // The cabinets start spread over one second, as independent cabinets tick.
    std::vector<std::unique_ptr<MadeUpEngine>> engines;
    std::vector<std::unique_ptr<Publisher>> publishers;
    for (int i = 0; i < cabinets; ++i) {
        engines.push_back(std::make_unique<MadeUpEngine>(i, &taken));
        MadeUpEngine* engine = engines.back().get();
        const QString name = QStringLiteral("bench-%1").arg(i + 1, 3, 10, QChar('0'));
        publishers.push_back(std::make_unique<Publisher>(
            BrokerConfig{"127.0.0.1", broker.port(), name, {}, {}, {}}, nullptr,
            [] { return true; }, [engine] { return engine->next(); }));
        QTimer::singleShot(i * 1000 / cabinets, [p = publishers.back().get()] { p->start(); });
    }

    double guiStart = 0, brokerStart = 0;
    qint64 wallStart = 0;
    QTimer::singleShot(4000, [&] { // after the connections and the first statuses
        measuring = true;
        guiStart = threadCpuMs();
        brokerStart = processCpuMs(broker.pid());
        wallStart = gClock.elapsed();
    });
    QTimer::singleShot(4000 + seconds * 1000, [&] {
        const double wall = double(gClock.elapsed() - wallStart);
        const double gui = threadCpuMs() - guiStart;
        const double brokerCpu = processCpuMs(broker.pid()) - brokerStart;
        std::sort(delaysMs.begin(), delaysMs.end());
        const auto at = [&](double q) {
            return delaysMs.empty() ? -1.0 : delaysMs[size_t(q * double(delaysMs.size() - 1))];
        };
        printf("cabinets %d x %d ports, %d s: %zu statuses shown (%d rows)\n", cabinets, kPorts,
               seconds, delaysMs.size(), model.rowCount());
        printf("delay publish -> shown: median %.1f ms, p99 %.1f ms, max %.1f ms\n", at(0.5),
               at(0.99), at(1.0));
        printf("viewer GUI thread: %.1f ms CPU per second\n", gui * 1000.0 / wall);
        printf("broker: %.1f %% of one core\n", brokerCpu * 100.0 / wall);
        app.quit();
    });
    const int rc = app.exec();
    publishers.clear();
    viewer.stop();
    return rc;
}
