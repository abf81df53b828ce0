#include "base/log_file.h"

#include "base/app_config.h"
#include "platform/platform.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mntent.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kLineSize = 2048;
constexpr int kMessageMax = 2020;
constexpr const char* kLogDir = "/home/orangepi/log";
constexpr const char* kLogFile = "/home/orangepi/log/oxalogs.log";

std::mutex gFileMutex;
FILE* gLogFile = nullptr;
std::atomic<int> gSupervisorFd{-1}; // held open for the life of the process

void writeAll(int fd, const char* data, size_t len) {
    while (len > 0) {
        ssize_t n = ::write(fd, data, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += n;
        len -= size_t(n);
    }
}

int formatLine(char* buf, long seconds, long microseconds, const char* format, va_list args) {
    time_t t = time_t(seconds);
    struct tm local {};
    localtime_r(&t, &local);
    int n = int(strftime(buf, 21, "%Y-%m-%d %H:%M:%S.", &local));
    n += snprintf(buf + n, 5, "%03u:", unsigned(microseconds / 1000) % 1000);
    int m = vsnprintf(buf + n, kMessageMax + 1, format, args);
    if (m < 0)
        m = 0;
    return n + (m > kMessageMax ? kMessageMax : m);
}
} // namespace

int logThreadId() {
    return int(syscall(SYS_gettid));
}

int Log_FormatLine(char* buf, long seconds, long microseconds, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = formatLine(buf, seconds, microseconds, format, args);
    va_end(args);
    return n;
}

int Log_Init() {
    if (is_mounted(kLogDir) < 1) {
        consolePrintf("log not mount\n");
        sleep(1);
        if (is_mounted(kLogDir) < 1) {
            consolePrintf("will not save log\n");
            return -1;
        }
    }
    FILE* f = fopen(h2::platform().path(kLogFile).c_str(), "w");
    if (!f) {
        consolePrintf("could not open log file\n");
        return -1;
    }
    std::lock_guard<std::mutex> lock(gFileMutex);
    gLogFile = f;
    return 0;
}

void Log_Printf(const char* format, ...) {
    char line[kLineSize];
    struct timeval now {};
    gettimeofday(&now, nullptr);
    va_list args;
    va_start(args, format);
    int len = formatLine(line, now.tv_sec, now.tv_usec, format, args);
    va_end(args);

    writeAll(STDOUT_FILENO, line, size_t(len));

    std::lock_guard<std::mutex> lock(gFileMutex);
    if (!gLogFile)
        return;
    if (fwrite(line, 1, size_t(len), gLogFile) != size_t(len)) {
        perror("lprintf");
        fclose(gLogFile);
        gLogFile = nullptr;
        return;
    }
    fflush(gLogFile);
}

void consolePrintf(const char* format, ...) {
    char buf[kLineSize];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf, sizeof(buf), format, args);
    va_end(args);
    if (n < 0)
        return;
    writeAll(STDOUT_FILENO, buf, size_t(n < int(sizeof(buf)) ? n : int(sizeof(buf)) - 1));
}

int is_mounted(const char* path) {
    FILE* table = setmntent(h2::platform().path("/etc/mtab").c_str(), "r");
    if (!table)
        return 0;
    int result = 0;
    struct mntent entry {};
    char buf[4096];
    while (getmntent_r(table, &entry, buf, sizeof(buf))) {
        if (strcmp(entry.mnt_dir, path) != 0)
            continue;
        if (strstr(entry.mnt_opts, "ro,")) {
            LOGD("this is the read only sys\n\r");
            result = 2;
        } else {
            result = 1;
        }
    }
    endmntent(table);
    return result;
}

namespace {
void registrationThread(int port) {
    consolePrintf("client thread %d\n", logThreadId());
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (attempt > 0)
            sleep(5);
        // A fresh socket per attempt: a socket whose connect failed is not reusable.
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            consolePrintf("socket error\n");
            return;
        }
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
            gSupervisorFd = fd;
            consolePrintf("connect to the server fd %d tid %d\n", fd, logThreadId());
            return;
        }
        close(fd);
    }
    consolePrintf("cannot connect will exit thread\n");
}
} // namespace

int registerClient() {
    try {
        std::thread(registrationThread, h2::appConfig().supervisorPort).detach();
    } catch (const std::system_error& e) {
        consolePrintf("Fail to create thread nret=%d\n", e.code().value());
        return e.code().value();
    }
    return 0;
}
