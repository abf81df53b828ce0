#pragma once
// Every record of the journal into one CSV file on a mounted stick, oldest first, read in
// pages so that memory stays flat however long the journal is.

#include <QString>
#include <functional>
#include <string>

namespace results {

inline constexpr int kExportPage = 5000;

struct ExportOutcome {
    int records = 0; // written
    QString file;    // the finished file's name, set on success
    QString error;   // empty on success, else what went wrong, for the log
};

// Why a stick write failed, in the operator's terms: read-only, full, or removed.
QString stickFault(int error);

// Writes into `dir` (an absolute path of the panel, a mounted stick) the file `name`: first
// as `name`.part, flushed and synced, then renamed, so that a stick never holds a partial
// file under the final name; a failure removes the partial file where it can. `progress`
// hears (written, total) after every page. The database is only read.
ExportOutcome exportResultsCsv(const QString& databaseFile, const std::string& dir,
                               const QString& name,
                               const std::function<void(int, int)>& progress = nullptr,
                               int pageSize = kExportPage);

} // namespace results
