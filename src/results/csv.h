#pragma once
// Results as comma-separated text for spreadsheets: RFC 4180 with UTF-8 and CRLF line ends.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

namespace results {

// One field: empty for null, quoted (quotes doubled) when it holds a comma, a quote or a line
// break. Numbers are written in full, without a thousands separator.
QByteArray csvField(const QVariant& value);
// The fields joined by commas and ended by CRLF, appended to `out`.
void appendCsvRecord(QByteArray& out, const QVector<QVariant>& fields);
// The header record: the column names of the journal in their order.
QByteArray csvHeader();
// "results-<cabinet>-<YYYYMMDD-HHMMSS>.csv"; characters a FAT file name cannot hold become "_".
QString exportFileName(const QString& cabinet, const QDateTime& localTime);

} // namespace results
