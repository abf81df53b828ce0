#include "fleet/publisher.h"

#include "base/log_file.h"
#include "fleet/fleet_status.h"
#include "fleet/mqtt_client.h"
#include "fleet/topics.h"
#include "results/result_source.h"
#include "settings/settings.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QSet>
#include <QTimer>
#include <unordered_map>

namespace fleet {

namespace {
constexpr int kTickMs = 1000;
constexpr qint64 kStatusAtLeastMs = 10000;
constexpr qint64 kUnreachableAfterMs = 5000;
constexpr int kResultBatch = 50;
constexpr int kQosOnce = 1;
} // namespace

StatusBlock globalStatus() {
    StatusBlock block;
    Info.snapshot(block);
    return block;
}

// The connection and its state, on the publisher's thread.
class Client : public QObject {
public:
    Client(const BrokerConfig& config, results::ResultSource* results, std::function<bool()> linkUp,
           StatusSource status)
        : mConfig(config), mResults(results), mLinkUp(std::move(linkUp)),
          mStatus(std::move(status)) {}

    void begin();
    void end();

private:
    void changed(MqttClient::State state, int code, const QString& reason);
    void acknowledged(int mid);
    void tick();
    void publishStatus(bool force);
    void fetchResults();
    void publishResults(const std::vector<results::StoredResult>& records);
    bool publish(Channel channel, const QByteArray& payload, int qos, bool retain,
                 int* mid = nullptr) {
        return mMqtt->publish(topic(mConfig.cabinet, channel), payload, qos, retain, mid);
    }
    // Logs once per change of the connection's condition, not on every retry.
    void condition(const QString& key, bool error, const QString& line);
    QString broker() const { return QStringLiteral("%1:%2").arg(mConfig.host).arg(mConfig.port); }

