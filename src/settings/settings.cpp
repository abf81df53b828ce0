#include "settings/settings.h"

#include "base/log_file.h"
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

SettingRecord mSetting{};

namespace {

constexpr int kLineMax = 128; // 127 characters and the terminator
constexpr int kTokenMax = 31;

const int32_t kDefaultColors[9] = {0x0000FF, 0xFFFF00, 0x00FF00, 0x6565AA, 0xFFE1A4,
                                   0xB2EF98, 0xE6D8EF, 0xEFE6B8, 0xE8EFE0};

enum class Conv { Int, Float };

struct Key {
    const char* name;
    size_t offset;
    Conv conv;
};

#define FIELD(key, member)                                                                         \
    { key, offsetof(SettingRecord, member), Conv::Int }
#define FIELD_N(key, member, n)                                                                    \
    { key #n, offsetof(SettingRecord, member) + 4 * (n - 1), Conv::Int }

// Keys in the order the file stores them; parsing takes the first match of the same table.
const Key kStoredKeys[] = {
    FIELD(SETUP_FORMAT_TYPE, format_type),
    FIELD(SETUP_MODE, mode),
    FIELD(SETUP_NEED_FORMAT, need_format),
    {SETUP_WRITE_SPEED, offsetof(SettingRecord, write_speed), Conv::Float},
    {SETUP_READ_SPEED, offsetof(SettingRecord, read_speed), Conv::Float},
    FIELD(SETUP_COPY_CAP, copy_cap),
    FIELD(SETUP_COPY_ERR, copy_err),
    FIELD(SETUP_TEST_BLOCK, test_block),
    FIELD(SETUP_COPY_BLOCK, copy_block),
    FIELD(SETUP_PREFORMAT, pre_format),
    FIELD(SETUP_AFTER_FORMAT, after_format),
    FIELD(SETUP_ANALYSISPRE, analysisPre),
    FIELD(SETUP_VOLUME, volumekeep),
    FIELD(SETUP_BURNIN_BLOCK, burnin_block),
    FIELD(SETUP_BURNIN_CYCLE, burnin_cycle),
    FIELD(SETUP_BURNIN_DATA, burnin_data),
    FIELD(SETUP_BURNIN_CONTENT, burnin_content),
    FIELD(SETUP_BURNIN_TIME, burnin_time),
    FIELD(SETUP_LANGUAGE, language),
    FIELD(SETUP_WIPE_MODE, wipe_mode),
    FIELD(SETUP_CREATE_MBR, createMBR),
    FIELD(SETUP_MASTER_CLEAR, MASTERCLEAR),
    FIELD(SETUP_TESTSIZE_MODE, testSizeMode),
    FIELD(SETUP_TESTSIZE_PERCENT, testSizePercent),
    FIELD(SETUP_TESTSIZE_M, testSizeM),
    FIELD(SETUP_TESTSIZE_REGULATOR, testSizeReg),
    FIELD(SETUP_COPYT_TIME_COUNT, COPYTIMECOUNT),
    FIELD(SETUP_CAPFIL_TEST_ENABLE, capfil_test_enable),
    FIELD(SETUP_CAPFIL_FORMAT_ENABLE, capfil_format_enable),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 1),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 2),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 3),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 4),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 5),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 6),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 7),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 8),
    FIELD_N(SETUP_CAPFIL_ENABLE, capfil_enable, 9),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 1),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 2),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 3),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 4),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 5),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 6),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 7),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 8),
    FIELD_N(SETUP_CAPFIL_LOW, capfil_low, 9),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 1),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 2),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 3),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 4),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 5),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 6),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 7),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 8),
    FIELD_N(SETUP_CAPFIL_HIGH, capfil_high, 9),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 1),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 2),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 3),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 4),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 5),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 6),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 7),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 8),
    FIELD_N(SET_CAPFIL_COLOR, capfil_color, 9),
};
// Read but never written back.
const Key kCapacityTestKey = FIELD(SETUP_CAPACITY_TEST, capacity_test);

