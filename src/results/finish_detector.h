#pragma once
// Finds the ports that finished since the last tick and turns them into journal records.
// It keeps its own memory of each port's last state, so a frame that redraws, or starts
// afresh after a dialog, never makes a second record; the first tick of a layout or machine
// only learns the states.

#include "link/status_block.h"
#include "results/record.h"
#include "results/verdict.h"
#include "settings/setting_record.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace results {

// A port as the window holds it: its record index in the block and the number its frame shows.
struct PortRef {
    int index;
    int number;
};

class FinishDetector {
public:
    FinishDetector();
    // The panel's clock, replaceable in tests.
    void setClock(std::function<QDateTime()> now) { mNow = std::move(now); }

    // The records of the ports that moved from a state without a result into one.
    std::vector<ResultRecord> observe(Layout layout, const StatusBlock& block,
                                      const SettingRecord& setting,
                                      const std::vector<PortRef>& ports);

private:
    struct Seen {
        uint32_t status = 0;
        bool finished = false;
    };
    struct Machine {
        Layout layout;
        int ports, type, model, variant;
        bool operator==(const Machine& o) const {
            return layout == o.layout && ports == o.ports && type == o.type && model == o.model &&
                   variant == o.variant;
        }
    };

    bool mKnown = false;
    Machine mMachine{};
    std::vector<Seen> mSeen; // by record index
    QString mCabinet;
    std::function<QDateTime()> mNow;
};

// A port's status in its layout and, for a result, its finding; no finding while the port
// shows no result (the tester's master port on a copier, an empty copier target).
struct PortResult {
    uint32_t status = 0;
    std::optional<Finding> finding;
};
PortResult portResult(Layout layout, const StatusBlock& block, int index,
                      const SettingRecord& setting);

// Puts the figures the port's layout carries into the record; the others stay null.
void fillFigures(ResultRecord& record, Layout layout, const StatusBlock& block, int index,
                 const SettingRecord& setting);

} // namespace results