    const BrokerConfig mConfig;
    results::ResultSource* const mResults;
    const std::function<bool()> mLinkUp;
    const StatusSource mStatus;
    MqttClient* mMqtt = nullptr;
    QTimer* mTimer = nullptr;
    bool mConnected = false;
    QString mCondition;
    QElapsedTimer mSinceStart;
    QElapsedTimer mSinceStatus;
    QJsonObject mLastStatus;
    bool mFetching = false;
    QSet<qint64> mInFlight; // published, not yet acknowledged
    QSet<qint64> mAcked;    // acknowledged, possibly not yet marked when the journal answers
    std::unordered_map<int, qint64> mResultMid; // message id -> record id
};

void Client::begin() {
    mSinceStart.start();
    mMqtt = new MqttClient({mConfig.host,
                            mConfig.port,
                            "h2-" + mConfig.cabinet,
                            mConfig.user,
                            mConfig.password,
                            mConfig.caFile,
                            {},
                            topic(mConfig.cabinet, Channel::Online),
                            mConfig.anyBroker},
                           this);
    connect(mMqtt, &MqttClient::stateChanged, this, &Client::changed);
    connect(mMqtt, &MqttClient::acknowledged, this, &Client::acknowledged);
    QString error;
    if (!mMqtt->start(&error)) {
        LOGE("fleet: %s, not publishing\n\r", qPrintable(error));
        return;
    }
    mTimer = new QTimer(this);
    QObject::connect(mTimer, &QTimer::timeout, this, [this] { tick(); });
    mTimer->start(kTickMs);
}

void Client::end() {
    if (mTimer)
        mTimer->stop();
    if (mConnected)
        publish(Channel::Online, "false", kQosOnce, true);
    mMqtt->stop();
}

void Client::condition(const QString& key, bool error, const QString& line) {
    if (key == mCondition)
        return;
    mCondition = key;
    if (error)
        LOGE("fleet: %s\n\r", qPrintable(line));
    else
        LOGD("fleet: %s\n\r", qPrintable(line));
}

void Client::changed(MqttClient::State state, int code, const QString& reason) {
    if (state == MqttClient::State::Refused) {
        condition(
            QStringLiteral("refused %1").arg(code), true,
            QStringLiteral("broker %1 refused the connection: %2, retrying").arg(broker(), reason));
        return;
    }
    if (state == MqttClient::State::Disconnected) {
        const bool was = mConnected;
        mConnected = false;
        if (code == 0 || mCondition.startsWith(QLatin1String("refused")))
            return;
        if (was)
            condition(QStringLiteral("lost"), true,
                      QStringLiteral("lost the broker %1: %2, retrying").arg(broker(), reason));
        else
            condition(QStringLiteral("error %1").arg(code), true,
                      QStringLiteral("broker %1: %2, retrying").arg(broker(), reason));
        return;
    }
    mConnected = true;
    condition(QStringLiteral("connected"), false,
              QStringLiteral("publishing to %1 as %2").arg(broker(), mConfig.cabinet));
    publish(Channel::Online, "true", kQosOnce, true);
    publishStatus(true);
    // Whatever was in flight goes again; duplicates carry their id.
    mInFlight.clear();
    fetchResults();
}

void Client::acknowledged(int mid) {
    const auto it = mResultMid.find(mid);
    if (it == mResultMid.end())
        return;
    const qint64 id = it->second;
    mResultMid.erase(it);
    mInFlight.remove(id);
    mAcked.insert(id);
    mResults->markSent({id});
    fetchResults();
}

void Client::tick() {
    if (!mConnected && mCondition.isEmpty() && mSinceStart.elapsed() >= kUnreachableAfterMs)
        condition(QStringLiteral("unreachable"), true,
                  QStringLiteral("broker %1 not reachable, retrying").arg(broker()));
    publishStatus(false);
    fetchResults();
}

void Client::publishStatus(bool force) {
    if (!mConnected)
        return;
    // The publisher's own snapshot: the windows' tick takes theirs independently.
    const QJsonObject status =
        statusJson(mConfig.cabinet, mStatus(), snapshotSetting(), mLinkUp && mLinkUp());
    if (!force && status == mLastStatus && mSinceStatus.isValid() &&
        mSinceStatus.elapsed() < kStatusAtLeastMs)
        return;
    if (publish(Channel::Status, statusPayload(status, QDateTime::currentDateTime()), 0, true)) {
        mLastStatus = status;
        mSinceStatus.start();
    }
}

void Client::fetchResults() {
    if (!mResults || !mConnected || mFetching)
        return;
    mFetching = true;
    mResults->fetchUnsent(kResultBatch, this, [this](std::vector<results::StoredResult> records) {
        mFetching = false;
        publishResults(records);
    });
}

void Client::publishResults(const std::vector<results::StoredResult>& records) {
    // An acknowledged id the journal no longer returns is marked: forget it.
    QSet<qint64> stillUnsent;
    for (const results::StoredResult& r : records) {
        if (mAcked.contains(r.id))
            stillUnsent.insert(r.id);
    }
    mAcked = stillUnsent;
    for (const results::StoredResult& r : records) {
        if (!mConnected)
            return;
        if (mInFlight.contains(r.id) || mAcked.contains(r.id))
            continue;
        const QByteArray payload = QJsonDocument(QJsonObject{{"id", r.id}, {"record", r.record}})
                                       .toJson(QJsonDocument::Compact);
        int mid = 0;
        if (!publish(Channel::Results, payload, kQosOnce, false, &mid))
            return;
        mInFlight.insert(r.id);
        mResultMid[mid] = r.id;
    }
}

Publisher::Publisher(const BrokerConfig& config, results::ResultSource* results,
                     std::function<bool()> linkUp, StatusSource status)
    : mClient(new Client(config, results, std::move(linkUp), std::move(status))) {
    mThread.setObjectName(QStringLiteral("fleet"));
    mClient->moveToThread(&mThread);
    // Both run on the publisher's thread, at its start and at its end.
    QObject::connect(&mThread, &QThread::started, mClient, [this] { mClient->begin(); });
    // The client ends where it lived: nothing of it is touched from another thread.
    QObject::connect(&mThread, &QThread::finished, mClient, [this] {
        mClient->end();
        delete mClient;
    });
}

Publisher::~Publisher() {
    if (!mThread.isRunning())
        delete mClient; // never started
    mThread.quit();
    mThread.wait();
}

void Publisher::start() {
    mThread.start();
}

} // namespace fleet
