#pragma once
// Captures what the process writes to standard output (log lines, console messages)
// while the object lives.

#include <QByteArray>

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything written so far.
    QByteArray text() const;

private:
    int mSaved = -1;
    int mFile = -1;
};
