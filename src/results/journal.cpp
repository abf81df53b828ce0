#include "results/journal.h"

#include "base/hand_over.h"
#include "base/log_file.h"
#include "results/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace results {

namespace {
std::atomic<Journal*> gJournal{nullptr};
std::atomic<int> gConnections{0};
} // namespace

Journal* activeJournal() {
    return gJournal.load();
}

void setActiveJournal(Journal* journal) {
    gJournal.store(journal);
}

// Carries a fetch's answer to the asking thread; the connection dies with the asker.
class FetchReply final : public QObject {
    Q_OBJECT
signals:
    void ready();
};

// The journal's database work, on the writer thread only: Qt SQL connections belong to the
// thread that made them.
class JournalWriter final : public QObject {
public:
    std::function<void(QVector<qint64>)> onCommitted;

    bool open(const QString& file, QString* error);
    void close();
    void write(const std::vector<ResultRecord>& records);
    std::vector<StoredResult> fetchUnsent(int limit);
    void markSent(const std::vector<qint64>& ids);
    void setCap(qint64 cap) { mCap = cap; }
    void setKeepUnsent(bool keep) { mKeepUnsent = keep; }

private:
    QSqlDatabase db() const { return QSqlDatabase::database(mName, false); }
    bool run(QSqlQuery& query, const QString& sql);
    qint64 deleteOldest(qint64 count, bool sentOnly);
    void prune();

    QString mName;
    QString mInsert;
    qint64 mCount = -1; // rows in the table; -1 until counted
    qint64 mCap = kDefaultCap;
    bool mKeepUnsent = false;
};

bool JournalWriter::open(const QString& file, QString* error) {
    mName = QStringLiteral("results-journal-%1").arg(gConnections.fetch_add(1));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), mName);
    if (!database.isValid()) {
        *error = QStringLiteral("no SQLite driver");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *error = QStringLiteral("cannot create %1").arg(QFileInfo(file).absolutePath());
        return false;
    }
    database.setDatabaseName(file);
    if (!database.open()) {
        *error = database.lastError().text();
        return false;
    }
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next() ||
        query.value(0).toString() != QLatin1String("wal")) {
        *error = QStringLiteral("no WAL journal: %1").arg(query.lastError().text());
        return false;
    }
    if (!query.exec(QStringLiteral("PRAGMA synchronous=FULL"))) {
        *error = query.lastError().text();
        return false;
    }
    if (!ensureSchema(database, error))
        return false;
    QStringList names, marks;
    for (const Column& c : kColumns) {
        names << QLatin1String(c.name);
        marks << QStringLiteral("?");
    }
    mInsert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(QLatin1String(kTable), names.join(','), marks.join(','));
    return true;
}

void JournalWriter::close() {
    if (mName.isEmpty())
        return;
    db().close();
    QSqlDatabase::removeDatabase(mName);
    mName.clear();
}

bool JournalWriter::run(QSqlQuery& query, const QString& sql) {
    if (query.exec(sql))
        return true;
    LOGE("results journal: %s\n\r", qPrintable(query.lastError().text()));
    return false;
}

void JournalWriter::write(const std::vector<ResultRecord>& records) {
    if (records.empty())
        return;
    QSqlDatabase database = db();
    QVector<qint64> ids;
    ids.reserve(int(records.size()));
    bool ok = database.transaction();
    {
        QSqlQuery insert(database);
        ok = ok && insert.prepare(mInsert);
        for (size_t r = 0; ok && r < records.size(); ++r) {
            for (int i = 0; i < kColumnCount; ++i)
                insert.bindValue(i, records[r].values[i]);
            ok = insert.exec();
            ids.push_back(insert.lastInsertId().toLongLong());
        }
        if (!ok)
            LOGE("results journal: %d records not written: %s\n\r", int(records.size()),
                 qPrintable(insert.lastError().text()));
    }
    if (!ok || !database.commit()) {
        if (ok)
            LOGE("results journal: commit failed: %s\n\r", qPrintable(database.lastError().text()));
        database.rollback();
        return;
    }
    if (mCount >= 0)
        mCount += ids.size();
    if (onCommitted)
        onCommitted(ids);
    prune();
}

qint64 JournalWriter::deleteOldest(qint64 count, bool sentOnly) {
    QSqlQuery query(db());
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE id IN (SELECT id FROM %1 %2 ORDER BY "
                       "id LIMIT %3)")
            .arg(QLatin1String(kTable), sentOnly ? QStringLiteral("WHERE sent = 1") : QString())
            .arg(count);
    if (count <= 0 || !run(query, sql))
        return 0;
    return query.numRowsAffected();
}

