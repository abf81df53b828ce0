#pragma once
// The machine profile from the pin straps of the smaller machines.

#include "hardware/hardware.h"
#include "platform/platform.h"
#include "settings/setting_record.h"

// The strap value S: PA3 x 1 + PA14 x 2 + PA2 x 4 + PG8 x 8 + PG10 x 16 + PG9 x 32.
int readStrapValue(Gpio& gpio);

// Applies the strap table for S to the record's profile fields.
void applyStrapValue(SettingRecord& record, int strap);

// Sets up the strap pins, waits for them to settle and reads PG13. Returns S when the
// straps are fitted (PG13 high), else -1.
int readPinStraps(Gpio& gpio, const h2::PauseFn& pause);

// The start-up step: the profile from the straps when fitted, otherwise the fixed machine
// file read again. Writes mSetting through the settings lock.
void settleProfileFromStraps(Gpio& gpio, const h2::PauseFn& pause);
