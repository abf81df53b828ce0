#pragma once
// Which capacity grade a medium belongs to, for the frames that colour it.

#include "settings/setting_record.h"

#include <QString>

#include <cstdint>

// The first enabled grade (0..8) whose bounds, in MiB and inclusive, hold the capacity;
// -1 when none does. Bounds count as unsigned 32-bit values.
int capacityGradeOf(const SettingRecord& record, uint64_t capacityBytes);
// "background:#rrggbb" for a grade colour 0xRRGGBB.
QString gradeStyleSheet(int32_t color);
