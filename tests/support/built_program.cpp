#include "support/built_program.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>

QString builtProgram(const QString& relativePath) {
    return qEnvironmentVariable("H2_BINARY_DIR") + "/" + relativePath;
}

void startProgram(QProcess& process, const QString& program, const QStringList& args) {
    QStringList command = qEnvironmentVariable("H2_EMULATOR").split(' ', Qt::SkipEmptyParts);
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
    const QDeadlineTimer deadline(timeoutMs);
    QRegularExpressionMatch match;
    while (!(match = re.match(QString::fromLocal8Bit(seen += process.readAll()))).hasMatch() &&
           !deadline.hasExpired() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(200);
    return match.captured(match.lastCapturedIndex() >= 1 ? 1 : 0);
}

quint16 unusedPort() {
    // Port 0 binds and outgoing connections take their ports from the ephemeral range
    // (32768 and up by default), so a port below it stays free between this check and the
    // program's own bind even while other suites run.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto port = quint16(20000 + QRandomGenerator::global()->bounded(12000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
    return 0;
}
