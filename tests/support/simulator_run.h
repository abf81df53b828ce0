#pragma once
// The engine simulator of this build run against a link server's ports, sending status every
// 100 ms. Its output is kept for the checks and printed when the test that ran it failed.

#include "link/dataserver.h"
#include "support/built_program.h"

#include <QTest>

class SimulatorRun {
public:
    ~SimulatorRun() { stop(); }

    static QString binary() { return builtProgram("tools/engine-sim/engine-sim"); }
    // Starts it on the server's control and data ports with `extra` options; false when it
    // does not start.
    bool start(const DataServer& server, const QStringList& extra = {}) {
        stop();
        mOutput.clear();
        mProcess.setProcessChannelMode(QProcess::MergedChannels);
        startProgram(mProcess, binary(),
                     QStringList{"--control-port", QString::number(server.thread()->controlPort()),
                                 "--data-port", QString::number(server.thread()->dataPort()),
                                 "--interval", "100"} +
                         extra);
        return mProcess.waitForStarted(5000);
    }
    // Everything it printed since the last start() or clear().
    QString output() { return mOutput += QString::fromUtf8(mProcess.readAll()); }
    void clear() { mOutput.clear(); }
    // Kills it, printing its output when the current test failed.
    void stop() {
        mProcess.kill();
        mProcess.waitForFinished(3000);
        if (QTest::currentTestFailed() && !output().isEmpty())
            qWarning("%s", qPrintable(output()));
    }

private:
    QProcess mProcess;
    QString mOutput;
};
