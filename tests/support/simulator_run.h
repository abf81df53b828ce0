#pragma once
// The engine simulator of this build run against a link server's ports, sending status every
// 100 ms. Its output is kept for the checks and printed when the test that ran it failed.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class DataServer;

class SimulatorRun {
public:
    SimulatorRun() = default;
    ~SimulatorRun();
    SimulatorRun(const SimulatorRun&) = delete;
    SimulatorRun& operator=(const SimulatorRun&) = delete;

    static QString binary();
    // Starts it on the server's control and data ports with `extra` options; false when it
    // does not start.
    bool start(const DataServer& server, const QStringList& extra = {});
    bool start(int controlPort, int dataPort, const QStringList& extra = {});
    // Everything it printed since the last clear().
    QString output();
    // Kills it, printing its output when the current test failed.
    void stop();
    void clear() { mOutput.clear(); }

private:
    std::unique_ptr<QProcess> mProcess;
    QString mOutput;
};