void JournalWriter::prune() {
    if (mCount < 0) {
        QSqlQuery query(db());
        if (!run(query, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(kTable))) ||
            !query.next())
            return;
        mCount = query.value(0).toLongLong();
    }
    if (mCount <= mCap)
        return;
    // Down to nine tenths of the cap, so that pruning runs now and then rather than every tick.
    const qint64 excess = mCount - (mCap - mCap / 10);
    if (!mKeepUnsent) {
        const qint64 gone = deleteOldest(excess, false);
        mCount -= gone;
        LOGD("results journal: pruned %lld records, %lld kept\n\r", (long long)gone,
             (long long)mCount);
        return;
    }
    const qint64 gone = deleteOldest(excess, true);
    mCount -= gone;
    if (gone > 0)
        LOGD("results journal: pruned %lld sent records, %lld kept\n\r", (long long)gone,
             (long long)mCount);
    if (mCount > mCap) {
        const qint64 unsent = deleteOldest(mCount - mCap, false);
        mCount -= unsent;
        LOGD("results journal: at its cap of %lld records, dropped the %lld oldest unsent\n\r",
             (long long)mCap, (long long)unsent);
    }
}

std::vector<StoredResult> JournalWriter::fetchUnsent(int limit) {
    std::vector<StoredResult> out;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM %1 WHERE sent = 0 ORDER BY id LIMIT %2")
                        .arg(QLatin1String(kTable))
                        .arg(limit)))
        return out;
    while (query.next()) {
        StoredResult one;
        one.id = query.value(0).toLongLong();
        for (int i = 0; i < kColumnCount; ++i) {
            // Columns follow the id in table order.
            const QVariant value = query.value(i + 1);
            one.record.insert(QLatin1String(kColumns[i].name),
                              value.isNull() ? QJsonValue() : QJsonValue::fromVariant(value));
        }
        out.push_back(std::move(one));
    }
    return out;
}

void JournalWriter::markSent(const std::vector<qint64>& ids) {
    QSqlDatabase database = db();
    if (ids.empty() || !database.transaction())
        return;
    {
        QSqlQuery query(database);
        query.prepare(
            QStringLiteral("UPDATE %1 SET sent = 1 WHERE id = ?").arg(QLatin1String(kTable)));
        for (qint64 id : ids) {
            query.bindValue(0, id);
            if (!query.exec()) {
                LOGE("results journal: %s\n\r", qPrintable(query.lastError().text()));
                break;
            }
        }
    }
    database.commit();
}

Journal::Journal() : mWriter(new JournalWriter) {
    qRegisterMetaType<QVector<qint64>>();
    mThread.setObjectName(QStringLiteral("results-journal"));
    mWriter->moveToThread(&mThread);
    mWriter->onCommitted = [this](QVector<qint64> ids) { emit committed(ids); };
    mThread.start();
}

std::unique_ptr<Journal> Journal::open(const QString& file, QString* error) {
    std::unique_ptr<Journal> journal(new Journal);
    bool opened = false;
    QString why;
    JournalWriter* writer = journal->mWriter;
    h2::runOn(writer, [writer, &file, &why, &opened] { opened = writer->open(file, &why); });
    if (!opened) {
        journal.reset();
        if (error)
            *error = why;
    }
    return journal;
}

Journal::~Journal() {
    JournalWriter* writer = mWriter;
    h2::runOn(writer, [writer] { writer->close(); });
    mThread.quit();
    mThread.wait();
    delete mWriter;
}

template <typename F> void Journal::post(F&& job) {
    h2::postTo(mWriter, std::forward<F>(job));
}

void Journal::observeTick(Layout layout, const StatusBlock& block, const SettingRecord& setting,
                          const std::vector<PortRef>& ports) {
    std::vector<ResultRecord> records = mDetector.observe(layout, block, setting, ports);
    if (!records.empty())
        append(std::move(records));
}

void Journal::append(std::vector<ResultRecord> records) {
    JournalWriter* writer = mWriter;
    post([writer, records = std::move(records)] { writer->write(records); });
}

void Journal::setCap(qint64 cap) {
    JournalWriter* writer = mWriter;
    post([writer, cap] { writer->setCap(cap); });
}

void Journal::waitIdle() {
    h2::runOn(mWriter, [] {});
}

void Journal::fetchUnsent(int limit, QObject* context,
                          std::function<void(std::vector<StoredResult>)> done) {
    if (!context)
        return;
    auto found = std::make_shared<std::vector<StoredResult>>();
    auto* reply = new FetchReply;
    connect(
        reply, &FetchReply::ready, context,
        [found, done] {
            { std::lock_guard<std::mutex> received(h2::handOverMutex()); }
            done(std::move(*found));
        },
        Qt::QueuedConnection);
    reply->moveToThread(&mThread);
    JournalWriter* writer = mWriter;
    post([writer, reply, found, limit] {
        *found = writer->fetchUnsent(limit);
        std::lock_guard<std::mutex> posting(h2::handOverMutex());
        emit reply->ready();
        delete reply;
    });
}

void Journal::markSent(std::vector<qint64> ids) {
    JournalWriter* writer = mWriter;
    post([writer, ids = std::move(ids)] { writer->markSent(ids); });
}

void Journal::setKeepUnsent(bool keep) {
    JournalWriter* writer = mWriter;
    post([writer, keep] { writer->setKeepUnsent(keep); });
}

} // namespace results

#include "journal.moc"
