#include "results/reader.h"

#include "platform/platform.h"
#include "results/schema.h"

#include <QFileInfo>
#include <QSqlError>
#include <atomic>

namespace results {

QString databaseFile() {
    return QString::fromStdString(h2::platform().path(kDatabasePath));
}

ReadConnection::ReadConnection(const QString& file) {
    static std::atomic<int> serial{0};
    mName = QStringLiteral("results-reader-%1").arg(++serial);
    // Opening a missing file read-only would fail anyway; this keeps the log quiet.
    if (!QFileInfo(file).isFile())
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), mName);
    db.setDatabaseName(file);
    // A busy writer holds its lock for one short transaction.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        mError = db.lastError().text();
        return;
    }
    mHasTable = db.tables().contains(QLatin1String(kTable));
}

ReadConnection::~ReadConnection() {
    if (!QSqlDatabase::contains(mName))
        return;
    QSqlDatabase::database(mName, false).close();
    QSqlDatabase::removeDatabase(mName);
}

} // namespace results
