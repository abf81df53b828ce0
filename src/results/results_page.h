#pragma once
// The "结果" page every settings dialog shows on a tab of its own: today's and this run's
// counts by verdict, failure kind and capacity grade, and the newest records.
//
// How a dialog uses it: its form carries a QWidget promoted to ResultsPage (header
// "results/results_page.h") on a tab of its own; the page reads the journal each time it is
// shown, on its own read-only connection.

#include <QDateTime>
#include <QSqlQueryModel>
#include <QVector>
#include <QWidget>
#include <memory>

class QTableView;
class QTableWidget;
class QSqlDatabase;

namespace results {

class ReadConnection;

// One line of the counts: group "verdict", "result_key" (failures only) or "grade_index".
struct ResultCount {
    QString group;
    QString key;
    int today = 0;
    int run = 0;
};

// Records of the local day `today` and since `runStart`, by group: verdicts pass then fail,
// failure kinds most frequent first, grades in order. Empty for an unreadable journal.
QVector<ResultCount> countResults(const QSqlDatabase& db, const QDate& today,
                                  const QDateTime& runStart);

// When this panel started, on the clock as it is now (the clock is set after start-up).
QDateTime panelStartTime();

// The newest records with readable figures: sizes and speeds with their units, verdicts in
// the operator's language.
class RecentResultsModel final : public QSqlQueryModel {
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;
    // The newest `limit` records of the journal behind `db`.
    void load(const QSqlDatabase& db, int limit = 200);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

} // namespace results

class ResultsPage final : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPage(QWidget* parent = nullptr);
    ~ResultsPage() override;

    // The run's first moment (for tests; the panel's start by default).
    void setRunStart(const QDateTime& start) { mRunStart = start; }

public slots:
    // Reads the journal again.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTableWidget* mCounts;
    QTableView* mRecords;
    results::RecentResultsModel* mModel;
    std::unique_ptr<results::ReadConnection> mConnection;
    QDateTime mRunStart = results::panelStartTime();
};
