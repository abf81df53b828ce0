#pragma once
// Every contact with the operating system beyond plain file I/O in the panel's own
// directories goes through here, so that the same code runs on the board and, against a
// scratch root directory, on development machines.

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace h2 {

class Platform {
public:
    virtual ~Platform() = default;

    virtual const char* name() const = 0;
    virtual bool isDevice() const = 0;

    // The directory every absolute path of the panel lives under ("/" on the board).
    const std::string& root() const { return mRoot; }
    // An absolute path of the panel ("/etc/mtab") as a path on this machine.
    std::string path(const std::string& absolute) const;

    // Names of the network interfaces, in the system's order.
    virtual std::vector<std::string> interfaceNames() = 0;
    // Gives the interface the address ("ifconfig NAME ADDR"); 0 on success.
    virtual int assignAddress(const std::string& interface, const std::string& address) = 0;
    // Sets the system clock to the given second; 0 on success, else -1 with errno set.
    virtual int setClock(time_t seconds) = 0;

    // Runs a program with an argument vector (never through a shell) and waits for it.
    // Returns its exit status, or -1 when it could not be started or was killed. With
    // `output`, its standard output is collected there (-1 when it exceeds kOutputMax).
    virtual int runProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

    // "mount -t vfat -o OPTIONS NODE DIR" and "umount DIR"; 0 on success.
    virtual int mountVfat(const std::string& node, const std::string& dir,
                          const std::string& options) = 0;
    virtual int unmount(const std::string& dir) = 0;

    // A datagram socket that delivers device events in the kernel's uevent format;
    // -1 on failure.
    virtual int openDeviceEventSocket() = 0;

    // Makes the GPIO register file usable: on the desktop a sparse file of at least `size`
    // bytes. Returns the path to map.
    virtual std::string prepareRegisterFile(size_t size) = 0;
    // Writes a value into a sysfs file (a file write, never a shell echo); 0 on success.
    virtual int writeSysfs(const std::string& absolutePath, const std::string& value);

    // Creates (or empties) a file on a mounted stick for writing: a descriptor, or -1 with
    // errno set. Its writes go through writeStick(), which may write less than asked.
    virtual int createStickFile(const std::string& absolutePath);
    virtual long writeStick(int fd, const void* data, size_t size);

protected:
    explicit Platform(std::string root);

private:
    std::string mRoot;
};

// The process-wide platform; a desktop platform on a scratch directory until one is chosen.
Platform& platform();
void setPlatform(std::unique_ptr<Platform> platform);

// Platform factories. `root` is resolved; the desktop platform creates it.
std::unique_ptr<Platform> makeDevicePlatform();
std::unique_ptr<Platform> makeDesktopPlatform(const std::string& root);

// True when the contents of /proc/device-tree/compatible name an Allwinner SoC.
bool namesAllwinnerSoc(const std::string& compatible);

// Checks that a platform may start here; on refusal returns false with a message in `why`.
bool deviceGuard(const std::string& compatiblePath, std::string* why);
bool desktopRootAllowed(const std::string& root, std::string* why);

// Runs argv with fork/exec, collecting its standard output when asked; shared by both
// platforms.
constexpr size_t kOutputMax = 4 * 1024 * 1024;
int spawnAndWait(const std::vector<std::string>& argv, std::string* output = nullptr);

// The pause of the hardware threads: real time in the program, replaceable in tests.
using PauseFn = std::function<void(unsigned milliseconds)>;
void realPause(unsigned milliseconds);

} // namespace h2
