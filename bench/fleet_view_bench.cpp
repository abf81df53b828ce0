// The fleet viewer under a floor of cabinets: a broker of its own on loopback, N made-up
// cabinets of 121 ports each publishing one status a second (spread over the second), one
// viewer window subscribed. Reports the delay from publish to the viewer's model (median,
// p99; "shown" is when the window's views are told), the viewer's GUI-thread CPU time per
// second and the broker's CPU share.
//   bench_fleet_view [--cabinets N] [--seconds S]

#include "fleet_model.h"
#include "fleet_window.h"
#include "mqtt_client.h"
#include "sim_cabinet.h"
#include "support/local_broker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace fleet;

namespace {

QElapsedTimer gClock; // shared by the publishers and the viewer
QMutex gSentLock;
QHash<QString, qint64> gSent; // cabinet -> ns of its last status publish

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

// The cabinets, each on its own connection, published from a thread of their own.
class Floor : public QObject {
public:
    Floor(int count, quint16 port) {
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("bench-%1").arg(i + 1, 3, 10, QChar('0'));
            mCabinets.push_back(std::make_unique<SimCabinet>(name, 121, 0, quint32(i + 1)));
            ClientSettings s;
            s.broker = {"127.0.0.1", port};
            s.clientId = "bench-" + name;
            s.willTopic = "h2/" + name + "/online";
            mClients.push_back(std::make_unique<MqttClient>(s));
            QString error;
            mClients.back()->start(&error);
        }
    }
    void run(int count) {
        auto* timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, count] { publishNext(count); });
        timer->start(std::max(1, 1000 / count));
    }
    void stop() {
        delete findChild<QTimer*>();
        for (auto& c : mClients)
            c->stop();
    }

private:
    void publishNext(int count) {
        const int i = mNext++ % count;
        SimCabinet& cabinet = *mCabinets[size_t(i)];
        const QDateTime now = QDateTime::currentDateTime();
        cabinet.step(now);
        const QByteArray payload = cabinet.statusPayload(now);
        {
            QMutexLocker lock(&gSentLock);
            gSent[cabinet.name()] = gClock.nsecsElapsed();
        }
        mClients[size_t(i)]->publish("h2/" + cabinet.name() + "/status", payload, 0, true);
    }

    std::vector<std::unique_ptr<SimCabinet>> mCabinets;
    std::vector<std::unique_ptr<MqttClient>> mClients;
    int mNext = 0;
};

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

    FleetModel model;
    FleetWindow window(&model, QStringLiteral("127.0.0.1:%1").arg(broker.port()));
    window.show();
    ClientSettings settings;
    settings.broker = {"127.0.0.1", broker.port()};
    settings.clientId = "bench-viewer";
    settings.subscriptions = QStringList{"h2/#"};
    MqttClient viewer(settings);
    std::vector<double> delaysMs;
    bool measuring = false;
    QHash<QString, qint64> pending; // cabinet -> ns its status was published, until views hear
    QObject::connect(&viewer, &MqttClient::messageArrived, &model,
                     [&](const QString& topic, const QByteArray& payload, qint64 at, bool kept) {
                         model.ingest(topic, payload, at, kept);
                         const QString cabinet = topic.section('/', 1, 1);
                         QMutexLocker lock(&gSentLock);
                         if (measuring && topic.endsWith("/status") && !pending.contains(cabinet))
                             pending.insert(cabinet, gSent.value(cabinet));
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
    viewer.start(&error);

    QThread publishing;
    Floor floor(cabinets, broker.port());
    floor.moveToThread(&publishing);
    publishing.start();
    QMetaObject::invokeMethod(&floor, [&floor, cabinets] { floor.run(cabinets); });

    double guiStart = 0, brokerStart = 0;
    qint64 wallStart = 0;
    QTimer::singleShot(3000, [&] { // after the connections and the first statuses
        measuring = true;
        guiStart = threadCpuMs();
        brokerStart = processCpuMs(broker.pid());
        wallStart = gClock.elapsed();
    });
    QTimer::singleShot(3000 + seconds * 1000, [&] {
        const double wall = double(gClock.elapsed() - wallStart);
        const double gui = threadCpuMs() - guiStart;
        const double brokerCpu = processCpuMs(broker.pid()) - brokerStart;
        std::sort(delaysMs.begin(), delaysMs.end());
        const auto at = [&](double q) {
            return delaysMs.empty() ? -1.0 : delaysMs[size_t(q * (delaysMs.size() - 1))];
        };
        printf("cabinets %d x 121 ports, %d s: %zu statuses shown (%d rows)\n", cabinets, seconds,
               delaysMs.size(), model.rowCount());
        printf("delay publish -> shown: median %.1f ms, p99 %.1f ms, max %.1f ms\n", at(0.5),
               at(0.99), at(1.0));
        printf("viewer GUI thread: %.1f ms CPU per second\n", gui * 1000.0 / wall);
        printf("broker: %.1f %% of one core\n", brokerCpu * 100.0 / wall);
        app.quit();
    });
    const int rc = app.exec();
    QMetaObject::invokeMethod(
        &floor, [&floor] { floor.stop(); }, Qt::BlockingQueuedConnection);
    publishing.quit();
    publishing.wait();
    viewer.stop();
    return rc;
}
