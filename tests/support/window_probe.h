#pragma once
// Looking into the main windows as the window suites do: label texts, the grid's cells, the
// status header they read, and a board power that counts instead of switching.

#include "hardware/power_off_latch.h"

#include <QString>
#include <cstdint>

class QWidget;

// The text of the label `name` below `parent`, or "<missing>".
QString labelText(const QWidget* parent, const QString& name);
// The object name of the widget in a cell of the window's "gridLayout" ("" for none).
QString cellName(const QWidget& window, int row, int column);
// Writes a status header into Info: the engine version and the three totals.
void setHeader(uint32_t engineVersion, int worked = 0, int success = 0, int fail = 0);

class FakePower final : public BoardPower {
public:
    int level = 1;
    int state = 2;
    int switchedOff = 0;
    int powerLevel() const override { return level; }
    int boardState() const override { return state; }
    void switchOff() override { ++switchedOff; }
};
