#include "hardware/boardcontrol.h"

#include "base/log_file.h"
#include "hardware/window_activity.h"

BoardControl* mBoardControl = nullptr;

namespace {
struct PowerStep {
    GpioPin pin;
    unsigned settleMs;
};
// The power outputs in switching order, each followed by its settling pause.
constexpr PowerStep kPowerSequence[] = {
    {{PD, 13}, 500}, {{PD, 1}, 700}, {{PD, 6}, 700}, {{PD, 16}, 500}, {{PD, 17}, 700},
};
constexpr unsigned kPollMs = 500;
constexpr unsigned kUpConfirmMs = 500;
constexpr unsigned kDownConfirmMs = 1000;
constexpr int kStateOff = 1; // switched off after "Board up"
constexpr int kStateOn = 2;  // switched on after "Board down"
constexpr int kCmdPowerOff = 9;
constexpr int kCmdPowerOn = 10;
} // namespace

ActivityView viewOf(const WindowActivity* activity) {
    ActivityView view;
    if (activity) {
        view.running = activity->mRunning != 0;
        view.workingLast = activity->mWorkingLast;
        view.connected = activity->mConnected;
    }
    return view;
}

PowerOnDecision decidePowerOn(const ActivityView& tester, const ActivityView& copier) {
    PowerOnDecision d{};
    d.testerIdle = tester.running && tester.workingLast == 0 && tester.connected == 0;
    d.switchOn =
        d.testerIdle || (copier.running && copier.connected == 0 && copier.workingLast == 0);
    return d;
}

BoardControl::BoardControl(Gpio& gpio, CommandFn sendCommand, h2::PauseFn pause)
    : Util_Thread(0), mGpio(gpio), mSendCommand(std::move(sendCommand)), mPause(std::move(pause)) {}

BoardControl::~BoardControl() {
    if (running())
        stop();
}

int BoardControl::init() {
    for (const PowerStep& step : kPowerSequence)
        mGpio.configPin(step.pin, PIN_OUTPUT);
    mGpio.configPin(kBoardState, PIN_INPUT);
    powerBoard(0);
    mPowerLevel = 0;
    mBoardState = boardUp() ? kStateOff : kStateOn;
    LOGD("current Board status %d\n\r", int(mBoardState));
    return 0;
}

int BoardControl::start() {
    mStop = 0;
    return Util_Thread::start();
}

void BoardControl::stop() {
    mStop = 1;
    join();
}

void BoardControl::run() {
    while (!mStop) {
        pollOnce();
        mPause(kPollMs);
    }
}

void BoardControl::powerBoard(int level) {
    for (size_t i = 0; i < sizeof(kPowerSequence) / sizeof(kPowerSequence[0]); ++i) {
        mGpio.setPin(kPowerSequence[i].pin, unsigned(level));
        mPause(kPowerSequence[i].settleMs);
        if (i == 0)
            LOGD("set PD 1 %d\n\r", level);
    }
    if (level == 0 || level == 1)
        mPowerLevel = level;
    else
        LOGD("unknown parameter %d\n\r", level);
}

void BoardControl::pollOnce() {
    if (boardUp()) {
        if (mBoardState == kStateOff)
            return;
        mPause(kUpConfirmMs);
        if (!boardUp())
            return;
        LOGD("Board up detect\n\r");
        mSendCommand(kCmdPowerOff);
        mBoardState = kStateOff;
        powerBoard(0);
        return;
    }
    if (mBoardState == kStateOn)
        return;
    mPause(kDownConfirmMs);
    if (boardUp())
        return;
    LOGD("Board down detect\n\r");
    mPause(kDownConfirmMs);
    if (boardUp()) {
        LOGD("board up again\n\r");
        return;
    }
    decideAndSwitchOn();
}

void BoardControl::decideAndSwitchOn() {
    const ActivityView tester = viewOf(gTesterActivity);
    const ActivityView copier = viewOf(gCopierActivity);
    const PowerOnDecision d = decidePowerOn(tester, copier);
    if (tester.running)
        LOGD("test running\n\r");
    if (copier.running) {
        LOGD("copy running %d\n\r", d.testerIdle ? 1 : 0);
        if (copier.connected != 0 || copier.workingLast != 0)
            LOGD("connect Count %d work count %d\n\r", copier.connected, copier.workingLast);
    }
    if (!d.switchOn)
        return;
    LOGD("will power on\n\r");
    mBoardState = kStateOn;
    mSendCommand(kCmdPowerOn);
    powerBoard(1);
}
