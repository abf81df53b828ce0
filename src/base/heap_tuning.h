#pragma once
// Keeps the panel's resident memory flat over a day of refreshes.

// Fixes glibc's mmap threshold at its default. Left dynamic, the first full-window paint
// (a 1.2 MB clip buffer, freed at once) raises it and with it the trim threshold, and up to
// 2.4 MB of freed heap then stays resident for the rest of the run.
void fixHeapThresholds();
