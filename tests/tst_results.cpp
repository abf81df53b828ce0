// The results journal against a real SQLite file: which statuses are results and their keys,
// a finished port recorded once through the windows' ticks, the figures of each layout, the
// retention cap, and the unsent records the fleet publisher reads and marks.

#include "results/journal.h"
#include "results/schema.h"
#include "settings/settings.h"
#include "support/temp_root.h"
#include "support/window_probe.h"

#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QtTest>

using namespace results;

namespace {

std::unique_ptr<Journal> openJournal(const TempRoot& root) {
    QString error;
    auto journal = Journal::open(root.path(kDatabasePath), &error);
    if (!journal)
        qFatal("journal not opened: %s", qPrintable(error));
    journal->detector().setClock(
        [] { return QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), Qt::OffsetFromUTC, 8 * 3600); });
    return journal;
}

std::vector<StoredResult> unsent(Journal& journal, int limit) {
    std::vector<StoredResult> got;
    bool done = false;
    QObject context;
    journal.fetchUnsent(limit, &context, [&](std::vector<StoredResult> r) {
        got = std::move(r);
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 5000))
        qFatal("no answer from the journal");
    return got;
}

// Selected columns of a stored record, "-" for null.
QString columns(const QJsonObject& record, const QString& names) {
    QStringList out;
    for (const QString& name : names.split(' ')) {
        const QJsonValue v = record.value(name);
        out << (v.isNull()     ? "-"
                : v.isString() ? v.toString()
                               : QString::number(v.toDouble(), 'f', 0));
    }
    return out.join(' ');
}

// Ids in the table, read through a connection of the test's own.
QString storedIds(const TempRoot& root) {
    QStringList ids;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(root.path(kDatabasePath));
        db.open();
        QSqlQuery q("SELECT id FROM results ORDER BY id", db);
        while (q.next())
            ids << q.value(0).toString();
    }
    QSqlDatabase::removeDatabase("check");
    return ids.join(',');
}

ResultRecord portRecord(int port) {
    ResultRecord r;
    r.values[columnIndex("port")] = port;
    return r;
}

} // namespace

class Results : public QObject {
    Q_OBJECT
private slots:
    void init() { Info.clear(); }
    void findings_data();
    void findings();
    void recordedOnceThroughTheWindows();
    void figures_data();
    void figures();
    void retention();
    void unsentAndSent();
};

// Layout, mode, status, whether a tester error came late; then verdict and key, or "none".
void Results::findings_data() {
    QTest::addColumn<QString>("row");
    const char* rows[] = {"T 0 3 - pass passed",
                          "T 10 3 - pass erased",
                          "T 0 4 - fail write_error",
                          "T 0 5 - fail capacity_short",
                          "T 2 6 - fail usb2",
                          "T 0 10 - fail write_error",
                          "T 9 10 L fail read_error",
                          "T 8 11 L fail write_error",
                          "T 0 12 - fail corrupted",
                          "T 0 13 - fail read_slow",
                          "T 0 14 - fail write_slow",
                          "T 0 1 - none",
                          "T 0 2 - none",
                          "T 0 9 - none",
                          "T 0 7 - none",
                          "T 1 3 - pass formatted",
                          "T 1 4 - fail format_error",
                          "T 1 5 - fail capacity_short",
                          "T 1 6 - none",
                          "T 11 3 - pass usb3",
                          "T 11 4 - fail usb2",
                          "T 11 5 - fail usb3_fault",
                          "T 11 12 - none",
                          "C 3 6 - pass passed",
                          "C 6 7 - fail copy_error",
                          "C 12 6 - pass match",
                          "C 13 7 - fail mismatch",
                          "C 4 9 - fail capacity_exceeded",
                          "C 5 10 - fail data_exceeded",
                          "C 3 4 - none",
                          "C 3 19 - none",
                          "B 7 13 - fail stopped_with_errors",
                          "B 7 14 - pass passed",
                          "B 7 15 - fail write_stopped",
                          "B 7 17 - none",
                          "B 7 12 - none"};
    for (const char* row : rows)
        QTest::newRow(row) << QString(row);
}

void Results::findings() {
    QFETCH(QString, row);
    const QStringList f = row.split(' ');
    const Layout layout = f[0] == "T"   ? Layout::Tester
                          : f[0] == "C" ? Layout::Copier
                                        : Layout::Burnin;
    const std::optional<Finding> got = findingOf(layout, f[1].toInt(), f[2].toUInt(), f[3] == "L");
    QCOMPARE(got ? QString("%1 %2").arg(verdictName(got->verdict), got->key) : QString("none"),
             row.section(' ', 4));
}

