#pragma once
// Percentages of the figures the engine reports, for progress bars of range 0..100. Any
// value the block can carry gives 0 to 100: nothing wraps, overflows or divides by zero.

#include <cstdint>

// `part` of `whole` in whole percent, truncated; 100 once part reaches whole, 0 for an empty
// whole. Exact for every pair: the product part * 100 is never formed.
constexpr int percentOf(uint64_t part, uint64_t whole) {
    if (whole == 0)
        return 0;
    if (part >= whole)
        return 100;
    // Long multiplication by the bits of 100, keeping percent * whole + rest = part * (bits
    // so far) with rest < whole.
    int percent = 0;
    uint64_t rest = 0;
    for (int bit = 6; bit >= 0; --bit) {
        percent *= 2;
        if (rest >= whole - rest) {
            rest -= whole - rest;
            ++percent;
        } else {
            rest *= 2;
        }
        if ((100 >> bit) & 1) {
            if (rest >= whole - part) {
                rest -= whole - part;
                ++percent;
            } else {
                rest += part;
            }
        }
    }
    return percent;
}

// A percent the engine computed itself, truncated and clamped to 0..100; NaN gives 0.
constexpr int clampPercent(double percent) {
    if (!(percent > 0))
        return 0;
    return percent >= 100 ? 100 : int(percent);
}

static_assert(percentOf(999, 1000) == 99 && percentOf(UINT64_MAX - 1, UINT64_MAX) == 99);
static_assert(percentOf(1, 3) == 33 && percentOf(2, 3) == 66 && percentOf(5, 0) == 0);
