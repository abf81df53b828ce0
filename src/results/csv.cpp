#include "results/csv.h"

#include "results/record.h"

#include <QLocale>

namespace results {

QByteArray csvField(const QVariant& value) {
    if (value.isNull())
        return QByteArray();
    QByteArray text;
    switch (value.type()) {
    case QVariant::Double:
        // The shortest text that reads back as the same number.
        text = QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    case QVariant::ByteArray:
        text = value.toByteArray();
        break;
    default:
        text = value.toString().toUtf8();
        break;
    }
    if (text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r'))
        return '"' + text.replace('"', "\"\"") + '"';
    return text;
}

void appendCsvRecord(QByteArray& out, const QVector<QVariant>& fields) {
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

QByteArray csvHeader() {
    QVector<QVariant> names;
    for (const Column& c : kColumns)
        names << QVariant(QString::fromLatin1(c.name));
    QByteArray out;
    appendCsvRecord(out, names);
    return out;
}

QString exportFileName(const QString& cabinet, const QDateTime& localTime) {
    QString name = cabinet.isEmpty() ? QStringLiteral("cabinet") : cabinet;
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = '_';
    }
    return QStringLiteral("results-%1-%2.csv")
        .arg(name, localTime.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

} // namespace results
