#pragma once
// A made-up cabinet for the demo and the tests: ports that start, progress, pass or fail and
// empty again, described by the payloads a panel publishes.

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>
#include <QVector>

namespace fleet {

// "tester", "copier" or "burnin": the window that shows `mode`.
const char* layoutOfMode(int mode);

class SimCabinet {
public:
    SimCabinet(const QString& name, int ports, int mode, quint32 seed);

    const QString& name() const { return mName; }
    // One second of work: the results payloads of the devices that finished in it.
    QVector<QByteArray> step(const QDateTime& now);
    QByteArray statusPayload(const QDateTime& now) const;

private:
    struct Port {
        int status = 0;
        int progress = 0;
        const char* colour = "grey";
        int hold = 0; // seconds a finished device stays before it is pulled
    };
    QByteArray finish(int index, const QDateTime& now);

    QString mName;
    int mMode;
    QVector<Port> mPorts;
    QRandomGenerator mRandom;
    qint64 mNextId = 1;
    qint64 mWorked = 0, mSuccess = 0, mFail = 0;
};

} // namespace fleet
