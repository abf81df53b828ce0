#include "fleet/publisher.h"

#include "base/log_file.h"
#include "fleet/fleet_status.h"
#include "link/status_block.h"
#include "results/result_source.h"
#include "settings/settings.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QSet>
#include <QTimer>
#include <memory>
#include <mosquitto.h>
#include <mutex>
#include <unordered_map>

namespace fleet {

namespace {
constexpr int kTickMs = 1000;
constexpr qint64 kStatusAtLeastMs = 10000;
constexpr qint64 kUnreachableAfterMs = 5000;
constexpr int kKeepAliveSeconds = 30;
constexpr int kResultBatch = 50;
constexpr int kQosOnce = 1;

const char* const kTrue = "true";
const char* const kFalse = "false";

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}
} // namespace

QByteArray topic(const QString& cabinet, const char* leaf) {
    return QStringLiteral("h2/%1/%2").arg(cabinet, QLatin1String(leaf)).toUtf8();
}

// The client and its state, on the publisher's thread. The library calls back on its own
// thread; every callback is handed over as a queued signal.
class Client : public QObject {
    Q_OBJECT
public:
    Client(const BrokerConfig& config, results::ResultSource* results, std::function<bool()> linkUp)
        : mConfig(config), mResults(results), mLinkUp(std::move(linkUp)),
          mBlock(std::make_unique<StatusBlock>()) {
        connect(this, &Client::connack, this, &Client::connected, Qt::QueuedConnection);
        connect(this, &Client::closed, this, &Client::disconnected, Qt::QueuedConnection);
        connect(this, &Client::puback, this, &Client::acknowledged, Qt::QueuedConnection);
    }

    void begin();
    void end();

signals:
    void connack(int rc);
    void closed(int rc);
    void puback(int mid);

private:
    static void onConnect(mosquitto*, void* self, int rc) {
        emit static_cast<Client*>(self)->connack(rc);
    }
    static void onDisconnect(mosquitto*, void* self, int rc) {
        emit static_cast<Client*>(self)->closed(rc);
    }
    static void onPublish(mosquitto*, void* self, int mid) {
        emit static_cast<Client*>(self)->puback(mid);
    }

    void connected(int rc);
    void disconnected(int rc);
    void acknowledged(int mid);
    void tick();
    void publishStatus(bool force);
    void fetchResults();
    void publishResults(const std::vector<results::StoredResult>& records);
    int publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain,
                int* mid = nullptr);
    // Logs once per change of the connection's condition, not on every retry.
    void condition(const QString& key, bool error, const QString& line);
    QString broker() const { return QStringLiteral("%1:%2").arg(mConfig.host).arg(mConfig.port); }

    const BrokerConfig mConfig;
    results::ResultSource* const mResults;
    const std::function<bool()> mLinkUp;
    mosquitto* mMosq = nullptr;
    QTimer* mTimer = nullptr;
    bool mConnected = false;
    QString mCondition;
    QElapsedTimer mSinceStart;
    QElapsedTimer mSinceStatus;
    QJsonObject mLastStatus;
    std::unique_ptr<StatusBlock> mBlock;
    bool mFetching = false;
    QSet<qint64> mInFlight; // published, not yet acknowledged
    QSet<qint64> mAcked;    // acknowledged, possibly not yet marked when the journal answers
    std::unordered_map<int, qint64> mResultMid; // message id -> record id
};

