#include "support/simulator_run.h"

#include "link/dataserver.h"
#include "support/built_program.h"

#include <QTest>

SimulatorRun::~SimulatorRun() {
    stop();
}

QString SimulatorRun::binary() {
    return builtProgram(QStringLiteral("tools/engine-sim/engine-sim"));
}

bool SimulatorRun::start(const DataServer& server, const QStringList& extra) {
    return start(server.thread()->controlPort(), server.thread()->dataPort(), extra);
}

bool SimulatorRun::start(int controlPort, int dataPort, const QStringList& extra) {
    mProcess = std::make_unique<QProcess>();
    mProcess->setProcessChannelMode(QProcess::MergedChannels);
    startProgram(*mProcess, binary(),
                 QStringList{"--control-port", QString::number(controlPort), "--data-port",
                             QString::number(dataPort), "--interval", "100"} +
                     extra);
    return mProcess->waitForStarted(5000);
}

QString SimulatorRun::output() {
    if (mProcess)
        mOutput += QString::fromUtf8(mProcess->readAll());
    return mOutput;
}

void SimulatorRun::stop() {
    if (!mProcess)
        return;
    mProcess->kill();
    mProcess->waitForFinished(3000);
    if (QTest::currentTestFailed())
        qWarning("%s", qPrintable(output()));
    mProcess.reset();
}
