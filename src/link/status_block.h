#pragma once
// The status block the engine board sends: a 32-byte header and a tester, copier or burn-in
// port area. A wire format: every offset is fixed and checked below.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>

constexpr int kStatusBlockSize = 16488;
constexpr int kTesterPorts = 121;

struct StatusHeader {
    uint32_t length;        // always 16488
    uint32_t engineStatus;  // 3 upgrade accepted; 100..109 log export running, 110 done, 111 failed
    uint32_t engineVersion; // 0 until the engine reports one
    uint32_t engineTime;    // seconds since 1970 UTC
    int32_t totalWorked;
    int32_t totalSuccess;
    int32_t totalFail;
    uint32_t reserved28;
};
static_assert(sizeof(StatusHeader) == 32);
static_assert(offsetof(StatusHeader, engineStatus) == 4);
static_assert(offsetof(StatusHeader, engineVersion) == 8);
static_assert(offsetof(StatusHeader, engineTime) == 12);
static_assert(offsetof(StatusHeader, totalWorked) == 16);
static_assert(offsetof(StatusHeader, totalSuccess) == 20);
static_assert(offsetof(StatusHeader, totalFail) == 24);
static_assert(offsetof(StatusHeader, reserved28) == 28);

struct TesterPortRecord {
    int64_t writeTimeMs;
    uint64_t totalBytes;
    uint64_t doneBytes;
    uint8_t unused24[8];
    uint64_t badSectors; // 512-byte sectors
    uint8_t unused40[24];
    uint64_t totalSectors; // 512-byte sectors
    uint64_t writeSpeed;   // bytes per second
    uint64_t readSpeed;    // bytes per second
    double progress;       // percent
    uint32_t state;
    int32_t readTimeSec;
    uint32_t clusterFactorA;
    uint32_t clusterFactorB;
    uint32_t fsType; // 1 FAT16, 2 FAT32, 3 exFAT
    uint32_t connected;
    uint64_t testedBytes;
    uint64_t capacityBytes;
};
static_assert(sizeof(TesterPortRecord) == 136);
static_assert(offsetof(TesterPortRecord, totalBytes) == 8);
static_assert(offsetof(TesterPortRecord, doneBytes) == 16);
static_assert(offsetof(TesterPortRecord, badSectors) == 32);
static_assert(offsetof(TesterPortRecord, totalSectors) == 64);
static_assert(offsetof(TesterPortRecord, writeSpeed) == 72);
static_assert(offsetof(TesterPortRecord, readSpeed) == 80);
static_assert(offsetof(TesterPortRecord, progress) == 88);
static_assert(offsetof(TesterPortRecord, state) == 96);
static_assert(offsetof(TesterPortRecord, readTimeSec) == 100);
static_assert(offsetof(TesterPortRecord, clusterFactorA) == 104);
static_assert(offsetof(TesterPortRecord, clusterFactorB) == 108);
static_assert(offsetof(TesterPortRecord, fsType) == 112);
static_assert(offsetof(TesterPortRecord, connected) == 116);
static_assert(offsetof(TesterPortRecord, testedBytes) == 120);
static_assert(offsetof(TesterPortRecord, capacityBytes) == 128);

// Copier job area, right behind the header.
struct CopierJobArea {
    uint32_t prepCounter;
    uint32_t unused36;
    uint64_t jobBytes;
    uint32_t twoPass;
    uint32_t unused52;
};
static_assert(sizeof(CopierJobArea) == 24);
static_assert(offsetof(CopierJobArea, jobBytes) == 40 - 32);
static_assert(offsetof(CopierJobArea, twoPass) == 48 - 32);

struct CopierPortRecord {
    uint64_t capacityBytes;
    uint64_t copiedBytes;
    uint64_t comparedBytes;
    int64_t readTimeMs;
    int64_t writeTimeMs;
    float readSpeed;  // bytes per second
    float writeSpeed; // bytes per second
    uint32_t connectState;
    uint32_t portStatus;
};
static_assert(sizeof(CopierPortRecord) == 56);
static_assert(offsetof(CopierPortRecord, copiedBytes) == 8);
static_assert(offsetof(CopierPortRecord, comparedBytes) == 16);
static_assert(offsetof(CopierPortRecord, readTimeMs) == 24);
static_assert(offsetof(CopierPortRecord, writeTimeMs) == 32);
static_assert(offsetof(CopierPortRecord, readSpeed) == 40);
static_assert(offsetof(CopierPortRecord, writeSpeed) == 44);
static_assert(offsetof(CopierPortRecord, connectState) == 48);
static_assert(offsetof(CopierPortRecord, portStatus) == 52);

