#include "platform/desktop_platform.h"

#include "base/log_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace h2 {

namespace {
std::string baseName(const std::string& program) {
    size_t slash = program.rfind('/');
    return slash == std::string::npos ? program : program.substr(slash + 1);
}

std::string joined(const std::vector<std::string>& argv) {
    std::string out;
    for (const std::string& a : argv)
        out += (out.empty() ? "" : " ") + a;
    return out;
}
} // namespace

DesktopPlatform::DesktopPlatform(const std::string& root) : Platform(root) {
    std::error_code ec;
    fs::create_directories(this->root(), ec);
}

std::vector<std::string> DesktopPlatform::interfaceNames() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mInterfaces;
}

void DesktopPlatform::setInterfaceNames(std::vector<std::string> names) {
    std::lock_guard<std::mutex> lock(mMutex);
    mInterfaces = std::move(names);
}

int DesktopPlatform::assignAddress(const std::string& interface, const std::string& address) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mAddresses.push_back(interface + " " + address);
    }
    LOGD("desktop: would run ifconfig %s %s\n\r", interface.c_str(), address.c_str());
    return 0;
}

int DesktopPlatform::setClock(time_t seconds) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mClock.push_back(seconds);
    }
    LOGD("desktop: would set the clock to %ld\n\r", long(seconds));
    return 0;
}

int DesktopPlatform::runProgram(const std::vector<std::string>& argv, std::string* output) {
    if (argv.empty())
        return -1;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mPrograms.push_back(argv);
    }
    const std::string program = baseName(argv[0]);
    if (program == "ifconfig") {
        LOGD("desktop: would run %s\n\r", joined(argv).c_str());
        return 0;
    }
    if (program == "mount" && argv.size() == 7 && argv[1] == "-t" && argv[3] == "-o")
        return mountVfat(argv[5], argv[6], argv[4]);
    if (program == "umount" && argv.size() == 2)
        return unmount(argv[1]);
    if (program == "mount" || program == "umount")
        return -1;
    return spawnAndWait(argv, output);
}

// A mount makes the node directory's files visible at the mount point (a symbolic link in
// place of the empty mount directory) and records the mount in ROOT/etc/mtab, with the
// board's paths and the options asked for, as the kernel would.
int DesktopPlatform::mountVfat(const std::string& node, const std::string& dir,
                               const std::string& options) {
    std::lock_guard<std::mutex> lock(mMutex);
    const fs::path source = path(node);
    const fs::path target = path(dir);
    std::error_code ec;
    if (!fs::is_directory(source, ec)) {
        LOGE("desktop: mount %s: no such device\n\r", node.c_str());
        return 32;
    }
    if (fs::is_symlink(target, ec)) {
        LOGE("desktop: mount %s: already mounted\n\r", dir.c_str());
        return 32;
    }
    if (fs::exists(target, ec)) {
        if (!fs::is_directory(target, ec) || !fs::is_empty(target, ec)) {
            LOGE("desktop: mount %s: mount point not an empty directory\n\r", dir.c_str());
            return 32;
        }
        fs::remove(target, ec);
    }
    fs::create_directories(target.parent_path(), ec);
    fs::create_directory_symlink(fs::absolute(source), target, ec);
    if (ec) {
        LOGE("desktop: mount %s on %s failed: %s\n\r", node.c_str(), dir.c_str(),
             ec.message().c_str());
        return 32;
    }
    fs::create_directories(path("/etc"), ec);
    std::ofstream mtab(path("/etc/mtab"), std::ios::app);
    // As the kernel does with a locked card: mounted all the same, but read-only.
    const std::string granted =
        mWriteProtected && options.rfind("rw", 0) == 0 ? "ro" + options.substr(2) : options;
    mtab << node << ' ' << dir << " vfat " << granted << " 0 0\n";
    LOGD("desktop: mounted %s on %s\n\r", node.c_str(), dir.c_str());
    return mtab.good() ? 0 : 32;
}

