// The settings file parser on arbitrary files (a settings file may be left half-written or
// edited by hand). What it accepts must survive a store and a second parse unchanged.

#include "fuzz_support.h"
#include "settings/settings.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingRecord first{};
    settings::loadDefaults(first);
    if (settings::parseFile(first, writeScratch("in.h2config", data, size)) != 0)
        abort();
    const std::string stored = fuzzRoot() + "/stored.h2config";
    if (settings::storeFile(first, stored) != 0)
        abort();
    SettingRecord second{};
    settings::loadDefaults(second);
    if (settings::parseFile(second, stored) != 0)
        abort();
    if (memcmp(&first, &second, sizeof(first)) != 0)
        abort();
    return 0;
}