struct BurninPortRecord {
    uint32_t busy;
    uint32_t bnStatus; // 0..17
    int32_t bnProgress;
    uint32_t unused12;
    uint64_t bnCapacityBytes;
    float bnSpeed;
    uint32_t unused28;
    int64_t bnElapsedSec;
    uint32_t bnPass;
    uint8_t unused44[20];
    uint64_t bnPassGate;
    uint64_t bnWrittenBytes;
    uint64_t bnVerifiedBytes;
    uint8_t unused88[8];
    uint32_t errorCount1;
    uint32_t errorCount2;
    uint32_t errorCount3;
    uint32_t firstErrorKind; // 1 write, 2 read, 3 verify
    uint64_t smartC5;
    uint64_t smart05;
    uint64_t smartC3;
};
static_assert(sizeof(BurninPortRecord) == 136);
static_assert(offsetof(BurninPortRecord, bnStatus) == 4);
static_assert(offsetof(BurninPortRecord, bnProgress) == 8);
static_assert(offsetof(BurninPortRecord, bnCapacityBytes) == 16);
static_assert(offsetof(BurninPortRecord, bnSpeed) == 24);
static_assert(offsetof(BurninPortRecord, bnElapsedSec) == 32);
static_assert(offsetof(BurninPortRecord, bnPass) == 40);
static_assert(offsetof(BurninPortRecord, bnPassGate) == 64);
static_assert(offsetof(BurninPortRecord, bnWrittenBytes) == 72);
static_assert(offsetof(BurninPortRecord, bnVerifiedBytes) == 80);
static_assert(offsetof(BurninPortRecord, errorCount1) == 96);
static_assert(offsetof(BurninPortRecord, errorCount2) == 100);
static_assert(offsetof(BurninPortRecord, errorCount3) == 104);
static_assert(offsetof(BurninPortRecord, firstErrorKind) == 108);
static_assert(offsetof(BurninPortRecord, smartC5) == 112);
static_assert(offsetof(BurninPortRecord, smart05) == 120);
static_assert(offsetof(BurninPortRecord, smartC3) == 128);

// Offsets of the three port areas.
constexpr size_t testerPortOffset(int port) {
    return 32 + 136 * size_t(port - 1);
} // port 1..121
constexpr size_t copierPortOffset(int port) {
    return 56 + 56 * size_t(port);
} // 0 = master
constexpr size_t burninPortOffset(int index) {
    return 32 + 136 * size_t(index);
}
static_assert(testerPortOffset(kTesterPorts) + sizeof(TesterPortRecord) == kStatusBlockSize);

// One status block as bytes, with typed copies of its parts. Records are copied out, so a
// reader never depends on the block's alignment.
struct StatusBlock {
    alignas(8) unsigned char bytes[kStatusBlockSize];

    template <typename T> T at(size_t offset) const {
        T value{};
        if (offset + sizeof(T) <= sizeof(bytes))
            memcpy(&value, bytes + offset, sizeof(T));
        return value;
    }
    StatusHeader header() const { return at<StatusHeader>(0); }
    TesterPortRecord testerPort(int port) const {
        return at<TesterPortRecord>(testerPortOffset(port));
    }
    CopierJobArea copierJob() const { return at<CopierJobArea>(32); }
    CopierPortRecord copierPort(int port) const {
        return at<CopierPortRecord>(copierPortOffset(port));
    }
    BurninPortRecord burninPort(int index) const {
        return at<BurninPortRecord>(burninPortOffset(index));
    }
};

// The global status block. The link thread is its only writer; readers take one consistent
// copy per refresh instead of reading fields while a block is being written.
class InfoStore {
public:
    InfoStore() { memset(mBlock.bytes, 0, sizeof(mBlock.bytes)); }
    InfoStore(const InfoStore&) = delete;
    InfoStore& operator=(const InfoStore&) = delete;

    void snapshot(StatusBlock& out) const {
        std::lock_guard<std::mutex> lock(mMutex);
        memcpy(out.bytes, mBlock.bytes, sizeof(out.bytes));
    }
    // Copies bytes into the block at offset; anything past the end of the block is dropped.
    void write(size_t offset, const void* data, size_t length) {
        if (offset >= sizeof(mBlock.bytes))
            return;
        if (length > sizeof(mBlock.bytes) - offset)
            length = sizeof(mBlock.bytes) - offset;
        std::lock_guard<std::mutex> lock(mMutex);
        memcpy(mBlock.bytes + offset, data, length);
    }
    template <typename T> T read(size_t offset) const {
        std::lock_guard<std::mutex> lock(mMutex);
        return mBlock.at<T>(offset);
    }
    uint32_t engineStatus() const { return read<uint32_t>(offsetof(StatusHeader, engineStatus)); }
    void clear() {
        std::lock_guard<std::mutex> lock(mMutex);
        memset(mBlock.bytes, 0, sizeof(mBlock.bytes));
    }

private:
    mutable std::mutex mMutex;
    StatusBlock mBlock;
};

extern InfoStore Info;
