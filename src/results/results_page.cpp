#include "results/results_page.h"

#include "base/size_text.h"
#include "burnin/burnin_logic.h"
#include "copier/copier_logic.h"
#include "results/reader.h"
#include "results/schema.h"
#include "tester/mode_title.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace results {

namespace {

const char* const kContext = "ResultsPage";

QString translated(const char* text) {
    return QCoreApplication::translate(kContext, text);
}

// The counts: what each group counts and in which order.
struct CountGroup {
    const char* group;
    const char* where;
    const char* order;
};
const CountGroup kCountGroups[] = {
    {"verdict", "verdict IS NOT NULL", "verdict = 'fail', verdict"},
    {"result_key", "verdict = 'fail' AND result_key IS NOT NULL", "2 DESC, 3 DESC, 1"},
    {"grade_index", "grade_index IS NOT NULL", "1"},
};

// The shown columns: a header, and the SQL that gives the value the model formats.
struct ShownColumn {
    const char* header;
    const char* sql;
};
const ShownColumn kShownColumns[] = {
    {QT_TRANSLATE_NOOP("ResultsPage", "时间"), "replace(substr(panel_time, 6, 14), 'T', ' ')"},
    {QT_TRANSLATE_NOOP("ResultsPage", "端口"), "port"},
    {QT_TRANSLATE_NOOP("ResultsPage", "模式"), "mode"},
    {QT_TRANSLATE_NOOP("ResultsPage", "判定"), "verdict"},
    {QT_TRANSLATE_NOOP("ResultsPage", "结果"), "result_key"},
    {QT_TRANSLATE_NOOP("ResultsPage", "容量"), "capacity_bytes"},
    {QT_TRANSLATE_NOOP("ResultsPage", "写速度"), "write_speed"},
    {QT_TRANSLATE_NOOP("ResultsPage", "读速度"), "read_speed"},
};
enum {
    kModeColumn = 2,
    kVerdictColumn = 3,
    kCapacityColumn = 5,
    kWriteSpeedColumn = 6,
    kReadSpeedColumn = 7
};

const char* const kPass = QT_TRANSLATE_NOOP("ResultsPage", "通过");
const char* const kFail = QT_TRANSLATE_NOOP("ResultsPage", "失败");

QString verdictText(const QString& verdict) {
    return verdict == QLatin1String("pass")   ? translated(kPass)
           : verdict == QLatin1String("fail") ? translated(kFail)
                                              : verdict;
}

// The mode as the window that recorded it names it on its strip.
QString modeText(int mode) {
    if (mode == burnin::kModeBurnin)
        return QStringLiteral("BURNIN");
    if (mode != copier::kModeFormat && copier::modeName(mode))
        return copier::stripModeName(mode);
    return tester::modeName(mode);
}

QString countLabel(const ResultCount& c) {
    if (c.group == QLatin1String("verdict"))
        return verdictText(c.key);
    if (c.group == QLatin1String("grade_index"))
        return translated(QT_TRANSLATE_NOOP("ResultsPage", "容量分选#%1")).arg(c.key);
    return QStringLiteral("  ") + c.key;
}

QElapsedTimer startClock() {
    QElapsedTimer t;
    t.start();
    return t;
}
// Started as the program loads, before start-up runs.
const QElapsedTimer gSinceStart = startClock();

} // namespace

QVector<ResultCount> countResults(const QSqlDatabase& db, const QDate& today,
                                  const QDateTime& runStart) {
    // Times are compared as text: the journal writes ISO 8601 local times, which sort as
    // the moments they name; a day is every time that starts with its date.
    const QString day = today.toString(Qt::ISODate);
    const QString nextDay = today.addDays(1).toString(Qt::ISODate);
    const QString run = runStart.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    const QString from = std::min(day, run);
    QVector<ResultCount> counts;
    for (const CountGroup& g : kCountGroups) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1, SUM(panel_time >= ? AND panel_time < ?), "
                                 "SUM(panel_time >= ?) FROM %2 WHERE panel_time >= ? AND %3 "
                                 "GROUP BY 1 ORDER BY %4")
                      .arg(QLatin1String(g.group), QLatin1String(kTable), QLatin1String(g.where),
                           QLatin1String(g.order)));
        for (const QString& value : {day, nextDay, run, from})
            q.addBindValue(value);
        if (!q.exec())
            return {};
        while (q.next())
            counts.push_back({QLatin1String(g.group), q.value(0).toString(), q.value(1).toInt(),
                              q.value(2).toInt()});
    }
    return counts;
}

QDateTime panelStartTime() {
    return QDateTime::currentDateTime().addMSecs(-gSinceStart.elapsed());
}

void RecentResultsModel::load(const QSqlDatabase& db, int limit) {
    QStringList columns;
    for (const ShownColumn& c : kShownColumns)
        columns << QLatin1String(c.sql);
    setQuery(QStringLiteral("SELECT %1 FROM %2 ORDER BY id DESC LIMIT %3")
                 .arg(columns.join(QStringLiteral(", ")), QLatin1String(kTable))
                 .arg(limit),
             db);
    for (int i = 0; i < int(std::size(kShownColumns)); ++i)
        setHeaderData(i, Qt::Horizontal, translated(kShownColumns[i].header));
}

QVariant RecentResultsModel::data(const QModelIndex& index, int role) const {
    const QVariant value = QSqlQueryModel::data(index, role);
    if (role != Qt::DisplayRole || value.isNull())
        return value;
    switch (index.column()) {
    case kModeColumn:
        return modeText(value.toInt());
    case kVerdictColumn:
        return verdictText(value.toString());
    case kCapacityColumn:
        return getUnitAndValueString2(value.toDouble());
    case kWriteSpeedColumn:
    case kReadSpeedColumn:
        return getUnitAndValueString(value.toDouble()) + QStringLiteral("/s");
    default:
        return value;
    }
}

} // namespace results

ResultsPage::ResultsPage(QWidget* parent)
    : QWidget(parent), mCounts(new QTableWidget(this)), mRecords(new QTableView(this)),
      mModel(new results::RecentResultsModel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mCounts->setObjectName(QStringLiteral("resultCounts"));
    mRecords->setObjectName(QStringLiteral("recentResults"));
    layout->addWidget(mCounts, 1);
    layout->addWidget(mRecords, 1);
    mCounts->setColumnCount(2);
    mCounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mCounts->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    mRecords->setModel(mModel);
    mRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mRecords->verticalHeader()->hide();
    // Rows as tight as the text allows: the page shares a small dialog.
    mRecords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    mCounts->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

ResultsPage::~ResultsPage() {
    mModel->clear(); // its query goes before the connection does
}

void ResultsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void ResultsPage::refresh() {
    mModel->clear();
    mConnection = std::make_unique<results::ReadConnection>(results::databaseFile());
    const QVector<results::ResultCount> counts =
        mConnection->hasTable()
            ? results::countResults(mConnection->database(), QDate::currentDate(), mRunStart)
            : QVector<results::ResultCount>{};
    mCounts->setHorizontalHeaderLabels({tr("今天"), tr("本次运行")});
    mCounts->setRowCount(counts.size());
    QStringList rows;
    for (int i = 0; i < counts.size(); ++i) {
        rows << results::countLabel(counts[i]);
        mCounts->setItem(i, 0, new QTableWidgetItem(QString::number(counts[i].today)));
        mCounts->setItem(i, 1, new QTableWidgetItem(QString::number(counts[i].run)));
    }
    mCounts->setVerticalHeaderLabels(rows);
    if (mConnection->hasTable())
        mModel->load(mConnection->database());
    mRecords->resizeColumnsToContents();
}
