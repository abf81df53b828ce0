#include "fleet/mqtt_client.h"

#include "base/hand_over.h"
#include "base/loopback.h"
#include "fleet/mosquitto_api.h"

#include <QDateTime>

namespace fleet {

namespace {

constexpr int kKeepAliveS = 30;
constexpr unsigned kRetryFirstS = 1;
constexpr unsigned kRetryMaxS = 30;
const char kFalse[] = "false";

} // namespace

MqttClient::MqttClient(ClientSettings settings, QObject* parent)
    : QObject(parent), mSettings(std::move(settings)), mApi(mosquittoApi(&mLoadError)) {
    if (!mApi)
        return;
    const MosquittoApi& api = *mApi;
    mMosq = api.mosquitto_new(mSettings.clientId.toUtf8().constData(), true, this);
    if (!mMosq)
        return;
    api.mosquitto_connect_callback_set(mMosq, &MqttClient::onConnect);
    api.mosquitto_disconnect_callback_set(mMosq, &MqttClient::onDisconnect);
    api.mosquitto_publish_callback_set(mMosq, &MqttClient::onPublish);
    api.mosquitto_message_callback_set(mMosq, &MqttClient::onMessage);
    api.mosquitto_reconnect_delay_set(mMosq, kRetryFirstS, kRetryMaxS, true);
}

MqttClient::~MqttClient() {
    stop();
    if (mMosq)
        mApi->mosquitto_destroy(mMosq);
}

bool MqttClient::start(QString* error) {
    auto fail = [error](const QString& why) {
        *error = why;
        return false;
    };
    if (!(mSettings.anyBroker || h2::isLoopbackAddress(mSettings.host.toStdString())))
        return fail(QStringLiteral("broker %1 refused: only 127.0.0.0/8 here").arg(mSettings.host));
    if (!mApi)
        return fail(mLoadError);
    if (!mMosq)
        return fail(QStringLiteral("cannot create an MQTT client"));
    const MosquittoApi& api = *mApi;
    const ClientSettings& s = mSettings;
    if (!s.user.isEmpty() &&
        api.mosquitto_username_pw_set(
            mMosq, s.user.toUtf8().constData(),
            s.password.isEmpty() ? nullptr : s.password.toUtf8().constData()) != MOSQ_ERR_SUCCESS)
        return fail(QStringLiteral("user name refused"));
    if (!s.caFile.isEmpty()) {
        const int rc = api.mosquitto_tls_set(mMosq, s.caFile.toLocal8Bit().constData(), nullptr,
                                             nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            return fail(QStringLiteral("CA file %1: %2").arg(s.caFile, api.mosquitto_strerror(rc)));
    }
    if (!s.willTopic.isEmpty() &&
        api.mosquitto_will_set(mMosq, s.willTopic.toUtf8().constData(), int(sizeof kFalse - 1),
                               kFalse, 1, true) != MOSQ_ERR_SUCCESS)
        return fail(QStringLiteral("last will refused"));
    // A broker that is not there yet is not an error: the library's loop keeps trying.
    const int rc =
        api.mosquitto_connect_async(mMosq, s.host.toUtf8().constData(), s.port, kKeepAliveS);
    if (rc != MOSQ_ERR_SUCCESS)
        report(State::Disconnected, rc, QString::fromLatin1(api.mosquitto_strerror(rc)));
    if (api.mosquitto_loop_start(mMosq) != MOSQ_ERR_SUCCESS)
        return fail(QStringLiteral("cannot start the MQTT thread"));
    mRunning = true;
    return true;
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                         int* mid) {
    return mMosq &&
           mApi->mosquitto_publish(mMosq, mid, topic.toUtf8().constData(), int(payload.size()),
                                   payload.constData(), qos, retain) == MOSQ_ERR_SUCCESS;
}

void MqttClient::stop() {
    if (!mRunning)
        return;
    mRunning = false;
    mApi->mosquitto_disconnect(mMosq);
    mApi->mosquitto_loop_stop(mMosq, false);
}

void MqttClient::onConnect(mosquitto* m, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    if (rc != 0) {
        client->report(State::Refused, rc,
                       QString::fromLatin1(client->mApi->mosquitto_connack_string(rc)));
        return;
    }
    for (const QString& topic : client->mSettings.subscriptions)
        client->mApi->mosquitto_subscribe(m, nullptr, topic.toUtf8().constData(), 1);
    client->report(State::Connected, 0, QString());
}

void MqttClient::onDisconnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    client->report(State::Disconnected, rc,
                   QString::fromLatin1(client->mApi->mosquitto_strerror(rc)));
}

void MqttClient::onPublish(mosquitto*, void* self, int mid) {
    auto* client = static_cast<MqttClient*>(self);
    h2::postTo(client, [client, mid] { emit client->acknowledged(mid); });
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    const qint64 arrival = QDateTime::currentMSecsSinceEpoch();
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    h2::postTo(client, [client, topic, payload, arrival, retained] {
        emit client->messageArrived(topic, payload, arrival, retained);
    });
}

void MqttClient::report(State state, int code, const QString& reason) {
    h2::postTo(this, [this, state, code, reason] { emit stateChanged(state, code, reason); });
}

QString stateText(MqttClient::State state, int code, const QString& reason) {
    switch (state) {
    case MqttClient::State::Connected:
        return QStringLiteral("connected");
    case MqttClient::State::Refused:
        return QStringLiteral("refused: %1, retrying").arg(reason);
    case MqttClient::State::Disconnected:
        break;
    }
    return code == 0 ? QStringLiteral("disconnected")
                     : QStringLiteral("no connection (%1), retrying").arg(reason);
}

} // namespace fleet
