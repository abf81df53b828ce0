#include "results/schema.h"

#include "results/record.h"

#include <QSqlError>
#include <QSqlQuery>

namespace results {

bool ensureSchema(QSqlDatabase& db, QString* error) {
    QString create = QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (id INTEGER PRIMARY KEY "
                                    "AUTOINCREMENT")
                         .arg(QLatin1String(kTable));
    for (const Column& c : kColumns)
        create += QStringLiteral(", %1 %2").arg(QLatin1String(c.name), QLatin1String(c.sqlType));
    create += QStringLiteral(", sent INTEGER NOT NULL DEFAULT 0)");
    const QString statements[] = {
        create,
        QStringLiteral("CREATE INDEX IF NOT EXISTS results_unsent ON results(sent, id)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS results_time ON results(panel_time)"),
    };
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace results