// Through the windows' ticks: the first tick only learns (port 3 passed before start-up),
// redraws and restarted frames record nothing more, a new device on the port does; a layout
// change learns again. Ports are numbered as their frames show them.
void Results::recordedOnceThroughTheWindows() {
    TempRoot root;
    auto journal = openJournal(root);
    setActiveJournal(journal.get());
    setMachine(51, 0);
    {
        Machine w('T');
        w.start();
        setRecord('T', 3, 3, 1);
        setRecord('T', 5, 1, 1);
        w.tick();
        setRecord('T', 5, 12, 1);
        for (int i = 0; i < 3; ++i)
            w.tick();
        w.start();
        w.tick();
        setRecord('T', 5, 1, 1);
        w.tick();
        setRecord('T', 5, 3, 1);
        w.tick();
        w.tick();
    }
    setMachine(32, 3, 2);
    {
        Machine c('C');
        c.start();
        setRecord('C', 2, 6, 1);
        c.tick();
        setRecord('C', 2, 4, 1);
        c.tick();
        setRecord('C', 2, 6, 1);
        c.tick();
        c.tick();
    }
    setActiveJournal(nullptr);
    QStringList got;
    for (const StoredResult& r : unsent(*journal, 10))
        got << QString::number(r.id) + ' ' +
                   columns(r.record, "layout port status result_key panel_time");
    QCOMPARE(got, QStringList({"1 tester 4 12 corrupted 2024-05-01T10:00:00+08:00",
                               "2 tester 4 3 passed 2024-05-01T10:00:00+08:00",
                               "3 copier 3 6 passed 2024-05-01T10:00:00+08:00"}));
}

// Kind, mode, status, tester progress; then the stored columns of its layout, or "none".
void Results::figures_data() {
    QTest::addColumn<QString>("row");
    const QString tester = "layout port verdict result_key capacity_bytes file_system write_speed "
                           "read_speed write_time_ms read_time_ms bad_bytes grade_index "
                           "grade_colour job_bytes";
    const QString copier = "layout port verdict result_key capacity_bytes job_bytes copied_bytes "
                           "compared_bytes write_speed read_speed write_time_ms read_time_ms "
                           "file_system";
    const QString burnin = "layout port verdict result_key capacity_bytes burnin_pass "
                           "error_count1 error_count2 error_count3 first_error_kind write_speed "
                           "elapsed_s smart_c5 smart_05 smart_c3 read_speed";
    const QString rows[] = {
        "T 0 3 100;" + tester +
            ";tester 6 pass passed 8589934592 exFAT 20000000 30000000 12000 "
            "9000 1536 3 #00ff00 -",
        "T 0 10 80;" + tester +
            ";tester 6 fail read_error 8589934592 exFAT 20000000 30000000 "
            "12000 9000 1536 3 #00ff00 -",
        "T 1 3 100;" + tester +
            ";tester 6 pass formatted 8589934592 exFAT 20000000 30000000 "
            "12000 9000 1536 - - -",
        "T 1 6 100;" + tester + ";none",
        "C 3 6 0;" + copier +
            ";copier 6 pass passed 4000000000 3000000000 3000000000 "
            "2999000000 25000000 40000000 120000 75000 -",
        "C 12 7 0;" + copier +
            ";copier 6 fail mismatch 4000000000 3000000000 3000000000 "
            "2999000000 25000000 40000000 120000 75000 -",
        "B 7 13 0;" + burnin +
            ";burnin 6 fail stopped_with_errors 1000000000 3 1 2 4 2 "
            "50000000 7200 5 6 7 -",
        "B 7 17 0;" + burnin + ";none",
    };
    for (const QString& row : rows)
        QTest::newRow(qPrintable(row.section(';', 0, 0))) << row;
}

