#include "upgrade/upgrade.h"

#include "base/log_file.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "link/wire.h"
#include "results/csv.h"
#include "results/csv_export.h"
#include "results/reader.h"
#include "settings/settings.h"
#include "upgrade/device_event.h"
#include "upgrade/upgrade_package.h"
#include "upgrade/upgradedialog.h"

#include <QDateTime>
#include <QSysInfo>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace upgrade;

namespace {

constexpr int kBoard = 1;

class FdGuard {
public:
    explicit FdGuard(int fd) : mFd(fd) {}
    ~FdGuard() {
        if (mFd >= 0)
            ::close(mFd);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return mFd; }

private:
    int mFd;
};

// Reads until `want` bytes or the end of the file; -1 on a read error.
ssize_t readPiece(int fd, unsigned char* buf, size_t want) {
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buf + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += size_t(n);
    }
    return ssize_t(got);
}

int currentMode() {
    std::lock_guard<std::recursive_mutex> lock(settingMutex());
    return mSetting.mode;
}

void makeDirectory(const char* dir, const char* message) {
    const std::string local = h2::platform().path(dir);
    struct stat st {};
    if (::stat(local.c_str(), &st) == 0)
        return;
    LOGD("%s\n\r", message);
    ::mkdir(local.c_str(), 0775);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

UpgradeThread::UpgradeThread(QObject* parent) : QThread(parent) {
    if (::pipe2(mWake, O_CLOEXEC | O_NONBLOCK) != 0)
        mWake[0] = mWake[1] = -1;
}

UpgradeThread::~UpgradeThread() {
    if (isRunning()) {
        requestStop();
        wait();
    }
    (void)mRunEnded.load(std::memory_order_acquire);
    for (int fd : {mSocket, mWake[0], mWake[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void UpgradeThread::init(UpgradeDialog* dialog, DataServer* server) {
    mSocket = h2::platform().openDeviceEventSocket();
    LOGD("uevent ret %d\n\r", mSocket < 0 ? 0 : mSocket);
    mDialog = dialog;
    mServer = server;
}

void UpgradeThread::setPause(h2::PauseFn pause) {
    mPause = std::move(pause);
}

void UpgradeThread::setStepObserver(std::function<void(int, int)> observer) {
    mStepObserver = std::move(observer);
}

void UpgradeThread::requestStop() {
    if (mWake[1] >= 0) {
        const char byte = 1;
        (void)::write(mWake[1], &byte, 1);
    }
}

void UpgradeThread::run() {
    struct EndMark {
        std::atomic<bool>& ended;
        ~EndMark() { ended.store(true, std::memory_order_release); }
    } endMark{mRunEnded};
    LOGD("start to monito upgrade disk\n\r");
    LOGD("will check device\n\r");
    char buf[kEventBufferSize];
    for (;;) {
        // Without an event socket the thread only waits to be stopped.
        pollfd fds[2] = {{mWake[0], POLLIN, 0}, {mSocket, POLLIN, 0}};
        const nfds_t count = mSocket >= 0 ? 2 : 1;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (count == 2 && fds[1].revents) {
            if (fds[1].revents & POLLNVAL)
                return;
            // Also on POLLERR: receiving clears a pending error such as a queue overrun,
            // which would otherwise wake the loop for ever.
            memset(buf, 0, sizeof(buf));
            const ssize_t n = ::recv(mSocket, buf, sizeof(buf), MSG_DONTWAIT);
            if (n > 0)
                handleEvent(buf, size_t(n));
        }
    }
}

void UpgradeThread::handleEvent(const char* data, size_t length) {
    const DeviceEvent event = parseDeviceEvent(data, length);
    if (event.action == DeviceEvent::Remove) {
        LOGD("%d removed\n\r", event.port);
        stopDialog();
        mDiskName.clear();
        if (currentMode() == kAgingMode)
            sendSetting();
    } else if (event.action == DeviceEvent::Add) {
        LOGD("port %d added\n\r", event.port);
        mDiskName = event.disk;
        if (mDialog)
            emit mDialog->startU();
        report(1, Preparing);
        if (UpgradeDevice() < 0)
            LOGE("error to upgrade file\n\r");
        else
            LOGD("here\n\r");
    }
}

void UpgradeThread::report(int percent, int state) {
    if (mDialog)
        mDialog->setStep(percent, state);
    if (mStepObserver)
        mStepObserver(percent, state);
}

void UpgradeThread::stopDialog() {
    if (mDialog)
        emit mDialog->stopU();
}

void UpgradeThread::unmountStick() {
    h2::platform().unmount(kMountPoint);
}

int UpgradeThread::getUpgradeFile(std::string& path, const char* prefix) {
    return findEntry(path, prefix, true);
}

// The lookups the upgrade always made are logged; those for the results export are not, so
// that a stick without the results marker leaves the log as it was.
int UpgradeThread::findEntry(std::string& path, const char* prefix, bool logged) {
    const size_t prefixLength = strlen(prefix);
    if (logged)
        LOGD("will search %s in %s %d\n\r", prefix, kMountPoint, int(prefixLength));
    DIR* dir = ::opendir(h2::platform().path(kMountPoint).c_str());
    if (!dir) {
        if (logged)
            LOGD("dir %s open failed\n\r", kMountPoint);
        return -1;
    }
    int result = -1;
    while (struct dirent* entry = ::readdir(dir)) {
        if (strlen(entry->d_name) >= 256) {
            if (logged)
                LOGD("file too long\n\r");
            continue;
        }
        if (strncmp(entry->d_name, prefix, prefixLength) == 0) {
            path = std::string(kMountPoint) + "/" + entry->d_name;
            if (logged)
                LOGD("find %s\n\r", path.c_str());
            result = 0;
            break;
        }
    }
    ::closedir(dir);
    return result;
}

int UpgradeThread::transferUpgradeFile() {
    h2::Platform& p = h2::platform();
    struct stat st {};
    if (::stat(p.path(kMountPoint).c_str(), &st) != 0) {
        LOGE("Error to find client file\n\r");
        return -1;
    }
    // Released on every way out of this function.
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kMessageBufferSize]);
    if (!buffer) {
        LOGD("malloc fail \n\r");
        return -1;
    }
    std::string file;
    if (getUpgradeFile(file, kEngineFile) != 0) {
        LOGE("Error to find client file\n\r");
        std::string marker;
        return getUpgradeFile(marker, kAgingMarker) == 0 ? -2 : -1;
    }
    // Non-blocking open: a stick cannot stall the monitor with a special file.
    FdGuard fd(::open(p.path(file).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        LOGD("error to open file %s\n\r", file.c_str());
        return -1;
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > INT32_MAX) {
        LOGD("error to get file preperty\n\r");
        return -1;
    }
    const uint32_t total = uint32_t(st.st_size);
    LOGD("upgrade file len %d\n\r", int(total));

    const wire::CommandMessage command = wire::commandMessage(wire::kCmdUpgrade);
    const int commandSent = mServer ? mServer->send(kBoard, &command, sizeof(command)) : -1;
    if (commandSent != int(sizeof(command)))
        LOGE("error to send upgrade cmd %d\n\r", kBoard);
    mPause(1000);

    const size_t headerSize = sizeof(wire::UpgradeDataHeader);
    uint32_t sent = 0;
    do {
        const ssize_t count = readPiece(fd.get(), buffer.get() + headerSize,
                                        std::min<size_t>(kMaxPiece, total - sent));
        LOGD("read %d\n\r", int(count));
        // A file that ends early would otherwise be sent as empty pieces for ever.
        if (count < 0 || (count == 0 && sent < total)) {
            LOGD("error to read file\n\r");
            return -1;
        }
        const wire::UpgradeDataHeader header =
            wire::upgradeDataHeader(uint32_t(count), total, sent);
        memcpy(buffer.get(), &header, headerSize);
        const int length = int(headerSize + size_t(count));
        LOGD("upgrade send len %d\n\r", length);
        const int ret = mServer ? mServer->dataSend(kBoard, buffer.get(), length) : -1;
        LOGD("upgrade send len %d board %d\n\r", ret, kBoard);
        // A piece that went out in part leaves the board's stream unusable.
        if (ret < length) {
            LOGE("error to send file\n\r");
            return -1;
        }
        mPause(1000);
        sent += uint32_t(count);
        LOGD("ret %d current %d length %d total %d\n\r", ret, int(sent), int(count), int(total));
    } while (sent < total);
    return 0;
}

int UpgradeThread::UpgradeDevice() {
    h2::Platform& p = h2::platform();
    LOGD("disk name %s\n\r", mDiskName.c_str());
    report(1, Preparing);
    makeDirectory(kMountPoint, "create mount point");
    makeDirectory(kExtractDir, "create extract point");

    const std::string partition = "/dev" + mDiskName + "1";
    const std::string disk = "/dev" + mDiskName;
    report(10, Preparing);

    // A mount left behind by an earlier stick would be taken for this one.
    if (is_mounted(kMountPoint) > 0)
        unmountStick();
    struct stat st {};
    const bool hasPartition = ::stat(p.path(partition).c_str(), &st) == 0;
    if (hasPartition) {
        p.mountVfat(partition, kMountPoint, kStickMountOptions);
        if (is_mounted(kMountPoint) < 1) {
            LOGD("fail to mount\n\r");
            report(10, Failed);
            return -1;
        }
        LOGD("mount RO %s vfat ok 1\n\r", partition.c_str());
    } else {
        p.mountVfat(disk, kMountPoint, kStickMountOptions);
        if (is_mounted(kMountPoint) < 1) {
            LOGD("fail to mount\n\r");
            unmountStick();
            report(10, Failed);
            return -1;
        }
        LOGD("mount RO %s fat ok\n\r", disk.c_str());
    }

    const int exported = exportResults(hasPartition ? partition : disk);
    if (exported != 0)
        return exported > 0 ? 0 : -1;

    report(20, Preparing);
    const int transferred = transferUpgradeFile();
    if (transferred != 0) {
        LOGE("error to transfer file\n\r");
        unmountStick();
        if (transferred == -2) {
            LOGD("will in age mode\n\r");
            {
                std::lock_guard<std::recursive_mutex> lock(settingMutex());
                mSetting.mode = kAgingMode;
            }
            sendSetting();
            stopDialog();
            return -1;
        }
        report(20, Failed);
        return -1;
    }

    mPause(5000);
    uint32_t engineStatus = Info.engineStatus();
    if (engineStatus != 3) {
        LOGD("client failed %d\n\r", int(engineStatus));
        unmountStick();
        report(20, Failed);
        return -1;
    }

    report(30, Upgrading);
    std::string package;
    if (getUpgradeFile(package, kPanelPackage) != 0) {
        // Engine-only updates are normal: the engine part succeeded, so the upgrade did.
        LOGE("no upgrade file %s\n\r", kPanelPackage);
        LOGD("no panel package found, engine upgraded only\n\r");
        unmountStick();
        report(100, Finished);
        LOGD("upgrade finish\n\r");
        return 0;
    }
    if (::access(p.path(package).c_str(), R_OK) != 0) {
        LOGD("no upgrade file %s\n\r", package.c_str());
        unmountStick();
        report(30, Failed);
        return -1;
    }

    const int installed = installPanelPackage(package);
    if (installed != 0) {
        unmountStick();
        report(installed, Failed);
        return -1;
    }
    ::sync();
    report(60, Upgrading);
    unmountStick();
    mPause(1000);

    engineStatus = Info.engineStatus();
    if (engineStatus == 3) {
        report(100, Finished);
    } else {
        LOGD("client failed %d\n\r", int(engineStatus));
        report(90, Failed);
    }
    LOGD("upgrade finish\n\r");
    return 0;
}

// Writes the journal to a stick that holds the results marker, on a writable mount of its
// own. 0 when there is no marker or the stick's other files are to be handled next (mounted
// read-only again), 1 when the stick held nothing else, -1 on failure (reported, unmounted).
int UpgradeThread::exportResults(const std::string& node) {
    h2::Platform& p = h2::platform();
    std::string marker;
    if (findEntry(marker, kResultsMarker, false) != 0)
        return 0;
    struct stat st {};
    if (::lstat(p.path(marker).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        LOGE("results export failed: %s is not a file\n\r", marker.c_str());
        unmountStick();
        report(10, Failed);
        return -1;
    }
    unmountStick();
    p.mountVfat(node, kMountPoint, kStickWriteOptions);
    if (is_mounted(kMountPoint) < 1) {
        LOGE("results export failed: cannot mount %s writable\n\r", node.c_str());
        unmountStick();
        report(10, Failed);
        return -1;
    }
    const QString name =
        results::exportFileName(QSysInfo::machineHostName(), QDateTime::currentDateTime());
    int percent = 10;
    const results::ExportOutcome outcome = results::exportResultsCsv(
        results::databaseFile(), kMountPoint, name, [&](int written, int total) {
            percent = 10 + (total > 0 ? int(9LL * written / total) : 9);
            if (mDialog)
                mDialog->setExported(written);
            report(percent, Exported);
        });
    if (!outcome.error.isEmpty()) {
        LOGE("results export failed: %s\n\r", qPrintable(outcome.error));
        unmountStick();
        report(percent, Failed);
        return -1;
    }
    LOGD("exported %d records to %s\n\r", outcome.records, qPrintable(outcome.file));
    std::string other;
    const bool more = findEntry(other, kEngineFile, false) == 0 ||
                      findEntry(other, kPanelPackage, false) == 0 ||
                      findEntry(other, kAgingMarker, false) == 0;
    unmountStick();
    if (!more) {
        // Done, but nothing was upgraded: the success text would tell the operator to restart.
        report(100, Exported);
        return 1;
    }
    p.mountVfat(node, kMountPoint, kStickMountOptions);
    if (is_mounted(kMountPoint) < 1) {
        LOGD("fail to mount\n\r");
        unmountStick();
        report(10, Failed);
        return -1;
    }
    return 0;
}

// Extracts the package into the emptied extraction directory and moves it into the install
// directory. 0 on success, else the percentage at which it failed.
int UpgradeThread::installPanelPackage(const std::string& package) {
    h2::Platform& p = h2::platform();
    const std::string archive = p.path(package);
    const std::string extractDir = p.path(kExtractDir);
    // Owners and modes from the stick must not survive: tar runs as root.
    const std::vector<std::string> tar = {
        "tar", "zmxf", archive, "-C", extractDir, "--no-same-owner", "--no-same-permissions"};
    std::string commandText;
    for (const std::string& word : tar)
        commandText += (commandText.empty() ? "" : " ") + word;
    LOGD("system %s\n\r", commandText.c_str());
    report(40, Upgrading);

    std::string why;
    if (upgrade::emptyDirectory(extractDir) != 0) {
        LOGE("cannot empty %s\n\r", kExtractDir);
        return 40;
    }
    if (upgrade::checkPackageMembers(archive, &why) != 0) {
        LOGE("package refused: %s\n\r", why.c_str());
        return 40;
    }
    const int tarStatus = p.runProgram(tar);
    if (tarStatus != 0) {
        LOGE("tar failed %d\n\r", tarStatus);
        upgrade::emptyDirectory(extractDir);
        return 40;
    }
    if (upgrade::checkExtractedTree(extractDir, &why) != 0) {
        LOGE("package refused: %s\n\r", why.c_str());
        upgrade::emptyDirectory(extractDir);
        return 40;
    }
    if (!isRegularFile(p.path(kExtractedProgram))) {
        LOGE("no exe file %s\n\r", kExtractedProgram);
        upgrade::emptyDirectory(extractDir);
        return 40;
    }

    report(50, Upgrading);
    const int result = upgrade::installTree(extractDir, p.path(kInstallDir), &why);
    if (result != 0)
        LOGE("install failed: %s\n\r", why.c_str());
    upgrade::emptyDirectory(extractDir);
    return result == 0 ? 0 : 50;
}
