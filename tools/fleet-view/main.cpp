// fleet-view: every cabinet on an MQTT broker, for a supervisor's desktop.

#include "fleet/fleet_config.h"
#include "fleet/mqtt_client.h"
#include "fleet_model.h"
#include "fleet_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHostInfo>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace fleet;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription("Shows every h2 cabinet that publishes to an MQTT broker.");
    cli.addHelpOption();
    const QCommandLineOption broker("broker", "Broker to subscribe to (default 127.0.0.1:1883).",
                                    "HOST[:PORT]", "127.0.0.1:1883");
    const QCommandLineOption user("user", "User name at the broker.", "NAME");
    const QCommandLineOption password("password", "Password at the broker.", "TEXT");
    const QCommandLineOption caFile("ca-file", "CA certificate: connect with TLS.", "FILE");
    const QCommandLineOption remote("remote", "Allow a broker off this machine (default: "
                                              "127.0.0.0/8 only).");
    const QCommandLineOption screenshot("screenshot", "Write the window to FILE (PNG) and exit.",
                                        "FILE");
    const QCommandLineOption after("screenshot-after", "Delay of --screenshot (default 3000).",
                                   "MS", "3000");
    cli.addOptions({broker, user, password, caFile, remote, screenshot, after});
    cli.process(app);

    ClientSettings settings;
    const bool brokerOk = parseBrokerOption(cli.value(broker), &settings.host, &settings.port);
    bool delayOk = false;
    const int delayMs = cli.value(after).toInt(&delayOk);
    if (!brokerOk || !delayOk || delayMs < 0) {
        fprintf(stderr, "fleet-view: bad --broker or --screenshot-after\n");
        return 2;
    }

    settings.clientId = QStringLiteral("fleet-view-%1-%2")
                            .arg(QHostInfo::localHostName())
                            .arg(QCoreApplication::applicationPid());
    settings.user = cli.value(user);
    settings.password = cli.value(password);
    settings.caFile = cli.value(caFile);
    settings.anyBroker = cli.isSet(remote);
    settings.subscriptions = QStringList{QStringLiteral("h2/#")};

    FleetModel model;
    const QString where = QStringLiteral("%1:%2").arg(settings.host).arg(settings.port);
    FleetWindow window(&model, where);
    MqttClient client(settings);
    QObject::connect(&client, &MqttClient::messageArrived, &model, &FleetModel::ingest);
    QObject::connect(&client, &MqttClient::stateChanged, &window,
                     [&window](MqttClient::State state, int code, const QString& reason) {
                         window.showConnection(state == MqttClient::State::Connected,
                                               stateText(state, code, reason));
                     });
    QString error;
    if (!client.start(&error)) {
        fprintf(stderr, "fleet-view: %s\n", qPrintable(error));
        return 1;
    }
    window.show();

    if (cli.isSet(screenshot)) {
        const QString file = cli.value(screenshot);
        QTimer::singleShot(delayMs, &app, [&window, &app, file] {
            const bool saved = window.grab().save(file, "PNG");
            if (!saved)
                fprintf(stderr, "fleet-view: cannot write %s\n", qPrintable(file));
            app.exit(saved ? 0 : 1);
        });
    }
    const int rc = app.exec();
    client.stop();
    return rc;
}