// One port of each layout finishes after a working tick; the stored figures of its layout.
void Results::figures() {
    QFETCH(QString, row);
    const QStringList f = row.section(';', 0, 0).split(' ');
    const char kind = f[0][0].toLatin1();
    const int mode = f[1].toInt();
    const double progress = f[3].toDouble();
    TempRoot root;
    auto journal = openJournal(root);
    SettingRecord s{};
    s.port_count = 32;
    s.mode = mode;
    s.machine_type = kind == 'C' ? 2 : 0;
    s.after_format = 1;
    s.capfil_test_enable = 1;
    s.capfil_enable[2] = 1;
    s.capfil_low[2] = 8000;
    s.capfil_high[2] = 9000;
    s.capfil_color[2] = 0x00ff00;
    StatusBlock block{};
    const Layout layout = kind == 'T'   ? Layout::Tester
                          : kind == 'C' ? Layout::Copier
                                        : Layout::Burnin;
    const int index = kind == 'T' ? 6 : 5; // every frame shows 6
    const int number = 6;
    auto put = [&](uint32_t state) {
        if (kind == 'T') {
            TesterPortRecord r{};
            r = {12000,    0,     0, {}, 3,   {}, 0, 20000000, 30000000,
                 progress, state, 9, 8,  512, 3,  1, 0,        8ull << 30};
            memcpy(block.bytes + testerPortOffset(index), &r, sizeof(r));
        } else if (kind == 'C') {
            const CopierJobArea job{0, 0, 3000000000, 1, 0};
            memcpy(block.bytes + 32, &job, sizeof(job));
            const CopierPortRecord r{4000000000, 3000000000, 2999000000, 75000, 120000,
                                     40e6f,      25e6f,      1,          state};
            memcpy(block.bytes + copierPortOffset(index), &r, sizeof(r));
        } else {
            BurninPortRecord r{};
            r.bnStatus = state;
            r.bnCapacityBytes = 1000000000;
            r.bnPass = 2;
            r.errorCount1 = 1;
            r.errorCount2 = 2;
            r.errorCount3 = 4;
            r.firstErrorKind = 2;
            r.bnSpeed = 50e6f;
            r.bnElapsedSec = 7200;
            r.smartC5 = 5;
            r.smart05 = 6;
            r.smartC3 = 7;
            memcpy(block.bytes + burninPortOffset(index), &r, sizeof(r));
        }
    };
    const std::vector<PortRef> ports{{index, number}};
    put(kind == 'T' ? 1 : kind == 'C' ? 4 : 11);
    journal->observeTick(layout, block, s, ports);
    put(f[2].toUInt());
    journal->observeTick(layout, block, s, ports);
    const std::vector<StoredResult> got = unsent(*journal, 5);
    QVERIFY(got.size() <= 1);
    QCOMPARE(got.empty() ? QString("none") : columns(got[0].record, row.section(';', 1, 1)),
             row.section(';', 2));
}

// A cap of 10 prunes to 9, oldest first; while unsent records are kept the sent ones go
// first, and unsent ones only once the table would stay above its cap.
void Results::retention() {
    TempRoot root;
    auto journal = openJournal(root);
    journal->setCap(10);
    std::vector<ResultRecord> twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back(portRecord(i));
    journal->append(twelve);
    journal->waitIdle();
    QCOMPARE(storedIds(root), QString("4,5,6,7,8,9,10,11,12"));

    journal->markSent({4, 5, 6});
    journal->setKeepUnsent(true);
    journal->append({portRecord(13), portRecord(14), portRecord(15), portRecord(16)});
    journal->waitIdle(); // 13 rows: the three sent ones go, 10 stay
    QCOMPARE(storedIds(root), QString("7,8,9,10,11,12,13,14,15,16"));
    journal->append({portRecord(17), portRecord(18)});
    journal->waitIdle(); // nothing sent left: the two oldest unsent go to keep the cap
    QCOMPARE(storedIds(root), QString("9,10,11,12,13,14,15,16,17,18"));
}

// Unsent records oldest first with their ids; marked ones are not offered again, unknown ids
// are ignored; an answer for a context that has gone is dropped.
void Results::unsentAndSent() {
    TempRoot root;
    auto journal = openJournal(root);
    journal->append({portRecord(11), portRecord(12), portRecord(13), portRecord(14)});
    auto ids = [](const std::vector<StoredResult>& got) {
        QStringList out;
        for (const StoredResult& r : got)
            out << QString("%1:%2").arg(r.id).arg(r.record.value("port").toInt());
        return out.join(',');
    };
    QCOMPARE(ids(unsent(*journal, 2)), QString("1:11,2:12"));
    journal->markSent({1, 2, 99});
    QCOMPARE(ids(unsent(*journal, 10)), QString("3:13,4:14"));

    bool called = false;
    auto* gone = new QObject;
    journal->fetchUnsent(10, gone, [&](std::vector<StoredResult>) { called = true; });
    delete gone;
    journal->waitIdle();
    QTest::qWait(50);
    QVERIFY(!called);
}

QTEST_MAIN(Results)
#include "tst_results.moc"
