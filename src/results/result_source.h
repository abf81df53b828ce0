#pragma once
// What the fleet publisher needs of the journal. The journal stays the only writer of its
// database: the publisher reads unsent records and asks for them to be marked once the
// broker has acknowledged them. Every call may come from any thread and never waits for
// the database.

#include "results/record.h"

#include <QObject>
#include <functional>
#include <vector>

namespace results {

class ResultSource {
public:
    virtual ~ResultSource() = default;
    // Up to `limit` unsent records, oldest first, handed to `done` on `context`'s thread
    // (nothing is called once `context` is gone).
    virtual void fetchUnsent(int limit, QObject* context,
                             std::function<void(std::vector<StoredResult>)> done) = 0;
    // Marks the records sent (acknowledged by the broker); unknown ids are ignored.
    virtual void markSent(std::vector<qint64> ids) = 0;
    // While set, pruning keeps unsent records unless the database reaches its cap.
    virtual void setKeepUnsent(bool keep) = 0;
};

} // namespace results
