#include "sim_cabinet.h"

#include "base/version.h"
#include "fleet/fleet_status.h"
#include "results/record.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace fleet {

namespace {

// Tester port states the made-up devices go through.
enum : int { Ready = 0, Busy = 1, Verifying = 2, Passed = 3, WriteError = 4, CapacityLow = 5 };

struct Ending {
    int permille; // share of finished devices
    int status;
    const char* colour;
    const char* verdict;
    const char* key;
};
constexpr Ending kEndings[] = {
    {900, Passed, "green", "pass", "pass"},
    {60, WriteError, "red", "fail", "write_error"},
    {40, CapacityLow, "orange", "fail", "capacity_short"},
};

const QString kEngineVersion = QStringLiteral("5a0c1");

} // namespace

const char* layoutOfMode(int mode) {
    switch (mode) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 12:
    case 13:
        return "copier";
    case 7:
        return "burnin";
    default:
        return "tester";
    }
}

SimCabinet::SimCabinet(const QString& name, int ports, int mode, quint32 seed)
    : mName(name), mMode(mode), mPorts(ports), mRandom(seed) {}

QVector<QByteArray> SimCabinet::step(const QDateTime& now) {
    QVector<QByteArray> finished;
    for (int i = 0; i < mPorts.size(); ++i) {
        Port& p = mPorts[i];
        switch (p.status) {
        case Ready:
            if (mRandom.bounded(100) < 30)
                p = Port{Busy, 0, "grey", 0};
            break;
        case Busy:
        case Verifying:
            p.progress = std::min(100, p.progress + 3 + int(mRandom.bounded(10)));
            p.status = p.progress >= 50 ? Verifying : Busy;
            if (p.progress == 100)
                finished.append(finish(i, now));
            break;
        default:
            if (--p.hold <= 0)
                p = Port{};
        }
    }
    return finished;
}

QByteArray SimCabinet::finish(int index, const QDateTime& now) {
    Port& p = mPorts[index];
    int draw = int(mRandom.bounded(1000));
    const Ending* end = &kEndings[0];
    for (const Ending& e : kEndings) {
        end = &e;
        if ((draw -= e.permille) < 0)
            break;
    }
    p.status = end->status;
    p.colour = end->colour;
    p.hold = 2 + int(mRandom.bounded(4));
    ++mWorked;
    ++(end->status == Passed ? mSuccess : mFail);

    QJsonObject record;
    for (const results::Column& c : results::kColumns)
        record.insert(QLatin1String(c.name), QJsonValue::Null);
    record["panel_time"] = isoLocalTime(now);
    record["engine_time"] = now.toSecsSinceEpoch();
    record["cabinet"] = mName;
    record["ports"] = mPorts.size();
    record["machine_type"] = 0;
    record["board_model"] = 3;
    record["machine_variant"] = 0;
    record["mode"] = mMode;
    record["layout"] = layoutOfMode(mMode);
    record["port"] = index + 1;
    record["status"] = end->status;
    record["verdict"] = end->verdict;
    record["result_key"] = end->key;
    record["engine_version"] = kEngineVersion;
    record["panel_version"] = hexVersion(kPanelVersion);
    return QJsonDocument(QJsonObject{{"id", mNextId++}, {"record", record}})
        .toJson(QJsonDocument::Compact);
}

QByteArray SimCabinet::statusPayload(const QDateTime& now) const {
    int working = 0, passed = 0, failed = 0;
    QJsonArray ports;
    for (int i = 0; i < mPorts.size(); ++i) {
        const Port& p = mPorts[i];
        working += p.status == Busy || p.status == Verifying;
        passed += p.status == Passed;
        failed += p.status == WriteError || p.status == CapacityLow;
        ports.append(QJsonArray{i + 1, p.status, p.progress, p.colour});
    }
    const QJsonObject status{
        {"cabinet", mName},
        {"time", isoLocalTime(now)},
        {"engine_time", now.toSecsSinceEpoch()},
        {"connected", true},
        {"mode", mMode},
        {"layout", layoutOfMode(mMode)},
        {"profile", QJsonObject{{"ports", mPorts.size()},
                                {"machine_type", 0},
                                {"board_model", 3},
                                {"machine_variant", 0}}},
        {"counters", QJsonObject{{"working", working}, {"passed", passed}, {"failed", failed}}},
        {"totals", QJsonObject{{"worked", mWorked}, {"success", mSuccess}, {"fail", mFail}}},
        {"engine_version", kEngineVersion},
        {"panel_version", hexVersion(kPanelVersion)},
        {"ports", ports},
    };
    return QJsonDocument(status).toJson(QJsonDocument::Compact);
}

} // namespace fleet
