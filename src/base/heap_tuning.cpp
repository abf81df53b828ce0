#include "base/heap_tuning.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void fixHeapThresholds() {
#if defined(__GLIBC__)
    // Setting it at all turns the dynamic adjustment off; 128 KiB is glibc's own default.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
