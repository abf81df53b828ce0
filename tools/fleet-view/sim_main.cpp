// fleet-sim: made-up cabinets publishing to an MQTT broker, for the demo and the tests.

#include "fleet/fleet_config.h"
#include "fleet/mqtt_client.h"
#include "fleet/topics.h"
#include "sim_cabinet.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

using namespace fleet;

namespace {

// Work modes the made-up cabinets take in turn.
constexpr int kModes[] = {0, 3, 2, 10};

struct Publisher {
    std::unique_ptr<SimCabinet> cabinet;
    std::unique_ptr<MqttClient> client;
    QString topic(Channel channel) const { return fleet::topic(cabinet->name(), channel); }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription("Publishes made-up h2 cabinets to an MQTT broker.");
    cli.addHelpOption();
    const QCommandLineOption broker("broker", "Broker (default 127.0.0.1:1883).", "HOST[:PORT]",
                                    "127.0.0.1:1883");
    const QCommandLineOption count("cabinets", "How many cabinets (default 2).", "N", "2");
    const QCommandLineOption ports("ports", "Ports per cabinet (default 48).", "N", "48");
    const QCommandLineOption name("name", "Cabinet names: NAME-01, ... (default sim).", "NAME",
                                  "sim");
    const QCommandLineOption interval("interval", "Milliseconds per status (default 1000).", "MS",
                                      "1000");
    const QCommandLineOption quitAfter("quit-after", "Stop cleanly after MS.", "MS", "0");
    cli.addOptions({broker, count, ports, name, interval, quitAfter});
    cli.process(app);

    QString host;
    int brokerPort = 0;
    const bool brokerOk = parseBrokerOption(cli.value(broker), &host, &brokerPort);
    const int cabinets = cli.value(count).toInt();
    const int portCount = cli.value(ports).toInt();
    const int intervalMs = cli.value(interval).toInt();
    if (!brokerOk || cabinets < 1 || portCount < 1 || portCount > 121 || intervalMs < 10) {
        fprintf(stderr, "fleet-sim: bad option (see --help)\n");
        return 2;
    }

    std::vector<Publisher> publishers(static_cast<size_t>(cabinets));
    for (int i = 0; i < cabinets; ++i) {
        Publisher& p = publishers[size_t(i)];
        const QString cabinet =
            QStringLiteral("%1-%2").arg(cli.value(name)).arg(i + 1, 2, 10, QChar('0'));
        p.cabinet = std::make_unique<SimCabinet>(cabinet, portCount, kModes[i % std::size(kModes)],
                                                 quint32(i + 1));
        ClientSettings settings;
        settings.host = host;
        settings.port = brokerPort;
        settings.clientId =
            QStringLiteral("fleet-sim-%1-%2").arg(cabinet).arg(app.applicationPid());
        settings.willTopic = p.topic(Channel::Online);
        p.client = std::make_unique<MqttClient>(settings);
        MqttClient* client = p.client.get();
        const QString online = p.topic(Channel::Online);
        QObject::connect(
            client, &MqttClient::stateChanged, client,
            [client, online, cabinet](MqttClient::State state, int code, const QString& reason) {
                if (state == MqttClient::State::Connected)
                    client->publish(online, "true", 1, true);
                else
                    fprintf(stderr, "fleet-sim: %s: %s\n", qPrintable(cabinet),
                            qPrintable(stateText(state, code, reason)));
            });
        QString error;
        if (!client->start(&error)) {
            fprintf(stderr, "fleet-sim: %s\n", qPrintable(error));
            return 1;
        }
    }

    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&publishers] {
        const QDateTime now = QDateTime::currentDateTime();
        for (Publisher& p : publishers) {
            for (const QByteArray& result : p.cabinet->step(now))
                p.client->publish(p.topic(Channel::Results), result, 1, false);
            p.client->publish(p.topic(Channel::Status), p.cabinet->statusPayload(now), 0, true);
        }
    });
    tick.start(intervalMs);
    if (const int ms = cli.value(quitAfter).toInt(); ms > 0)
        QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    printf("fleet-sim: %d cabinets of %d ports on %s:%d\n", cabinets, portCount, qPrintable(host),
           brokerPort);
    fflush(stdout);
    const int rc = app.exec();
    for (Publisher& p : publishers) {
        p.client->publish(p.topic(Channel::Online), "false", 1, true);
        p.client->stop();
    }
    return rc;
}
