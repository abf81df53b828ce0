#include "base/size_text.h"

#include <cstdint>
#include <limits>

namespace {
const char* const kShortLadder[] = {"Byte", "KB", "M"};
const char* const kLongLadder[] = {"Byte", "KB", "M", "G", "TB", "PB"};
constexpr double kStep = 1.0 / 1024.0;

// Truncation toward zero through a 32-bit integer; values outside its range saturate
// instead of being undefined.
double truncated(double value) {
    if (!(value == value))
        return 0;
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return double(int32_t(value));
}
} // namespace

const char* adjust_unit(double* value) {
    int index = 0;
    if (*value >= 1024.0) {
        *value *= kStep;
        index = 1;
        if (*value >= 1024.0) {
            *value *= kStep;
            index = 2;
        }
    }
    *value = truncated(*value);
    return kShortLadder[index];
}

const char* adjust_unit2(double* value) {
    int index = 0;
    if (*value >= 10240.0) {
        *value *= kStep;
        index = 1;
        while (index != 5 && *value >= 10240.0) {
            ++index;
            *value *= kStep;
        }
    }
    *value = truncated(*value);
    return kLongLadder[index];
}

QString getUnitAndValueString(double bytes) {
    const char* unit = adjust_unit(&bytes);
    return QString::number(bytes, 'g', 8) + QString::fromUtf8(unit);
}

QString getUnitAndValueString2(double bytes) {
    const char* unit = adjust_unit2(&bytes);
    return QString::number(bytes, 'g', 6) + QString::fromUtf8(unit);
}
