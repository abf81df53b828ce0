// The board's own platform: real interfaces, clock, mounts, netlink and /dev/mem.
// Never started on development machines (the guard in start-up refuses it there).

#include "platform/platform.h"

#include "base/log_file.h"

#include <cerrno>
#include <linux/netlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace h2 {

namespace {
class DevicePlatform final : public Platform {
public:
    DevicePlatform() : Platform("/") {}

    const char* name() const override { return "device"; }
    bool isDevice() const override { return true; }

    std::vector<std::string> interfaceNames() override {
        std::vector<std::string> names;
        struct if_nameindex* list = if_nameindex();
        if (!list)
            return names;
        for (struct if_nameindex* i = list; i->if_index != 0 && i->if_name; ++i)
            names.emplace_back(i->if_name);
        if_freenameindex(list);
        return names;
    }

    int assignAddress(const std::string& interface, const std::string& address) override {
        return runProgram({"ifconfig", interface, address}) == 0 ? 0 : -1;
    }

    int setClock(time_t seconds) override {
        struct timeval tv {};
        tv.tv_sec = seconds;
        return settimeofday(&tv, nullptr);
    }

    int mountVfat(const std::string& node, const std::string& dir,
                  const std::string& options) override {
        return runProgram({"mount", "-t", "vfat", "-o", options, node, dir});
    }

    int unmount(const std::string& dir) override { return runProgram({"umount", dir}); }

    int openDeviceEventSocket() override {
        int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
        if (fd < 0)
            return -1;
        // A burst of events (a hub with several sticks) must not overflow the queue.
        const int size = 65536;
        if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof(size)) != 0)
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
        sockaddr_nl addr{};
        addr.nl_family = AF_NETLINK;
        addr.nl_pid = uint32_t(getpid());
        addr.nl_groups = 0xFFFFFFFFu;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) < 0) {
            // The process id may be taken by another netlink socket: let the kernel choose.
            addr.nl_pid = 0;
            if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) < 0) {
                ::close(fd);
                return -1;
            }
        }
        return fd;
    }

    std::string prepareRegisterFile(size_t) override { return "/dev/mem"; }
};
} // namespace

std::unique_ptr<Platform> makeDevicePlatform() {
    return std::make_unique<DevicePlatform>();
}

} // namespace h2