#undef FIELD
#undef FIELD_N

int32_t& fieldAt(SettingRecord& record, size_t offset) {
    return *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&record) + offset);
}

int32_t clampToInt32(long long value) {
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

// Decimal conversion as the board always did it: leading blanks, stop at the first
// non-digit, nothing gives 0; out-of-range values saturate.
int32_t toInt(const char* text) {
    return clampToInt32(strtoll(text, nullptr, 10));
}

int32_t toIntThroughDouble(const char* text) {
    double v = strtod(text, nullptr);
    if (!std::isfinite(v))
        return v > 0 ? INT32_MAX : (v < 0 ? INT32_MIN : 0);
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return int32_t(v);
}

void setGradeBounds(SettingRecord& r) {
    for (int n = 0; n < 9; ++n) {
        const double scale = std::pow(2.0, n) * 80.0;
        r.capfil_low[n] = int32_t(uint32_t(scale * 85.0));
        r.capfil_high[n] = int32_t(uint32_t(scale * 115.0));
    }
}

std::string withoutNewline(const char* line) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

bool (*gStoreInterruption)() = nullptr;

} // namespace

std::recursive_mutex& settingMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

SettingRecord snapshotSetting() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    return mSetting;
}

void commitSetting(const SettingRecord& record) {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    mSetting = record;
}

namespace settings {

int copyTimeCountDefault(int portCount, int machineVariant) {
    if (portCount == 121 || portCount == 51)
        return 3;
    if (portCount == 8 && machineVariant == 3)
        return 15;
    return 30;
}

void loadDefaults(SettingRecord& r) {
    r.length = 300;
    r.mode = 5;
    r.format_type = 0;
    r.capacity_test = 100;
    r.reserved1 = 0;
    r.write_speed = 0;
    r.read_speed = 0;
    r.need_format = 0;
    r.copy_cap = 15;
    r.copy_err = 15;
    r.test_block = 4096;
    r.copy_block = 4096;
    r.pre_format = 0;
    r.after_format = 0;
    r.burnin_cycle = 100;
    r.burnin_time = 1000;
    r.burnin_content = 1;
    r.burnin_block = 65536;
    r.burnin_data = 0;
    r.language = 0;
    r.wipe_mode = 0;
    r.volumekeep = 0;
    r.analysisPre = 0;
    r.createMBR = 0;
    r.COPYTIMECOUNT = copyTimeCountDefault(r.port_count, r.machine_variant);
    r.MASTERCLEAR = 0;
    r.testSizeMode = -1;
    r.testSizePercent = 100;
    r.testSizeM = 10;
    r.testSizeReg = 102400;
    for (int n = 0; n < 9; ++n) {
        r.capfil_enable[n] = 0;
        r.capfil_color[n] = kDefaultColors[n];
    }
    setGradeBounds(r);
    r.capfil_test_enable = 0;
    r.capfil_format_enable = 0;
}

// The defaults with the tester's mode and 64K blocks; the grade colours stay as they are.
void factoryReset(SettingRecord& r) {
    int32_t colors[9];
    static_assert(sizeof colors == sizeof r.capfil_color);
    memcpy(colors, r.capfil_color, sizeof colors);
    loadDefaults(r);
    r.mode = 0;
    r.test_block = 65536;
    r.copy_block = 65536;
    memcpy(r.capfil_color, colors, sizeof colors);
}

void deriveCapacityTest(SettingRecord& r) {
    switch (r.testSizeMode) {
    case 0:
        r.capacity_test = r.testSizePercent;
        break;
    case 1:
        r.capacity_test = clampToInt32((long long)r.testSizeM * 1024);
        break;
    case 2:
        r.capacity_test = r.testSizeReg;
        break;
    default:
        break;
    }
}

int parseFile(SettingRecord& record, const std::string& path) {
    FILE* file = fopen(path.c_str(), "r");
    if (!file) {
        consolePrintf("Fail to open %s\n", path.c_str());
        return -1;
    }
    char line[kLineMax];
    while (fgets(line, sizeof(line), file)) {
        if (line[0] == '#' || line[0] == '\0')
            continue;
        char key[kLineMax] = {0};
        char value[kLineMax] = {0};
        int ret = sscanf(line, "%127s = %127s", key, value);
        if (ret != 2 || strlen(key) > kTokenMax || strlen(value) > kTokenMax) {
            consolePrintf("Can not parse ret=%d %s\n", ret, withoutNewline(line).c_str());
            continue;
        }
        consolePrintf("Loading.....name= %s val %s\n", key, value);
        const Key* match = nullptr;
        for (const Key& k : kStoredKeys) {
            if (strcmp(k.name, key) == 0) {
                match = &k;
                break;
            }
        }
        if (!match && strcmp(kCapacityTestKey.name, key) == 0)
            match = &kCapacityTestKey;
        if (!match)
            continue;
        fieldAt(record, match->offset) =
            match->conv == Conv::Float ? toIntThroughDouble(value) : toInt(value);
    }
    deriveCapacityTest(record);
    fclose(file);
    return 0;
}

int storeFile(SettingRecord& record, const std::string& path) {
    // The cabinet is switched off at the wall: write a temporary file, make it durable and
    // only then rename it over the old one, so the settings file is always whole.
    const std::string temp = path + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        LOGE("Fail to create CONFIG_FILE\n\r");
        return -1;
    }
    fchmod(fd, 0644);
    FILE* file = fdopen(fd, "w");
    if (!file) {
        LOGE("Fail to fdopen setting\n\r");
        close(fd);
        unlink(temp.c_str());
        return -1;
    }
    bool ok = true;
    for (const Key& k : kStoredKeys)
        ok = fprintf(file, "%s = %d\n", k.name, fieldAt(record, k.offset)) > 0 && ok;

