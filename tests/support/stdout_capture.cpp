#include "support/stdout_capture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture() {
    fflush(stdout);
    char name[] = "/tmp/h2-stdout-XXXXXX";
    mFile = mkstemp(name);
    unlink(name);
    mSaved = dup(STDOUT_FILENO);
    dup2(mFile, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    fflush(stdout);
    dup2(mSaved, STDOUT_FILENO);
    close(mSaved);
    close(mFile);
}

QByteArray StdoutCapture::text() const {
    fflush(stdout);
    QByteArray out;
    char buf[4096];
    off_t at = 0;
    ssize_t n;
    while ((n = pread(mFile, buf, sizeof(buf), at)) > 0) {
        out.append(buf, int(n));
        at += n;
    }
    return out;
}
