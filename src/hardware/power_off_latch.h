#pragma once
// Switching the port boards off when a run of work has ended, as the tester and copier
// windows do once per tick on machines with board power control.

class BoardPower {
public:
    virtual ~BoardPower() = default;
    // The last level the boards were driven to: 0 off, 1 on.
    virtual int powerLevel() const = 0;
    // 0 before init, 1 boards off after "Board up", 2 boards on after "Board down".
    virtual int boardState() const = 0;
    // Tells the engine (command 9) and switches the boards off; blocks for about 3 seconds.
    virtual void switchOff() = 0;
};

class PowerOffLatch {
public:
    // One tick that counted `working` ports. Switches the boards off on the first tick
    // without work after ticks with work, while they are powered on; `power` is null on
    // machines without board power control.
    void tick(int working, BoardPower* power);
    bool armed() const { return mWasWorking == 1; }

private:
    int mWasWorking = 0;
};

// The board power of this process: mBoardControl, with command 9 to the engine before the
// boards go off. Null on machines without a board controller.
BoardPower* processBoardPower();
