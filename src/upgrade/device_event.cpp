#include "upgrade/device_event.h"

#include <cstring>
#include <string_view>

const char device20[kUsbPortCount][128] = {"usb1/", "usb2/", "usb3/", "usb4/"};

namespace {

// The action is compared over its own length, so "add", "a" and an empty action all count
// as add.
bool actionIs(std::string_view action, std::string_view name) {
    return action.size() <= name.size() && name.compare(0, action.size(), action) == 0;
}

// "/sda": one plain device name. Anything else would let an event steer the mount towards
// another path.
bool plainDiskName(std::string_view disk) {
    if (disk.size() < 2 || disk.size() > kDiskNameMax || disk[0] != '/')
        return false;
    for (char c : disk.substr(1)) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

DeviceEvent parseDeviceEvent(const char* data, size_t length) {
    DeviceEvent event;
    if (!data || length == 0)
        return event;
    const std::string_view text(data, strnlen(data, length));

    const size_t at = text.find('@');
    if (at == std::string_view::npos)
        return event;
    const std::string_view action = text.substr(0, at);
    DeviceEvent::Action kind;
    if (actionIs(action, "add"))
        kind = DeviceEvent::Add;
    else if (actionIs(action, "remove"))
        kind = DeviceEvent::Remove;
    else
        return event;

    const std::string_view devpath = text.substr(at + 1);
    const size_t block = devpath.find("/block");
    if (block == std::string_view::npos)
        return event;
    int port = -1;
    for (int i = 0; i < kUsbPortCount && port < 0; ++i) {
        if (devpath.find(device20[i]) != std::string_view::npos)
            port = i;
    }
    if (port < 0)
        return event;

    // A whole disk ends in a letter (/block/sda); a partition in its number (/block/sda/sda1).
    const char last = devpath.back();
    if (last < 'a' || last > 'z')
        return event;
    const std::string_view disk = devpath.substr(block + strlen("/block"));
    if (!plainDiskName(disk))
        return event;

    event.action = kind;
    event.port = port;
    event.disk = std::string(disk);
    return event;
}
