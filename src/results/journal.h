#pragma once
// The results journal: every finished device, once, in an SQLite database. The GUI thread
// finds the tick's finished ports and hands their records over; a writer thread that owns
// its own connection commits each tick in one transaction (WAL, synchronous FULL, so a
// record committed survives the cabinet being switched off at the wall), keeps the table
// within its cap and serves the fleet publisher.

#include "results/finish_detector.h"
#include "results/result_source.h"

#include <QObject>
#include <QThread>
#include <QVector>
#include <memory>

namespace results {

inline constexpr qint64 kDefaultCap = 1000000;

class JournalWriter;

class Journal final : public QObject, public ResultSource {
    Q_OBJECT
public:
    // Opens (or creates) the database; null with a message when it cannot.
    static std::unique_ptr<Journal> open(const QString& file, QString* error);
    ~Journal() override;

    // One window tick: the ports that finished since the last one go to the writer.
    void observeTick(Layout layout, const StatusBlock& block, const SettingRecord& setting,
                     const std::vector<PortRef>& ports);
    // Hands finished records to the writer (one transaction), without waiting.
    void append(std::vector<ResultRecord> records);
    // The most records kept; older ones are pruned after a commit.
    void setCap(qint64 cap);
    // Returns once everything handed over so far is done (tests, benchmarks, shutdown).
    void waitIdle();
    FinishDetector& detector() { return mDetector; }

    void fetchUnsent(int limit, QObject* context,
                     std::function<void(std::vector<StoredResult>)> done) override;
    void markSent(std::vector<qint64> ids) override;
    void setKeepUnsent(bool keep) override;

signals:
    // Emitted on the writer thread once a tick's records are committed, with their ids.
    void committed(QVector<qint64> ids);

private:
    Journal();
    template <typename F> void post(F&& job);

    FinishDetector mDetector;
    QThread mThread;
    JournalWriter* mWriter = nullptr; // lives on mThread
};

// The journal the windows record into; null when the panel runs without one.
Journal* activeJournal();
void setActiveJournal(Journal* journal);

// The windows' hook: a no-op without a journal.
inline void observeTick(Layout layout, const StatusBlock& block, const SettingRecord& setting,
                        const std::vector<PortRef>& ports) {
    if (Journal* journal = activeJournal())
        journal->observeTick(layout, block, setting, ports);
}

} // namespace results
