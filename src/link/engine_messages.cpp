#include "link/engine_messages.h"

#include "base/globals.h"
#include "base/hand_over.h"
#include "base/log_file.h"
#include "base/user_signals.h"
#include "link/dataserver.h"
#include "link/status_block.h"
#include "link/wire.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

DataServer* mDataServer = nullptr;
std::atomic<int> firstRecv{1};
std::atomic<uint64_t> statusBlocksTaken{0};
std::atomic<uint64_t> statusBlocksDropped{0};

namespace {

constexpr int kBoard = 1;

// The start dialog is a GUI object: it is closed on the GUI thread, directly when we are
// on it, else by a queued call.
void closeStartDialog() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    auto close = [] {
        if (startDialog) {
            startDialog->close();
            delete startDialog;
            startDialog = nullptr;
        }
    };
    if (QThread::currentThread() == app->thread())
        close();
    else
        h2::postTo(app, close);
}

int sendToBoard(const void* message, int length) {
    DataServer* server = mDataServer;
    return server ? server->send(kBoard, message, length) : -1;
}

// An engine without a clock reports 0 or all ones; a time before 2020 is no better, and
// neither is one a 32-bit time_t of the board cannot hold.
constexpr uint32_t kEarliestClock = 1577836800; // 2020-01-01 00:00 UTC

void setClockOnce(uint32_t engineTime) {
    if (engineTime < kEarliestClock || engineTime == 0xFFFFFFFFu ||
        uint64_t(engineTime) > uint64_t(std::numeric_limits<time_t>::max()))
        return;
    const time_t seconds = time_t(engineTime);
    char text[32] = "";
    ctime_r(&seconds, text);
    text[strcspn(text, "\n")] = '\0';
    LOGD("time %d change to %s 0x%lx\n\r", int(seconds), text, (unsigned long)seconds);
    if (h2::platform().setClock(seconds) != 0) {
        LOGD("errno %d\n\r", errno);
        perror("error settime ");
        (void)h2::platform().setClock(seconds);
    }
    firstRecv = 0;
}

uint32_t wordAt(const unsigned char* bytes, int offset) {
    uint32_t word;
    memcpy(&word, bytes + offset, sizeof(word));
    return word;
}

} // namespace

int server_connect_callback(int board) {
    LOGD("h2 will send setting: %d\n\r", board);
    unsigned char message[kSettingMessageSize];
    {
        // The GUI thread commits new settings under this lock; send a consistent copy.
        std::lock_guard<std::recursive_mutex> lock(settingMutex());
        mSetting.command = wire::kCmdSetting;
        mSetting.length = int32_t(kSettingMessageSize);
        memcpy(message, &mSetting, kSettingMessageSize);
    }
    DataServer* server = mDataServer;
    LOGD("h2 will send setting %d %d %p\n\r", int(wire::kCmdSetting), int(kSettingMessageSize),
         static_cast<void*>(server));
    const int ret = server ? server->send(board, message, int(kSettingMessageSize)) : -1;
    LOGD("h2  send setting %d\n\r", ret);
    closeStartDialog();
    alreadySendSetting = 1;
    return ret;
}

// A delivery is a run of whole messages. Only status blocks change Info: the newest one
// of the run, the ones it supersedes are counted; anything else is logged and ignored.
int server_receive_callback(void* data, int length, int /*board*/) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const unsigned char* newest = nullptr;
    int blocks = 0;
    for (int at = 0; at < length;) {
        const uint32_t size = length - at >= 4 ? wordAt(bytes, at) : 0;
        if (size < uint32_t(wire::kMinMessageSize) || size > uint32_t(length - at)) {
            LOGE("bad message length %u, %d bytes ignored\n\r", size, length - at);
            break;
        }
        if (size == uint32_t(kStatusBlockSize)) {
            newest = bytes + at;
            ++blocks;
        } else {
            LOGD("message %u of %u bytes ignored\n\r", wordAt(bytes, at + 4), size);
        }
        at += int(size);
    }
    if (blocks > 1) {
        LOGE("Error get %d should %d\n\r", length, kStatusBlockSize);
        statusBlocksDropped += uint64_t(blocks - 1);
    }
    if (!newest)
        return 0;
    Info.write(0, newest, size_t(kStatusBlockSize));
    ++statusBlocksTaken;
    if (firstRecv)
        setClockOnce(wordAt(newest, offsetof(StatusHeader, engineTime)));
    return 0;
}

int sendSetting() {
    LOGD("send setting\n\r");
    if (server_connect_callback(kBoard) < 0)
        LOGE("send to %d fail\n\r", kBoard);
    return 0;
}

int sendCmd(int command) {
    const wire::CommandMessage message = wire::commandMessage(uint32_t(command));
    const int ret = sendToBoard(&message, sizeof(message));
    if (ret < int(sizeof(message)))
        LOGE("error to send cmd %d to %d\n\r", command, kBoard);
    return ret;
}

int sendCmdWithPara(int command, int parameter) {
    const wire::CommandWithParameter message =
        wire::commandWithParameter(uint32_t(command), uint32_t(parameter));
    const int ret = sendToBoard(&message, sizeof(message));
    if (ret < int(sizeof(message)))
        LOGE("error to send upgrade cmd %d\n\r", kBoard);
    return ret;
}

int sendExportLogCmd() {
    const wire::CommandMessage message = wire::commandMessage(wire::kCmdExportLog);
    if (sendToBoard(&message, sizeof(message)) < int(sizeof(message))) {
        LOGE("error to send Export CMD cmd %d\n\r", kBoard);
        // The export dialog must not wait for an answer to a command that never went out.
        return -1;
    }
    return 0;
}

int sendMasterClearCmd() {
    const wire::CommandMessage message = wire::commandMessage(wire::kCmdMasterClear);
    if (sendToBoard(&message, sizeof(message)) < int(sizeof(message)))
        LOGE("error to send master clear cmd %d\n\r", kBoard);
    return 0;
}

void sendPowerNotice(int sig) {
    const int command = UserSignalRelay::commandFor(sig);
    if (command != 0)
        sendCmd(command);
}
