#pragma once
// Messages of the engine link, shared by the panel, the engine simulator and the tests.
// Every message is a run of little-endian 32-bit words: total length in bytes, then the
// command code. The settings message is the first 124 bytes of the settings record
// (settings/setting_record.h), the status block is in link/status_block.h.

#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the link's words are little-endian");

namespace wire {

// Command codes the panel sends.
enum Command : uint32_t {
    kCmdSetting = 2,
    kCmdUpgrade = 3, // command message, then upgrade data messages on the data connection
    kCmdPowerOff = 9,
    kCmdPowerOn = 10,
    kCmdLowSpeed = 11, // with parameter: the port
    kCmdExportLog = 12,
    kCmdMasterClear = 13,
};

constexpr int kControlPortDefault = 11111;
constexpr int kDataPortDefault = 11112;

// Receive buffer of the link thread, and the longest message it accepts.
constexpr int kReceiveBufferSize = 1024 * 1024;
// Largest payload of one upgrade data message.
constexpr int kMaxUpgradePayload = 1024 * 1024;
// Shortest message: length and command.
constexpr int kMinMessageSize = 8;

struct CommandMessage {
    uint32_t length; // 8
    uint32_t command;
};
static_assert(sizeof(CommandMessage) == 8);
static_assert(offsetof(CommandMessage, command) == 4);

struct CommandWithParameter {
    uint32_t length; // 12
    uint32_t command;
    uint32_t parameter;
};
static_assert(sizeof(CommandWithParameter) == 12);
static_assert(offsetof(CommandWithParameter, command) == 4);
static_assert(offsetof(CommandWithParameter, parameter) == 8);

// Header of an upgrade data message; the payload follows it.
struct UpgradeDataHeader {
    uint32_t length;    // payload length + 16
    uint32_t command;   // 3
    uint32_t totalSize; // of the whole upgrade file
    uint32_t offset;    // of this payload in the file
};
static_assert(sizeof(UpgradeDataHeader) == 16);
static_assert(offsetof(UpgradeDataHeader, command) == 4);
static_assert(offsetof(UpgradeDataHeader, totalSize) == 8);
static_assert(offsetof(UpgradeDataHeader, offset) == 12);

constexpr CommandMessage commandMessage(uint32_t command) {
    return CommandMessage{sizeof(CommandMessage), command};
}
constexpr CommandWithParameter commandWithParameter(uint32_t command, uint32_t parameter) {
    return CommandWithParameter{sizeof(CommandWithParameter), command, parameter};
}
constexpr UpgradeDataHeader upgradeDataHeader(uint32_t payloadLength, uint32_t totalSize,
                                              uint32_t offset) {
    return UpgradeDataHeader{uint32_t(sizeof(UpgradeDataHeader) + payloadLength), kCmdUpgrade,
                             totalSize, offset};
}

// A length word the link accepts: room for length and command, and no more than the
// receive buffer holds.
constexpr bool plausibleLength(uint32_t length) {
    return length >= uint32_t(kMinMessageSize) && length <= uint32_t(kReceiveBufferSize);
}

// Bytes of the whole messages at the start of `held` received bytes: the framing keeps a
// message cut by the end of a read for the next read instead of losing its start.
inline int wholeMessagesLength(const unsigned char* data, int held) {
    int at = 0;
    while (held - at >= 4) {
        uint32_t length;
        memcpy(&length, data + at, sizeof(length));
        if (!plausibleLength(length) || length > uint32_t(held - at))
            break;
        at += int(length);
    }
    return at;
}

// What the link does with `held` received bytes of a control connection: -1 when the first
// length word is not plausible (the connection is dropped), 0 while the first message is
// still incomplete, else the bytes of the whole messages to hand on now.
inline int framedLength(const unsigned char* data, int held) {
    if (held < 4)
        return 0;
    uint32_t length;
    memcpy(&length, data, sizeof(length));
    if (!plausibleLength(length))
        return -1;
    if (uint32_t(held) < length)
        return 0;
    return wholeMessagesLength(data, held);
}

} // namespace wire
