#include "forms/strip_counters.h"

#include <QLabel>
#include <QWidget>

namespace {
const char* const kCounterNames[6] = {"currentWorking", "currentSuccess", "currentFail",
                                      "totalSuccess",   "totalFail",      "totalWorked"};
} // namespace

void StripCounters::find(const QWidget* strip) {
    for (int i = 0; i < 6; ++i)
        mLabels[i] =
            strip ? strip->findChild<QLabel*>(QString::fromLatin1(kCounterNames[i])) : nullptr;
}

void StripCounters::show(int working, int success, int fail, const StatusHeader& totals) const {
    const int values[6] = {working,          success,           fail, totals.totalSuccess,
                           totals.totalFail, totals.totalWorked};
    for (int i = 0; i < 6; ++i) {
        if (mLabels[i])
            mLabels[i]->setText(QString::number(values[i]));
    }
}