    deriveCapacityTest(record);
    LOGD("testcap %ld\n\r", long(record.capacity_test));

    ok = fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    if (ok && gStoreInterruption)
        ok = gStoreInterruption();
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        LOGE("Fail to store setting %s errno %d\n\r", path.c_str(), errno);
        unlink(temp.c_str());
        return -1;
    }
    // Make the rename itself durable.
    std::string dir = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    if (dir.empty())
        dir = "/";
    int dirfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        fsync(dirfd);
        close(dirfd);
    }
    return 0;
}

void readFixedMachineFile(SettingRecord& r, const std::string& path) {
    r.port_count = 32;
    r.machine_type = 0;
    r.board_model = 3;
    r.machine_variant = 0;
    r.length = 300;
    FILE* file = fopen(path.c_str(), "r");
    if (!file) {
        consolePrintf("Fail to open fix\n");
        return;
    }
    char line[kLineMax];
    while (fgets(line, sizeof(line), file)) {
        if (line[0] == '#' || line[0] == '\0')
            continue;
        int ret = sscanf(line, "%d %d %d %d", &r.port_count, &r.machine_type, &r.board_model,
                         &r.machine_variant);
        if (ret == 4)
            break;
        consolePrintf("Can not parse ret=%d %s\n", ret, withoutNewline(line).c_str());
    }
    fclose(file);
}

void setStoreInterruption(bool (*hook)()) {
    gStoreInterruption = hook;
}

} // namespace settings

void readSetting() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    settings::loadDefaults(mSetting);
    if (settings::parseFile(mSetting, kSettingsFile) == 0 && mSetting.MASTERCLEAR != 0)
        resetSetting();
}

void writeSetting() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    settings::storeFile(mSetting, kSettingsFile);
}

void resetSetting() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    settings::factoryReset(mSetting);
    writeSetting();
    LOGD("resetting %d\n\r", mSetting.COPYTIMECOUNT);
}

void readFixSetting() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    settings::readFixedMachineFile(mSetting, h2::platform().path(kFixedMachineFile));
}
