#include "engine_session.h"

#include "base/loopback.h"
#include "settings/setting_record.h"

#include <QHostAddress>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {
constexpr int kReconnectMs = 1000;
constexpr qint64 kMaxQueuedBytes = 4 * kStatusBlockSize; // the panel is not reading: skip
constexpr uint32_t kMaxDataMessage = sizeof(wire::UpgradeDataHeader) + wire::kMaxUpgradePayload;

const unsigned char* bytes(const QByteArray& array) {
    return reinterpret_cast<const unsigned char*>(array.constData());
}
} // namespace

void say(const char* format, ...) {
    char line[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    fprintf(stdout, "engine-sim: %s\n", line);
    fflush(stdout);
}

void LogExport::next(uint32_t* status, bool fails) {
    if (mStep < 0)
        return;
    if (mStep < 10) {
        *status = kExportFirst + uint32_t(mStep++);
        return;
    }
    *status = fails ? kExportFailed : kExportDone;
    mStep = -1;
}

EngineSession::EngineSession(const Options& options, QObject* parent)
    : QObject(parent), mOptions(options), mModel(options.seed) {
    mModel.configure(options.family, defaultModeFor(options.family), options.ports, 0);
    mTick.setInterval(options.intervalMs);
    connect(&mTick, &QTimer::timeout, this, &EngineSession::onTick);
    connect(&mControl, &QTcpSocket::readyRead, this, &EngineSession::readControl);
    connect(&mData, &QTcpSocket::readyRead, this, &EngineSession::readData);
    connect(&mControl, &QTcpSocket::connected, this, [this] {
        say("control connected to %s:%d", mOptions.panelAddress.c_str(), mOptions.controlPort);
        mControlComplained = false;
        mControlIn.clear();
        onTick(); // the first block right away
    });
    connect(&mData, &QTcpSocket::connected, this, [this] {
        say("data connected to %s:%d", mOptions.panelAddress.c_str(), mOptions.dataPort);
        mDataComplained = false;
        mDataIn.clear();
    });
    connect(&mControl, &QTcpSocket::disconnected, this,
            [this] { scheduleReconnect(mControl, true); });
    connect(&mData, &QTcpSocket::disconnected, this, [this] { scheduleReconnect(mData, false); });
    connect(&mControl, &QTcpSocket::errorOccurred, this, [this] {
        if (mControl.state() != QAbstractSocket::ConnectedState)
            scheduleReconnect(mControl, true);
    });
    connect(&mData, &QTcpSocket::errorOccurred, this, [this] {
        if (mData.state() != QAbstractSocket::ConnectedState)
            scheduleReconnect(mData, false);
    });
}

// Closing the sockets on the way out is not a lost connection.
EngineSession::~EngineSession() {
    for (QTcpSocket* socket : {&mControl, &mData})
        disconnect(socket, nullptr, this, nullptr);
}

void EngineSession::start() {
    say("scenario %s, %d ports, a status block every %d ms, from %s", familyName(mModel.family()),
        mModel.ports(), mOptions.intervalMs, mOptions.engineAddress.c_str());
    connectControl();
    connectData();
    mTick.start();
}

// Checked again where the sockets are made, not only where the options are read: whatever
// builds the options, the simulator never leaves 127.0.0.0/8.
static bool loopbackOnly(const Options& options) {
    if (h2::isLoopbackAddress(options.panelAddress) && h2::isLoopbackAddress(options.engineAddress))
        return true;
    say("refusing %s -> %s: not loopback", options.engineAddress.c_str(),
        options.panelAddress.c_str());
    return false;
}

void EngineSession::connectControl() {
    if (!loopbackOnly(mOptions))
        return;
    mControl.abort();
    mControl.bind(QHostAddress(QString::fromStdString(mOptions.engineAddress)), 0);
    mControl.connectToHost(QString::fromStdString(mOptions.panelAddress),
                           quint16(mOptions.controlPort));
}

void EngineSession::connectData() {
    if (!loopbackOnly(mOptions))
        return;
    mData.abort();
    mData.bind(QHostAddress(QString::fromStdString(mOptions.engineAddress)), 0);
    mData.connectToHost(QString::fromStdString(mOptions.panelAddress), quint16(mOptions.dataPort));
}

void EngineSession::scheduleReconnect(QTcpSocket& socket, bool control) {
    bool& complained = control ? mControlComplained : mDataComplained;
    if (!complained) {
        const bool closed = socket.error() == QAbstractSocket::RemoteHostClosedError ||
                            socket.error() == QAbstractSocket::UnknownSocketError;
        say("%s connection: %s; retrying every %d ms", control ? "control" : "data",
            closed ? "closed by the panel" : qPrintable(socket.errorString()), kReconnectMs);
        complained = true;
    }
    // One pending retry per socket: a closed socket reports both an error and the close.
    if (socket.property("retrying").toBool())
        return;
    socket.setProperty("retrying", true);
    QTimer::singleShot(kReconnectMs, this, [this, &socket, control] {
        socket.setProperty("retrying", false);
        if (socket.state() == QAbstractSocket::ConnectedState)
            return;
        if (control)
            connectControl();
        else
            connectData();
    });
}

void EngineSession::onTick() {
    mModel.tick();
    mExport.next(&mEngineStatus, mOptions.exportFails);
    StatusHeader header{};
    header.length = kStatusBlockSize;
    header.engineStatus = mEngineStatus;
    header.engineVersion = kEngineVersion;
    header.engineTime = uint32_t(time(nullptr));
    memcpy(mBlock.bytes, &header, sizeof(header));
    mModel.fill(mBlock);
    if (mControl.state() != QAbstractSocket::ConnectedState ||
        mControl.bytesToWrite() > kMaxQueuedBytes)
        return;
    mControl.write(reinterpret_cast<const char*>(mBlock.bytes), kStatusBlockSize);
}

void EngineSession::readControl() {
    readMessages(mControl, mControlIn, wire::kReceiveBufferSize, true,
                 &EngineSession::handleControlMessage);
}

void EngineSession::readData() {
    readMessages(mData, mDataIn, kMaxDataMessage, false, &EngineSession::handleDataMessage);
}

// Hands every whole message in `in` to `handle`; a bad length word drops the connection.
void EngineSession::readMessages(QTcpSocket& socket, QByteArray& in, uint32_t maxLength,
                                 bool control, Handler handle) {
    in += socket.readAll();
    for (;;) {
        const long length = frameLength(bytes(in), size_t(in.size()), maxLength);
        if (length < 0) {
            say("%s: bad length word, dropping the connection", control ? "control" : "data");
            socket.abort();
            scheduleReconnect(socket, control);
            return;
        }
        if (length == 0)
            return;
        (this->*handle)(bytes(in), size_t(length));
        in.remove(0, int(length));
    }
}

void EngineSession::handleControlMessage(const unsigned char* data, size_t length) {
    say("received %s", describeControlMessage(data, length).c_str());
    uint32_t command;
    memcpy(&command, data + 4, sizeof(command));
    switch (command) {
    case wire::kCmdSetting:
        if (length == kSettingMessageSize)
            applySettings(data);
        break;
    case wire::kCmdUpgrade:
        mUpgrade.announce();
        mEngineStatus = 0;
        say("upgrade announced; waiting for data messages");
        break;
    case wire::kCmdExportLog:
        mExport.start();
        say("exporting the log (ends in %u)", mOptions.exportFails ? kExportFailed : kExportDone);
        break;
    case wire::kCmdMasterClear:
        mModel.clearTotals();
        say("master clear: totals cleared");
        break;
    default:
        break;
    }
}

void EngineSession::handleDataMessage(const unsigned char* data, size_t length) {
    wire::UpgradeDataHeader header;
    memcpy(&header, data, std::min(length, sizeof(header)));
    say("received upgrade data: length %u total %u offset %u", header.length, header.totalSize,
        header.offset);
    if (!mUpgrade.announced())
        say("upgrade data without command 3 before it");
    std::string why;
    switch (mUpgrade.feed(data, length, &why)) {
    case UpgradeReceiver::Result::InProgress:
        break;
    case UpgradeReceiver::Result::Complete:
        mEngineStatus = kUpgradeAccepted;
        say("upgrade complete: %u bytes, checksum %08x; reporting status %u", mUpgrade.received(),
            mUpgrade.checksum(), kUpgradeAccepted);
        break;
    case UpgradeReceiver::Result::Failed:
        mEngineStatus = kUpgradeRefused;
        say("upgrade refused: %s; reporting status %u", why.c_str(), kUpgradeRefused);
        break;
    }
}

void EngineSession::applySettings(const unsigned char* data) {
    SettingRecord record{};
    memcpy(&record, data, kSettingMessageSize);
    const Family family =
        mOptions.family == Family::Idle ? Family::Idle : familyForMode(record.mode);
    const int ports = record.port_count > 0 ? record.port_count : mOptions.ports;
    // The ports carry on unless the work changes.
    if (family != mModel.family() || record.mode != mModel.mode() || ports != mModel.ports())
        mModel.configure(family, record.mode, ports, record.burnin_cycle);
    say("work mode %d (%s): playing %s on %d ports", record.mode, modeName(record.mode),
        familyName(family), mModel.ports());
}

long long sendBackToBack(const Options& options, int seconds) {
    if (!loopbackOnly(options))
        return -1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    inet_pton(AF_INET, options.engineAddress.c_str(), &local.sin_addr);
    inet_pton(AF_INET, options.panelAddress.c_str(), &remote.sin_addr);
    remote.sin_port = htons(uint16_t(options.controlPort));
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) != 0) {
        say("back to back: cannot connect: %s", strerror(errno));
        if (fd >= 0)
            close(fd);
        return -1;
    }
    // 64 blocks per send call, so that the sender is never the slow side.
    PortModel model(options.seed);
    model.configure(options.family, defaultModeFor(options.family), options.ports, 0);
    StatusBlock block{};
    StatusHeader header{};
    header.length = kStatusBlockSize;
    header.engineVersion = kEngineVersion;
    header.engineTime = uint32_t(time(nullptr));
    memcpy(block.bytes, &header, sizeof(header));
    model.fill(block);
    constexpr int kBatch = 64;
    std::vector<unsigned char> batch(size_t(kBatch) * kStatusBlockSize);
    for (int i = 0; i < kBatch; ++i)
        memcpy(batch.data() + size_t(i) * kStatusBlockSize, block.bytes, kStatusBlockSize);

    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    long long sentBytes = 0;
    while (Clock::now() < end) {
        const ssize_t n = send(fd, batch.data(), batch.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        sentBytes += n;
    }
    close(fd);
    return sentBytes / kStatusBlockSize;
}

} // namespace sim
