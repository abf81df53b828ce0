#include "hardware/power_off_latch.h"

#include "base/log_file.h"
#include "hardware/boardcontrol.h"
#include "link/engine_messages.h"

namespace {

class ControllerPower final : public BoardPower {
public:
    int powerLevel() const override { return mBoardControl->powerLevel(); }
    int boardState() const override { return mBoardControl->boardState(); }
    void switchOff() override {
        // The engine is told first; without a connection the boards go off all the same.
        sendCmd(9);
        mBoardControl->powerBoard(0);
    }
};

} // namespace

BoardPower* processBoardPower() {
    static ControllerPower power;
    return mBoardControl ? &power : nullptr;
}

void PowerOffLatch::tick(int working, BoardPower* power) {
    if (working > 0)
        mWasWorking = 1;
    else if (mWasWorking != 1)
        return;
    if (!power)
        return;
    // Boards already off, or reported up by the controller: nothing left to switch.
    if (power->powerLevel() == 0 || power->boardState() == 1) {
        mWasWorking = 0;
        return;
    }
    if (working != 0)
        return;
    LOGD("will power off board\n\r");
    power->switchOff();
    mWasWorking = 0;
}
