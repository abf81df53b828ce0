#include "messages.h"

#include "settings/setting_record.h"

#include <cstdio>
#include <cstring>

namespace sim {

namespace {

struct Field {
    const char* name;
    int32_t SettingRecord::*member;
};

// The fields of the settings message, in wire order.
constexpr Field kSettingFields[] = {
    {"length", &SettingRecord::length},
    {"command", &SettingRecord::command},
    {"mode", &SettingRecord::mode},
    {"format_type", &SettingRecord::format_type},
    {"capacity_test", &SettingRecord::capacity_test},
    {"reserved1", &SettingRecord::reserved1},
    {"write_speed", &SettingRecord::write_speed},
    {"read_speed", &SettingRecord::read_speed},
    {"need_format", &SettingRecord::need_format},
    {"port_count", &SettingRecord::port_count},
    {"copy_cap", &SettingRecord::copy_cap},
    {"copy_err", &SettingRecord::copy_err},
    {"reserved2", &SettingRecord::reserved2},
    {"machine_type", &SettingRecord::machine_type},
    {"board_model", &SettingRecord::board_model},
    {"machine_variant", &SettingRecord::machine_variant},
    {"test_block", &SettingRecord::test_block},
    {"copy_block", &SettingRecord::copy_block},
    {"pre_format", &SettingRecord::pre_format},
    {"after_format", &SettingRecord::after_format},
    {"burnin_cycle", &SettingRecord::burnin_cycle},
    {"burnin_time", &SettingRecord::burnin_time},
    {"burnin_content", &SettingRecord::burnin_content},
    {"burnin_block", &SettingRecord::burnin_block},
    {"burnin_data", &SettingRecord::burnin_data},
    {"language", &SettingRecord::language},
    {"wipe_mode", &SettingRecord::wipe_mode},
    {"volumekeep", &SettingRecord::volumekeep},
    {"analysisPre", &SettingRecord::analysisPre},
    {"createMBR", &SettingRecord::createMBR},
    {"COPYTIMECOUNT", &SettingRecord::COPYTIMECOUNT},
};
static_assert(std::size(kSettingFields) * 4 == kSettingMessageSize);

const char* const kModeNames[] = {"H2 test",
                                  "format",
                                  "H5 test",
                                  "full-disk copy and compare",
                                  "full-disk copy",
                                  "data copy and compare",
                                  "data copy",
                                  "burn-in",
                                  "H2 write",
                                  "H2 verify",
                                  "erase",
                                  "protocol analysis",
                                  "full-disk compare",
                                  "data compare",
                                  "aging"};

uint32_t word(const unsigned char* data, size_t index) {
    uint32_t value;
    memcpy(&value, data + 4 * index, sizeof(value));
    return value;
}

} // namespace

const char* commandName(uint32_t command) {
    switch (command) {
    case wire::kCmdSetting:
        return "settings";
    case wire::kCmdUpgrade:
        return "upgrade follows";
    case wire::kCmdPowerOff:
        return "boards powering off";
    case wire::kCmdPowerOn:
        return "boards powering on";
    case wire::kCmdLowSpeed:
        return "low speed";
    case wire::kCmdExportLog:
        return "export log";
    case wire::kCmdMasterClear:
        return "master clear";
    default:
        return "unknown";
    }
}

const char* modeName(int mode) {
    return mode >= 0 && mode < int(std::size(kModeNames)) ? kModeNames[mode] : "unknown";
}

std::string describeControlMessage(const unsigned char* data, size_t length) {
    char line[128];
    if (length < 8)
        return "short message of " + std::to_string(length) + " bytes";
    const uint32_t command = word(data, 1);
    if (command == wire::kCmdSetting && length == kSettingMessageSize) {
        SettingRecord record{};
        memcpy(&record, data, kSettingMessageSize);
        std::string text = "settings:";
        for (const Field& field : kSettingFields) {
            snprintf(line, sizeof(line), " %s=%d", field.name, int(record.*field.member));
            text += line;
        }
        snprintf(line, sizeof(line), " (%s)", modeName(record.mode));
        return text + line;
    }
    if (length == sizeof(wire::CommandMessage)) {
        snprintf(line, sizeof(line), "command %u (%s)", unsigned(command), commandName(command));
        return line;
    }
    if (length == sizeof(wire::CommandWithParameter)) {
        snprintf(line, sizeof(line), "command %u (%s) parameter %d", unsigned(command),
                 commandName(command), int(word(data, 2)));
        return line;
    }
    snprintf(line, sizeof(line), "message of %zu bytes, command %u (%s)", length, unsigned(command),
             commandName(command));
    return line;
}

long frameLength(const unsigned char* data, size_t available, uint32_t maxLength) {
    if (available < 4)
        return 0;
    const uint32_t length = word(data, 0);
    if (length < uint32_t(wire::kMinMessageSize) || length > maxLength)
        return -1;
    return available >= length ? long(length) : 0;
}

void UpgradeReceiver::announce() {
    mAnnounced = true;
    mFailed = false;
    mTotal = 0;
    mFile.clear();
}

UpgradeReceiver::Result UpgradeReceiver::feed(const unsigned char* message, size_t length,
                                              std::string* why) {
    auto fail = [&](const std::string& text) {
        mFailed = true;
        *why = text;
        return Result::Failed;
    };
    if (length < sizeof(wire::UpgradeDataHeader))
        return fail("data message shorter than its header");
    wire::UpgradeDataHeader header;
    memcpy(&header, message, sizeof(header));
    const size_t payload = length - sizeof(header);
    if (header.command != wire::kCmdUpgrade)
        return fail("data message with command " + std::to_string(header.command));
    if (header.length != length)
        return fail("length word " + std::to_string(header.length) + " for a message of " +
                    std::to_string(length) + " bytes");
    if (payload > size_t(wire::kMaxUpgradePayload))
        return fail("payload of " + std::to_string(payload) + " bytes");
    if (header.offset == 0) { // a new file, announced or not
        mFailed = false;
        mFile.clear();
        mTotal = header.totalSize;
    }
    if (mFailed)
        return fail("data after a failed transfer");
    if (header.totalSize != mTotal)
        return fail("total changed from " + std::to_string(mTotal) + " to " +
                    std::to_string(header.totalSize));
    if (header.offset != mFile.size())
        return fail("offset " + std::to_string(header.offset) + " where " +
                    std::to_string(mFile.size()) + " was expected");
    if (mFile.size() + payload > mTotal)
        return fail("more bytes than the total of " + std::to_string(mTotal));
    mFile.insert(mFile.end(), message + sizeof(header), message + length);
    return mFile.size() == mTotal ? Result::Complete : Result::InProgress;
}

uint32_t UpgradeReceiver::checksum() const {
    uint32_t hash = 2166136261u;
    for (unsigned char byte : mFile) {
        hash ^= byte;
        hash *= 16777619u;
    }
    return hash;
}

} // namespace sim
