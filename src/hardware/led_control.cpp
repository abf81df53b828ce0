#include "hardware/led_control.h"

#include "base/log_file.h"
#include "settings/settings.h"

#include <cstring>

namespace {
// Lamp lines are lit at low level.
constexpr unsigned kLit = 0;
constexpr unsigned kDark = 1;
constexpr unsigned kPassMs = 200;
constexpr unsigned kLampTestStepMs = 1000;
// PL11 is switched around the first step of the direct boards' lamp test.
constexpr unsigned kDirectTestPlPin = 11;

unsigned levelOf(Lamp lamp, uint8_t blink, uint8_t last) {
    switch (lamp) {
    case Lamp::Off:
        return kDark;
    case Lamp::On:
        return kLit;
    case Lamp::Blink:
        return blink;
    case Lamp::Keep:
        break;
    }
    return last;
}
} // namespace

LedControl::LedControl(Gpio& gpio, h2::PauseFn pause)
    : Util_Thread(0), mGpio(gpio), mPause(std::move(pause)) {
    memset(mPassLevel, kDark, sizeof(mPassLevel));
    memset(mFailLevel, kDark, sizeof(mFailLevel));
    memset(mBlock.bytes, 0, sizeof(mBlock.bytes));
    lampTest(snapshotSetting());
}

LedControl::~LedControl() {
    if (running())
        stop();
}

int LedControl::start() {
    LOGD("led starting...\n\r");
    mStop = 0;
    return Util_Thread::start();
}

void LedControl::stop() {
    mStop = 1;
    LOGD("led mstop...\n\r");
    join();
}

void LedControl::run() {
    while (!mStop) {
        checkdiskin();
        mPause(kPassMs);
    }
}

void LedControl::checkdiskin() {
    const SettingRecord setting = snapshotSetting();
    Info.snapshot(mBlock);
    checkdiskin(setting, mBlock);
}

void LedControl::checkdiskin(const SettingRecord& setting, const StatusBlock& block) {
    const int portCount = setting.port_count;
    const Wiring wiring = lampWiring(setting.board_model, setting.machine_variant, portCount);
    const int served = servedPorts(wiring);
    const int lastPort = portCount < served ? portCount : served;
    if (portCount > served && mReportedUnwired != portCount) {
        LOGE("led: ports %d to %d have no lamp lines, skipped\n\r", served + 1, portCount);
        mReportedUnwired = portCount;
    }
    for (int p = 1; p <= lastPort; ++p) {
        const int i = p - 1;
        mBlink[i] ^= 1;
        const LampLines lines = lampLines(wiring, p);
        const LampPair lamps = portLamps(block, setting.mode, p, wiring, portCount);
        // Shared lines carry whatever the previous port left on them, so a port that keeps
        // its lamps drives its own last levels again before its group is latched.
        mPassLevel[i] = uint8_t(levelOf(lamps.pass, mBlink[i], mPassLevel[i]));
        mFailLevel[i] = uint8_t(levelOf(lamps.fail, mBlink[i], mFailLevel[i]));
        mGpio.setPin(lines.pass, mPassLevel[i]);
        mGpio.setPin(lines.fail, mFailLevel[i]);
        if (const int group = latchGroupAfter(wiring, p, lastPort))
            pulse(strobePin(group));
    }
}

void LedControl::lampTest(const SettingRecord& setting) {
    if (setting.machine_variant == 3 && setting.port_count < 9) {
        directLampTest();
        return;
    }
    groupedLampTest();
    // Direct boards outside variant 3 get the grouped test, which leaves some of their own
    // lamp pins (port 1's among them) as inputs.
    if (lampWiring(setting.board_model, setting.machine_variant, setting.port_count) ==
        Wiring::Direct) {
        for (int p = 1; p <= 8; ++p) {
            const LampLines lines = lampLines(Wiring::Direct, p);
            mGpio.configPin(lines.pass, PIN_OUTPUT);
            mGpio.configPin(lines.fail, PIN_OUTPUT);
        }
    }
}

void LedControl::directLampTest() {
    GpioPin pass[8], fail[8];
    for (int p = 1; p <= 8; ++p) {
        const LampLines lines = lampLines(Wiring::Direct, p);
        pass[p - 1] = lines.pass;
        fail[p - 1] = lines.fail;
    }
    for (int i = 0; i < 8; ++i) {
        mGpio.configPin(pass[i], PIN_OUTPUT);
        mGpio.configPin(fail[i], PIN_OUTPUT);
    }
    mGpio.GPIO_ConfigPinPL(kDirectTestPlPin);
    mPause(kLampTestStepMs);
    mGpio.GPIO_SetPinPL(kDirectTestPlPin, 0);

    for (int i = 0; i < 8; ++i) {
        mGpio.setPin(pass[i], kDark);
        mGpio.setPin(fail[i], kDark);
    }
    mPause(kLampTestStepMs);
    mGpio.GPIO_SetPinPL(kDirectTestPlPin, 1);

    setAll(pass, 8, kLit);
    mPause(kLampTestStepMs);
    mGpio.GPIO_SetPinPL(kDirectTestPlPin, 1);
    setAll(pass, 8, kDark);

    mPause(kLampTestStepMs);
    setAll(fail, 8, kLit);
    mPause(kLampTestStepMs);
    setAll(fail, 8, kDark);
}

void LedControl::groupedLampTest() {
    for (const GpioPin& p : kSharedLines)
        mGpio.configPin(p, PIN_OUTPUT);
    for (int g = 1; g <= kStrobeGroups; ++g)
        mGpio.configPin(strobePin(g), PIN_OUTPUT);
    mPause(kLampTestStepMs);

    latchLampTestStep(kLit, kDark);
    latchLampTestStep(kDark, kLit);

    setAll(kSharedLines, 8, kDark);
    strobeAll(1);
    strobeAll(0);
}

// Pass and fail lines at the given levels, latched into every group, each edge held a step.
void LedControl::latchLampTestStep(unsigned passLevel, unsigned failLevel) {
    setAll(kSharedPassLines, 4, passLevel);
    setAll(kSharedFailLines, 4, failLevel);
    strobeAll(1);
    mPause(kLampTestStepMs);
    strobeAll(0);
    mPause(kLampTestStepMs);
}

void LedControl::setAll(const GpioPin* pins, int count, unsigned level) {
    for (int i = 0; i < count; ++i)
        mGpio.setPin(pins[i], level);
}

void LedControl::strobeAll(unsigned level) {
    for (int g = 1; g <= kStrobeGroups; ++g)
        mGpio.setPin(strobePin(g), level);
}

void LedControl::pulse(GpioPin strobe) {
    mGpio.setPin(strobe, 1);
    mGpio.setPin(strobe, 0);
}
