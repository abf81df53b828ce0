#include "base/user_signals.h"

#include "base/log_file.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int gPipe[2] = {-1, -1};
std::function<void(int)> gAction;
} // namespace

void handle_sigusr1(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    if (gPipe[1] >= 0)
        (void)!write(gPipe[1], &byte, 1);
    errno = saved;
}

UserSignalRelay::UserSignalRelay(QObject* parent) : QObject(parent) {
    if (gPipe[0] < 0 && pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gPipe[0] = gPipe[1] = -1;
        return;
    }
    mNotifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &UserSignalRelay::readPipe);
}

UserSignalRelay::~UserSignalRelay() = default;

bool UserSignalRelay::install() {
    bool ok = true;
    for (int sig : {SIGUSR1, SIGUSR2}) {
        struct sigaction action {};
        action.sa_handler = handle_sigusr1;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        if (sigaction(sig, &action, nullptr) != 0) {
            perror("sigaction");
            ok = false;
        }
    }
    return ok;
}

void UserSignalRelay::setAction(std::function<void(int)> action) {
    gAction = std::move(action);
}

int UserSignalRelay::commandFor(int sig) {
    if (sig == SIGUSR1)
        return 10;
    if (sig == SIGUSR2)
        return 9;
    return 0;
}

void UserSignalRelay::readPipe() {
    unsigned char byte = 0;
    while (read(gPipe[0], &byte, 1) == 1) {
        const int sig = byte;
        LOGD("Caught signal %d\n\r", sig);
        if (gAction)
            gAction(sig);
        emit caught(sig);
    }
}
