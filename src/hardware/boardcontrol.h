#pragma once
// Board power of the 51- and 121-port machines: five power outputs and the board state
// input on port PD.

#include "app/util_thread.h"

class BoardControl;
extern BoardControl* mBoardControl;

class BoardControl : public Util_Thread {
public:
    // 0 before init, 1 boards off after "Board up", 2 boards on after "Board down".
    int boardState() const;
    // Drives the power outputs in their fixed order with settling pauses (about 3.1 s).
    void powerBoard(int level);
    int init();

    // The rest of the class lands with the hardware work.
    BoardControl();
    ~BoardControl() override;
};
