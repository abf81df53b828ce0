#include "settings/capacity_grade.h"

int capacityGradeOf(const SettingRecord& record, uint64_t capacityBytes) {
    const uint64_t megabytes = capacityBytes >> 20;
    for (int i = 0; i < 9; ++i) {
        if (record.capfil_enable[i] == 0)
            continue;
        if (uint64_t(uint32_t(record.capfil_low[i])) <= megabytes &&
            megabytes <= uint64_t(uint32_t(record.capfil_high[i])))
            return i;
    }
    return -1;
}

QString gradeStyleSheet(int32_t color) {
    // A hand-edited file may carry more than a colour: a longer number is no style sheet.
    return QString::asprintf("background:#%06x", unsigned(color) & 0xFFFFFFu);
}
