#pragma once

#include "base/util_thread.h"

#include <atomic>

// Re-asserts the panel's address once a second for the first ten minutes.
class NetThread final : public Util_Thread {
public:
    NetThread() : Util_Thread(0) {}
    ~NetThread() override { stop(); }
    void run() override;
    void stop() override;
    int passes() const { return mCounter; }

private:
    std::atomic<int> mCounter{0};
    std::atomic<bool> mStop{false};
    Util_Event mWake{1};
};
