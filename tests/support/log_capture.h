#pragma once
// Captures what the panel writes to standard output (its log lines) while it lives.

#include <QString>

namespace h2test {

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything written since the capture started.
    QString text() const;
    bool contains(const QString& line) const { return text().contains(line); }

private:
    int mSaved = -1;
    int mFile = -1;
};

} // namespace h2test
