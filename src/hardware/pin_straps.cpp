#include "hardware/pin_straps.h"

#include "settings/settings.h"

namespace {
const GpioPin kStrapInputs[] = {{PG, 13}, {PG, 10}, {PG, 8},  {PA, 2}, {PG, 9},
                                {PA, 18}, {PA, 17}, {PA, 14}, {PA, 3}};
const GpioPin kStrapOutputs[] = {{PG, 6}, {PG, 12}, {PG, 11}, {PG, 7}, {PA, 1},
                                 {PA, 0}, {PA, 13}, {PA, 15}, {PA, 20}};
// The order in which the outputs are driven high differs from the order they are set up.
const GpioPin kStrapDriveOrder[] = {{PG, 12}, {PG, 11}, {PG, 6},  {PG, 7}, {PA, 1},
                                    {PA, 0},  {PA, 13}, {PA, 15}, {PA, 20}};
// Bit weights of S, lowest first.
const GpioPin kStrapBits[] = {{PA, 3}, {PA, 14}, {PA, 2}, {PG, 8}, {PG, 10}, {PG, 9}};
constexpr GpioPin kStrapsFitted{PG, 13};
constexpr unsigned kSettleMs = 100;

constexpr int kUnchanged = -1;
struct StrapRow {
    int portCount;
    int machineType;
    int boardModel;
    int machineVariant;
};
// Rows for S = 0 to 4; every larger S is an 8-port copier.
const StrapRow kStrapTable[] = {
    {8, 0, 0, 3}, {4, 2, 0, 3}, {4, 2, 1, 3}, {6, 2, 1, 3}, {48, 0, kUnchanged, kUnchanged},
};
const StrapRow kStrapAbove = {8, 2, 0, 3};
} // namespace

int readStrapValue(Gpio& gpio) {
    int strap = 0;
    for (int bit = 0; bit < int(sizeof(kStrapBits) / sizeof(kStrapBits[0])); ++bit)
        strap |= (gpio.getPin(kStrapBits[bit]) ? 1 : 0) << bit;
    return strap;
}

void applyStrapValue(SettingRecord& record, int strap) {
    const int rows = int(sizeof(kStrapTable) / sizeof(kStrapTable[0]));
    const StrapRow& row = strap >= 0 && strap < rows ? kStrapTable[strap] : kStrapAbove;
    record.port_count = row.portCount;
    record.machine_type = row.machineType;
    if (row.boardModel != kUnchanged)
        record.board_model = row.boardModel;
    if (row.machineVariant != kUnchanged)
        record.machine_variant = row.machineVariant;
}

int readPinStraps(Gpio& gpio, const h2::PauseFn& pause) {
    for (const GpioPin& p : kStrapInputs)
        gpio.configPin(p, PIN_INPUT);
    for (const GpioPin& p : kStrapOutputs)
        gpio.configPin(p, PIN_OUTPUT);
    for (const GpioPin& p : kStrapDriveOrder)
        gpio.setPin(p, 1);
    pause(kSettleMs);
    if (gpio.getPin(kStrapsFitted) != 1)
        return -1;
    return readStrapValue(gpio);
}

void settleProfileFromStraps(Gpio& gpio, const h2::PauseFn& pause) {
    const int strap = readPinStraps(gpio, pause);
    if (strap < 0) {
        // Not fitted: the defaults and the fixed machine file decide.
        readFixSetting();
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    applyStrapValue(mSetting, strap);
}
