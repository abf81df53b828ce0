#pragma once
// The engine's reading of what the panel sends: message texts for the console, and the
// reassembly of an upgrade file from its data messages.

#include "link/wire.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

const char* commandName(uint32_t command);
const char* modeName(int mode);

// One control message from the panel as a line of text: the settings message with every
// field by name, commands with their code, name and parameter.
std::string describeControlMessage(const unsigned char* data, size_t length);

// Length of the first complete message at the start of `data`: 0 while incomplete, -1 when
// its length word cannot be right (below 8 or above `maxLength`).
long frameLength(const unsigned char* data, size_t available, uint32_t maxLength);

class UpgradeReceiver {
public:
    enum class Result { InProgress, Complete, Failed };

    // Command 3: an upgrade follows; forget any earlier one.
    void announce();
    // One upgrade data message (header and payload). On failure `why` says what was wrong.
    Result feed(const unsigned char* message, size_t length, std::string* why);

    bool announced() const { return mAnnounced; }
    uint32_t received() const { return uint32_t(mFile.size()); }
    uint32_t total() const { return mTotal; }
    const std::vector<unsigned char>& file() const { return mFile; }
    uint32_t checksum() const; // FNV-1a of the file

private:
    bool mAnnounced = false;
    bool mFailed = false;
    uint32_t mTotal = 0;
    std::vector<unsigned char> mFile;
};

} // namespace sim
