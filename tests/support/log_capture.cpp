#include "support/log_capture.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace h2test {

StdoutCapture::StdoutCapture() {
    char name[] = "/tmp/h2-stdout-XXXXXX";
    mFile = mkstemp(name);
    if (mFile < 0)
        return;
    unlink(name);
    fflush(stdout);
    mSaved = dup(STDOUT_FILENO);
    dup2(mFile, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    if (mSaved >= 0) {
        fflush(stdout);
        dup2(mSaved, STDOUT_FILENO);
        ::close(mSaved);
    }
    if (mFile >= 0)
        ::close(mFile);
}

QString StdoutCapture::text() const {
    if (mFile < 0)
        return QString();
    fflush(stdout);
    QByteArray all;
    char buf[4096];
    off_t at = 0;
    ssize_t n;
    while ((n = pread(mFile, buf, sizeof(buf), at)) > 0) {
        all.append(buf, int(n));
        at += n;
    }
    return QString::fromUtf8(all);
}

} // namespace h2test
