#pragma once
// Captures what the process writes to standard output (log lines, console messages)
// while the object lives; shown when the test fails, with QtTest's own lines among them.

#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <unistd.h>

class StdoutCapture {
public:
    StdoutCapture() {
        fflush(stdout);
        if (!mFile.open())
            qFatal("no file for standard output");
        dup2(mFile.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() {
        fflush(stdout);
        dup2(mSaved, STDOUT_FILENO);
        close(mSaved);
        if (QTest::currentTestFailed())
            fputs(text().constData(), stdout);
    }

    // Everything written so far.
    QByteArray text() const {
        fflush(stdout);
        QFile file(mFile.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryFile mFile;
    int mSaved = dup(STDOUT_FILENO);
};
