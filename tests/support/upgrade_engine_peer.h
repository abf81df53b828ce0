#pragma once
// A stand-in engine for upgrade tests that need what the simulator does not offer: it can
// refuse a correct file. Connects to the control and data ports from the engine address,
// sends a status block every 100 ms, records the control messages, follows the upgrade data
// messages and reports status 3 once the file is complete and every offset and the total
// agree (kRefused otherwise, or always when told to refuse).

#include <QByteArray>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace h2test {

class UpgradeEnginePeer {
public:
    // Status reported when the pieces do not add up (or when refusing on purpose).
    static constexpr uint32_t kRefused = 7;

    UpgradeEnginePeer() = default;
    ~UpgradeEnginePeer();
    UpgradeEnginePeer(const UpgradeEnginePeer&) = delete;
    UpgradeEnginePeer& operator=(const UpgradeEnginePeer&) = delete;

    // Connects both connections and starts the engine's thread; false on failure.
    bool start(const std::string& engineAddress, int controlPort, int dataPort);
    void stop();
    // Report kRefused instead of 3 for a complete file.
    void setRefuse(bool refuse) { mRefuse = refuse; }

    std::vector<QByteArray> controlMessages() const;
    uint32_t engineStatus() const { return mStatus; }

private:
    void loop();
    void takeMessages(QByteArray& stream, bool data);

    int mControl = -1;
    int mData = -1;
    std::thread mThread;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mRefuse{false};
    std::atomic<uint32_t> mStatus{0};
    mutable std::mutex mMutex;
    std::vector<QByteArray> mControlMessages;
    uint32_t mTotal = 0;
    uint32_t mReceived = 0;
    bool mConsistent = true;
};

} // namespace h2test