int DesktopPlatform::unmount(const std::string& dir) {
    std::lock_guard<std::mutex> lock(mMutex);
    const fs::path target = path(dir);
    std::error_code ec;
    if (!fs::is_symlink(target, ec)) {
        LOGE("desktop: umount %s: not mounted\n\r", dir.c_str());
        return 32;
    }
    fs::remove(target, ec);
    fs::create_directory(target, ec);

    std::ifstream in(path("/etc/mtab"));
    std::ostringstream kept;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountDir;
        fields >> device >> mountDir;
        if (mountDir != dir)
            kept << line << '\n';
    }
    in.close();
    std::ofstream out(path("/etc/mtab"), std::ios::trunc);
    out << kept.str();
    LOGD("desktop: unmounted %s\n\r", dir.c_str());
    return 0;
}

int DesktopPlatform::openDeviceEventSocket() {
    const std::string sockPath = path("/run/uevent.sock");
    std::error_code ec;
    fs::create_directories(path("/run"), ec);
    sockaddr_un addr{};
    if (sockPath.size() >= sizeof(addr.sun_path)) {
        LOGE("desktop: event socket path too long: %s\n\r", sockPath.c_str());
        return -1;
    }
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    addr.sun_family = AF_UNIX;
    memcpy(addr.sun_path, sockPath.c_str(), sockPath.size() + 1);
    ::unlink(sockPath.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string DesktopPlatform::prepareRegisterFile(size_t size) {
    const std::string file = path("/dev/mem");
    std::error_code ec;
    fs::create_directories(path("/dev"), ec);
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        struct stat st {};
        // Sparse: only the pages the panel touches ever take disk space.
        if (fstat(fd, &st) == 0 && st.st_size < off_t(size))
            (void)ftruncate(fd, off_t(size));
        ::close(fd);
    }
    return file;
}

// Sysfs GPIO under the root behaves as the kernel's does: exporting a number makes its
// directory with "direction" and "value".
int DesktopPlatform::writeSysfs(const std::string& absolutePath, const std::string& value) {
    const fs::path file = path(absolutePath);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    {
        std::ofstream out(file, std::ios::trunc);
        out << value;
        if (!out.good())
            return -1;
    }
    if (file.filename() == "export") {
        const fs::path gpio = file.parent_path() / ("gpio" + std::to_string(atoi(value.c_str())));
        if (!fs::exists(gpio, ec)) {
            fs::create_directories(gpio, ec);
            std::ofstream(gpio / "direction") << "in\n";
            std::ofstream(gpio / "value") << "0\n";
        }
    }
    return 0;
}

int DesktopPlatform::createStickFile(const std::string& absolutePath) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        std::ifstream mtab(path("/etc/mtab"));
        std::string device, dir, type, options, rest;
        while (mtab >> device >> dir >> type >> options && std::getline(mtab, rest)) {
            const bool under = absolutePath.rfind(dir + "/", 0) == 0;
            if (under && (options == "ro" || options.rfind("ro,", 0) == 0)) {
                errno = EROFS;
                return -1;
            }
        }
    }
    return Platform::createStickFile(absolutePath);
}

long DesktopPlatform::writeStick(int fd, const void* data, size_t size) {
    std::unique_lock<std::mutex> lock(mMutex);
    if (mWriteBudget == 0) {
        errno = mWriteError;
        return -1;
    }
    if (mWriteBudget > 0 && size > size_t(mWriteBudget))
        size = size_t(mWriteBudget);
    lock.unlock();
    const long written = Platform::writeStick(fd, data, size);
    lock.lock();
    if (mWriteBudget > 0 && written > 0)
        mWriteBudget -= written;
    return written;
}

void DesktopPlatform::setWriteProtectedSticks(bool on) {
    std::lock_guard<std::mutex> lock(mMutex);
    mWriteProtected = on;
}

void DesktopPlatform::failStickWritesAfter(long long bytes, int error) {
    std::lock_guard<std::mutex> lock(mMutex);
    mWriteBudget = bytes;
    mWriteError = error;
}

std::unique_ptr<Platform> makeDesktopPlatform(const std::string& root) {
    return std::make_unique<DesktopPlatform>(root);
}

std::vector<std::vector<std::string>> DesktopPlatform::programRequests() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mPrograms;
}

std::vector<time_t> DesktopPlatform::clockRequests() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mClock;
}

std::vector<std::string> DesktopPlatform::addressRequests() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mAddresses;
}

} // namespace h2
