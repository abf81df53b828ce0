#pragma once
// Kernel device events ("add@/devices/.../usb1/.../block/sda") reduced to what the upgrade
// monitor acts on: a whole USB disk appearing on or leaving one of the panel's own ports.

#include <cstddef>
#include <string>

// The panel's four USB ports as they appear in device paths; the index is the port number
// the logs show.
constexpr int kUsbPortCount = 4;
extern const char device20[kUsbPortCount][128];

// Longest disk name handled ("/sda"), as the monitor stores it.
constexpr size_t kDiskNameMax = 63;

struct DeviceEvent {
    enum Action { None, Add, Remove };
    Action action = None;
    int port = -1;    // 0..3 for Add and Remove
    std::string disk; // "/sda": the text behind "/block"
};

// Reads one datagram of `length` bytes; never reads past it. Only the first NUL-terminated
// text counts (the kernel appends its key=value lines after it). Anything that is not an
// add or remove of a whole disk on one of the four ports gives action None.
DeviceEvent parseDeviceEvent(const char* data, size_t length);
