#pragma once
// One row per cabinet, fed with the broker's messages as they arrive. It never sees the
// network: whoever receives hands it (topic, payload, arrival time) on the GUI thread.

#include "fleet_messages.h"

#include <QAbstractTableModel>
#include <QRect>
#include <QSet>
#include <QTimer>
#include <deque>

namespace fleet {

class FleetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColCabinet,
        ColOnline,
        ColMode,
        ColWorking,
        ColPassed,
        ColFailed,
        ColYield,
        ColResults,
        ColLastResult,
        ColAge,
        ColumnCount
    };

    explicit FleetModel(QObject* parent = nullptr);

    // One message from the broker; false when it was ignored (garbage or a repeated record).
    // A retained message may be old news: its status is as old as its own time stamp says.
    bool ingest(const QString& topic, const QByteArray& payload, qint64 arrivalMs,
                bool retained = false);
    // The clock the ages are measured against; refreshes the age column.
    void setNow(qint64 ms);
    // Views hear of changed rows a few times a second, not once per message (a view repaints
    // on every signal); this tells them now.
    void flush();

    int garbageCount() const { return mGarbage; }
    int rowOf(const QString& cabinet) const;
    QString cabinetAt(int row) const;
    QVector<PortCell> ports(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void garbageCountChanged(int count);

private:
    struct Cabinet {
        QString name;
        std::optional<bool> online;
        std::optional<CabinetStatus> status;
        qint64 statusAt = -1;
        int results = 0;
        std::optional<ResultNote> last;
        QSet<qint64> seen;            // record ids already counted
        std::deque<qint64> seenOrder; // oldest first, to bound `seen`
    };

    int position(const QString& cabinet) const; // where it is or would go
    int rowFor(const QString& cabinet);         // adds the row when it is new
    QString text(const Cabinet& cabinet, int column) const;
    void rejectGarbage();
    void changed(int row, int first, int last);

    QVector<Cabinet> mCabinets; // sorted by name
    QTimer mRefresh;
    QRect mDirty; // rows (y) and columns (x) changed since views last heard
    qint64 mNow = 0;
    int mGarbage = 0;
};

} // namespace fleet
