#pragma once
// A results journal for a test: the journal's own table, filled with the test's literal
// rows, and read back as CSV by Python's csv module (a reader the panel does not share).

#include "results/schema.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QtTest>

// Creates the journal at `file` and runs the INSERT statements; false on any failure.
inline bool makeJournal(const QString& file, const QStringList& inserts) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-journal");
        db.setDatabaseName(file);
        QString error;
        ok = db.open() && results::ensureSchema(db, &error) && db.transaction();
        QSqlQuery q(db);
        for (const QString& insert : inserts)
            ok = ok && q.exec(insert);
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("test-journal");
    return ok;
}

// The records of a CSV file as Python's csv module reads them: one line per record, fields
// joined by "|", line breaks inside fields shown as "\n"; prefixed by the record count.
inline QStringList readCsv(const QString& file) {
    QProcess python;
    python.start("python3", {"-c",
                             "import csv,sys\n"
                             "rows=list(csv.reader(open(sys.argv[1],newline='',"
                             "encoding='utf-8',errors='strict')))\n"
                             "print(len(rows))\n"
                             "for r in rows: print('|'.join(r).replace('\\r','\\\\r')"
                             ".replace('\\n','\\\\n'))",
                             file});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {"python3 failed: " + QString::fromUtf8(python.readAllStandardError())};
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}
