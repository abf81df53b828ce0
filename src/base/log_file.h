#pragma once
// The panel's log: every line to standard output, and to the log file while one is open.

#include <string>

int Log_Init();
void Log_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats one log line (date, time, milliseconds, then the message cut at 2020 characters)
// into buf, which holds 2048 bytes; returns its length. Split out so the format is testable.
int Log_FormatLine(char* buf, long seconds, long microseconds, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Plain console messages of the configuration readers: one write per message.
void consolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Kernel thread id of the caller, as log lines show it.
int logThreadId();

// 0: not a mount point (or no table); 1: mounted read-write; 2: mounted read-only.
int is_mounted(const char* path);

int registerClient();

// "../dir/file.cpp" style name of a source file, as the log lines carry it.
constexpr const char* logSourceName(const char* path) {
    const char* last = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/')
            last = p + 1;
    }
    return last;
}

#define H2_LOG(tag, fmt, ...)                                                                      \
    Log_Printf("%s:../%s:%u %d " fmt, tag, logSourceName(__FILE__), unsigned(__LINE__),            \
               logThreadId(), ##__VA_ARGS__)
#define LOGD(fmt, ...) H2_LOG("[D]", fmt, ##__VA_ARGS__)
#define LOGE(fmt, ...) H2_LOG("[E]", fmt, ##__VA_ARGS__)
