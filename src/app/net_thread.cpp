#include "app/net_thread.h"

#include "base/log_file.h"
#include "link/address.h"

void NetThread::run() {
    LOGD("net thread start\n\r");
    while (mCounter < 600 && !mStop) {
        ++mCounter;
        get_server_ip();
        // A stop request cuts the one-second pause short, so the process can end at once.
        mWake.wait(1000);
    }
}

void NetThread::stop() {
    mStop = true;
    mWake.signalBroadcast();
    join();
}
