// The kernel device-event parser on arbitrary datagrams: it must stay within the datagram,
// and whatever it accepts must name one of the four ports and a short disk name.

#include "upgrade/device_event.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so reading one byte past the datagram is caught.
    std::unique_ptr<char[]> datagram(new char[size ? size : 1]);
    if (size)
        memcpy(datagram.get(), data, size);
    const DeviceEvent event = parseDeviceEvent(datagram.get(), size);
    if (event.action != DeviceEvent::None) {
        if (event.port < 0 || event.port >= kUsbPortCount)
            abort();
        if (event.disk.empty() || event.disk.size() > kDiskNameMax)
            abort();
    }
    return 0;
}
