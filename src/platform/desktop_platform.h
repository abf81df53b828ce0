#pragma once
// The platform of development machines, the demo and the tests: everything lives under a
// scratch root, the network and the clock are only logged, mounts are simulated.

#include "platform/platform.h"

#include <mutex>

namespace h2 {

class DesktopPlatform final : public Platform {
public:
    explicit DesktopPlatform(const std::string& root);

    const char* name() const override { return "desktop"; }
    bool isDevice() const override { return false; }

    std::vector<std::string> interfaceNames() override;
    int assignAddress(const std::string& interface, const std::string& address) override;
    int setClock(time_t seconds) override;
    int runProgram(const std::vector<std::string>& argv, std::string* output = nullptr) override;
    int mountVfat(const std::string& node, const std::string& dir,
                  const std::string& options) override;
    int unmount(const std::string& dir) override;
    int openDeviceEventSocket() override;
    std::string prepareRegisterFile(size_t size) override;
    int writeSysfs(const std::string& absolutePath, const std::string& value) override;
    // Refused with EROFS under a mount the mount table lists as "ro".
    int createStickFile(const std::string& absolutePath) override;
    long writeStick(int fd, const void* data, size_t size) override;

    // Faults of sticks for tests: a write-protected stick is mounted read-only whatever the
    // options ask; after `bytes` more bytes every stick write fails with `error` (ENOSPC a
    // full stick, EIO a pulled one); a negative count writes without limit again.
    void setWriteProtectedSticks(bool on);
    void failStickWritesAfter(long long bytes, int error);

    // What the panel asked for, for tests and tools.
    void setInterfaceNames(std::vector<std::string> names);
    std::vector<time_t> clockRequests() const;
    std::vector<std::string> addressRequests() const;
    std::vector<std::vector<std::string>> programRequests() const;

private:
    mutable std::mutex mMutex;
    std::vector<std::string> mInterfaces{"eth0"};
    std::vector<time_t> mClock;
    std::vector<std::string> mAddresses;
    std::vector<std::vector<std::string>> mPrograms;
    bool mWriteProtected = false;
    long long mWriteBudget = -1;
    int mWriteError = 0;
};

} // namespace h2
