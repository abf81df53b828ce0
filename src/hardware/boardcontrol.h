#pragma once
// Board power of the 51- and 121-port machines: five power outputs and the board state
// input on port PD.

#include "base/util_thread.h"
#include "hardware/hardware.h"
#include "platform/platform.h"

#include <atomic>
#include <functional>

struct WindowActivity;

class BoardControl;
extern BoardControl* mBoardControl;

// What one window showed the power thread: a window that does not exist is not running.
struct ActivityView {
    bool running = false;
    int workingLast = 0;
    int connected = 0;
};
ActivityView viewOf(const WindowActivity* activity);

// The switch-on decision after a confirmed "Board down".
struct PowerOnDecision {
    bool switchOn;
    bool testerIdle; // the tester runs with no working and no connected port
};
PowerOnDecision decidePowerOn(const ActivityView& tester, const ActivityView& copier);

class BoardControl : public Util_Thread {
public:
    // Sends a command message to the engine board (9 before switching off, 10 before on).
    using CommandFn = std::function<int(int)>;

    // The process's controller: the mapped pins, the engine link and real pauses.
    BoardControl();
    BoardControl(Gpio& gpio, CommandFn sendCommand, h2::PauseFn pause);
    ~BoardControl() override;

    // Configures the pins, switches the boards off and takes the board state from PD5.
    int init();
    int start() override;
    void stop() override;
    void run() override;

    // 0 before init, 1 boards off after "Board up", 2 boards on after "Board down".
    int boardState() const { return mBoardState; }
    // The last level powerBoard stored (0 off, 1 on).
    int powerLevel() const { return mPowerLevel; }
    // Drives the power outputs in their fixed order with settling pauses (about 3.1 s).
    void powerBoard(int level);
    // One pass of the polling loop without its closing pause.
    void pollOnce();

private:
    bool boardUp() { return mGpio.getPin(kBoardState) != 0; }
    void decideAndSwitchOn();

    static constexpr GpioPin kBoardState{PD, 5};

    Gpio& mGpio;
    CommandFn mSendCommand;
    h2::PauseFn mPause;
    std::atomic<int> mStop{0};
    std::atomic<int> mBoardState{0};
    std::atomic<int> mPowerLevel{0};
};
