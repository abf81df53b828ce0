#pragma once
// The pass and fail lamps of every port, following the status block five times a second.

#include "base/util_thread.h"
#include "hardware/lamp_tables.h"
#include "platform/platform.h"
#include "settings/setting_record.h"

#include <atomic>
#include <cstdint>

class LedControl final : public Util_Thread {
public:
    // Runs the lamp test before it returns (five pauses of a second on the board).
    explicit LedControl(Gpio& gpio, h2::PauseFn pause = h2::realPause);
    ~LedControl() override;

    // Logs "led starting..." and starts the pass loop.
    int start() override;
    // Logs "led mstop..." and waits for the loop to end.
    void stop() override;
    void run() override;

    // One update pass over the current settings and status block.
    void checkdiskin();
    // One update pass over the given settings and status block.
    void checkdiskin(const SettingRecord& setting, const StatusBlock& block);

private:
    void lampTest(const SettingRecord& setting);
    void directLampTest();
    void groupedLampTest();
    void latchLampTestStep(unsigned passLevel, unsigned failLevel);
    void setAll(const GpioPin* pins, int count, unsigned level);
    void strobeAll(unsigned level);
    void pulse(GpioPin strobe);

    Gpio& mGpio;
    h2::PauseFn mPause;
    std::atomic<int> mStop{0};
    // Per port: blink phase and the levels last driven (for states that keep the lamps).
    uint8_t mBlink[kBlinkFlags] = {};
    uint8_t mPassLevel[kBlinkFlags];
    uint8_t mFailLevel[kBlinkFlags];
    int mReportedUnwired = 0;
    StatusBlock mBlock;
};
