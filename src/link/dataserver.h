#pragma once
// The panel's side of the engine link: a TCP server on the control port (status blocks in,
// settings and commands out) and the data port (upgrade files out). Only the engine address
// is served, always as board 1.

#include "base/util_thread.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

using ReceiveCallback = int (*)(void* data, int length, int board);
using ConnectCallback = int (*)(int board);

// Where the link listens and whom it serves; port 0 picks a free port (tests).
struct LinkEndpoints {
    std::string engineAddress;
    int controlPort = 0;
    int dataPort = 0;
};
// The endpoints of this run, from the command line.
LinkEndpoints configuredEndpoints();

// Sets O_NONBLOCK; -1 on failure.
int setnonblocking(int fd);

class DataThread final : public Util_Thread {
public:
    static constexpr int kBoards = 2;              // slot 1 is the engine board; slot 0 unused
    static constexpr int kPollMs = 3000;           // silence and incomplete-message bound
    static constexpr int kMaxStrangers = 16;       // open connections from other peers
    static constexpr int kSendStallMs = 3000;      // a control send waits this long for room
    static constexpr int kDataSendStallMs = 10000; // the same for a data send

    explicit DataThread(LinkEndpoints endpoints);
    ~DataThread() override;

    // Opens the listening sockets (once) and starts the thread; 0, or -1 when a listening
    // socket could not be opened (the thread runs anyway and serves what it has).
    int start() override;
    // Sets the stop flag, wakes the loop and joins.
    void stop() override;
    void run() override;

    void setCallbacks(ReceiveCallback receive, ConnectCallback connect);
    // How long a data send waits without progress before it gives up (tests shorten it).
    void setDataStallMs(int ms);
    int send(int board, const void* buf, int len);
    int dataSend(int board, const void* buf, int len);
    // Whether the board's control connection is open.
    bool connected(int board);

    // Ports actually listened on (after start), for tests and tools.
    int controlPort() const { return mControlPort; }
    int dataPort() const { return mDataPort; }

private:
    int openListeners();
    void acceptControl();
    void acceptData();
    void receive(int board);
    void dropBadLength(int board);
    void deliver(int board, int whole);
    void handleSilence();
    void handleIncomplete(long long now);
    void addStranger(int fd);
    bool isStranger(int fd) const;
    bool closeStranger(int fd);
    void dropControl(int board);
    void dropData(int board);
    void dropBoard(int board);
    void closeAll();
    int pollTimeout(long long now) const;

    LinkEndpoints mEndpoints;
    std::atomic<int> mStop{0};
    std::atomic<ReceiveCallback> mReceive{nullptr};
    std::atomic<ConnectCallback> mConnect{nullptr};
    std::atomic<int> mDataStallMs{kDataSendStallMs};

    int mEpoll = -1;
    int mWake = -1; // eventfd: stop() wakes the loop at once
    int mControlListen = -1;
    int mDataListen = -1;
    std::atomic<int> mControlPort{0};
    std::atomic<int> mDataPort{0};

    // Connection slots. The link thread is the only one that opens and closes them; it
    // changes a slot under its lock, and senders hold the lock while they use the socket,
    // so a descriptor is never closed (and reused) under a sender.
    std::mutex mControlLock;
    std::mutex mDataLock;
    int mControl[kBoards] = {-1, -1};
    int mData[kBoards] = {-1, -1};

    // Other peers on the control port, oldest first.
    int mStrangers[kMaxStrangers];
    int mStrangerCount = 0;

    // Receive state of board 1's control connection.
    std::unique_ptr<unsigned char[]> mBuffer;
    int mHeld = 0;
    long long mMessageStartMs = 0; // when the first byte of an incomplete message came
    long long mLastEventMs = 0;
};

class DataServer {
public:
    // Serves the endpoints of the command line.
    DataServer();
    explicit DataServer(LinkEndpoints endpoints);
    ~DataServer();
    DataServer(const DataServer&) = delete;
    DataServer& operator=(const DataServer&) = delete;

    int init(ReceiveCallback receive, ConnectCallback connect);
    int start();
    void stop();

    // Both return -1 when the board has no such connection, else the bytes sent (len when
    // everything went out; fewer after an error or when the board stopped taking them).
    int send(int board, const void* buf, int len);
    int dataSend(int board, const void* buf, int len);
    bool connected(int board);

    DataThread* thread() const { return mThread; }

private:
    DataThread* mThread;
};
