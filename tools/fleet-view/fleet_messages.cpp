#include "fleet_messages.h"

#include "../engine-sim/messages.h"
#include "burnin/burnin_logic.h"
#include "forms/frame_styles.h"
#include "tester/frame_logic.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

namespace fleet {

namespace {

// JSON numbers are doubles: an integer field must hold a whole number in range.
bool intOf(const QJsonValue& value, qint64* out, qint64 low = std::numeric_limits<int>::min(),
           qint64 high = std::numeric_limits<int>::max()) {
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (d != std::floor(d) || d < double(low) || d > double(high))
        return false;
    *out = qint64(d);
    return true;
}

bool intOf(const QJsonValue& value, int* out) {
    qint64 wide = 0;
    if (!intOf(value, &wide))
        return false;
    *out = int(wide);
    return true;
}

std::optional<QJsonObject> objectOf(const QByteArray& payload) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

std::optional<PortCell> portOf(const QJsonValue& value) {
    const QJsonArray entry = value.toArray();
    PortCell cell;
    if (!value.isArray() || entry.size() < 4 || !intOf(entry[0], &cell.number) ||
        !intOf(entry[1], &cell.status) || !intOf(entry[2], &cell.progress) || !entry[3].isString())
        return std::nullopt;
    cell.progress = qBound(0, cell.progress, 100);
    cell.colour = entry[3].toString();
    return cell;
}

} // namespace

std::optional<bool> parseOnline(const QByteArray& payload) {
    const QByteArray text = payload.trimmed();
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    return std::nullopt;
}

std::optional<CabinetStatus> parseStatus(const QByteArray& payload) {
    const auto object = objectOf(payload);
    if (!object)
        return std::nullopt;
    CabinetStatus status;
    const QJsonValue counters = object->value("counters");
    const QJsonValue connected = object->value("connected");
    const QJsonValue ports = object->value("ports");
    const QJsonValue time = object->value("time");
    if (!(time.isUndefined() || time.isString()) || !intOf(object->value("mode"), &status.mode) ||
        !counters.isObject() || !intOf(counters["working"], &status.working) ||
        !intOf(counters["passed"], &status.passed) || !intOf(counters["failed"], &status.failed) ||
        !(connected.isUndefined() || connected.isBool()) ||
        !(ports.isUndefined() || ports.isArray()))
        return std::nullopt;
    status.connected = connected.toBool();
    const QDateTime stamp = QDateTime::fromString(time.toString(), Qt::ISODate);
    status.timeMs = stamp.isValid() ? stamp.toMSecsSinceEpoch() : -1;
    for (const QJsonValue& value : ports.toArray()) {
        const auto cell = portOf(value);
        if (!cell)
            return std::nullopt;
        status.ports.append(*cell);
    }
    return status;
}

std::optional<ResultNote> parseResult(const QByteArray& payload) {
    const auto object = objectOf(payload);
    if (!object)
        return std::nullopt;
    ResultNote note;
    const QJsonValue recordValue = object->value("record");
    if (!intOf(object->value("id"), &note.id, 0, std::numeric_limits<qint64>::max()) ||
        !recordValue.isObject())
        return std::nullopt;
    const QJsonObject record = recordValue.toObject();
    const QJsonValue port = record.value("port");
    const QJsonValue key = record.value("result_key");
    const QJsonValue verdict = record.value("verdict");
    auto textOrNull = [](const QJsonValue& v) {
        return v.isString() || v.isNull() || v.isUndefined();
    };
    if (!(port.isNull() || port.isUndefined() || intOf(port, &note.port)) || !textOrNull(key) ||
        !textOrNull(verdict))
        return std::nullopt;
    note.key = key.isString() ? key.toString() : verdict.toString();
    return note;
}

QString modeText(int mode) {
    const QString name = QString::fromLatin1(sim::modeName(mode));
    return name == QLatin1String("unknown") ? QStringLiteral("mode %1").arg(mode) : name;
}

QString yieldText(int passed, int failed) {
    const qint64 finished = qint64(passed) + failed;
    if (finished <= 0 || passed < 0 || failed < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1 %").arg(100.0 * passed / double(finished), 0, 'f', 1);
}

QString ageText(qint64 ms) {
    if (ms < 0)
        return QStringLiteral("-");
    const qint64 s = ms / 1000;
    if (s < 60)
        return QStringLiteral("%1 s").arg(s);
    if (s < 3600)
        return QStringLiteral("%1 min").arg(s / 60);
    return QStringLiteral("%1 h").arg(s / 3600);
}

QString resultText(const ResultNote& note) {
    const QString key = note.key.isEmpty() ? QStringLiteral("-") : note.key;
    return note.port > 0 ? QStringLiteral("port %1: %2").arg(note.port).arg(key) : key;
}

QColor portColour(const QString& name) {
    // The panel's own style sheets, "background:#rrggbb".
    const struct {
        const char* name;
        const char* style;
    } kPanelStyles[] = {
        {"grey", frame_styles::kGrey}, {"green", frame_styles::kGreen}, {"red", frame_styles::kRed},
        {"orange", tester::kOrange},   {"white", burnin::kWhite},
    };
    for (const auto& s : kPanelStyles) {
        if (name == QLatin1String(s.name))
            return QColor(QString::fromLatin1(s.style).section(':', 1));
    }
    // A colour the frames take from elsewhere (a capacity grade): its own name, if it has one.
    return QColor::isValidColor(name) ? QColor(name) : QColor();
}

} // namespace fleet
