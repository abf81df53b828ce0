#pragma once
// The engine's side of the link: both connections from the engine address, status blocks at
// the interval, and its answers to the panel's messages (settings, log export, upgrade).

#include "messages.h"
#include "port_model.h"
#include "sim_options.h"

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace sim {

// Prints one line of the simulator's console, flushed at once.
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// engineStatus values of the engine.
constexpr uint32_t kUpgradeAccepted = 3;
constexpr uint32_t kUpgradeRefused = 4;
constexpr uint32_t kExportFirst = 100;
constexpr uint32_t kExportDone = 110;
constexpr uint32_t kExportFailed = 111;
constexpr uint32_t kEngineVersion = 0x24061501;

// Log export as the engine reports it: 100 to 109 on successive blocks, then 110 (or 111).
class LogExport {
public:
    void start() { mStep = 0; }
    bool running() const { return mStep >= 0; }
    // The status for the next block; `status` keeps its value when no export runs.
    void next(uint32_t* status, bool fails);

private:
    int mStep = -1;
};

class EngineSession : public QObject {
    Q_OBJECT
public:
    explicit EngineSession(const Options& options, QObject* parent = nullptr);
    ~EngineSession() override;
    void start();

private:
    void connectControl();
    void connectData();
    void onTick();
    void readControl();
    void readData();
    void handleControlMessage(const unsigned char* data, size_t length);
    void handleDataMessage(const unsigned char* data, size_t length);
    using Handler = void (EngineSession::*)(const unsigned char* data, size_t length);
    void readMessages(QTcpSocket& socket, QByteArray& in, uint32_t maxLength, bool control,
                      Handler handle);
    void applySettings(const unsigned char* data);
    void scheduleReconnect(QTcpSocket& socket, bool control);

    Options mOptions;
    PortModel mModel;
    QTcpSocket mControl;
    QTcpSocket mData;
    QTimer mTick;
    QByteArray mControlIn;
    QByteArray mDataIn;
    StatusBlock mBlock{};
    uint32_t mEngineStatus = 0;
    LogExport mExport;
    UpgradeReceiver mUpgrade;
    bool mControlComplained = false;
    bool mDataComplained = false;
};

// Benchmark sender: status blocks back to back on the control connection for `seconds`
// (or until the panel closes it); returns the number of blocks sent, -1 on failure.
long long sendBackToBack(const Options& options, int seconds);

} // namespace sim
