#pragma once
// The journal's table: an id, the columns of record.h in their order, and whether the fleet
// broker has acknowledged the record.

#include <QSqlDatabase>
#include <QString>

namespace results {

inline constexpr const char* kTable = "results";
// Where the journal lives on the board (under ROOT on the desktop platform): outside the
// install directory, so an upgrade never touches it.
inline constexpr const char* kDatabasePath = "/home/orangepi/results/results.sqlite";

// Creates the table and its indexes if missing. False with a message on failure.
bool ensureSchema(QSqlDatabase& db, QString* error);

} // namespace results
