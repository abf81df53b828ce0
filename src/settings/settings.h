#pragma once
// The operator settings: the global record, its settings file and the fixed machine file.

#include "settings/setting_record.h"

#include <mutex>
#include <string>

extern SettingRecord mSetting;

// mSetting is written on the GUI thread and read by the link thread when it sends. Writers
// and other threads hold this lock; the GUI thread may read single fields without it.
std::recursive_mutex& settingMutex();
SettingRecord snapshotSetting();
void commitSetting(const SettingRecord& record);

void readSetting();
void writeSetting();
void resetSetting();
void readFixSetting();

// Key texts of the settings file.
#define SETUP_FORMAT_TYPE "format_type"
#define SETUP_MODE "mode"
#define SETUP_NEED_FORMAT "need_format"
#define SETUP_WRITE_SPEED "write_speed"
#define SETUP_READ_SPEED "read_speed"
#define SETUP_COPY_CAP "copy_cap"
#define SETUP_COPY_ERR "copy_err"
#define SETUP_TEST_BLOCK "test_block"
#define SETUP_COPY_BLOCK "copy_block"
#define SETUP_PREFORMAT "pre_format"
#define SETUP_AFTER_FORMAT "after_format"
#define SETUP_ANALYSISPRE "analysisPre"
#define SETUP_VOLUME "volumekeep"
#define SETUP_BURNIN_BLOCK "burnin_block"
#define SETUP_BURNIN_CYCLE "burnin_cycle"
#define SETUP_BURNIN_DATA "burnin_data"
#define SETUP_BURNIN_CONTENT "burnin_content"
#define SETUP_BURNIN_TIME "burnin_time"
#define SETUP_LANGUAGE "language"
#define SETUP_WIPE_MODE "wipe_mode"
#define SETUP_CREATE_MBR "createMBR"
#define SETUP_MASTER_CLEAR "MASTERCLEAR"
#define SETUP_TESTSIZE_MODE "testSizeMode"
#define SETUP_TESTSIZE_PERCENT "testSizePercent"
#define SETUP_TESTSIZE_M "testSizeM"
#define SETUP_TESTSIZE_REGULATOR "testSizeReg"
#define SETUP_COPYT_TIME_COUNT "COPYTIMECOUNT"
#define SETUP_CAPFIL_TEST_ENABLE "capfil_test_enable"
#define SETUP_CAPFIL_FORMAT_ENABLE "capfil_format_enable"
#define SETUP_CAPFIL_ENABLE "capfil_enable_"
#define SETUP_CAPFIL_LOW "capfil_low_"
#define SETUP_CAPFIL_HIGH "capfil_high_"
#define SET_CAPFIL_COLOR "capfil_color_"
#define SETUP_CAPACITY_TEST "capacity_test"

constexpr const char* kSettingsFile = ".h2config";
constexpr const char* kFixedMachineFile = "/usr/share/.h2fixconfig";

// The pieces behind the four functions above, on any record and file, for tests and tools.
namespace settings {
int copyTimeCountDefault(int portCount, int machineVariant);
void loadDefaults(SettingRecord& record);
void factoryReset(SettingRecord& record);
// capacity_test from the test-size fields; other modes leave it as it is.
void deriveCapacityTest(SettingRecord& record);
// Returns -1 when the file cannot be opened (defaults stay), else 0.
int parseFile(SettingRecord& record, const std::string& path);
// Replaces the file atomically; on failure the old file stays and -1 is returned.
int storeFile(SettingRecord& record, const std::string& path);
// Sets the profile defaults and reads the fixed machine file.
void readFixedMachineFile(SettingRecord& record, const std::string& path);
// Test hook: called after the temporary file is written and before it replaces the old one.
void setStoreInterruption(bool (*hook)());
} // namespace settings
