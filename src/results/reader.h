#pragma once
// Read-only access to the journal's database. The journal's own thread writes it; every
// reader opens its own connection in the thread that uses it and never writes.

#include <QSqlDatabase>
#include <QString>

namespace results {

// The journal's database file of this machine (under the platform's root).
QString databaseFile();

// A read-only connection of its own, closed and removed with the object. A missing file
// or table reads as an empty journal.
class ReadConnection {
public:
    explicit ReadConnection(const QString& file);
    ~ReadConnection();
    ReadConnection(const ReadConnection&) = delete;
    ReadConnection& operator=(const ReadConnection&) = delete;

    // True when the file could be opened and holds the results table.
    bool hasTable() const { return mHasTable; }
    QSqlDatabase database() const { return QSqlDatabase::database(mName, false); }
    // Why the file could not be read; empty for a missing file.
    QString error() const { return mError; }

private:
    QString mName;
    QString mError;
    bool mHasTable = false;
};

} // namespace results
