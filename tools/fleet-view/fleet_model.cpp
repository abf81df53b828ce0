#include "fleet_model.h"

#include <QBrush>
#include <QPalette>
#include <algorithm>

namespace fleet {

namespace {

// Ids remembered per cabinet: a redelivery comes soon after the first, well within these.
constexpr int kSeenIdLimit = 4096;
constexpr int kRefreshMs = 250;
// A panel publishes at least every 10 s: a status older than this means it is stuck or cut off.
constexpr qint64 kStaleMs = 30000;

const char* const kHeaders[FleetModel::ColumnCount] = {
    "Cabinet", "Online", "Work mode", "Working",     "Passed",
    "Failed",  "Yield",  "Results",   "Last result", "Status age",
};

} // namespace

FleetModel::FleetModel(QObject* parent) : QAbstractTableModel(parent) {
    mRefresh.setSingleShot(true);
    mRefresh.setInterval(kRefreshMs);
    connect(&mRefresh, &QTimer::timeout, this, &FleetModel::flush);
}

bool FleetModel::ingest(const QString& topic, const QByteArray& payload, qint64 arrivalMs,
                        bool retained) {
    const auto where = parseTopic(topic);
    if (!where)
        return false; // someone else's topic under h2/: not ours to judge
    switch (where->channel) {
    case Channel::Online: {
        const auto online = parseOnline(payload);
        if (!online)
            break;
        const int row = rowFor(where->cabinet);
        mCabinets[row].online = *online;
        changed(row, ColOnline, ColOnline);
        return true;
    }
    case Channel::Status: {
        auto status = parseStatus(payload);
        if (!status)
            break;
        const int row = rowFor(where->cabinet);
        Cabinet& c = mCabinets[row];
        c.statusAt =
            retained && status->timeMs >= 0 ? std::min(arrivalMs, status->timeMs) : arrivalMs;
        c.status = std::move(*status);
        changed(row, ColMode, ColAge);
        return true;
    }
    case Channel::Results: {
        const auto note = parseResult(payload);
        if (!note)
            break;
        const int row = rowFor(where->cabinet);
        Cabinet& c = mCabinets[row];
        if (c.seen.contains(note->id))
            return false; // a QoS 1 repeat
        c.seen.insert(note->id);
        c.seenOrder.push_back(note->id);
        if (int(c.seenOrder.size()) > kSeenIdLimit) {
            c.seen.remove(c.seenOrder.front());
            c.seenOrder.pop_front();
        }
        ++c.results;
        c.last = *note;
        changed(row, ColResults, ColLastResult);
        return true;
    }
    }
    rejectGarbage();
    return false;
}

void FleetModel::setNow(qint64 ms) {
    flush();
    mNow = ms;
    if (!mCabinets.isEmpty())
        emit dataChanged(index(0, ColAge), index(mCabinets.size() - 1, ColAge));
}

int FleetModel::position(const QString& cabinet) const {
    const auto it = std::lower_bound(mCabinets.begin(), mCabinets.end(), cabinet,
                                     [](const Cabinet& c, const QString& n) { return c.name < n; });
    return int(it - mCabinets.begin());
}

int FleetModel::rowOf(const QString& cabinet) const {
    const int row = position(cabinet);
    return row < mCabinets.size() && mCabinets[row].name == cabinet ? row : -1;
}

int FleetModel::rowFor(const QString& cabinet) {
    const int row = position(cabinet);
    if (row < mCabinets.size() && mCabinets[row].name == cabinet)
        return row;
    flush(); // the rows it names are about to move
    beginInsertRows(QModelIndex(), row, row);
    Cabinet fresh;
    fresh.name = cabinet;
    mCabinets.insert(row, fresh);
    endInsertRows();
    return row;
}

QString FleetModel::cabinetAt(int row) const {
    return row >= 0 && row < mCabinets.size() ? mCabinets[row].name : QString();
}

QVector<PortCell> FleetModel::ports(int row) const {
    if (row < 0 || row >= mCabinets.size() || !mCabinets[row].status)
        return {};
    return mCabinets[row].status->ports;
}

int FleetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : mCabinets.size();
}

int FleetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FleetModel::text(const Cabinet& c, int column) const {
    const CabinetStatus* s = c.status ? &*c.status : nullptr;
    switch (column) {
    case ColCabinet:
        return c.name;
    case ColOnline:
        return !c.online   ? QStringLiteral("-")
               : *c.online ? QStringLiteral("online")
                           : QStringLiteral("offline");
    case ColMode:
        return s ? modeText(s->mode) : QStringLiteral("-");
    case ColWorking:
        return s ? QString::number(s->working) : QStringLiteral("-");
    case ColPassed:
        return s ? QString::number(s->passed) : QStringLiteral("-");
    case ColFailed:
        return s ? QString::number(s->failed) : QStringLiteral("-");
    case ColYield:
        return s ? yieldText(s->passed, s->failed) : QStringLiteral("-");
    case ColResults:
        return QString::number(c.results);
    case ColLastResult:
        return c.last ? resultText(*c.last) : QStringLiteral("-");
    case ColAge:
        return ageText(c.statusAt < 0 ? -1 : std::max<qint64>(0, mNow - c.statusAt));
    }
    return QString();
}

QVariant FleetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= mCabinets.size())
        return QVariant();
    const Cabinet& c = mCabinets[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return text(c, index.column());
    case Qt::ForegroundRole:
        if (c.online == false)
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        if (index.column() == ColOnline && c.online)
            return QBrush(QColor(0, 128, 0));
        if (index.column() == ColAge && c.statusAt >= 0 && mNow - c.statusAt > kStaleMs)
            return QBrush(QColor(192, 0, 0));
        return QVariant();
    case Qt::TextAlignmentRole:
        return index.column() >= ColWorking && index.column() <= ColResults
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QVariant();
}

QVariant FleetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QVariant();
    return QString::fromLatin1(kHeaders[section]);
}

void FleetModel::rejectGarbage() {
    ++mGarbage;
    emit garbageCountChanged(mGarbage);
}

void FleetModel::changed(int row, int first, int last) {
    mDirty |= QRect(first, row, last - first + 1, 1);
    if (!mRefresh.isActive())
        mRefresh.start();
}

void FleetModel::flush() {
    mRefresh.stop();
    if (mDirty.isNull())
        return;
    const QRect dirty = mDirty;
    mDirty = QRect();
    emit dataChanged(index(dirty.top(), dirty.left()), index(dirty.bottom(), dirty.right()));
}

} // namespace fleet
