// Export of the results journal to a stick, as the upgrade monitor runs it: a journal of
// tester records (every tester column filled) under a scratch root, a directory-backed stick
// holding only the results marker, one add event. Prints the time, the CSV's size and the
// process's peak resident memory.
//   bench_results_export [--records N]   (default 100000)

#include "platform/platform.h"
#include "results/reader.h"
#include "results/schema.h"
#include "upgrade/upgrade.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

bool fillJournal(const QString& file, int records) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-fill");
        db.setDatabaseName(file);
        QString error;
        ok = db.open() && results::ensureSchema(db, &error);
        QSqlQuery q(db);
        ok =
            ok && q.exec("PRAGMA journal_mode=WAL") &&
            q.exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < %1) INSERT INTO results (panel_time, engine_time, cabinet, "
                           "ports, machine_type, board_model, machine_variant, mode, layout, port, "
                           "status, verdict, result_key, capacity_bytes, file_system, write_speed, "
                           "read_speed, write_time_ms, read_time_ms, bad_bytes, grade_index, "
                           "grade_colour, engine_version, panel_version) SELECT "
                           "strftime('%Y-%m-%dT%H:%M:%S+08:00', 1735689600 + i * 7, 'unixepoch'), "
                           "1735660800 + i * 7, 'cabinet-07', 48, 0, 3, 0, 0, 'tester', "
                           "1 + i % 48, CASE WHEN i % 9 = 0 THEN 5 ELSE 3 END, "
                           "CASE WHEN i % 9 = 0 THEN 'fail' ELSE 'pass' END, "
                           "CASE WHEN i % 9 = 0 THEN 'write_error' ELSE 'ok' END, "
                           "15931539456 + i % 1000 * 512, 'FAT32', 20971520.0 + i % 977, "
                           "31457280.0 + i % 991 / 4.0, 780000 + i % 5000, 520000 + i % 4000, "
                           "i % 9 * 4096, 1 + i % 9, 'b3ffe6', '24061501', '312504' FROM n")
                       .arg(records));
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-fill");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf("--records");
    const int records = at > 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : 100000;

    QTemporaryDir root;
    h2::setPlatform(h2::makeDesktopPlatform(root.path().toStdString()));
    QElapsedTimer fill;
    fill.start();
    if (!fillJournal(results::databaseFile(), records)) {
        fprintf(stderr, "cannot fill the journal\n");
        return 1;
    }
    const qint64 fillMs = fill.elapsed();
    const QString stick = root.path() + "/dev/sda1";
    QDir().mkpath(stick);
    QFile(stick + "/h2-results").open(QIODevice::WriteOnly);

    UpgradeThread monitor;
    monitor.setPause([](unsigned) {});
    int finalPercent = 0, finalState = 0;
    monitor.setStepObserver([&](int percent, int state) {
        finalPercent = percent;
        finalState = state;
    });
    const QByteArray add =
        "add@/devices/platform/soc/1c1a000.usb/usb1/1-1/1-1:1.0/host0/target0:0:0/0:0:0:0/"
        "block/sda";
    QElapsedTimer timer;
    timer.start();
    monitor.handleEvent(add.constData(), size_t(add.size()));
    const qint64 ms = timer.elapsed();

    const QFileInfoList csv = QDir(stick).entryInfoList({"results-*.csv"}, QDir::Files);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    fflush(stdout);
    fprintf(stderr,
            "records %d (filled in %lld ms), export %lld ms, csv %lld bytes, final step %d,%d, "
            "peak RSS %ld KiB\n",
            records, fillMs, ms, csv.size() == 1 ? csv[0].size() : -1LL, finalPercent, finalState,
            usage.ru_maxrss);
    return csv.size() == 1 && finalState == upgrade::Finished ? 0 : 1;
}
