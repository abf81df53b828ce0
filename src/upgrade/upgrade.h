#pragma once
// The USB upgrade monitor: watches device events for a whole USB disk on one of the panel's
// four ports, mounts it, sends the engine upgrade file to the engine board, installs the
// panel's own package, or switches the machine into aging mode.

#include "platform/platform.h"

#include <QThread>
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

class DataServer;
class UpgradeDialog;

namespace upgrade {
constexpr const char* kMountPoint = "/home/orangepi/mount";
constexpr const char* kExtractDir = "/home/orangepi/tmp";
constexpr const char* kInstallDir = "/home/orangepi/h2";
constexpr const char* kExtractedProgram = "/home/orangepi/tmp/h2";
// Nothing on a stick is trusted: read-only, and no set-uid bits, devices or programs run.
constexpr const char* kStickMountOptions = "ro,nosuid,nodev,noexec";
// Only to write the results a stick asks for.
constexpr const char* kStickWriteOptions = "rw,nosuid,nodev,noexec";

constexpr const char* kEngineFile = "oxa_updatex";
constexpr const char* kPanelPackage = "oxa_updates";
constexpr const char* kAgingMarker = ".agingtest";
constexpr const char* kResultsMarker = "h2-results";

constexpr int kAgingMode = 14;
constexpr int kEventBufferSize = 2048;
constexpr size_t kMessageBufferSize = 2 * 1024 * 1024;
constexpr size_t kMaxPiece = 1024 * 1024;

// State codes shown by the upgrade dialog.
enum State { Preparing = 1, Upgrading = 2, Finished = 3, Failed = 4, Exported = 6 };
} // namespace upgrade

class UpgradeThread final : public QThread {
    Q_OBJECT

public:
    explicit UpgradeThread(QObject* parent = nullptr);
    ~UpgradeThread() override;

    // Opens the device-event socket and keeps both pointers (either may be null).
    void init(UpgradeDialog* dialog, DataServer* server);
    // The one-second and five-second waits; tests inject their own.
    void setPause(h2::PauseFn pause);
    // Sees every progress report (percent, state) as the dialog gets it.
    void setStepObserver(std::function<void(int, int)> observer);
    // Ends run(); the panel itself never calls it.
    void requestStop();

    // Handles one device-event datagram exactly as run() does.
    void handleEvent(const char* data, size_t length);

    int getUpgradeFile(std::string& path, const char* prefix);
    // 0 sent, -2 no engine file but an aging marker, -1 any other failure.
    int transferUpgradeFile();
    // 0 when it ran to the end, -1 on failure.
    int UpgradeDevice();

protected:
    void run() override;

private:
    void report(int percent, int state);
    void unmountStick();
    void stopDialog();
    int installPanelPackage(const std::string& package);
    int findEntry(std::string& path, const char* prefix, bool logged);
    int exportResults(const std::string& node);

    int mSocket = -1;
    int mWake[2] = {-1, -1}; // requestStop() writes, run() polls
    // Set by run() as it returns, read after wait(): QThread's own join is invisible to
    // ThreadSanitizer, this pair makes the descriptors' hand-over back to us explicit.
    std::atomic<bool> mRunEnded{false};
    std::string mDiskName; // only the monitor thread touches it
    UpgradeDialog* mDialog = nullptr;
    DataServer* mServer = nullptr;
    h2::PauseFn mPause = h2::realPause;
    std::function<void(int, int)> mStepObserver;
};
