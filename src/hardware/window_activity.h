#pragma once
// What the tester and copier windows publish once per tick for the board power thread.

#include <atomic>

struct WindowActivity {
    std::atomic<int> mRunning{0};     // 1 between start() and stop()
    std::atomic<int> mWorkingLast{0}; // working ports of the last completed tick
    std::atomic<int> mConnected{0};   // connected ports (targets) of the last tick
};

// Set by the windows when they are created; a window that does not exist yet is null and
// counts as not running.
extern std::atomic<const WindowActivity*> gTesterActivity;
extern std::atomic<const WindowActivity*> gCopierActivity;
