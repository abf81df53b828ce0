#include "support/built_program.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>

QString builtProgram(const QString& relativePath) {
    return qEnvironmentVariable("H2_BINARY_DIR") + "/" + relativePath;
}

QStringList emulatorCommand() {
    return qEnvironmentVariable("H2_EMULATOR").split(' ', Qt::SkipEmptyParts);
}

void startProgram(QProcess& process, const QString& program, const QStringList& args) {
    QStringList command = emulatorCommand();
    if (command.isEmpty()) {
        process.start(program, args);
        return;
    }
    command << program << args;
    process.start(command.takeFirst(), command);
}

void startPanel(QProcess& process, const QString& binary, const QString& root,
                const QStringList& args) {
    if (root.isEmpty())
        qFatal("startPanel needs a scratch root");
    startProgram(process, binary,
                 QStringList{"-platform", "offscreen", "--platform", "desktop", "--root", root} +
                     args);
}

QString waitForOutput(QProcess& process, QByteArray& seen, const QString& pattern, int timeoutMs) {
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        seen += process.readAll();
        const QRegularExpressionMatch match = re.match(QString::fromLocal8Bit(seen));
        if (match.hasMatch())
            return match.lastCapturedIndex() >= 1 ? match.captured(1) : match.captured(0);
        if (clock.elapsed() > timeoutMs || process.state() == QProcess::NotRunning)
            return {};
        process.waitForReadyRead(200);
    }
}

quint16 unusedPort() {
    // Port 0 binds and outgoing connections take their ports from the ephemeral range
    // (32768 and up by default), so a port below it stays free between this check and the
    // program's own bind even while other suites run.
    static QRandomGenerator rng(QRandomGenerator::global()->generate());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto port = quint16(20000 + rng.bounded(12000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
    return 0;
}
