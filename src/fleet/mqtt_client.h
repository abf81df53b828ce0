#pragma once
// A client of the broker on libmosquitto's own thread, shared by the panel's publisher and the
// viewer. Nothing here waits for the network: connecting, reconnecting with back-off and
// receiving run on the library's thread, and what it reports reaches this object's thread as
// queued calls.

#include <QObject>
#include <QStringList>

struct mosquitto;
struct mosquitto_message;

namespace fleet {

struct MosquittoApi;

struct ClientSettings {
    QString host;
    int port = 1883;
    QString clientId;
    QString user; // empty: anonymous
    QString password;
    QString caFile;            // non-empty: TLS, the broker's certificate checked against this CA
    QStringList subscriptions; // renewed on every connect, QoS 1
    QString willTopic;         // retained "false" when the connection is lost
    // Off: only a broker on 127.0.0.0/8 (development machines, tests, demos). On: any broker,
    // for the board's factory network and a supervisor's viewer that asks for it.
    bool anyBroker = false;
};

class MqttClient : public QObject {
    Q_OBJECT
public:
    enum class State { Connected, Refused, Disconnected };

    explicit MqttClient(ClientSettings settings, QObject* parent = nullptr);
    ~MqttClient() override;

    // Starts the library's thread and the first connection attempt; false (with `error`)
    // only when the settings cannot work at all. Unreachable brokers are retried.
    bool start(QString* error);
    // Queues a message; safe from any thread. False when the library refused it. `mid`
    // receives the id that acknowledged() reports for QoS 1.
    bool publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                 int* mid = nullptr);
    // Disconnects cleanly and ends the library's thread.
    void stop();

signals:
    void messageArrived(const QString& topic, const QByteArray& payload, qint64 arrivalMs,
                        bool retained);
    // Refused: `code` is the broker's refusal; Disconnected: 0 after stop(), else the error.
    // `reason` is the library's text for the code.
    void stateChanged(fleet::MqttClient::State state, int code, const QString& reason);
    // The broker acknowledged the QoS 1 message `mid`.
    void acknowledged(int mid);

private:
    static void onConnect(mosquitto* m, void* self, int rc);
    static void onDisconnect(mosquitto* m, void* self, int rc);
    static void onPublish(mosquitto* m, void* self, int mid);
    static void onMessage(mosquitto* m, void* self, const mosquitto_message* message);
    void report(State state, int code, const QString& reason);

    const ClientSettings mSettings;
    QString mLoadError;
    const MosquittoApi* const mApi; // nullptr: the library could not be loaded
    mosquitto* mMosq = nullptr;
    bool mRunning = false;
};

// "connected", "refused: REASON, retrying", "no connection (REASON), retrying" or
// "disconnected": the client's state for a person.
QString stateText(MqttClient::State state, int code, const QString& reason);

} // namespace fleet
