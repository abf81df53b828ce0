#pragma once
// The six counters of a main window's status strip: this tick's working, passed and failed
// ports, then the engine's totals of passed, failed and worked ones.

#include "link/status_block.h"

class QLabel;
class QWidget;

class StripCounters {
public:
    // Finds the counter labels in `strip`; without a strip, or a label, that counter is not
    // shown.
    void find(const QWidget* strip);
    void show(int working, int success, int fail, const StatusHeader& totals) const;

private:
    QLabel* mLabels[6] = {};
};
