#pragma once
// Building status blocks for tests: records written at their wire offsets.

#include "link/status_block.h"

#include <cstring>

inline void putBytes(StatusBlock& block, size_t offset, const void* data, size_t length) {
    memcpy(block.bytes + offset, data, length);
}
inline void putCopierJob(StatusBlock& block, const CopierJobArea& job) {
    putBytes(block, 32, &job, sizeof(job));
}
inline void putCopierPort(StatusBlock& block, int port, const CopierPortRecord& record) {
    putBytes(block, copierPortOffset(port), &record, sizeof(record));
}
inline void putBurninPort(StatusBlock& block, int index, const BurninPortRecord& record) {
    putBytes(block, burninPortOffset(index), &record, sizeof(record));
}
inline StatusBlock emptyBlock() {
    StatusBlock block;
    memset(block.bytes, 0, sizeof(block.bytes));
    return block;
}
