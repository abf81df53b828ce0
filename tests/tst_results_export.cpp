// Results as the operator takes them away: CSV fields and file names, read back by Python's
// csv module, and the Results page's counts and records for a prepared journal.

#include "results/csv.h"
#include "results/reader.h"
#include "results/results_page.h"
#include "support/results_journal.h"
#include "support/temp_root.h"

#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {
// A journal row: panel time, port, verdict, result key, grade, capacity, write speed.
QString row(const QString& time, int port, const QString& verdict, const QString& key,
            const QString& grade = "NULL", int mode = 0) {
    return QString("INSERT INTO results (panel_time, port, mode, verdict, result_key, grade_index,"
                   " capacity_bytes, write_speed, read_speed) VALUES ('%1', %2, %6, '%3', '%4', %5,"
                   " 16000000000, 20971520.0, 31457280.5)")
        .arg(time)
        .arg(port)
        .arg(verdict, key, grade)
        .arg(mode);
}
} // namespace

class TestResultsExport : public QObject {
    Q_OBJECT

private slots:
    // fields | the record as written | the record as Python reads it back.
    void csvRecords_data() {
        QTest::addColumn<QVariantList>("fields");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("read");
        QTest::newRow("plain") << QVariantList{"abc", 12, qlonglong(64000000000)}
                               << QByteArray("abc,12,64000000000\r\n") << "abc|12|64000000000";
        QTest::newRow("null and empty")
            << QVariantList{QVariant(), "", 0} << QByteArray(",,0\r\n") << "||0";
        QTest::newRow("reals in full")
            << QVariantList{20971520.0, 0.1, 31457280.5, 1e-7}
            << QByteArray("20971520,0.1,31457280.5,1e-07\r\n") << "20971520|0.1|31457280.5|1e-07";
        QTest::newRow("comma") << QVariantList{"a,b", "c"} << QByteArray("\"a,b\",c\r\n")
                               << "a,b|c";
        QTest::newRow("quotes doubled")
            << QVariantList{"say \"hi\"", "\""} << QByteArray("\"say \"\"hi\"\"\",\"\"\"\"\r\n")
            << "say \"hi\"|\"";
        QTest::newRow("line breaks") << QVariantList{"l1\nl2", "cr\r"}
                                     << QByteArray("\"l1\nl2\",\"cr\r\"\r\n") << "l1\\nl2|cr\\r";
        QTest::newRow("spaces kept")
            << QVariantList{" a ", "b "} << QByteArray(" a ,b \r\n") << " a |b ";
        QTest::newRow("UTF-8") << QVariantList{"读速度", "café"}
                               << QByteArray("\xe8\xaf\xbb\xe9\x80\x9f\xe5\xba\xa6,caf\xc3\xa9\r\n")
                               << "读速度|café";
    }
    void csvRecords() {
        QFETCH(QVariantList, fields);
        QFETCH(QByteArray, line);
        QFETCH(QString, read);
        QByteArray out = "x\r\n";
        results::appendCsvRecord(out, fields.toVector());
        QCOMPARE(out, "x\r\n" + line);
        QTemporaryDir dir;
        writeAll(dir.filePath("r.csv"), out);
        QCOMPARE(readCsv(dir.filePath("r.csv")), (QStringList{"2", "x", read}));
    }

    void fileNames() {
        const QDateTime at(QDate(2025, 3, 4), QTime(5, 6, 7));
        QCOMPARE(results::exportFileName("cab-07", at), "results-cab-07-20250304-050607.csv");
        QCOMPARE(results::exportFileName("a/b:c*?\"<>|\\d", at.addSecs(86399)),
                 "results-a_b_c_______d-20250305-050606.csv");
        QCOMPARE(results::exportFileName("", at), "results-cabinet-20250304-050607.csv");
    }

    // Today is 2025-03-04, this run began at noon: records of other days count in neither
    // column; failures by kind, most frequent first; grades in order.
    void counts() {
        QTemporaryDir dir;
        QVERIFY(makeJournal(dir.filePath("j.sqlite"),
                            {row("2025-03-03T23:59:59+08:00", 1, "fail", "write_error", "2"),
                             row("2025-03-04T00:00:00+08:00", 2, "pass", "passed", "1"),
                             row("2025-03-04T11:59:59.999+08:00", 3, "fail", "capacity_short"),
                             row("2025-03-04T12:00:00+08:00", 4, "pass", "passed", "2"),
                             row("2025-03-04T13:30:00+08:00", 5, "fail", "write_error"),
                             row("2025-03-04T23:59:59+08:00", 6, "fail", "write_error", "2"),
                             row("2025-03-05T00:00:00+08:00", 7, "pass", "passed", "3")}));
        results::ReadConnection connection(dir.filePath("j.sqlite"));
        QVERIFY(connection.hasTable());
        QStringList got;
        for (const results::ResultCount& c :
             results::countResults(connection.database(), QDate(2025, 3, 4),
                                   QDateTime(QDate(2025, 3, 4), QTime(12, 0))))
            got << QString("%1 %2 %3 %4").arg(c.group, c.key).arg(c.today).arg(c.run);
        QCOMPARE(got, (QStringList{"verdict pass 2 2", "verdict fail 3 2",
                                   "result_key write_error 2 2", "result_key capacity_short 1 0",
                                   "grade_index 1 1 0", "grade_index 2 2 2", "grade_index 3 0 1"}));
    }

    // The page as a dialog shows it: counts with their labels, the newest record first with
    // its figures readable; no journal at all shows an empty page.
    void page() {
        TempRoot root;
        ResultsPage empty;
        empty.refresh();
        QCOMPARE(empty.findChild<QTableWidget*>("resultCounts")->rowCount(), 0);
        QCOMPARE(empty.findChild<QTableView*>("recentResults")->model()->rowCount(), 0);

        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QVERIFY(makeJournal(results::databaseFile(),
                            {row(today + "T08:00:00+08:00", 2, "pass", "passed", "4"),
                             row(today + "T09:10:11+08:00", 17, "fail", "usb2", "NULL", 3)}));
        ResultsPage page;
        page.setRunStart(QDateTime(QDate::currentDate(), QTime(9, 0)));
        page.refresh();
        auto* counts = page.findChild<QTableWidget*>("resultCounts");
        QStringList lines;
        for (int r = 0; r < counts->rowCount(); ++r)
            lines << counts->verticalHeaderItem(r)->text() + ' ' + counts->item(r, 0)->text() +
                         ' ' + counts->item(r, 1)->text();
        QCOMPARE(lines, (QStringList{"通过 1 0", "失败 1 1", "  usb2 1 1", "容量分选#4 1 0"}));
        const QAbstractItemModel* model = page.findChild<QTableView*>("recentResults")->model();
        QCOMPARE(model->rowCount(), 2);
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->headerData(c, Qt::Horizontal).toString() + '=' +
                         model->index(0, c).data().toString();
        QCOMPARE(cells.join(' '),
                 "时间=" + today.mid(5) +
                     " 09:10:11 端口=17 模式=全盘拷贝比较 判定=失败 结果=usb2 容量=14G "
                     "写速度=20M/s 读速度=30M/s");
    }
};

QTEST_MAIN(TestResultsExport)
#include "tst_results_export.moc"
