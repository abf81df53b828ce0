#pragma once
// A client of the broker on libmosquitto's own thread. Nothing here waits for the network:
// connecting, reconnecting with back-off and receiving run on the library's thread, and what
// arrives is handed to this object's thread by queued calls.

#include <QObject>
#include <QStringList>
#include <optional>

struct mosquitto;
struct mosquitto_message;

namespace fleet {

struct BrokerAddress {
    QString host;
    int port = 1883;
};

// "HOST" or "HOST:PORT"; nullopt for an empty host or a port outside 1..65535.
std::optional<BrokerAddress> parseBrokerAddress(const QString& text);

struct ClientSettings {
    BrokerAddress broker;
    QString clientId;
    QString user; // empty: anonymous
    QString password;
    QString caFile;            // non-empty: TLS, the broker's certificate checked against this CA
    QStringList subscriptions; // renewed on every connect, QoS 1
    QString willTopic;         // retained "false" when the connection is lost
};

class MqttClient : public QObject {
    Q_OBJECT
public:
    explicit MqttClient(ClientSettings settings, QObject* parent = nullptr);
    ~MqttClient() override;

    // Starts the library's thread and the first connection attempt; false (with `error`)
    // only when the settings cannot work at all. Unreachable brokers are retried.
    bool start(QString* error);
    // Queues a message; safe from any thread. False when the library refused it.
    bool publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Disconnects cleanly and ends the library's thread.
    void stop();

signals:
    void messageArrived(const QString& topic, const QByteArray& payload, qint64 arrivalMs,
                        bool retained);
    void connectionChanged(bool connected, const QString& detail);

private:
    static void onConnect(mosquitto* m, void* self, int rc);
    static void onDisconnect(mosquitto* m, void* self, int rc);
    static void onMessage(mosquitto* m, void* self, const mosquitto_message* message);
    void report(bool connected, const QString& detail);

    ClientSettings mSettings;
    mosquitto* mMosq = nullptr;
    bool mRunning = false;
};

} // namespace fleet