void Client::begin() {
    initLibrary();
    mSinceStart.start();
    const QByteArray id = "h2-" + mConfig.cabinet.toUtf8();
    mMosq = mosquitto_new(id.constData(), true, this);
    if (!mMosq) {
        LOGE("fleet: cannot create the broker client\n\r");
        return;
    }
    mosquitto_connect_callback_set(mMosq, onConnect);
    mosquitto_disconnect_callback_set(mMosq, onDisconnect);
    mosquitto_publish_callback_set(mMosq, onPublish);
    mosquitto_reconnect_delay_set(mMosq, 1, 30, true);
    const QByteArray online = topic(mConfig.cabinet, "online");
    mosquitto_will_set(mMosq, online.constData(), int(strlen(kFalse)), kFalse, kQosOnce, true);
    if (!mConfig.user.isEmpty())
        mosquitto_username_pw_set(mMosq, mConfig.user.toUtf8().constData(),
                                  mConfig.password.toUtf8().constData());
    if (!mConfig.caFile.isEmpty()) {
        const int rc = mosquitto_tls_set(mMosq, mConfig.caFile.toUtf8().constData(), nullptr,
                                         nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            LOGE("fleet: CA file %s: %s\n\r", qPrintable(mConfig.caFile), mosquitto_strerror(rc));
    }
    // Connecting happens on the library's thread, so an unreachable broker blocks nobody.
    mosquitto_connect_async(mMosq, mConfig.host.toUtf8().constData(), mConfig.port,
                            kKeepAliveSeconds);
    const int rc = mosquitto_loop_start(mMosq);
    if (rc != MOSQ_ERR_SUCCESS)
        LOGE("fleet: no client thread: %s\n\r", mosquitto_strerror(rc));
    mTimer = new QTimer(this);
    QObject::connect(mTimer, &QTimer::timeout, this, [this] { tick(); });
    mTimer->start(kTickMs);
}

void Client::end() {
    if (mTimer)
        mTimer->stop();
    if (!mMosq)
        return;
    if (mConnected)
        publish(topic(mConfig.cabinet, "online"), kFalse, kQosOnce, true);
    mosquitto_disconnect(mMosq);
    mosquitto_loop_stop(mMosq, false);
    mosquitto_destroy(mMosq);
    mMosq = nullptr;
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

void Client::connected(int rc) {
    if (rc != 0) {
        condition(QStringLiteral("refused %1").arg(rc), true,
                  QStringLiteral("broker %1 refused the connection: %2, retrying")
                      .arg(broker(), QString::fromUtf8(mosquitto_connack_string(rc))));
        return;
    }
    mConnected = true;
    condition(QStringLiteral("connected"), false,
              QStringLiteral("publishing to %1 as %2").arg(broker(), mConfig.cabinet));
    publish(topic(mConfig.cabinet, "online"), kTrue, kQosOnce, true);
    publishStatus(true);
    // Whatever was in flight goes again; duplicates carry their id.
    mInFlight.clear();
    fetchResults();
}

void Client::disconnected(int rc) {
    const bool was = mConnected;
    mConnected = false;
    if (rc == 0 || mCondition.startsWith(QLatin1String("refused")))
        return;
    const QString why = QString::fromUtf8(mosquitto_strerror(rc));
    if (was)
        condition(QStringLiteral("lost"), true,
                  QStringLiteral("lost the broker %1: %2, retrying").arg(broker(), why));
    else
        condition(QStringLiteral("error %1").arg(rc), true,
                  QStringLiteral("broker %1: %2, retrying").arg(broker(), why));
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
    Info.snapshot(*mBlock);
    const QJsonObject status =
        statusJson(mConfig.cabinet, *mBlock, snapshotSetting(), mLinkUp && mLinkUp());
    if (!force && status == mLastStatus && mSinceStatus.isValid() &&
        mSinceStatus.elapsed() < kStatusAtLeastMs)
        return;
    if (publish(topic(mConfig.cabinet, "status"),
                statusPayload(status, QDateTime::currentDateTime()), 0, true) == MOSQ_ERR_SUCCESS) {
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
    const QByteArray resultsTopic = topic(mConfig.cabinet, "results");
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
        if (publish(resultsTopic, payload, kQosOnce, false, &mid) != MOSQ_ERR_SUCCESS)
            return;
        mInFlight.insert(r.id);
        mResultMid[mid] = r.id;
    }
}

int Client::publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain,
                    int* mid) {
    return mosquitto_publish(mMosq, mid, topic.constData(), int(payload.size()),
                             payload.constData(), qos, retain);
}

Publisher::Publisher(const BrokerConfig& config, results::ResultSource* results,
                     std::function<bool()> linkUp)
    : mClient(new Client(config, results, std::move(linkUp))) {
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

#include "publisher.moc"
