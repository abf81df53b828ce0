#pragma once
// The cabinet's status as the fleet sees it: one compact JSON object per status block, with
// each port as its frame would show it.

#include "link/status_block.h"
#include "settings/setting_record.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace fleet {

// The name of a frame background ("grey", "green", "red", "orange", "white"); any other sheet
// is a capacity-grade colour the operator chose, "yellow".
QString colourName(const QString& styleSheet);

// Everything of the status but its time, so two can be compared.
QJsonObject statusJson(const QString& cabinet, const StatusBlock& block,
                       const SettingRecord& setting, bool linkUp);

// "2026-12-07T10:00:00+08:00": the time with its offset from UTC, "+00:00" rather than "Z".
QString isoLocalTime(const QDateTime& when);

// The payload: the status with the panel's local time, ISO 8601 with its offset.
QByteArray statusPayload(QJsonObject status, const QDateTime& now);

} // namespace fleet
