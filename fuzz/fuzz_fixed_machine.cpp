// The fixed machine file parser on arbitrary files, and the geometry the windows derive from
// its port count and variant.

#include "fuzz_support.h"
#include "settings/settings.h"
#include "tester/frame_logic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingRecord record{};
    settings::loadDefaults(record);
    settings::readFixedMachineFile(record, writeScratch("h2fixconfig", data, size));
    (void)tester::frameFontPointSize(record.port_count);
    (void)tester::coverGeometry(record.port_count, record.machine_variant);
    (void)tester::titleStyle(record.port_count);
    (void)settings::copyTimeCountDefault(record.port_count, record.machine_variant);
    return 0;
}
